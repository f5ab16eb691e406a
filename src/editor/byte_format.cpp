#include "editor/byte_format.h"

#include <QHash>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <algorithm>
#include <array>
#include <variant>
#include <vector>

#include "editor/byte_io.h"
#include "editor/fields.h"
#include "editor/format_codec.h"
#include "editor/pictures.h"

namespace arbor::byteformat {

namespace {

using bytes::ByteReader;
using bytes::ByteWriter;

// Starts with a byte above ASCII and holds CR LF, so text-mode damage shows at once.
constexpr char kMagic[] =
    "\x89"
    "ArbTx\r\n";
constexpr qsizetype kMagicSize = 8;
constexpr qsizetype kHeaderSize = kMagicSize + 2 + 2 + 4 + 4;
constexpr uint16_t kSelectionFlag = 1;
constexpr uint32_t kMaxPayload = 1u << 30;
constexpr int kMaxDepth = 16;
constexpr uint32_t kMaxFormats = 1000000;
constexpr uint32_t kMaxImages = 100000;
constexpr uint32_t kMaxFragments = 1000000;
constexpr uint32_t kMaxTableCells = 10000;     // rows x columns of one table
constexpr uint32_t kMaxDocumentCells = 50000;  // of all tables together
constexpr uint32_t kNone = 0xFFFFFFFFu;        // no list; the cell's own character format

enum Tag : uint8_t { kEnd = 0, kBlock = 1, kTable = 2, kFrame = 3 };

// ------------------------------------------------------------------ writing

class Writer {
  public:
    void part(const QTextDocument* document) {
        if (!document) {
            parts_.u8(0);
            return;
        }
        document_ = document;
        parts_.u8(1);
        parts_.u32(format(document->rootFrame()->frameFormat()));
        frame(document->rootFrame());
        document_ = nullptr;
    }

    QByteArray finish(const doc::PageSetup& page, uint16_t flags) const {
        ByteWriter payload;
        for (int v : {page.width, page.height, page.marginLeft, page.marginTop, page.marginRight,
                      page.marginBottom})
            payload.i32(v);
        payload.u32(static_cast<uint32_t>(formats_.size()));
        for (const QByteArray& f : formats_)
            payload.raw(f);
        payload.u32(static_cast<uint32_t>(images_.size()));
        for (const auto& [name, data] : images_) {
            payload.string(name);
            payload.bytes(data);
        }
        payload.u32(static_cast<uint32_t>(listFormats_.size()));
        for (uint32_t f : listFormats_)
            payload.u32(f);
        payload.raw(parts_.data());

        ByteWriter out;
        out.raw(QByteArray(kMagic, kMagicSize));
        out.u16(kVersion);
        out.u16(flags);
        out.u32(static_cast<uint32_t>(payload.size()));
        out.u32(bytes::crc32(payload.data()));
        out.raw(payload.data());
        return out.data();
    }

  private:
    uint32_t format(const QTextFormat& f) {
        const QByteArray key = bytes::formatBytes(f);
        auto it = formatIndex_.constFind(key);
        if (it != formatIndex_.cend())
            return it.value();
        const auto index = static_cast<uint32_t>(formats_.size());
        formats_.append(key);
        formatIndex_.insert(key, index);
        return index;
    }

    uint32_t list(QTextList* l) {
        auto it = listIndex_.constFind(l);
        if (it != listIndex_.cend())
            return it.value();
        const auto index = static_cast<uint32_t>(listFormats_.size());
        listFormats_.append(format(l->format()));
        listIndex_.insert(l, index);
        return index;
    }

    void frame(QTextFrame* f) {
        for (auto it = f->begin(); !it.atEnd(); ++it)
            item(it, false);
        parts_.u8(kEnd);
    }

    void item(const QTextFrame::iterator& it, bool cellFirst) {
        QTextFrame* child = it.currentFrame();
        if (!child) {
            block(it.currentBlock(), cellFirst);
        } else if (auto* table = qobject_cast<QTextTable*>(child)) {
            this->table(table);
        } else {
            parts_.u8(kFrame);
            parts_.u32(format(child->frameFormat()));
            frame(child);
        }
    }

    void table(QTextTable* t) {
        parts_.u8(kTable);
        parts_.u32(format(t->format()));
        parts_.u32(static_cast<uint32_t>(t->rows()));
        parts_.u32(static_cast<uint32_t>(t->columns()));
        QList<QTextTableCell> cells;
        for (int r = 0; r < t->rows(); ++r)
            for (int c = 0; c < t->columns(); ++c) {
                const QTextTableCell cell = t->cellAt(r, c);
                if (cell.isValid() && cell.row() == r && cell.column() == c)
                    cells.append(cell);
            }
        parts_.u32(static_cast<uint32_t>(cells.size()));
        for (const QTextTableCell& cell : cells) {
            parts_.u32(static_cast<uint32_t>(cell.row()));
            parts_.u32(static_cast<uint32_t>(cell.column()));
            parts_.u32(static_cast<uint32_t>(cell.rowSpan()));
            parts_.u32(static_cast<uint32_t>(cell.columnSpan()));
            parts_.u32(format(cell.format()));
            bool first = true;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                item(it, first);
                first = false;
            }
            parts_.u8(kEnd);
        }
    }

    void block(const QTextBlock& b, bool cellFirst) {
        parts_.u8(kBlock);
        parts_.u32(format(b.blockFormat()));
        // The first block of a cell carries the cell's format, written with the cell.
        parts_.u32(cellFirst ? kNone : format(b.charFormat()));
        parts_.u32(b.textList() ? list(b.textList()) : kNone);
        // Runs of equal format are joined: the document may hold them split.
        QList<QPair<QString, uint32_t>> runs;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat cf = fragment.charFormat();
            if (cf.isImageFormat())
                picture(cf.toImageFormat().name());
            const uint32_t f = format(cf);
            if (!runs.isEmpty() && runs.last().second == f)
                runs.last().first += fragment.text();
            else
                runs.append({fragment.text(), f});
        }
        parts_.u32(static_cast<uint32_t>(runs.size()));
        for (const auto& [text, f] : runs) {
            parts_.string(text);
            parts_.u32(f);
        }
    }

    void picture(const QString& name) {
        if (imageNames_.contains(name))
            return;
        imageNames_.insert(name);
        const QByteArray data = pictures::resourceBytes(*document_, name);
        if (!data.isEmpty())
            images_.append({name, data});
    }

    const QTextDocument* document_ = nullptr;
    ByteWriter parts_;
    QList<QByteArray> formats_;
    QHash<QByteArray, uint32_t> formatIndex_;
    QList<uint32_t> listFormats_;
    QHash<QTextList*, uint32_t> listIndex_;
    QSet<QString> imageNames_;
    QList<QPair<QString, QByteArray>> images_;
};

// ------------------------------------------------------------------ the parsed block

struct Item;
struct Content {
    std::vector<Item> items;
};
struct Fragment {
    QString text;
    uint32_t format = 0;
};
struct Block {
    uint32_t format = 0;
    uint32_t charFormat = kNone;
    uint32_t list = kNone;
    std::vector<Fragment> fragments;
};
struct Cell {
    int row = 0, column = 0, rowSpan = 1, columnSpan = 1;
    uint32_t format = 0;
    Content content;
};
struct Table {
    uint32_t format = 0;
    int rows = 0, columns = 0;
    std::vector<Cell> cells;
};
struct Frame {
    uint32_t format = 0;
    Content content;
};
struct Item {
    std::variant<Block, Table, Frame> value;
};
struct Part {
    bool present = false;
    uint32_t rootFormat = 0;
    Content content;
};
struct Model {
    uint16_t flags = 0;
    doc::PageSetup page;
    std::vector<QTextFormat> formats;
    std::vector<QPair<QString, QByteArray>> images;
    std::vector<uint32_t> lists;
    std::array<Part, 3> parts;
};

QString refused(const QString& reason) {
    return QStringLiteral("文書データを読み込めません: ") + reason;
}

// ------------------------------------------------------------------ parsing

class Parser {
  public:
    Parser(const QByteArray& payload, Model& model) : in_(payload), m_(model) {}

    bool run(QString& reason) {
        pageSetup();
        formats();
        images();
        lists();
        listOwner_.assign(m_.lists.size(), -1);
        for (int p = 0; p < 3 && in_.ok(); ++p)
            part(p);
        if (in_.ok() && !in_.atEnd())
            in_.fail(QStringLiteral("文書の後ろに余分なﾃﾞｰﾀがあります"));
        reason = in_.error();
        return in_.ok();
    }

  private:
    void pageSetup() {
        doc::PageSetup& p = m_.page;
        p.width = in_.i32();
        p.height = in_.i32();
        p.marginLeft = in_.i32();
        p.marginTop = in_.i32();
        p.marginRight = in_.i32();
        p.marginBottom = in_.i32();
        // Sizes in twips: up to about 2.5 m; margins leave some of the page.
        const auto size = [](int v) { return v >= 144 && v <= 144000; };
        const auto margin = [](int v) { return v >= 0 && v <= 144000; };
        if (in_.ok() &&
            (!size(p.width) || !size(p.height) || !margin(p.marginLeft) || !margin(p.marginTop) ||
             !margin(p.marginRight) || !margin(p.marginBottom) ||
             p.marginLeft + p.marginRight >= p.width || p.marginTop + p.marginBottom >= p.height))
            in_.fail(QStringLiteral("ﾍﾟｰｼﾞ設定の値が範囲外です"));
    }

    void formats() {
        const uint32_t n = in_.count(8, kMaxFormats, "formats");
        m_.formats.reserve(n);
        for (uint32_t i = 0; i < n && in_.ok(); ++i)
            m_.formats.push_back(bytes::readFormat(in_));
    }

    void images() {
        const uint32_t n = in_.count(8, kMaxImages, "pictures");
        QSet<QString> names;
        for (uint32_t i = 0; i < n && in_.ok(); ++i) {
            const QString name = in_.string();
            const QByteArray data = in_.bytes();
            if (!in_.ok())
                break;
            if (name.isEmpty() || names.contains(name) || data.isEmpty()) {
                in_.fail(QStringLiteral("画像のﾃﾞｰﾀが壊れています"));
                break;
            }
            names.insert(name);
            m_.images.push_back({name, data});
        }
    }

    void lists() {
        const uint32_t n = in_.count(4, kMaxFormats, "lists");
        for (uint32_t i = 0; i < n && in_.ok(); ++i)
            m_.lists.push_back(formatRef(&QTextFormat::isListFormat, u"箇条書き"));
    }

    uint32_t formatRef(bool (QTextFormat::*kind)() const, QStringView what) {
        const uint32_t index = in_.u32();
        if (in_.ok() && (index >= m_.formats.size() || !(m_.formats[index].*kind)()))
            in_.fail(QStringLiteral("書式の参照が壊れています (%1)")
                         .arg(what));
        return index;
    }

    void part(int p) {
        Part& part = m_.parts[static_cast<std::size_t>(p)];
        const uint8_t present = in_.u8();
        if (present > 1)
            in_.fail(QStringLiteral("文書の一部が壊れています"));
        part.present = present == 1;
        if (!part.present || !in_.ok())
            return;
        part.rootFormat = formatRef(&QTextFormat::isFrameFormat, u"ﾍﾟｰｼﾞ");
        if (in_.ok() && m_.formats[part.rootFormat].toFrameFormat().isTableFormat())
            in_.fail(QStringLiteral("ﾍﾟｰｼﾞの書式が表の書式になっています"));
        part_ = p;
        content(part.content, 0, false);
    }

    void content(Content& c, int depth, bool inCell) {
        if (depth > kMaxDepth) {
            in_.fail(QStringLiteral("枠と表の入れ子が深すぎます"));
            return;
        }
        while (in_.ok()) {
            const uint8_t tag = in_.u8();
            if (!in_.ok())
                return;
            if (tag == kEnd)
                break;
            const bool afterBlock =
                !c.items.empty() && std::holds_alternative<Block>(c.items.back().value);
            if (tag == kBlock) {
                c.items.push_back({block(inCell && c.items.empty())});
            } else if (tag == kTable || tag == kFrame) {
                // A table or frame always stands between two paragraphs.
                if (!afterBlock) {
                    in_.fail(QStringLiteral("表または枠の前に段落がありません"));
                    return;
                }
                if (tag == kTable)
                    c.items.push_back({table(depth)});
                else
                    c.items.push_back({frame(depth)});
            } else {
                in_.fail(QStringLiteral("知らない要素です (%1)").arg(tag));
                return;
            }
        }
        if (in_.ok() && (c.items.empty() || !std::holds_alternative<Block>(c.items.back().value)))
            in_.fail(QStringLiteral("枠またはｾﾙが段落で終わっていません"));
    }

    Block block(bool cellFirst) {
        Block b;
        b.format = formatRef(&QTextFormat::isBlockFormat, u"段落");
        b.charFormat = in_.u32();
        if (in_.ok()) {
            if (cellFirst != (b.charFormat == kNone))
                in_.fail(QStringLiteral("ｾﾙの最初の段落が壊れています"));
            else if (!cellFirst && (b.charFormat >= m_.formats.size() ||
                                    !m_.formats[b.charFormat].isCharFormat()))
                in_.fail(QStringLiteral("段落の書式の参照が壊れています"));
        }
        b.list = in_.u32();
        if (in_.ok() && b.list != kNone) {
            if (b.list >= m_.lists.size())
                in_.fail(QStringLiteral("段落の箇条書きの参照が壊れています"));
            else if (listOwner_[b.list] >= 0 && listOwner_[b.list] != part_)
                in_.fail(QStringLiteral("箇条書きがﾍﾟｰｼﾞの二つの部分にまたがっています"));
            else
                listOwner_[b.list] = part_;
        }
        const uint32_t n = in_.count(8, kMaxFragments, "text runs");
        b.fragments.reserve(n);
        for (uint32_t i = 0; i < n && in_.ok(); ++i) {
            Fragment f;
            f.text = in_.string();
            f.format = formatRef(&QTextFormat::isCharFormat, u"文字列");
            if (in_.ok() && !plainRun(f.text))
                in_.fail(QStringLiteral("文字列のﾃﾞｰﾀが壊れています"));
            b.fragments.push_back(std::move(f));
        }
        return b;
    }

    // Paragraph and frame marks are structure, never text of a run.
    static bool plainRun(const QString& text) {
        if (text.isEmpty())
            return false;
        for (QChar c : text) {
            const char16_t u = c.unicode();
            if (u == u'\n' || u == u'\r' || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1)
                return false;
        }
        return true;
    }

    Table table(int depth) {
        Table t;
        t.format = formatRef(&QTextFormat::isFrameFormat, u"表");
        if (in_.ok() && !m_.formats[t.format].toFrameFormat().isTableFormat())
            in_.fail(QStringLiteral("表に表の書式がありません"));
        const uint32_t rows = in_.u32();
        const uint32_t columns = in_.u32();
        if (!in_.ok())
            return t;
        if (rows == 0 || columns == 0 || rows > kMaxTableCells || columns > kMaxTableCells ||
            rows * columns > kMaxTableCells) {
            in_.fail(QStringLiteral("表の大きさが不正です"));
            return t;
        }
        cellBudget_ += rows * columns;
        if (cellBudget_ > kMaxDocumentCells) {
            in_.fail(QStringLiteral("表のｾﾙが多すぎます"));
            return t;
        }
        t.rows = static_cast<int>(rows);
        t.columns = static_cast<int>(columns);
        std::vector<bool> taken(rows * columns, false);
        std::size_t nextFree = 0;
        const uint32_t n = in_.count(22, rows * columns, "table cells");
        for (uint32_t i = 0; i < n && in_.ok(); ++i) {
            Cell cell;
            const uint32_t r = in_.u32(), c = in_.u32(), rs = in_.u32(), cs = in_.u32();
            cell.format = formatRef(&QTextFormat::isCharFormat, u"ｾﾙ");
            if (!in_.ok())
                break;
            // Cells come in reading order, each at the first place no cell covers yet.
            while (nextFree < taken.size() && taken[nextFree])
                ++nextFree;
            if (nextFree != static_cast<std::size_t>(r) * columns + c || r >= rows ||
                c >= columns || rs == 0 || cs == 0 || rs > rows - r || cs > columns - c) {
                in_.fail(QStringLiteral("表のｾﾙが重なっているか、すき間があります"));
                break;
            }
            for (uint32_t y = r; y < r + rs && in_.ok(); ++y)
                for (uint32_t x = c; x < c + cs; ++x) {
                    if (taken[y * columns + x]) {
                        in_.fail(QStringLiteral("表のｾﾙが重なっています"));
                        break;
                    }
                    taken[y * columns + x] = true;
                }
            cell.row = static_cast<int>(r);
            cell.column = static_cast<int>(c);
            cell.rowSpan = static_cast<int>(rs);
            cell.columnSpan = static_cast<int>(cs);
            content(cell.content, depth + 1, true);
            t.cells.push_back(std::move(cell));
        }
        if (in_.ok() && std::find(taken.begin(), taken.end(), false) != taken.end())
            in_.fail(QStringLiteral("表にｾﾙのない場所があります"));
        return t;
    }

    Frame frame(int depth) {
        Frame f;
        f.format = formatRef(&QTextFormat::isFrameFormat, u"枠");
        if (in_.ok() && m_.formats[f.format].toFrameFormat().isTableFormat())
            in_.fail(QStringLiteral("枠に表の書式があります"));
        content(f.content, depth + 1, false);
        return f;
    }

    ByteReader in_;
    Model& m_;
    std::vector<int> listOwner_;
    int part_ = 0;
    uint32_t cellBudget_ = 0;
};

bool parse(const QByteArray& data, Model& model, QString& error) {
    if (data.isEmpty()) {
        error = refused(QStringLiteral("ﾃﾞｰﾀが空です"));
        return false;
    }
    if (data.size() < kHeaderSize || !data.startsWith(QByteArray(kMagic, kMagicSize))) {
        error = refused(QStringLiteral("Arborの文書ﾃﾞｰﾀではありません"));
        return false;
    }
    ByteReader header(data);
    header.raw(kMagicSize);
    const uint16_t version = header.u16();
    model.flags = header.u16();
    const uint32_t length = header.u32();
    const uint32_t crc = header.u32();
    if (version == 0 || version > kVersion) {
        error = refused(version > kVersion
                            ? QStringLiteral("新しい版のArborで書かれています (%1)").arg(version)
                            : QStringLiteral("版の情報が壊れています"));
        return false;
    }
    if ((model.flags & ~kSelectionFlag) != 0) {
        error = refused(QStringLiteral("知らないﾌﾗｸﾞがあります"));
        return false;
    }
    const qsizetype available = data.size() - kHeaderSize;
    if (length > kMaxPayload || static_cast<qsizetype>(length) > available) {
        error = refused(QStringLiteral("ﾃﾞｰﾀが途中で切れています"));
        return false;
    }
    if (static_cast<qsizetype>(length) < available) {
        error = refused(QStringLiteral("文書の後ろに余分なﾃﾞｰﾀがあります"));
        return false;
    }
    const QByteArray payload = data.mid(kHeaderSize);
    if (bytes::crc32(payload) != crc) {
        error = refused(QStringLiteral("ﾃﾞｰﾀが壊れています (ﾁｪｯｸｻﾑ)"));
        return false;
    }
    QString reason;
    if (!Parser(payload, model).run(reason)) {
        error = refused(reason);
        return false;
    }
    return true;
}

// ------------------------------------------------------------------ building

class Builder {
  public:
    Builder(const Model& model, QTextDocument& document)
        : m_(model), doc_(document), lists_(model.lists.size(), nullptr) {}

    // False when Qt did not give the table shapes the block asks for.
    bool build(const Part& part) {
        // A document shown in a view is laid out after every change. Without a page size
        // its layout waits, and the whole page is laid out once (lazily, as far as it is
        // shown) when the size comes back; laying out as it grows made loading quadratic.
        const QSizeF pageSize = doc_.pageSize();
        doc_.setPageSize(QSizeF(0, 0));
        doc_.setUndoRedoEnabled(false);
        doc_.clear();
        for (const auto& [name, data] : m_.images)
            doc_.addResource(QTextDocument::ImageResource, QUrl(name), data);
        if (part.present) {
            QTextCursor whole(&doc_);
            whole.beginEditBlock();
            doc_.rootFrame()->setFrameFormat(m_.formats[part.rootFormat].toFrameFormat());
            QTextCursor cursor(&doc_);
            content(cursor, part.content);
            whole.endEditBlock();
        }
        doc_.setUndoRedoEnabled(true);
        doc_.setModified(false);
        doc_.setPageSize(pageSize);
        return ok_;
    }

  private:
    void content(QTextCursor& cursor, const Content& c) {
        bool fresh = true;  // the cursor's paragraph exists and waits for its formats
        for (const Item& item : c.items) {
            if (const auto* b = std::get_if<Block>(&item.value)) {
                block(cursor, *b, fresh);
                fresh = false;
            } else if (const auto* t = std::get_if<Table>(&item.value)) {
                table(cursor, *t);
                fresh = true;
            } else if (const auto* f = std::get_if<Frame>(&item.value)) {
                QTextFrame* frame = cursor.insertFrame(m_.formats[f->format].toFrameFormat());
                QTextCursor inside = frame->firstCursorPosition();
                content(inside, f->content);
                cursor = frame->lastCursorPosition();
                cursor.movePosition(QTextCursor::NextBlock);
                fresh = true;
            }
        }
    }

    void block(QTextCursor& cursor, const Block& b, bool fresh) {
        const QTextBlockFormat format = m_.formats[b.format].toBlockFormat();
        if (fresh) {
            cursor.setBlockFormat(format);
            if (b.charFormat != kNone)
                cursor.setBlockCharFormat(m_.formats[b.charFormat].toCharFormat());
        } else {
            cursor.insertBlock(format, m_.formats[b.charFormat].toCharFormat());
        }
        if (b.list != kNone) {
            QTextList*& list = lists_[b.list];
            if (list)
                list->add(cursor.block());
            else
                list = cursor.createList(m_.formats[m_.lists[b.list]].toListFormat());
        }
        for (const Fragment& f : b.fragments)
            cursor.insertText(f.text, m_.formats[f.format].toCharFormat());
    }

    void table(QTextCursor& cursor, const Table& t) {
        QTextTable* table =
            cursor.insertTable(t.rows, t.columns, m_.formats[t.format].toTableFormat());
        for (const Cell& cell : t.cells)
            if (cell.rowSpan > 1 || cell.columnSpan > 1)
                table->mergeCells(cell.row, cell.column, cell.rowSpan, cell.columnSpan);
        for (const Cell& cell : t.cells) {
            QTextTableCell target = table->cellAt(cell.row, cell.column);
            if (target.row() != cell.row || target.column() != cell.column ||
                target.rowSpan() != cell.rowSpan || target.columnSpan() != cell.columnSpan) {
                ok_ = false;
                continue;
            }
            target.setFormat(m_.formats[cell.format].toCharFormat());
            QTextCursor inside = target.firstCursorPosition();
            content(inside, cell.content);
        }
        cursor = table->lastCursorPosition();
        cursor.movePosition(QTextCursor::NextBlock);
    }

    const Model& m_;
    QTextDocument& doc_;
    std::vector<QTextList*> lists_;
    bool ok_ = true;
};

// Builds every present part into fresh documents: what loading would give.
bool buildFresh(const Model& model, std::array<QTextDocument, 3>& fresh, QString& error) {
    for (std::size_t p = 0; p < 3; ++p) {
        if (!Builder(model, fresh[p]).build(model.parts[p])) {
            error = refused(QStringLiteral("表の結合ｾﾙが合いません"));
            return false;
        }
    }
    return true;
}

}  // namespace

QByteArray save(const doc::DocumentParts& parts) {
    Writer writer;
    writer.part(parts.body);
    writer.part(parts.header);
    writer.part(parts.footer);
    return writer.finish(parts.page, 0);
}

QByteArray saveSelection(const QTextCursor& selection, const doc::PageSetup& page) {
    QTextDocument part;
    if (selection.hasSelection()) {
        QTextCursor(&part).insertFragment(selection.selection());
        pictures::copyResources(*selection.document(), part);
    }
    Writer writer;
    writer.part(&part);
    writer.part(nullptr);
    writer.part(nullptr);
    return writer.finish(page, kSelectionFlag);
}

bool check(const QByteArray& data, QString& error) {
    Model model;
    std::array<QTextDocument, 3> fresh;
    return parse(data, model, error) && buildFresh(model, fresh, error);
}

bool load(const QByteArray& data, doc::DocumentParts& parts, QString& error,
          const std::function<void()>& beforeChange) {
    Model model;
    std::array<QTextDocument, 3> fresh;
    if (!parse(data, model, error) || !buildFresh(model, fresh, error))
        return false;
    if (beforeChange)
        beforeChange();
    // The block is sound: the same building cannot fail on the documents in use.
    const std::array<QTextDocument*, 3> targets = {parts.body, parts.header, parts.footer};
    for (std::size_t p = 0; p < 3; ++p)
        if (targets[p])
            Builder(model, *targets[p]).build(model.parts[p]);
    parts.page = model.page;
    return true;
}

bool insert(const QByteArray& data, QTextCursor& cursor, QString& error) {
    Model model;
    std::array<QTextDocument, 3> fresh;
    if (!parse(data, model, error) || !buildFresh(model, fresh, error))
        return false;
    QTextDocument* target = cursor.document();
    QTextDocument& body = fresh[0];
    if (body.isEmpty() && !cursor.hasSelection())
        return true;
    pictures::renumberFor(body, *target);
    fields::renumber(body, fields::highestId(*target) + 1);
    cursor.beginEditBlock();
    pictures::copyResources(body, *target);
    cursor.insertFragment(QTextDocumentFragment(&body));
    cursor.endEditBlock();
    return true;
}

}  // namespace arbor::byteformat
