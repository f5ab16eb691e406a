#include "app/file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
