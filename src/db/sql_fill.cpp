#include "db/sql_fill.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

#include "db/sql_dialect.h"
#include "db/zsvr.h"

namespace arbor {

namespace {

bool isSafeBare(const QString& text) {
    static const QRegularExpression safe(
        QStringLiteral(R"(^(?:)"
                       R"([-+]?(?:\d+(?:\.\d*)?|\.\d+)(?:[eE][-+]?\d+)?)"         // a number
                       R"(|[A-Za-z_][A-Za-z0-9_]*(?:\.[A-Za-z_][A-Za-z0-9_]*)?)"  // a (column) name
                       R"(|\s*[-+]?\d+(?:\s*,\s*[-+]?\d+)*\s*)"                   // whole numbers
                       R"(|#[0-9/: ]+#)"                                          // date literals
                       R"(|convert\(datetime,'[0-9/: ]+'\))"
                       R"()$)"));
    return text.isEmpty() || safe.match(text).hasMatch();
}

QString quotedBody(const QString& text, QChar quote) {
    QString body;
    body.reserve(text.size() + 8);
    for (QChar c : text) {
        if (c == QChar(u'\0'))
            continue;  // no engine keeps it inside text
        if (c == u'?') {
            body += QChar(kValueQuestionMark);
            continue;
        }
        body += c;
        if (c == quote)
            body += c;
    }
    return body;
}

}  // namespace

QString sqlValueText(const QVariant& value, bool jet, bool quoted) {
    if (value.isNull())
        return {};
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        case QMetaType::Double:
        case QMetaType::Float:
            return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        case QMetaType::QDateTime:
            return quoted ? storedDateText(value.toDateTime())
                          : SqlDateLiteral(value.toDateTime(), jet);
        case QMetaType::QDate:
            return quoted ? storedDateText(value.toDate().startOfDay())
                          : SqlDateLiteral(value.toDate().startOfDay(), jet);
        case QMetaType::QByteArray:
            return QString::fromUtf8(value.toByteArray());
        default:
            return value.toString();
    }
}

void fillSqlPlaceholders(QString& sql, const QVariantList& values, bool jet) {
    if (values.isEmpty())
        return;
    QString out;
    out.reserve(sql.size() + 64);
    QChar quote;  // the quote we are inside of, or null
    int next = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == u'?' && next < values.size()) {
            const QVariant& v = values[next++];
            const QString text = sqlValueText(v, jet, !quote.isNull());
            if (!quote.isNull()) {
                out += quotedBody(text, quote);
            } else if (isSafeBare(text)) {
                out += text;
            } else {
                out += u'\'' + quotedBody(text, u'\'') + u'\'';
            }
            continue;
        }
        if (quote.isNull()) {
            if (c == u'\'' || c == u'"')
                quote = c;
        } else if (c == quote) {
            quote = QChar();  // a doubled quote closes and reopens
        }
        out += c;
    }
    sql = out;
}

}  // namespace arbor
