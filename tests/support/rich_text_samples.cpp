#include "support/rich_text_samples.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDebug>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <random>

#include "editor/document_model.h"
#include "editor/pictures.h"
#include "editor/rich_text.h"

namespace arbor::test {

namespace {

QByteArray imageBytes(const QColor& color, int width, int height, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    image.setPixelColor(0, 0, Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QString valueText(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<QTextOption::Tab>()) {
        const auto tab = value.value<QTextOption::Tab>();
        return QStringLiteral("tab(%1,%2,%3)").arg(tab.position).arg(tab.type).arg(tab.delimiter);
    }
    if (value.metaType().id() == QMetaType::QVariantList) {
        QStringList items;
        for (const QVariant& item : value.toList())
            items << valueText(item);
        return u'[' + items.join(u',') + u']';
    }
    QString text;
    QDebug(&text).nospace() << value;
    return text;
}

QString formatText(const QTextFormat& format) {
    auto props = format.properties();
    props.remove(QTextFormat::ObjectIndex);
    QStringList parts{QString::number(format.type())};
    for (auto it = props.cbegin(); it != props.cend(); ++it)
        parts << QString::number(it.key(), 16) + u'=' + valueText(it.value());
    return u'{' + parts.join(u' ') + u'}';
}

class Describer {
  public:
    explicit Describer(const QTextDocument& document) : doc_(document) {}

    QString run() {
        line(0, QStringLiteral("page ") + formatText(doc_.rootFrame()->frameFormat()));
        frame(doc_.rootFrame()->begin(), 1);
        return out_;
    }

  private:
    void line(int depth, const QString& text) { out_ += QString(depth * 2, u' ') + text + u'\n'; }

    void frame(QTextFrame::iterator it, int depth) {
        for (; !it.atEnd(); ++it) {
            QTextFrame* child = it.currentFrame();
            if (!child) {
                block(it.currentBlock(), depth);
            } else if (auto* table = qobject_cast<QTextTable*>(child)) {
                line(depth, QStringLiteral("table %1x%2 %3")
                                .arg(table->rows())
                                .arg(table->columns())
                                .arg(formatText(table->format())));
                for (int r = 0; r < table->rows(); ++r)
                    for (int c = 0; c < table->columns(); ++c) {
                        const QTextTableCell cell = table->cellAt(r, c);
                        if (cell.row() != r || cell.column() != c)
                            continue;
                        line(depth + 1, QStringLiteral("cell %1,%2 span %3x%4 %5")
                                            .arg(r)
                                            .arg(c)
                                            .arg(cell.rowSpan())
                                            .arg(cell.columnSpan())
                                            .arg(formatText(cell.format())));
                        frame(cell.begin(), depth + 2);
                    }
            } else {
                line(depth, QStringLiteral("frame ") + formatText(child->frameFormat()));
                frame(child->begin(), depth + 1);
            }
        }
    }

    void block(const QTextBlock& b, int depth) {
        QString list;
        if (QTextList* l = b.textList()) {
            if (!lists_.contains(l))
                lists_.append(l);
            list = QStringLiteral(" list%1 %2").arg(lists_.indexOf(l)).arg(formatText(l->format()));
        }
        line(depth, QStringLiteral("block ") + formatText(b.blockFormat()) +
                        QStringLiteral(" char ") + formatText(b.charFormat()) + list);
        QString previous;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QString format = formatText(f.charFormat());
            if (f.charFormat().isImageFormat()) {
                const QString name = f.charFormat().toImageFormat().name();
                const QByteArray bytes = pictures::resourceBytes(doc_, name);
                line(depth + 1,
                     QStringLiteral("picture %1 %2 bytes %3")
                         .arg(name)
                         .arg(bytes.size())
                         .arg(QString::fromLatin1(
                             QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex())));
            }
            // Where the document splits a run of one format is no content.
            if (format == previous) {
                out_.chop(1);
                out_.insert(out_.lastIndexOf(u'"'), f.text());
                out_ += u'\n';
                continue;
            }
            line(depth + 1,
                 QStringLiteral("run ") + format + QStringLiteral(" \"") + f.text() + u'"');
            previous = format;
        }
    }

    const QTextDocument& doc_;
    QString out_;
    QList<QTextList*> lists_;
};

QTextCharFormat randomCharFormat(std::mt19937& rng) {
    QTextCharFormat f;
    switch (rng() % 7) {
        case 0:
            f.setFontWeight(QFont::Bold);
            break;
        case 1:
            f.setFontItalic(true);
            break;
        case 2:
            f.setFontPointSize(8 + rng() % 20);
            break;
        case 3:
            f.setForeground(QColor::fromRgb(rng() & 0xFFFFFF));
            break;
        case 4:
            f.setFontFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAGothic")});
            break;
        case 5:
            f.setBackground(QColor::fromRgb(rng() & 0xFFFFFF));
            f.setFontUnderline(true);
            break;
        default:
            break;
    }
    return f;
}

QTextBlockFormat randomBlockFormat(std::mt19937& rng) {
    QTextBlockFormat f;
    switch (rng() % 6) {
        case 0:
            f.setAlignment(Qt::AlignHCenter);
            break;
        case 1:
            f.setLeftMargin(rng() % 40);
            f.setProperty(doc::StyleIndex, static_cast<int>(rng() % 8));
            break;
        case 2:
            f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            break;
        case 3:
            f.setLineHeight(12 + rng() % 10, QTextBlockFormat::FixedHeight);
            break;
        case 4:
            f.setProperty(doc::HeadingAttribute, 1);
            f.setTopMargin(4);
            break;
        default:
            break;
    }
    return f;
}

const QStringList kWords = {QStringLiteral("日本語の文章"), QStringLiteral("ｶﾀｶﾅ"),
                            QStringLiteral("text "),        QStringLiteral("表と図"),
                            QStringLiteral("　全角空白"),   QStringLiteral("A&B<C>\"D\"")};

void randomStep(QTextCursor& cursor, RichText& page, std::mt19937& rng, int depth) {
    QTextDocument* doc = cursor.document();
    // Inside a table or frame only additions: a deletion could remove the table itself.
    switch (rng() % (depth > 0 ? 9 : 12)) {
        case 0:
        case 1:
        case 2:
            cursor.insertText(kWords[static_cast<int>(rng() % kWords.size())],
                              randomCharFormat(rng));
            break;
        case 3:
            cursor.insertBlock(randomBlockFormat(rng), randomCharFormat(rng));
            break;
        case 4: {
            static const QStringList data = {
                QStringLiteral("TG_1012"), QStringLiteral("TP_用語"),
                QStringLiteral("https://example.com/?a=1&b=2"),
                QStringLiteral("LK_OBJ\t<script src=\"x.js\"></script>")};
            page.setCursor(cursor);
            page.insertField(QStringLiteral("リンク"), data[static_cast<int>(rng() % data.size())]);
            cursor = page.cursor();
            break;
        }
        case 5: {
            page.setCursor(cursor);
            QString error;
            page.insertPicture(rng() % 2 ? pngBytes(QColor::fromRgb(rng() & 0xFFFFFF))
                                         : jpegBytes(QColor::fromRgb(rng() & 0xFFFFFF)),
                               error);
            cursor = page.cursor();
            break;
        }
        case 6: {
            if (depth > 1)
                break;
            const int rows = 1 + static_cast<int>(rng() % 3);
            const int columns = 1 + static_cast<int>(rng() % 3);
            QTextTable* table = cursor.insertTable(rows, columns);
            if (rows > 1 && rng() % 2)
                table->mergeCells(0, 0, 2, 1);
            else if (columns > 1)
                table->mergeCells(rows - 1, 0, 1, columns);
            for (int i = 0; i < 3; ++i) {
                QTextCursor inside =
                    table->cellAt(static_cast<int>(rng() % rows), static_cast<int>(rng() % columns))
                        .lastCursorPosition();
                randomStep(inside, page, rng, depth + 1);
            }
            cursor = table->lastCursorPosition();
            cursor.movePosition(QTextCursor::NextBlock);
            break;
        }
        case 7: {
            QTextListFormat list;
            list.setStyle(rng() % 2 ? QTextListFormat::ListDisc : QTextListFormat::ListDecimal);
            cursor.insertList(list);
            cursor.insertText(kWords[0]);
            break;
        }
        case 8: {
            if (depth > 1)
                break;
            QTextFrameFormat frame;
            frame.setBorder(1);
            frame.setPadding(4);
            QTextFrame* f = cursor.insertFrame(frame);
            QTextCursor inside = f->firstCursorPosition();
            randomStep(inside, page, rng, depth + 1);
            cursor = f->lastCursorPosition();
            cursor.movePosition(QTextCursor::NextBlock);
            break;
        }
        case 9:
            cursor.setPosition(
                static_cast<int>(rng() % static_cast<uint32_t>(doc->characterCount())));
            break;
        case 10: {
            const int at = static_cast<int>(rng() % static_cast<uint32_t>(doc->characterCount()));
            cursor.setPosition(at);
            cursor.setPosition(
                std::min(at + static_cast<int>(rng() % 4), doc->characterCount() - 1),
                QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            break;
        }
        default: {
            const int at = static_cast<int>(rng() % static_cast<uint32_t>(doc->characterCount()));
            cursor.setPosition(at);
            cursor.setPosition(std::min(at + 5, doc->characterCount() - 1),
                               QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(randomCharFormat(rng));
            cursor.clearSelection();
            break;
        }
    }
}

}  // namespace

QByteArray pngBytes(const QColor& color, int width, int height) {
    return imageBytes(color, width, height, "PNG");
}

QByteArray jpegBytes(const QColor& color, int width, int height) {
    return imageBytes(color, width, height, "JPEG");
}

void fillFullPage(RichText& page) {
    QTextDocument* doc = page.body();
    QTextCursor c(doc);

    QTextBlockFormat heading;
    heading.setProperty(doc::StyleIndex, 0);
    heading.setProperty(doc::HeadingAttribute, 1);
    heading.setProperty(doc::ParaFrame1, 3);
    heading.setProperty(doc::ParaFrame2, 4);
    heading.setProperty(doc::ParaFrame3, 7936);
    heading.setProperty(doc::ParaDist1, 160);
    heading.setProperty(doc::ParaDist2, 180);
    heading.setProperty(doc::ParaDist3, 160);
    heading.setProperty(doc::ParaDist4, 0);
    heading.setProperty(doc::ParaDist5, 5);
    heading.setLeftMargin(8);
    heading.setLineHeight(16.8, QTextBlockFormat::FixedHeight);
    c.setBlockFormat(heading);
    QTextCharFormat big;
    big.setFontFamilies({QStringLiteral("ＭＳ Ｐゴシック")});
    big.setFontPointSize(14);
    big.setFontWeight(QFont::Bold);
    big.setForeground(colorFromBgr(0x505A85));
    c.insertText(QStringLiteral("見出し：日本語のページ"), big);

    QTextBlockFormat body;
    body.setProperty(doc::StyleIndex, 3);
    body.setLeftMargin(3);
    body.setTabPositions({QTextOption::Tab(40, QTextOption::LeftTab),
                          QTextOption::Tab(120, QTextOption::DelimiterTab, u'.')});
    c.insertBlock(body, QTextCharFormat());
    c.insertText(QStringLiteral("本文は"));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("太字"), bold);
    QTextCharFormat nested = bold;
    nested.setFontItalic(true);
    nested.setFontUnderline(true);
    nested.setBackground(QColor(255, 255, 0));
    c.insertText(QStringLiteral("と斜体の下線"), nested);
    c.insertText(QStringLiteral("、ｶﾀｶﾅ\tタブ") + QChar(QChar::LineSeparator) +
                     QStringLiteral("改行の後　全角空白。"),
                 QTextCharFormat());

    c.insertBlock(body, QTextCharFormat());
    page.setCursor(c);
    page.insertField(QStringLiteral("別のページ"), QStringLiteral("TG_1012"));
    page.insertText(QStringLiteral("と"));
    page.insertField(QStringLiteral("用語"), QStringLiteral("TP_用語"));
    page.insertText(QStringLiteral("と"));
    page.insertField(QStringLiteral("サイト"), QStringLiteral("https://example.com/a?b=1&c=\"2\""));
    c = page.cursor();
    c.insertBlock(body, QTextCharFormat());
    page.setCursor(c);
    page.insertField(QStringLiteral("[Iframe:地図]"),
                     QStringLiteral("LK_OBJ\t<iframe src=\"https://maps.example.com/?q=1&z=2\" "
                                    "width=\"600\" height=\"450\"></iframe>"));
    c = page.cursor();

    c.insertBlock(body, QTextCharFormat());
    QTextListFormat list;
    list.setStyle(QTextListFormat::ListDisc);
    c.insertList(list);
    c.insertText(QStringLiteral("箇条書き一"));
    c.insertBlock();
    c.insertText(QStringLiteral("箇条書き二"));

    QTextBlockFormat plain;
    c.insertBlock(plain, QTextCharFormat());
    c.insertText(QStringLiteral("表の前"));
    QTextTableFormat tf;
    tf.setBorder(1);
    tf.setCellPadding(3);
    tf.setCellSpacing(0);
    tf.setBorderCollapse(true);
    tf.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 30),
                                  QTextLength(QTextLength::PercentageLength, 30),
                                  QTextLength(QTextLength::FixedLength, 90)});
    QTextTable* table = c.insertTable(3, 3, tf);
    table->mergeCells(0, 0, 1, 2);
    table->mergeCells(1, 2, 2, 1);
    table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("結合セル"));
    table->cellAt(0, 2).firstCursorPosition().insertText(QStringLiteral("右上"));
    QTextCursor cell = table->cellAt(1, 0).firstCursorPosition();
    cell.insertText(QStringLiteral("一段落目"));
    cell.insertBlock();
    cell.insertText(QStringLiteral("二段落目"), bold);
    QTextCursor nestedCell = table->cellAt(1, 1).firstCursorPosition();
    QTextTable* inner = nestedCell.insertTable(1, 2);
    inner->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("入れ子"));
    table->cellAt(1, 2).firstCursorPosition().insertText(QStringLiteral("縦に結合"));
    QTextTableCellFormat cf = table->cellAt(2, 0).format().toTableCellFormat();
    cf.setBackground(QColor(0xFE, 0xFE, 0xFA));
    cf.setPadding(5);
    cf.setBorder(2);
    cf.setBorderBrush(Qt::red);
    cf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    table->cellAt(2, 0).setFormat(cf);
    c = table->lastCursorPosition();
    c.movePosition(QTextCursor::NextBlock);
    c.insertText(QStringLiteral("表の後"));

    page.setCursor(c);
    page.insertText(QStringLiteral(" 図："));
    QString error;
    page.insertPicture(pngBytes(Qt::blue), error);
    page.insertText(QStringLiteral("と"));
    page.insertPicture(jpegBytes(Qt::green), error);
    page.insertPageBreak();
    page.insertText(QStringLiteral("改ページの後"));
    c = page.cursor();

    QTextFrameFormat boxed;
    boxed.setBorder(1);
    boxed.setBackground(QColor(0xFE, 0xFA, 0xFE));
    QTextFrame* frame = c.insertFrame(boxed);
    frame->firstCursorPosition().insertText(QStringLiteral("枠の中"));

    page.setHeaderText(QStringLiteral("ヘッダー：日本語"));
    QTextCursor header(page.header());
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    header.mergeBlockFormat(centred);
    page.setFooterText(QStringLiteral("フッター"));
    doc::PageSetup a4;
    a4.width = 11900;
    a4.height = 16838;
    a4.marginLeft = 1000;
    a4.marginTop = 900;
    page.setPageSetup(a4);
    page.setCursor(QTextCursor(doc));
}

void fillRandomPage(RichText& page, uint32_t seed) {
    std::mt19937 rng(seed);
    QTextCursor cursor(page.body());
    const int steps = 10 + static_cast<int>(rng() % 30);
    for (int i = 0; i < steps; ++i)
        randomStep(cursor, page, rng, 0);
    if (rng() % 2)
        page.setHeaderText(QStringLiteral("ヘッダー%1").arg(seed));
    if (rng() % 2) {
        QTextCursor footer(page.footer());
        randomStep(footer, page, rng, 1);
    }
}

QString describe(const QTextDocument& document) {
    return Describer(document).run();
}

QString describe(const RichText& page) {
    const doc::PageSetup& p = page.pageSetup();
    return QStringLiteral("page setup %1 %2 %3 %4 %5 %6\n")
               .arg(p.width)
               .arg(p.height)
               .arg(p.marginLeft)
               .arg(p.marginTop)
               .arg(p.marginRight)
               .arg(p.marginBottom) +
           QStringLiteral("[body]\n") + describe(*page.body()) + QStringLiteral("[header]\n") +
           describe(*page.header()) + QStringLiteral("[footer]\n") + describe(*page.footer());
}

}  // namespace arbor::test
