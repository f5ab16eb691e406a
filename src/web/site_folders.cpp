#include "web/site_folders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "app/file_io.h"
#include "app/program_state.h"

namespace arbor::web {

namespace {

QString skeleton() {
    return G().UserPath + QStringLiteral("Site/Moto");
}

// Copies a folder's files and subfolders (not hidden ones, such as a .gitkeep).
bool copyTree(const QString& from, const QString& to, QString& error) {
    if (!QDir().mkpath(to)) {
        error = QStringLiteral("ﾌｫﾙﾀﾞを作成できません: ") + to;
        return false;
    }
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target)) {
                error = QStringLiteral("ﾌｫﾙﾀﾞを作成できません: ") + target;
                return false;
            }
        } else if (!copyFileReplacing(source, target)) {
            error = QStringLiteral("ﾌｧｲﾙを複写できません: ") + target;
            return false;
        }
    }
    return true;
}

}  // namespace

QString siteRoot() {
    return G().UserPath + QStringLiteral("Site/") + G().DbName;
}
QString siteCommonFolder() {
    return siteRoot() + QStringLiteral("/cmn");
}
QString sitePageFolder() {
    return siteRoot() + QStringLiteral("/pub/");
}
QString siteTemplateFolder() {
    return siteRoot() + QStringLiteral("/Template/");
}
QString siteZoomFolder() {
    return siteRoot() + QStringLiteral("/pc_zoom");
}

bool installShippedFolder(const QString& shipped, const QString& target, const QString& what,
                          QString& error) {
    if (QFileInfo(target).isDir())
        return true;
    if (!QFileInfo(shipped).isDir()) {
        error = what + QStringLiteral("の雛形が見つかりません: ") + shipped;
        return false;
    }
    // Built beside and renamed, so a half-copied skeleton never stands in for the real one.
    const QString work = target + QStringLiteral(".new");
    QDir(work).removeRecursively();
    if (!copyTree(shipped, work, error) || !QDir().rename(work, target)) {
        QDir(work).removeRecursively();
        if (error.isEmpty())
            error = what + QStringLiteral("の雛形を作成できません: ") + target;
        return false;
    }
    return true;
}

bool ensureSkeletonSite(QString& error) {
    return installShippedFolder(G().ApDataPath + QStringLiteral("Site/Moto"), skeleton(),
                                QStringLiteral("ｻｲﾄ"), error);
}

void PrepareSiteFolders() {
    QString ignored;
    ensureSkeletonSite(ignored);  // without it the site folders are made empty
    const QString root = siteRoot();
    const struct {
        QString from;
        QString to;
    } pairs[] = {{skeleton(), root},
                 {skeleton() + QStringLiteral("/cmn"), root + QStringLiteral("/cmn")},
                 {skeleton() + QStringLiteral("/pub"), root + QStringLiteral("/pub")},
                 {skeleton() + QStringLiteral("/Template"), root + QStringLiteral("/Template")}};
    for (const auto& pair : pairs) {
        if (QFileInfo::exists(pair.to))
            continue;
        QDir().mkpath(pair.to);
        const QDir from(pair.from);
        for (const QString& name : from.entryList(QDir::Files))
            copyFileReplacing(from.filePath(name), pair.to + u'/' + name);
    }
}

}  // namespace arbor::web
