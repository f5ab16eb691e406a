// Passes over blocks: attributes turned into declarations, headings, list items and the
// final matching of closing records.
#include "web/css_style.h"
#include "web/html_attributes.h"
#include "web/html_passes.h"
#include "web/html_text.h"

namespace arbor::web::passes {

namespace {

void moveAttribute(HtmlToken& t, QStringView attribute, const QString& property) {
    const QString value = attr::value(t.attrs, attribute).trimmed();
    if (!attr::remove(t.attrs, attribute) || value.isEmpty())
        return;
    css::set(t.style, property, value.toLower() == value ? value : value.toLower());
}

QString listStyleType(const QString& type) {
    if (type == u"1")
        return QStringLiteral("decimal");
    if (type == u"a")
        return QStringLiteral("lower-alpha");
    if (type == u"A")
        return QStringLiteral("upper-alpha");
    if (type == u"i")
        return QStringLiteral("lower-roman");
    if (type == u"I")
        return QStringLiteral("upper-roman");
    return type.toLower();
}

}  // namespace

void attributesToStyles(TokenTable& tokens) {
    for (HtmlToken& t : tokens) {
        if (t.dropped || t.step <= 0)
            continue;
        if (t.name == u"div") {
            moveAttribute(t, u"align", QStringLiteral("text-align"));
        } else if (t.name == u"tr" || t.name == u"td" || t.name == u"th") {
            moveAttribute(t, u"align", QStringLiteral("text-align"));
            moveAttribute(t, u"valign", QStringLiteral("vertical-align"));
            const QString colour = attr::value(t.attrs, u"bgcolor").trimmed();
            if (attr::remove(t.attrs, u"bgcolor") && !colour.isEmpty())
                css::set(t.style, QStringLiteral("background-color"), colour);
        } else if (t.name == u"ul" || t.name == u"ol" || t.name == u"li") {
            const QString type = attr::value(t.attrs, u"type").trimmed();
            if (attr::remove(t.attrs, u"type") && !type.isEmpty())
                css::set(t.style, QStringLiteral("list-style-type"), listStyleType(type));
        }
    }
}

void headings(TokenTable& tokens, const std::array<UsrFormat, kUserFormatCount>& formats) {
    const std::vector<int> partner = pairRecords(tokens);
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        HtmlToken& t = tokens[i];
        if (t.dropped || !t.opens(u"div") || partner[i] < 0)
            continue;
        if (pointValue(css::value(t.style, QStringLiteral("margin-left"))) < 6)
            continue;
        double size = pointValue(css::value(t.style, QStringLiteral("font-size")));
        if (size < 0) {
            for (int k = i + 1; k < partner[i]; ++k)
                if (!tokens[k].dropped && tokens[k].opens(u"span")) {
                    size = pointValue(css::value(tokens[k].style, QStringLiteral("font-size")));
                    break;
                }
        }
        if (size < 0)
            continue;
        QString level;
        if (size >= formats[kHeading1].FontSize)
            level = QStringLiteral("h1");
        else if (size >= formats[kHeading2].FontSize)
            level = QStringLiteral("h3");
        else if (size >= formats[kHeading3].FontSize)
            level = QStringLiteral("h5");
        else
            continue;
        t.name = level;
        tokens[partner[i]].name = u'/' + level;
    }
}

void listStyles(TokenTable& tokens) {
    std::vector<int> lists;
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        HtmlToken& t = tokens[i];
        if (t.dropped)
            continue;
        const QStringView e = t.element();
        if (e == u"ul" || e == u"ol") {
            if (t.step > 0)
                lists.push_back(i);
            else if (t.step < 0 && !lists.empty())
                lists.pop_back();
        } else if (t.opens(u"li") && !lists.empty()) {
            css::removeEqual(t.style, tokens[lists.back()].style);
        }
    }
}

void closingTags(TokenTable& tokens) {
    std::vector<int> open;
    int lastLive = -1;
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        HtmlToken& t = tokens[i];
        if (t.dropped)
            continue;
        if (t.step > 0) {
            open.push_back(i);
        } else if (t.step < 0) {
            const QStringView e = t.element();
            int k = static_cast<int>(open.size()) - 1;
            while (k >= 0 && tokens[open[k]].name != e)
                --k;
            if (k < 0) {
                t.dropped = true;  // closes nothing
                continue;
            }
            // Elements left open inside are closed before this one.
            QString closing;
            for (int m = static_cast<int>(open.size()) - 1; m > k; --m)
                closing += QStringLiteral("</") + tokens[open[m]].name + u'>';
            if (!closing.isEmpty() && lastLive >= 0)
                tokens[lastLive].tail += closing;
            open.resize(k);
        }
        lastLive = i;
    }
    if (lastLive >= 0)
        for (int m = static_cast<int>(open.size()) - 1; m >= 0; --m)
            tokens[lastLive].tail += QStringLiteral("</") + tokens[open[m]].name + u'>';
}

}  // namespace arbor::web::passes
