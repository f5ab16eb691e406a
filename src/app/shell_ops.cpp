#include "app/shell_ops.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>

#include "app/file_io.h"
#include "app/progress.h"
#include "app/prompter.h"

namespace arbor {

namespace {

UrlOpener& currentOpener() {
    static UrlOpener opener;
    return opener;
}

enum class Operation { Move, Copy, Delete };

// A folder is also a "file" here: every item that exists, links included.
bool existsAsItem(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool isRealDir(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

// The items named by source: NUL-separated paths, each possibly a pattern in its last part.
QStringList expandSources(const QString& source) {
    QStringList items;
    const QStringList parts = source.split(QChar(0), Qt::SkipEmptyParts);
    for (const QString& raw : parts) {
        const QString part = withoutTrailingSlash(raw);
        const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
        const QString name = part.mid(slash + 1);
        if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?'))) {
            items << part;
            continue;
        }
        const QDir dir(slash < 0 ? QStringLiteral(".") : part.left(slash + 1));
        QString pattern = name == QLatin1String("*.*") ? QStringLiteral("*") : name;
        pattern.replace(QLatin1Char('['), QLatin1String("[[]"));
        const QStringList found =
            dir.entryList({pattern}, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot |
                                         QDir::Hidden | QDir::System);
        for (const QString& n : found)
            items << dir.filePath(n);
    }
    return items;
}

// The real location of a path that may not exist yet: its nearest existing folder with
// links resolved, then the rest of the path.
QString realLocation(const QString& path) {
    QString existing = QFileInfo(path).absoluteFilePath();
    QString rest;
    while (!QFileInfo::exists(existing) && existing.size() > 1) {
        const qsizetype slash = existing.lastIndexOf(QLatin1Char('/'));
        rest = existing.mid(slash) + rest;
        existing = slash > 0 ? existing.left(slash) : QStringLiteral("/");
    }
    QString real = QFileInfo(existing).canonicalFilePath();
    if (real.isEmpty())
        real = existing;
    if (real.endsWith(QLatin1Char('/')))
        real.chop(1);
    return real + rest;
}

bool isInside(const QString& path, const QString& folder) {
    const QString a = realLocation(path);
    const QString b = realLocation(folder);
    return a == b || a.startsWith(b + QLatin1Char('/'));
}

bool askReplace(const QString& target, bool noConfirmation) {
    if (noConfirmation)
        return true;
    return prompter().confirm(target + QStringLiteral(" は既にあります 上書きして良いですか"));
}

bool removeItem(const QString& path) {
    if (isRealDir(path))
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

// Copies a folder's content into target (created when missing), merging with what is there.
bool copyTree(const QString& source, const QString& target) {
    if (!isRealDir(target) && !QDir().mkpath(target))
        return false;
    bool ok = true;
    const QDir dir(source);
    const QFileInfoList entries = dir.entryInfoList(
        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        const QString to = target + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() && !entry.isSymLink())
            ok = copyTree(entry.filePath(), to) && ok;
        else
            ok = copyFileReplacing(entry.filePath(), to) && ok;
    }
    return ok;
}

bool copyItem(const QString& source, const QString& target) {
    if (isRealDir(source))
        return copyTree(source, target);
    if (isRealDir(target))
        return false;  // a file cannot replace a folder
    return copyFileReplacing(source, target);
}

bool moveItem(const QString& source, const QString& target) {
    const bool sourceIsDir = isRealDir(source);
    if (!sourceIsDir && isRealDir(target))
        return false;  // a file cannot replace a folder
    if (!(sourceIsDir && existsAsItem(target))) {
        // Same file system: one atomic rename (it replaces a file, or takes an absent name).
        if (std::rename(QFile::encodeName(source).constData(),
                        QFile::encodeName(target).constData()) == 0)
            return true;
    }
    // Across file systems, or merging into an existing folder: copy everything, and
    // remove the source only when the whole copy succeeded.
    if (!copyItem(source, target))
        return false;
    return removeItem(source);
}

bool trashItem(const QString& path, bool noConfirmation) {
    if (!noConfirmation &&
        !prompter().confirm(path + QStringLiteral(" をごみ箱へ移動して良いですか")))
        return false;
    if (QFile::moveToTrash(path))
        return true;
    // No trash for this place: deleting for good cannot be undone, so it always needs
    // the user's OK, even when questions were turned off.
    if (!prompter().confirm(path + QStringLiteral(" はごみ箱へ移動できません\n") +
                            QStringLiteral("完全に削除して良いですか")))
        return false;
    return removeItem(path);
}

}  // namespace

UrlOpener setUrlOpener(UrlOpener opener) {
    UrlOpener previous = std::move(currentOpener());
    currentOpener() = std::move(opener);
    return previous;
}

namespace {

bool openUrl(const QUrl& url) {
    if (currentOpener())
        return currentOpener()(url);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QDesktopServices::openUrl(url);
    // Without a GUI (batch commands) the desktop's opener is still there.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString(QUrl::FullyEncoded)});
}

}  // namespace

bool openWithDesktop(const QUrl& url) {
    if (!url.isValid())
        return false;
    if (openUrl(url))
        return true;
    // Without a word the user would take the command for broken.
    prompter().message(
        QStringLiteral("表示するｱﾌﾟﾘｹｰｼｮﾝが見つかりません\n") +
            (url.isLocalFile() ? url.toLocalFile() : url.toString()) +
            QStringLiteral("\n\nﾌﾞﾗｳｻﾞなどの既定のｱﾌﾟﾘｹｰｼｮﾝ(xdg-open)を確認して下さい"),
        Severity::Warning);
    return false;
}

QUrl urlForTarget(const QString& target) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]+:"));
    if (scheme.match(target).hasMatch())
        return QUrl(target);
    QString path = target;
    if (path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
}

bool ShFileOp(const QString& operation, const QString& source, const QString& destination,
              bool silent, bool noConfirmation) {
    Operation op;
    if (operation == QStringLiteral("移動"))
        op = Operation::Move;
    else if (operation == QStringLiteral("複写"))
        op = Operation::Copy;
    else if (operation == QStringLiteral("削除"))
        op = Operation::Delete;
    else
        return false;

    const QStringList items = expandSources(source);
    if (items.isEmpty())
        return false;
    const QString destFolder = withoutTrailingSlash(destination);
    if (op != Operation::Delete) {
        if (destFolder.isEmpty())
            return false;
        // Several items always go into a folder, which is made when missing.
        if (items.size() > 1 && !isRealDir(destFolder) && !QDir().mkpath(destFolder))
            return false;
    }
    const bool intoFolder = items.size() > 1 || isRealDir(destFolder);

    bool ok = true;
    for (const QString& item : items) {
        if (!existsAsItem(item)) {
            ok = false;
            continue;
        }
        if (!silent)
            progress().status(operation + QStringLiteral(": ") + item);
        if (op == Operation::Delete) {
            ok = trashItem(item, noConfirmation) && ok;
            continue;
        }
        const QString target =
            intoFolder ? destFolder + QLatin1Char('/') + QFileInfo(item).fileName() : destFolder;
        // A folder into itself or its own subfolder would never end.
        if (isRealDir(item) && isInside(target, item)) {
            ok = false;
            continue;
        }
        if (realLocation(target) == realLocation(item)) {
            ok = false;
            continue;
        }
        if (existsAsItem(target) && !askReplace(target, noConfirmation)) {
            ok = false;
            continue;
        }
        ok = (op == Operation::Copy ? copyItem(item, target) : moveItem(item, target)) && ok;
    }
    return ok;
}

bool RecycleFile(const QString& path) {
    return ShFileOp(QStringLiteral("削除"), path, QString(), true, true);
}

bool A_ViewIE(const QString& address) {
    if (address.isEmpty())
        return false;
    return openWithDesktop(urlForTarget(address));
}

}  // namespace arbor
