#pragma once
// Filling "?" placeholders of SQL templates without letting a value break or alter
// the statement. Placeholders are filled left to right, one per value:
// - inside quotes ('?'), the value's quotes are doubled and its "?" kept (as a
//   stand-in the translation restores, so a later fill does not take it for a slot);
// - bare (?), a number, a name, a list of whole numbers or a date literal passes as
//   it is; anything else is written as a quoted text literal;
// - a null value fills its placeholder with nothing.

#include <QString>
#include <QVariant>

namespace arbor {

void fillSqlPlaceholders(QString& sql, const QVariantList& values, bool jet);

// Text form of a value as it goes into SQL text (numbers plain, dates as stored).
QString sqlValueText(const QVariant& value, bool jet, bool quoted);

}  // namespace arbor
