// The listing of site files no visible page uses: page files of pages that left the
// visible tree, pictures no page shows, and the move of the chosen ones to the trash.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/program_state.h"
#include "web/site_fixture.h"
#include "web/site_folders.h"
#include "web/unused_site_files.h"

using namespace arbor;
using namespace arbor::test;

namespace {

class UnusedSiteFilesTest : public SiteTest {
  protected:
    void put(const QString& relative, const QByteArray& bytes) {
        const QString path = web::siteRoot() + u'/' + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QStringList listed() {
        QList<web::UnusedFile> files;
        QString error;
        EXPECT_TRUE(web::listUnusedSiteFiles(conversion, files, error)) << error.toStdString();
        QStringList names;
        for (const web::UnusedFile& f : files)
            names << f.relative;
        return names;
    }
};

}  // namespace

TEST_P(UnusedSiteFilesTest, ListsWhatNoVisiblePageUsesAndTrashesTheChosenOnes) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    ASSERT_TRUE(build(web::UpdateMode::AllPages).started);
    // Pictures: one a page shows, one an unpublished page showed, one nobody shows.
    put("pub/1002_files/used.png", "png");
    put("pub/1002_files/old.png", "old picture");
    put("pc_zoom/big.jpg", "zoom");
    put("pub/1009.htm", "<html><body><img src=\"1002_files/old.png\"></body></html>");
    put("pub/0999.htm", "<html><body>a deleted page</body></html>");
    put("pub/extra.htm", "<html><body>linked from a page</body></html>");
    QFile chapter(web::sitePageFolder() + "1002.htm");
    ASSERT_TRUE(chapter.open(QIODevice::Append));
    chapter.write(
        "<img src=\"1002_files/used.png\"><a href=\"extra.htm#top\">x</a>"
        "<a href=\"../pc_zoom/none.jpg\">gone</a>");
    chapter.close();

    const QStringList unused = listed();
    // Page files first, then the rest, each by path.
    EXPECT_EQ(unused, (QStringList{"pub/0999.htm", "pub/1009.htm", "pc_zoom/big.jpg",
                                   "pub/1002_files/old.png"}));

    // Hiding a branch: its files stay in use while written pages still link to them, and
    // become unused once the site is built again without it.
    exec("Update tbTree Set boHide=1 Where noLfP=1001 And noLfC=1002");
    EXPECT_FALSE(listed().contains("pub/1002.htm"));
    exec("Update tbTree Set boHogo=0");  // a protected file would keep its old menu link
    ASSERT_TRUE(build(web::UpdateMode::AllPages).started);
    QStringList hidden = listed();
    EXPECT_TRUE(hidden.contains("pub/1002.htm"));
    EXPECT_TRUE(hidden.contains("pub/1005.htm")) << "published through its link placement only";
    EXPECT_TRUE(hidden.contains("pub/1002_files/used.png"));
    EXPECT_FALSE(hidden.contains("pub/1007_1005.htm"));
    exec("Update tbTree Set boHide=0 Where noLfP=1001 And noLfC=1002");
    ASSERT_TRUE(build(web::UpdateMode::AllPages).started);
    chapter.setFileName(web::sitePageFolder() + "1002.htm");
    ASSERT_TRUE(chapter.open(QIODevice::Append));
    chapter.write("<img src=\"1002_files/used.png\"><a href=\"extra.htm#top\">x</a>");
    chapter.close();

    // The use flag: 1 for every page with a visible placement, 0 for the rest.
    QString error;
    ASSERT_TRUE(web::recomputePageUse(error)) << error.toStdString();
    EXPECT_EQ(db.R_GtVaL("Select boUse From msDoc Where noDoc=1005", -1).toInt(), 1);
    EXPECT_EQ(db.R_GtVaL("Select boUse From msDoc Where noDoc=1008", -1).toInt(), 0);
    EXPECT_EQ(db.R_GtVaL("Select boUse From msDoc Where noDoc=1009", -1).toInt(), 0);
    EXPECT_EQ(db.R_GtVaL("Select Count(*) From msDoc Where boUse=1", -1).toInt(), 8);

    QList<web::UnusedFile> files;
    ASSERT_TRUE(web::listUnusedSiteFiles(conversion, files, error));
    ASSERT_FALSE(files.isEmpty());
    EXPECT_EQ(files.front().size, QFileInfo(files.front().path).size());
    EXPECT_TRUE(files.front().pageFile);

    // To the trash (a trash of the test's own), by name only.
    QTemporaryDir trashHome;
    QDir().mkpath(trashHome.filePath("Trash/files"));
    QDir().mkpath(trashHome.filePath("Trash/info"));
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", trashHome.path().toUtf8());
    QStringList failed;
    const int moved =
        web::trashFiles({web::sitePageFolder() + "0999.htm", web::siteRoot() + "/pc_zoom/big.jpg",
                         web::sitePageFolder() + "nothing-*.htm"},
                        failed);
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
    EXPECT_EQ(moved, 2);
    EXPECT_EQ(failed, QStringList{web::sitePageFolder() + "nothing-*.htm"});
    EXPECT_EQ(listed(), (QStringList{"pub/1009.htm", "pub/1002_files/old.png"}));
    EXPECT_TRUE(QFileInfo::exists(web::sitePageFolder() + "1002.htm"));

    EXPECT_EQ(web::sizeText(512), "512 B");
    EXPECT_EQ(web::sizeText(1536), "1.5 KB");
    EXPECT_EQ(web::sizeText(3 * 1024 * 1024), "3.0 MB");
}

ARBOR_INSTANTIATE_ENGINES(UnusedSiteFilesTest);
