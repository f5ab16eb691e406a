// Books built from a real document database on both engines, as the output menu and
// arbor epub build them, and checked by epubcheck: titles with markup characters, an
// identifier with ":", pictures, a page placed twice, a page without a document, a
// damaged page; and the failures that must leave an earlier book alone.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "app/program_state.h"
#include "db/zsvr.h"
#include "editor/link_fields.h"
#include "editor/sample_collection.h"
#include "editor/user_formats.h"
#include "epub/yepub.h"
#include "support/doc_db.h"
#include "support/scripted_prompter.h"
#include "web/web_test_pages.h"

using namespace arbor;

namespace {

const QString kEpubCheck = QStringLiteral("/usr/share/java/epubcheck.jar");

// epubcheck's verdict: "" when the book has no error and no warning.
QString epubcheck(const QString& book) {
    QProcess p;
    p.start(QStringLiteral("java"), {QStringLiteral("-jar"), kEpubCheck, book});
    if (!p.waitForFinished(180000))
        return QStringLiteral("epubcheck did not finish");
    const QString all = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    if (p.exitCode() == 0 && all.contains(QStringLiteral("No errors or warnings detected")))
        return QString();
    return all;
}

bool haveEpubcheck() {
    return QFileInfo::exists(kEpubCheck) && !QStandardPaths::findExecutable("java").isEmpty();
}

QString readText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

class Book : public ::testing::TestWithParam<test::DbEngine> {
  protected:
    test::PrompterFixture ui;
    QTemporaryDir user;
    ProgramState saved = G();
    zSvr& db = zSvr::instance();
    std::unique_ptr<test::TestDocDb> docDb;

    void SetUp() override {
        G().UserPath = user.path() + u'/';
        G().ApDataPath = QStringLiteral(ARBOR_TEST_APDATA);
    }
    void TearDown() override {
        db.D_Close();
        G() = saved;
    }

    void exec(const QString& sql) {
        ASSERT_TRUE(db.D_ExeSq(sql)) << sql.toStdString() << ": " << db.lastError().toStdString();
    }
    void page(int no, const QString& title, const QByteArray& richText) {
        QString sql = QStringLiteral(
            "Insert Into msDoc (noDoc, szDoc, txDoc, boCod, wkRnd) Values (?, '?', '', 0, ?)");
        db.T_CnvSq(sql, {no, title, no});
        exec(sql);
        if (!richText.isNull()) {
            ASSERT_TRUE(db.execBound(QStringLiteral("Update msDoc Set obDoc=? Where noDoc=?"),
                                     {richText, no}));
        }
    }
    void place(int parent, int child, int order, const QString& label, int link = 0,
               int hidden = 0) {
        QString sql = QStringLiteral(
            "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, boHogo) Values "
            "(?, ?, ?, '?', ?, ?, 0)");
        db.T_CnvSq(sql, {parent, child, order, label, link, hidden});
        exec(sql);
    }

    //  0 ─┬─ 1001 R&D <本> 'その一'  every construct, a picture, links in and out of the book
    //     │    ├─ 1002 第1章          a PNG picture, a link to 1001
    //     │    │    └─ 1003 空        no document
    //     │    └─ 1004 壊れた         a damaged document
    //     │         └─ 1002 (link)
    //     ├─ 1005 下書き              hidden, with 1006 below it
    //     └─ 1007 第2部 "&"           links to a hidden page and to the link placement
    void collection() {
        ARBOR_OPEN_DOCDB(opened, GetParam());
        docDb = std::move(opened);
        test::PageBuilder first;
        test::fillRepresentativePage(first);
        first.paragraph(kBody, QStringLiteral("第2部へ "))
            .field(QStringLiteral("第2部"), tagData(1007));
        page(1001, QStringLiteral("R&D <本> 'その一'"), first.page().saveBytes());
        test::PageBuilder second;
        second.paragraph(kHeading1, QStringLiteral("第1章 & <はじめ>"));
        second.paragraph(kBody, QStringLiteral("戻る "))
            .field(QStringLiteral("最初"), tagData(1001));
        second.paragraph(kBody, QString()).picture(test::pngPicture(Qt::blue));
        page(1002, QStringLiteral("第1章"), second.page().saveBytes());
        page(1003, QStringLiteral("空"), QByteArray());
        page(1004, QStringLiteral("壊れた"), QByteArray("\x01\x02 not a page", 14));
        test::PageBuilder draft;
        draft.paragraph(kBody, QStringLiteral("下書き"));
        page(1005, QStringLiteral("下書き"), draft.page().saveBytes());
        page(1006, QStringLiteral("下書き1"), draft.page().saveBytes());
        test::PageBuilder last;
        last.paragraph(kBody, QStringLiteral("下書きへ "))
            .field(QStringLiteral("下書き"), tagData(1006))
            .text(QStringLiteral(" と第1章へ "))
            .field(QStringLiteral("第1章"), tagData(1002));
        page(1007, QStringLiteral("第2部"), last.page().saveBytes());
        place(0, 1001, 1, QStringLiteral("R&D <本> 'その一'"));
        place(1001, 1002, 1, QStringLiteral("第1章"));
        place(1002, 1003, 1, QStringLiteral("空"));
        place(1001, 1004, 2, QStringLiteral("壊れた"));
        place(1004, 1002, 1, QStringLiteral("第1章 (リンク)"), 1);
        place(0, 1005, 2, QStringLiteral("下書き"), 0, 1);
        place(1005, 1006, 1, QStringLiteral("下書き1"));
        place(0, 1007, 3, QStringLiteral("第2部 \"&\""));
    }

    yEpub::Report publish(int range, int current = 0, const QString& output = QString()) {
        yEpub::Request r;
        r.range = range;
        r.currentPage = current;
        r.settings.title = QStringLiteral("R&D <本> 'その一'");
        r.settings.identifier = QStringLiteral("urn:isbn:978-4-00-000000-0");
        r.settings.author = QStringLiteral("山田 & 'ｸﾞﾙｰﾌﾟ'");
        r.settings.rights = QStringLiteral("© <2026>");
        r.settings.outputName = QStringLiteral("本");
        r.outputPath = output;
        r.threads = 2;
        return yEpub().Publish(r);
    }
    QString oebps(const QString& file) const {
        return readText(yEpub::workFolder() + QStringLiteral("OEBPS/") + file);
    }
};

}  // namespace

TEST_P(Book, TheWholeDatabasePassesEpubcheck) {
    collection();
    if (IsSkipped() || HasFatalFailure())
        return;
    const yEpub::Report r = publish(yEpub::WholeDatabase);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(r.outputPath, G().UserPath + QStringLiteral("ePub/本.epub"));
    EXPECT_EQ(r.range, yEpub::WholeDatabase);
    EXPECT_EQ(r.pages, 5);      // 1001 1002 1003 1004 1007: the hidden branch stays out
    EXPECT_EQ(r.navPoints, 7);  // the link shows 1003 below it again
    EXPECT_GE(r.pictures, 2);
    ASSERT_EQ(r.problems.size(), 1) << r.problems.join(u'\n').toStdString();
    EXPECT_TRUE(r.problems[0].contains(QStringLiteral("1004"))) << r.problems[0].toStdString();
    EXPECT_TRUE(QFileInfo::exists(r.outputPath));

    // The page placed twice: one file, two navigation points with its one play order.
    const QString ncx = oebps(QStringLiteral("toc.ncx"));
    EXPECT_EQ(ncx.count(QStringLiteral("<content src=\"1002.xhtml\"/>")), 2);
    EXPECT_EQ(ncx.count(QStringLiteral("playOrder=\"2\"")), 2);
    EXPECT_EQ(ncx.count(QStringLiteral("playOrder=\"3\"")), 2);
    EXPECT_TRUE(ncx.contains(QStringLiteral("第2部 &quot;&amp;&quot;")) ||
                ncx.contains(QStringLiteral("第2部 \"&amp;\"")));
    // The page without a document and the damaged one keep their titles in the book.
    EXPECT_TRUE(oebps(QStringLiteral("1003.xhtml")).contains(QStringLiteral("<h1>空</h1>")));
    EXPECT_TRUE(oebps(QStringLiteral("1004.xhtml")).contains(QStringLiteral("<h1>壊れた</h1>")));
    EXPECT_FALSE(QFileInfo::exists(yEpub::workFolder() + QStringLiteral("OEBPS/1006.xhtml")));
    // The link to a hidden page leads nowhere in the book, so it is dropped; the link to
    // a page of the book stays.
    const QString last = oebps(QStringLiteral("1007.xhtml"));
    EXPECT_FALSE(last.contains(QStringLiteral("1006"))) << last.toStdString();
    EXPECT_TRUE(last.contains(QStringLiteral("href=\"1002.xhtml\""))) << last.toStdString();

    if (!haveEpubcheck())
        GTEST_SKIP() << "epubcheck is not installed";
    EXPECT_EQ(epubcheck(r.outputPath), QString());
}

TEST_P(Book, ABranchAndASingleTopPageBecomeTheRoot) {
    collection();
    if (IsSkipped() || HasFatalFailure())
        return;
    // The branch of the damaged page: it, the link to 1002 and 1003 below that.
    yEpub::Report r = publish(yEpub::Subtree, 1004);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(r.pages, 3);
    EXPECT_EQ(r.navPoints, 3);
    const QString second = oebps(QStringLiteral("1002.xhtml"));
    // 1001 is not in this book: its link loses the address, its text stays.
    EXPECT_FALSE(second.contains(QStringLiteral("1001.xhtml"))) << second.toStdString();
    EXPECT_TRUE(second.contains(QStringLiteral("最初")));
    // Nothing of the earlier book is left in the work folder.
    EXPECT_FALSE(QFileInfo::exists(yEpub::workFolder() + QStringLiteral("OEBPS/1007.xhtml")));
    if (haveEpubcheck()) {
        EXPECT_EQ(epubcheck(r.outputPath), QString());
    }

    // One visible top-level page: the whole database is its branch, with it first.
    exec(QStringLiteral("Update tbTree Set boHide=1 Where noLfC=1007"));
    r = publish(yEpub::WholeDatabase);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(r.range, yEpub::SubtreeWithSite);
    const QString ncx = oebps(QStringLiteral("toc.ncx"));
    EXPECT_TRUE(
        ncx.contains(QStringLiteral("<navPoint id=\"p1\" playOrder=\"1\">\r\n      "
                                    "<navLabel>\r\n        <text>R&amp;D &lt;本&gt; "
                                    "\"その一\"</text>")))
        << ncx.toStdString();
    EXPECT_TRUE(ncx.contains(QStringLiteral("<meta name=\"dtb:depth\" content=\"4\"/>")));
    if (haveEpubcheck()) {
        EXPECT_EQ(epubcheck(r.outputPath), QString());
    }
}

TEST_P(Book, FailuresKeepTheEarlierBook) {
    collection();
    if (IsSkipped() || HasFatalFailure())
        return;
    const yEpub::Report good = publish(yEpub::WholeDatabase);
    ASSERT_TRUE(good.ok) << good.message.toStdString();
    QFile f(good.outputPath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    // Nothing visible at the top.
    exec(QStringLiteral("Update tbTree Set boHide=1 Where noLfP=0"));
    yEpub::Report r = publish(yEpub::WholeDatabase);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, QStringLiteral("出力するﾍﾟｰｼﾞがありません"));
    // A branch without the page.
    r = publish(yEpub::Subtree, 0);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.isEmpty());
    exec(QStringLiteral("Update tbTree Set boHide=0 Where noLfP=0"));
    // A file where the output folder should be.
    r = publish(yEpub::WholeDatabase, 0, good.outputPath + QStringLiteral("/x.epub"));
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.isEmpty());
    // An output inside the work folder, which is emptied first.
    r = publish(yEpub::WholeDatabase, 0, yEpub::workFolder() + QStringLiteral("x.epub"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QStringLiteral("作業ﾌｫﾙﾀﾞ"))) << r.message.toStdString();

    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_EQ(QDir(G().UserPath + QStringLiteral("ePub")).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("本.epub")});
}

ARBOR_INSTANTIATE_ENGINES(Book);

// The sample collection, as a new user's first book, whole and as a branch.
TEST(SampleBook, WholeAndABranchPassEpubcheck) {
    test::PrompterFixture ui;
    QTemporaryDir user;
    const ProgramState saved = G();
    G().UserPath = user.path() + u'/';
    G().ApDataPath = QStringLiteral(ARBOR_TEST_APDATA);
    const QString path = user.filePath(QStringLiteral("サンプル.txdb"));
    QString error;
    ASSERT_TRUE(createSampleCollection(path, G().ApDataPath + QStringLiteral("schema.sql"), error))
        << error.toStdString();
    bool ok = false;
    zSvr::instance().D_StDcDb(path, ok);
    ASSERT_TRUE(ok);
    yEpub::Request request;
    request.settings.title = QStringLiteral("サンプル");
    request.settings.identifier = QStringLiteral("urn:uuid:3f2504e0-4f89-41d3-9a0c-0305e82c3301");
    yEpub::Report whole = yEpub().Publish(request);
    request.range = yEpub::Subtree;
    request.currentPage =
        zSvr::instance()
            .R_GtVaL(QStringLiteral("Select noLfP From tbTree Where boLnk=1 And noLfP<>0"), 0)
            .toInt();
    request.outputPath = user.filePath(QStringLiteral("branch.epub"));
    yEpub::Report branch = yEpub().Publish(request);
    zSvr::instance().D_Close();
    G() = saved;
    ASSERT_TRUE(whole.ok) << whole.message.toStdString();
    ASSERT_TRUE(branch.ok) << branch.message.toStdString();
    EXPECT_EQ(whole.outputPath, user.filePath(QStringLiteral("ePub/サンプル.epub")));
    EXPECT_TRUE(whole.problems.isEmpty()) << whole.problems.join(u'\n').toStdString();
    EXPECT_GT(whole.navPoints, whole.pages);  // the sample places a page twice
    EXPECT_GE(whole.pictures, 1);
    EXPECT_GE(branch.navPoints, 2);
    if (!haveEpubcheck())
        GTEST_SKIP() << "epubcheck is not installed";
    EXPECT_EQ(epubcheck(whole.outputPath), QString());
    EXPECT_EQ(epubcheck(branch.outputPath), QString());
}
