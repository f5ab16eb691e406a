#include "app/desktop_entry.h"

#include "app/file_io.h"

namespace arbor {

namespace {

// Values of string keys escape backslashes and line breaks.
QString escapedValue(QString value) {
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    value.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    value.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return value;
}

}  // namespace

QString desktopExecArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument)
        if (reserved.contains(c))
            needsQuotes = true;
    QString out;
    for (const QChar c : argument) {
        if (needsQuotes && (c == QLatin1Char('"') || c == QLatin1Char('`') ||
                            c == QLatin1Char('$') || c == QLatin1Char('\\')))
            out += QLatin1Char('\\');
        out += c;
        if (c == QLatin1Char('%'))
            out += QLatin1Char('%');
    }
    return needsQuotes ? QLatin1Char('"') + out + QLatin1Char('"') : out;
}

QString desktopEntryText(const DesktopEntry& entry) {
    QString exec = desktopExecArgument(entry.exec);
    if (!entry.execArguments.isEmpty())
        exec += QLatin1Char(' ') + entry.execArguments;
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\n");
    text += QStringLiteral("Name=") + escapedValue(entry.name) + QLatin1Char('\n');
    if (!entry.comment.isEmpty())
        text += QStringLiteral("Comment=") + escapedValue(entry.comment) + QLatin1Char('\n');
    // The Exec value is itself a string value, so its backslashes are escaped once more.
    text += QStringLiteral("Exec=") + escapedValue(exec) + QLatin1Char('\n');
    if (!entry.icon.isEmpty())
        text += QStringLiteral("Icon=") + escapedValue(entry.icon) + QLatin1Char('\n');
    if (!entry.mimeTypes.isEmpty())
        text += QStringLiteral("MimeType=") + entry.mimeTypes.join(QLatin1Char(';')) +
                QStringLiteral(";\n");
    text += QStringLiteral("Terminal=false\n");
    return text;
}

bool writeDesktopEntry(const QString& path, const DesktopEntry& entry) {
    return writeFileAtomically(path, desktopEntryText(entry).toUtf8());
}

}  // namespace arbor
