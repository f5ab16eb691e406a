#include "editor/plain_text.h"

#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace arbor::plaintext {

namespace {

QString blockText(const QTextBlock& block) {
    QString text = block.text();
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

// The paragraphs of a frame (or cell) from `it` on, each as one line.
QStringList lines(QTextFrame::iterator it);

QString cellText(const QTextTableCell& cell) {
    QStringList parts;
    for (const QString& line : lines(cell.begin()))
        parts.append(QString(line).replace(u'\n', u' ').replace(u'\t', u' '));
    return parts.join(u' ');
}

QStringList lines(QTextFrame::iterator it) {
    QStringList result;
    for (; !it.atEnd(); ++it) {
        QTextFrame* child = it.currentFrame();
        if (!child) {
            result.append(blockText(it.currentBlock()));
        } else if (auto* table = qobject_cast<QTextTable*>(child)) {
            for (int r = 0; r < table->rows(); ++r) {
                QStringList cells;
                for (int c = 0; c < table->columns(); ++c) {
                    const QTextTableCell cell = table->cellAt(r, c);
                    if (cell.row() == r && cell.column() == c)
                        cells.append(cellText(cell));
                }
                result.append(cells.join(u'\t'));
            }
        } else {
            result.append(lines(child->begin()));
        }
    }
    return result;
}

}  // namespace

QString text(const QTextDocument& document) {
    return lines(document.rootFrame()->begin()).join(u'\n');
}

void insertText(QTextCursor& cursor, const QString& text) {
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normal.replace(u'\r', u'\n');
    normal.replace(u'\v', QChar::LineSeparator);
    cursor.insertText(normal);
}

void setText(QTextDocument& document, const QString& text) {
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    cursor.setCharFormat(QTextCharFormat());
    insertText(cursor, text);
    cursor.endEditBlock();
}

}  // namespace arbor::plaintext
