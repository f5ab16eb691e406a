#pragma once
// ZIP packages over libzip: a reader that distrusts what it is given (encrypted entries,
// absurd sizes and compression ratios are refused with a reason) and a writer that
// builds the archive in memory and puts it into place only when it is complete.

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

struct zip;

namespace arbor::archive {

struct EntryInfo {
    QString name;
    qint64 size = 0;            // as the archive declares it
    qint64 compressedSize = 0;  // likewise
    bool encrypted = false;
    qint64 index = -1;  // position in the archive
};

struct ReadLimits {
    qint64 maxArchiveSize = qint64(512) << 20;
    int maxEntries = 20000;
    // Sum of everything one reader inflates.
    qint64 maxTotalRead = qint64(1) << 30;
    // Inflated size over compressed size; checked above ratioFloor bytes only, since
    // small text entries compress very well.
    double maxRatio = 200.0;
    qint64 ratioFloor = qint64(1) << 20;
};

class ZipReader {
  public:
    explicit ZipReader(ReadLimits limits = {});
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    bool openFile(const QString& path, QString& error);
    bool openBytes(const QByteArray& bytes, QString& error);

    const std::vector<EntryInfo>& entries() const { return entries_; }
    // Exact name first, then ignoring case (package part names are case-insensitive).
    const EntryInfo* find(const QString& name) const;
    // Reads one entry whole; refuses entries above maxSize (declared or actual), a
    // suspicious compression ratio, encryption and damage.
    bool read(const QString& name, qint64 maxSize, QByteArray& out, QString& error);

  private:
    struct Closer {
        void operator()(::zip* archive) const;
    };
    ReadLimits limits_;
    QByteArray bytes_;  // the archive, kept alive for libzip's buffer source
    std::unique_ptr<::zip, Closer> archive_;
    std::vector<EntryInfo> entries_;
    qint64 totalRead_ = 0;
};

enum class Compression { Store, Deflate };

class ZipWriter {
  public:
    // Entries are written in the order they were added (an EPUB's mimetype goes first,
    // stored). Adding a name twice replaces the earlier entry.
    void add(const QString& name, const QByteArray& data,
             Compression compression = Compression::Deflate);
    bool isEmpty() const { return entries_.empty(); }

    // The complete archive; empty with error set when libzip failed.
    QByteArray finish(QString& error) const;
    // Writes the archive to a temporary file beside path and renames it into place.
    bool commit(const QString& path, QString& error) const;

  private:
    struct Entry {
        QString name;
        QByteArray data;
        Compression compression;
    };
    std::vector<Entry> entries_;
};

}  // namespace arbor::archive
