// Conversions share nothing but the settings they read: pages converted on several
// threads at once come out exactly as converted one after the other.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <atomic>
#include <thread>
#include <vector>

#include "editor/link_fields.h"
#include "web/html_converter.h"
#include "web_test_pages.h"

using namespace arbor;
using namespace arbor::test;

namespace {

TEST(ReentrancyTest, PagesConvertedOnSeveralThreadsMatchThoseConvertedInTurn) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const web::HtmlSiteSettings site = siteSettings(dir.path());
    constexpr int kPages = 24;
    std::vector<QByteArray> bytes;
    for (int i = 0; i < kPages; ++i) {
        PageBuilder b;
        b.paragraph(kHeading1, QStringLiteral("ページ %1").arg(i));
        // Pages differ in their styles, so each has its own class table.
        for (int k = 0; k <= i % 4; ++k)
            b.paragraph(k % 2 ? kNote : kBody, QStringLiteral("本文 %1 の %2").arg(i).arg(k));
        b.paragraph(kBody, QString()).field(QStringLiteral("次"), tagData(1001 + i + 1));
        if (i % 3 == 0)
            b.table(2, 3);
        if (i % 4 == 0)
            b.paragraph(kBody, QString()).picture(pngPicture(QColor(i * 10, 0, 0)));
        bytes.push_back(b.page().saveBytes());
    }
    const auto options = [&](int i) {
        web::PageOptions page;
        page.pageNumber = 1001 + i;
        page.title = QStringLiteral("題 %1").arg(i);
        page.targetPath = site.pubFolder + QString::number(1001 + i) + QStringLiteral(".htm");
        return page;
    };
    std::vector<web::ConversionResult> inTurn;
    for (int i = 0; i < kPages; ++i)
        inTurn.push_back(web::convertPageBytes(bytes[i], options(i), site));

    std::vector<web::ConversionResult> parallel(kPages);
    std::atomic<int> next{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w)
        workers.emplace_back([&] {
            for (int i = next++; i < kPages; i = next++)
                parallel[i] = web::convertPageBytes(bytes[i], options(i), site);
        });
    for (std::thread& w : workers)
        w.join();
    for (int i = 0; i < kPages; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(inTurn[i].ok) << inTurn[i].error.toStdString();
        EXPECT_TRUE(parallel[i].ok);
        EXPECT_EQ(parallel[i].head, inTurn[i].head);
        EXPECT_EQ(parallel[i].body, inTurn[i].body);
    }
    EXPECT_TRUE(inTurn[4].body.contains(QStringLiteral("Images/1005_001.jpg")));
    EXPECT_TRUE(inTurn[0].body.contains(QStringLiteral("href=\"1002.htm\"")));
}

}  // namespace
