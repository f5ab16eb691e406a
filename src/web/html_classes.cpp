#include "web/html_classes.h"

#include <cmath>

#include "web/css_style.h"
#include "web/html_text.h"

namespace arbor::web {

QString ClassRegistry::Entry::name() const {
    return prefix + QString::number(number).rightJustified(2, u'0');
}

QString ClassRegistry::classFor(QStringView element, const QString& style) {
    const QString prefix = element.left(2).toString();
    QString key = prefix + u'\t' + style;
    const auto found = index_.constFind(key);
    if (found != index_.cend())
        return entries_[found.value()].name();
    const int number = ++used_[prefix];
    entries_.push_back({number, prefix, style});
    index_.insert(std::move(key), static_cast<int>(entries_.size()) - 1);
    return entries_.back().name();
}

QString ClassRegistry::text() const {
    QString out;
    for (const Entry& e : entries_)
        out += QString::number(e.number) + u'\t' + e.prefix + u'\t' + e.style + u'\r';
    return out;
}

namespace {

QString collapseBlanks(const QString& text) {
    if (!text.contains(QStringLiteral("  ")))
        return text;
    return text.simplified();
}

double headingSize(QStringView name, const ClassOptions& o) {
    if (name == u"h1")
        return o.headingSizes[0];
    if (name == u"h3")
        return o.headingSizes[1];
    if (name == u"h5")
        return o.headingSizes[2];
    return -1;
}

}  // namespace

void assignClasses(TokenTable& tokens, ClassRegistry& registry, const ClassOptions& o) {
    std::vector<double> sizes{o.bodySize};
    for (HtmlToken& t : tokens) {
        if (t.dropped || t.isText() || t.isRaw())
            continue;
        if (t.step < 0) {
            if (sizes.size() > 1)
                sizes.pop_back();
            continue;
        }
        const double parent = sizes.back();
        QList<css::Declaration> style = css::parse(t.style);
        qsizetype sizeAt = -1, lineHeightAt = -1, italicAt = -1;
        for (qsizetype i = 0; i < style.size(); ++i) {
            const QString& name = style[i].name;
            if (name == u"font-size")
                sizeAt = i;
            else if (name == u"line-height")
                lineHeightAt = i;
            else if (name == u"font-style" && style[i].value == u"italic")
                italicAt = i;
        }
        const double own = sizeAt < 0 ? -1 : pointValue(style[sizeAt].value);
        const double heading = headingSize(t.name, o);
        const double size = own > 0 ? own : heading > 0 ? heading : parent;
        if (!style.isEmpty()) {
            if (o.relativeSizes && own > 0 && parent > 0)
                style[sizeAt].value =
                    QString::number(static_cast<int>(own / parent * 100 + 1e-9)) + u'%';
            const double lineHeight = lineHeightAt < 0 ? -1 : pointValue(style[lineHeightAt].value);
            const bool dropLineHeight =
                lineHeight > 0 && std::abs(lineHeight - size * o.lineSpacingFactor) < 0.05;
            const bool dropItalic = o.removeItalics && italicAt >= 0;
            QString text;
            text.reserve(t.style.size());
            for (qsizetype i = 0; i < style.size(); ++i) {
                if ((dropLineHeight && i == lineHeightAt) || (dropItalic && i == italicAt))
                    continue;
                text += style[i].name + u':' + collapseBlanks(style[i].value) + u';';
            }
            t.style.clear();
            if (!text.isEmpty())
                t.className = registry.classFor(t.name, text);
        } else {
            t.style.clear();
        }
        if (t.step > 0)
            sizes.push_back(size);
    }
}

}  // namespace arbor::web
