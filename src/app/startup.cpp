#include "app/startup.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <cstdlib>

#include "app/command_line.h"
#include "app/machine.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/yini.h"

namespace arbor {

QString startupWaitText() {
    return QStringLiteral("Arbor 起動中です・・・");
}

QString exeNameFromPath(const QString& programPath) {
    QString name = QFileInfo(programPath).completeBaseName();
    if (name.endsWith(QLatin1String("_dv"), Qt::CaseInsensitive))
        name.chop(3);
    return name;
}

StartupInputs processInputs(const QStringList& arguments) {
    StartupInputs inputs;
    if (QCoreApplication::instance())
        inputs.programPath = QCoreApplication::applicationFilePath();
    else if (!arguments.isEmpty())
        inputs.programPath = QFileInfo(arguments.first()).absoluteFilePath();
    inputs.commandLine = joinCommandLine(arguments.mid(1));
    return inputs;
}

StartupResult runStartup(const StartupInputs& inputs, yIni& ini) {
    ProgramState& g = G();
    progress().showWait(startupWaitText());

    // rand() users get a clock seed; Qt's global generator seeds itself. There is no
    // system fault dialog to switch off on this platform.
    std::srand(static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch()));
    g.RunMode = true;

    g.ExeName = exeNameFromPath(inputs.programPath);
    g.ProgramDir = QFileInfo(inputs.programPath).absolutePath() + QLatin1Char('/');

    ini.setFolders(inputs.folders);
    ini.W_UserData();
    ini.F_ChkSb(g.UserPath, {QStringLiteral("Wrk"), QStringLiteral("Site"), QStringLiteral("Dbs")});

    StartupResult result;
    ini.GetTxt(g.UserPath + QStringLiteral("User.xml"), result.settingsRead);

    g.WrkPath = g.UserPath + QStringLiteral("Wrk/");
    GetWorkArea();
    g.PcName = GetPcName();

    CommandLineArgs args = splitCommandLine(inputs.commandLine);
    dropMissingDatabase(args);
    result.databasePath = args.database;
    result.pageNumber = args.page;
    return result;
}

}  // namespace arbor
