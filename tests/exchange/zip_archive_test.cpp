// The ZIP layer: entries stored or deflated in the order given (an EPUB needs its
// mimetype first and uncompressed), atomic commits, and a reader that refuses
// encrypted entries, oversized ones and zip bombs with a reason.
#include <gtest/gtest.h>
#include <zip.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "exchange/zip_archive.h"

using namespace arbor::archive;

namespace {

TEST(ZipArchive, WritesInOrderStoredOrDeflated) {
    ZipWriter w;
    w.add(QStringLiteral("mimetype"), "application/epub+zip", Compression::Store);
    const QByteArray text = QByteArray("日本語の本文 ").repeated(2000);
    w.add(QStringLiteral("OEBPS/本文.xhtml"), text);
    w.add(QStringLiteral("empty"), QByteArray());
    QString error;
    const QByteArray bytes = w.finish(error);
    ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();

    // First local header: the stored mimetype right at offset 30.
    ASSERT_GT(bytes.size(), 60);
    EXPECT_TRUE(bytes.startsWith("PK\x03\x04"));
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 8), 0);  // method: stored
    EXPECT_EQ(bytes.mid(30, 8), QByteArray("mimetype"));
    EXPECT_EQ(bytes.mid(30 + 8 + qFromLittleEndian<quint16>(bytes.constData() + 28), 20),
              QByteArray("application/epub+zip"));
    EXPECT_LT(bytes.size(), text.size() / 10);  // the text was deflated

    ZipReader r;
    ASSERT_TRUE(r.openBytes(bytes, error)) << error.toStdString();
    ASSERT_EQ(r.entries().size(), 3u);
    EXPECT_EQ(r.entries()[1].name, QStringLiteral("OEBPS/本文.xhtml"));
    QByteArray out;
    ASSERT_TRUE(
        r.read(QStringLiteral("oebps/本文.XHTML"), 1 << 20, out, error));  // names ignore case
    EXPECT_EQ(out, text);
    ASSERT_TRUE(r.read(QStringLiteral("empty"), 10, out, error));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(r.read(QStringLiteral("missing"), 10, out, error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing")));

    // Adding a name twice keeps the later content.
    w.add(QStringLiteral("empty"), "now full");
    ASSERT_TRUE(r.openBytes(w.finish(error), error));
    ASSERT_TRUE(r.read(QStringLiteral("empty"), 10, out, error));
    EXPECT_EQ(out, QByteArray("now full"));
}

TEST(ZipArchive, CommitReplacesOnlyWhenComplete) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.zip"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old content");
    old.close();
    ZipWriter w;
    w.add(QStringLiteral("a.txt"), "new");
    QString error;
    ASSERT_TRUE(w.commit(path, error)) << error.toStdString();
    ZipReader r;
    ASSERT_TRUE(r.openFile(path, error)) << error.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("book.zip")});
    // A target that cannot be written leaves nothing behind.
    const QString blocked = dir.filePath(QStringLiteral("no/such/folder/book.zip"));
    EXPECT_FALSE(w.commit(blocked, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(blocked));
    // An empty archive is still a valid one.
    ZipWriter empty;
    ASSERT_TRUE(r.openBytes(empty.finish(error), error)) << error.toStdString();
    EXPECT_TRUE(r.entries().empty());
}

TEST(ZipArchive, RefusesWhatItShouldNotInflate) {
    ZipWriter w;
    w.add(QStringLiteral("bomb"), QByteArray(20 << 20, 'a'));  // about 1000:1
    w.add(QStringLiteral("big"), QByteArray(3000, 'x'), Compression::Store);
    w.add(QStringLiteral("fine"), QByteArray(100, 'y'));
    QString error;
    const QByteArray bytes = w.finish(error);

    ZipReader r;
    ASSERT_TRUE(r.openBytes(bytes, error));
    QByteArray out;
    EXPECT_FALSE(r.read(QStringLiteral("bomb"), qint64(64) << 20, out, error));
    EXPECT_TRUE(error.contains(QStringLiteral("ZIP 爆弾"))) << error.toStdString();
    EXPECT_FALSE(r.read(QStringLiteral("big"), 2000, out, error));
    EXPECT_TRUE(error.contains(QStringLiteral("大きすぎ"))) << error.toStdString();
    EXPECT_TRUE(r.read(QStringLiteral("fine"), 2000, out, error));

    // The total of everything read is limited as well, and so is the entry count.
    ReadLimits tight;
    tight.maxTotalRead = 3050;
    ZipReader limited(tight);
    ASSERT_TRUE(limited.openBytes(bytes, error));
    EXPECT_TRUE(limited.read(QStringLiteral("big"), 5000, out, error));
    EXPECT_FALSE(limited.read(QStringLiteral("fine"), 5000, out, error));
    ReadLimits few;
    few.maxEntries = 2;
    ZipReader counted(few);
    EXPECT_FALSE(counted.openBytes(bytes, error));
}

TEST(ZipArchive, RefusesEncryptedEntries) {
    // Build an encrypted entry with libzip itself.
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("secret.zip")).toUtf8();
    int code = 0;
    zip_t* z = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(z, nullptr);
    static const char secret[] = "secret text";
    zip_source_t* src = zip_source_buffer(z, secret, sizeof secret - 1, 0);
    const zip_int64_t index = zip_file_add(z, "secret.txt", src, 0);
    ASSERT_GE(index, 0);
    if (zip_file_set_encryption(z, zip_uint64_t(index), ZIP_EM_AES_256, "password") != 0) {
        zip_discard(z);
        GTEST_SKIP() << "this libzip cannot write encrypted entries";
    }
    ASSERT_EQ(zip_close(z), 0);
    ZipReader r;
    QString error;
    ASSERT_TRUE(r.openFile(QString::fromUtf8(path), error)) << error.toStdString();
    EXPECT_TRUE(r.entries().front().encrypted);
    QByteArray out;
    EXPECT_FALSE(r.read(QStringLiteral("secret.txt"), 1000, out, error));
    EXPECT_TRUE(error.contains(QStringLiteral("暗号"))) << error.toStdString();
}

TEST(ZipArchive, RefusesDamage) {
    ZipWriter w;
    w.add(QStringLiteral("a.txt"), QByteArray("some text that deflates ").repeated(50));
    QString error;
    const QByteArray good = w.finish(error);
    ZipReader r;
    EXPECT_FALSE(r.openBytes("PK\x03\x04 not really", error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(r.openBytes(good.left(good.size() - 5), error));
    EXPECT_FALSE(error.isEmpty());
    QByteArray flipped = good;
    flipped[45] = char(flipped[45] ^ 0xFF);  // inside the deflated data
    ASSERT_TRUE(r.openBytes(flipped, error)) << error.toStdString();
    QByteArray out;
    EXPECT_FALSE(r.read(QStringLiteral("a.txt"), 1 << 20, out, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(r.openFile(QStringLiteral("/nonexistent/file.zip"), error));
}

}  // namespace
