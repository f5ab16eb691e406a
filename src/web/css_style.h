#pragma once
// Style texts of the conversion's records: declarations "name:value;" one after the
// other, in the order given. Names compare without letter case; values as written.

#include <QList>
#include <QString>

namespace arbor::web::css {

struct Declaration {
    QString name;  // lower case, trimmed
    QString value;
};

// Calls f(name, value) for each declaration "name:value" (both trimmed, the name as
// written) split at ";" outside quotes; f returns false to stop.
template <typename F>
void forEach(QStringView style, F f) {
    qsizetype start = 0;
    QChar quote;
    const qsizetype n = style.size();
    for (qsizetype i = 0; i <= n; ++i) {
        const QChar c = i < n ? style[i] : QChar(u';');
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            if (i < n)
                continue;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
            continue;
        }
        if (c != u';' && i < n)
            continue;
        const QStringView part = style.mid(start, i - start);
        start = i + 1;
        const qsizetype colon = part.indexOf(u':');
        if (colon <= 0)
            continue;
        const QStringView name = part.first(colon).trimmed();
        if (!name.isEmpty() && !f(name, part.mid(colon + 1).trimmed()))
            return;
    }
}

// Splits at ";" outside quotes; empty and nameless parts are left out.
QList<Declaration> parse(const QString& style);
// "name:value;" for each.
QString join(const QList<Declaration>& declarations);
// The style in that form (blanks around names and values gone).
QString canonical(const QString& style);

QString value(const QString& style, const QString& name);
bool has(const QString& style, const QString& name);
// Removes every declaration of that name.
void remove(QString& style, const QString& name);
// Removes each declaration of `style` equal (name and value) to one of `others`.
void removeEqual(QString& style, const QString& others);
// Sets the declaration, in place when present, else at the end.
void set(QString& style, const QString& name, const QString& value);
// `style` followed by the declarations of `more`; a name present in both takes the
// value of `more`, in its old place.
QString merged(const QString& style, const QString& more);

}  // namespace arbor::web::css
