#include "exchange/docx_emit.h"

#include <QHash>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include "editor/document_model.h"

namespace arbor::docx {

namespace {

class Emitter {
  public:
    Emitter(const ir::Story& story, QTextDocument& document) : story_(story), document_(document) {}

    void run() {
        for (size_t i = 0; i < story_.pictures.size(); ++i) {
            const ir::Picture& p = story_.pictures[i];
            const QString name = QStringLiteral("%1:%2.%3")
                                     .arg(QLatin1String(doc::kImageScheme))
                                     .arg(i + 1)
                                     .arg(p.extension);
            names_.push_back(name);
            document_.addResource(QTextDocument::ImageResource, QUrl(name), QVariant(p.bytes));
        }
        QTextCursor cursor(&document_);
        bool fresh = true;
        blocks(cursor, story_.blocks, fresh);
    }

  private:
    // fresh: the cursor's block is empty and unused, so the next paragraph takes it.
    void blocks(QTextCursor& cursor, const std::vector<ir::Block>& items, bool& fresh) {
        for (const ir::Block& b : items) {
            if (b.table)
                table(cursor, *b.table, fresh);
            else
                paragraph(cursor, b.paragraph, fresh);
        }
    }

    void paragraph(QTextCursor& cursor, const ir::Paragraph& p, bool& fresh) {
        if (fresh) {
            cursor.setBlockFormat(p.format);
            // The first block of a table cell carries the cell's own format (its spans)
            // in its character format: add to it.
            QTextCharFormat mark = cursor.blockCharFormat();
            mark.merge(p.markFormat);
            cursor.setBlockCharFormat(mark);
        } else {
            cursor.insertBlock(p.format, p.markFormat);
        }
        fresh = false;
        if (p.listId > 0) {
            QTextList*& list = lists_[p.listId];
            if (list)
                list->add(cursor.block());
            else
                list = cursor.createList(p.listFormat);
        }
        for (const ir::Inline& in : p.inlines) {
            if (in.picture >= 0 && size_t(in.picture) < names_.size()) {
                QTextImageFormat image;
                image.merge(in.format);
                image.setName(names_[size_t(in.picture)]);
                if (in.width > 0)
                    image.setWidth(in.width);
                if (in.height > 0)
                    image.setHeight(in.height);
                cursor.insertImage(image);
            } else if (!in.text.isEmpty()) {
                cursor.insertText(in.text, in.format);
            }
        }
    }

    void table(QTextCursor& cursor, const ir::Table& t, bool& fresh) {
        QTextTable* table = cursor.insertTable(t.rows, t.columns, t.format);
        for (const ir::Cell& c : t.cells)
            if (c.rowSpan > 1 || c.columnSpan > 1)
                table->mergeCells(c.row, c.column, c.rowSpan, c.columnSpan);
        for (const ir::Cell& c : t.cells) {
            QTextTableCell cell = table->cellAt(c.row, c.column);
            if (!cell.isValid())
                continue;
            if (!c.format.properties().isEmpty()) {
                // The cell's format holds its spans: add to it, never replace it.
                QTextCharFormat merged = cell.format();
                merged.merge(c.format);
                cell.setFormat(merged);
            }
            QTextCursor inside = cell.firstCursorPosition();
            bool cellFresh = true;
            blocks(inside, c.blocks, cellFresh);
        }
        cursor = table->lastCursorPosition();
        cursor.movePosition(QTextCursor::NextBlock);
        fresh = true;
    }

    const ir::Story& story_;
    QTextDocument& document_;
    std::vector<QString> names_;
    QHash<int, QTextList*> lists_;
};

}  // namespace

void emitStory(const ir::Story& story, QTextDocument& document) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    Emitter(story, document).run();
    document.setUndoRedoEnabled(undo);
}

}  // namespace arbor::docx
