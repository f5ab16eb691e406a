#pragma once
// A small collection on a real document database with a site folder of its own, and a
// stand-in for the HTML conversion whose output is easy to find in the written pages.
//
//   0 ─┬─ 1001 トップ          (template main.htm)
//      │    ├─ 1002 第1章
//      │    │    └─ 1005 付録
//      │    ├─ 1003 お知らせ    collecting: 1004 お知らせA, 1010 お知らせB
//      │    └─ 1007 保護ページ  protected
//      │         └─ 1005 付録リンク (link)
//      ├─ 1008 下書き          hidden
//      │    └─ 1009 下書き1
//      └─ 1011 第2部

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <atomic>
#include <mutex>

#include <gtest/gtest.h>

#include "db/zsvr.h"
#include "support/doc_db.h"
#include "support/scripted_prompter.h"
#include "web/site_build.h"

namespace arbor::test {

// Converts a page's bytes (plain UTF-8 text here) into a recognisable head and body.
class FakeConversion : public web::SiteConversion {
  public:
    QHash<int, QString> customNames;  // page -> file name ("../x.htm" for the site root)
    std::atomic<int> conversions{0};
    mutable std::mutex mutex;
    QSet<int> converted;  // pages converted, guarded by mutex

    bool loadSettings(QString&) override { return true; }
    QString fileName(int parent, int page, bool link) const override;
    QString setDocumentType(const QString& pageText) const override { return pageText; }
    std::unique_ptr<web::PageConverter> converter() const override;
};

class SiteTest : public ::testing::TestWithParam<DbEngine> {
  protected:
    PrompterFixture ui;
    QTemporaryDir user;
    QString savedUserPath;
    QString savedDbName;
    zSvr& db = zSvr::instance();
    FakeConversion conversion;

    void SetUp() override;
    void TearDown() override;

    void exec(const QString& sql);
    void page(int no, const QString& title, const QString& text, int collecting = 0);
    void place(int parent, int child, int order, const QString& label, int link = 0, int hidden = 0,
               int guarded = 0);
    void sample();  // the tree above, with main.htm as the top page's template
    // The site's main template in the skeleton (written before the first build).
    void writeTemplate(const QString& name, const QString& text);
    static QString mainTemplate();

    web::SiteBuildReport build(web::UpdateMode mode, int currentPage = 0, int currentParent = 0,
                               const QDateTime& since = QDateTime());
    QString siteFile(const QString& relative) const;  // text of a written file ("" if none)
    bool siteHas(const QString& relative) const;
    QDateTime published(int parent, int page);
    // Moves the last build an hour back, so that changes made "now" come after it.
    void ageTheSite();
    // Marks a page and its placements changed a minute ago (as a save does).
    void touch(int page);
};

}  // namespace arbor::test
