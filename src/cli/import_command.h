#pragma once
// arbor import: a folder of HTML, Markdown and text files imported into a collection
// without a window.

#include <QStringList>
#include <QTextStream>

namespace arbor::cli {

// arguments: DIR DB [--under N]. 0 when imported (skipped files are warnings), 1 when the
// import failed and the database was left as it was, 2 for a wrong command line.
int importFolder(const QStringList& arguments, QTextStream& out, QTextStream& err);

QString importHelp();

}  // namespace arbor::cli
