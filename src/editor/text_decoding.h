#pragma once
// Text files in whatever encoding they come: a byte-order mark decides first; then UTF-8,
// UTF-16 without a mark, Shift-JIS (as Windows writes it) and EUC-JP are tried in turn and
// the first that decodes without a single error is taken. HTML files may name their
// encoding in a meta element, which is honoured when it decodes cleanly. Nothing is ever
// decoded into garbage silently: bytes no candidate decodes are refused.

#include <QByteArray>
#include <QString>

namespace arbor::textcodec {

// encoding receives the name of the encoding used.
bool decodeText(const QByteArray& bytes, QString& text, QString& encoding);

// The charset a meta element of the HTML names ("" when none).
QString declaredCharset(const QByteArray& html);
bool decodeHtml(const QByteArray& bytes, QString& text, QString& encoding);

}  // namespace arbor::textcodec
