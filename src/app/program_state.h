#pragma once
// Program-wide state fixed at start-up and shared by every subsystem.

#include <QString>

namespace arbor {

// Desktop work area in twips (screen minus panels).
struct WorkArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ProgramState {
    QString ExeName;     // program file name without extension and "_dv"
    QString UserPath;    // user data folder, ends in "/"
    QString ApDataPath;  // read-only data shipped with the program, ends in "/"
    QString WrkPath;     // UserPath + "Wrk/"
    QString ProgramDir;  // folder of the running program, ends in "/"
    QString PcName;
    bool RunMode = false;
    bool BusyFlag = false;
    WorkArea workArea;
    // Kind and short name of the open database, set by the open.
    bool IsJet = true;
    QString DbName;
};

// The one instance of the process.
ProgramState& G();

}  // namespace arbor
