#include "web/html_attributes.h"

namespace arbor::web::attr {

namespace {

struct Span {
    qsizetype start = -1;  // of the name (the blank before it included)
    qsizetype end = -1;    // after the value
    qsizetype valueStart = -1;
    qsizetype valueEnd = -1;
};

bool blank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

Span find(const QString& a, QStringView wanted) {
    const qsizetype n = a.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype blankStart = i;
        while (i < n && blank(a[i]))
            ++i;
        if (i >= n)
            break;
        const qsizetype nameStart = i;
        while (i < n && !blank(a[i]) && a[i] != u'=')
            ++i;
        const QStringView name = QStringView(a).mid(nameStart, i - nameStart);
        Span s;
        s.start = blankStart;
        qsizetype j = i;
        while (j < n && blank(a[j]))
            ++j;
        if (j < n && a[j] == u'=') {
            ++j;
            while (j < n && blank(a[j]))
                ++j;
            if (j < n && (a[j] == u'"' || a[j] == u'\'')) {
                const qsizetype close = a.indexOf(a[j], j + 1);
                s.valueStart = j + 1;
                s.valueEnd = close < 0 ? n : close;
                i = close < 0 ? n : close + 1;
            } else {
                s.valueStart = j;
                while (j < n && !blank(a[j]))
                    ++j;
                s.valueEnd = j;
                i = j;
            }
        }
        s.end = i;
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return s;
    }
    return {};
}

}  // namespace

QString value(const QString& attributes, QStringView name) {
    const Span s = find(attributes, name);
    if (s.start < 0 || s.valueStart < 0)
        return QString();
    return attributes.mid(s.valueStart, s.valueEnd - s.valueStart);
}

bool has(const QString& attributes, QStringView name) {
    return find(attributes, name).start >= 0;
}

bool remove(QString& attributes, QStringView name) {
    const Span s = find(attributes, name);
    if (s.start < 0)
        return false;
    attributes.remove(s.start, s.end - s.start);
    return true;
}

void set(QString& attributes, QStringView name, const QString& escapedValue) {
    const Span s = find(attributes, name);
    if (s.start >= 0)
        attributes.remove(s.start, s.end - s.start);
    const QString text = u' ' + name.toString() + QStringLiteral("=\"") + escapedValue + u'"';
    attributes.insert(s.start >= 0 ? s.start : attributes.size(), text);
}

}  // namespace arbor::web::attr
