#pragma once
// Word copies of pages: one .docx per page, named by its number, in a folder named
// after the database and "_doc" (the side files the editor can read back). The backup
// ("ﾜｰﾄﾞ文書にﾊﾞｯｸｱｯﾌﾟ") writes every page; the purge writes the pages it deletes and the
// export of a branch the pages it exports, through the writer registered here.

#include <QString>
#include <QStringList>

#include "db/word_copy_hook.h"

namespace arbor::word {

// Writes the copies of the job's pages (each under a temporary name, renamed into
// place). A page whose document cannot be read is a problem row and gets no copy unless
// the job asks for its plain text. Pages without a stored document get none.
WordCopyOutcome writeCopies(const WordCopyJob& job);

// The folder of the open database's copies: UserPath + "Dbs/" + DbName + "_doc/".
QString backupFolder();

struct BackupReport {
    bool asked = false;  // the user agreed (or was not asked)
    WordCopyOutcome outcome;
    QString folder;
};

// BackupToWord: asks "全てのﾍﾟｰｼﾞをﾜｰﾄﾞ文書に保存します" with the folder (unless ask is
// false), then writes the copy of every page that has a stored document.
BackupReport BackupToWord(bool ask = true);

// The message for the user after a backup.
QString backupMessage(const BackupReport& report);

// Registers writeCopies as the writer of the purge and the export of a branch.
void registerWordCopies();

}  // namespace arbor::word
