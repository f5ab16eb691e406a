#pragma once
// The arbor program's command line: the editor's start, and batch commands that run
// without a window.

#include <QStringList>
#include <QTextStream>

namespace arbor::cli {

// Runs the command line (arguments without the program name); returns the exit code.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

QString helpText();

// Whether the command line needs a GUI application (fonts, pictures).
bool needsGui(const QStringList& arguments);

}  // namespace arbor::cli
