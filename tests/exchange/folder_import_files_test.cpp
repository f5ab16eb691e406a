// The folder import's view of a folder before anything is written: which files and
// folders become pages, their order and parents, what is left out and why, and which
// links lead to imported pages.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "exchange/folder_import_links.h"
#include "exchange/folder_import_scan.h"

using namespace arbor::folderimport;

namespace {

class FolderScanTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;

    void write(const QString& relative, const QByteArray& bytes) {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(bytes);
    }
    // "name <- parent name" for every page, in scan order.
    QStringList outline(const FolderScan& scan) {
        QStringList lines;
        for (const SourcePage& p : scan.pages)
            lines << p.name + " <- " + (p.parent < 0 ? QString("-") : scan.pages[p.parent].name) +
                         " #" + QString::number(p.order);
        return lines;
    }
};

}  // namespace

TEST_F(FolderScanTest, FilesFoldersAndTheirOrder) {
    write("10-ten.md", "# ten");
    write("2-two.html", "<p>two</p>");
    write("2-two/b.txt", "b");
    write("2-two/a.htm", "a");
    write("2-two/a/deep.txt", "deep");  // children of a.htm, inside 2-two
    write("folder/x.txt", "x");         // a folder without a page file is a page
    write("folder/sub/y.txt", "y");
    write("images/pic.png", "not a page");     // no page file: no page
    write("empty/sub/readme.rtf", "no page");  // nothing below either
    write(".hidden.html", "hidden");
    write(".git/config.txt", "hidden too");
    write("notes.TXT", "upper-case extension");
    write("style.css", "body{}");
    const FolderScan scan = scanFolder(dir.path());
    EXPECT_EQ(outline(scan),
              QStringList({"2-two <- - #0", "a <- 2-two #0", "deep <- a #0", "b <- 2-two #1",
                           "10-ten <- - #1", "folder <- - #2", "sub <- folder #0", "y <- sub #0",
                           "x <- folder #1", "notes <- - #3"}));
    EXPECT_TRUE(scan.skipped.isEmpty());
    EXPECT_EQ(scan.pages[0].kind, SourceKind::Html);
    EXPECT_EQ(scan.pages[4].kind, SourceKind::Markdown);
    EXPECT_EQ(scan.pages[5].kind, SourceKind::Folder);
    EXPECT_EQ(scan.pages[5].path, QDir::cleanPath(dir.filePath("folder")));
    EXPECT_EQ(scan.pages[9].kind, SourceKind::Text);
}

TEST_F(FolderScanTest, BadFilesAreReportedAndLeftOut) {
    write("good.txt", "良い");
    write("empty.md", "");
    write("blank.txt", " \n\t\n");
    write("binary.txt", QByteArray("ab\x81\x20\xff\xfe\x80 cd", 10));
    // A page file that cannot be read leaves its folder a page of its own.
    write("broken.html", "");
    write("broken/child.txt", "child");
    const FolderScan scan = scanFolder(dir.path());
    EXPECT_EQ(outline(scan), QStringList({"broken <- - #0", "child <- broken #0", "good <- - #1"}));
    EXPECT_EQ(scan.pages[0].kind, SourceKind::Folder);
    QStringList skipped;
    for (const SkippedFile& s : scan.skipped)
        skipped << QFileInfo(s.path).fileName() + ": " + s.reason;
    ASSERT_EQ(skipped.size(), 4) << skipped.join("\n").toStdString();
    EXPECT_TRUE(skipped[0].startsWith("binary.txt: 文字コードを判別できません"));
    EXPECT_EQ(skipped[1], "blank.txt: 空のファイルです");
    EXPECT_EQ(skipped[2], "broken.html: 空のファイルです");
    EXPECT_EQ(skipped[3], "empty.md: 空のファイルです");
}

TEST_F(FolderScanTest, TextIsDecodedAsTheEditorDecodesIt) {
    write("sjis.txt", QByteArray("\x93\xfa\x96\x7b\x8c\xea"));  // 日本語 in Shift-JIS
    write("declared.html",
          QByteArray("<meta charset=\"euc-jp\"><p>\xc6\xfc\xcb\xdc\xb8\xec</p>"));  // EUC-JP
    write("bom.md", QByteArray("\xef\xbb\xbf# 見出し"));
    QString text, reason;
    ASSERT_TRUE(readPageText(dir.filePath("sjis.txt"), SourceKind::Text, text, reason));
    EXPECT_EQ(text, "日本語");
    ASSERT_TRUE(readPageText(dir.filePath("declared.html"), SourceKind::Html, text, reason));
    EXPECT_TRUE(text.contains("日本語"));
    ASSERT_TRUE(readPageText(dir.filePath("bom.md"), SourceKind::Markdown, text, reason));
    EXPECT_EQ(text, "# 見出し");
    EXPECT_FALSE(readPageText(dir.filePath("missing.txt"), SourceKind::Text, text, reason));
    EXPECT_TRUE(reason.startsWith("読み込めません"));
}

TEST_F(FolderScanTest, FolderLinksThatLoopAreWalkedOnce) {
    write("a/page.txt", "page");
    ASSERT_TRUE(QFile::link(dir.filePath("a"), dir.filePath("a/again")));
    const FolderScan scan = scanFolder(dir.path());
    EXPECT_EQ(outline(scan), QStringList({"a <- - #0", "page <- a #0"}));
}

TEST(FolderImportOrder, NaturalOrder) {
    EXPECT_TRUE(naturalLess("2.html", "10.html"));
    EXPECT_TRUE(naturalLess("page9", "page10"));
    EXPECT_FALSE(naturalLess("page10", "page9"));
    EXPECT_TRUE(naturalLess("第2章", "第10章"));
    // Names that collate equal still have one order.
    EXPECT_NE(naturalLess("a", "A"), naturalLess("A", "a"));
}

TEST(FolderImportLinks, LinksToImportedFilesResolve) {
    PageLinks links("/coll");
    links.add("/coll/a.html", 1001);
    links.add("/coll/sub/b.md", 1002);
    links.add("/coll/sub/日本語 \"名前\".txt", 1003);
    links.add("/coll/folder", 1004);
    EXPECT_EQ(links.pageOf("a.html", "/coll"), 1001);
    EXPECT_EQ(links.pageOf("../a.html#part", "/coll/sub"), 1001);
    EXPECT_EQ(links.pageOf("./b.md?v=2#x", "/coll/sub"), 1002);
    EXPECT_EQ(links.pageOf("sub/../sub/b.md", "/coll"), 1002);
    EXPECT_EQ(links.pageOf("/sub/b.md", "/coll/other"), 1002);  // from the imported folder
    EXPECT_EQ(links.pageOf("file:///coll/a.html", "/elsewhere"), 1001);
    EXPECT_EQ(links.pageOf("sub\\b.md", "/coll"), 1002);
    EXPECT_EQ(
        links.pageOf("%E6%97%A5%E6%9C%AC%E8%AA%9E%20%22%E5%90%8D%E5%89%8D%22.txt", "/coll/sub"),
        1003);
    EXPECT_EQ(links.pageOf("日本語 &quot;名前&quot;.txt", "/coll/sub"), 1003);
    EXPECT_EQ(links.pageOf("folder/", "/coll"), 1004);
    for (const char* other : {"#top", "", "https://example.org/a.html", "mailto:a@b.c",
                              "//host/a.html", "missing.html", "?q=1", "sub/b.md.bak"})
        EXPECT_EQ(links.pageOf(other, "/coll"), 0) << other;
}

TEST(FolderImportLinks, RewriteTouchesOnlyLinksToPages) {
    PageLinks links("/coll");
    links.add("/coll/a.html", 1001);
    links.add("/coll/b & c.html", 1002);
    const QString html =
        "<p><A class=x HREF='a.html#s' title=\"t\">A</A> <a href=\"https://e.org/\">web</a> "
        "<a name=top>anchor</a> <a href=b%20&amp;%20c.html>B</a> <img src=\"a.html\"> "
        "<a href=\"\">empty</a></p>";
    EXPECT_EQ(
        links.rewrite(html, "/coll"),
        "<p><A class=x HREF=\"#TG_1001\" title=\"t\">A</A> <a href=\"https://e.org/\">web</a> "
        "<a name=top>anchor</a> <a href=\"#TG_1002\">B</a> <img src=\"a.html\"> "
        "<a href=\"\">empty</a></p>");
    EXPECT_EQ(decodeCharacterReferences("a&amp;b&#38;&#x26;&lt;&unknown;&#0;"),
              "a&b&&<&unknown;&#0;");
}
