#include "db/sql_dialect.h"

#include <QHash>
#include <climits>

#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <QVector>
#include <algorithm>
#include <climits>
#include <cmath>

namespace arbor {

namespace {

enum class Tok { Space, Word, Number, String, Date, DateValue, Punct, Placeholder };

struct Token {
    Token(Tok t, QString tx, QString v = {}) : type(t), text(std::move(tx)), value(std::move(v)) {}
    Tok type;
    QString text;   // for String: the value without quotes; for Date: the body;
                    // for DateValue: the engine's literal
    QString value;  // for DateValue: the date as stored
};

bool isWordStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Splits the text into tokens; false with error on an unterminated literal.
bool tokenize(const QString& sql, QVector<Token>& out, QString& error) {
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            int j = i;
            while (j < n && sql[j].isSpace())
                ++j;
            out.push_back({Tok::Space, sql.mid(i, j - i)});
            i = j;
        } else if (c == u'\'' || c == u'"') {
            // Quoted text; a doubled quote stands for one. Jet reads "..." as text too.
            QString value;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        value += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                value += sql[j++];
            }
            if (!closed) {
                error = QStringLiteral("unterminated text literal");
                return false;
            }
            out.push_back({Tok::String, value});
            i = j;
        } else if (c == u'[') {
            const int j = sql.indexOf(u']', i + 1);
            if (j < 0) {
                error = QStringLiteral("unterminated [name]");
                return false;
            }
            out.push_back({Tok::Word, sql.mid(i + 1, j - i - 1)});
            i = j + 1;
        } else if (c == u'#') {
            const int j = sql.indexOf(u'#', i + 1);
            if (j < 0) {
                error = QStringLiteral("unterminated #date#");
                return false;
            }
            out.push_back({Tok::Date, sql.mid(i + 1, j - i - 1)});
            i = j + 1;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            int j = i;
            while (j < n && (sql[j].isDigit() || sql[j] == u'.'))
                ++j;
            if (j < n && (sql[j] == u'e' || sql[j] == u'E')) {
                int k = j + 1;
                if (k < n && (sql[k] == u'+' || sql[k] == u'-'))
                    ++k;
                if (k < n && sql[k].isDigit()) {
                    j = k;
                    while (j < n && sql[j].isDigit())
                        ++j;
                }
            }
            out.push_back({Tok::Number, sql.mid(i, j - i)});
            i = j;
        } else if (isWordStart(c)) {
            int j = i;
            while (j < n && isWordChar(sql[j]))
                ++j;
            out.push_back({Tok::Word, sql.mid(i, j - i)});
            i = j;
        } else if (c == u'?') {
            out.push_back({Tok::Placeholder, QStringLiteral("?")});
            ++i;
        } else {
            out.push_back({Tok::Punct, QString(c)});
            ++i;
        }
    }
    return true;
}

bool isWord(const Token& t, QLatin1StringView w) {
    return t.type == Tok::Word && t.text.compare(w, Qt::CaseInsensitive) == 0;
}
bool isPunct(const Token& t, char16_t c) {
    return t.type == Tok::Punct && t.text.size() == 1 && t.text[0] == c;
}

// Index of the next token that is not blank, or size.
int nextSolid(const QVector<Token>& t, int i) {
    while (i < t.size() && t[i].type == Tok::Space)
        ++i;
    return i;
}

QString quoteText(const QString& value) {
    QString v = value;
    v.replace(kValueQuestionMark, u'?');
    v.replace(u'\'', QStringLiteral("''"));
    return u'\'' + v + u'\'';
}

QString dateLiteral(const QDateTime& dt, SqlDialect dialect) {
    const QString text = quoteText(storedDateText(dt));
    return dialect == SqlDialect::PostgreSQL ? QStringLiteral("TIMESTAMP ") + text : text;
}

// Replaces #..# and convert(datetime,'..') by the engine's date literal.
bool translateDates(QVector<Token>& t, SqlDialect dialect, QString& error) {
    for (int i = 0; i < t.size(); ++i) {
        if (t[i].type == Tok::Date) {
            const QDateTime dt = parseDateLiteral(t[i].text);
            if (!dt.isValid()) {
                error = QStringLiteral("not a date: #%1#").arg(t[i].text);
                return false;
            }
            t[i] = {Tok::DateValue, dateLiteral(dt, dialect), storedDateText(dt)};
        } else if (isWord(t[i], QLatin1StringView("convert"))) {
            // convert ( datetime , 'text' )
            int a = nextSolid(t, i + 1);
            if (a >= t.size() || !isPunct(t[a], u'('))
                continue;
            int b = nextSolid(t, a + 1);
            if (b >= t.size() || !isWord(t[b], QLatin1StringView("datetime")))
                continue;
            int c = nextSolid(t, b + 1);
            if (c >= t.size() || !isPunct(t[c], u','))
                continue;
            int d = nextSolid(t, c + 1);
            if (d >= t.size() || t[d].type != Tok::String)
                continue;
            int e = nextSolid(t, d + 1);
            if (e >= t.size() || !isPunct(t[e], u')'))
                continue;
            const QDateTime dt = parseDateLiteral(t[d].text);
            if (!dt.isValid()) {
                error = QStringLiteral("not a date: '%1'").arg(t[d].text);
                return false;
            }
            t[i] = {Tok::DateValue, dateLiteral(dt, dialect), storedDateText(dt)};
            t.remove(i + 1, e - i);
        }
    }
    return true;
}

// Column type names of the file database and their counterparts.
QString mapType(const QString& type, SqlDialect dialect) {
    const QString k = type.toLower();
    const bool pg = dialect == SqlDialect::PostgreSQL;
    static const QStringList texts = {"memo",   "ntext", "text",     "longtext", "longchar",
                                      "note",   "char",  "varchar",  "nvarchar", "nchar",
                                      "string", "clob",  "hyperlink"};
    static const QStringList ints = {
        "long",          "integer", "int",   "short",   "smallint", "byte", "tinyint", "counter",
        "autoincrement", "bit",     "yesno", "logical", "boolean",  "int4", "int2",    "bigint"};
    static const QStringList reals = {"double",  "float",    "single", "real",       "numeric",
                                      "decimal", "currency", "money",  "ieeedouble", "ieeesingle"};
    static const QStringList dates = {"date", "datetime", "time", "timestamp", "smalldatetime"};
    static const QStringList blobs = {"longbinary", "binary",  "varbinary", "image",
                                      "oleobject",  "general", "blob",      "bytea"};
    if (texts.contains(k))
        return pg ? QStringLiteral("text") : QStringLiteral("TEXT");
    if (ints.contains(k)) {
        if (k == QLatin1String("bigint"))
            return pg ? QStringLiteral("bigint") : QStringLiteral("INTEGER");
        return pg ? QStringLiteral("integer") : QStringLiteral("INTEGER");
    }
    if (reals.contains(k)) {
        if (k == QLatin1String("single") || k == QLatin1String("real") ||
            k == QLatin1String("ieeesingle"))
            return pg ? QStringLiteral("real") : QStringLiteral("REAL");
        return pg ? QStringLiteral("double precision") : QStringLiteral("REAL");
    }
    if (dates.contains(k))
        return pg ? QStringLiteral("timestamp") : QStringLiteral("DATETIME");
    if (blobs.contains(k))
        return pg ? QStringLiteral("bytea") : QStringLiteral("BLOB");
    return {};
}

// In a column definition starting at i (the column name), maps its type and drops a
// length such as Text(255). Returns the index after the type.
int mapColumnType(QVector<Token>& t, int i, SqlDialect dialect) {
    int ty = nextSolid(t, i + 1);
    if (ty >= t.size() || t[ty].type != Tok::Word)
        return ty;
    const QString mapped = mapType(t[ty].text, dialect);
    if (mapped.isEmpty())
        return ty + 1;
    t[ty] = {Tok::Word, mapped};
    int p = nextSolid(t, ty + 1);
    if (p < t.size() && isPunct(t[p], u'(')) {
        int q = p + 1;
        while (q < t.size() && !isPunct(t[q], u')'))
            ++q;
        if (q < t.size())
            t.remove(ty + 1, q - ty);
    }
    return ty + 1;
}

bool isConstraintStart(const Token& t) {
    for (const char* w : {"constraint", "primary", "unique", "foreign", "check"})
        if (isWord(t, QLatin1StringView(w)))
            return true;
    return false;
}

QString joinTokens(const QVector<Token>& t, int from = 0, int to = -1) {
    if (to < 0)
        to = t.size();
    QString s;
    for (int i = from; i < to; ++i) {
        switch (t[i].type) {
            case Tok::String:
                s += quoteText(t[i].text);
                break;
            case Tok::Date:
                s += u'#' + t[i].text + u'#';
                break;
            default:
                s += t[i].text;
        }
    }
    return s.trimmed();
}

// Create Table: map the type of every column definition.
void translateCreateTable(QVector<Token>& t, SqlDialect dialect) {
    int depth = 0;
    bool expectColumn = false;
    for (int i = 0; i < t.size(); ++i) {
        if (isPunct(t[i], u'(')) {
            ++depth;
            if (depth == 1)
                expectColumn = true;
            continue;
        }
        if (isPunct(t[i], u')')) {
            --depth;
            continue;
        }
        if (depth == 1 && isPunct(t[i], u',')) {
            expectColumn = true;
            continue;
        }
        if (depth == 1 && expectColumn && t[i].type == Tok::Word) {
            expectColumn = false;
            if (!isConstraintStart(t[i]))
                i = mapColumnType(t, i, dialect) - 1;
        }
    }
}

// Splits tokens [from, to) at commas outside parentheses.
QVector<QPair<int, int>> splitTopLevel(const QVector<Token>& t, int from, int to) {
    QVector<QPair<int, int>> parts;
    int depth = 0, start = from;
    for (int i = from; i < to; ++i) {
        if (isPunct(t[i], u'('))
            ++depth;
        if (isPunct(t[i], u')'))
            --depth;
        if (depth == 0 && isPunct(t[i], u',')) {
            parts.push_back({start, i});
            start = i + 1;
        }
    }
    parts.push_back({start, to});
    return parts;
}

// Alter Table name Add|Drop [Column] item, item ... ; false when it is not that shape.
bool translateAlterTable(QVector<Token>& t, SqlDialect dialect, QStringList& out) {
    int a = nextSolid(t, 0), b = nextSolid(t, a + 1), name = nextSolid(t, b + 1);
    int verb = nextSolid(t, name + 1);
    if (verb >= t.size() || t[name].type != Tok::Word)
        return false;
    const bool add = isWord(t[verb], QLatin1StringView("add"));
    const bool drop = isWord(t[verb], QLatin1StringView("drop"));
    if (!add && !drop)
        return false;
    int first = nextSolid(t, verb + 1);
    if (first < t.size() && isWord(t[first], QLatin1StringView("column")))
        first = nextSolid(t, first + 1);
    if (first >= t.size())
        return false;
    if (isConstraintStart(t[first]))
        return false;  // keys and indexes pass through

    const QString head = QStringLiteral("ALTER TABLE ") + t[name].text;
    QStringList items;
    for (auto [from, to] : splitTopLevel(t, first, t.size())) {
        int s = nextSolid(t, from);
        if (s >= to)
            continue;
        if (add) {
            QVector<Token> item = t.mid(s, to - s);
            mapColumnType(item, 0, dialect);
            items << QStringLiteral("ADD COLUMN ") + joinTokens(item);
        } else {
            items << QStringLiteral("DROP COLUMN ") + joinTokens(t, s, to);
        }
    }
    if (dialect == SqlDialect::SQLite) {
        for (const QString& item : items)
            out << head + u' ' + item;
    } else {
        out << head + u' ' + items.join(QStringLiteral(", "));
    }
    return true;
}

// Index of the token that ends the clause scope starting at i: the ")" that closes
// the enclosing parenthesis, or the end.
int scopeEnd(const QVector<Token>& t, int i) {
    int depth = 0;
    for (int k = i; k < t.size(); ++k) {
        if (isPunct(t[k], u'('))
            ++depth;
        if (isPunct(t[k], u')')) {
            if (depth == 0)
                return k;
            --depth;
        }
    }
    return t.size();
}

// Order By terms get the null order of the file database: nulls first ascending.
void translateOrderBy(QVector<Token>& t) {
    for (int i = 0; i < t.size(); ++i) {
        if (!isWord(t[i], QLatin1StringView("order")))
            continue;
        int by = nextSolid(t, i + 1);
        if (by >= t.size() || !isWord(t[by], QLatin1StringView("by")))
            continue;
        int end = scopeEnd(t, by + 1);
        // The terms end before a Limit at the same level as well.
        for (int k = by + 1, depth = 0; k < end; ++k) {
            if (isPunct(t[k], u'('))
                ++depth;
            if (isPunct(t[k], u')'))
                --depth;
            if (depth == 0 && isWord(t[k], QLatin1StringView("limit"))) {
                end = k;
                break;
            }
        }
        auto parts = splitTopLevel(t, by + 1, end);
        // Insert from the last term backwards so earlier indexes stay valid.
        for (int p = parts.size() - 1; p >= 0; --p) {
            int last = parts[p].second - 1;
            while (last > parts[p].first && t[last].type == Tok::Space)
                --last;
            if (last < parts[p].first)
                continue;
            bool hasNulls = false;
            for (int k = parts[p].first; k <= last; ++k)
                if (isWord(t[k], QLatin1StringView("nulls")))
                    hasNulls = true;
            if (hasNulls)
                continue;
            const bool desc = isWord(t[last], QLatin1StringView("desc"));
            t.insert(last + 1, {Tok::Punct, desc ? QStringLiteral(" NULLS LAST")
                                                 : QStringLiteral(" NULLS FIRST")});
        }
        i = by;
    }
}

// Select [Distinct] Top n ... becomes Select ... Limit n at the end of that select.
void translateTop(QVector<Token>& t) {
    for (int i = 0; i < t.size(); ++i) {
        if (!isWord(t[i], QLatin1StringView("select")))
            continue;
        int k = nextSolid(t, i + 1);
        if (k < t.size() && (isWord(t[k], QLatin1StringView("distinct")) ||
                             isWord(t[k], QLatin1StringView("distinctrow"))))
            k = nextSolid(t, k + 1);
        if (k >= t.size() || !isWord(t[k], QLatin1StringView("top")))
            continue;
        int num = nextSolid(t, k + 1);
        if (num >= t.size() || t[num].type != Tok::Number)
            continue;
        const QString count = t[num].text;
        int through = num + 1;
        if (through < t.size() && t[through].type == Tok::Space)
            ++through;
        t.remove(k, through - k);
        int end = scopeEnd(t, k);
        // Keep any blank before the end outside the limit clause.
        int at = end;
        while (at > k && t[at - 1].type == Tok::Space)
            --at;
        t.insert(at, {Tok::Punct, QStringLiteral(" LIMIT ") + count});
    }
}

// Like ignores case: PostgreSQL's ILIKE; its default escape character is disabled
// because the file database has none.
void translateLike(QVector<Token>& t) {
    for (int i = 0; i < t.size(); ++i) {
        if (!isWord(t[i], QLatin1StringView("like")))
            continue;
        t[i].text = QStringLiteral("ILIKE");
        int p = nextSolid(t, i + 1);
        if (p < t.size() && t[p].type == Tok::String) {
            int after = nextSolid(t, p + 1);
            if (after < t.size() && isWord(t[after], QLatin1StringView("escape")))
                continue;
            t.insert(p + 1, {Tok::Punct, QStringLiteral(" ESCAPE ''")});
        }
    }
}

QString parameterMarker(SqlDialect dialect, qsizetype n) {
    return (dialect == SqlDialect::PostgreSQL ? QStringLiteral("$") : QStringLiteral("?")) +
           QString::number(n);
}

bool isLiteral(const Token& t) {
    return t.type == Tok::Number || t.type == Tok::String || t.type == Tok::DateValue;
}

// A literal as a bound value, typed as the server would type the literal itself;
// false when it has to stay in the text.
bool literalValue(const Token& t, QVariant& value, ParamType& type) {
    switch (t.type) {
        case Tok::String: {
            QString v = t.text;
            v.replace(kValueQuestionMark, u'?');
            value = v;
            type = ParamType::Infer;  // a quoted literal takes the type its place needs
            return true;
        }
        case Tok::DateValue:
            value = t.value;
            type = ParamType::Timestamp;
            return true;
        case Tok::Number: {
            bool ok = false;
            if (!t.text.contains(u'.') && !t.text.contains(u'e') && !t.text.contains(u'E')) {
                const qlonglong n = t.text.toLongLong(&ok);
                if (!ok)
                    return false;  // beyond 64 bits: the server reads it as it is written
                if (n >= INT_MIN && n <= INT_MAX) {
                    value = static_cast<int>(n);
                    type = ParamType::Int4;
                } else {
                    value = n;
                    type = ParamType::Int8;
                }
                return true;
            }
            const double d = t.text.toDouble(&ok);
            if (!ok || !std::isfinite(d))
                return false;
            value = d;
            type = ParamType::Float8;
            return true;
        }
        default:
            return false;
    }
}

// Turns the literals of a query or data change into parameters of the engine.
void bindLiterals(QVector<Token>& t, SqlDialect dialect, SqlParams& params) {
    const int w0 = nextSolid(t, 0);
    if (w0 >= t.size())
        return;
    bool dml = false;
    for (const char* w : {"select", "insert", "update", "delete"})
        dml = dml || isWord(t[w0], QLatin1StringView(w));
    if (!dml)
        return;
    const auto literals = std::count_if(t.cbegin(), t.cend(), isLiteral);
    if (literals == 0 || literals > kMaxBoundValues)
        return;
    // Per parenthesis level: whether literals there shape the result (a select list,
    // Order By or Group By) and must stay.
    QVector<bool> shaping{false};
    for (int i = 0; i < t.size(); ++i) {
        Token& tok = t[i];
        if (isPunct(tok, u'(')) {
            shaping.push_back(shaping.back());
            continue;
        }
        if (isPunct(tok, u')')) {
            if (shaping.size() > 1)
                shaping.pop_back();
            continue;
        }
        if (tok.type == Tok::Word) {
            if (isWord(tok, QLatin1StringView("select"))) {
                shaping.back() = true;
            } else if (isWord(tok, QLatin1StringView("order")) ||
                       isWord(tok, QLatin1StringView("group"))) {
                const int by = nextSolid(t, i + 1);
                if (by < t.size() && isWord(t[by], QLatin1StringView("by")))
                    shaping.back() = true;
            } else {
                for (const char* w : {"from", "where", "having", "limit", "union", "values", "set"})
                    if (isWord(tok, QLatin1StringView(w)))
                        shaping.back() = false;
            }
            continue;
        }
        if (shaping.back() || !isLiteral(tok))
            continue;
        QVariant value;
        ParamType type = ParamType::Infer;
        if (!literalValue(tok, value, type))
            continue;
        params.add(value, type);
        tok = {Tok::Punct, parameterMarker(dialect, params.size()), {}};
    }
}

}  // namespace

QString storedDateText(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

namespace {

// The stored form "yyyy-MM-dd HH:mm:ss", read without a regular expression: a site
// build reads tens of thousands of dates.
bool parseStoredDate(const QString& text, QDateTime& out) {
    if (text.size() != 19 || text[4] != u'-' || text[7] != u'-' || text[10] != u' ' ||
        text[13] != u':' || text[16] != u':')
        return false;
    int field[6] = {};
    const int starts[6] = {0, 5, 8, 11, 14, 17};
    const int lengths[6] = {4, 2, 2, 2, 2, 2};
    for (int f = 0; f < 6; ++f) {
        for (int i = starts[f]; i < starts[f] + lengths[f]; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                return false;
            field[f] = field[f] * 10 + (c - u'0');
        }
    }
    const QDate date(field[0], field[1], field[2]);
    const QTime time(field[3], field[4], field[5]);
    if (!date.isValid() || !time.isValid())
        return false;
    // A local time is costly to make (the time zone is asked each time); its offset from
    // UTC is asked once per hour of the calendar and the time made with that offset. It
    // is the same moment and shows the same wall-clock time.
    static thread_local QHash<qint64, int> offsets;
    const qint64 hour = ((qint64(field[0]) * 100 + field[1]) * 100 + field[2]) * 100 + field[3];
    auto it = offsets.constFind(hour);
    if (it == offsets.constEnd()) {
        if (offsets.size() > 100000)
            offsets.clear();
        const QDateTime local(date, QTime(field[3], 0));
        it = offsets.insert(hour, local.isValid() ? local.offsetFromUtc() : INT_MIN);
    }
    if (*it == INT_MIN) {
        out = QDateTime(date, time);  // a skipped hour: Qt decides
        return out.isValid();
    }
    out = QDateTime(date, time, Qt::OffsetFromUTC, *it);
    return true;
}

}  // namespace

QDateTime parseDateLiteral(const QString& text) {
    QDateTime stored;
    if (parseStoredDate(text, stored))
        return stored;
    static const QRegularExpression mdy(QStringLiteral(
        R"(^\s*(\d{1,2})/(\d{1,2})/(\d{2}|\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    static const QRegularExpression ymd(QStringLiteral(
        R"(^\s*(\d{4})[/-](\d{1,2})[/-](\d{1,2})(?:[\sT]+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    int y = 0, m = 0, d = 0, hh = 0, mm = 0, ss = 0;
    QRegularExpressionMatch match = mdy.match(text);
    if (match.hasMatch()) {
        m = match.captured(1).toInt();
        d = match.captured(2).toInt();
        y = match.captured(3).toInt();
        if (match.captured(3).size() == 2)
            y += y < 30 ? 2000 : 1900;  // the file database's window
    } else if ((match = ymd.match(text)).hasMatch()) {
        y = match.captured(1).toInt();
        m = match.captured(2).toInt();
        d = match.captured(3).toInt();
    } else {
        return {};
    }
    if (match.lastCapturedIndex() >= 5 && !match.captured(4).isEmpty()) {
        hh = match.captured(4).toInt();
        mm = match.captured(5).toInt();
        ss = match.captured(6).toInt();
    }
    const QDate date(y, m, d);
    const QTime time(hh, mm, ss);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

namespace {

SqlTranslation translate(const QString& sql, SqlDialect dialect, bool bind, bool bindValues) {
    SqlTranslation result;
    QVector<Token> t;
    if (!tokenize(sql, t, result.error))
        return result;
    // Trailing semicolons and blanks.
    while (!t.isEmpty() && (t.back().type == Tok::Space || isPunct(t.back(), u';')))
        t.pop_back();
    for (const Token& tok : t) {
        if (isPunct(tok, u';')) {
            result.error = QStringLiteral("one statement at a time");
            return result;
        }
        if (tok.type == Tok::Placeholder && !bind) {
            result.error = QStringLiteral("a \"?\" placeholder was left without a value");
            return result;
        }
    }
    if (!translateDates(t, dialect, result.error))
        return result;
    int parameter = 0;
    for (Token& tok : t) {
        if (tok.type != Tok::Placeholder)
            continue;
        ++parameter;
        tok.text = parameterMarker(dialect, parameter);
    }

    const int w0 = nextSolid(t, 0);
    const int w1 = nextSolid(t, w0 + 1);
    if (w1 < t.size() && isWord(t[w1], QLatin1StringView("table"))) {
        if (isWord(t[w0], QLatin1StringView("create"))) {
            translateCreateTable(t, dialect);
        } else if (isWord(t[w0], QLatin1StringView("alter"))) {
            if (translateAlterTable(t, dialect, result.statements))
                return result;
        }
    }
    if (dialect == SqlDialect::PostgreSQL) {
        translateOrderBy(t);
        translateLike(t);
    }
    translateTop(t);
    if (bindValues)
        bindLiterals(t, dialect, result.params);
    result.statements << joinTokens(t);
    return result;
}

}  // namespace

SqlTranslation translateSql(const QString& sql, SqlDialect dialect, bool bind) {
    return translate(sql, dialect, bind, false);
}

SqlTranslation translateAndBind(const QString& sql, SqlDialect dialect) {
    return translate(sql, dialect, false, true);
}

}  // namespace arbor
