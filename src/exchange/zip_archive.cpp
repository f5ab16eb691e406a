#include "exchange/zip_archive.h"

#include <zip.h>

#include <QFile>
#include <QFileInfo>

#include "app/file_io.h"

namespace arbor::archive {

namespace {

QString zipErrorText(int code) {
    switch (code) {
        case ZIP_ER_NOZIP:
            return QStringLiteral("ZIP 形式のファイルではありません");
        case ZIP_ER_INCONS:
        case ZIP_ER_READ:
        case ZIP_ER_SEEK:
        case ZIP_ER_EOF:
            return QStringLiteral("ファイルが壊れているか、途中で切れています");
        case ZIP_ER_CRC:
            return QStringLiteral("ファイルが壊れています（CRC が一致しません）");
        case ZIP_ER_COMPNOTSUPP:
            return QStringLiteral("対応していない圧縮方式が使われています");
        case ZIP_ER_ENCRNOTSUPP:
        case ZIP_ER_NOPASSWD:
        case ZIP_ER_WRONGPASSWD:
            return QStringLiteral("暗号化されたファイルは読めません");
        case ZIP_ER_MEMORY:
            return QStringLiteral("メモリが足りません");
        default: {
            zip_error_t error;
            zip_error_init_with_code(&error, code);
            const QString text = QString::fromUtf8(zip_error_strerror(&error));
            zip_error_fini(&error);
            return QStringLiteral("ZIP の処理に失敗しました（%1）").arg(text);
        }
    }
}

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using SourcePtr = std::unique_ptr<zip_source_t, SourceFree>;

struct FileClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// Copies out what a kept buffer source holds after zip_close.
bool drainSource(zip_source_t* source, QByteArray& out) {
    if (zip_source_open(source) < 0)
        return false;
    bool ok = zip_source_seek(source, 0, SEEK_END) == 0;
    const zip_int64_t size = ok ? zip_source_tell(source) : -1;
    ok = ok && size >= 0 && zip_source_seek(source, 0, SEEK_SET) == 0;
    if (ok) {
        out.resize(qsizetype(size));
        ok = zip_source_read(source, out.data(), zip_uint64_t(size)) == size;
    }
    zip_source_close(source);
    return ok;
}

}  // namespace

void ZipReader::Closer::operator()(::zip* archive) const {
    zip_discard(archive);
}

ZipReader::ZipReader(ReadLimits limits) : limits_(limits) {}
ZipReader::~ZipReader() = default;

bool ZipReader::openFile(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("ファイルを開けません: %1").arg(path);
        return false;
    }
    if (file.size() > limits_.maxArchiveSize) {
        error = QStringLiteral("ファイルが大きすぎます（%1 バイト）").arg(file.size());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size()) {
        error = QStringLiteral("ファイルを読めません: %1").arg(path);
        return false;
    }
    return openBytes(bytes, error);
}

bool ZipReader::openBytes(const QByteArray& bytes, QString& error) {
    archive_.reset();
    entries_.clear();
    totalRead_ = 0;
    if (bytes.size() > limits_.maxArchiveSize) {
        error = QStringLiteral("ファイルが大きすぎます（%1 バイト）").arg(bytes.size());
        return false;
    }
    if (bytes.size() < 22) {  // not even an end-of-central-directory record
        error = zipErrorText(ZIP_ER_NOZIP);
        return false;
    }
    bytes_ = bytes;
    zip_error_t zerror;
    zip_error_init(&zerror);
    SourcePtr source(
        zip_source_buffer_create(bytes_.constData(), zip_uint64_t(bytes_.size()), 0, &zerror));
    if (!source) {
        error = zipErrorText(zip_error_code_zip(&zerror));
        zip_error_fini(&zerror);
        return false;
    }
    ::zip* archive = zip_open_from_source(source.get(), ZIP_RDONLY | ZIP_CHECKCONS, &zerror);
    if (!archive) {
        error = zipErrorText(zip_error_code_zip(&zerror));
        zip_error_fini(&zerror);
        return false;
    }
    source.release();  // the archive owns it now
    zip_error_fini(&zerror);
    archive_.reset(archive);

    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || count > limits_.maxEntries) {
        error = QStringLiteral("ZIP の項目が多すぎます（%1 個）").arg(count);
        archive_.reset();
        return false;
    }
    entries_.reserve(size_t(count));
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
            continue;  // a deleted or unreadable slot: not an entry we can use
        EntryInfo info;
        info.name = QString::fromUtf8(st.name);
        info.size =
            (st.valid & ZIP_STAT_SIZE) ? qint64(std::min<zip_uint64_t>(st.size, INT64_MAX)) : -1;
        info.compressedSize = (st.valid & ZIP_STAT_COMP_SIZE)
                                  ? qint64(std::min<zip_uint64_t>(st.comp_size, INT64_MAX))
                                  : -1;
        info.index = i;
        info.encrypted =
            (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
        entries_.push_back(info);
    }
    return true;
}

const EntryInfo* ZipReader::find(const QString& name) const {
    for (const EntryInfo& e : entries_)
        if (e.name == name)
            return &e;
    for (const EntryInfo& e : entries_)
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

bool ZipReader::read(const QString& name, qint64 maxSize, QByteArray& out, QString& error) {
    out.clear();
    const EntryInfo* entry = archive_ ? find(name) : nullptr;
    if (!entry) {
        error = QStringLiteral("%1 がありません").arg(name);
        return false;
    }
    if (entry->encrypted) {
        error = QStringLiteral("暗号化された項目 %1 は読めません").arg(name);
        return false;
    }
    if (entry->size < 0 || entry->size > maxSize) {
        error = QStringLiteral("%1 が大きすぎます（%2 バイト）").arg(name).arg(entry->size);
        return false;
    }
    if (entry->size > limits_.ratioFloor &&
        (entry->compressedSize <= 0 ||
         double(entry->size) / double(entry->compressedSize) > limits_.maxRatio)) {
        error = QStringLiteral("%1 の圧縮率が異常です（ZIP 爆弾の疑いがあります）").arg(name);
        return false;
    }
    if (totalRead_ + entry->size > limits_.maxTotalRead) {
        error = QStringLiteral("展開後のサイズが大きすぎます");
        return false;
    }
    std::unique_ptr<zip_file_t, FileClose> file(
        zip_fopen_index(archive_.get(), zip_uint64_t(entry->index), 0));
    if (!file) {
        error = QStringLiteral("%1: %2").arg(
            name, zipErrorText(zip_error_code_zip(zip_get_error(archive_.get()))));
        return false;
    }
    // The declared size is only a claim: read in chunks and stop at the limit.
    const qint64 limit = std::min(maxSize, limits_.maxTotalRead - totalRead_);
    out.reserve(qsizetype(std::min<qint64>(entry->size, limit)));
    char chunk[65536];
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), chunk, sizeof chunk);
        if (n < 0) {
            error = QStringLiteral("%1: %2").arg(
                name, zipErrorText(zip_error_code_zip(zip_file_get_error(file.get()))));
            out.clear();
            return false;
        }
        if (n == 0)
            break;
        if (out.size() + n > limit) {
            error = QStringLiteral("%1 が大きすぎます（ZIP 爆弾の疑いがあります）").arg(name);
            out.clear();
            return false;
        }
        out.append(chunk, qsizetype(n));
    }
    totalRead_ += out.size();
    return true;
}

void ZipWriter::add(const QString& name, const QByteArray& data, Compression compression) {
    for (Entry& e : entries_) {
        if (e.name == name) {
            e.data = data;
            e.compression = compression;
            return;
        }
    }
    entries_.push_back({name, data, compression});
}

QByteArray ZipWriter::finish(QString& error) const {
    if (entries_
            .empty())  // libzip writes nothing for an empty archive: give the bare directory end
        return QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0');
    zip_error_t zerror;
    zip_error_init(&zerror);
    SourcePtr target(zip_source_buffer_create(nullptr, 0, 0, &zerror));
    if (!target) {
        error = zipErrorText(zip_error_code_zip(&zerror));
        zip_error_fini(&zerror);
        return {};
    }
    ::zip* archive = zip_open_from_source(target.get(), ZIP_TRUNCATE, &zerror);
    if (!archive) {
        error = zipErrorText(zip_error_code_zip(&zerror));
        zip_error_fini(&zerror);
        return {};
    }
    zip_source_keep(target.get());  // the archive holds one reference, we keep ours
    zip_error_fini(&zerror);
    const auto fail = [&](::zip* a) {
        error = zipErrorText(zip_error_code_zip(zip_get_error(a)));
        zip_discard(a);
        return QByteArray();
    };
    for (const Entry& e : entries_) {
        // The data stays alive in entries_ until zip_close has read it.
        zip_source_t* source =
            zip_source_buffer(archive, e.data.constData(), zip_uint64_t(e.data.size()), 0);
        if (!source)
            return fail(archive);
        const zip_int64_t index =
            zip_file_add(archive, e.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return fail(archive);
        }
        const zip_int32_t method =
            e.compression == Compression::Store ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
        if (zip_set_file_compression(archive, zip_uint64_t(index), method, 0) != 0)
            return fail(archive);
    }
    if (zip_close(archive) != 0)
        return fail(archive);
    QByteArray bytes;
    if (!drainSource(target.get(), bytes)) {
        error = zipErrorText(zip_error_code_zip(zip_source_error(target.get())));
        return {};
    }
    return bytes;
}

bool ZipWriter::commit(const QString& path, QString& error) const {
    const QByteArray bytes = finish(error);
    if (bytes.isEmpty())
        return false;
    return writeFileAtomically(path, bytes, error);
}

}  // namespace arbor::archive
