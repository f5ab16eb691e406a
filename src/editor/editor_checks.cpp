#include "editor/editor_checks.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "editor/document_model.h"
#include "editor/editor_texts.h"
#include "editor/paragraph_styles.h"
#include "editor/user_formats.h"

namespace arbor {

namespace {

bool isHeadingBlock(const QTextBlock& block, const Frmt& table) {
    const QTextBlockFormat f = block.blockFormat();
    if (f.hasProperty(doc::StyleIndex) && f.intProperty(doc::StyleIndex) <= kHeading3)
        return true;
    return headingLevel(block, table) > 0;
}

}  // namespace

QString indentRefusal(const QTextCursor& cursor, const Frmt& table) {
    if (!cursor.hasSelection())
        return edtext::kNoRange;
    const QTextDocument* document = cursor.document();
    const QTextBlock first = document->findBlock(cursor.selectionStart());
    // A selection that ends right behind its paragraph's break still lies in it.
    const QTextBlock last =
        document->findBlock(std::max(cursor.selectionStart(), cursor.selectionEnd() - 1));
    if (first != last)
        return edtext::kSpansParagraphs;
    if (isHeadingBlock(first, table))
        return edtext::kInHeading;
    return {};
}

QString styleRefusal(const QTextCursor& cursor, int styleIndex) {
    if (styleIndex > kHeading3)
        return {};
    const QTextDocument* document = cursor.document();
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    for (QTextBlock b = document->findBlock(cursor.selectionStart()); b.isValid(); b = b.next()) {
        if (b.textList())
            return edtext::kHeadingOverList;
        if (b == last)
            break;
    }
    return {};
}

}  // namespace arbor
