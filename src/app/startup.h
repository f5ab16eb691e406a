#pragma once
// The start of the process up to the main window: the program-wide state, the user data
// folder and its subfolders, the settings file, and the database and page named on the
// command line. The main window (ui/) takes over from the result.

#include <QString>
#include <QStringList>

#include "app/app_paths.h"

namespace arbor {

class yIni;

// Everything start-up takes from outside, so that it can run on other folders.
struct StartupInputs {
    QString programPath;  // the running program file
    QString commandLine;  // the arguments as one line (joinCommandLine)
    UserFolders folders;  // special folders; empty members are the desktop's own
};

struct StartupResult {
    QString databasePath;       // database named on the command line, when it exists
    int pageNumber = 0;         // page named on the command line, 0 for none
    bool settingsRead = false;  // User.xml was read (or created) without trouble
};

// The wait window's text while starting.
QString startupWaitText();

// The program's file name without its extension and without a trailing "_dv" (any case).
QString exeNameFromPath(const QString& programPath);

// The inputs of this process: arguments are the program's (argument 0 is the program).
StartupInputs processInputs(const QStringList& arguments);

// Runs the start-up steps: shows the wait window (the caller hides it once the main
// window is up), sets RunMode, ExeName, ProgramDir, UserPath, ApDataPath, WrkPath, the
// work area and PcName in G(), creates "Wrk", "Site" and "Dbs", loads User.xml into ini.
StartupResult runStartup(const StartupInputs& inputs, yIni& ini);

}  // namespace arbor
