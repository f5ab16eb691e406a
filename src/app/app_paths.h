#pragma once
// Where the program and its shipped data are.

#include <QString>

namespace arbor {

// The program file as other programs should start it: program folder + ExeName
// (+ ".exe" where programs carry one). A "_dv" build therefore records the plain name.
QString programFilePath();

// The read-only data shipped with the program, ending in "/": <prefix>/share/arbor/apData/
// when the program is installed in <prefix>/bin, otherwise apData/ of the source tree
// the library was built from.
QString apDataPathFor(const QString& programDir);

// The desktop's special folders. Empty members take the desktop's own folder
// (XDG_DATA_HOME, the documents folder, XDG_CONFIG_HOME); tests point them elsewhere.
struct UserFolders {
    QString appData;    // application data ("~/.local/share")
    QString documents;  // the user's documents folder
    QString config;     // per-user settings of programs ("~/.config")

    // The same with every empty member filled in, without trailing "/".
    UserFolders resolved() const;
};

}  // namespace arbor
