#pragma once
// Word copies of pages, one .docx per page in a folder named after the database plus
// "_doc". The purge and the export of a branch write them; the copies themselves are made
// above this layer (exchange/), which registers its writer at start-up.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

namespace arbor {

// The Word copy folder of a database: userPath + "Dbs/" + dbName + "_doc/".
QString wordCopyFolder(const QString& userPath, const QString& dbName);
// The Word copy folder beside a database file: its folder + its name + "_doc/".
QString wordCopyFolderBeside(const QString& databasePath);
// The file name of a page's copy: the number with at least four digits + ".docx"
// (12 gives 0012.docx, 12345 gives 12345.docx).
QString wordCopyFileName(int number);

struct WordCopyJob {
    QList<int> pages;  // pages of the open database
    QString folder;    // created when missing; ends in "/"
    // When limitLinks: tag links to pages outside `pages` lead to siteAddress (their
    // address on the web site) instead; without an address they stay as they are.
    bool limitLinks = false;
    QString siteAddress;
    // The user may stop the work between pages.
    bool cancellable = false;
    // A page whose document cannot be read gets a copy of its plain text (the purge
    // deletes the pages afterwards); otherwise it gets none.
    bool textOfDamaged = false;
};

struct WordCopyOutcome {
    int written = 0;
    // False when a copy could not be written (a page that cannot be read is a problem
    // row, not a failure).
    bool ok = true;
    bool cancelled = false;
    QStringList problems;  // one line per page or file, for the user
};

using WordCopyWriter = std::function<WordCopyOutcome(const WordCopyJob&)>;

// Installs the writer (an empty function removes it); returns the previous one.
WordCopyWriter setWordCopyWriter(WordCopyWriter writer);
bool hasWordCopyWriter();
// Runs the registered writer; without one nothing is written and written stays 0.
WordCopyOutcome writeWordCopies(const WordCopyJob& job);

}  // namespace arbor
