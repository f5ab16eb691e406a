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
