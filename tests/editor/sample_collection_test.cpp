// The sample collection holds what it promises, and reads back through the page records.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <set>

#include "db/schema.h"
#include "db/zsvr.h"
#include "editor/document_model.h"
#include "editor/link_fields.h"
#include "editor/page_records.h"
#include "editor/rich_text.h"
#include "editor/sample_collection.h"
#include "support/gui_app.h"
#include "support/scripted_prompter.h"

using namespace arbor;

TEST(SampleCollection, ShowsEveryFeature) {
    test::ensureGuiApp();
    test::PrompterFixture ui;
    QTemporaryDir dir;
    const QString path = dir.filePath("sample.txdb");
    QString error;
    ASSERT_TRUE(createSampleCollection(path, ARBOR_TEST_APDATA "schema.sql", error))
        << error.toStdString();
    EXPECT_FALSE(zSvr::instance().isOpen());
    EXPECT_FALSE(
        createSampleCollection(path, ARBOR_TEST_APDATA "schema.sql", error));  // never over a file

    zSvr& db = zSvr::instance();
    bool ok = false;
    db.D_StDcDb(path, ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ChkDocDb());
    auto count = [&](const QString& sql) { return db.R_GtVaL(sql, -1).toInt(); };
    EXPECT_EQ(count("Select Count(*) From msDoc"), 9);
    EXPECT_EQ(count("Select Count(*) From msDoc Where boCod=1"), 1);
    EXPECT_GE(count("Select Count(*) From tbTree Where noLfP=1004"),
              2);  // the collecting page's children
    EXPECT_EQ(count("Select Count(*) From tbTree Where noLfP=0 And boHide=1"), 1);
    EXPECT_EQ(count("Select Count(*) From tbTree Where boHogo=1"), 1);
    EXPECT_EQ(count("Select Count(*) From tbTree Where boLnk=1"), 1);
    EXPECT_EQ(count("Select Count(*) From msDic"), 1);
    EXPECT_EQ(db.R_GtVaL("Select saTgs From msDoc Where noDoc=1001", "").toString(),
              ".1002.1003.1004.");
    EXPECT_EQ(count("Select Count(*) From msDoc Where saTgs like '%.1003.%'"), 2);

    // Every page loads; together they hold all styles, a merged table, a picture and
    // every kind of link.
    std::set<int> styles;
    std::set<LinkKind> kinds;
    bool mergedTable = false, picture = false, header = false;
    int pageBreaks = 0;
    ResultArray pages;
    ASSERT_TRUE(db.readRows("Select noDoc From msDoc", pages));
    for (int r = 0; r < pages.rowCount(); ++r) {
        const StoredPage stored = readPage(pages(0, r).toInt(), false);
        ASSERT_TRUE(stored.hasBytes);
        RichText text;
        ASSERT_TRUE(text.loadBytes(stored.bytes, error)) << error.toStdString();
        header = header || !text.headerText().isEmpty();
        for (QTextBlock b = text.body()->begin(); b.isValid(); b = b.next()) {
            if (b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                ++pageBreaks;
            if (b.blockFormat().hasProperty(doc::StyleIndex))
                styles.insert(b.blockFormat().intProperty(doc::StyleIndex));
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat())
                    picture = true;
        }
        for (QTextFrame* f : text.body()->rootFrame()->childFrames())
            if (auto* t = qobject_cast<QTextTable*>(f))
                mergedTable = mergedTable || t->cellAt(0, 1).columnSpan() == 2;
        for (const auto& f : text.allFields())
            kinds.insert(splitLinkData(f.data).kind);
    }
    EXPECT_EQ(styles, (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(kinds, (std::set<LinkKind>{LinkKind::Tag, LinkKind::Term, LinkKind::Hyperlink,
                                         LinkKind::Object}));
    EXPECT_TRUE(mergedTable);
    EXPECT_TRUE(picture);
    EXPECT_TRUE(header);
    EXPECT_EQ(pageBreaks, 1);  // one break, not carried into the paragraphs after it
    db.D_Close();
}
