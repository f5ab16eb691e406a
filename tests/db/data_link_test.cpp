// Reading .udl data-link files as Windows and people write them.
#include <gtest/gtest.h>

#include <QStringEncoder>

#include "db/data_link.h"

using namespace arbor;

namespace {

QByteArray utf16WithBom(const QString& text) {
    QStringEncoder enc(QStringEncoder::Utf16LE);
    return QByteArray("\xFF\xFE", 2) + QByteArray(enc.encode(text));
}

}  // namespace

TEST(DataLink, Utf16FileAsWindowsWritesIt) {
    const QString text =
        "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
        "Provider=PostgreSQL;Data Source=db.example.jp:5433;Initial Catalog=文書;User ID=yamada;"
        "Password=p@ss\r\n";
    DataLink link;
    QString error;
    ASSERT_TRUE(parseDataLink(utf16WithBom(text), link, error)) << error.toStdString();
    EXPECT_EQ(link.host, "db.example.jp");
    EXPECT_EQ(link.port, 5433);
    EXPECT_EQ(link.database, "文書");
    EXPECT_EQ(link.user, "yamada");
    EXPECT_EQ(link.password, "p@ss");
}

TEST(DataLink, QuotedValuesAndOtherSpellings) {
    DataLink link;
    QString error;
    ASSERT_TRUE(
        parseDataLink("[OLEDB]\nprovider=PostgreSQL OLE DB Provider; server=[::1]:6000;"
                      "database=\"a;b\"; uid=u; pwd='it''s;x'\n",
                      link, error))
        << error.toStdString();
    EXPECT_EQ(link.host, "::1");
    EXPECT_EQ(link.port, 6000);
    EXPECT_EQ(link.database, "a;b");
    EXPECT_EQ(link.password, "it's;x");
    // What we write reads back the same.
    DataLink again;
    ASSERT_TRUE(parseDataLink(dataLinkText(link), again, error)) << error.toStdString();
    EXPECT_EQ(again.host, link.host);
    EXPECT_EQ(again.port, link.port);
    EXPECT_EQ(again.database, link.database);
    EXPECT_EQ(again.password, link.password);
}

TEST(DataLink, MalformedFilesGiveReasons) {
    DataLink link;
    QString error;
    EXPECT_FALSE(parseDataLink("", link, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(parseDataLink("Provider=PostgreSQL;Initial Catalog=x", link, error));  // no header
    EXPECT_FALSE(parseDataLink("[oledb]\n", link, error));
    EXPECT_FALSE(
        parseDataLink("[oledb]\nProvider=SQLOLEDB;Data Source=x;Initial Catalog=y", link, error));
    EXPECT_TRUE(error.contains("SQLOLEDB"));
    EXPECT_FALSE(parseDataLink("[oledb]\nProvider=PostgreSQL;Data Source=x", link, error));
    EXPECT_FALSE(parseDataLink("[oledb]\nProvider=PostgreSQL;Data Source=x:99999;Initial Catalog=y",
                               link, error));
    EXPECT_FALSE(parseDataLink(QByteArray("\xFF\xFE\x00\xD8", 4), link, error));  // broken UTF-16
}
