// The package, navigation and container documents: what readers and checkers parse.
#include <gtest/gtest.h>

#include <QXmlStreamReader>

#include "epub/book_pages.h"
#include "epub/book_plan.h"
#include "epub/epub_package.h"

using namespace arbor::epub;

namespace {

// Parses the whole text; the first error, or "" for a well-formed document.
QString xmlError(const QString& text) {
    QXmlStreamReader r(text);
    while (!r.atEnd())
        r.readNext();
    return r.hasError() ? r.errorString() : QString();
}

// The values of one attribute over every element of a name, in document order.
QStringList attributes(const QString& text, const QString& element, const QString& attribute) {
    QStringList values;
    QXmlStreamReader r(text);
    while (r.readNextStartElement() || !r.atEnd()) {
        if (r.isStartElement() && r.name() == element)
            values << r.attributes().value(attribute).toString();
        if (!r.isStartElement())
            r.readNext();
    }
    return values;
}

QString elementText(const QString& text, const QString& qualifiedName) {
    QXmlStreamReader r(text);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.qualifiedName() == qualifiedName)
            return r.readElementText();
    }
    return QStringLiteral("<none>");
}

BookMetadata awkwardBook() {
    BookMetadata b;
    b.title = QStringLiteral("R&D <本> 'その一'");
    b.identifier = QStringLiteral("urn:isbn:978-4-00-000000-0");
    b.author = QStringLiteral("山田 & 佐藤");
    b.publisher = QStringLiteral("出版<社>");
    return b;
}

}  // namespace

TEST(EpubPackage, MetadataSurvivesMarkupCharactersAndApostrophesBecomeDoubleQuotes) {
    const QString opf = packageDocument(awkwardBook(), {QStringLiteral("1001.xhtml")}, {});
    ASSERT_EQ(xmlError(opf), QString()) << opf.toStdString();
    EXPECT_EQ(elementText(opf, QStringLiteral("dc:title")), QStringLiteral("R&D <本> \"その一\""));
    EXPECT_EQ(elementText(opf, QStringLiteral("dc:creator")), QStringLiteral("山田 & 佐藤"));
    EXPECT_EQ(elementText(opf, QStringLiteral("dc:publisher")), QStringLiteral("出版<社>"));
    EXPECT_EQ(elementText(opf, QStringLiteral("dc:identifier")),
              QStringLiteral("urn:isbn:978-4-00-000000-0"));
    // Optional fields left empty are left out.
    EXPECT_EQ(elementText(opf, QStringLiteral("dc:rights")), QStringLiteral("<none>"));
    EXPECT_TRUE(opf.contains(QStringLiteral("\r\n    <dc:language>ja</dc:language>\r\n")));

    const QString ncx = navigationDocument(awkwardBook(), {}, 1);
    ASSERT_EQ(xmlError(ncx), QString()) << ncx.toStdString();
    EXPECT_EQ(elementText(ncx, QStringLiteral("text")), QStringLiteral("R&D <本> \"その一\""));
    // The NCX names the same book as the package: the whole identifier.
    EXPECT_EQ(attributes(ncx, QStringLiteral("meta"), QStringLiteral("content")).value(0),
              QStringLiteral("urn:isbn:978-4-00-000000-0"));
    EXPECT_EQ(xmlError(containerDocument()), QString());
    EXPECT_TRUE(containerDocument().contains(QStringLiteral("full-path=\"OEBPS/content.opf\"")));
}

TEST(EpubPackage, ManifestIdsAreUniqueXmlNamesAndAPageTwiceIsListedOnce) {
    const QStringList files{QStringLiteral("1001.xhtml"), QStringLiteral("007.xhtml"),
                            QStringLiteral("1001.xhtml"), QStringLiteral("style.css"),
                            QStringLiteral("notes.txt")};
    const QStringList pictures{QStringLiteral("1001_001.jpg"), QStringLiteral("photo.JPG"),
                               QStringLiteral("1001.png")};
    const QString opf = packageDocument(awkwardBook(), files, pictures);
    ASSERT_EQ(xmlError(opf), QString());
    const QStringList ids = attributes(opf, QStringLiteral("item"), QStringLiteral("id"));
    const QStringList hrefs = attributes(opf, QStringLiteral("item"), QStringLiteral("href"));
    EXPECT_EQ(hrefs, (QStringList{"toc.ncx", "1001.xhtml", "007.xhtml", "style.css",
                                  "Images/1001_001.jpg", "Images/photo.JPG", "Images/1001.png"}));
    EXPECT_EQ(QSet<QString>(ids.begin(), ids.end()).size(), ids.size())
        << ids.join(u' ').toStdString();
    for (const QString& id : ids)
        EXPECT_TRUE(id.front().isLetter()) << id.toStdString();
    EXPECT_EQ(
        attributes(opf, QStringLiteral("item"), QStringLiteral("media-type")),
        (QStringList{"application/x-dtbncx+xml", "application/xhtml+xml", "application/xhtml+xml",
                     "text/css", "image/jpeg", "image/jpeg", "image/png"}));
    EXPECT_EQ(attributes(opf, QStringLiteral("itemref"), QStringLiteral("idref")),
              (QStringList{pageItemId("1001.xhtml"), pageItemId("007.xhtml")}));
    EXPECT_EQ(pictureMediaType(QStringLiteral("photo.JPG")), QStringLiteral("image/jpeg"));
    EXPECT_EQ(pictureMediaType(QStringLiteral("a.b.GIF")), QStringLiteral("image/gif"));
}

TEST(EpubPackage, NavigationPointsNestAndCloseAtEveryLevel) {
    QVector<NavPoint> points;
    auto point = [&](int level, int order, const QString& file) {
        NavPoint p;
        p.level = level;
        p.number = points.size() + 1;
        p.playOrder = order;
        p.title = QStringLiteral("題 <%1> & '%2'").arg(p.number).arg(level);
        p.file = file;
        points << p;
    };
    point(0, 1, "1001.xhtml");
    point(1, 2, "1002.xhtml");
    point(2, 3, "1003.xhtml");
    point(0, 4, "1004.xhtml");  // closes two levels at once
    point(1, 2, "1002.xhtml");  // the page again, under another parent
    const QString ncx = navigationDocument(awkwardBook(), points, 3);
    ASSERT_EQ(xmlError(ncx), QString()) << ncx.toStdString();
    EXPECT_EQ(attributes(ncx, QStringLiteral("navPoint"), QStringLiteral("id")),
              (QStringList{"p1", "p2", "p3", "p4", "p5"}));
    EXPECT_EQ(attributes(ncx, QStringLiteral("navPoint"), QStringLiteral("playOrder")),
              (QStringList{"1", "2", "3", "4", "2"}));
    // The nesting: p3 inside p2 inside p1; p5 inside p4.
    QXmlStreamReader r(ncx);
    QStringList path;
    QStringList parents;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("navPoint")) {
            parents << path.join(u'/');
            path << r.attributes().value("id").toString();
        } else if (r.isEndElement() && r.name() == QLatin1String("navPoint")) {
            path.removeLast();
        }
    }
    EXPECT_EQ(parents, (QStringList{"", "p1", "p1/p2", "", "p4"}));
    EXPECT_TRUE(ncx.contains(QStringLiteral("<meta name=\"dtb:depth\" content=\"3\"/>")));
    // Indents of the template: level 2 opens with 6 double blanks.
    EXPECT_TRUE(ncx.contains(QStringLiteral("\r\n") + QString(12, u' ') +
                             QStringLiteral("<navPoint id=\"p3\" playOrder=\"3\">\r\n")));
}

TEST(BookPlan, LinksLoopsAndTheRootOfABranch) {
    //  0 ─┬─ 1001 ─┬─ 1002 ── 1003
    //     │        └─ 1004 ── 1002 (link, with its child 1003 again)
    //     └─ 1005 ── 1005 (a link of a page below itself)
    VisibleTree tree;
    tree[0] = {{1001, "一"}, {1005, "五"}};
    tree[1001] = {{1002, "二"}, {1004, "四"}};
    tree[1002] = {{1003, "三"}};
    tree[1004] = {{1002, "二のリンク"}};
    tree[1005] = {{1005, "五の中の五"}};

    const BookPlan all = planBook(tree, 0, QString(), &bookFileName);
    QStringList seen;
    for (const NavPoint& p : all.points)
        seen << QStringLiteral("%1:%2:%3").arg(p.level).arg(p.playOrder).arg(p.file);
    EXPECT_EQ(seen, (QStringList{"0:1:1001.xhtml", "1:2:1002.xhtml", "2:3:1003.xhtml",
                                 "1:4:1004.xhtml", "2:2:1002.xhtml", "3:3:1003.xhtml",
                                 "0:5:1005.xhtml", "1:5:1005.xhtml"}));
    QStringList pages;
    for (const BookPage& p : all.pages)
        pages << p.file;
    EXPECT_EQ(pages,
              (QStringList{"1001.xhtml", "1002.xhtml", "1003.xhtml", "1004.xhtml", "1005.xhtml"}));
    EXPECT_EQ(all.files.size(), all.points.size());
    EXPECT_EQ(all.depth, 4);
    EXPECT_EQ(all.bookPages, QStringLiteral("."));

    const BookPlan branch = planBook(tree, 1004, QStringLiteral("四の題"), &bookFileName);
    ASSERT_EQ(branch.points.size(), 3);
    EXPECT_EQ(branch.points[0].title, QStringLiteral("四の題"));
    EXPECT_EQ(branch.points[0].playOrder, 1);
    EXPECT_EQ(branch.points[2].file, QStringLiteral("1003.xhtml"));
    EXPECT_EQ(branch.points[2].level, 2);
    EXPECT_EQ(branch.bookPages, QStringLiteral(".1004.1002.1003."));
    EXPECT_EQ(branch.depth, 3);

    EXPECT_EQ(bookFileName(7), QStringLiteral("007.xhtml"));
    EXPECT_EQ(bookFileName(1234), QStringLiteral("1234.xhtml"));
}

TEST(BookLinks, LinksOutsideTheBookAreMendedOrDropped) {
    const QSet<QString> files{QStringLiteral("1001.xhtml"), QStringLiteral("1002.xhtml")};
    const QString page = QStringLiteral(
        "<p><a href=\"1002.xhtml#s1\">in</a> <a href=\"1001_1002.xhtml\">link</a> "
        "<a class=\"x\" href='1009.xhtml'>out</a> <a href=\"https://example.jp/\">web</a> "
        "<a href=\"#top\">here</a> <a href=\"notes/a.xhtml\">other</a></p>");
    const QString dropped = mendBookLinks(page, files, QString());
    EXPECT_EQ(dropped,
              QStringLiteral("<p><a href=\"1002.xhtml#s1\">in</a> <a href=\"1002.xhtml\">link</a> "
                             "<a class=\"x\">out</a> <a href=\"https://example.jp/\">web</a> "
                             "<a href=\"#top\">here</a> <a>other</a></p>"));
    const QString mended = mendBookLinks(page, files, QStringLiteral("https://example.jp/htm/"));
    EXPECT_TRUE(mended.contains(
        QStringLiteral("<a class=\"x\" href='https://example.jp/htm/1009.htm'>out</a>")))
        << mended.toStdString();
    EXPECT_TRUE(mended.contains(QStringLiteral("<a href=\"1002.xhtml\">link</a>")));
    // A page without links is returned as it is.
    EXPECT_EQ(mendBookLinks(QStringLiteral("<p>無し</p>"), files, QString()),
              QStringLiteral("<p>無し</p>"));
    EXPECT_TRUE(titleOnlyPage(QStringLiteral("R&D <本>"))
                    .contains(QStringLiteral("<h1>R&amp;D &lt;本&gt;</h1>")));
}
