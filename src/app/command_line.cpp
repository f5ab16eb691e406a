#include "app/command_line.h"

#include <QFileInfo>
#include <limits>

#include "app/zclt.h"

namespace arbor {

QString joinCommandLine(const QStringList& arguments) {
    QStringList parts;
    for (const QString& a : arguments)
        parts << (a.isEmpty() || a.contains(QLatin1Char(' '))
                      ? QLatin1Char('"') + a + QLatin1Char('"')
                      : a);
    return parts.join(QLatin1Char(' '));
}

CommandLineArgs splitCommandLine(const QString& line) {
    CommandLineArgs args;
    const qsizetype lastQuote = line.lastIndexOf(QLatin1Char('"'));
    if (lastQuote < 0) {
        const qsizetype blank = line.indexOf(QLatin1Char(' '));
        if (blank < 0) {
            args.database = line;
        } else {
            args.database = line.left(blank);
            args.pageText = trimBlanks(line.mid(blank + 1));
        }
    } else {
        args.pageText = trimBlanks(line.mid(lastQuote + 1));
        args.database = trimBlanks(QString(line.left(lastQuote)).remove(QLatin1Char('"')));
    }
    args.page = pageNumberOf(args.pageText);
    return args;
}

int pageNumberOf(const QString& pageText) {
    qint64 value = 0;
    for (const QChar c : pageText) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = value * 10 + (c.unicode() - u'0');
        if (value > std::numeric_limits<int>::max())
            return 0;
    }
    return static_cast<int>(value);
}

void dropMissingDatabase(CommandLineArgs& args) {
    if (!args.database.isEmpty() && !QFileInfo(args.database).isFile())
        args.database.clear();
}

}  // namespace arbor
