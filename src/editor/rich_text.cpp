#include "editor/rich_text.h"

#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>
#include <algorithm>
#include <cmath>

#include "editor/byte_format.h"
#include "editor/paragraph_styles.h"
#include "editor/pictures.h"
#include "editor/plain_text.h"
#include "editor/user_formats.h"

namespace arbor {

namespace {

constexpr qint64 kMaxPictureFile = 64 * 1024 * 1024;

int twips(double points) {
    return static_cast<int>(std::lround(points * 20.0));
}

}  // namespace

QColor colorFromBgr(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

int32_t bgrFromColor(const QColor& color) {
    if (!color.isValid())
        return 0;
    const QColor rgb = color.toRgb();
    return static_cast<int32_t>(static_cast<uint32_t>(rgb.red()) |
                                (static_cast<uint32_t>(rgb.green()) << 8) |
                                (static_cast<uint32_t>(rgb.blue()) << 16));
}

RichText::RichText(QObject* parent)
    : QObject(parent),
      body_(std::make_unique<QTextDocument>()),
      header_(std::make_unique<QTextDocument>()),
      footer_(std::make_unique<QTextDocument>()),
      cursor_(body_.get()) {
    for (QTextDocument* d : {body_.get(), header_.get(), footer_.get()})
        connect(d, &QTextDocument::contentsChanged, this, &RichText::documentChanged);
}

RichText::~RichText() = default;

void RichText::documentChanged() {
    if (!replacing_)
        emit changed();
}

void RichText::beginReplace() {
    replacing_ = true;
    emit aboutToReplace();
}

void RichText::endReplace() {
    replacing_ = false;
    cursor_ = QTextCursor(body_.get());
    emit replaced();
}

void RichText::setPageSetup(const doc::PageSetup& page) {
    if (page_ == page)
        return;
    page_ = page;
    emit changed();
}

doc::DocumentParts RichText::parts() const {
    return {body_.get(), header_.get(), footer_.get(), page_};
}

bool RichText::isEmpty() const {
    return body_->isEmpty() && header_->isEmpty() && footer_->isEmpty();
}

// ------------------------------------------------------------------ selection

void RichText::setCursor(const QTextCursor& cursor) {
    if (cursor.document() == body_.get())
        cursor_ = cursor;
}

QString RichText::selectedText() const {
    QString text = cursor_.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

void RichText::setSelection(int start, int length) {
    const int last = std::max(0, body_->characterCount() - 1);
    const int from = std::clamp(start, 0, last);
    const int to = std::clamp(start + std::max(0, length), from, last);
    cursor_.setPosition(from);
    cursor_.setPosition(to, QTextCursor::KeepAnchor);
}

void RichText::insertText(const QString& text) {
    fields::leaveFieldEdge(cursor_);
    cursor_.beginEditBlock();
    plaintext::insertText(cursor_, text);
    cursor_.endEditBlock();
}

// ------------------------------------------------------------------ characters

QTextCharFormat RichText::charFormat() const {
    if (!cursor_.hasSelection())
        return cursor_.charFormat();
    QTextCursor first(body_.get());
    first.setPosition(cursor_.selectionStart() + 1);
    return first.charFormat();
}

void RichText::mergeChar(const QTextCharFormat& format) {
    cursor_.beginEditBlock();
    cursor_.mergeCharFormat(format);
    cursor_.endEditBlock();
}

QString RichText::fontName() const {
    const QStringList families = charFormat().fontFamilies().toStringList();
    return families.isEmpty() ? body_->defaultFont().family() : families.first();
}

void RichText::setFontName(const QString& family) {
    QTextCharFormat f;
    f.setFontFamilies(QStringList{family});
    mergeChar(f);
}

double RichText::fontSize() const {
    const double size = charFormat().fontPointSize();
    return size > 0 ? size : body_->defaultFont().pointSizeF();
}

void RichText::setFontSize(double points) {
    if (points <= 0)
        return;
    QTextCharFormat f;
    f.setFontPointSize(points);
    mergeChar(f);
}

QColor RichText::foreground() const {
    const QTextCharFormat f = charFormat();
    return f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor(Qt::black);
}

void RichText::setForeground(const QColor& color) {
    QTextCharFormat f;
    f.setForeground(color);
    mergeChar(f);
}

QColor RichText::background() const {
    const QBrush brush = charFormat().background();
    return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

void RichText::setBackground(const QColor& color) {
    QTextCharFormat f;
    f.setBackground(color.isValid() ? QBrush(color) : QBrush(Qt::NoBrush));
    mergeChar(f);
}

bool RichText::bold() const {
    return charFormat().fontWeight() > QFont::Medium;
}

void RichText::setBold(bool on) {
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeChar(f);
}

bool RichText::italic() const {
    return charFormat().fontItalic();
}

void RichText::setItalic(bool on) {
    QTextCharFormat f;
    f.setFontItalic(on);
    mergeChar(f);
}

bool RichText::underline() const {
    return charFormat().fontUnderline();
}

void RichText::setUnderline(bool on) {
    QTextCharFormat f;
    f.setFontUnderline(on);
    mergeChar(f);
}

// ------------------------------------------------------------------ paragraphs

void RichText::mergeBlock(const QTextBlockFormat& format) {
    cursor_.beginEditBlock();
    cursor_.mergeBlockFormat(format);
    cursor_.endEditBlock();
}

Qt::Alignment RichText::alignment() const {
    return cursor_.blockFormat().alignment();
}

void RichText::setAlignment(Qt::Alignment alignment) {
    QTextBlockFormat f;
    f.setAlignment(alignment);
    mergeBlock(f);
}

int RichText::leftIndent() const {
    return twips(cursor_.blockFormat().leftMargin());
}
int RichText::rightIndent() const {
    return twips(cursor_.blockFormat().rightMargin());
}
int RichText::firstLineIndent() const {
    return twips(cursor_.blockFormat().textIndent());
}

void RichText::setIndents(int left, int right, int firstLine) {
    QTextBlockFormat f;
    f.setLeftMargin(left / 20.0);
    f.setRightMargin(right / 20.0);
    f.setTextIndent(firstLine / 20.0);
    mergeBlock(f);
}

void RichText::setLineSpacing(int twipsHeight) {
    QTextBlockFormat f;
    if (twipsHeight > 0)
        f.setLineHeight(twipsHeight / 20.0, QTextBlockFormat::FixedHeight);
    else
        f.setLineHeight(0, QTextBlockFormat::SingleHeight);
    mergeBlock(f);
}

int RichText::lineSpacing() const {
    const QTextBlockFormat f = cursor_.blockFormat();
    return f.lineHeightType() == QTextBlockFormat::FixedHeight ? twips(f.lineHeight()) : 0;
}

QVariant RichText::paragraphProperty(int property) const {
    return cursor_.blockFormat().property(property);
}

void RichText::setParagraphProperty(int property, const QVariant& value) {
    cursor_.beginEditBlock();
    const QTextBlock last = body_->findBlock(cursor_.selectionEnd());
    for (QTextBlock b = body_->findBlock(cursor_.selectionStart()); b.isValid(); b = b.next()) {
        QTextBlockFormat f = b.blockFormat();
        if (value.isValid())
            f.setProperty(property, value);
        else
            f.clearProperty(property);
        QTextCursor(b).setBlockFormat(f);
        if (b == last)
            break;
    }
    cursor_.endEditBlock();
}

void RichText::insertPageBreak() {
    cursor_.beginEditBlock();
    cursor_.insertBlock();
    QTextBlockFormat f = cursor_.blockFormat();
    f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor_.setBlockFormat(f);
    cursor_.endEditBlock();
}

// ------------------------------------------------------------------ tables

QTextTable* RichText::insertTable(int rows, int columns) {
    if (rows <= 0 || columns <= 0)
        return nullptr;
    QTextTableFormat f;
    f.setBorder(1);
    f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    f.setBorderCollapse(true);
    f.setCellSpacing(0);
    f.setCellPadding(3);
    f.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    cursor_.beginEditBlock();
    const QTextBlock from = cursor_.block();
    const QTextBlockFormat fromBlock = from.blockFormat();
    const QTextCharFormat fromChars = from.charFormat();
    QTextTable* table = cursor_.insertTable(rows, columns, f);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            styleCell(table->cellAt(r, c), kBody, Frmt::instance());
    // The paragraph after the table: the rest of the one it was inserted into keeps that
    // one's style; a new, empty one is body text.
    QTextCursor after = table->lastCursorPosition();
    after.movePosition(QTextCursor::NextBlock);
    if (after.block() != from && after.block().length() == 1) {
        applyParagraphStyle(after, kBody, Frmt::instance());
    } else if (after.block() != from && !after.blockFormat().hasProperty(doc::StyleIndex)) {
        after.setBlockFormat(fromBlock);
        after.setBlockCharFormat(fromChars);
    }
    cursor_.endEditBlock();
    return table;
}

QTextTable* RichText::currentTable() const {
    return cursor_.currentTable();
}

namespace {

// New cells start in the body style, as new paragraphs do.
void styleCells(QTextTable* table, int row, int rows, int column, int columns) {
    for (int r = row; r < row + rows; ++r)
        for (int c = column; c < column + columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() == r && cell.column() == c)
                styleCell(cell, kBody, Frmt::instance());
        }
}

}  // namespace

bool RichText::insertRows(int count, bool below) {
    QTextTable* table = currentTable();
    if (!table || count <= 0)
        return false;
    const QTextTableCell cell = table->cellAt(cursor_);
    const int at = below ? cell.row() + cell.rowSpan() : cell.row();
    cursor_.beginEditBlock();
    table->insertRows(at, count);
    styleCells(table, at, count, 0, table->columns());
    cursor_.endEditBlock();
    return true;
}

bool RichText::insertColumns(int count, bool right) {
    QTextTable* table = currentTable();
    if (!table || count <= 0)
        return false;
    const QTextTableCell cell = table->cellAt(cursor_);
    const int at = right ? cell.column() + cell.columnSpan() : cell.column();
    cursor_.beginEditBlock();
    table->insertColumns(at, count);
    styleCells(table, 0, table->rows(), at, count);
    cursor_.endEditBlock();
    return true;
}

bool RichText::nextCell(bool backward, bool mayAddRow) {
    QTextTable* table = currentTable();
    if (!table)
        return false;
    const QTextTableCell cell = table->cellAt(cursor_.position());
    const int columns = table->columns();
    // Cells in reading order; a place covered by a merged cell belongs to that cell.
    int index =
        cell.row() * columns + (backward ? cell.column() : cell.column() + cell.columnSpan() - 1);
    for (;;) {
        index += backward ? -1 : 1;
        if (index < 0)
            return true;  // the first cell: nothing before it
        if (index >= table->rows() * columns) {
            if (!mayAddRow)
                return true;
            cursor_.beginEditBlock();
            const int row = table->rows();
            table->appendRows(1);
            styleCells(table, row, 1, 0, columns);
            cursor_.endEditBlock();
        }
        const QTextTableCell target = table->cellAt(index / columns, index % columns);
        if (target.row() * columns + target.column() == index) {
            cursor_ = target.firstCursorPosition();
            return true;
        }
    }
}

namespace {

// The cells the cursor selects: a block of cells, or the one at the caret.
struct CellRange {
    int row = 0, rows = 0, column = 0, columns = 0;
};

CellRange selectedCells(const QTextCursor& cursor, QTextTable* table) {
    CellRange range;
    if (cursor.hasComplexSelection()) {
        cursor.selectedTableCells(&range.row, &range.rows, &range.column, &range.columns);
    } else {
        const QTextTableCell cell = table->cellAt(cursor);
        range = {cell.row(), cell.rowSpan(), cell.column(), cell.columnSpan()};
    }
    return range;
}

}  // namespace

bool RichText::removeRows() {
    QTextTable* table = currentTable();
    if (!table)
        return false;
    const CellRange r = selectedCells(cursor_, table);
    table->removeRows(r.row, r.rows);
    return true;
}

bool RichText::removeColumns() {
    QTextTable* table = currentTable();
    if (!table)
        return false;
    const CellRange r = selectedCells(cursor_, table);
    table->removeColumns(r.column, r.columns);
    return true;
}

bool RichText::mergeCells() {
    QTextTable* table = currentTable();
    if (!table || !cursor_.hasComplexSelection())
        return false;
    table->mergeCells(cursor_);
    return true;
}

bool RichText::splitCell() {
    QTextTable* table = currentTable();
    if (!table)
        return false;
    const QTextTableCell cell = table->cellAt(cursor_);
    if (cell.rowSpan() == 1 && cell.columnSpan() == 1)
        return false;
    table->splitCell(cell.row(), cell.column(), 1, 1);
    return true;
}

namespace {

template <typename F>
bool changeCells(QTextCursor& cursor, F change) {
    QTextTable* table = cursor.currentTable();
    if (!table)
        return false;
    const CellRange r = selectedCells(cursor, table);
    cursor.beginEditBlock();
    for (int row = r.row; row < r.row + r.rows; ++row)
        for (int column = r.column; column < r.column + r.columns; ++column) {
            QTextTableCell cell = table->cellAt(row, column);
            if (cell.row() != row || cell.column() != column)
                continue;
            QTextTableCellFormat f = cell.format().toTableCellFormat();
            change(f);
            cell.setFormat(f);
        }
    cursor.endEditBlock();
    return true;
}

}  // namespace

bool RichText::setCellBackground(const QColor& color) {
    return changeCells(cursor_, [&](QTextTableCellFormat& f) {
        f.setBackground(color.isValid() ? QBrush(color) : QBrush(Qt::NoBrush));
    });
}

bool RichText::setCellPadding(double points) {
    return changeCells(cursor_, [&](QTextTableCellFormat& f) { f.setPadding(points); });
}

bool RichText::setCellBorder(double width, const QColor& color) {
    return changeCells(cursor_, [&](QTextTableCellFormat& f) {
        f.setBorder(width);
        f.setBorderBrush(color);
        f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    });
}

// ------------------------------------------------------------------ pictures

bool RichText::insertPicture(const QByteArray& bytes, QString& error) {
    cursor_.beginEditBlock();
    const bool ok = pictures::insertPicture(cursor_, bytes, error);
    cursor_.endEditBlock();
    return ok;
}

bool RichText::insertPictureFile(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("ファイルを開けません: ") + path;
        return false;
    }
    if (file.size() > kMaxPictureFile) {
        error = QStringLiteral("画像ファイルが大きすぎます: ") + path;
        return false;
    }
    return insertPicture(file.readAll(), error);
}

// ------------------------------------------------------------------ header and footer

QString RichText::headerText() const {
    return plaintext::text(*header_);
}
void RichText::setHeaderText(const QString& text) {
    plaintext::setText(*header_, text);
}
QString RichText::footerText() const {
    return plaintext::text(*footer_);
}
void RichText::setFooterText(const QString& text) {
    plaintext::setText(*footer_, text);
}

// ------------------------------------------------------------------ fields

bool RichText::insertField(const QString& text, const QString& data) {
    return fields::insert(cursor_, text, data);
}

std::optional<fields::Field> RichText::currentField() const {
    return fields::current(cursor_);
}

bool RichText::updateCurrentField(const QString& text, const QString& data) {
    const auto field = currentField();
    return field && fields::update(*body_, *field, text, data);
}

QList<fields::Field> RichText::allFields() const {
    return fields::all(*body_);
}

std::optional<fields::Field> RichText::fieldAt(int position) const {
    return fields::at(*body_, position);
}

bool RichText::setFieldData(int id, const QString& data) {
    return fields::setData(*body_, id, data);
}

// ------------------------------------------------------------------ content

QByteArray RichText::saveBytes() const {
    return byteformat::save(parts());
}

QByteArray RichText::saveSelectionBytes() const {
    return byteformat::saveSelection(cursor_, page_);
}

bool RichText::loadBytes(const QByteArray& data, QString& error) {
    doc::DocumentParts p = parts();
    // Nothing is announced for a block that is refused: the page stays as it was.
    if (!byteformat::load(data, p, error, [this] { beginReplace(); }))
        return false;
    page_ = p.page;
    endReplace();
    return true;
}

bool RichText::insertBytes(const QByteArray& data, QString& error) {
    return byteformat::insert(data, cursor_, error);
}

QString RichText::plainText() const {
    return plaintext::text(*body_);
}

QString RichText::selectionPlainText() const {
    if (!cursor_.hasSelection())
        return {};
    QTextDocument part;
    QTextCursor(&part).insertFragment(cursor_.selection());
    return plaintext::text(part);
}

void RichText::setText(const QString& text) {
    plaintext::setText(*body_, text);
}

void RichText::clear() {
    beginReplace();
    for (QTextDocument* d : {body_.get(), header_.get(), footer_.get()}) {
        d->setUndoRedoEnabled(false);
        d->clear();
        d->setUndoRedoEnabled(true);
        d->setModified(false);
    }
    endReplace();
}

}  // namespace arbor
