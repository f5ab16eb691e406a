#include "app/yini.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/desktop_entry.h"
#include "app/file_io.h"
#include "app/program_state.h"
#include "app/prompter.h"
#include "app/shell_ops.h"
#include "app/zclt.h"

namespace arbor {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kRootStart = QStringLiteral("<運用>");
const QString kRootEnd = QStringLiteral("</運用>");
const QString kDeclaration = QStringLiteral("<?xml version='1.0' encoding='UTF-8' ?>");
const QString kGroupIndent = QStringLiteral("   ");
const QString kValueIndent = QStringLiteral("      ");
const QString kDefaultToken = QStringLiteral("%applicaion data%");
// Base address of the help pages; a topic's page name is appended.
const QString kHelpSite = QStringLiteral("https://arbor.example.org/help/");

QString firstLineOf(const QString& text) {
    qsizetype end = 0;
    while (end < text.size() && text.at(end) != QLatin1Char('\r') &&
           text.at(end) != QLatin1Char('\n'))
        ++end;
    return text.left(end);
}

// The settings file as text. It is UTF-8 as this program writes it; a file written on
// Windows is Shift-JIS and says so in its declaration. faithful is false when the
// bytes fit neither, and the text then holds replacement characters.
QString decodeSettings(QByteArray bytes, bool& faithful) {
    faithful = true;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    const qsizetype eol = bytes.indexOf('\n');
    const QByteArray declaration = bytes.left(eol < 0 ? bytes.size() : eol).toLower();
    const bool saysShiftJis = declaration.contains("shift-jis") ||
                              declaration.contains("shift_jis") || declaration.contains("sjis") ||
                              declaration.contains("cp932") || declaration.contains("windows-31j");
    if (saysShiftJis) {
        QStringDecoder sjis("Shift-JIS");
        if (sjis.isValid()) {
            text = sjis(bytes);
            if (!sjis.hasError())
                return text;
        }
    }
    faithful = false;
    return QString::fromUtf8(bytes);
}

// The file begins with a declaration naming UTF-8, whatever the file it came from said.
QString withUtf8Declaration(const QString& text) {
    if (!text.startsWith(QLatin1String("<?xml")))
        return text;
    return kDeclaration + text.mid(firstLineOf(text).size());
}

bool isIntegerType(int type) {
    switch (type) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            return true;
        default:
            return false;
    }
}

bool isNumberType(int type) {
    return isIntegerType(type) || type == QMetaType::Double || type == QMetaType::Float;
}

// The number in the numeric type of like; integers round half to even and stay in range.
QVariant numberLike(double value, const QVariant& like) {
    const int type = like.typeId();
    if (type == QMetaType::Double)
        return QVariant(value);
    if (type == QMetaType::Float)
        return QVariant(static_cast<float>(value));
    double rounded = std::nearbyint(value);
    if (std::isnan(rounded))
        rounded = 0;
    if (type == QMetaType::Int) {
        rounded = std::clamp(rounded, static_cast<double>(std::numeric_limits<int>::min()),
                             static_cast<double>(std::numeric_limits<int>::max()));
        return QVariant(static_cast<int>(rounded));
    }
    rounded = std::clamp(rounded, -9.2e18, 9.2e18);
    QVariant result(static_cast<qlonglong>(rounded));
    result.convert(like.metaType());
    return result;
}

// "True"/"False" as written, or a number (non-zero is true); anything else is no boolean.
bool readBoolean(const QString& text, bool& value) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        value = true;
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        value = false;
        return true;
    }
    bool isNumber = false;
    const double number = t.toDouble(&isNumber);
    if (!isNumber)
        return false;
    value = number != 0;
    return true;
}

// A path from UserData.ini: "~/" is the home folder; a relative path is taken from the
// program folder, where UserData.ini itself lives.
QString configuredFolder(const QString& token, const QString& programDir) {
    QString path = token;
    if (path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    if (QDir::isRelativePath(path))
        path = programDir + path;
    return path;
}

}  // namespace

QString yIni::skeleton() {
    return kDeclaration + kCrLf + kRootStart + kCrLf + kRootEnd;
}

QString yIni::helpAddress(const QString& topic) {
    QString page = topic.toLower();
    if (!page.contains(QLatin1Char('.')))
        page += QStringLiteral(".htm");
    return kHelpSite + page;
}

// ---------------------------------------------------------------- user data folder

bool yIni::W_UserData() {
    QString programDir = G().ProgramDir;
    if (!programDir.isEmpty() && !programDir.endsWith(QLatin1Char('/')))
        programDir += QLatin1Char('/');
    G().ApDataPath = apDataPathFor(programDir);
    recordProgramPath();

    const UserFolders folders = folders_.resolved();
    const QString tail = QStringLiteral("/Marrow/") + G().ExeName + QLatin1Char('/');
    const QString defaultFolder = folders.appData + tail;

    bool rewrite = false;
    const QString token = userDataIniToken(rewrite);
    const QString lower = token.toLower();
    QString chosen;
    if (lower == QLatin1String("%app%")) {
        chosen = programDir + QStringLiteral("usData/");
    } else if (lower == QLatin1String("%usr%") || lower == kDefaultToken) {
        chosen = defaultFolder;
    } else if (lower == QLatin1String("%doc") || lower == QLatin1String("%my document%")) {
        chosen = folders.documents + tail;
    } else if (lower.startsWith(QLatin1Char('%'))) {
        chosen = defaultFolder;
    } else {
        // Only the tokens are compared in lower case: folder names here keep their case.
        const QString folder = configuredFolder(token, programDir);
        if (QFileInfo(folder).isDir()) {
            chosen = QFileInfo(folder).absoluteFilePath();
            if (!chosen.endsWith(QLatin1Char('/')))
                chosen += QLatin1Char('/');
        } else {
            prompter().message(QStringLiteral("ﾌｫﾙﾀﾞ ") + token +
                                   QStringLiteral(" が見つかりません") + QLatin1Char('\n') +
                                   QStringLiteral("ﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　") + defaultFolder +
                                   QStringLiteral(" を使用します"),
                               Severity::Warning);
            chosen = defaultFolder;
        }
    }
    G().UserPath = chosen;
    if (!QFileInfo(chosen).isDir())
        F_CreateFld(chosen);
    if (rewrite) {
        // Beside an installed program this folder is read-only; the default then
        // simply applies again next time.
        writeFileAtomically(programDir + QStringLiteral("UserData.ini"),
                            (kDefaultToken + kCrLf).toUtf8());
    }
    return QFileInfo(chosen).isDir();
}

QString yIni::userDataIniToken(bool& rewrite) const {
    rewrite = false;
    QFile file(G().ProgramDir + QStringLiteral("UserData.ini"));
    QString line;
    if (file.open(QIODevice::ReadOnly)) {
        bool faithful = true;
        line = firstLineOf(decodeSettings(file.readAll(), faithful)).trimmed();
    }
    if (line.isEmpty()) {
        rewrite = true;
        return kDefaultToken;
    }
    return line;
}

void yIni::recordProgramPath() const {
    // The same file QSettings("MarrowTools", "MarrowTools") uses, so companion programs
    // find the value with the usual call.
    QSettings settings(folders_.resolved().config + QStringLiteral("/MarrowTools/MarrowTools.conf"),
                       QSettings::IniFormat);
    const QString key = QStringLiteral("Path/") + G().ExeName;
    const QString program = programFilePath();
    // Exact comparison: file names differ in case on this platform.
    if (settings.value(key).toString() != program) {
        settings.setValue(key, program);
        settings.sync();
    }
}

void yIni::FsGtSpFld(int folder, QString& path) const {
    const UserFolders folders = folders_.resolved();
    switch (folder) {
        case 26:
            path = folders.appData;
            break;
        case 5:
            path = folders.documents;
            break;
        case 9:
            path = folders.appData + QStringLiteral("/applications");
            break;
        default:
            path.clear();
    }
}

void yIni::F_ChkSb(const QString& base, const QStringList& names) const {
    Clt().F_ChkSb(base, names);
}

void yIni::F_CreateFld(const QString& path) const {
    Clt().F_CreateFld(path);
}

// ---------------------------------------------------------------- shell

void yIni::W_Help(const QString& topic) const {
    openWithDesktop(QUrl(helpAddress(topic)));
}

void yIni::W_HtmView(const QString& target) const {
    if (!target.isEmpty())
        openWithDesktop(urlForTarget(target));
}

void yIni::W_SendTo() const {
    QString folder;
    FsGtSpFld(9, folder);
    if (!Clt().F_CreateFld(folder))
        return;
    const QString program = programFilePath();
    DesktopEntry entry;
    entry.name = G().ExeName;
    entry.exec = program;
    entry.execArguments = QStringLiteral("%f");
    if (!writeDesktopEntry(folder + QLatin1Char('/') + G().ExeName + QStringLiteral(".desktop"),
                           entry))
        return;
    prompter().message(QFileInfo(program).fileName() + QStringLiteral(" のｼｮｰﾄｶｯﾄを ") + folder +
                       QStringLiteral(" に作成しました"));
}

void yIni::W_ExpFd(const QString& path, bool open) const {
    if (path.isEmpty())
        return;
    if (open)
        openWithDesktop(urlForTarget(path));
    else if (QFileInfo(path).isDir())
        openWithDesktop(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

// ---------------------------------------------------------------- settings file

void yIni::GetTxt(const QString& path, bool& ok) {
    ok = false;
    QString file = path;
    const qsizetype dv = file.indexOf(QLatin1String("_DV.xml"), 0, Qt::CaseInsensitive);
    if (dv >= 0)
        file.replace(dv, 7, QStringLiteral(".xml"));
    filePath_ = file;
    text_.clear();
    groupText_.clear();
    groupName_.clear();
    keepCopyBeforeWrite_ = false;

    bool faithful = true;
    const QFileInfo info(file);
    if (info.exists()) {
        QFile in(file);
        QByteArray bytes;
        if (in.open(QIODevice::ReadOnly))
            bytes = in.readAll();
        if (!in.isOpen() || in.error() != QFileDevice::NoError) {
            // The program runs on the skeleton; the file itself is not overwritten
            // unless it can first be copied aside.
            keepCopyBeforeWrite_ = true;
            text_ = skeleton();
            return;
        }
        const QString whole = decodeSettings(bytes, faithful);
        if (!firstLineOf(whole).isEmpty())
            text_ = whole;
        else if (!whole.trimmed().isEmpty())
            keepCopyBeforeWrite_ = true;  // content after an empty first line is not read
        if (!faithful)
            keepCopyBeforeWrite_ = true;
    } else {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly)) {
            text_ = skeleton();
            return;
        }
    }
    if (text_.isEmpty())
        text_ = skeleton();
    ok = faithful;
}

QString yIni::lookup(const QString& text, const QString& key, bool group) {
    if (text.isEmpty())
        return {};
    const qsizetype p = text.indexOf(QLatin1Char('<') + key + QLatin1Char('>'));
    const qsizetype q = text.indexOf(QStringLiteral("</") + key + QLatin1Char('>'));
    if (p < 0 && q < 0)
        return {};
    if (p >= 0 && q >= 0 && p <= q) {
        const qsizetype start = p + key.size() + 2;
        if (!group)
            return q > start ? text.mid(start, q - start) : QString();
        // Without the line break after the start tag and the blanks before the end tag.
        const qsizetype length = q - start - 5;
        return length > 0 ? text.mid(start + 2, length) : QString();
    }
    prompter().message(QLatin1Char('<') + key + QStringLiteral("> の設定が読み込めません") +
                           QLatin1Char('\n') + QStringLiteral("ﾕｰｻﾞｰ環境ﾌｧｲﾙ(") + filePath_ +
                           QStringLiteral(") が破損しています"),
                       Severity::Warning);
    // The damaged text may be rewritten; the file as the user had it is kept aside.
    keepCopyBeforeWrite_ = true;
    return {};
}

void yIni::GetGtx(const QString& name) {
    groupName_ = name;
    groupText_ = lookup(text_, name, true);
}

QVariant yIni::vGtVal(const QString& key, const QVariant& defaultValue) {
    const QString value = lookup(groupText_, key, false);
    const int type = defaultValue.typeId();
    if (type == QMetaType::Bool) {
        bool b = defaultValue.toBool();
        if (!value.isEmpty())
            readBoolean(value, b);
        return QVariant(b);
    }
    if (type == QMetaType::QDateTime || type == QMetaType::QDate) {
        QDateTime date;
        if (value.isEmpty() || !parseDateText(value, date))
            return defaultValue;
        return type == QMetaType::QDate ? QVariant(date.date()) : QVariant(date);
    }
    if (value.isEmpty())
        return defaultValue;
    if (isNumberType(type))
        return numberLike(leadingNumber(value), defaultValue);
    return QVariant(value);
}

void yIni::SetVal(const QString& key, const QVariant& value) {
    const QString start = QLatin1Char('<') + key + QLatin1Char('>');
    const QString end = QStringLiteral("</") + key + QLatin1Char('>');
    const QString text = variantText(value);
    const qsizetype p = groupText_.indexOf(start);
    if (p >= 0) {
        const qsizetype q = groupText_.indexOf(end, p + start.size());
        if (q >= 0) {
            groupText_.replace(p + start.size(), q - p - start.size(), text);
            return;
        }
    }
    groupText_ += kValueIndent + start + text + end + kCrLf;
}

void yIni::SetGtx() {
    if (text_.isEmpty())
        text_ = skeleton();
    const QString start = QLatin1Char('<') + groupName_ + QLatin1Char('>');
    const QString end = QStringLiteral("</") + groupName_ + QLatin1Char('>');
    const qsizetype p = text_.indexOf(start);
    if (p >= 0) {
        const qsizetype q = text_.indexOf(end, p + start.size());
        if (q >= 0) {
            text_ = text_.left(p + start.size() + 2) + groupText_ + kGroupIndent + text_.mid(q);
            return;
        }
    }
    const QString block = kGroupIndent + start + kCrLf + groupText_ + kGroupIndent + end + kCrLf;
    if (p >= 0) {
        // The group was cut short (no end tag): the new group takes its place, or the
        // next start would read the broken group's old values first.
        replaceBrokenGroup(p, block);
        return;
    }
    const qsizetype root = text_.indexOf(kRootEnd);
    if (root >= 0) {
        text_.insert(root, block);
    } else {
        // No root end tag: the file was cut short. The group goes at the end and the
        // root is closed again, so the file stays readable; the original is kept aside.
        if (!text_.endsWith(QLatin1Char('\n')))
            text_ += kCrLf;
        text_ += block + kRootEnd;
        keepCopyBeforeWrite_ = true;
    }
}

void yIni::replaceBrokenGroup(qsizetype start, const QString& block) {
    // The broken group runs to the next group's start line, the root's end or the end.
    static const QRegularExpression nextGroup(QStringLiteral("\\n {0,3}<(?![/?])"));
    qsizetype end = text_.size();
    const QRegularExpressionMatch m = nextGroup.match(text_, start + 1);
    if (m.hasMatch())
        end = m.capturedStart() + 1;
    const qsizetype root = text_.indexOf(kRootEnd, start);
    if (root >= 0 && root < end)
        end = root;
    qsizetype lineStart = start;
    while (lineStart > 0 && text_.at(lineStart - 1) == u' ')
        --lineStart;
    text_.replace(lineStart, end - lineStart, block);
    if (!text_.contains(kRootEnd))
        text_ += kRootEnd;
    keepCopyBeforeWrite_ = true;
}

bool yIni::backupDamagedFile() {
    if (!QFileInfo::exists(filePath_))
        return true;
    QString backup = filePath_ + QStringLiteral(".bak");
    for (int n = 1; QFileInfo::exists(backup) || QFileInfo(backup).isSymLink(); ++n)
        backup = filePath_ + QStringLiteral(".bak") + QString::number(n);
    return QFile::copy(filePath_, backup);
}

void yIni::SetTxt(bool& ok) {
    ok = true;
    if (filePath_.isEmpty())
        return;
    if (keepCopyBeforeWrite_ && !backupDamagedFile()) {
        // The file could not be kept aside (an unreadable file, a full disk): better
        // to lose this session's settings than the user's file.
        ok = false;
        return;
    }
    keepCopyBeforeWrite_ = false;
    ok = writeFileAtomically(filePath_, withUtf8Declaration(text_).toUtf8());
}

yIni& Ini() {
    static yIni settings;
    return settings;
}

}  // namespace arbor
