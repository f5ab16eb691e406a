#pragma once
// Attributes in a record's attribute text (" name='value' name2=value2 ..."):
// read, remove and set by name, without letter case.

#include <QString>

namespace arbor::web::attr {

// The value (quotes removed, as written: references stay); empty when absent.
QString value(const QString& attributes, QStringView name);
bool has(const QString& attributes, QStringView name);
// Removes the attribute; true when it was there.
bool remove(QString& attributes, QStringView name);
// Sets the attribute to an already escaped value in double quotes.
void set(QString& attributes, QStringView name, const QString& escapedValue);

}  // namespace arbor::web::attr
