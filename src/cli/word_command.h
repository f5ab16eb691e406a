#pragma once
// arbor word and arbor backup-word: the Word export and the Word backup without a window.

#include <QStringList>
#include <QTextStream>

namespace arbor::cli {

// arguments: DB [--node N [--below]] [--kind headed|outline|nopictures|text] [-o FILE]
int wordExport(const QStringList& arguments, QTextStream& out, QTextStream& err);
// arguments: DB
int wordBackup(const QStringList& arguments, QTextStream& out, QTextStream& err);

QString wordHelp();

}  // namespace arbor::cli
