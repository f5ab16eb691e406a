#pragma once
// Pages for the rich-text tests: a page with every construct the editor makes, random
// pages built by editing operations, picture bytes, and a structural description of a
// document taken straight from Qt's document structure (not from the byte format), so
// two documents can be compared construct by construct.

#include <QByteArray>
#include <QColor>
#include <QString>
#include <cstdint>

class QTextDocument;

namespace arbor {
class RichText;
}

namespace arbor::test {

QByteArray pngBytes(const QColor& color, int width = 8, int height = 6);
QByteArray jpegBytes(const QColor& color, int width = 8, int height = 6);

// Japanese text in every style, nested character formats, the four field kinds, a line
// break, a list, a frame, a table with merged cells, cell formats and a nested table, a
// PNG and a JPEG picture, a page break, tab stops, a header and a footer, A4 page setup.
void fillFullPage(RichText& page);

// A page made by a random but repeatable sequence of editing operations.
void fillRandomPage(RichText& page, uint32_t seed);

// Frames, tables (shape, spans, cell formats), paragraphs (block, block-character and
// list formats), text runs with their formats, and the bytes of every picture, as text.
QString describe(const QTextDocument& document);
// All three parts and the page setup.
QString describe(const RichText& page);

}  // namespace arbor::test
