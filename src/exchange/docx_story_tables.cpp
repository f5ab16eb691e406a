// Tables of a story: the grid, merged cells (gridSpan, vMerge) and the table's look.
#include <functional>

#include "exchange/docx_paragraph_builder.h"
#include "exchange/docx_story_reader.h"
#include "exchange/ooxml.h"
#include "exchange/wml_read.h"

namespace arbor::docx {

namespace {

constexpr int kMaxTableDepth = 12;  // deeper tables are read as plain paragraphs
constexpr int kMaxColumns = 512;
constexpr qint64 kMaxCells = 200000;

QLatin1String tn(const char* s) {
    return QLatin1String(s);
}

}  // namespace

void StoryReader::readTable(std::vector<ir::Block>& out, int tableDepth) {
    struct RawCell {
        RawCell() = default;
        RawCell(RawCell&&) noexcept = default;
        CellExtras extras;
        QTextTableCellFormat format;
        std::vector<ir::Block> blocks;
    };
    struct RawRow {
        int gridBefore = 0;
        bool header = false;
        std::vector<RawCell> cells;
    };
    if (tableDepth >= kMaxTableDepth) {
        // Too deep to be a real table: keep the text as paragraphs.
        int depth = 0;
        while (!r_.atEnd()) {
            const auto token = r_.readNext();
            if (token == QXmlStreamReader::EndElement) {
                if (depth-- == 0)
                    break;
            } else if (token == QXmlStreamReader::StartElement) {
                if (wml::isW(r_, tn("p")))
                    readParagraph(out);
                else
                    ++depth;
            }
        }
        return;
    }

    QTextTableFormat direct = bareTableFormat();
    TableExtras tableExtras;
    std::vector<int> grid;
    std::vector<RawRow> rows;

    std::function<void(RawRow&)> readCells = [&](RawRow& row) {
        while (r_.readNextStartElement()) {
            if (!wml::isW(r_)) {
                r_.skipCurrentElement();
            } else if (r_.name() == tn("tc")) {
                RawCell cell;
                while (r_.readNextStartElement()) {
                    if (wml::isW(r_, tn("tcPr")))
                        readCellProperties(r_, cell.format, cell.extras);
                    else
                        readBlockElement(cell.blocks, tableDepth + 1);
                }
                row.cells.push_back(std::move(cell));
            } else if (r_.name() == tn("trPr")) {
                while (r_.readNextStartElement()) {
                    if (wml::isW(r_, tn("gridBefore")))
                        row.gridBefore = wml::wNumber(r_, tn("val"), 0, kMaxColumns).value_or(0);
                    else if (wml::isW(r_, tn("tblHeader")))
                        row.header = wml::toggleValue(r_);
                    r_.skipCurrentElement();
                }
            } else if (r_.name() == tn("sdt") || r_.name() == tn("sdtContent") ||
                       r_.name() == tn("customXml")) {
                readCells(row);
            } else {
                r_.skipCurrentElement();
            }
        }
    };
    std::function<void()> readRows = [&] {
        while (r_.readNextStartElement()) {
            if (!wml::isW(r_)) {
                r_.skipCurrentElement();
            } else if (r_.name() == tn("tblPr")) {
                readTableProperties(r_, direct, &tableExtras);
            } else if (r_.name() == tn("tblGrid")) {
                while (r_.readNextStartElement()) {
                    if (wml::isW(r_, tn("gridCol")) && grid.size() < size_t(kMaxColumns))
                        grid.push_back(wml::wNumber(r_, tn("w"), 0, 31680 * 2).value_or(0));
                    r_.skipCurrentElement();
                }
            } else if (r_.name() == tn("tr")) {
                rows.emplace_back();
                readCells(rows.back());
            } else if (r_.name() == tn("sdt") || r_.name() == tn("sdtContent") ||
                       r_.name() == tn("customXml")) {
                readRows();
            } else {
                r_.skipCurrentElement();
            }
        }
    };
    readRows();
    if (rows.empty() || r_.hasError())
        return;

    int columns = int(grid.size());
    for (const RawRow& row : rows) {
        qint64 need = row.gridBefore;
        for (const RawCell& c : row.cells)
            need += c.extras.gridSpan;
        columns = int(std::max<qint64>(columns, std::min<qint64>(need, kMaxColumns)));
    }
    columns = std::max(columns, 1);
    const int rowCount = int(rows.size());
    cellBudget_ += qint64(rowCount) * columns;
    if (cellBudget_ > kMaxCells) {
        fail(QStringLiteral("表が大きすぎます（%1 行 × %2 列）").arg(rowCount).arg(columns));
        return;
    }

    auto table = std::make_unique<ir::Table>();
    table->rows = rowCount;
    table->columns = columns;
    std::vector<int> owner(size_t(rowCount) * size_t(columns), -1);
    const auto at = [&](int r, int c) -> int& {
        return owner[size_t(r) * size_t(columns) + size_t(c)];
    };
    std::vector<double> percent(size_t(columns), 0);
    for (int r = 0; r < rowCount; ++r) {
        int c = std::min(rows[size_t(r)].gridBefore, columns - 1);
        for (RawCell& raw : rows[size_t(r)].cells) {
            while (c < columns && at(r, c) >= 0)
                ++c;
            if (c >= columns) {
                // No room left in the row: keep the text with the row's last cell.
                if (!table->cells.empty())
                    for (ir::Block& b : raw.blocks)
                        table->cells.back().blocks.push_back(std::move(b));
                continue;
            }
            int span = std::clamp(raw.extras.gridSpan, 1, columns - c);
            for (int k = 1; k < span; ++k)
                if (at(r, c + k) >= 0) {
                    span = k;
                    break;
                }
            if (span == 1 && raw.extras.widthPercent > 0)
                percent[size_t(c)] = raw.extras.widthPercent;
            if (raw.extras.vMerge == CellExtras::Continue && r > 0) {
                const int above = at(r - 1, c);
                if (above >= 0) {
                    ir::Cell& origin = table->cells[size_t(above)];
                    if (origin.column == c && origin.columnSpan == span &&
                        origin.row + origin.rowSpan == r) {
                        ++origin.rowSpan;
                        for (int k = 0; k < span; ++k)
                            at(r, c + k) = above;
                        for (ir::Block& b : raw.blocks) {
                            const bool empty = !b.table && b.paragraph.inlines.empty();
                            if (!empty)
                                origin.blocks.push_back(std::move(b));
                        }
                        c += span;
                        continue;
                    }
                }
            }
            ir::Cell cell;
            cell.row = r;
            cell.column = c;
            cell.columnSpan = span;
            cell.format = raw.format;
            cell.blocks = std::move(raw.blocks);
            table->cells.push_back(std::move(cell));
            for (int k = 0; k < span; ++k)
                at(r, c + k) = int(table->cells.size()) - 1;
            c += span;
        }
    }

    bool styleBorders = false;
    QTextTableFormat format = context_.styles.tableStyle(tableExtras.styleId, styleBorders);
    format.merge(direct);
    if (!styleBorders && !tableExtras.bordersGiven)
        format.setBorder(0);  // Word's plain table has no lines
    if (!format.hasProperty(QTextFormat::FrameBorderStyle))
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    if (!format.hasProperty(QTextFormat::TableCellSpacing))
        format.setCellSpacing(0);
    format.setBorderCollapse(true);
    int headerRows = 0;
    while (headerRows < rowCount && rows[size_t(headerRows)].header)
        ++headerRows;
    if (headerRows > 0)
        format.setHeaderRowCount(headerRows);
    if (int(grid.size()) == columns) {
        QList<QTextLength> constraints;
        for (int c = 0; c < columns; ++c)
            constraints << (percent[size_t(c)] > 0
                                ? QTextLength(QTextLength::PercentageLength, percent[size_t(c)])
                                : QTextLength(QTextLength::FixedLength,
                                              grid[size_t(c)] / ooxml::kTwipsPerPixel));
        format.setColumnWidthConstraints(constraints);
    }
    table->format = format;
    out.emplace_back();
    out.back().table = std::move(table);
}

}  // namespace arbor::docx
