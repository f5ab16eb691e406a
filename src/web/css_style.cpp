#include "web/css_style.h"

namespace arbor::web::css {

QList<Declaration> parse(const QString& style) {
    QList<Declaration> out;
    forEach(style, [&out](QStringView name, QStringView value) {
        out.append({name.toString().toLower(), value.toString()});
        return true;
    });
    return out;
}

QString join(const QList<Declaration>& declarations) {
    QString out;
    for (const Declaration& d : declarations)
        out += d.name + u':' + d.value + u';';
    return out;
}

QString canonical(const QString& style) {
    QString out;
    out.reserve(style.size());
    forEach(style, [&out](QStringView name, QStringView value) {
        out += name.toString().toLower();
        out += u':';
        out += value;
        out += u';';
        return true;
    });
    return out;
}

QString value(const QString& style, const QString& name) {
    QString found;
    forEach(style, [&](QStringView n, QStringView v) {
        if (n.compare(name, Qt::CaseInsensitive) != 0)
            return true;
        found = v.toString();
        return false;
    });
    return found;
}

bool has(const QString& style, const QString& name) {
    bool found = false;
    forEach(style, [&](QStringView n, QStringView) {
        found = n.compare(name, Qt::CaseInsensitive) == 0;
        return !found;
    });
    return found;
}

void remove(QString& style, const QString& name) {
    if (!has(style, name))
        return;
    QList<Declaration> list = parse(style);
    const qsizetype before = list.size();
    list.removeIf([&](const Declaration& d) { return d.name == name; });
    if (list.size() != before)
        style = join(list);
}

void removeEqual(QString& style, const QString& others) {
    const QList<Declaration> remove = parse(others);
    if (remove.isEmpty())
        return;
    QList<Declaration> list = parse(style);
    list.removeIf([&](const Declaration& d) {
        for (const Declaration& r : remove)
            if (r.name == d.name && r.value == d.value)
                return true;
        return false;
    });
    style = join(list);
}

void set(QString& style, const QString& name, const QString& value) {
    QList<Declaration> list = parse(style);
    for (Declaration& d : list)
        if (d.name == name) {
            d.value = value;
            style = join(list);
            return;
        }
    list.append({name, value});
    style = join(list);
}

QString merged(const QString& style, const QString& more) {
    QList<Declaration> list = parse(style);
    for (const Declaration& m : parse(more)) {
        bool replaced = false;
        for (Declaration& d : list)
            if (d.name == m.name) {
                d.value = m.value;
                replaced = true;
            }
        if (!replaced)
            list.append(m);
    }
    return join(list);
}

}  // namespace arbor::web::css
