#pragma once
// Translation of statements written in the file-database dialect (dates as #..# or
// convert(datetime,'..'), "Select Top n", memo/Long/date column types, multi-column
// Alter Table, case-insensitive Like, Nulls first) into SQLite or PostgreSQL.
// Pure text work: no connection is needed, so it is tested on its own.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "db/engine.h"

namespace arbor {

struct SqlTranslation {
    QStringList statements;  // one source statement may need several (SQLite Alter Table)
    SqlParams params;        // the values of the one statement's parameters (translateAndBind)
    QString error;           // set when the text cannot be translated
    bool ok() const { return error.isEmpty(); }
};

// With bind true, "?" marks bound parameters and becomes the engine's own marker;
// otherwise a "?" left unfilled is an error (it would silently read as Null).
SqlTranslation translateSql(const QString& sql, SqlDialect dialect, bool bind = false);

// As translateSql, and the values written into a query or data change (numbers, text
// and date literals, such as T_CnvSq puts there) become bound parameters: the text is
// then the same whatever the values, and the engine reuses its compiled statement.
// Literals that shape the result stay in the text (the select list, Order By and
// Group By, where a number names a column), as does every literal of other
// statements and of statements with very many values.
SqlTranslation translateAndBind(const QString& sql, SqlDialect dialect);

// The most values a statement gets as parameters (both engines allow far more).
inline constexpr int kMaxBoundValues = 30000;

// Date and time as stored: "yyyy-MM-dd hh:mm:ss".
QString storedDateText(const QDateTime& when);
// Reads a date literal body as the file database writes it ("MM/dd/yy hh:mm:ss",
// four-digit years, "yyyy/MM/dd hh:mm:ss", ISO); invalid when it is none of these.
QDateTime parseDateLiteral(const QString& text);

// Stands in for a "?" inside a value that T_CnvSq has placed, so that a later fill
// of the same text never takes it for a placeholder. Translation restores it.
inline constexpr char16_t kValueQuestionMark = u'\uFDD0';

}  // namespace arbor
