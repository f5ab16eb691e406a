// The HTML export: tree-index keys and menus, both navigation kinds written from a real
// database on both engines, protection, emptying and the folders it must refuse; the
// sample collection's export walked link by link and its tree index clicked in Chromium.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include "app/program_state.h"
#include "db/zsvr.h"
#include "editor/link_fields.h"
#include "editor/sample_collection.h"
#include "editor/user_formats.h"
#include "support/doc_db.h"
#include "support/scripted_prompter.h"
#include "web/htm_export.h"
#include "web/htm_tree_index.h"
#include "web/site_folders.h"
#include "web/web_test_pages.h"

using namespace arbor;
using namespace arbor::web;

namespace {

QString text(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Every relative href and src of the exported pages that names no file.
QStringList brokenLinks(const QString& folder) {
    QStringList broken;
    static const QRegularExpression ref(QStringLiteral(R"re((?:href|src)="([^"]*)")re"),
                                        QRegularExpression::CaseInsensitiveOption);
    QDirIterator it(folder, {QStringLiteral("*.htm")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QDir here = QFileInfo(file).dir();
        for (auto m = ref.globalMatch(text(file)); m.hasNext();) {
            QString target = m.next().captured(1);
            if (target.isEmpty() || target.startsWith(u'#') ||
                target.contains(QStringLiteral("://")) ||
                target.startsWith(QStringLiteral("mailto:")))
                continue;
            target = QUrl::fromPercentEncoding(target.section(u'#', 0, 0).toUtf8());
            if (!QFileInfo::exists(here.filePath(target)))
                broken << QFileInfo(file).fileName() + QStringLiteral(" -> ") + target;
        }
    }
    return broken;
}

}  // namespace

TEST(HtmTreeIndex, KeysFillsAndTheMenuOpenedAlongAPage) {
    EXPECT_EQ(treeKeyCharacter(0), QStringLiteral("1"));
    EXPECT_EQ(treeKeyCharacter(8), QStringLiteral("9"));
    EXPECT_EQ(treeKeyCharacter(9), QStringLiteral("A"));
    EXPECT_EQ(treeKeyCharacter(34), QStringLiteral("Z"));
    EXPECT_EQ(treeKeyCharacter(35), QStringLiteral("a"));
    EXPECT_EQ(treeKeyCharacter(60), QStringLiteral("z"));
    EXPECT_EQ(treeKeyCharacter(61), QStringLiteral("ぁ"));
    EXPECT_EQ(treeKeyCharacter(62), QStringLiteral("あ"));
    QSet<QString> keys;
    for (int i = 0; i < 300; ++i)
        keys.insert(treeKeyCharacter(i));
    EXPECT_EQ(keys.size(), 300);

    EXPECT_EQ(fillMarks(QStringLiteral("<a href=~?~>?</a>?"), {"1.htm", "何?これ", "x"}),
              QStringLiteral("<a href=~1.htm~>何これ</a>x"));
    EXPECT_EQ(htmFileName(1001, 1002, true, 1001, "index.htm"), QStringLiteral("1001_1002.htm"));
    EXPECT_EQ(htmFileName(0, 1001, false, 1001, "index.htm"), QStringLiteral("index.htm"));
    EXPECT_EQ(htmFileName(0, 1001, false, 1001, QString()), QStringLiteral("1001.htm"));

    // 1 ─ 11 ─ 111, 2
    QVector<HtmEntry> e(4);
    e[0] = {0, 1001, "一", false, false, false, "1", "1001.htm", 0, {1}};
    e[1] = {1001, 1002, "二", false, false, false, "11", "1002.htm", 1, {2}};
    e[2] = {1002, 1003, "三", false, false, false, "111", "1003.htm", 2, {}};
    e[3] = {0, 1004, "四", false, false, false, "2", "1004.htm", 0, {}};
    const QStringList lines = treeIndexLines(e, {0, 3});
    const QString closed = openTreeIndex(lines, QStringLiteral("2"), QStringLiteral("四"));
    EXPECT_EQ(closed.count(QStringLiteral("class=\"clp\"")), 4) << closed.toStdString();
    EXPECT_TRUE(closed.contains(QStringLiteral(
        "  <li id=\"L2\"><a href=\"1004.htm\"><span class=\"act\">四</span></a></li>")));
    const QString open = openTreeIndex(lines, QStringLiteral("111"), QStringLiteral("三"));
    EXPECT_EQ(open.count(QStringLiteral("class=\"clp\"")), 0) << open.toStdString();
    EXPECT_TRUE(open.contains(QStringLiteral(
        "<li id=\"L11\" class=\"exp\" onclick=\"fnTree('11')\"><a href=\"1002.htm\">二</a>")));
    EXPECT_TRUE(open.contains(QStringLiteral(
        "<ul id=\"U1\" class=\"exp\" style=\"display:block\"  onclick=\"fnTree()\">")));
    EXPECT_TRUE(open.contains(QStringLiteral("<span class=\"act\">三</span>")));
    EXPECT_EQ(open.count(QStringLiteral("<span")), 1);
    EXPECT_TRUE(open.startsWith(QStringLiteral("<ul>\r\n  <li id=\"L1\"")));

    const QString navi = contentsPage(e, {0, 3}, QStringLiteral("本"));
    EXPECT_TRUE(navi.contains(QStringLiteral(
        "  <li class=\"li3\"><a href=\"1003.htm\" target=\"main\">三</a></li>\r\n")));
    EXPECT_TRUE(navi.contains(QStringLiteral("  li.li3 {margin-left:30px}\r\n")));
    EXPECT_FALSE(navi.contains(QStringLiteral("li.li4")));
    EXPECT_TRUE(framePage(0 + 1001, "本", true)
                    .contains(QStringLiteral("<link rel=\"shortcut icon\" href=\"favicon.ico\">")));
}

namespace {

class HtmExport : public ::testing::TestWithParam<test::DbEngine> {
  protected:
    test::PrompterFixture ui;
    QTemporaryDir user;
    ProgramState saved = G();
    zSvr& db = zSvr::instance();
    std::unique_ptr<test::TestDocDb> docDb;
    QString out;

    void SetUp() override {
        G().UserPath = user.path() + u'/';
        G().ApDataPath = QStringLiteral(ARBOR_TEST_APDATA);
        out = user.path() + QStringLiteral("/出力");
    }
    void TearDown() override {
        db.D_Close();
        G() = saved;
    }
    void exec(const QString& sql) {
        ASSERT_TRUE(db.D_ExeSq(sql)) << sql.toStdString() << ": " << db.lastError().toStdString();
    }
    void page(int no, const QString& title, const QByteArray& richText, int collecting = 0,
              int day = 1) {
        QString sql = QStringLiteral(
            "Insert Into msDoc (noDoc, szDoc, txDoc, boCod, wkRnd, dyUdt) Values (?, '?', '', ?, "
            "?, ?)");
        db.T_CnvSq(sql, {no, title, collecting, no,
                         SqlDateLiteral(QDateTime(QDate(2026, 1, day), QTime(9, 0)), G().IsJet)});
        exec(sql);
        ASSERT_TRUE(
            db.execBound(QStringLiteral("Update msDoc Set obDoc=? Where noDoc=?"), {richText, no}));
    }
    void place(int parent, int child, int order, const QString& label, int link = 0, int hidden = 0,
               int guarded = 0) {
        QString sql = QStringLiteral(
            "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, boHogo) Values "
            "(?, ?, ?, '?', ?, ?, ?)");
        db.T_CnvSq(sql, {parent, child, order, label, link, hidden, guarded});
        exec(sql);
    }
    static QByteArray body(const QString& words, int tag = 0) {
        test::PageBuilder b;
        b.paragraph(kBody, words);
        if (tag)
            b.text(QStringLiteral(" ")).field(QStringLiteral("先"), tagData(tag));
        return b.page().saveBytes();
    }

    //  0 ─┬─ 1001 トップ            a picture, a table, a tag to 1002
    //     │    ├─ 1002 第1章         protected
    //     │    └─ 1003 お知らせ      collecting: 1004 (older), 1005 (newer), 1002 (link)
    //     ├─ 1006 下書き            hidden
    //     └─ 1007 第2部?            a tag to 1005
    void collection() {
        ARBOR_OPEN_DOCDB(opened, GetParam());
        docDb = std::move(opened);
        test::PageBuilder top;
        top.paragraph(kHeading1, QStringLiteral("トップの見出し"));
        top.paragraph(kBody, QString()).picture(test::pngPicture(Qt::red));
        top.table(2, 3);
        top.paragraph(kBody, QStringLiteral("第1章へ "))
            .field(QStringLiteral("第1章"), tagData(1002));
        page(1001, QStringLiteral("トップ"), top.page().saveBytes());
        page(1002, QStringLiteral("第1章"), body(QStringLiteral("第1章の本文"), 1001), 0, 9);
        page(1003, QStringLiteral("お知らせ"), body(QStringLiteral("一覧")), 1);
        page(1004, QStringLiteral("古い知らせ"), body(QStringLiteral("古い")), 0, 2);
        page(1005, QStringLiteral("新しい知らせ"), body(QStringLiteral("新しい")), 0, 5);
        page(1006, QStringLiteral("下書き"), body(QStringLiteral("下書き")));
        page(1007, QStringLiteral("第2部"), body(QStringLiteral("第2部"), 1005));
        place(0, 1001, 1, QStringLiteral("トップ"));
        place(1001, 1002, 1, QStringLiteral("第1章"), 0, 0, 1);
        place(1001, 1003, 2, QStringLiteral("お知らせ"));
        place(1003, 1004, 1, QStringLiteral("古い知らせ"));
        place(1003, 1005, 2, QStringLiteral("新しい知らせ"));
        place(1003, 1002, 3, QStringLiteral("第1章リンク"), 1);
        place(0, 1006, 2, QStringLiteral("下書き"), 0, 1);
        place(0, 1007, 3, QStringLiteral("第2部?"));
    }
    HtmExportReport run(bool frames, bool empty = false, const QString& folder = QString()) {
        HtmExportRequest r;
        r.folder = folder.isEmpty() ? out : folder;
        r.frames = frames;
        r.emptyFirst = empty;
        return exportHtm(r);
    }
};

}  // namespace

TEST_P(HtmExport, TheTreeIndexKindWritesEveryPlacementAndWalks) {
    collection();
    if (IsSkipped() || HasFatalFailure())
        return;
    // The use marks: an unplaced page marked in use, a placed one not marked.
    page(1099, QStringLiteral("どこにもない"), body(QStringLiteral("孤立")));
    exec(QStringLiteral("Update msDoc Set boUse=1 Where noDoc=1099"));
    exec(QStringLiteral("Update msDoc Set boUse=Null Where noDoc=1001"));
    exec(QStringLiteral("Update msDoc Set boUse=0 Where noDoc=1006"));
    const HtmExportReport r = run(false);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join(u'\n').toStdString();
    EXPECT_EQ(db.R_GtVaL(QStringLiteral("Select Count(*) From msDoc Where boUse=1"), 0).toInt(), 7);
    EXPECT_EQ(db.R_GtVaL(QStringLiteral("Select boUse From msDoc Where noDoc=1099"), 9).toInt(), 0);
    EXPECT_EQ(r.written, 7);                      // 1001 1002 1003 1005 1004 1003_1002 1007
    EXPECT_TRUE(ui.prompter.messages.isEmpty());  // nothing protected had a file yet
    EXPECT_EQ(r.entryPath, out + QStringLiteral("/1001.htm"));
    for (const char* f :
         {"1001.htm", "1002.htm", "1003.htm", "1004.htm", "1005.htm", "1003_1002.htm", "1007.htm",
          "cmn/menu.js", "cmn/page-fx.css", "cmn/page-el.css", "cmn/plus.gif", "cmn/minus.gif",
          "cmn/none.gif", "cmn/back.gif"})
        EXPECT_TRUE(QFileInfo::exists(out + u'/' + QString::fromUtf8(f))) << f;
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/1006.htm")));
    EXPECT_FALSE(QImage(out + QStringLiteral("/cmn/plus.gif")).isNull());
    EXPECT_EQ(brokenLinks(out), QStringList());

    const QString newest = text(out + QStringLiteral("/1005.htm"));
    // The collecting page's children newest first; the key path of 1005 is opened.
    EXPECT_LT(newest.indexOf(QStringLiteral("1005.htm\">")),
              newest.indexOf(QStringLiteral("1004.htm\">")));
    EXPECT_TRUE(newest.contains(QStringLiteral(
        "<li id=\"L122\"><a href=\"1005.htm\"><span class=\"act\">新しい知らせ</span>")))
        << newest.toStdString();
    EXPECT_TRUE(
        newest.contains(QStringLiteral("<ul id=\"U12\" class=\"exp\" style=\"display:block\" ")));
    EXPECT_TRUE(newest.contains(QStringLiteral("<title>新しい知らせ | トップ</title>")));
    EXPECT_TRUE(
        newest.startsWith(QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"")));
    EXPECT_FALSE(newest.contains(QStringLiteral("\r\n\r\n")));
    EXPECT_TRUE(newest.contains(QStringLiteral(">第2部</a>")));  // "?" dropped
    EXPECT_TRUE(
        text(out + QStringLiteral("/1001.htm")).contains(QStringLiteral("<title>トップ</title>")));
    EXPECT_TRUE(
        text(out + QStringLiteral("/1007.htm")).contains(QStringLiteral("href=\"1005.htm\"")));

    // Again: the protected page asks; No keeps its file, Yes rewrites it.
    put(out + QStringLiteral("/1002.htm"), "mine");
    put(out + QStringLiteral("/cmn/page-fx.css"), "my style");
    ui.prompter.answers = {Answer::No};
    HtmExportReport again = run(false);
    ASSERT_TRUE(again.ok) << again.message.toStdString();
    ASSERT_EQ(ui.prompter.messages.size(), 1);
    EXPECT_EQ(ui.prompter.messages[0],
              QStringLiteral(
                  "第1章 のﾍﾟｰｼﾞは Htm出力保護が指定されていますが、新しくHtm出力してよいですか"));
    EXPECT_EQ(again.skipped, 1);
    EXPECT_EQ(text(out + QStringLiteral("/1002.htm")), QStringLiteral("mine"));
    EXPECT_EQ(text(out + QStringLiteral("/cmn/page-fx.css")), QStringLiteral("my style"));
    // Emptied first: the stray file goes, the common files come back, No still keeps.
    put(out + QStringLiteral("/stray.txt"), "x");
    ui.prompter.answers = {Answer::No};
    again = run(false, true);
    ASSERT_TRUE(again.ok) << again.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/stray.txt")));
    EXPECT_EQ(text(out + QStringLiteral("/1002.htm")), QStringLiteral("mine"));
    EXPECT_NE(text(out + QStringLiteral("/cmn/page-fx.css")), QStringLiteral("my style"));
    EXPECT_EQ(QDir(user.path())
                  .entryList(QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot)
                  .filter(QStringLiteral("arbor")),
              QStringList());
}

TEST_P(HtmExport, TheFramesKindWritesHomePlacementsAndTheContents) {
    collection();
    if (IsSkipped() || HasFatalFailure())
        return;
    const HtmExportReport r = run(true);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(r.written, 6);  // 1001 1002 1003 1004 1005 1007: no file for the link
    EXPECT_EQ(r.entryPath, out + QStringLiteral("/frame.htm"));
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/1003_1002.htm")));
    EXPECT_EQ(brokenLinks(out), QStringList());
    const QString frame = text(out + QStringLiteral("/frame.htm"));
    EXPECT_TRUE(frame.contains(QStringLiteral("<frame name=\"main\" src=\"1001.htm\">")));
    const QString navi = text(out + QStringLiteral("/navi.htm"));
    EXPECT_LT(navi.indexOf(QStringLiteral("新しい知らせ")),
              navi.indexOf(QStringLiteral("古い知らせ")));
    EXPECT_TRUE(navi.contains(QStringLiteral(
        "  <li class=\"li3\"><a href=\"1002.htm\" target=\"main\">第1章リンク</a></li>")));

    // Nothing visible: the frame page still points to 1001.htm.
    exec(QStringLiteral("Update tbTree Set boHide=1 Where noLfP=0"));
    const HtmExportReport none = run(true, false, user.path() + QStringLiteral("/空"));
    ASSERT_TRUE(none.ok) << none.message.toStdString();
    EXPECT_TRUE(text(none.entryPath).contains(QStringLiteral("src=\"1001.htm\"")));
}

TEST_P(HtmExport, FoldersThatHoldOtherFilesAreRefused) {
    collection();
    if (IsSkipped() || HasFatalFailure())
        return;
    QDir().mkpath(siteRoot());
    put(siteRoot() + QStringLiteral("/keep.htm"), "site");
    put(user.path() + QStringLiteral("/keep.txt"), "user");
    const QStringList refused{G().UserPath, siteRoot(), siteRoot() + QStringLiteral("/pub"),
                              QDir::homePath(), QStringLiteral("/")};
    for (const QString& folder : refused) {
        const HtmExportReport r = run(false, true, folder);
        EXPECT_FALSE(r.ok) << folder.toStdString();
        EXPECT_TRUE(r.message.contains(QStringLiteral("このﾌｫﾙﾀﾞには出力できません")))
            << r.message.toStdString();
    }
    if (GetParam() == test::DbEngine::SQLite) {
        const HtmExportReport r = run(false, true, QFileInfo(db.dataSourceName()).absolutePath());
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(QFileInfo::exists(db.dataSourceName()));
    }
    EXPECT_EQ(text(siteRoot() + QStringLiteral("/keep.htm")), QStringLiteral("site"));
    EXPECT_EQ(text(user.path() + QStringLiteral("/keep.txt")), QStringLiteral("user"));
    // A file where the folder should be.
    put(user.path() + QStringLiteral("/afile"), "x");
    EXPECT_FALSE(run(false, false, user.path() + QStringLiteral("/afile")).ok);
}

ARBOR_INSTANTIATE_ENGINES(HtmExport);

// The sample collection in both kinds: no broken link, and in Chromium the tree index
// opens and closes a list when its item is clicked, without a script error.
TEST(SampleHtmExport, WalksAndTheTreeIndexWorksInChromium) {
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
    HtmExportRequest request;
    const HtmExportReport tree = exportHtm(request);
    request.frames = true;
    request.folder = user.filePath(QStringLiteral("frames"));
    const HtmExportReport frames = exportHtm(request);
    zSvr::instance().D_Close();
    G() = saved;
    ASSERT_TRUE(tree.ok) << tree.message.toStdString();
    ASSERT_TRUE(frames.ok) << frames.message.toStdString();
    EXPECT_EQ(tree.folder, user.filePath(QStringLiteral("Htm/サンプル/")));
    EXPECT_EQ(brokenLinks(tree.folder), QStringList());
    EXPECT_EQ(brokenLinks(request.folder), QStringList());

    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        GTEST_SKIP() << "chromium is not installed";
    // A copy of the top page that clicks the first item with children twice and notes
    // the list's state each time.
    QString page = text(tree.entryPath);
    const QRegularExpression item(QStringLiteral("<li id=\"L(\\w+)\" class=\"clp\""));
    const QString key = item.match(page).captured(1);
    ASSERT_FALSE(key.isEmpty()) << page.toStdString();
    page.replace(QStringLiteral("</body>"),
                 QStringLiteral("<script type=\"text/javascript\">"
                                "var li = document.getElementById('L%1');"
                                "var ul = document.getElementById('U%1');"
                                "var seen = [getComputedStyle(ul).display];"
                                "li.click(); seen.push(getComputedStyle(ul).display);"
                                "li.click(); seen.push(getComputedStyle(ul).display);"
                                "ul.click(); seen.push(getComputedStyle(ul).display);"
                                "document.body.setAttribute('data-probe', seen.join(','));"
                                "</script></body>")
                     .arg(key));
    const QString probe = tree.folder + QStringLiteral("probe.htm");
    put(probe, page.toUtf8());
    QProcess p;
    p.start(chromium, {"--headless=new", "--no-sandbox", "--disable-gpu", "--enable-logging=stderr",
                       "--v=0", "--dump-dom", QUrl::fromLocalFile(probe).toString()});
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString dom = QString::fromUtf8(p.readAllStandardOutput());
    const QString log = QString::fromUtf8(p.readAllStandardError());
    EXPECT_TRUE(dom.contains(QStringLiteral("data-probe=\"none,block,none,none\"")))
        << dom.left(2000).toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("Uncaught"))) << log.toStdString();
}
