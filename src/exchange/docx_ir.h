#pragma once
// What the .docx reader makes of a story (body, header or footer) before it touches a
// QTextDocument: paragraphs with their runs, tables with merged cells, pictures. The
// whole package is read and checked into this form first, so a refused file leaves
// the documents as they were.

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextListFormat>
#include <QTextTableCellFormat>
#include <QTextTableFormat>
#include <memory>
#include <vector>

namespace arbor::docx::ir {

struct Inline {
    QString text;            // empty for a picture
    QTextCharFormat format;  // the run's formatting, fields included
    int picture = -1;        // index into Story::pictures
    double width = 0;        // picture size in pixels
    double height = 0;
};

struct Table;

struct Paragraph {
    QTextBlockFormat format;
    QTextCharFormat markFormat;  // the paragraph mark's formatting
    std::vector<Inline> inlines;
    int listId = 0;  // > 0: an item of this list (Word's numId)
    QTextListFormat listFormat;
};

// A paragraph or a table. Blocks move (and so nest in vectors) but never copy.
struct Block {
    Block() = default;
    Block(Block&&) noexcept = default;
    Block& operator=(Block&&) noexcept = default;

    Paragraph paragraph;
    std::unique_ptr<Table> table;
};

struct Cell {
    Cell() = default;
    Cell(Cell&&) noexcept = default;
    Cell& operator=(Cell&&) noexcept = default;

    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    QTextTableCellFormat format;
    std::vector<Block> blocks;
};

struct Table {
    QTextTableFormat format;
    int rows = 0;
    int columns = 0;
    std::vector<Cell> cells;  // origin cells only; merged ones are covered by spans
};

struct Picture {
    QByteArray bytes;   // PNG or JPEG as stored
    QString extension;  // "png" or "jpg"
    QSize size;         // in pixels
};

struct Story {
    std::vector<Block> blocks;
    std::vector<Picture> pictures;
};

}  // namespace arbor::docx::ir
