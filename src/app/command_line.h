#pragma once
// The command line: an optional database path (double-quoted when it holds blanks) and
// an optional page number, read from one line of text.

#include <QString>
#include <QStringList>

namespace arbor {

struct CommandLineArgs {
    QString database;  // database argument
    QString pageText;  // page argument as given
    int page = 0;      // its leading digits; 0 when it has none
};

// The arguments as one line, joined with blanks; an argument that contains a blank (or
// is empty) is put in double quotes.
QString joinCommandLine(const QStringList& arguments);

// Splits the line. With a double quote in it, the page argument is what follows the last
// quote and the database argument is what precedes it without quotes; without one, the
// line splits at its first blank.
CommandLineArgs splitCommandLine(const QString& line);

// The number given by the leading digits of a page argument; 0 without digits or when
// the number does not fit a page number.
int pageNumberOf(const QString& pageText);

// The database argument is kept only when it names an existing file.
void dropMissingDatabase(CommandLineArgs& args);

}  // namespace arbor
