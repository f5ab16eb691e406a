#include "app/file_io.h"

#include <fcntl.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <atomic>
#include <cerrno>
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
    // A name of its own for each writer: several threads write pages at once.
    static std::atomic<unsigned> counter{0};
    const QFileInfo target(path);
    const QByteArray to = QFile::encodeName(target.absoluteFilePath());
    const QByteArray work =
        QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName()) + '.' +
        QByteArray::number(qint64(::getpid())) + '.' + QByteArray::number(++counter);
    const int fd = ::open(work.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    const bool closed = ::close(fd) == 0;
    const bool written = done == bytes.size() && closed;
    if (!written || std::rename(work.constData(), to.constData()) != 0) {
        ::unlink(work.constData());  // never a half file in the folder
        return false;
    }
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
