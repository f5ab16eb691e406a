#include "web/html_records.h"

#include <array>

#include "web/css_style.h"
#include "web/html_attributes.h"
#include "web/html_links.h"

namespace arbor::web {

QString cleanStyle(const QString& style, float lineSpacingFactor) {
    if (style.isEmpty())
        return style;
    static constexpr std::array<std::pair<char16_t const*, char16_t const*>, 6> kNothing = {{
        {u"text-indent", u"0pt"},
        {u"margin-left", u"0pt"},
        {u"margin-top", u"0pt"},
        {u"margin-bottom", u"0pt"},
        {u"margin-right", u"0pt"},
        {u"line-height", u"100%"},
    }};
    const QString factorHeight =
        QString::number(static_cast<int>(lineSpacingFactor * 100 + 0.0001)) + u'%';
    QString out;
    out.reserve(style.size());
    css::forEach(style, [&](QStringView name, QStringView value) {
        if (name.startsWith(u"-qt-", Qt::CaseInsensitive))
            return true;
        const bool lineHeight = name.compare(u"line-height", Qt::CaseInsensitive) == 0;
        if (lineHeight && value == factorHeight)
            return true;
        for (const auto& [n, v] : kNothing)
            if (name.compare(QStringView(n), Qt::CaseInsensitive) == 0 && value == QStringView(v))
                return true;
        for (const QChar c : name)
            out += c.toLower();
        out += u':';
        out += value;
        out += u';';
        return true;
    });
    return out;
}

void cleanRecords(TokenTable& tokens, const ConversionContext& c) {
    for (HtmlToken& t : tokens) {
        if (t.isText() || t.isRaw())
            continue;
        if (t.step < 0) {
            if (t.name == u"/p")
                t.name = QStringLiteral("/div");
            continue;
        }
        t.style = cleanStyle(t.style, c.site->lineSpacingFactor);
        const QString& n = t.name;
        if (n == u"p") {
            t.name = QStringLiteral("div");
        } else if (n == u"a") {
            css::remove(t.style, QStringLiteral("color"));
            const QString href = attr::value(t.attrs, u"href");
            if (!href.isEmpty()) {
                const QString rewritten = rewriteLink(href, c);
                if (rewritten != href)
                    attr::set(t.attrs, u"href", rewritten);
            }
        } else if (n == u"body") {
            t.style.clear();
        } else if (n == u"img") {
            attr::remove(t.attrs, u"title");
            // HTML 4.01 Strict and XHTML 1.1 readers require the attribute.
            if (!attr::has(t.attrs, u"alt"))
                t.attrs += QStringLiteral(" alt=\"\"");
            const QString src = attr::value(t.attrs, u"src");
            const auto it = c.pictureReferences.constFind(src);
            if (it != c.pictureReferences.cend())
                attr::set(t.attrs, u"src", it.value());
        } else if (n == u"td") {
            for (const QString& side :
                 {QStringLiteral("padding-right"), QStringLiteral("padding-left"),
                  QStringLiteral("padding-top"), QStringLiteral("padding-bottom")})
                css::remove(t.style, side);
        } else if (n == u"table") {
            if (attr::value(t.attrs, u"cellspacing") == u"0")
                attr::remove(t.attrs, u"cellspacing");
            if (attr::value(t.attrs, u"cellpadding") == u"0")
                attr::remove(t.attrs, u"cellpadding");
            attr::remove(t.attrs, u"cols");
        }
    }
}

}  // namespace arbor::web
