// What the conversion reads from the database, on both engines: the site settings of
// SetKaHtm with the custom file names and home address, HsFName2, the site map, and
// the yHtm operations over them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "db/zsvr.h"
#include "editor/link_fields.h"
#include "support/doc_db.h"
#include "web/page_file_names.h"
#include "web/site_map.h"
#include "web/yhtm.h"
#include "web_test_pages.h"

using namespace arbor;
using namespace arbor::test;

namespace {

class SiteDbTest : public ::testing::TestWithParam<DbEngine> {
  protected:
    zSvr& db = zSvr::instance();
    void TearDown() override { db.D_Close(); }

    void exec(QString sql, const QVariantList& values = {}) {
        if (!values.isEmpty())
            db.T_CnvSq(sql, values);
        ASSERT_TRUE(db.D_ExeSq(sql)) << sql.toStdString() << ": " << db.lastError().toStdString();
    }
    void place(int parent, int child, int order, const QString& label, int link = 0,
               int hidden = 0) {
        exec(QStringLiteral("Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, "
                            "boHogo) Values (?, ?, ?, '?', ?, ?, 0)"),
             {parent, child, order, label, link, hidden});
    }
    void fileName(int page, const QString& name, int root) {
        exec(QStringLiteral("Insert Into tbHtm (noDoc, saFnm, boRoot) Values (?, '?', ?)"),
             {page, name, root});
    }
};

TEST_P(SiteDbTest, SiteSettingsComeFromTheSettingsRow) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    const QString root = doc->scratchDir() + QStringLiteral("/Site/文書");
    QDir().mkpath(root + QStringLiteral("/cmn"));

    exec(QStringLiteral("Update kaUsr Set HiType=?, HiPfold=?, HsPfold='?'"),
         {2, 0, QStringLiteral("it's 画像")});
    web::HtmlSiteSettings s;
    ASSERT_TRUE(web::loadSiteSettings(s, false, root));
    EXPECT_EQ(s.htmlKind, 2);
    EXPECT_EQ(s.pictureFolderMode, 0);
    EXPECT_EQ(s.pictureFolderName, QStringLiteral("it's 画像"));
    EXPECT_TRUE(s.siteRoot.isEmpty()) << "folders are read only with the names";

    QFile icon(root + QStringLiteral("/cmn/favicon.ico"));
    ASSERT_TRUE(icon.open(QIODevice::WriteOnly));
    icon.close();
    ASSERT_TRUE(web::loadSiteSettings(s, true, root));
    EXPECT_TRUE(s.faviconPresent);
    EXPECT_EQ(s.siteRoot, root + u'/');
    EXPECT_EQ(s.pubFolder, root + QStringLiteral("/pub/"));
    EXPECT_TRUE(QDir(root + QStringLiteral("/lnk")).exists());

    // Without a settings row: the defaults.
    exec(QStringLiteral("Delete From kaUsr"));
    ASSERT_TRUE(web::loadSiteSettings(s, true, root));
    EXPECT_EQ(s.htmlKind, 0);
    EXPECT_EQ(s.pictureFolderMode, 1);
    EXPECT_EQ(s.pictureFolderName, QStringLiteral("Images"));
    EXPECT_EQ(s.homeMode, 0);
    EXPECT_TRUE(s.customNames.isEmpty());
}

TEST_P(SiteDbTest, CustomNamesAndHomeAddressFollowTheHomeSetting) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    place(0, 1001, 1, QStringLiteral("二番"));
    place(0, 1005, 0, QStringLiteral("一番"));
    fileName(1002, QStringLiteral("about"), 0);
    fileName(1003, QStringLiteral("index.html"), 1);
    fileName(1004, QString(), 0);
    exec(QStringLiteral("Update kaUsr Set HiHome=2, HsHome1='?', HsHome2='?', HsTopNm='?'"),
         {QStringLiteral("https://one.example"), QStringLiteral("https://two.example/site"),
          QStringLiteral("top.htm")});
    web::HtmlSiteSettings s;
    ASSERT_TRUE(web::loadCustomNames(s));
    EXPECT_EQ(s.homeMode, 2);
    EXPECT_EQ(s.homeAddress, QStringLiteral("https://two.example/site/"));
    EXPECT_EQ(s.customNameList(), QStringLiteral("1002\tabout\r1003\t../index.html\r"));
    EXPECT_EQ(web::HsFNameX(s, 0, QString(), QStringLiteral("1003"), false, true),
              QStringLiteral("https://two.example/site/index.html"));

    // HiHome 1: the first top-level page under the top name.
    exec(QStringLiteral("Update kaUsr Set HiHome=1"));
    ASSERT_TRUE(web::loadCustomNames(s));
    EXPECT_EQ(s.homeAddress, QStringLiteral("https://one.example/"));
    EXPECT_EQ(s.customNameList(), QStringLiteral("1005\ttop.htm\r"));

    exec(QStringLiteral("Update kaUsr Set HiHome=0"));
    ASSERT_TRUE(web::loadCustomNames(s));
    EXPECT_TRUE(s.homeAddress.isEmpty());
    EXPECT_TRUE(s.customNames.isEmpty());
}

TEST_P(SiteDbTest, StoredFileNamesAndFolders) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    fileName(12, QStringLiteral("about"), 1);
    fileName(13, QStringLiteral("news.html"), 0);
    QString name, folder;
    ASSERT_TRUE(web::HsFName2(QStringLiteral("12"), name, folder));
    EXPECT_EQ(name, QStringLiteral("about.htm"));
    EXPECT_EQ(folder, QString());
    ASSERT_TRUE(web::HsFName2(QStringLiteral("13"), name, folder));
    EXPECT_EQ(name, QStringLiteral("news.html"));
    EXPECT_EQ(folder, QStringLiteral("pub/"));
    ASSERT_TRUE(web::HsFName2(QStringLiteral("7"), name, folder));
    EXPECT_EQ(name, QStringLiteral("007.htm"));
    ASSERT_TRUE(web::HsFName2(QStringLiteral("3_12"), name, folder));
    EXPECT_EQ(name, QStringLiteral("003_012.htm"));
    EXPECT_EQ(folder, QStringLiteral("pub/"));
    // A key that is no number reads nothing and names the padded key.
    ASSERT_TRUE(web::HsFName2(QStringLiteral("x'; Drop Table tbHtm"), name, folder));
    EXPECT_EQ(db.R_GtVaL(QStringLiteral("Select Count(*) From tbHtm"), 0).toInt(), 2);
}

TEST_P(SiteDbTest, SiteMapListsTheVisibleTreeInGroupsNodesAndLeaves) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    //   1001 (group) ── 1002 (node) ── 1004, 1005 (leaves); 1008 (node) ── 1009 ── 1010
    //                └─ 1003 (leaf)
    //   1006 (leaf at the top), 1007 hidden with a child
    place(0, 1001, 0, QStringLiteral("第一章"));
    place(1001, 1002, 0, QStringLiteral("第一節"));
    place(1002, 1004, 0, QStringLiteral("項<一>"));
    place(1002, 1005, 1, QStringLiteral("項二"));
    place(1001, 1003, 1, QStringLiteral("第二節"));
    place(1001, 1008, 2, QStringLiteral("第三節"));
    place(1008, 1009, 0, QStringLiteral("深い"));
    place(1009, 1010, 0, QStringLiteral("より深い"));
    place(0, 1006, 1, QStringLiteral("付録"));
    place(0, 1007, 2, QStringLiteral("隠し"), 0, 1);
    place(1007, 1011, 0, QStringLiteral("隠しの子"));
    place(1001, 1005, 3, QStringLiteral("リンク"), 1);
    fileName(1006, QStringLiteral("appendix"), 0);
    exec(QStringLiteral("Update kaUsr Set HiType=2, HiPopS=3, HiHome=2"));

    const QString path = doc->scratchDir() + QStringLiteral("/sitemap.htm");
    QString error;
    ASSERT_TRUE(web::MakeMap(web::defaultSiteSettings(), 0, path, error)) << error.toStdString();
    const QString map = readUtf8(path);
    EXPECT_TRUE(map.startsWith(
        QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional")));
    EXPECT_TRUE(map.contains(QStringLiteral("<title>サイトマップ</title>")));
    EXPECT_TRUE(map.contains(QStringLiteral("  table#tMap  {border: 1pt solid #AEAECA;")));
    EXPECT_TRUE(map.contains(QStringLiteral(
        "<col width=\"2%\" />\r\n  <col width=\"2%\" />\r\n  <col width=\"16%\" />")));
    EXPECT_TRUE(map.contains(QStringLiteral(
        "<tr><td colspan=\"8\" class=\"tdGp\"><a href=\"../pub/1001.htm\">第一章</a></td></tr>")));
    EXPECT_TRUE(map.contains(
        QStringLiteral("<tr><td rowspan=\"2\"></td><td colspan=\"7\" class=\"tdNd\"><a "
                       "href=\"../pub/1002.htm\">第一節</a></td></tr>\r\n<tr><td></td>\r\n"
                       "  <td class=\"tdLf\"><a href=\"../pub/1004.htm\">項&lt;一&gt;</a></td>\r\n"
                       "  <td class=\"tdLf\"><a href=\"../pub/1005.htm\">項二</a></td>\r\n"
                       "  <td class=\"tdLf\"></td>\r\n")));
    // The leaf between two nodes and the link placement: rows of their own.
    EXPECT_TRUE(
        map.contains(QStringLiteral("<tr><td colspan=\"2\"></td>\r\n  <td class=\"tdLf\"><a "
                                    "href=\"../pub/1003.htm\">第二節</a></td>")));
    EXPECT_TRUE(map.contains(QStringLiteral("<a href=\"../pub/1001_1005.htm\">リンク</a>")));
    // The depth ends at level 3: the third level is a leaf, the fourth is left out.
    EXPECT_TRUE(map.contains(QStringLiteral("class=\"tdNd\"><a href=\"../pub/1008.htm\">")));
    EXPECT_TRUE(
        map.contains(QStringLiteral("class=\"tdLf\"><a href=\"../pub/1009.htm\">深い</a>")));
    EXPECT_FALSE(map.contains(QStringLiteral("より深い")));
    // Own file names, and nothing of the hidden branch.
    EXPECT_TRUE(map.contains(QStringLiteral("<a href=\"../pub/appendix.htm\">付録</a>")));
    EXPECT_FALSE(map.contains(QStringLiteral("隠し")));
    // Every row has eight columns' worth of cells.
    bool ran = false;
    QString messages;
    EXPECT_TRUE(wellFormed(path, ran, messages)) << messages.toStdString();

    // The map of one subtree starts at its page.
    ASSERT_TRUE(web::MakeMap(web::defaultSiteSettings(), 1002, path, error));
    const QString sub = readUtf8(path);
    EXPECT_TRUE(sub.contains(QStringLiteral("<a href=\"../pub/1004.htm\">")));
    EXPECT_FALSE(sub.contains(QStringLiteral("第一章")));
}

TEST_P(SiteDbTest, YHtmConvertsSavesAndNamesWithTheLoadedSettings) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    fileName(1012, QStringLiteral("第十二"), 0);
    exec(QStringLiteral("Update kaUsr Set HiType=3, HiHome=2, HsHome2='https://x.example/'"));
    yHtm& h = yHtm::instance();
    const QString root = doc->scratchDir() + QStringLiteral("/Site/db");
    h.setSiteRoot(root);
    ASSERT_TRUE(h.SetKaHtm(true));
    EXPECT_EQ(h.HtmlKind(), 3);
    QString name;
    h.HsFName(QString(), QStringLiteral("1012"), false, false, name);
    EXPECT_EQ(name, QStringLiteral("第十二.htm"));
    EXPECT_EQ(h.HsFNameX(QString(), QStringLiteral("7"), false, true),
              QStringLiteral("https://x.example/pub/007.htm"));

    PageBuilder b;
    b.paragraph(kHeading1, QStringLiteral("題"))
        .paragraph(kBody, QString())
        .field(QStringLiteral("十二"), tagData(1012));
    h.cOn(&b.page(), doc->scratchDir());
    h.HtmHd(QStringLiteral("題名 \"引用\""), QStringLiteral("説明"), QString(), QString(), false,
            true, false);
    QString head, body;
    ASSERT_TRUE(h.CnvHtml(root + QStringLiteral("/pub/001.htm"), head, body, false))
        << h.lastError().toStdString();
    EXPECT_TRUE(head.contains(QStringLiteral("<title>題名  引用 </title>")));
    EXPECT_TRUE(head.contains(QStringLiteral("noindex,nofollow")));
    EXPECT_TRUE(body.contains(QStringLiteral("href=\"第十二.htm\"")));
    // The site build applies the document type to the whole page.
    QString page = head + body;
    h.SetDTD(page);
    EXPECT_TRUE(
        page.startsWith(QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict")));

    const QString xhtml = doc->scratchDir() + QStringLiteral("/007.xhtml");
    ASSERT_TRUE(h.cSaveHtm(nullptr, xhtml, 2));
    EXPECT_EQ(h.HtmlKind(), web::kEbookXhtml11);
    EXPECT_TRUE(
        readUtf8(xhtml).contains(QStringLiteral("href=\"https://x.example/pub/第十二.htm\"")));
    h.cOff();
    EXPECT_FALSE(h.CnvHtml(root + QStringLiteral("/pub/001.htm"), head, body, false));
    EXPECT_FALSE(h.lastError().isEmpty());
}

ARBOR_INSTANTIATE_ENGINES(SiteDbTest);

}  // namespace
