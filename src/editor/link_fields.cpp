#include "editor/link_fields.h"

namespace arbor {

namespace {

bool startsWithCi(const QString& text, QLatin1StringView prefix) {
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

// Full-width ASCII (U+FF01-U+FF5E, U+3000) and back.
QChar narrow(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 0xFF01 && u <= 0xFF5E)
        return QChar(char16_t(u - 0xFEE0));
    if (u == 0x3000)
        return QChar(u' ');
    return c;
}
QChar widen(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 0x21 && u <= 0x7E)
        return QChar(char16_t(u + 0xFEE0));
    if (u == u' ')
        return QChar(char16_t(0x3000));
    return c;
}

}  // namespace

LinkTarget splitLinkData(const QString& data) {
    if (startsWithCi(data, QLatin1StringView("TG_")))
        return {LinkKind::Tag, QStringLiteral("TG"), data.mid(3)};
    if (startsWithCi(data, QLatin1StringView("TP_")))
        return {LinkKind::Term, QStringLiteral("TP"), data.mid(3)};
    if (startsWithCi(data, QLatin1StringView("LK_OBJ\t")))
        return {LinkKind::Object, QStringLiteral("LK"), data.mid(7)};
    return {LinkKind::Hyperlink, QStringLiteral("LK"), data};
}

QString tagData(int page) {
    return QStringLiteral("TG_") + QString::number(page);
}
QString termData(const QString& term) {
    return QStringLiteral("TP_") + term;
}
QString objectData(const QString& markup) {
    return QStringLiteral("LK_OBJ\t") + markup;
}

QString tagSet(const QStringList& fieldData) {
    QString set = QStringLiteral(".");
    for (const QString& data : fieldData) {
        if (!startsWithCi(data, QLatin1StringView("TG_")))
            continue;
        const QString number = data.mid(3).trimmed();
        if (number.isEmpty())
            continue;
        if (!set.contains(u'.' + number + u'.'))
            set += number + u'.';
    }
    return set;
}

QString cleanTerm(const QString& term) {
    static const QString removed = QStringLiteral("@?>=<;:/.-,+*)('&%$#![\\]^_`{|}~｡｢｣､･ﾞﾟ\"");
    QString narrowed;
    for (QChar c : term)
        narrowed += narrow(c);
    QString kept;
    for (QChar c : narrowed)
        if (!removed.contains(c))
            kept += c;
    QString wide;
    for (QChar c : kept.trimmed())
        wide += widen(c);
    return wide;
}


}  // namespace arbor
