#include "editor/paragraph_styles.h"

#include <QBrush>
#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include "editor/document_model.h"

namespace arbor {

namespace {

QColor fromColorRef(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

// Twips to points.
qreal points(int twips) {
    return twips / 20.0;
}

QTextCharFormat charFormatOf(const UsrFormat& f) {
    QTextCharFormat c;
    c.setFontFamilies({f.FontName});
    c.setFontPointSize(f.FontSize);
    c.setForeground(fromColorRef(f.ForeColor));
    // White behind the text is the page itself; only other colours mark the text.
    if ((f.BackColor & 0xFFFFFF) == 0xFFFFFF)
        c.clearBackground();
    else
        c.setBackground(fromColorRef(f.BackColor));
    c.setFontWeight(f.Bold ? QFont::Bold : QFont::Normal);
    return c;
}

void setBlockValues(QTextBlockFormat& b, int index, const UsrFormat& f, float factor) {
    b.setProperty(doc::StyleIndex, index);
    const bool heading = index <= kHeading3;
    if (heading) {
        b.setAlignment(f.ParaAlign == 1   ? Qt::AlignRight
                       : f.ParaAlign == 2 ? Qt::AlignHCenter
                                          : Qt::AlignLeft);
        b.setProperty(doc::ParaFrame1, f.ParaFrame1);
        b.setProperty(doc::ParaFrame2, f.ParaFrame2);
        b.setProperty(doc::ParaFrame3, f.ParaFrame3);
        b.setProperty(doc::HeadingAttribute, 1);
    } else {
        b.setAlignment(Qt::AlignLeft);
        b.setProperty(doc::ParaFrame1, 0);
        b.setProperty(doc::ParaFrame2, 0);
        b.setProperty(doc::ParaFrame3, kNoFrame);
        b.clearProperty(doc::HeadingAttribute);
    }
    if (index <= kBody) {
        b.setProperty(doc::ParaDist1, f.ParaDist1);
        b.setProperty(doc::ParaDist2, f.ParaDist2);
        b.setProperty(doc::ParaDist3, f.ParaDist3);
        b.setProperty(doc::ParaDist4, f.ParaDist4);
        b.setProperty(doc::ParaDist5, f.ParaDist5);
        b.setLeftMargin(points(f.ParaDist1));
        b.setTopMargin(points(f.ParaDist2));
        b.setBottomMargin(points(f.ParaDist3));
        b.setRightMargin(points(f.ParaDist4));
        b.setTextIndent(points(f.ParaDist5));
        // At least the line height, so pictures and larger text in the paragraph still fit.
        b.setLineHeight(f.FontSize * factor, QTextBlockFormat::MinimumHeight);
    } else {
        for (int p :
             {doc::ParaDist1, doc::ParaDist2, doc::ParaDist3, doc::ParaDist4, doc::ParaDist5})
            b.clearProperty(p);
        b.setLeftMargin(0);
        b.setTopMargin(0);
        b.setBottomMargin(0);
        b.setRightMargin(0);
        b.setTextIndent(0);
        b.setLineHeight(100, QTextBlockFormat::SingleHeight);
    }
}

// Applies style `index` to the block of the cursor position, text included.
void styleBlock(const QTextBlock& block, int index, const Frmt& table) {
    const UsrFormat& f = table.format(index);
    QTextCursor c(block);
    QTextBlockFormat b = block.blockFormat();
    setBlockValues(b, index, f, table.LineSpacingFactor);
    c.setBlockFormat(b);
    const QTextCharFormat chars = charFormatOf(f);
    c.setBlockCharFormat(chars);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    // Merging keeps the fields' own properties on their characters.
    c.mergeCharFormat(chars);
}

// A new paragraph starts on the same page: the page break stays with the one it came from.
void startParagraph(QTextCursor& cursor) {
    cursor.insertBlock();
    QTextBlockFormat b = cursor.blockFormat();
    if (b.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) {
        b.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
        cursor.setBlockFormat(b);
    }
}

}  // namespace

void applyParagraphStyle(QTextCursor& cursor, int index, const Frmt& table) {
    if (index < 0 || index >= kUserFormatCount)
        return;
    QTextDocument* document = cursor.document();
    QTextBlock first = document->findBlock(cursor.selectionStart());
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    cursor.beginEditBlock();
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        styleBlock(b, index, table);
        if (b == last)
            break;
    }
    cursor.endEditBlock();
}

void styleCell(const QTextTableCell& cell, int index, const Frmt& table) {
    if (!cell.isValid() || index < 0 || index >= kUserFormatCount)
        return;
    const UsrFormat& f = table.format(index);
    const QTextCharFormat chars = charFormatOf(f);
    // The cell's format is the character format its first paragraph starts with: the
    // style's font goes into it, the cell's own properties stay.
    QTextCharFormat cellFormat = cell.format();
    cellFormat.merge(chars);
    QTextTableCell target = cell;
    target.setFormat(cellFormat);
    QTextCursor c = cell.firstCursorPosition();
    const int end = cell.lastCursorPosition().position();
    for (QTextBlock b = c.block(); b.isValid() && b.position() <= end; b = b.next()) {
        QTextBlockFormat format = b.blockFormat();
        setBlockValues(format, index, f, table.LineSpacingFactor);
        QTextCursor(b).setBlockFormat(format);
        if (b != c.block())
            QTextCursor(b).setBlockCharFormat(chars);
        QTextCursor text(b);
        text.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        text.mergeCharFormat(chars);
    }
}

LandingParagraph landingParagraph(const QTextCursor& cursor) {
    QTextCursor start(cursor.document());
    start.setPosition(cursor.selectionStart());
    const QTextBlock block = start.block();
    LandingParagraph landing;
    landing.position = start.position();
    landing.block = block.blockFormat();
    landing.chars = block.charFormat();
    // A selection that takes all of the paragraph's text leaves it empty for the paste.
    const int blockEnd = block.position() + block.length() - 1;
    landing.empty = block.length() == 1 || (cursor.selectionStart() <= block.position() &&
                                            cursor.selectionEnd() >= blockEnd);
    return landing;
}

void keepLandingStyle(QTextCursor& cursor, const LandingParagraph& landing, const Frmt& table) {
    QTextDocument* document = cursor.document();
    const QTextBlock block = document->findBlock(landing.position);
    // Whole paragraphs came with the paste: they keep their own styles.
    if (block != cursor.block() || cursor.position() < landing.position)
        return;
    QTextCursor c(block);
    c.joinPreviousEditBlock();
    if (block.blockFormat() != landing.block)
        c.setBlockFormat(landing.block);
    const bool styled = landing.block.hasProperty(doc::StyleIndex);
    if (landing.empty && styled) {
        // Pasted into an empty styled paragraph: the text takes the style, as typing would.
        styleBlock(block, landing.block.intProperty(doc::StyleIndex), table);
    } else if (block.charFormat() != landing.chars) {
        c.setBlockCharFormat(landing.chars);
    }
    c.endEditBlock();
}

void applyHeaderFooterFormat(QTextDocument& document, int index, const Frmt& table) {
    QTextCursor c(&document);
    c.select(QTextCursor::Document);
    applyParagraphStyle(c, index, table);
}

bool insideField(const QTextCursor& cursor) {
    // The character after the caret, and the one before it unless the caret is at the
    // field's very start.
    QTextCursor after(cursor);
    after.clearSelection();
    if (!after.atBlockEnd()) {
        after.movePosition(QTextCursor::NextCharacter);
        if (after.charFormat().intProperty(doc::FieldId) > 0) {
            QTextCursor before(cursor);
            before.clearSelection();
            if (before.atBlockStart())
                return false;
            return before.charFormat().intProperty(doc::FieldId) ==
                   after.charFormat().intProperty(doc::FieldId);
        }
    }
    return false;
}

int headingLevel(const QTextBlock& block, const Frmt& table) {
    if (block.blockFormat().intProperty(doc::HeadingAttribute) != 1)
        return 0;
    // The text's own format: the first character's, or the block's when it is empty.
    QTextCharFormat chars = block.charFormat();
    const auto it = block.begin();
    if (!it.atEnd())
        chars = it.fragment().charFormat();
    const int size = qRound(chars.fontPointSize());
    if (chars.fontWeight() < QFont::DemiBold || size <= table.format(kBody).FontSize)
        return 0;
    if (size == table.format(kHeading1).FontSize)
        return 1;
    if (size == table.format(kHeading2).FontSize)
        return 2;
    return 3;
}

QString paragraphKind(const QTextCursor& cursor, const Frmt& table) {
    if (insideField(cursor))
        return QStringLiteral("Field");
    switch (headingLevel(cursor.block(), table)) {
        case 1:
            return QStringLiteral("見出１(頁見出)");
        case 2:
            return QStringLiteral("見出２");
        case 3:
            return QStringLiteral("見出３");
        default:
            return QStringLiteral("本文");
    }
}

EnterResult pressEnter(QTextCursor& cursor, const Frmt& table, bool lineBreakOption, int mode) {
    if (mode < 0 || insideField(cursor))
        return EnterResult::LeftToComponent;
    const QTextBlock block = cursor.block();
    const bool hasStyle = block.blockFormat().hasProperty(doc::StyleIndex);
    const int style = hasStyle ? block.blockFormat().intProperty(doc::StyleIndex) : kBody;
    const bool heading = style <= kHeading3;
    if (!heading) {
        if (lineBreakOption) {
            cursor.insertText(QString(QChar::LineSeparator));
            return EnterResult::LineBreak;
        }
        startParagraph(cursor);
        return EnterResult::ParagraphBreak;
    }
    const bool atEnd = cursor.atBlockEnd() && !cursor.hasSelection();
    cursor.beginEditBlock();
    startParagraph(cursor);
    if (atEnd)
        applyParagraphStyle(cursor, kBody, table);
    cursor.endEditBlock();
    return EnterResult::ParagraphBreak;
}

bool deleteSelectionKeepingBreak(QTextCursor& cursor) {
    if (!cursor.hasSelection())
        return false;
    const QString selected = cursor.selectedText();
    if (selected.size() >= 2 && selected.back() == QChar::ParagraphSeparator) {
        const int start = cursor.selectionStart();
        const int end = cursor.selectionEnd();
        cursor.setPosition(start);
        cursor.setPosition(end - 1, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
    return true;
}

bool titleToFirstParagraph(QTextDocument& document, const QString& title, const Frmt& table,
                           bool headingOption, QTextCursor& caret) {
    if (!headingOption || !document.isEmpty() || title.isEmpty())
        return false;
    QTextCursor c(&document);
    c.beginEditBlock();
    c.insertText(title);
    applyParagraphStyle(c, kHeading1, table);
    c.endEditBlock();
    c.movePosition(QTextCursor::End);
    caret = c;
    return true;
}

}  // namespace arbor
