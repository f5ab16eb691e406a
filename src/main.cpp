// The arbor program: the editor, and batch commands for headless use.
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "cli/batch_commands.h"
#include "editor/user_formats.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Arbor"));
    arbor::registerUserFormatLoading();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return arbor::cli::run(QCoreApplication::arguments().mid(1), out, err);
}
