#include "exchange/folder_import_links.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

namespace arbor::folderimport {

namespace {

QString cleanKey(const QString& path) {
    return QDir::cleanPath(path);
}

}  // namespace

QString decodeCharacterReferences(const QString& value) {
    if (!value.contains(u'&'))
        return value;
    static const QRegularExpression reference(
        QStringLiteral("&(?:#([0-9]{1,7})|#[xX]([0-9A-Fa-f]{1,6})|([A-Za-z]+));"));
    static const QHash<QString, QString> named = {
        {QStringLiteral("amp"), QStringLiteral("&")},
        {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},
        {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("apos"), QStringLiteral("'")},
        {QStringLiteral("nbsp"), QStringLiteral("\u00A0")}};
    QString out;
    qsizetype last = 0;
    auto it = reference.globalMatch(value);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        QString replacement;
        bool ok = false;
        if (m.hasCaptured(1) && !m.captured(1).isEmpty()) {
            const uint code = m.captured(1).toUInt(&ok);
            ok = ok && code > 0 && code <= 0x10FFFF;
            if (ok)
                replacement = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        } else if (m.hasCaptured(2) && !m.captured(2).isEmpty()) {
            const uint code = m.captured(2).toUInt(&ok, 16);
            ok = ok && code > 0 && code <= 0x10FFFF;
            if (ok)
                replacement = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        } else {
            const auto n = named.constFind(m.captured(3));
            ok = n != named.cend();
            if (ok)
                replacement = *n;
        }
        if (!ok)
            continue;
        out += QStringView(value).mid(last, m.capturedStart() - last);
        out += replacement;
        last = m.capturedEnd();
    }
    out += QStringView(value).mid(last);
    return out;
}

PageLinks::PageLinks(const QString& root) : root_(cleanKey(root)) {}

void PageLinks::add(const QString& path, int page) {
    pages_.insert(cleanKey(path), page);
}

int PageLinks::pageOf(const QString& href, const QString& folder) const {
    QString target = decodeCharacterReferences(href).trimmed();
    target.replace(u'\\', u'/');
    if (target.isEmpty() || target.startsWith(u'#') || target.startsWith(QStringLiteral("//")))
        return 0;
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    const QRegularExpressionMatch m = scheme.match(target);
    if (m.hasMatch()) {
        if (m.captured(1).compare(QStringLiteral("file"), Qt::CaseInsensitive) != 0)
            return 0;
        const QUrl url(target);
        if (!url.isLocalFile())
            return 0;
        return pages_.value(cleanKey(url.toLocalFile()), 0);
    }
    static const QRegularExpression queryOrFragment(QStringLiteral("[?#]"));
    const qsizetype cut = target.indexOf(queryOrFragment);
    if (cut >= 0)
        target.truncate(cut);
    target = QUrl::fromPercentEncoding(target.toUtf8());
    if (target.isEmpty())
        return 0;
    if (target.startsWith(u'/')) {
        const int page = pages_.value(cleanKey(target), 0);
        return page > 0 ? page : pages_.value(cleanKey(root_ + target), 0);
    }
    return pages_.value(cleanKey(folder + u'/' + target), 0);
}

QString PageLinks::rewrite(const QString& html, const QString& folder) const {
    static const QRegularExpression anchor(QStringLiteral("<a\\s[^>]*>"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression href(
        QStringLiteral("(\\shref\\s*=\\s*)(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'>]+))"),
        QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype last = 0;
    auto tags = anchor.globalMatch(html);
    while (tags.hasNext()) {
        const QRegularExpressionMatch tag = tags.next();
        const QString element = tag.captured();
        const QRegularExpressionMatch h = href.match(element);
        if (!h.hasMatch())
            continue;
        int value = 2;
        while (value <= 4 && !h.hasCaptured(value))
            ++value;
        const int page = pageOf(h.captured(value), folder);
        if (page <= 0)
            continue;
        out += QStringView(html).mid(last, tag.capturedStart() - last);
        out += QStringView(element).left(h.capturedEnd(1));
        out += QStringLiteral("\"#TG_") + QString::number(page) + u'"';
        out += QStringView(element).mid(h.capturedEnd());
        last = tag.capturedEnd();
    }
    if (last == 0)
        return html;
    out += QStringView(html).mid(last);
    return out;
}

}  // namespace arbor::folderimport
