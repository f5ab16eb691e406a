#include "web/html_style_block.h"

#include "web/html_text.h"

namespace arbor::web {

namespace {

// A font name for a CSS string: characters that would end the string, the rule or the
// style element are left out.
QString cssFontName(const QString& name) {
    QString out = name;
    out.removeIf([](QChar c) {
        return c == u'\'' || c == u'"' || c == u'<' || c == u'>' || c == u'&' || c == u';' ||
               c == u'{' || c == u'}' || c == u'\\' || c == u'~';
    });
    return out;
}

// Style text inside the style element: what would end the element or upset an XML
// reader is written as a CSS escape.
QString cssText(const QString& style) {
    QString out = style;
    out.replace(u'&', QStringLiteral("\\26 "));
    out.replace(u'<', QStringLiteral("\\3c "));
    out.replace(u'>', QStringLiteral("\\3e "));
    out.replace(u'~', QStringLiteral("\\7e "));
    return out;
}

QString percentOf(int points, int body) {
    return QString::number(body > 0 ? static_cast<int>(points * 100.0 / body + 1e-9) : 100) + u'%';
}

}  // namespace

FormatRules formatRules(const UsrFormat& f) {
    return {QStringLiteral("font-family:'") + cssFontName(f.FontName) + QStringLiteral("';"),
            QStringLiteral("font-size:") + QString::number(f.FontSize) + QStringLiteral("pt;"),
            QStringLiteral("color:") + cssColour(f.ForeColor) + u';'};
}

QString bodySizeKeyword(int points) {
    if (points < 12)
        return QStringLiteral("small");
    if (points < 14)
        return QStringLiteral("medium");
    return QStringLiteral("large");
}

QString styleBlock(const HtmlSiteSettings& site, const ClassRegistry& classes,
                   StyleBlockKind kind) {
    const QString crlf = QStringLiteral("\r\n");
    const QString indent = QStringLiteral("    ");
    const UsrFormat& body = site.formats[kBody];
    const FormatRules bodyRules = formatRules(body);
    const bool sitePage = kind == StyleBlockKind::SitePage;
    const QString lineHeight =
        QStringLiteral("line-height:") +
        QString::number(static_cast<int>(site.lineSpacingFactor * 100 + 0.0001)) +
        QStringLiteral("%;");
    const QString keyword = QStringLiteral("font-size:") + bodySizeKeyword(body.FontSize) + u';';

    QString out;
    out.reserve(2048 + static_cast<qsizetype>(classes.entries().size()) * 64);
    out += QStringLiteral("<style type='text/css'>") + crlf;
    if (sitePage) {
        out += indent + QStringLiteral("body {") + lineHeight + keyword +
               QStringLiteral("margin: 0px; }") + crlf;
    } else {
        out += indent + QStringLiteral("body {padding-left: 10px;") + lineHeight +
               bodyRules.family + keyword + bodyRules.colour +
               (kind == StyleBlockKind::EbookPage ? QStringLiteral("margin: 20px; ")
                                                  : QStringLiteral("margin: 0px; ")) +
               QStringLiteral("background-color: #FFFFFF;}") + crlf;
    }
    const QString linkSize = sitePage ? QStringLiteral("font-size:100%;") : bodyRules.size;
    out += indent + QStringLiteral("a {") + bodyRules.family + linkSize + QStringLiteral("color:") +
           cssColour(kLinkColours[0]) + QStringLiteral(";}") + crlf;
    out += indent + QStringLiteral("a:link {text-decoration:underline;}") + crlf;
    out += indent + QStringLiteral("a:visited {color:#5689bf;text-decoration:underline;}") + crlf;
    out += indent + QStringLiteral("a:active {color:#009E7B;text-decoration:none;}") + crlf;
    out += indent +
           QStringLiteral(
               "a:hover {color:white;background-color:#666633;text-decoration:underline;}") +
           crlf;
    static const int kMargins[3][2] = {{7, 6}, {5, 4}, {3, 2}};
    static const char16_t* const kHeadings[3] = {u"h1", u"h3", u"h5"};
    for (int level = 0; level < 3; ++level) {
        const UsrFormat& f = site.formats[kHeading1 + level];
        const FormatRules r = formatRules(f);
        QString rule = QStringLiteral("margin: ") + QString::number(kMargins[level][0]) +
                       QStringLiteral("px 0px ") + QString::number(kMargins[level][1]) +
                       QStringLiteral("px 8px;");
        if (!sitePage) {
            rule += r.family + r.size + r.colour;
        } else {
            if (r.family != bodyRules.family)
                rule += r.family;
            if (f.FontSize != body.FontSize)
                rule += QStringLiteral("font-size:") + percentOf(f.FontSize, body.FontSize) + u';';
            if (r.colour != bodyRules.colour)
                rule += r.colour;
        }
        out += indent + QString::fromUtf16(kHeadings[level]) + QStringLiteral(" {") + rule + u'}' +
               crlf;
    }
    for (const char16_t* fixed :
         {u"div {margin: 4px 0px 2px 0px;}", u"table {border-collapse:collapse;}",
          u"tr {text-align:left;vertical-align:top;}", u"td {padding:3px;}",
          u"li {margin:4px 0px 2px 0px;}", u"img {border:0px;}"})
        out += indent + QString::fromUtf16(fixed) + crlf;
    for (const ClassRegistry::Entry& e : classes.entries()) {
        const QString selector = e.prefix == u"di" ? QString(QStringLiteral("div.") + e.name())
                                                   : QString(u'.' + e.name());
        out += indent + selector + QStringLiteral(" {") + cssText(e.style) + u'}' + crlf;
    }
    out += QStringLiteral("</style>");
    return out;
}

}  // namespace arbor::web
