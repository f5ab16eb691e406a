// arbor site-settings as a team scripts its site set-up: the effective settings with where
// each comes from, changes of the whole site and of a page, the heads of written files,
// and refusals that change nothing.
#include <gtest/gtest.h>

#include "arbor_process.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

using arbor::test::Outcome;

class SiteSettingsCommand : public ::testing::Test {
  protected:
    QTemporaryDir home;
    QString db;

    void SetUp() override {
        db = home.path() + "/サンプル.txdb";
        ASSERT_EQ(arbor({"--sample", db}).code, 0);
        ASSERT_EQ(arbor({"site", db, "--all", "--template", "tpl-fx.htm"}).code, 0);
    }
    Outcome arbor(const QStringList& args) { return ::arbor::test::runArbor(home.path(), args); }
    QString page(const QString& name) const {
        QFile f(home.path() + "/data/Marrow/arbor/Site/サンプル/pub/" + name);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

}  // namespace

TEST_F(SiteSettingsCommand, PrintsAndChangesTheSiteAndAPage) {
    Outcome r = arbor({"site-settings", db});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("doctype        (HiType)  = 0 HTML 4.01 Transitional"));
    EXPECT_TRUE(r.out.contains("文書No 1001")) << r.out.toStdString();

    r = arbor({"site-settings", db, "--set", "doctype=XHTML 1.0 Strict", "--set",
               "alt-url=https://example.jp/docs", "--set", "alt-url-on=on"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("ｻｲﾄ全体の設定を保存しました"));
    EXPECT_TRUE(r.out.contains("= 3 XHTML 1.0 Strict"));
    EXPECT_TRUE(r.out.contains("(HsHome2) = https://example.jp/docs/"));

    // The top page's title and robots: its written file's head changes in place.
    r = arbor({"site-settings", db, "--page", "top", "--set", "title=Arbor の'サイト'", "--set",
               "noindex=1"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("出力済みのHtmのﾍｯﾀﾞ部も変更しました")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("title        (szTtl ) = Arbor の'サイト'   [自身]"));
    const QString top = page("1001.htm");
    EXPECT_TRUE(top.contains("<title>Arbor の&#39;サイト&#39;</title>")) << top.toStdString();
    EXPECT_TRUE(top.contains("content=\"noindex,nofollow\""));

    // A page below inherits and says from where; a template change marks it for the sync.
    r = arbor({"site-settings", db, "--page", "1002", "--set", "template=tpl-el.htm"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("以上が再出力が必要です")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("template     (saTpl ) = tpl-el.htm   [自身]"));
    r = arbor({"site", db});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(page("1002.htm").contains("navi-el.css"));

    // Cleared: the page inherits again.
    r = arbor({"site-settings", db, "--page", "1002", "--clear"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("上位の文書から継承されます"));
    EXPECT_TRUE(r.out.contains("template     (saTpl ) = tpl-fx.htm   [ﾄｯﾌﾟﾍﾟｰｼﾞ 1001 から]"))
        << r.out.toStdString();
}

TEST_F(SiteSettingsCommand, BadValuesChangeNothing) {
    const QString before = arbor({"site-settings", db, "--page", "top"}).out;
    for (const QStringList& args : {QStringList{"--page", "top", "--set", "template=nai.htm"},
                                    QStringList{"--page", "top", "--set", "file-name=../x.htm"},
                                    QStringList{"--page", "top", "--set", "file-name=a b.htm"},
                                    QStringList{"--page", "top", "--set", "sub-pages=nai.htm"},
                                    QStringList{"--page", "top", "--clear"}}) {
        const Outcome r = arbor(QStringList{"site-settings", db} + args);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << args.join(' ').toStdString();
    }
    EXPECT_EQ(arbor({"site-settings", db, "--page", "top"}).out, before);
    for (const QStringList& args :
         {QStringList{"--set", "sitemap-depth=9"}, QStringList{"--set", "doctype=HTML5"},
          QStringList{"--set", "colour=red"}, QStringList{"--set", "title=x"},
          QStringList{"--page", "1002", "--set", "noindex=maybe"}})
        EXPECT_EQ(arbor(QStringList{"site-settings", db} + args).code, 2)
            << args.join(' ').toStdString();
    EXPECT_EQ(arbor({"site-settings", db, "--page", "99999"}).code, 1);
    EXPECT_EQ(arbor({"site-settings"}).code, 2);
}
