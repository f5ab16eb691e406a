#pragma once
// The arbor program's command line: the editor's start, and batch commands that run
// without a window.

#include <QStringList>
#include <QTextStream>

namespace arbor::cli {

// Runs a batch command line (arguments without the program name) and returns its exit
// code; -1 when the arguments ask for the windowed program.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

QString helpText();

// Whether the first word names a subcommand ("site") rather than a database.
bool isSubcommand(const QString& word);

// Whether the command line needs a GUI application (fonts, pictures).
bool needsGui(const QStringList& arguments);

}  // namespace arbor::cli
