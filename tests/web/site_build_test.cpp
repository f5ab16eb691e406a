// The site build on both engines, with a stand-in conversion: what each update mode
// writes, the cache, the publish stamps, the navigation in the files, and bad input that
// must not stop the rest of the site.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include "app/program_state.h"
#include "app/progress.h"
#include "web/site_fixture.h"

using namespace arbor;
using namespace arbor::test;
using web::UpdateMode;

namespace {

class SiteBuildTest : public SiteTest {};

// Files of the site folder that a build left behind under a temporary name.
QStringList leftovers(const QString& root) {
    QStringList found;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (!f.endsWith(QStringLiteral(".htm")) && !f.endsWith(QStringLiteral(".css")))
            found << f;
    }
    return found;
}

}  // namespace

TEST_P(SiteBuildTest, WithoutATopTemplateNothingIsWritten) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    page(1001, "トップ", "本文");
    place(0, 1001, 0, "トップ");
    const web::SiteBuildReport r = build(UpdateMode::AllPages);
    EXPECT_FALSE(r.started);
    ASSERT_EQ(ui.prompter.messages.size(), 1);
    EXPECT_EQ(ui.prompter.messages[0],
              "トップページのテンプレートが指定されていません\r"
              "Web→サイト出力時の指定の画面で指定して下さい");
    EXPECT_FALSE(siteHas("pub/1001.htm"));
    EXPECT_EQ(conversion.conversions, 0);
}

TEST_P(SiteBuildTest, AllPagesWritesEveryVisiblePlacementWithItsNavigation) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    const web::SiteBuildReport r = build(UpdateMode::AllPages);
    ASSERT_TRUE(r.started) << r.message.toStdString();
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join('\n').toStdString();
    // Visible pages and the collecting page's children; no hidden branch, no protected file.
    for (const char* f : {"pub/1001.htm", "pub/1002.htm", "pub/1005.htm", "pub/1003.htm",
                          "pub/1004.htm", "pub/1010.htm", "pub/1011.htm"})
        EXPECT_TRUE(siteHas(f)) << f;
    EXPECT_FALSE(siteHas("pub/1008.htm"));
    EXPECT_FALSE(siteHas("pub/1009.htm"));
    // A protected page gets its first file; from then on the file is the user's.
    EXPECT_TRUE(siteHas("pub/1007.htm"));
    EXPECT_TRUE(siteHas("pub/1007_1005.htm")) << "a protected page's children are still written";
    EXPECT_EQ(r.guarded, 0);
    EXPECT_EQ(r.failed, 0);
    EXPECT_TRUE(siteHas("pc_zoom"));
    EXPECT_TRUE(siteHas("cmn/navi.css"));

    const QString chapter = siteFile("pub/1002.htm");
    EXPECT_TRUE(chapter.contains("第1章の本文 @1002.htm"));
    EXPECT_FALSE(chapter.contains("\r\r"));
    EXPECT_FALSE(chapter.contains("\n"));
    // The template's style sheet moves into the page head, before the page's styles.
    EXPECT_LT(chapter.indexOf("<link rel=\"stylesheet\" href=\"../cmn/navi.css\">"),
              chapter.indexOf("<style type"));
    // Top menu with its section marked and the drop-down lists.
    EXPECT_TRUE(chapter.contains("<li class=\"now\"><a href=\"1001.htm\">トップ</a>"));
    EXPECT_TRUE(chapter.contains("<li><a href=\"1011.htm\">第2部</a>"));
    EXPECT_TRUE(chapter.contains("<ul class=\"sub\">"));
    EXPECT_TRUE(chapter.contains("<li><a href=\"1002.htm\">第1章</a></li>"));
    EXPECT_FALSE(chapter.contains("下書き")) << "hidden branches are in no menu";
    // Trail below the top page, and the left menu of a page with children.
    EXPECT_TRUE(
        chapter.contains("<a href=\"1001.htm\">トップ</a> &gt;\r"
                         "           <a href=\"1002.htm\">第1章</a>"));
    EXPECT_TRUE(chapter.contains("<li class=\"lp_now\"><a href=\"1002.htm\">第1章</a></li>"));
    EXPECT_TRUE(chapter.contains("<li class=\"lc\"><a href=\"1005.htm\">付録</a></li>"));
    EXPECT_TRUE(chapter.contains("<li class=\"lp\"><a href=\"1003.htm\">お知らせ</a></li>"));
    // Previous and next in tree order, and the anchor before vBack.
    EXPECT_TRUE(chapter.contains("<a href=\"1001.htm#aTopPage\">前のページへ</a>"));
    EXPECT_TRUE(chapter.contains("<a href=\"1005.htm#aTopPage\">次のページへ</a>"));
    EXPECT_LT(chapter.indexOf("<a name=\"aTopPage\"></a>"), chapter.indexOf("<div id=\"vBack\">"));
    EXPECT_TRUE(chapter.contains(
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"));
    // The site's name links to the top page.
    EXPECT_TRUE(chapter.contains("<span id=\"sTitle\"><a href=\"1001.htm\">トップ</a></span>"));
    // The top page shows no trail.
    EXPECT_TRUE(siteFile("pub/1001.htm").contains("<div id=\"dPan\"></div>"));

    // The collecting page lists its children newest first, escaped; they are in no menu.
    const QString news = siteFile("pub/1003.htm");
    EXPECT_TRUE(news.contains("<td><a href=\"1004.htm\">お知らせA</a></td>"));
    EXPECT_TRUE(news.contains("春の &lt;知らせ&gt; &amp; 花"));
    EXPECT_FALSE(chapter.contains("お知らせA"));
    EXPECT_TRUE(siteFile("pub/1004.htm").contains("春の <知らせ> & 花 @1004.htm"));

    // Cache and stamps.
    EXPECT_EQ(db.R_GtVaL("Select Count(*) From msDoc Where dyHtm Is Not Null", 0).toInt(), 8);
    EXPECT_TRUE(published(1001, 1002).isValid());
    EXPECT_FALSE(published(1001, 1007).isValid()) << "a protected placement keeps its stamp";
    QFile own(user.filePath("Site/" + G().DbName + "/pub/1007.htm"));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("hand-made");
    own.close();
    const web::SiteBuildReport again = build(UpdateMode::AllPages);
    EXPECT_EQ(again.guarded, 1);
    EXPECT_EQ(siteFile("pub/1007.htm"), "hand-made");
    EXPECT_TRUE(leftovers(user.filePath("Site/" + G().DbName)).isEmpty());
}

TEST_P(SiteBuildTest, SyncWritesOnlyWhatChangedAndUsesTheCache) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    ASSERT_TRUE(build(UpdateMode::AllPages).started);
    conversion.conversions = 0;
    web::SiteBuildReport r = build(UpdateMode::Sync);
    EXPECT_EQ(r.written, 0);
    EXPECT_EQ(conversion.conversions, 0);

    // One page changed: it is converted; its neighbours are written from the cache.
    ageTheSite();
    touch(1005);
    QFile::remove(user.filePath("Site/" + G().DbName + "/pub/1011.htm"));
    r = build(UpdateMode::Sync);
    EXPECT_EQ(conversion.conversions, 1);
    EXPECT_TRUE(conversion.converted.contains(1005));
    EXPECT_GT(r.written, 1);
    EXPECT_TRUE(siteHas("pub/1005.htm"));
    EXPECT_FALSE(siteHas("pub/1011.htm")) << "a page far from the change is not written";

    // A change among the top-level pages reaches every page through the top menu.
    conversion.conversions = 0;
    exec("Update tbTree Set inSrt=5 Where noLfP=0 And noLfC=1011");
    QString sql = "Update tbTree Set dyUdt=? Where noLfP=0 And noLfC=1011";
    db.T_CnvSq(sql, {SqlDateLiteral(QDateTime::currentDateTime().addSecs(300), G().IsJet)});
    exec(sql);
    r = build(UpdateMode::Sync);
    EXPECT_TRUE(siteHas("pub/1011.htm"));
    EXPECT_EQ(conversion.conversions, 0);
    EXPECT_GE(r.written, 6);
}

TEST_P(SiteBuildTest, CurrentNodeModesSinceDateAndThePreview) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    // The current page and its children only.
    web::SiteBuildReport r = build(UpdateMode::CurrentNode, 1002, 1001);
    ASSERT_TRUE(r.started);
    EXPECT_TRUE(siteHas("pub/1002.htm"));
    EXPECT_TRUE(siteHas("pub/1005.htm"));
    EXPECT_FALSE(siteHas("pub/1001.htm"));
    EXPECT_FALSE(siteHas("pub/1003.htm"));
    EXPECT_TRUE(r.currentFile.endsWith("/pub/1002.htm"));

    r = build(UpdateMode::CurrentNodeAndBelow, 1001, 0);
    EXPECT_TRUE(siteHas("pub/1003.htm"));
    EXPECT_TRUE(siteHas("pub/1007_1005.htm"));
    EXPECT_FALSE(siteHas("pub/1011.htm"));

    // Since a date: only what changed on or after it.
    ageTheSite();
    touch(1011);
    conversion.conversions = 0;
    r = build(UpdateMode::SinceDate, 0, 0, QDateTime::currentDateTime().addSecs(-120));
    EXPECT_TRUE(siteHas("pub/1011.htm"));
    EXPECT_TRUE(conversion.converted.contains(1011));

    // The template editor's preview writes the current page into the work template.
    writeTemplate("tpl_wrk.htm", mainTemplate());
    r = build(UpdateMode::TemplatePreview, 1002, 1001);
    ASSERT_TRUE(r.started) << r.message.toStdString();
    EXPECT_TRUE(r.currentFile.endsWith("Template/tpl_wrk.htm"));
    const QString preview = siteFile("Template/tpl_wrk.htm");
    EXPECT_TRUE(preview.contains("第1章の本文"));
    EXPECT_TRUE(preview.contains("href=\"../cmn/navi_wrk.css\""));
}

TEST_P(SiteBuildTest, RootPagesTemplatesAndSubPages) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    conversion.customNames.insert(1001, "../index.htm");
    writeTemplate("news.htm", mainTemplate().replace("<!-- uTop DropDown -->", ""));
    writeTemplate("extra.htm",
                  "<html><body>\r\n<p>付録ページ <a href=\"../pub/1002.htm\">章</a>"
                  "</p>\r\n</body></html>");
    exec("Insert Into tbHtm (noDoc, saTpl, saSbP) Values (1003, 'news.htm', 'extra.htm, nai.htm')");
    exec("Insert Into tbHtm (noDoc, saTpl) Values (1002, 'gone.htm')");
    const web::SiteBuildReport r = build(UpdateMode::AllPages);
    ASSERT_TRUE(r.started);
    // A named template that is missing: one message, and the page inherits.
    EXPECT_EQ(ui.prompter.messages.filter("gone.htm").size(), 1);
    EXPECT_TRUE(siteHas("pub/1002.htm"));

    // The top page goes to the site root with its links rebased.
    EXPECT_TRUE(siteHas("index.htm"));
    const QString top = siteFile("index.htm");
    EXPECT_TRUE(top.contains("href=\"cmn/navi.css\"")) << top.toStdString();
    EXPECT_TRUE(top.contains("<a href=\"pub/1002.htm\">第1章</a>"));
    EXPECT_TRUE(top.contains("href=\"pub/about.htm\""));
    EXPECT_TRUE(top.contains("<span id=\"sTitle\"><a href=\"index.htm\">トップ</a></span>"));
    EXPECT_TRUE(top.contains("<a href=\"pub/1002.htm#aTopPage\">次のページへ</a>"));
    // Pages in the page folder point back up to it.
    EXPECT_TRUE(siteFile("pub/1002.htm").contains("href=\"../index.htm\""));

    // A template without the drop-down marker gets the plain top menu.
    const QString news = siteFile("pub/1003.htm");
    EXPECT_FALSE(news.contains("<ul class=\"sub\">"));
    // The sub-page file is published with the page's template; the missing one is reported.
    const QString extra = siteFile("pub/extra.htm");
    EXPECT_TRUE(extra.contains("付録ページ <a href=\"1002.htm\">章</a>")) << extra.toStdString();
    EXPECT_TRUE(extra.contains("<ul id=\"uLeft\">"));
    EXPECT_EQ(r.problems.filter("nai.htm").size(), 1);
}

TEST_P(SiteBuildTest, BadPagesAreReportedAndTheRestIsBuilt) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    ASSERT_TRUE(db.execBound("Update msDoc Set obDoc=? Where noDoc=1002", {QByteArray("damaged")}));
    conversion.customNames.insert(1011, "../../etc/passwd");
    place(1005, 1002, 0, "循環");  // 第1章 below its own child
    writeTemplate("plain.htm", "<html><body><p>no main</p></body></html>");
    exec("Insert Into tbHtm (noDoc, saTpl) Values (1005, 'plain.htm')");
    const web::SiteBuildReport r = build(UpdateMode::AllPages);
    ASSERT_TRUE(r.started);
    EXPECT_GE(r.problems.filter("文書No:1002").filter("壊れています").size(), 1)
        << r.problems.join('\n').toStdString();
    EXPECT_EQ(r.problems.filter("文書No:1011").size(), 1);
    EXPECT_GE(r.problems.filter("循環").size(), 1);
    EXPECT_GE(r.problems.filter("dMain").size(), 1);
    EXPECT_FALSE(siteHas("pub/1002.htm"));
    EXPECT_FALSE(QFile::exists(user.filePath("etc/passwd")));
    // The rest of the site is there; a template without dMain is written as it is.
    EXPECT_TRUE(siteHas("pub/1001.htm"));
    EXPECT_TRUE(siteHas("pub/1003.htm"));
    EXPECT_EQ(siteFile("pub/1005.htm"), "<html><body><p>no main</p></body></html>");
    EXPECT_FALSE(published(1001, 1002).isValid()) << "no stamp for a file not written";
    EXPECT_TRUE(published(1001, 1003).isValid());
}

namespace {
// Asks to stop after the first chunk.
class StoppingProgress : public Progress {
  public:
    int steps = 0;
    void status(const QString&) override {}
    void showWait(const QString&) override {}
    void hideWait() override {}
    void step(qint64, qint64) override { ++steps; }
    bool cancelRequested() override { return steps > 0; }
};
}  // namespace

TEST_P(SiteBuildTest, ACancelledBuildStopsBetweenPagesWithoutHalfFiles) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    StoppingProgress stopping;
    Progress* previous = setProgress(&stopping);
    const web::SiteBuildReport r = build(UpdateMode::AllPages);
    setProgress(previous);
    EXPECT_TRUE(r.cancelled);
    EXPECT_GT(r.written, 0);
    EXPECT_FALSE(siteHas("pub/1011.htm")) << "the build went on after the stop";
    EXPECT_TRUE(leftovers(user.filePath("Site/" + G().DbName)).isEmpty());
    // What was written is stamped; the rest is written by the next Sync.
    const web::SiteBuildReport next = build(UpdateMode::Sync);
    EXPECT_TRUE(siteHas("pub/1011.htm"));
    EXPECT_GE(next.written, 1);
}

ARBOR_INSTANTIATE_ENGINES(SiteBuildTest);
