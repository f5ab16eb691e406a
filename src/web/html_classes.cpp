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

QString collapseBlanks(QString text) {
    while (text.contains(QStringLiteral("  ")))
        text.replace(QStringLiteral("  "), QStringLiteral(" "));
    return text.trimmed();
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
        const QString sizeText = css::value(t.style, QStringLiteral("font-size"));
        const double own = pointValue(sizeText);
        const double heading = headingSize(t.name, o);
        const double size = own > 0 ? own : heading > 0 ? heading : parent;
        if (!t.style.isEmpty()) {
            if (o.removeItalics &&
                css::value(t.style, QStringLiteral("font-style")).compare(u"italic") == 0)
                css::remove(t.style, QStringLiteral("font-style"));
            const double lineHeight =
                pointValue(css::value(t.style, QStringLiteral("line-height")));
            if (lineHeight > 0 && std::abs(lineHeight - size * o.lineSpacingFactor) < 0.05)
                css::remove(t.style, QStringLiteral("line-height"));
            if (o.relativeSizes && own > 0 && parent > 0)
                css::set(t.style, QStringLiteral("font-size"),
                         QString::number(static_cast<int>(own / parent * 100 + 1e-9)) + u'%');
            t.style = collapseBlanks(t.style);
            if (!t.style.isEmpty()) {
                t.className = registry.classFor(t.name, t.style);
                t.style.clear();
            }
        }
        if (t.step > 0)
            sizes.push_back(size);
    }
}

}  // namespace arbor::web
