#include "epub/ezip.h"

#include <zip.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

namespace arbor::epub {

namespace {

const QString kMimetype = QStringLiteral("mimetype");

struct Discard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ArchivePtr = std::unique_ptr<zip_t, Discard>;

QString reasonOf(zip_t* archive) {
    return QString::fromUtf8(zip_strerror(archive));
}

// Adds one file read from disk when the archive is closed; level 0 stores it.
bool addFile(zip_t* archive, const QString& path, const QString& name, bool store, QString& error) {
    if (!QFileInfo(path).isReadable()) {
        error = QStringLiteral("ﾌｧｲﾙを読めません: ") + path;
        return false;
    }
    zip_source_t* source = zip_source_file(archive, QFile::encodeName(path).constData(), 0, -1);
    if (!source) {
        error = path + QStringLiteral(": ") + reasonOf(archive);
        return false;
    }
    const zip_int64_t index =
        zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        error = name + QStringLiteral(": ") + reasonOf(archive);
        return false;
    }
    if (zip_set_file_compression(archive, zip_uint64_t(index),
                                 store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, store ? 0 : 9) != 0) {
        error = name + QStringLiteral(": ") + reasonOf(archive);
        return false;
    }
    return true;
}

// The folder's files, then its sub-folders, each in name order; prefix is the path of the
// folder inside the archive.
bool addFolder(zip_t* archive, const QString& folder, const QString& prefix, QString& error) {
    const QDir dir(folder);
    const QFileInfoList files =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& f : files) {
        if (prefix.isEmpty() && f.fileName().toLower() == kMimetype)
            continue;  // already in, first
        if (!addFile(archive, f.filePath(), prefix + f.fileName(), false, error))
            return false;
    }
    const QFileInfoList folders =
        dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& d : folders)
        if (!addFolder(archive, d.filePath(), prefix + d.fileName() + u'/', error))
            return false;
    return true;
}

}  // namespace

bool eZip(const QString& folder, const QString& archivePath, QString& error) {
    QString root = folder;
    while (root.size() > 1 && (root.endsWith(u'/') || root.endsWith(u'\\')))
        root.chop(1);
    const QDir dir(root);
    if (!dir.exists()) {
        error = QStringLiteral("ﾌｫﾙﾀﾞがありません: ") + root;
        return false;
    }
    const QFileInfo target(archivePath);
    if (target.isDir()) {
        error = QStringLiteral("同じ名前のﾌｫﾙﾀﾞがあります: ") + archivePath;
        return false;
    }
    // libzip writes the whole archive to a temporary file beside the target at close and
    // renames it into place, so an earlier book stays until the new one is complete.
    int code = 0;
    ArchivePtr archive(zip_open(QFile::encodeName(target.absoluteFilePath()).constData(),
                                ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!archive) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        error = QStringLiteral("ﾌｧｲﾙを作れません: ") + archivePath + QStringLiteral(" (") +
                QString::fromUtf8(zip_error_strerror(&e)) + u')';
        zip_error_fini(&e);
        return false;
    }
    // "mimetype", whatever the case of its name, is the first entry and stored.
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (f.fileName().toLower() != kMimetype)
            continue;
        if (!addFile(archive.get(), f.filePath(), f.fileName(), true, error))
            return false;
        break;
    }
    if (!addFolder(archive.get(), root, QString(), error))
        return false;
    if (zip_get_num_entries(archive.get(), 0) == 0) {
        error = QStringLiteral("ﾌｫﾙﾀﾞが空です: ") + root;  // libzip would delete the target
        return false;
    }
    if (zip_close(archive.get()) != 0) {
        error = QStringLiteral("ﾌｧｲﾙを書き込めません: ") + archivePath + QStringLiteral(" (") +
                reasonOf(archive.get()) + u')';
        return false;  // the deleter discards what was not written
    }
    archive.release();
    return true;
}

}  // namespace arbor::epub
