#pragma once
// Freedesktop desktop entries: how this platform makes shortcuts to the program.

#include <QString>
#include <QStringList>

namespace arbor {

struct DesktopEntry {
    QString name;
    QString comment;
    QString exec;           // the program path; quoted as the format requires
    QString execArguments;  // field codes after the program, e.g. "%f"
    QString icon;
    QStringList mimeTypes;
};

// One argument of an Exec line: quoted when it holds reserved characters, with the
// characters that must be escaped inside quotes escaped, and "%" doubled.
QString desktopExecArgument(const QString& argument);

// The text of the entry (UTF-8, LF line breaks as the format demands).
QString desktopEntryText(const DesktopEntry& entry);

// Writes the entry to path (through a temporary file). False on failure.
bool writeDesktopEntry(const QString& path, const DesktopEntry& entry);

}  // namespace arbor
