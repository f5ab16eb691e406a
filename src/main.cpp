// The arbor program: the editor, and batch commands for headless use.
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <memory>

#include "app/program_state.h"
#include "app/progress.h"
#include "app/prompter.h"
#include "app/startup.h"
#include "app/yini.h"
#include "cli/batch_commands.h"
#include "db/schema.h"
#include "editor/user_formats.h"
#include "exchange/word_copies.h"
#include "ui/dialog_prompter.h"
#include "ui/fmdoc.h"
#include "ui/translations.h"
#include "ui/ufky.h"
#include "ui/wait_window.h"

namespace {

bool haveScreen() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// The windowed program: start-up with its wait window, then the main window.
int runEditor(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Arbor"));
    QApplication::setApplicationVersion(QStringLiteral(ARBOR_VERSION));
    arbor::ui::installJapaneseTranslations(app);
    arbor::ui::DialogPrompter dialogs;
    arbor::ScopedPrompter prompterGuard(dialogs);
    arbor::ui::WindowProgress windowProgress;
    arbor::setProgress(&windowProgress);

    const arbor::StartupResult started =
        arbor::runStartup(arbor::processInputs(QCoreApplication::arguments()), arbor::Ini());
    bool created = false;
    QString error;
    if (!arbor::ensureTemplateDb(arbor::G().UserPath,
                                 arbor::G().ApDataPath + QStringLiteral("schema.sql"),
                                 arbor::defaultFormatsText(), created, error))
        arbor::prompter().message(QStringLiteral("雛形の文書ﾃﾞｰﾀｰﾍﾞｰｽを作成できません\n") + error,
                                  arbor::Severity::Warning);
    int code = 0;
    {
        arbor::ui::fmDoc window;
        dialogs.setParent(&window);
        windowProgress.setBar(window.keyBar());
        window.SetDBNo(started.databasePath, started.pageNumber);
        window.show();
        window.load();
        windowProgress.hideWait();
        code = app.exec();
        dialogs.setParent(nullptr);
    }
    arbor::setProgress(nullptr);
    return code;
}

}  // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool batch = arguments.value(0).startsWith(QLatin1String("--")) ||
                       arbor::cli::isSubcommand(arguments.value(0));
    if (!batch) {
        if (!haveScreen()) {
            QTextStream(stderr) << "画面がありません (DISPLAY が設定されていません)。"
                                   " 画面のない環境では arbor --help のﾊﾞｯﾁ ｺﾏﾝﾄﾞを使って下さい"
                                << Qt::endl;
            return 2;
        }
        arbor::registerUserFormatLoading();
        arbor::word::registerWordCopies();
        return runEditor(argc, argv);
    }
    std::unique_ptr<QCoreApplication> app;
    if (arbor::cli::needsGui(arguments)) {
        // A batch command draws without a screen when there is none.
        if (!haveScreen())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Arbor"));
    arbor::registerUserFormatLoading();
    arbor::word::registerWordCopies();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return arbor::cli::run(QCoreApplication::arguments().mid(1), out, err);
}
