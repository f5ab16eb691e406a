#include "app/zclt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cctype>
#include <cstdlib>
#include <string>

#include "app/file_io.h"
#include "app/prompter.h"

namespace arbor {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// Splits "folder/pattern" into the folder (empty means the current one) and the name.
void splitFolderAndName(const QString& path, QString& folder, QString& name) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    folder = slash < 0 ? QStringLiteral(".") : path.left(slash + 1);
    if (folder.isEmpty())
        folder = QStringLiteral("/");
    name = path.mid(slash + 1);
}

// A name pattern as a directory listing of the desktop reads it: "*.*" means every
// file, and "[" is an ordinary character.
QString listingPattern(QString name) {
    if (name == QLatin1String("*.*"))
        return QStringLiteral("*");
    name.replace(QLatin1Char('['), QLatin1String("[[]"));
    return name;
}

QStringList filesMatching(const QString& pattern) {
    QString folder, name;
    splitFolderAndName(pattern, folder, name);
    if (name.isEmpty())
        return {};
    const QDir dir(folder);
    QStringList paths;
    const QStringList names = dir.entryList({listingPattern(name)}, QDir::Files);
    for (const QString& n : names)
        paths << dir.filePath(n);
    return paths;
}

void replaceUntilStable(QString& text, const QString& from, const QString& to) {
    while (text.contains(from))
        text.replace(from, to);
}

}  // namespace

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString cleanTitle(const QString& title) {
    QString clean;
    clean.reserve(title.size());
    for (QChar c : title) {
        if (c == u' ' || c == u'&' || c == u'<' || c == u'>' || c == u'"' || c == u'\'')
            continue;
        clean += c;
    }
    return clean;
}

QString fullWidthNumber(qint64 n) {
    QString digits = QString::number(n);
    for (QChar& c : digits)
        if (c.isDigit())
            c = QChar(char16_t(c.unicode() - u'0' + 0xFF10));
    return digits;
}

double leadingNumber(const QString& text) {
    // Blanks, tabs and line feeds are skipped anywhere in the number ("1 2" is 12).
    std::string ascii;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r'))
            continue;
        if (c.unicode() > 0x7F)
            break;
        ascii.push_back(static_cast<char>(c.unicode()));
    }
    if (ascii.size() >= 2 && ascii[0] == '&' && (ascii[1] == 'H' || ascii[1] == 'h')) {
        std::size_t n = 2;
        double value = 0;
        while (n < ascii.size() && std::isxdigit(static_cast<unsigned char>(ascii[n]))) {
            const char d = ascii[n++];
            value = value * 16 + (std::isdigit(static_cast<unsigned char>(d))
                                      ? d - '0'
                                      : std::tolower(static_cast<unsigned char>(d)) - 'a' + 10);
        }
        return value;
    }
    // Keep only the longest prefix that reads as a decimal number; strtod alone would
    // also accept "inf", "nan" and hexadecimal forms.
    std::size_t n = 0;
    if (n < ascii.size() && (ascii[n] == '+' || ascii[n] == '-'))
        ++n;
    const std::size_t digitsStart = n;
    while (n < ascii.size() && std::isdigit(static_cast<unsigned char>(ascii[n])))
        ++n;
    if (n < ascii.size() && ascii[n] == '.') {
        ++n;
        while (n < ascii.size() && std::isdigit(static_cast<unsigned char>(ascii[n])))
            ++n;
    }
    if (n == digitsStart || (n == digitsStart + 1 && ascii[digitsStart] == '.'))
        return 0;
    if (n < ascii.size() &&
        (ascii[n] == 'e' || ascii[n] == 'E' || ascii[n] == 'd' || ascii[n] == 'D')) {
        std::size_t e = n + 1;
        if (e < ascii.size() && (ascii[e] == '+' || ascii[e] == '-'))
            ++e;
        if (e < ascii.size() && std::isdigit(static_cast<unsigned char>(ascii[e]))) {
            while (e < ascii.size() && std::isdigit(static_cast<unsigned char>(ascii[e])))
                ++e;
            ascii[n] = 'e';
            n = e;
        }
    }
    ascii.resize(n);
    return std::strtod(ascii.c_str(), nullptr);
}

QString variantText(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case QMetaType::QDateTime: {
            const QDateTime dt = value.toDateTime();
            return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy/MM/dd"))
                                            : dt.toString(QStringLiteral("yyyy/MM/dd H:mm:ss"));
        }
        case QMetaType::QDate:
            return value.toDate().toString(QStringLiteral("yyyy/MM/dd"));
        case QMetaType::QTime:
            return value.toTime().toString(QStringLiteral("H:mm:ss"));
        case QMetaType::Double:
        case QMetaType::Float:
            return QString::number(value.toDouble(), 'g', 15);
        default:
            return value.toString();
    }
}

bool parseDateText(const QString& text, QDateTime& date) {
    static const QRegularExpression dateForm(QStringLiteral(
        R"(^\s*(\d{4})[/.\-](\d{1,2})[/.\-](\d{1,2})(?:(?:\s+|T)(\d{1,2}):(\d{1,2})(?::(\d{1,2})(?:\.\d+)?)?)?\s*$)"));
    static const QRegularExpression timeForm(
        QStringLiteral(R"(^\s*(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?\s*$)"));
    auto number = [](const QRegularExpressionMatch& m, int i) {
        return m.captured(i).isEmpty() ? 0 : m.captured(i).toInt();
    };
    QDate day;
    QTime time(0, 0);
    int firstTime = 0;
    QRegularExpressionMatch m = dateForm.match(text);
    if (m.hasMatch()) {
        day = QDate(number(m, 1), number(m, 2), number(m, 3));
        firstTime = 4;
    } else {
        m = timeForm.match(text);
        if (!m.hasMatch())
            return false;
        day = QDate(1899, 12, 30);
        firstTime = 1;
    }
    if (!m.captured(firstTime).isEmpty())
        time = QTime(number(m, firstTime), number(m, firstTime + 1), number(m, firstTime + 2));
    if (!day.isValid() || !time.isValid())
        return false;
    date = QDateTime(day, time);
    return true;
}

// ---------------------------------------------------------------- files

bool zClt::FbExFile(const QString& path, bool wildcards) const {
    if (path.isEmpty())
        return false;
    QString folder, name;
    splitFolderAndName(path, folder, name);
    if (wildcards && (name.contains(QLatin1Char('?')) || name.contains(QLatin1Char('*'))))
        return !filesMatching(path).isEmpty();
    return QFileInfo(path).isFile();
}

bool zClt::FbExFolder(const QString& path) const {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool zClt::F_CreateFld(const QString& path) const {
    if (path.isEmpty())
        return false;
    QString full = path;
    if (!full.endsWith(QLatin1Char('/')))
        full += QLatin1Char('/');
    // Every level is created from the left; the root (empty text before the first
    // "/") is where a drive letter would stand elsewhere. Failures are ignored here
    // and show in the result.
    QDir dir;
    for (qsizetype i = 0; i < full.size(); ++i) {
        if (full.at(i) != QLatin1Char('/'))
            continue;
        const QString level = full.left(i);
        if (level.isEmpty() || QFileInfo(level).isDir())
            continue;
        dir.mkdir(level);
    }
    return QFileInfo(full).isDir();
}

void zClt::F_ChkSb(const QString& base, const QStringList& names) const {
    QString prefix = base;
    if (!prefix.isEmpty() && !prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    QDir dir;
    for (const QString& name : names) {
        if (name.isEmpty())
            continue;
        const QString path = prefix + name;
        if (!QFileInfo(path).isDir())
            dir.mkdir(path);
    }
}

bool zClt::F_Copy(const QString& source, const QString& destination) const {
    if (!QFileInfo(source).isFile() || destination.isEmpty())
        return false;
    const QFileInfo target(destination);
    if (target.isDir())
        return false;
    if (target.exists() || target.isSymLink()) {
        if (!prompter().confirm(QStringLiteral("同名ﾌｧｲﾙがあります 削除して良いですか")))
            return false;
    }
    // The old file is replaced by the rename at the end of the copy, never deleted
    // beforehand: a failed copy then leaves it as it was.
    return copyFileReplacing(source, destination);
}

void zClt::F_DelFile(const QString& pathOrPattern) const {
    if (pathOrPattern.isEmpty())
        return;
    QString folder, name;
    splitFolderAndName(pathOrPattern, folder, name);
    if (name.contains(QLatin1Char('*'))) {
        for (const QString& file : filesMatching(pathOrPattern))
            QFile::remove(file);
        return;
    }
    const QFileInfo info(pathOrPattern);
    if (info.isFile() || (info.isSymLink() && !info.isDir()))
        QFile::remove(pathOrPattern);
}

bool zClt::F_StTxtFL(const QString& path, const QString& text, bool append) const {
    if (path.isEmpty())
        return false;
    const QByteArray bytes = text.toLocal8Bit();
    if (!append)
        return writeFileAtomically(path, bytes);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const bool written = file.write(bytes) == bytes.size();
    return file.flush() && written;
}

QString zClt::FsGtText(const QString& path, bool* ok) const {
    if (ok)
        *ok = false;
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    if (ok)
        *ok = true;
    return QString::fromLocal8Bit(bytes);
}

QString zClt::FsGtUtf(const QString& path) const {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    if (bytes.startsWith(kUtf8Bom))
        bytes.remove(0, kUtf8Bom.size());
    return QString::fromUtf8(bytes);
}

bool zClt::F_StUtf(const QString& path, const QString& text) const {
    if (text.isEmpty())
        return true;
    return writeFileAtomically(path, kUtf8Bom + text.toUtf8());
}

// ---------------------------------------------------------------- text

void zClt::T_AddRwd(QString& list, const QString& separator) const {
    if (!list.isEmpty() && !list.endsWith(separator))
        list += separator;
}

void zClt::T_DelRwd(QString& list, QString separator) const {
    if (separator.isEmpty())
        separator = QStringLiteral(",");
    if (separator == QLatin1String(",")) {
        list.replace(QLatin1String(", "), QLatin1String(","));
        list.replace(QLatin1String(" ,"), QLatin1String(","));
    }
    while (list.endsWith(separator))
        list.chop(separator.size());
}

void zClt::T_SpltWd(const QString& text, const QString& separator, QString& left,
                    QString& right) const {
    int position = -1;
    if (InStrTx(text, separator, position)) {
        left = trimBlanks(text.left(position));
        right = trimBlanks(text.mid(position + separator.size()));
    } else {
        left = trimBlanks(text);
        right.clear();
    }
}

QString zClt::TsLwd(QString& text, const QString& separator) const {
    text = trimBlanks(text);
    int position = -1;
    QString word;
    if (InStrTx(text, separator, position)) {
        word = text.left(position);
        text = text.mid(position + separator.size());
    } else {
        word = text;
        text.clear();
    }
    return trimBlanks(word);
}

QString zClt::TsBtwn(const QString& text, const QString& startMark, const QString& endMark) const {
    QString whole = text;
    if (!whole.endsWith(endMark))
        whole += endMark;
    qsizetype start = 0;
    if (!startMark.isEmpty()) {
        const qsizetype p = whole.indexOf(startMark, 0, Qt::CaseInsensitive);
        if (p < 0)
            return {};
        start = p + startMark.size();
    }
    const qsizetype end = whole.indexOf(endMark, start, Qt::CaseInsensitive);
    if (end < 0)
        return {};
    return whole.mid(start, end - start);
}

void zClt::T_TrmCR(QString& text) const {
    const QString cr(QLatin1Char('\r'));
    replaceUntilStable(text, QStringLiteral("  "), QStringLiteral(" "));
    text.remove(QChar(1));
    text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    replaceUntilStable(text, QStringLiteral("\r\n"), cr);
    replaceUntilStable(text, QStringLiteral("\r "), cr);
    replaceUntilStable(text, QStringLiteral("\r\r"), cr);
    text.replace(cr, QStringLiteral("\r\n"));
}

void zClt::T_CnvSq(QString& text, const QVariantList& values) const {
    // The search for the next placeholder resumes after the inserted value, so a "?"
    // inside a value is never taken for a placeholder and stays as the user wrote it.
    qsizetype from = 0;
    for (const QVariant& value : values) {
        const qsizetype at = text.indexOf(QLatin1Char('?'), from);
        if (at < 0)
            break;
        const QString inserted = variantText(value);
        text.replace(at, 1, inserted);
        from = at + inserted.size();
    }
}

bool zClt::TbChkDy(const QString& text, QDateTime& date) const {
    return parseDateText(text, date);
}

bool zClt::InStrTx(const QString& text, const QString& mark, int& position) const {
    position = -1;
    if (mark.isEmpty())
        return false;
    position = static_cast<int>(text.indexOf(mark, 0, Qt::CaseInsensitive));
    return position >= 0;
}

zClt& Clt() {
    static zClt shared;
    return shared;
}

}  // namespace arbor
