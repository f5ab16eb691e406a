// The link checker on real databases: internal links against the tree and the hidden
// branches, file links and their repair, enlarged pictures, damaged pages, and web
// addresses against a local server (on SQLite and PostgreSQL where the database matters).
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include "app/program_state.h"
#include "app/progress.h"
#include "db/result_array.h"
#include "db/zsvr.h"
#include "editor/link_fields.h"
#include "editor/rich_text.h"
#include "editor/sample_collection.h"
#include "support/doc_db.h"
#include "support/local_http_server.h"
#include "support/scripted_prompter.h"
#include "web/head_requests.h"
#include "web/link_check.h"
#include "web/zoom_pictures.h"

using namespace arbor;
using namespace arbor::test;
using web::LinkRow;

namespace {

struct Link {
    QString text;
    QString data;
};

class LinkCheckTest : public ::testing::TestWithParam<DbEngine> {
  protected:
    PrompterFixture ui;
    QTemporaryDir user;
    QString savedUserPath;
    zSvr& db = zSvr::instance();

    void SetUp() override {
        savedUserPath = G().UserPath;
        G().UserPath = user.path() + u'/';
    }
    void TearDown() override {
        db.D_Close();
        G().UserPath = savedUserPath;
    }
    static QByteArray pageBytes(const QList<Link>& links) {
        RichText text;
        text.insertText(QStringLiteral("本文 "));
        for (const Link& l : links) {
            text.insertField(l.text, l.data);
            text.insertText(QStringLiteral(" "));
        }
        return text.saveBytes();
    }
    void page(int no, const QString& title, const QList<Link>& links) {
        pageRaw(no, title, pageBytes(links));
    }
    void pageRaw(int no, const QString& title, const QByteArray& bytes) {
        ASSERT_TRUE(db.execBound(QStringLiteral("Insert Into msDoc (noDoc, szDoc, txDoc, obDoc, "
                                                "saTgs, boCod, dyUdt, wkRnd) Values (?, ?, ?, ?, "
                                                "?, 0, ?, ?)"),
                                 {no, title, title, bytes, QStringLiteral(".1002."),
                                  QDateTime(QDate(2020, 1, 1), QTime(0, 0)), no}))
            << db.lastError().toStdString();
    }
    void place(int parent, int child, int order, int link = 0, int hidden = 0) {
        ASSERT_TRUE(db.execBound(QStringLiteral("Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, "
                                                "boLnk, boHide, boHogo, boUse) Values (?, ?, ?, ?, "
                                                "?, ?, 0, 1)"),
                                 {parent, child, order, QStringLiteral("ラベル"), link, hidden}))
            << db.lastError().toStdString();
    }
    QString treeState() {
        ResultArray rows;
        EXPECT_TRUE(db.readRows(QStringLiteral("Select noLfP, noLfC, boHide, boUse From tbTree "
                                               "Order By noLfP, noLfC"),
                                rows));
        QString s;
        for (int r = 0; r < rows.rowCount(); ++r)
            s += QStringLiteral("%1-%2:%3/%4 ")
                     .arg(rows(0, r).toInt())
                     .arg(rows(1, r).toInt())
                     .arg(rows(2, r).toInt())
                     .arg(rows(3, r).toInt());
        return s;
    }
    static const LinkRow* row(const web::LinkCheckReport& report, int page, const QString& text) {
        for (const LinkRow& r : report.rows)
            if (r.page == page && r.text == text)
                return &r;
        return nullptr;
    }
    QList<fields::Field> storedFields(int page) {
        ResultArray rows;
        EXPECT_TRUE(db.readRows(
            QStringLiteral("Select obDoc From msDoc Where noDoc=") + QString::number(page), rows));
        RichText text;
        QString error;
        EXPECT_TRUE(text.loadBytes(rows(0, 0).toByteArray(), error));
        return text.allFields();
    }
};

web::LinkCheckOptions offline() {
    web::LinkCheckOptions o;
    o.checkWeb = false;
    return o;
}

}  // namespace

// 0 ─┬─ 1001 トップ (the links)
//    │    └─ 1002 第1章 ── 1005 (link placement)
//    ├─ 1003 下書き (hidden) ── 1004 (not hidden itself) ── 1006
//    │                     └── 1005 (home placement)
//    └─ 1007 (top level, no links of its own)
TEST_P(LinkCheckTest, InternalLinksAgainstTheTreeAndItsHiddenBranches) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    page(1001, QStringLiteral("トップ"),
         {{QStringLiteral("章"), QStringLiteral("TG_1002")},
          {QStringLiteral("小文字"), QStringLiteral("tg_1002")},
          {QStringLiteral("無い"), QStringLiteral("TG_9999")},
          {QStringLiteral("無い2"), QStringLiteral("TG_9999")},
          {QStringLiteral("下書きの下"), QStringLiteral("TG_1004")},
          {QStringLiteral("下書きの下2"), QStringLiteral("TG_1004")},
          {QStringLiteral("見えるリンク"), QStringLiteral("TG_1002_1005")},
          {QStringLiteral("見えない本体"), QStringLiteral("TG_1005")},
          {QStringLiteral("隠れた配置"), QStringLiteral("TG_1003_1004")},
          {QStringLiteral("用語"), QStringLiteral("TP_ＨＴＭＬ")},
          {QStringLiteral("枠"), objectData(QStringLiteral("<iframe src='x'></iframe>"))},
          {QStringLiteral("相対"), QStringLiteral("../pub/002.htm")},
          {QStringLiteral("数字でない"), QStringLiteral("TG_abc")}});
    page(1002, QStringLiteral("第1章"), {});
    page(1003, QStringLiteral("下書き"), {});
    page(1004, QStringLiteral("下書きの子"),
         {{QStringLiteral("見ない"), QStringLiteral("TG_8888")}});
    page(1005, QStringLiteral("付録"), {});
    page(1006, QStringLiteral("孫"), {{QStringLiteral("見ない"), QStringLiteral("TG_7777")}});
    page(1007, QStringLiteral("第2部"), {});
    place(0, 1001, 0);
    place(1001, 1002, 0);
    place(1002, 1005, 0, 1);
    place(0, 1003, 1, 0, 1);
    place(1003, 1004, 0);
    place(1004, 1006, 0);
    place(1003, 1005, 1);
    place(0, 1007, 2);
    const QString before = treeState();

    const web::LinkCheckReport report = web::CheckLinks(offline());
    ASSERT_TRUE(report.ok) << report.error.toStdString();
    EXPECT_EQ(report.pages, 4) << "1001, 1002, 1005 (through its link) and 1007";
    EXPECT_EQ(report.hiddenByAncestry, 3) << "1003-1004, 1004-1006 and 1003-1005";
    EXPECT_EQ(report.rows.size(), 12) << "no row for the term, none from the hidden branch";
    for (const LinkRow& r : report.rows)
        EXPECT_EQ(r.page, 1001);

    auto expectRow = [&](const QString& text, bool broken, const QString& value,
                         const QString& finding) {
        const LinkRow* r = row(report, 1001, text);
        ASSERT_NE(r, nullptr) << text.toStdString();
        EXPECT_EQ(r->broken, broken) << text.toStdString();
        EXPECT_EQ(r->mark(), broken ? QStringLiteral(" × ") : QStringLiteral(" ○ "));
        EXPECT_EQ(r->value, value);
        EXPECT_EQ(r->finding, finding) << text.toStdString();
        EXPECT_EQ(r->title, QStringLiteral("トップ"));
    };
    expectRow(QStringLiteral("章"), false, QStringLiteral("Page No:1002"), QString());
    expectRow(QStringLiteral("小文字"), false, QStringLiteral("Page No:1002"), QString());
    expectRow(QStringLiteral("無い"), true, QStringLiteral("Page No:9999"),
              QStringLiteral("9999 文書がありません"));
    expectRow(QStringLiteral("下書きの下"), true, QStringLiteral("Page No:1004"),
              QStringLiteral("1004 ﾍﾟｰｼﾞが非公開です"));
    expectRow(QStringLiteral("見えるリンク"), false, QStringLiteral("Page No:1002_1005"),
              QString());
    expectRow(QStringLiteral("見えない本体"), true, QStringLiteral("Page No:1005"),
              QStringLiteral("1005 ﾍﾟｰｼﾞが非公開です"));
    expectRow(QStringLiteral("隠れた配置"), true, QStringLiteral("Page No:1003_1004"),
              QStringLiteral("1004 ﾍﾟｰｼﾞが非公開です"));
    expectRow(QStringLiteral("枠"), false, QStringLiteral("<iframe src='x'></iframe>"), QString());
    expectRow(QStringLiteral("相対"), false, QStringLiteral("../pub/002.htm"), QString());
    expectRow(QStringLiteral("数字でない"), true, QStringLiteral("Page No:abc"),
              QStringLiteral("abc 文書がありません"));

    // Each target once; a missing page has no title, so its link's text stands in.
    EXPECT_EQ(report.missing, QStringLiteral(",無い (9999),数字でない (abc),"));
    EXPECT_EQ(report.nonPublic, QStringLiteral(",下書きの子 (1004),付録 (1005),"));
    EXPECT_EQ(report.repaired, QStringLiteral(","));
    EXPECT_EQ(report.brokenCount(), 7);
    // The tree is left as it was: no hide marks, no use marks.
    EXPECT_EQ(treeState(), before);

    const QString clip = web::clipboardText(report);
    EXPECT_TRUE(clip.contains(
        QStringLiteral(" × \t1001\tトップ\t無い\tPage No:9999\t9999 文書がありません\n")));
    EXPECT_TRUE(clip.contains(QStringLiteral("該当がない、内部文書\n,無い (9999),")));
    EXPECT_TRUE(clip.contains(QStringLiteral("公開されていない、文書\n,下書きの子 (1004),")));
}

TEST_P(LinkCheckTest, FileLinksIntoAnotherUserFolderAreRepaired) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    const QString site = G().UserPath + QStringLiteral("Site/") + G().DbName;
    ASSERT_TRUE(QDir().mkpath(site + QStringLiteral("/pub")));
    QFile existing(site + QStringLiteral("/pub/001 ページ.htm"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    const QString name = G().DbName;
    const QString elsewhere = QStringLiteral("/home/前の人/Marrow/arbor/Site/") + name;
    page(1001, QStringLiteral("トップ"),
         {{QStringLiteral("ある"), existing.fileName()},
          {QStringLiteral("移った"), elsewhere + QStringLiteral("/pub/001 ページ.htm")},
          {QStringLiteral("URL"),
           QUrl::fromLocalFile(elsewhere + QStringLiteral("/pub/001 ページ.htm")).toString() +
               QStringLiteral("#節")},
          {QStringLiteral("窓"), QStringLiteral("C:\\Users\\前\\Marrow\\Site\\") + name +
                                     QStringLiteral("\\pub\\001 ページ.htm")},
          {QStringLiteral("名前違い"),
           QStringLiteral("/x/Site/") + name + QStringLiteral("x/pub/001 ページ.htm")},
          {QStringLiteral("無い"), elsewhere + QStringLiteral("/pub/999.htm")},
          {QStringLiteral("章"), QStringLiteral("TG_1001")}});
    place(0, 1001, 0);

    // Without repair the links are broken and say where they could lead.
    web::LinkCheckOptions noRepair = offline();
    noRepair.repair = false;
    web::LinkCheckReport report = web::CheckLinks(noRepair);
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(report.brokenCount(), 5);
    EXPECT_TRUE(row(report, 1001, QStringLiteral("移った"))->finding.contains(existing.fileName()));
    EXPECT_EQ(storedFields(1001)[1].data, elsewhere + QStringLiteral("/pub/001 ページ.htm"));

    report = web::CheckLinks(offline());
    ASSERT_TRUE(report.ok);
    EXPECT_FALSE(row(report, 1001, QStringLiteral("ある"))->broken);
    for (const QString& text :
         {QStringLiteral("移った"), QStringLiteral("URL"), QStringLiteral("窓")}) {
        const LinkRow* r = row(report, 1001, text);
        EXPECT_FALSE(r->broken) << text.toStdString();
        EXPECT_TRUE(r->repaired) << text.toStdString();
    }
    EXPECT_TRUE(row(report, 1001, QStringLiteral("名前違い"))->broken);
    EXPECT_TRUE(row(report, 1001, QStringLiteral("無い"))->broken);
    EXPECT_EQ(report.repaired, QStringLiteral(",トップ (1001),"));

    const QList<fields::Field> stored = storedFields(1001);
    ASSERT_EQ(stored.size(), 7);
    EXPECT_EQ(stored[1].data, existing.fileName());
    QUrl url(stored[2].data);
    EXPECT_EQ(url.toLocalFile(), existing.fileName());
    EXPECT_EQ(url.fragment(), QStringLiteral("節"));
    EXPECT_EQ(stored[3].data, existing.fileName());
    EXPECT_EQ(stored[5].data, elsewhere + QStringLiteral("/pub/999.htm"));
    EXPECT_EQ(stored[6].data, QStringLiteral("TG_1001"));
    // The page counts as changed for the next synchronisation; its tag set is kept right.
    EXPECT_EQ(db.R_GtVaL(QStringLiteral("Select saTgs From msDoc Where noDoc=1001"), "").toString(),
              QStringLiteral(".1001."));
    EXPECT_GT(db.R_GtVaL(QStringLiteral("Select dyUdt From msDoc Where noDoc=1001"), QVariant())
                  .toDateTime(),
              QDateTime(QDate(2020, 1, 1), QTime(0, 0)));

    // A second run finds nothing left to repair.
    report = web::CheckLinks(offline());
    EXPECT_EQ(report.repaired, QStringLiteral(","));
    EXPECT_EQ(report.brokenCount(), 2);
}

TEST_P(LinkCheckTest, DamagedPagesAreReportedAndTheRunGoesOn) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    pageRaw(1001, QStringLiteral("壊れた"),
            QByteArray("\x89"
                       "ArbTx\r\n garbage",
                       17));
    page(1002, QStringLiteral("無事"), {{QStringLiteral("無い"), QStringLiteral("TG_5")}});
    pageRaw(1003, QStringLiteral("空"), QByteArray());
    place(0, 1001, 0);
    place(0, 1002, 1);
    place(0, 1003, 2);
    const web::LinkCheckReport report = web::CheckLinks(offline());
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(report.damaged, 1);
    ASSERT_EQ(report.rows.size(), 2);
    EXPECT_EQ(report.rows[0].page, 1001);
    EXPECT_EQ(report.rows[0].linkClass, web::LinkClass::Unreadable);
    EXPECT_TRUE(report.rows[0].broken);
    EXPECT_TRUE(report.rows[0].finding.startsWith(QStringLiteral("文書データを読み込めません")))
        << report.rows[0].finding.toStdString();
    EXPECT_EQ(report.rows[1].finding, QStringLiteral("5 文書がありません"));
}

ARBOR_INSTANTIATE_ENGINES(LinkCheckTest);

TEST(LinkValues, FileLinksAndEnlargedPictureNames) {
    EXPECT_EQ(web::fileLinkPath(QStringLiteral("/a/b c.htm")), QStringLiteral("/a/b c.htm"));
    EXPECT_EQ(web::fileLinkPath(QStringLiteral("file:///a/b%20c.htm#x")),
              QStringLiteral("/a/b c.htm"));
    EXPECT_EQ(web::fileLinkPath(QStringLiteral("D:\\site\\x.htm")),
              QStringLiteral("D:\\site\\x.htm"));
    EXPECT_TRUE(web::fileLinkPath(QStringLiteral("//cdn.example/x.js")).isEmpty());
    EXPECT_TRUE(web::fileLinkPath(QStringLiteral("http://a/b")).isEmpty());
    EXPECT_TRUE(web::fileLinkPath(QStringLiteral("../pub/x.htm")).isEmpty());
    EXPECT_TRUE(web::isWebAddress(QStringLiteral("HTTPS://a/")));
    EXPECT_FALSE(web::isWebAddress(QStringLiteral("mailto:a@b")));

    EXPECT_EQ(web::zoomPictureName(QStringLiteral("../pc_zoom/%E5%A4%A7.jpg#x")),
              QStringLiteral("大.jpg"));
    EXPECT_EQ(web::zoomPictureName(QStringLiteral("/u/Site/d/pc_zoom/50%25.png")),
              QStringLiteral("50%25.png"));
    EXPECT_EQ(web::zoomPictureName(QStringLiteral("C:\\Site\\d\\pc_zoom\\a.gif")),
              QStringLiteral("a.gif"));
    EXPECT_EQ(web::zoomPictureName(QStringLiteral("http://x/pc_zoom/b.png?v=2")),
              QStringLiteral("b.png"));
    EXPECT_TRUE(web::zoomPictureName(QStringLiteral("http://x/pub/b.png")).isEmpty());
}

TEST_P(LinkCheckTest, EnlargedPicturesNoLinkRefersToAreListedAndRemoved) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    QTemporaryDir data;  // the trash of this test
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const QString zoom =
        G().UserPath + QStringLiteral("Site/") + G().DbName + QStringLiteral("/pc_zoom");
    ASSERT_TRUE(QDir().mkpath(zoom));
    for (const char* name : {"a.png", "大.jpg", "c.JPG", "d.gif", "note.txt", "e.bmp"}) {
        QFile f(zoom + u'/' + QString::fromUtf8(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    page(1001, QStringLiteral("写真"),
         {{QStringLiteral("拡大"), QStringLiteral("../pc_zoom/%E5%A4%A7.jpg")},
          {QStringLiteral("拡大2"), zoom + QStringLiteral("/a.png")}});
    page(1002, QStringLiteral("隠れた写真"),
         {{QStringLiteral("拡大3"), QStringLiteral("../pc_zoom/e.bmp")}});
    place(0, 1001, 0);
    place(0, 1002, 1, 0, 1);
    const web::LinkCheckReport report = web::CheckLinks(offline());
    EXPECT_EQ(report.zoomReferenced,
              QStringList({QStringLiteral("大.jpg"), QStringLiteral("a.png")}));
    EXPECT_EQ(row(report, 1001, QStringLiteral("拡大"))->value,
              QStringLiteral("pc_zoom/%E5%A4%A7.jpg"));
    const QStringList unused = web::unreferencedZoomPictures(zoom, report.zoomReferenced);
    EXPECT_EQ(unused, QStringList({QStringLiteral("c.JPG"), QStringLiteral("d.gif"),
                                   QStringLiteral("e.bmp")}));

    ui.prompter.answers = {Answer::Cancel};
    EXPECT_TRUE(web::deleteZoomPictures(zoom, unused).isEmpty());
    EXPECT_EQ(ui.prompter.messages.last(), QStringLiteral("参照されていない拡大画像を削除します"));
    EXPECT_TRUE(QFile::exists(zoom + QStringLiteral("/c.JPG")));

    EXPECT_EQ(web::deleteZoomPictures(zoom, unused), unused);
    EXPECT_EQ(ui.prompter.messages.last(), QStringLiteral("c.JPG,d.gif,e.bmp を削除しました"));
    EXPECT_EQ(QDir(zoom).entryList(QDir::Files, QDir::Name),
              QStringList(
                  {QStringLiteral("a.png"), QStringLiteral("note.txt"), QStringLiteral("大.jpg")}));
    EXPECT_TRUE(web::deleteZoomPictures(zoom, {}).isEmpty());
    EXPECT_EQ(ui.prompter.messages.last(), QStringLiteral("対象がありません"));
    if (savedData.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", savedData);
}

// ---- web addresses, against servers on this machine

TEST(HeadRequests, StatusesRedirectsGarbageAndSilence) {
    LocalHttpServer server;
    ASSERT_TRUE(server.start());
    LocalHttpServer silent;  // takes connections, answers nothing
    ASSERT_TRUE(silent.start());
    const QString b = server.base();
    const QString s = silent.base();
    QStringList addresses{b + "/ok",
                          b + "/ok#節",
                          b + "/ok page with spaces",
                          b + "/ok/日本語のページ",
                          b + "/moved",
                          b + "/gone",
                          b + "/nohead",
                          b + "/garbage",
                          "http://",
                          "http:no-host",
                          b + "/ok"};
    for (int i = 0; i < 20; ++i)
        addresses << s + "/silent/" + QString::number(i);
    web::HeadOptions options;
    options.timeoutMs = 1500;
    bool cancelled = true;
    const auto results = web::sendHeadRequests(addresses, options, cancelled);
    EXPECT_FALSE(cancelled);
    ASSERT_EQ(results.size(), addresses.size() - 1) << "the repeated address is one result";

    for (const QString& ok : QStringList{b + "/ok", b + "/ok#節", b + "/ok page with spaces",
                                         b + "/ok/日本語のページ"}) {
        EXPECT_TRUE(results[ok].reached) << ok.toStdString();
        EXPECT_EQ(results[ok].finding, QStringLiteral("HTTP 200 OK")) << ok.toStdString();
    }
    EXPECT_TRUE(results[b + "/moved"].reached);
    EXPECT_EQ(results[b + "/moved"].finding,
              QStringLiteral("HTTP 200 OK (転送先 ") + b + QStringLiteral("/ok)"));
    EXPECT_FALSE(results[b + "/gone"].reached);
    EXPECT_EQ(results[b + "/gone"].finding, QStringLiteral("HTTP 404 Not Found"));
    EXPECT_TRUE(results[b + "/nohead"].reached) << "the server is there, it takes no HEAD";
    EXPECT_FALSE(results[b + "/garbage"].reached);
    EXPECT_EQ(results[b + "/garbage"].status, 0);
    EXPECT_FALSE(results["http://"].reached);
    EXPECT_EQ(results["http://"].finding, QStringLiteral("ｱﾄﾞﾚｽが不正です"));
    EXPECT_FALSE(results["http:no-host"].reached);
    // The fragment is no part of the request, spaces and Japanese are sent encoded.
    // One request for "/ok" with and without its fragment, one at the end of the redirect.
    EXPECT_EQ(server.requests.count(QStringLiteral("HEAD /ok HTTP/1.1")), 2);
    EXPECT_TRUE(
        server.requests.contains(QStringLiteral("HEAD /ok%20page%20with%20spaces HTTP/1.1")));
    EXPECT_TRUE(server.requests.contains(QStringLiteral(
        "HEAD /ok/%E6%97%A5%E6%9C%AC%E8%AA%9E%E3%81%AE%E3%83%9A%E3%83%BC%E3%82%B8 HTTP/1.1")));

    // Twenty addresses of a silent host cost the requests of one round, not twenty.
    for (int i = 0; i < 20; ++i) {
        const web::HeadResult& r = results[s + "/silent/" + QString::number(i)];
        EXPECT_FALSE(r.reached);
        EXPECT_TRUE(r.finding.startsWith(QStringLiteral("応答がありません (2 秒)")))
            << r.finding.toStdString();
    }
    EXPECT_LE(silent.requests.size(), options.perHost);
}

TEST(HeadRequests, TheProgressStopsTheRequests) {
    LocalHttpServer silent;
    ASSERT_TRUE(silent.start());
    struct Stopper : Progress {
        int steps = 0;
        void status(const QString&) override {}
        void showWait(const QString&) override {}
        void hideWait() override {}
        void step(qint64, qint64) override { ++steps; }
        bool cancelRequested() override { return true; }
    } stopper;
    Progress* previous = setProgress(&stopper);
    web::HeadOptions options;
    options.timeoutMs = 60000;
    bool cancelled = false;
    QElapsedTimer clock;
    clock.start();
    const auto results = web::sendHeadRequests({silent.base() + "/silent"}, options, cancelled);
    setProgress(previous);
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(results.isEmpty());
    EXPECT_LT(clock.elapsed(), 30000) << "stopped long before the timeout";
}

// The sample collection, its web address sent through a proxy on this machine that
// refuses the tunnel of an https address.
TEST(LinkCheckSample, TheSampleCollectionsLinksAndMarks) {
    PrompterFixture ui;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("サンプル.txdb"));
    QString error;
    ASSERT_TRUE(createSampleCollection(path, QStringLiteral(ARBOR_TEST_APDATA "schema.sql"), error))
        << error.toStdString();
    bool ok = false;
    zSvr::instance().D_StDcDb(path, ok);
    ASSERT_TRUE(ok);
    LocalHttpServer proxy;
    ASSERT_TRUE(proxy.start());
    web::LinkCheckOptions options;
    options.web.proxy = QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", proxy.serverPort());
    options.web.timeoutMs = 5000;
    const web::LinkCheckReport report = web::CheckLinks(options);
    zSvr::instance().D_Close();
    ASSERT_TRUE(report.ok);
    QStringList lines;
    for (const LinkRow& r : report.rows)
        lines << r.mark() + QString::number(r.page) + u' ' + r.text + u' ' + r.value +
                     (r.broken ? QStringLiteral(" !") : QString());
    EXPECT_EQ(
        lines,
        QStringList({" ○ 1001 第1章 はじめての文書 Page No:1002",
                     " ○ 1001 第2章 ツリーの使い方 Page No:1003", " ○ 1001 お知らせ Page No:1004",
                     " × 1001 https://example.jp/arbor/ https://example.jp/arbor/ !",
                     " ○ 1002 第2章 Page No:1003", " ○ 1003 Arbor へようこそ Page No:1001",
                     " ○ 1003 [Iframe:<iframe src='https://example.jp/map'></iframe>] "
                     "<iframe src='https://example.jp/map'></iframe>"}))
        << lines.join('\n').toStdString();
    EXPECT_TRUE(report.rows[3].finding.startsWith(QStringLiteral("応答が不正です (")))
        << report.rows[3].finding.toStdString();
    EXPECT_TRUE(proxy.requests.contains(QStringLiteral("CONNECT example.jp:443 HTTP/1.1")))
        << proxy.requests.join('\n').toStdString();
    EXPECT_EQ(report.missing, QStringLiteral(","));
    EXPECT_EQ(report.nonPublic, QStringLiteral(","));
    EXPECT_EQ(report.hiddenByAncestry, 1) << "the memo below the hidden drafts";
}
