#include "editor/user_formats.h"

#include <QRegularExpression>
#include <QVariant>
#include <charconv>
#include <cmath>
#include <limits>

#include "app/prompter.h"
#include "app/yini.h"
#include "app/zclt.h"
#include "db/zsvr.h"

namespace arbor {

namespace {

const QString kGroup = QStringLiteral("TX_FORMAT");
const QString kDtp = QStringLiteral("USR_DTP");
const QString kEnterShift = QStringLiteral("USR_ENT_SHIFT");

QString formatTag(int n) {
    return QStringLiteral("USR_FORMAT_") + QString::number(n);
}

// A stored number as the field's integer: the leading number rounded half to even;
// false when it does not fit the field.
template <typename T>
bool toField(const QString& text, T& field) {
    const double v = std::nearbyint(leadingNumber(text));
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max())
        return false;
    field = static_cast<T>(v);
    return true;
}

}  // namespace

QString styleNamesText() {
    return QStringLiteral("見出１.見出２.見出３.本文 強調 補足");
}

QStringList styleNames() {
    return styleNamesText().split(QRegularExpression(QStringLiteral("[. ]")), Qt::SkipEmptyParts);
}

UsrFormat defaultUserFormat(int index) {
    struct Row {
        int16_t size;
        int32_t fore;
        int16_t bold, align, d1, d2, d3;
    };
    static const Row rows[kUserFormatCount] = {
        {14, 0x505A85, 1, 0, 160, 180, 160},
        {12, 0x4D6854, 1, 0, 160, 140, 120},
        {11, 0x563F3A, 1, 0, 160, 100, 80},
        {10, 0, 0, 0, 60, 0, 0},
        {10, 0, 1, 0, 60, 0, 0},
        {9, 0x808080, 0, 0, 60, 0, 0},
        {9, 0x563F3A, 0, 1, 0, 0, 0},
        {9, 0x563F3A, 0, 1, 0, 0, 0},
    };
    const Row& r = rows[qBound(0, index, kUserFormatCount - 1)];
    UsrFormat f;
    f.FontName = QStringLiteral("ＭＳ Ｐゴシック");
    f.FontSize = r.size;
    f.ForeColor = r.fore;
    f.BackColor = 0xFFFFFF;
    f.Bold = r.bold;
    f.ParaAlign = r.align;
    f.ParaDist1 = r.d1;
    f.ParaDist2 = r.d2;
    f.ParaDist3 = r.d3;
    return f;
}

QString FormatLine(const UsrFormat& f) {
    QStringList parts;
    parts << f.FontName;
    for (qint64 v : {qint64(f.FontSize), qint64(f.ForeColor), qint64(f.BackColor), qint64(f.Bold),
                     qint64(f.ParaAlign), qint64(f.ParaFrame1), qint64(f.ParaFrame2),
                     qint64(f.ParaFrame3), qint64(f.ParaDist1), qint64(f.ParaDist2),
                     qint64(f.ParaDist3), qint64(f.ParaDist4), qint64(f.ParaDist5)})
        parts << QString::number(v);
    return parts.join(u'|');
}

void AppendTagged(QString& text, const QString& tag, const QString& value) {
    text += u'<' + tag + u'>' + value + QStringLiteral("</") + tag + u'>' + u'\r';
}

QString lineSpacingText(float factor) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, factor);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

Frmt& Frmt::instance() {
    static Frmt table;
    return table;
}

Frmt::Frmt() {
    resetToDefaults();
}

void Frmt::resetToDefaults() {
    for (int i = 0; i < kUserFormatCount; ++i)
        formats_[i] = defaultUserFormat(i);
    LineSpacingFactor = 1.2f;
}

void Frmt::ParseUserFormat(const QString& line, int index) {
    if (index < 0 || index >= kUserFormatCount)
        return;
    const QStringList parts = line.split(u'|');
    UsrFormat f;
    bool valid = !line.isEmpty() && parts.size() == 14;
    if (valid) {
        f.FontName = parts[0];
        valid = toField(parts[1], f.FontSize) && toField(parts[2], f.ForeColor) &&
                toField(parts[3], f.BackColor) && toField(parts[4], f.Bold) &&
                toField(parts[5], f.ParaAlign) && toField(parts[6], f.ParaFrame1) &&
                toField(parts[7], f.ParaFrame2) && toField(parts[8], f.ParaFrame3) &&
                toField(parts[9], f.ParaDist1) && toField(parts[10], f.ParaDist2) &&
                toField(parts[11], f.ParaDist3) && toField(parts[12], f.ParaDist4) &&
                toField(parts[13], f.ParaDist5);
        // Older databases stored "no frame" as 32.
        if (parts[8] == QLatin1String("32"))
            f.ParaFrame3 = kNoFrame;
    }
    formats_[index] = valid ? f : defaultUserFormat(index);
}

void Frmt::setLineSpacingText(const QString& text) {
    const double v = leadingNumber(text);
    LineSpacingFactor = (v < 1.0 || v > 2.0) ? 1.2f : static_cast<float>(v);
}

bool Frmt::LoadUserFormats() {
    bool ok = false;
    const QString dm = zSvr::instance()
                           .readValue(QStringLiteral("Select DmFmt From kaUsr"), QString(), ok)
                           .toString();
    if (!ok)
        return false;
    const zClt clt;
    setLineSpacingText(clt.TsBtwn(dm, QStringLiteral("<USR_LSP>"), QStringLiteral("</USR_LSP>")));
    for (int n = 0; n < kUserFormatCount; ++n) {
        const QString tag = formatTag(n);
        ParseUserFormat(clt.TsBtwn(dm, u'<' + tag + u'>', QStringLiteral("</") + tag + u'>'), n);
    }
    yIni& ini = Ini();
    ini.GetGtx(kGroup);
    UsrDtp = ini.vGtVal(kDtp, true).toBool();
    UsrEntShift = ini.vGtVal(kEnterShift, true).toBool();
    return true;
}

QString Frmt::dmFmtText() const {
    QString text;
    AppendTagged(text, QStringLiteral("USR_LSP"), lineSpacingText(LineSpacingFactor));
    for (int n = 0; n < kUserFormatCount; ++n)
        AppendTagged(text, formatTag(n), FormatLine(formats_[n]));
    return text;
}

bool Frmt::SaveUserFormats() {
    zSvr& db = zSvr::instance();
    QString sql = QStringLiteral("Update kaUsr Set DmFmt='?'");
    db.T_CnvSq(sql, {dmFmtText()});
    const bool ok = db.D_ExeSq(sql);
    yIni& ini = Ini();
    ini.GetGtx(kGroup);
    ini.SetVal(kDtp, UsrDtp);
    ini.SetVal(kEnterShift, UsrEntShift);
    ini.SetGtx();
    bool written = false;
    ini.SetTxt(written);
    return ok;
}

bool Frmt::CheckHtmlFormats() {
    UsrFormat& h1 = formats_[kHeading1];
    UsrFormat& h2 = formats_[kHeading2];
    UsrFormat& h3 = formats_[kHeading3];
    UsrFormat& body = formats_[kBody];
    UsrFormat& emphasis = formats_[kEmphasis];
    const int b0 = body.FontSize;
    if ((b0 != 10 && b0 != 12 && b0 != 14) || emphasis.FontSize != b0) {
        prompter().message(
            QStringLiteral("HTMに対応の場合､本文のﾌｫﾝﾄｻｲｽﾞは 10(x_small) 12(small) "
                           "14(medium)のいずれかとし\r本文と強調は同じｻｲｽﾞにしてさい"),
            Severity::Warning);
        return false;
    }
    bool changed = false;
    const bool ordered = h1.FontSize > h2.FontSize && h2.FontSize > h3.FontSize &&
                         h3.FontSize >= body.FontSize && h3.FontSize >= emphasis.FontSize &&
                         h3.FontSize >= 10;
    if (!ordered) {
        prompter().message(QStringLiteral("見出しのﾌｫﾝﾄｻｲｽﾞ順に変えます"));
        int b = std::min<int>(body.FontSize, 12);
        const int e = std::min<int>(emphasis.FontSize, 12);
        if (e < b)
            b = e;
        const int t = std::max(b + 1, 12);
        h3.FontSize = static_cast<int16_t>(t);
        h2.FontSize = static_cast<int16_t>(t + 1);
        h1.FontSize = static_cast<int16_t>(t + 2);
        body.FontSize = static_cast<int16_t>(b);
        emphasis.FontSize = static_cast<int16_t>(e);
        changed = true;
    }
    UsrFormat& note = formats_[kNote];
    if (note.FontName != body.FontName || note.BackColor != 0xFFFFFF)
        changed = true;
    note.FontName = body.FontName;
    note.BackColor = 0xFFFFFF;
    return changed;
}

QString defaultFormatsText() {
    Frmt defaults;
    return defaults.dmFmtText();
}

void registerUserFormatLoading() {
    zSvr::setOpenHook([] { return Frmt::instance().LoadUserFormats(); });
}

}  // namespace arbor
