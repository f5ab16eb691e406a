// The web-output settings on both engines: the whole site's row, a page's row and what the
// pages below inherit from it, the checks that keep bad input out, and what a change does
// to the written site (heads rewritten in place, pages marked for the next sync).
#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>

#include "app/program_state.h"
#include "web/html_conversion_context.h"
#include "web/html_head.h"
#include "web/site_fixture.h"
#include "web/site_folders.h"
#include "web/site_settings.h"
#include "web/site_settings_effective.h"
#include "web/site_settings_heads.h"

using namespace arbor;
using namespace arbor::test;
using web::UpdateMode;

namespace {

class SiteSettingsTest : public SiteTest {
  protected:
    QString sitePath(const QString& relative) const {
        return G().UserPath + QStringLiteral("Site/") + G().DbName + u'/' + relative;
    }
    // A written page as the site build writes its head (double quotes, CR line ends).
    void writePage(const QString& relative, const web::PageOptions& head) {
        QString text = web::buildHead(head, true, false, QString()) +
                       QStringLiteral(
                           "\r\n<body>\r\n<div id=\"vBack\">本文</div>\r\n</body>\r\n"
                           "</html>\r\n");
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
        QFile f(sitePath(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }
    web::PageSettings loaded(int page) {
        web::PageSettings s;
        QString error;
        EXPECT_TRUE(web::loadPageSettings(page, s, error)) << error.toStdString();
        return s;
    }
    web::PageSaveResult save(web::PageSettings edited) {
        return web::savePageSettings(edited, loaded(edited.page), conversion);
    }
    QString pageChanged(int page) {
        return db
            .R_GtVaL(QStringLiteral("Select dyUdt From msDoc Where noDoc=") + QString::number(page),
                     QVariant())
            .toDateTime()
            .toString(Qt::ISODate);
    }
    int rows() { return db.R_GtVaL(QStringLiteral("Select Count(*) From tbHtm"), 0).toInt(); }
};

}  // namespace

TEST_P(SiteSettingsTest, TheWholeSiteIsReadCheckedAndWrittenAsTheWindowShowsIt) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    web::SiteWideSettings s;
    QString error;
    ASSERT_TRUE(web::loadSiteWide(s, error)) << error.toStdString();
    s.altAddress = QStringLiteral("https://example.jp/docs");
    s.altOn = true;
    s.docType = 3;
    s.mapDepth = 5;
    s.pictureFolderMode = 1;
    s.pictureFolder.clear();
    QString message;
    ASSERT_TRUE(web::saveSiteWide(s, message)) << message.toStdString();
    EXPECT_TRUE(message.startsWith(QStringLiteral("ｻｲﾄ全体の設定を保存しました\n")));
    EXPECT_EQ(db.R_GtVaL(QStringLiteral("Select HsHome2 From kaUsr"), QString()).toString(),
              "https://example.jp/docs/");
    EXPECT_EQ(db.R_GtVaL(QStringLiteral("Select HsPfold From kaUsr"), QString()).toString(),
              "image");
    EXPECT_EQ(db.R_GtVaL(QStringLiteral("Select Count(*) From kaUsr"), 0).toInt(), 1);

    web::SiteWideSettings back;
    ASSERT_TRUE(web::loadSiteWide(back, error));
    EXPECT_TRUE(back.altOn);
    EXPECT_EQ(back.loadedHomeMode, 2);
    EXPECT_EQ(back.docType, 3);
    EXPECT_EQ(back.mapDepth, 5);
    EXPECT_EQ(back.pictureFolder, "image");

    // Turning the box off lets a stored 2 go; another mode of the conversion stays.
    back.altOn = false;
    EXPECT_EQ(web::homeModeToStore(back), 0);
    back.loadedHomeMode = 1;
    EXPECT_EQ(web::homeModeToStore(back), 1);

    // Out of range or a way out of the site: a message and the row as it was.
    for (auto bad : {std::function<void(web::SiteWideSettings&)>(
                         [](web::SiteWideSettings& x) { x.mapDepth = 7; }),
                     std::function<void(web::SiteWideSettings&)>(
                         [](web::SiteWideSettings& x) { x.docType = 4; }),
                     std::function<void(web::SiteWideSettings&)>(
                         [](web::SiteWideSettings& x) { x.pictureFolder = "../pics"; })}) {
        web::SiteWideSettings wrong = s;
        wrong.altAddress = QStringLiteral("https://other.jp/");
        bad(wrong);
        EXPECT_FALSE(web::saveSiteWide(wrong, message));
        EXPECT_FALSE(message.isEmpty());
        EXPECT_EQ(db.R_GtVaL(QStringLiteral("Select HsHome2 From kaUsr"), QString()).toString(),
                  "https://example.jp/docs/");
    }

    // A quote in the address reaches the row as typed.
    s.altAddress = QStringLiteral("https://example.jp/o'neil");
    ASSERT_TRUE(web::saveSiteWide(s, message)) << message.toStdString();
    EXPECT_EQ(db.R_GtVaL(QStringLiteral("Select HsHome2 From kaUsr"), QString()).toString(),
              "https://example.jp/o'neil/");
}

TEST_P(SiteSettingsTest, APageInheritsFromTheNearestRowAboveAndSaysWhere) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    writeTemplate("chapter.htm", mainTemplate());
    web::PrepareSiteFolders();
    exec("Update tbHtm Set szTtl='サイトの名前', szKwd='全体', inPng=2 Where noDoc=1001");
    exec(
        "Insert Into tbHtm (noDoc, szTtl, szDsc, saTpl, boNnx) Values (1002, '第1章の題', "
        "'章の説明', 'chapter.htm', 1)");

    web::EffectivePageSettings e;
    QString error;
    ASSERT_TRUE(web::resolvePageSettings(1005, e, error)) << error.toStdString();
    EXPECT_FALSE(e.hasRow);
    EXPECT_EQ(e.path, (QList<int>{1002, 1001}));
    // Head values come as a whole from the nearest row: the top page's keywords do not mix in.
    EXPECT_EQ(e.title.value, "第1章の題");
    EXPECT_EQ(e.title.source.kind, web::SettingSource::Inherited);
    EXPECT_EQ(e.title.source.page, 1002);
    EXPECT_EQ(e.title.source.text(), "文書No 1002 から継承");
    EXPECT_EQ(e.description.value, "章の説明");
    EXPECT_EQ(e.keywords.value, "");
    EXPECT_EQ(e.noIndex.value, "はい");
    EXPECT_EQ(e.templ.value, "chapter.htm");
    EXPECT_EQ(e.templ.source.page, 1002);
    EXPECT_EQ(e.pictureFormat.value, "Png (*.png)");
    EXPECT_EQ(e.pictureFormat.source.page, 1001);
    EXPECT_TRUE(e.head().noIndex);

    // A top-level page beside the top page takes the site-wide defaults of the top page.
    ASSERT_TRUE(web::resolvePageSettings(1011, e, error));
    EXPECT_TRUE(e.path.isEmpty());
    EXPECT_EQ(e.templ.value, "main.htm");
    EXPECT_EQ(e.templ.source.kind, web::SettingSource::TopPage);
    EXPECT_EQ(e.title.source.kind, web::SettingSource::Label);
    EXPECT_EQ(e.title.value, "第2部");
    EXPECT_TRUE(e.head().title.isEmpty()) << "each placement shows its own label";

    // The page's own row wins; a template that is gone is passed over with a note.
    exec("Insert Into tbHtm (noDoc, szTtl, saTpl) Values (1005, '付録の題', 'gone.htm')");
    ASSERT_TRUE(web::resolvePageSettings(1005, e, error));
    EXPECT_TRUE(e.hasRow);
    EXPECT_EQ(e.title.source.kind, web::SettingSource::Own);
    EXPECT_EQ(e.noIndex.value, "いいえ");
    EXPECT_EQ(e.templ.value, "chapter.htm");
    EXPECT_EQ(e.notes.filter("gone.htm").size(), 1);

    // The top page of the settings is the build's: the first visible top-level placement.
    EXPECT_EQ(web::settingsTopPage(), 1001);
    exec("Update tbTree Set inSrt=5 Where noLfP=0 And noLfC=1001");
    EXPECT_EQ(web::settingsTopPage(), 1011) << "the hidden 1008 is not the site's top page";

    // Affected by a change of 1002: itself and 1005 while it inherits; not once it has a row.
    EXPECT_EQ(web::affectedPages(1002, 1001), (QList<int>{1002}));
    exec("Delete From tbHtm Where noDoc=1005");
    EXPECT_EQ(web::affectedPages(1002, 1001), (QList<int>{1002, 1005}));
    // The top page reaches every page without a row, at the top level too.
    const QList<int> all = web::affectedPages(1001, 1001);
    for (int p : {1001, 1003, 1004, 1007, 1008, 1009, 1010, 1011})
        EXPECT_TRUE(all.contains(p)) << p;
    EXPECT_FALSE(all.contains(1002));
    EXPECT_TRUE(all.contains(1005)) << "its link placement under 1007 inherits from the top";
}

TEST_P(SiteSettingsTest, BadInputIsRefusedWithAMessageAndTheRowStaysAsItWas) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    web::PrepareSiteFolders();
    exec("Update tbHtm Set szTtl='サイト' Where noDoc=1001");
    QFile empty(web::siteTemplateFolder() + QStringLiteral("empty.htm"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    QFile latin(web::siteTemplateFolder() + QStringLiteral("latin.htm"));
    ASSERT_TRUE(latin.open(QIODevice::WriteOnly));
    latin.write("<html><body>caf\xE9</body></html>");
    latin.close();

    struct Case {
        const char* what;
        std::function<void(web::PageSettings&)> change;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"no page", [](web::PageSettings& s) { s.page = 0; }, "対象ﾍﾟｰｼﾞを指定して下さい"},
        {"missing template", [](web::PageSettings& s) { s.templ = "nai.htm"; },
         "ﾃﾝﾌﾟﾚｰﾄﾌｧｲﾙの指定が不正です"},
        {"empty template", [](web::PageSettings& s) { s.templ = "empty.htm"; }, "は空です"},
        {"not UTF-8", [](web::PageSettings& s) { s.templ = "latin.htm"; }, "UTF-8 ではありません"},
        {"template outside", [](web::PageSettings& s) { s.templ = "../cmn/navi.css"; },
         "ﾃﾝﾌﾟﾚｰﾄﾌｧｲﾙの指定が不正です"},
        {"nothing changed", [](web::PageSettings&) {}, "更新の必要はありません"},
        {"top title", [](web::PageSettings& s) { s.title = "　 "; }, "ﾄｯﾌﾟﾍﾟｰｼﾞのﾀｲﾄﾙは必須です"},
        {"top template", [](web::PageSettings& s) { s.templ.clear(); },
         "ﾄｯﾌﾟﾍﾟｰｼﾞのﾃﾝﾌﾟﾚｰﾄの指定は必須です"},
        {"folder in name", [](web::PageSettings& s) { s.fileName = "sub/a.htm"; }, "ﾌｧｲﾙ名には"},
        {"way out", [](web::PageSettings& s) { s.fileName = "..htm"; }, "ﾌｧｲﾙ名には"},
        {"blank", [](web::PageSettings& s) { s.fileName = "my page.htm"; }, "ﾌｧｲﾙ名には"},
        {"refused character", [](web::PageSettings& s) { s.fileName = "a?b.htm"; }, "ﾌｧｲﾙ名には"},
        {"not a page", [](web::PageSettings& s) { s.fileName = "a.php"; }, ".htm か .html"},
        {"missing sub page", [](web::PageSettings& s) { s.subPages = "main.htm ,nai.htm"; },
         "ｻﾌﾞﾍﾟｰｼﾞの指定が不正です"},
    };
    for (const Case& c : cases) {
        web::PageSettings edited = loaded(1001);
        c.change(edited);
        const web::PageSaveResult r = save(edited);
        EXPECT_FALSE(r.saved) << c.what;
        EXPECT_TRUE(r.message.contains(QString::fromUtf8(c.message)))
            << c.what << ": " << r.message.toStdString();
        const web::PageSettings now = loaded(1001);
        EXPECT_EQ(now.title, "サイト") << c.what;
        EXPECT_EQ(now.templ, "main.htm") << c.what;
        EXPECT_TRUE(now.fileName.isEmpty()) << c.what;
        EXPECT_EQ(rows(), 1) << c.what;
    }

    // Two pages cannot share one own file name.
    web::PageSettings chapter = loaded(1002);
    chapter.fileName = "intro.htm";
    ASSERT_TRUE(save(chapter).saved);
    web::PageSettings other = loaded(1011);
    other.fileName = "intro.htm";
    const web::PageSaveResult r = save(other);
    EXPECT_FALSE(r.saved);
    EXPECT_TRUE(r.message.contains("文書No 1002")) << r.message.toStdString();
}

TEST_P(SiteSettingsTest, TextsAreCleanedAndQuotesReachTheRowIntact) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    web::PrepareSiteFolders();
    web::PageSettings s = loaded(1002);
    EXPECT_FALSE(s.exists);
    s.title = "  O'Reilly の\r\n「本」　 ";
    s.keywords = "本　技術 , ,\r\nＣ++ ";
    s.description = "It's  \"good\"  ";
    s.fileName = "my_page-1.htm";
    const web::PageSaveResult r = web::savePageSettings(s, loaded(1002), conversion);
    ASSERT_TRUE(r.saved) << r.message.toStdString();
    EXPECT_EQ(s.title, "O'Reilly の 「本」");
    EXPECT_EQ(s.keywords, "本,技術,Ｃ++");
    EXPECT_EQ(s.description, "It's \"good\"");
    EXPECT_EQ(s.fileName, "my_page_1.htm");
    const web::PageSettings back = loaded(1002);
    EXPECT_TRUE(back.exists);
    EXPECT_TRUE(back.sameAs(s));
}

TEST(SiteSettingsHead, TheHeadIsRewrittenInEitherQuoteAndRobotsExactly) {
    web::PageOptions o;
    o.title = "古い題";
    o.description = "古い説明";
    o.copyright = "(c) 古い";
    const QString page = web::buildHead(o, true, false, QString()) +
                         QStringLiteral("\r\n<body><p>本文 index,follow</p></body></html>");
    ASSERT_TRUE(page.contains("<meta name=\"description\" content=\"古い説明\">"));

    web::HeadValues v;
    v.title = "新しい題 & <題>";
    v.description = "It's new";
    v.keywords = "a,b";
    v.noIndex = true;
    QString text = web::rewriteHead(page, v, "ラベル");
    EXPECT_TRUE(text.contains("<title>新しい題 &amp; &lt;題&gt;</title>")) << text.toStdString();
    EXPECT_TRUE(text.contains("content=\"It&#39;s new\"")) << "an apostrophe stays in the value";
    EXPECT_TRUE(text.contains("<meta name=\"Keywords\" content=\"a,b\">"));
    EXPECT_FALSE(text.contains("copyright")) << "an emptied value loses its line";
    EXPECT_EQ(text.count("noindex,nofollow"), 1);
    EXPECT_TRUE(text.contains("<p>本文 index,follow</p>")) << "the body is not the head's";
    // The build's order: description, Keywords, copyright, robots, title.
    EXPECT_LT(text.indexOf("description"), text.indexOf("Keywords"));
    EXPECT_LT(text.indexOf("Keywords"), text.indexOf("robots"));

    // Off and on again: exactly one value each time, never "nonoindex".
    for (bool off : {false, true, false}) {
        v.noIndex = off;
        text = web::rewriteHead(text, v, "ラベル");
        EXPECT_EQ(text.count("content=\"noindex,nofollow\""), off ? 1 : 0);
        EXPECT_EQ(text.count("content=\"index,follow\""), off ? 0 : 1);
        EXPECT_FALSE(text.contains("nonoindex"));
    }

    // The single-quoted form of older files, and an empty title takes the label.
    const QString old = QStringLiteral(
        "<html><head><meta name='robots' content='noindex,nofollow'>"
        "<meta name='copyright' content='x'><title>t</title></head><body></body></html>");
    web::HeadValues plain;
    plain.copyright = "y";
    text = web::rewriteHead(old, plain, "ラベル");
    EXPECT_TRUE(text.contains("<meta name='robots' content='index,follow'>")) << text.toStdString();
    EXPECT_TRUE(text.contains("<meta name='copyright' content='y'>"));
    EXPECT_TRUE(text.contains("<title>ラベル</title>"));

    // XHTML: added lines are closed, and the page stays well-formed.
    const QString xhtml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r<html xmlns=\"http://www.w3.org/1999/xhtml\">"
        "\r<head>\r<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\" />\r"
        "<meta name=\"robots\" content=\"index,follow\" />\r<title>t</title>\r</head>\r"
        "<body><p>x</p></body></html>");
    v.noIndex = true;
    text = web::rewriteHead(xhtml, v, "ラベル");
    EXPECT_TRUE(text.contains("<meta name=\"Keywords\" content=\"a,b\" />\r"));
    QXmlStreamReader xml(text);
    while (!xml.atEnd())
        xml.readNext();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << "\n" << text.toStdString();
}

TEST_P(SiteSettingsTest, AHeadChangeRewritesEveryWrittenFileOfThePageAndItsHeirs) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    ASSERT_TRUE(build(UpdateMode::AllPages).started);
    writeTemplate("chapter.htm", mainTemplate());
    web::PageOptions head;
    head.title = "第1章";
    head.copyright = "古い";
    // 1002 and 1005 under it (home and link placement); 1011 elsewhere.
    for (const char* f : {"pub/1002.htm", "pub/1005.htm", "pub/1007_1005.htm", "pub/1011.htm"})
        writePage(f, head);
    const QString untouched = siteFile("pub/1011.htm");
    // Other commands leave the use flag at 0: it does not decide what is rewritten.
    exec("Update tbTree Set boUse=0");
    const QString before1005 = pageChanged(1005);

    web::PageSettings s = loaded(1002);
    s.title = "第1章 改";
    s.copyright = "Ann's";
    s.noIndex = true;
    web::PageSaveResult r = save(s);
    ASSERT_TRUE(r.saved) << r.message.toStdString();
    EXPECT_EQ(r.message, "このﾍﾟｰｼﾞの設定を更新しました出力済みのHtmのﾍｯﾀﾞ部も変更しました");
    EXPECT_EQ(r.affected, (QList<int>{1002, 1005}));
    EXPECT_TRUE(r.marked.isEmpty()) << "a head change needs no new output";
    EXPECT_EQ(pageChanged(1005), before1005);
    EXPECT_EQ(r.headsRewritten, 3);
    for (const char* f : {"pub/1002.htm", "pub/1005.htm", "pub/1007_1005.htm"}) {
        const QString text = siteFile(f);
        EXPECT_TRUE(text.contains("<title>第1章 改</title>")) << f;
        EXPECT_TRUE(text.contains("<meta name=\"copyright\" content=\"Ann&#39;s\">")) << f;
        EXPECT_TRUE(text.contains("content=\"noindex,nofollow\"")) << f;
        EXPECT_FALSE(text.contains("\n")) << "the file keeps its CR line ends";
    }
    EXPECT_EQ(siteFile("pub/1011.htm"), untouched);

    // Robots back on: the exact value again.
    s = loaded(1002);
    s.noIndex = false;
    r = save(s);
    ASSERT_TRUE(r.saved);
    EXPECT_TRUE(
        siteFile("pub/1005.htm").contains("<meta name=\"robots\" content=\"index,follow\">"));
    EXPECT_FALSE(siteFile("pub/1005.htm").contains("nonoindex"));

    // An output change (template) marks the page and its heirs for the next sync.
    s = loaded(1002);
    s.templ = "chapter.htm";
    r = save(s);
    ASSERT_TRUE(r.saved) << r.message.toStdString();
    EXPECT_EQ(r.marked, (QList<int>{1002, 1005}));
    EXPECT_EQ(r.message, "文書No 1002,1005\n以上が再出力が必要です　ｻｲﾄの同期を実行して下さい");
    EXPECT_NE(pageChanged(1005), before1005);
    ageTheSite();
    conversion.converted.clear();
    const web::SiteBuildReport sync = build(UpdateMode::Sync);
    ASSERT_TRUE(sync.started);
    EXPECT_TRUE(conversion.converted.contains(1005));

    // Deleting the row: the page inherits from the top page again, heads included.
    writePage("pub/1002.htm", head);
    r = web::deletePageSettings(1002, conversion);
    ASSERT_TRUE(r.saved) << r.message.toStdString();
    EXPECT_FALSE(loaded(1002).exists);
    EXPECT_FALSE(siteFile("pub/1002.htm").contains("copyright"));
    EXPECT_TRUE(siteFile("pub/1002.htm").contains("<title>第1章</title>")) << "the label";
    EXPECT_EQ(web::deletePageSettings(1001, conversion).saved, false)
        << "the top page keeps its row";
}

TEST_P(SiteSettingsTest, TheTopPagesTemplateMarksEveryPageWithoutARow) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    web::PrepareSiteFolders();
    writeTemplate("other.htm", mainTemplate());
    exec("Update tbHtm Set szTtl='サイト' Where noDoc=1001");
    exec("Insert Into tbHtm (noDoc, szTtl) Values (1002, '章')");
    page(1012, "節", "節の本文");
    place(1002, 1012, 1, "節");
    web::PageSettings s = loaded(1001);
    s.templ = "other.htm";
    const web::PageSaveResult r = save(s);
    ASSERT_TRUE(r.saved) << r.message.toStdString();
    for (int p : {1001, 1003, 1004, 1007, 1010, 1011})
        EXPECT_TRUE(r.marked.contains(p)) << p;
    EXPECT_FALSE(r.marked.contains(1002));
    EXPECT_FALSE(r.marked.contains(1012)) << "below a page with its own row";

    // A new picture format is inherited into msDoc.boPng for the subtree.
    web::PageSettings chapter = loaded(1002);
    chapter.pictureFormat = 2;
    ASSERT_TRUE(save(chapter).saved);
    EXPECT_EQ(db.R_GtVaL("Select boPng From msDoc Where noDoc=1012", 0).toInt(), 1);
    EXPECT_EQ(db.R_GtVaL("Select boPng From msDoc Where noDoc=1011", 0).toInt(), 0);
}

ARBOR_INSTANTIATE_ENGINES(SiteSettingsTest);
