#include "web/site_template.h"

#include <QRegularExpression>

namespace arbor::web {

QString ReplaceElementContent(const QString& text, const QString& idAttribute,
                              const QString& closingTag, const QString& content) {
    QString id = idAttribute;
    id.replace(u'\'', u'"');
    const qsizetype at = text.indexOf(id, 0, Qt::CaseInsensitive);
    if (at < 0)
        return text;
    const qsizetype startEnd = text.indexOf(u'>', at + id.size());
    if (startEnd < 0)
        return text;
    const qsizetype closing = text.indexOf(closingTag, startEnd + 1, Qt::CaseInsensitive);
    if (closing < 0)
        return text;  // a broken template stays as it is rather than lose its rest
    QString out;
    out.reserve(text.size() + content.size());
    out += QStringView(text).left(startEnd + 1);
    out += content;
    out += QStringView(text).mid(closing);
    return out;
}

QString singleCrLines(QString text) {
    // One pass over the characters: CR LF and LF-less runs of CR become one CR.
    const QChar* in = text.constData();
    const qsizetype n = text.size();
    QString out(n, Qt::Uninitialized);
    QChar* o = out.data();
    qsizetype k = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = in[i];
        if (c == u'\n' && i > 0 && in[i - 1] == u'\r')
            continue;  // the LF of CR LF
        if (c == u'\r' && k > 0 && o[k - 1] == u'\r')
            continue;
        o[k++] = c;
    }
    out.truncate(k);
    return out;
}

namespace {

// The page head with the body's style block in place of its own.
QString headWithBodyStyle(QString head, const QString& body) {
    const qsizetype styleEnd = body.indexOf(QStringLiteral("</style>"), 0, Qt::CaseInsensitive);
    if (styleEnd < 0 || !body.contains(QStringLiteral("<style type"), Qt::CaseInsensitive))
        return head;
    const qsizetype styleStart = body.indexOf(QStringLiteral("<style"), 0, Qt::CaseInsensitive);
    const qsizetype styleClose =
        body.indexOf(QStringLiteral("</style>"), styleStart, Qt::CaseInsensitive);
    if (styleStart < 0 || styleClose < 0)
        return head;
    const QString style = body.mid(styleStart, styleClose - styleStart);
    const qsizetype own = head.indexOf(QStringLiteral("<style"), 0, Qt::CaseInsensitive);
    const qsizetype ownEnd =
        own < 0 ? -1 : head.indexOf(QStringLiteral("</style>"), own, Qt::CaseInsensitive);
    if (own >= 0 && ownEnd >= 0)
        return head.left(own) + style + head.mid(ownEnd);
    return head + style + QStringLiteral("</style>");
}

// The text between the end of the "<body" start tag and "</body>".
QString bodyContent(const QString& body) {
    const qsizetype open = body.indexOf(QStringLiteral("<body"), 0, Qt::CaseInsensitive);
    if (open < 0)
        return body;
    const qsizetype start = body.indexOf(u'>', open);
    if (start < 0)
        return QString();
    qsizetype end = body.indexOf(QStringLiteral("</body>"), start, Qt::CaseInsensitive);
    if (end < 0)
        end = body.size();
    return body.mid(start + 1, end - start - 1);
}

// In the template editor's preview: its work style sheet (always "navi_wrk.css", the one
// file the editor writes, whatever layout and ID the template names) and its picture folder.
QString previewLinks(QString text) {
    static const QRegularExpression navi(QStringLiteral(R"(href="\.\./cmn/(navi[^"]*?)\.css")"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = navi.match(text);
    if (m.hasMatch())
        text.replace(m.capturedStart(1), m.capturedLength(1), QStringLiteral("navi_wrk"));
    static const QRegularExpression pictures(QStringLiteral(R"((src=")(pic/))"),
                                             QRegularExpression::CaseInsensitiveOption);
    text.replace(pictures, QStringLiteral("\\1../pub/\\2"));
    return text;
}

}  // namespace

QString MergeTemplate(const QString& templ, const QString& head, const QString& body,
                      bool preview) {
    QString pageHead = headWithBodyStyle(head, body);
    const QString content = bodyContent(body);

    const qsizetype bodyTag = templ.indexOf(QStringLiteral("<body"), 0, Qt::CaseInsensitive);
    const qsizetype split = bodyTag > 0 ? bodyTag - 1 : 0;
    const QString templHead = templ.left(split);
    const QString templBody = templ.mid(split);

    QString links;
    static const QRegularExpression linkTag(QStringLiteral("<link rel[^>]*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    for (auto it = linkTag.globalMatch(templHead); it.hasNext();)
        links += it.next().captured(0) + u'\r';
    if (!links.isEmpty()) {
        const qsizetype style = pageHead.indexOf(QStringLiteral("<style"), 0, Qt::CaseInsensitive);
        if (style >= 0)
            pageHead.insert(style, links);
        else
            pageHead += links;
    }

    const qsizetype id = templBody.indexOf(QStringLiteral("id=\"dMain\""), 0, Qt::CaseInsensitive);
    if (id < 0)
        return templ;
    // Through the end of the element's start tag, wherever the id stands among its
    // attributes, and the line break after it.
    qsizetype startEnd = templBody.indexOf(u'>', id + 10);
    if (startEnd < 0)
        return templ;
    ++startEnd;
    if (startEnd < templBody.size() &&
        (templBody[startEnd] == u'\r' || templBody[startEnd] == u'\n'))
        ++startEnd;
    const qsizetype close =
        templBody.indexOf(QStringLiteral("</div>"), startEnd, Qt::CaseInsensitive);
    QString page;
    page.reserve(pageHead.size() + templBody.size() + content.size() + 8);
    page += pageHead;
    page += u'\r';
    page += QStringView(templBody).left(startEnd);
    page += u'\r';
    page += content;
    page += u'\r';
    if (close >= 0)
        page += QStringView(templBody).mid(close);
    page = singleCrLines(page);
    return preview ? previewLinks(page) : page;
}

QString RebaseLinks(const QString& text) {
    static const QRegularExpression href(QStringLiteral(R"((href=")([^"]*)("))"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString out;
    out.reserve(text.size() + 64);
    qsizetype last = 0;
    for (auto it = href.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart(2) - last);
        const QString value = m.captured(2);
        out +=
            value.startsWith(QStringLiteral("../")) ? value.mid(3) : QStringLiteral("pub/") + value;
        last = m.capturedEnd(2);
    }
    out += QStringView(text).mid(last);
    return out;
}

QString UnrebaseLinks(const QString& text) {
    QString out;
    out.reserve(text.size() + 64);
    qsizetype last = 0;
    for (qsizetype at = text.indexOf(QStringLiteral("href="), 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(QStringLiteral("href="), at + 5, Qt::CaseInsensitive)) {
        qsizetype value = at + 5;
        const qsizetype end = text.indexOf(u'>', value);
        const QStringView rest = QStringView(text).mid(value, end < 0 ? -1 : end - value);
        if (rest.contains(QStringLiteral("mailto")) || rest.contains(u'/'))
            continue;
        if (value < text.size() && (text[value] == u'"' || text[value] == u'\''))
            ++value;
        out += QStringView(text).mid(last, value - last);
        out += QStringLiteral("../");
        last = value;
    }
    out += QStringView(text).mid(last);
    out.replace(QStringLiteral("cmn"), QStringLiteral("../cmn"));
    out.remove(QStringLiteral("pub/"));
    return out;
}

}  // namespace arbor::web
