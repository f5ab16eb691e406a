// Folder import into a document database, on both engines: the pages and placements it
// writes (titles, order, parents, tag links, pictures), what it reports, and that a
// failure, a refusal or a cancel leaves the database exactly as it was.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include "app/progress.h"
#include "db/db_messages.h"
#include "db/zsvr.h"
#include "editor/pictures.h"
#include "editor/rich_text.h"
#include "exchange/exchange_test_util.h"
#include "exchange/folder_import.h"
#include "support/doc_db.h"

using namespace arbor;
using namespace arbor::folderimport;
using arbor::test::DbEngine;

namespace {

// Pages of the folder below, in the order they are numbered (depth first, natural order).
enum Page { Second, ChildA, ChildB, Last, Deep, Deeper, Leaf, Notes, Named, PageCount };

class FolderImportTest : public ::testing::TestWithParam<DbEngine> {
  protected:
    QTemporaryDir scratch;
    QString root;  // the folder imported; its name alone would break a statement
    QByteArray png = arbor::test::pictureFile("PNG", 6, 4, qRgb(200, 30, 30));
    zSvr& db = zSvr::instance();

    void write(const QString& relative, const QByteArray& bytes) {
        const QString path = root + "/" + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(bytes);
    }

    void SetUp() override {
        root = scratch.path() + "/coll 'q' \"x\"?";
        write("2-second.html",
              "<html><head><title>第二 &quot;引用&quot; なぜ? it&#39;s</title></head><body>"
              "<p><a href=\"2-second/b-child.txt\">child</a> <a href=\"10-last.md#sec\">last</a> "
              "<a href=\"https://example.com/x\">web</a> <a href=\"notes/\">notes</a> "
              "<a href=\"missing.html\">gone</a></p></body></html>");
        write("2-second/a-child.html",
              "<h1>子 A</h1><p><a href=\"../10-last.md?x=1\">last</a> "
              "<a href='../2-second.html#top'>up</a> "
              "<a href=\"../notes/日本語 &quot;名前&quot;.txt\">named</a></p>"
              "<p><img src=\"../images/pic.png\"></p>");
        write("2-second/b-child.txt", "一行目\n二行目\n");
        write("10-last.md", "# 最後の章\n\n[戻る](2-second.html) ![図](images/pic.png)\n");
        write("deep/deeper/leaf.htm",
              "<h2>葉の見出し</h2><p><a href=\"../../2-second/a-child.html\">a</a></p>");
        write("notes/日本語 \"名前\".txt", "名前のあるファイル");
        write("notes/bad.txt", QByteArray("ab\x81\x20\xff\xfe\x80 cd", 10));
        write("notes/empty.md", "");
        write("images/pic.png", png);
        write(".hidden.html", "<p>hidden</p>");
        write("empty-folder/readme.rtf", "{\\rtf1}");
    }

    // The database as text, every column of both tables the import writes.
    QStringList snapshot() {
        QStringList lines;
        ResultArray rows;
        EXPECT_TRUE(
            db.readRows("Select noDoc, szDoc, txDoc, obDoc, saTgs, boCod, dyUdt, wkRnd, "
                        "boPng From msDoc Order By noDoc",
                        rows));
        for (int r = 0; r < rows.rowCount(); ++r) {
            QStringList values;
            for (int c = 0; c < rows.fieldCount(); ++c)
                values << (c == 3 ? rows(c, r).toByteArray().toHex() : rows(c, r).toString());
            lines << values.join('|');
        }
        EXPECT_TRUE(
            db.readRows("Select noLfP, noLfC, inSrt, szDoc, boLnk, boHide, boHogo, dyUdt "
                        "From tbTree Order By noLfP, noLfC",
                        rows));
        for (int r = 0; r < rows.rowCount(); ++r) {
            QStringList values;
            for (int c = 0; c < rows.fieldCount(); ++c)
                values << rows(c, r).toString();
            lines << values.join('|');
        }
        return lines;
    }

    void addPage(int number, int parent, int order, const QString& title) {
        ASSERT_TRUE(
            db.execBound("Insert Into msDoc (noDoc, szDoc, txDoc, saTgs, boCod, dyUdt, "
                         "wkRnd) Values (?, ?, ?, ?, 0, ?, ?)",
                         {number, title, title, ".", QDateTime::currentDateTime(), double(number)}))
            << db.lastError().toStdString();
        ASSERT_TRUE(
            db.execBound("Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, "
                         "boHogo) Values (?, ?, ?, ?, 0, 0, 0)",
                         {parent, number, order, title}));
    }

    ImportReport run(int parent) {
        ImportRequest request;
        request.folder = root;
        request.parent = parent;
        return importFolder(request);
    }

    QVariant value(const QString& sql, int page) {
        return db.R_GtVaL(sql + QString::number(page), QVariant());
    }
    QString title(int page) {
        return value("Select szDoc From msDoc Where noDoc=", page).toString();
    }
    QString tags(int page) {
        return value("Select saTgs From msDoc Where noDoc=", page).toString();
    }
    // "parent:order:label" of the page's placements.
    QStringList placements(int page) {
        ResultArray rows;
        EXPECT_TRUE(
            db.readRows("Select noLfP, inSrt, szDoc, boLnk, boHide, boHogo From tbTree "
                        "Where noLfC=" +
                            QString::number(page),
                        rows));
        QStringList out;
        for (int r = 0; r < rows.rowCount(); ++r) {
            out << rows(0, r).toString() + ":" + rows(1, r).toString() + ":" +
                       rows(2, r).toString();
            EXPECT_EQ(rows(3, r).toInt() + rows(4, r).toInt() + rows(5, r).toInt(), 0);
        }
        return out;
    }
    // The stored page in a rich-text component, as the editor would load it.
    void load(int page, RichText& text) {
        QString error;
        ASSERT_TRUE(text.loadBytes(
            value("Select obDoc From msDoc Where noDoc=", page).toByteArray(), error))
            << error.toStdString();
    }
    QStringList fieldData(int page) {
        RichText text;
        load(page, text);
        QStringList data;
        for (const auto& f : text.allFields())
            data << f.text + "=" + f.data;
        return data;
    }
};

QString tg(int page) {
    return "TG_" + QString::number(page);
}

}  // namespace

TEST_P(FolderImportTest, PagesGoUnderTheChosenPage) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    addPage(1001, 0, 0, "既存");
    addPage(1002, 1001, 0, "既存の子");
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const ImportReport report = run(1001);
    ASSERT_TRUE(report.ok) << report.error.toStdString();
    EXPECT_EQ(report.pages, PageCount);
    const int n = report.firstPage;
    EXPECT_EQ(n, 1003);

    // Titles: <title>, first heading, or the name; cleaned as every title is.
    const QStringList titles{"第二引用なぜ?its", "子A",        "b-child", "最後の章",  "deep",
                             "deeper",           "葉の見出し", "notes",   "日本語名前"};
    for (int p = 0; p < PageCount; ++p)
        EXPECT_EQ(title(n + p), titles[p]) << p;

    // Placements: the folder's tree under page 1001, after its own child, in natural order.
    const auto at = [&](int parent, int order, int p) -> QString {
        return QString::number(parent) + ":" + QString::number(order) + ":" + titles[p];
    };
    EXPECT_EQ(placements(n + Second), QStringList{at(1001, 1, Second)});
    EXPECT_EQ(placements(n + ChildA), QStringList{at(n + Second, 0, ChildA)});
    EXPECT_EQ(placements(n + ChildB), QStringList{at(n + Second, 1, ChildB)});
    EXPECT_EQ(placements(n + Last), QStringList{at(1001, 2, Last)});
    EXPECT_EQ(placements(n + Deep), QStringList{at(1001, 3, Deep)});
    EXPECT_EQ(placements(n + Deeper), QStringList{at(n + Deep, 0, Deeper)});
    EXPECT_EQ(placements(n + Leaf), QStringList{at(n + Deeper, 0, Leaf)});
    EXPECT_EQ(placements(n + Notes), QStringList{at(1001, 4, Notes)});
    EXPECT_EQ(placements(n + Named), QStringList{at(n + Notes, 0, Named)});
    EXPECT_EQ(placements(1002), QStringList{"1001:0:既存の子"});
    EXPECT_EQ(db.R_GtVaL("Select Count(*) From tbTree", 0).toInt(), 2 + PageCount);

    // Tag links: the tag sets and the fields of the stored rich text.
    EXPECT_EQ(tags(n + Second), "." + QString::number(n + ChildB) + "." +
                                    QString::number(n + Last) + "." + QString::number(n + Notes) +
                                    ".");
    EXPECT_EQ(fieldData(n + Second), QStringList({"child=" + tg(n + ChildB), "last=" + tg(n + Last),
                                                  "web=https://example.com/x",
                                                  "notes=" + tg(n + Notes), "gone=missing.html"}));
    EXPECT_EQ(fieldData(n + ChildA), QStringList({"last=" + tg(n + Last), "up=" + tg(n + Second),
                                                  "named=" + tg(n + Named)}));
    EXPECT_EQ(tags(n + Last), "." + QString::number(n + Second) + ".");
    EXPECT_EQ(tags(n + Leaf), "." + QString::number(n + ChildA) + ".");
    EXPECT_EQ(tags(n + ChildB), ".");
    EXPECT_EQ(tags(n + Deep), ".");

    // Pictures are embedded with the file's own bytes, from HTML and Markdown alike.
    for (int p : {ChildA, Last}) {
        RichText text;
        load(n + p, text);
        const QStringList names = pictures::pictureNames(*text.body());
        ASSERT_EQ(names.size(), 1) << p;
        EXPECT_EQ(pictures::resourceBytes(*text.body(), names[0]), png) << p;
    }

    // Text: one paragraph per line, and the plain text kept for searching.
    RichText text;
    load(n + ChildB, text);
    EXPECT_EQ(text.body()->blockCount(), 2);
    EXPECT_EQ(text.body()->firstBlock().text(), "一行目");
    EXPECT_EQ(value("Select txDoc From msDoc Where noDoc=", n + ChildB).toString(),
              text.plainText());
    EXPECT_TRUE(text.plainText().startsWith("一行目\n二行目"));
    // A folder page is empty.
    load(n + Deep, text);
    EXPECT_TRUE(text.isEmpty());

    // Every page as a saved page: identity, type, save time.
    ResultArray rows;
    ASSERT_TRUE(db.readRows(
        "Select wkRnd, boCod, dyUdt From msDoc Where noDoc>=" + QString::number(n), rows));
    QSet<double> identities;
    for (int r = 0; r < rows.rowCount(); ++r) {
        identities.insert(rows(0, r).toDouble());
        EXPECT_EQ(rows(1, r).toInt(), 0);
        EXPECT_GE(rows(2, r).toDateTime(), before);
    }
    EXPECT_EQ(identities.size(), PageCount);
    EXPECT_FALSE(identities.contains(0));

    // Left out: the unreadable and the empty file, by name; the dot file silently.
    QStringList skipped;
    for (const SkippedFile& s : report.skipped)
        skipped << QFileInfo(s.path).fileName();
    EXPECT_EQ(skipped, QStringList({"bad.txt", "empty.md"}));
    const QString text2 = reportText(report);
    EXPECT_TRUE(text2.contains("9 ﾍﾟｰｼﾞを取り込みました"));
    EXPECT_TRUE(text2.contains("bad.txt: 文字コードを判別できません"));
    EXPECT_TRUE(text2.contains("empty.md: 空のファイルです"));
}

TEST_P(FolderImportTest, AnEmptyTreeGetsTheFolderAtTheTopLevel) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    const ImportReport report = run(0);
    ASSERT_TRUE(report.ok) << report.error.toStdString();
    const int n = report.firstPage;
    EXPECT_EQ(n, 1001);
    ResultArray rows;
    ASSERT_TRUE(db.readRows("Select noLfC, inSrt From tbTree Where noLfP=0 Order By inSrt", rows));
    QStringList top;
    for (int r = 0; r < rows.rowCount(); ++r)
        top << QString::number(rows(0, r).toInt() - n) + ":" + rows(1, r).toString();
    EXPECT_EQ(top, QStringList({"0:0", "3:1", "4:2", "7:3"}));  // second, last, deep, notes
    EXPECT_EQ(placements(n + ChildA).value(0).section(':', 0, 1), QString::number(n) + ":0");
    // Imported again: a second copy after the first, with its own numbers and links.
    const ImportReport again = run(0);
    ASSERT_TRUE(again.ok) << again.error.toStdString();
    EXPECT_EQ(again.firstPage, n + PageCount);
    EXPECT_EQ(placements(again.firstPage + Second), QStringList{"0:4:" + title(n + Second)});
    EXPECT_EQ(tags(again.firstPage + Last), "." + QString::number(again.firstPage) + ".");
}

TEST_P(FolderImportTest, AFailureHalfWayLeavesTheDatabaseAsItWas) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    addPage(1001, 0, 0, "既存");
    // A placement left over without its pages, where the leaf page's placement will go:
    // six pages are written before the seventh fails.
    const int leafParent = 1002 + Deeper, leaf = 1002 + Leaf;
    ASSERT_TRUE(db.execBound("Insert Into tbTree (noLfP, noLfC, inSrt, szDoc) Values (?, ?, 0, ?)",
                             {leafParent, leaf, "残骸"}));
    const QStringList before = snapshot();
    const ImportReport report = run(1001);
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(report.pages, 0);
    EXPECT_TRUE(report.error.contains("leaf.htm")) << report.error.toStdString();
    EXPECT_TRUE(reportText(report).contains("文書ﾃﾞｰﾀｰﾍﾞｰｽは変更していません"));
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(db.inTransaction());
    // Without the obstacle the same import goes through on the same connection.
    ASSERT_TRUE(db.D_ExeSq("Delete From tbTree Where szDoc='残骸'"));
    const ImportReport retry = run(1001);
    EXPECT_TRUE(retry.ok) << retry.error.toStdString();
    EXPECT_EQ(retry.firstPage, 1002);
}

TEST_P(FolderImportTest, RefusalsWriteNothing) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    addPage(1001, 0, 0, "既存");
    const QStringList before = snapshot();
    ImportReport report = run(4711);
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(report.error.contains("4711"));
    ImportRequest request;
    request.folder = root + "/images";  // no page file anywhere
    report = importFolder(request);
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(report.error.contains("取り込めるﾌｧｲﾙがありません"));
    request.folder = root + "/nowhere";
    report = importFolder(request);
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(report.error.contains("ﾌｫﾙﾀﾞが見つかりません"));

    // The user stops it: nothing of what was written stays.
    struct StopAtFour : Progress {
        int asked = 0;
        void status(const QString&) override {}
        void showWait(const QString&) override {}
        void hideWait() override {}
        void step(qint64, qint64) override {}
        bool cancelRequested() override { return ++asked > 4; }
    } stop;
    Progress* previous = setProgress(&stop);
    report = run(1001);
    setProgress(previous);
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(stop.asked, 5);
    EXPECT_EQ(snapshot(), before);

    // A read-only database is refused before anything is read.
    db.D_Close();
    if (GetParam() == DbEngine::SQLite)
        QFile::setPermissions(doc->path(), QFile::ReadOwner | QFile::ReadGroup);
    else
        ASSERT_TRUE(doc->pg()->adminExec("ALTER DATABASE " + doc->pg()->name() +
                                         " SET default_transaction_read_only = on"));
    bool ok = false;
    db.D_StDcDb(doc->path(), ok);
    ASSERT_TRUE(ok && db.readOnly());
    report = run(1001);
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(report.error, arbor::msg::readOnlyDatabase());
    EXPECT_EQ(snapshot(), before);
    if (GetParam() == DbEngine::SQLite)
        QFile::setPermissions(doc->path(), QFile::ReadOwner | QFile::WriteOwner);
}

ARBOR_INSTANTIATE_ENGINES(FolderImportTest);
