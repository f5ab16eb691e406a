// The archive of a book folder as readers open it: mimetype first and stored, the rest
// deflated under their relative paths, an earlier archive kept when writing fails.
#include <gtest/gtest.h>
#include <zip.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "epub/ezip.h"

using namespace arbor::epub;

namespace {

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct Entry {
    QString name;
    bool stored = false;
    QByteArray data;
};

QVector<Entry> entriesOf(const QString& archivePath) {
    QVector<Entry> out;
    int code = 0;
    zip_t* z = zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY, &code);
    if (!z)
        return out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(z, zip_uint64_t(i), 0, &st);
        Entry e;
        e.name = QString::fromUtf8(st.name);
        e.stored = st.comp_method == ZIP_CM_STORE;
        e.data.resize(qsizetype(st.size));
        zip_file_t* f = zip_fopen_index(z, zip_uint64_t(i), 0);
        zip_fread(f, e.data.data(), st.size);
        zip_fclose(f);
        out << e;
    }
    zip_close(z);
    return out;
}

}  // namespace

TEST(EZip, MimetypeComesFirstAndStoredTheRestDeflatedWithRelativePaths) {
    QTemporaryDir dir;
    const QString book = dir.filePath("book");
    // Names chosen so that plain name order would not put mimetype first.
    write(book + "/OEBPS/content.opf", QByteArray(2000, 'x'));
    write(book + "/OEBPS/Images/[1]_写真.jpg", "jpeg");
    write(book + "/META-INF/container.xml", "<container/>");
    write(book + "/AAA.txt", "top");
    write(book + "/mimetype", "application/epub+zip");
    QString error;
    ASSERT_TRUE(eZip(book + "/", dir.filePath("out.epub"), error)) << error.toStdString();
    const QVector<Entry> entries = entriesOf(dir.filePath("out.epub"));
    QStringList names;
    for (const Entry& e : entries)
        names << e.name;
    EXPECT_EQ(names, (QStringList{"mimetype", "AAA.txt", "META-INF/container.xml",
                                  "OEBPS/content.opf", "OEBPS/Images/[1]_写真.jpg"}));
    ASSERT_FALSE(entries.isEmpty());
    EXPECT_TRUE(entries[0].stored);
    EXPECT_EQ(entries[0].data, QByteArray("application/epub+zip"));
    for (int i = 1; i < entries.size(); ++i)
        EXPECT_FALSE(entries[i].stored) << entries[i].name.toStdString();
    EXPECT_EQ(entries[3].data, QByteArray(2000, 'x'));
    // The mimetype entry has no extra field: its data starts at byte 38.
    QFile f(dir.filePath("out.epub"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(58).mid(30), QByteArray("mimetypeapplication/epub+zip"));
}

TEST(EZip, AFailureLeavesTheEarlierArchiveInPlace) {
    QTemporaryDir dir;
    const QString book = dir.filePath("book");
    write(book + "/mimetype", "application/epub+zip");
    write(dir.filePath("out/old.epub"), "the earlier book");
    QString error;
    // An empty folder packs nothing, and must not delete the old book either.
    QDir().mkpath(dir.filePath("empty"));
    EXPECT_FALSE(eZip(dir.filePath("empty"), dir.filePath("out/old.epub"), error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(eZip(dir.filePath("missing"), dir.filePath("out/old.epub"), error));
    // A target whose folder is a file.
    error.clear();
    EXPECT_FALSE(eZip(book, dir.filePath("out/old.epub/new.epub"), error));
    EXPECT_FALSE(error.isEmpty());
    // A target that is a folder.
    QDir().mkpath(dir.filePath("out/folder.epub"));
    EXPECT_FALSE(eZip(book, dir.filePath("out/folder.epub"), error));
    QFile old(dir.filePath("out/old.epub"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("the earlier book"));
    EXPECT_EQ(QDir(dir.filePath("out")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"old.epub"});
}
