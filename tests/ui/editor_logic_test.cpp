// The editor's logic that needs no widgets: searching and replacing, its settings, the
// file dialogs' filter lines, the paragraph refusals and painting a page for print.
#include <gtest/gtest.h>

#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include "app/yini.h"
#include "editor/editor_checks.h"
#include "editor/editor_colours.h"
#include "editor/editor_settings.h"
#include "editor/editor_texts.h"
#include "editor/page_painter.h"
#include "editor/paragraph_styles.h"
#include "editor/rich_text.h"
#include "editor/text_search.h"
#include "editor/user_formats.h"

using namespace arbor;

namespace {

TEST(EditorSearch, ReplaceAllEndsAndUndoesAsOne) {
    QTextDocument document(QStringLiteral("aa a\naa"));
    // A replacement that holds the text itself must not be searched again.
    EXPECT_EQ(search::replaceAll(document, QStringLiteral("a"), QStringLiteral("aXa"), {}), 5);
    EXPECT_EQ(document.toPlainText(), QStringLiteral("aXaaXa aXa\naXaaXa"));
    document.undo();
    EXPECT_EQ(document.toPlainText(), QStringLiteral("aa a\naa"));
    const int steps = document.availableUndoSteps();
    EXPECT_EQ(search::replaceAll(document, QString(), QStringLiteral("x"), {}), 0);
    EXPECT_EQ(search::replaceAll(document, QStringLiteral("zz"), QStringLiteral("x"), {}), 0);
    EXPECT_EQ(document.availableUndoSteps(), steps);
}

TEST(EditorSearch, FindBackwardWrapsAndReportsIt) {
    QTextDocument document(QStringLiteral("one two one"));
    QTextCursor from(&document);
    from.setPosition(5);
    search::Options back;
    back.backward = true;
    bool wrapped = true;
    QTextCursor found = search::findNext(document, QStringLiteral("one"), from, back, &wrapped);
    EXPECT_EQ(found.selectionStart(), 0);
    EXPECT_FALSE(wrapped);
    found = search::findNext(document, QStringLiteral("one"), found, back, &wrapped);
    EXPECT_EQ(found.selectionStart(), 8);
    EXPECT_TRUE(wrapped);
    EXPECT_TRUE(search::selectionMatches(found, QStringLiteral("ONE"), {}));
    search::Options exact;
    exact.caseSensitive = true;
    EXPECT_FALSE(search::selectionMatches(found, QStringLiteral("ONE"), exact));
    EXPECT_TRUE(search::findNext(document, QStringLiteral("three"), from, {}).isNull());
}

TEST(EditorSettings, RoundTripKeepsPrefixesApart) {
    yIni ini;
    EditorSettings main = readEditorSettings(ini, QString(), true);
    EXPECT_TRUE(main.controlChars);  // "表示" by default while a page is shown
    EXPECT_FALSE(readEditorSettings(ini, QString(), false).controlChars);
    EXPECT_FALSE(main.rulers);
    EXPECT_EQ(main.updateConfirm, QStringLiteral("確認"));
    EXPECT_EQ(main.page, doc::PageSetup());
    main.zoom = 175;
    main.rulers = true;
    main.controlChars = false;
    main.updateConfirm = QStringLiteral("上書");
    main.page.width = 11900;
    writeEditorSettings(ini, QString(), main);
    EditorSettings second = readEditorSettings(ini, QStringLiteral("SUB_"), true);
    second.zoom = 50;
    writeEditorSettings(ini, QStringLiteral("SUB_"), second);

    const EditorSettings back = readEditorSettings(ini, QString(), true);
    EXPECT_EQ(back.zoom, 175);
    EXPECT_TRUE(back.rulers);
    EXPECT_FALSE(back.controlChars);
    EXPECT_EQ(back.updateConfirm, QStringLiteral("上書"));
    EXPECT_EQ(back.page.width, 11900);
    EXPECT_EQ(readEditorSettings(ini, QStringLiteral("SUB_"), true).zoom, 50);
    EXPECT_FALSE(readEditorSettings(ini, QStringLiteral("SUB_"), true).rulers);
    EXPECT_TRUE(ini.text().contains(QStringLiteral("<RULE>表示</RULE>")));
    EXPECT_TRUE(ini.text().contains(QStringLiteral("<C_CH>非表示</C_CH>")));

    // A zoom out of range is brought back into it; steps stop at the ends.
    ini.GetGtx(QStringLiteral("TX_DISP"));
    ini.SetVal(QStringLiteral("ZOOM"), 5000);
    ini.SetGtx();
    EXPECT_EQ(readEditorSettings(ini, QString(), true).zoom, kMaxZoom);
    EXPECT_EQ(nextZoom(100, true), 110);
    EXPECT_EQ(nextZoom(100, false), 90);
    EXPECT_EQ(nextZoom(kMaxZoom, true), kMaxZoom);
    EXPECT_EQ(nextZoom(kMinZoom, false), kMinZoom);
    EXPECT_EQ(nextZoom(105, false), 100);
}

TEST(EditorTexts, FilterLinesForTheFileDialogs) {
    EXPECT_EQ(
        edtext::filterLines(edtext::readFilters()).mid(1, 2),
        (QStringList{QStringLiteral("HTML (*.htm *.html)"), QStringLiteral("ﾃｽｷﾄﾌｧｲﾙ (*.txt)")}));
    EXPECT_EQ(
        edtext::filterLines(QStringLiteral("画像|*.png;*.jpg|全てのﾌｧｲﾙ|*.*|")),
        (QStringList{QStringLiteral("画像 (*.png *.jpg)"), QStringLiteral("全てのﾌｧｲﾙ (*)")}));
    EXPECT_TRUE(edtext::filterLines(QStringLiteral("odd|")).isEmpty());
    ASSERT_EQ(namedColours().size(), 10);
    EXPECT_EQ(findNamedColour(QStringLiteral("yw"))->name, QStringLiteral("Yellow"));
    EXPECT_EQ(findNamedColour(QStringLiteral("Gray"))->code, QStringLiteral("Gy"));
    EXPECT_EQ(findNamedColour(QStringLiteral("Pink")), nullptr);
}

TEST(EditorChecks, IndentAndHeadingRefusals) {
    Frmt table;
    QTextDocument document;
    QTextCursor c(&document);
    c.insertText(QStringLiteral("Head"));
    c.insertBlock();
    c.insertText(QStringLiteral("body"));
    c.insertBlock();
    c.insertText(QStringLiteral("more"));
    QTextCursor head(&document);
    applyParagraphStyle(head, kHeading2, table);

    QTextCursor s(&document);
    s.setPosition(6);
    EXPECT_EQ(indentRefusal(s, table), edtext::kNoRange);
    s.setPosition(9, QTextCursor::KeepAnchor);  // "ody" and the break: still one paragraph
    EXPECT_TRUE(indentRefusal(s, table).isEmpty());
    s.setPosition(11, QTextCursor::KeepAnchor);
    EXPECT_EQ(indentRefusal(s, table), edtext::kSpansParagraphs);
    s.setPosition(1);
    s.setPosition(3, QTextCursor::KeepAnchor);
    EXPECT_EQ(indentRefusal(s, table), edtext::kInHeading);

    EXPECT_TRUE(styleRefusal(s, kHeading1).isEmpty());
    QTextCursor list(&document);
    list.setPosition(12);
    list.createList(QTextListFormat::ListDecimal);
    s.setPosition(6);
    s.setPosition(12, QTextCursor::KeepAnchor);
    EXPECT_EQ(styleRefusal(s, kHeading3), edtext::kHeadingOverList);
    EXPECT_TRUE(styleRefusal(s, kBody).isEmpty());
}

TEST(EditorPrinting, PagesFollowThePageSetup) {
    RichText page;
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("行 %1 の本文\n").arg(i);
    page.setText(text);
    page.setHeaderText(QStringLiteral("Header"));
    doc::PageSetup a5;
    a5.width = 8300;
    a5.height = 11900;
    page.setPageSetup(a5);
    QTemporaryDir dir;
    QPdfWriter writer(dir.filePath("p.pdf"));
    const int sheets = printing::sheetCount(page.parts(), writer);
    EXPECT_GT(sheets, 3);
    EXPECT_NEAR(writer.pageLayout().fullRectPoints().width(), 8300 / 20.0, 1);
    QString error;
    EXPECT_TRUE(printing::paintPage(page.parts(), writer, error, 2, 3)) << error.toStdString();
    // A larger page takes fewer sheets.
    doc::PageSetup legal;
    legal.height = 20160;
    page.setPageSetup(legal);
    QPdfWriter other(dir.filePath("q.pdf"));
    EXPECT_LT(printing::sheetCount(page.parts(), other), sheets);
}

}  // namespace
