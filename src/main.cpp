// The arbor program: the editor, and batch commands for headless use.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <memory>

#include "cli/batch_commands.h"
#include "editor/user_formats.h"

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    std::unique_ptr<QCoreApplication> app;
    if (arbor::cli::needsGui(arguments)) {
        // A batch command draws without a screen when there is none.
        if (qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Arbor"));
    arbor::registerUserFormatLoading();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return arbor::cli::run(QCoreApplication::arguments().mid(1), out, err);
}
