#include "app/file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cstdio>

namespace arbor {

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    // No direct-write fallback: writing in place is exactly what could leave half a file.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool writeGeneratedFile(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        return false;
    const QFileInfo target(path);
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    // Same permissions as a file made anew, not the temporary file's private ones.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                        QFileDevice::ReadGroup | QFileDevice::ReadOther);
    const QByteArray from = QFile::encodeName(file.fileName());
    const QByteArray to = QFile::encodeName(target.absoluteFilePath());
    if (std::rename(from.constData(), to.constData()) != 0)
        return false;  // the temporary file goes with `file`
    file.setAutoRemove(false);
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString& error) {
    if (writeFileAtomically(path, bytes))
        return true;
    error = QStringLiteral("ファイルを書き込めません: %1").arg(QFileInfo(path).absoluteFilePath());
    return false;
}

bool copyFileReplacing(const QString& source, const QString& destination) {
    const QFileInfo info(source);
    if (info.isSymLink()) {
        const QString target = info.symLinkTarget();
        if (QFileInfo(destination).isDir() && !QFileInfo(destination).isSymLink())
            return false;
        QFile::remove(destination);
        return QFile::link(target, destination);
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(destination);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    constexpr qint64 chunk = 1 << 20;
    while (!in.atEnd()) {
        const QByteArray block = in.read(chunk);
        if (block.isEmpty() && in.error() != QFileDevice::NoError) {
            out.cancelWriting();
            return false;
        }
        if (out.write(block) != block.size()) {
            out.cancelWriting();
            return false;
        }
    }
    if (!out.commit())
        return false;
    QFile::setPermissions(destination, in.permissions());
    return true;
}

}  // namespace arbor
