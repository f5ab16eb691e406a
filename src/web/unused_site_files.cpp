#include "web/unused_site_files.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <algorithm>
#include <functional>

#include "db/result_array.h"
#include "db/write_batch.h"
#include "db/zsvr.h"
#include "web/site_conversion.h"
#include "web/site_folders.h"
#include "web/site_tree.h"

namespace arbor::web {

namespace {

bool isPageFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QStringLiteral("htm") || suffix == QStringLiteral("html");
}

QString numberList(const QList<int>& pages) {
    QStringList parts;
    for (int p : pages)
        parts << QString::number(p);
    return parts.join(u',');
}

// The page files the visible tree publishes, as the site build names them.
QSet<QString> publishedFiles(const SiteTree& tree, const SiteConversion& fileNames) {
    QSet<QString> files;
    QHash<int, QString> subPages;
    ResultArray rows;
    zSvr::instance().readRows(QStringLiteral("Select noDoc, saSbP From tbHtm Where saSbP<>''"),
                              rows);
    for (int r = 0; r < rows.rowCount(); ++r)
        subPages.insert(rows(0, r).toInt(), rows(1, r).toString());
    auto add = [&](const QString& name) {
        files.insert(
            QDir::cleanPath(QString(sitePageFolder() + name).remove(QStringLiteral("pub/../"))));
    };
    QSet<int> onPath;
    std::function<void(int)> walk = [&](int parent) {
        for (int i : tree.children(parent)) {
            const SitePlacement& p = tree.at(i);
            if (onPath.contains(p.page))
                continue;
            add(fileNames.fileName(parent, p.page, p.link));
            if (p.link)
                continue;  // a link placement publishes neither sub pages nor collected ones
            for (const QString& entry : subPages.value(p.page).split(u',')) {
                const QString name = entry.trimmed();
                if (!name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\'))
                    add(name);
            }
            if (tree.isCollecting(p.page)) {
                for (int c : tree.children(p.page))
                    add(fileNames.fileName(0, tree.at(c).page, false));
                continue;
            }
            onPath.insert(p.page);
            walk(p.page);
            onPath.remove(p.page);
        }
    };
    walk(0);
    return files;
}

// The files a page refers to (src, href, url()), as absolute clean paths.
QStringList referencesOf(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(f.readAll());
    static const QRegularExpression ref(
        QStringLiteral(
            R"re((?:\b(?:src|href)\s*=\s*(?:"([^"]*)"|'([^']*)'))|url\(\s*['"]?([^'")]+))re"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    const QDir here = QFileInfo(file).dir();
    for (auto it = ref.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString target = m.captured(1) + m.captured(2) + m.captured(3);
        if (target.isEmpty() || target.startsWith(u'#') || target.contains(QStringLiteral("://")) ||
            target.startsWith(QStringLiteral("mailto:")) ||
            target.startsWith(QStringLiteral("javascript:")) ||
            target.startsWith(QStringLiteral("data:")))
            continue;
        target = target.section(u'#', 0, 0).section(u'?', 0, 0);
        target.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        target = QUrl::fromPercentEncoding(target.toUtf8());
        if (!target.isEmpty())
            out << QDir::cleanPath(here.absoluteFilePath(target));
    }
    return out;
}

}  // namespace

bool recomputePageUse(QString& error) {
    SiteTree tree;
    if (!tree.load(error))
        return false;
    QSet<int> used;
    QList<int> pending{0};
    while (!pending.isEmpty()) {
        const int parent = pending.takeLast();
        for (int i : tree.children(parent)) {
            const int page = tree.at(i).page;
            if (used.contains(page))
                continue;
            used.insert(page);
            pending << page;
        }
    }
    zSvr& db = zSvr::instance();
    WriteBatch batch;
    batch.add(QStringLiteral("Update msDoc Set boUse = 0 Where boUse <> 0 Or boUse Is Null"));
    QList<int> pages = used.values();
    std::sort(pages.begin(), pages.end());
    for (qsizetype from = 0; from < pages.size(); from += 500) {
        QString sql = QStringLiteral("Update msDoc Set boUse = 1 Where noDoc In (?)");
        db.T_CnvSq(sql, {numberList(pages.mid(from, 500))});
        batch.add(sql);
    }
    if (!batch.commit()) {
        error = db.lastError();
        return false;
    }
    return true;
}

bool listUnusedSiteFiles(const SiteConversion& fileNames, QList<UnusedFile>& files,
                         QString& error) {
    files.clear();
    SiteTree tree;
    if (!tree.load(error))
        return false;
    const QString root = QDir::cleanPath(siteRoot());
    if (!QFileInfo(root).isDir())
        return true;

    // Candidates: every file of the page folder and the enlarged pictures, and the page
    // files of the site root.
    QStringList candidates;
    for (const QString& folder :
         {QDir::cleanPath(sitePageFolder()), QDir::cleanPath(siteZoomFolder())}) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            candidates << QDir::cleanPath(it.next());
    }
    for (const QFileInfo& f : QDir(root).entryInfoList(QDir::Files))
        if (isPageFile(f.fileName()))
            candidates << QDir::cleanPath(f.absoluteFilePath());

    // Used: the published page files and what they refer to, following links to other
    // page files of the site.
    QSet<QString> used;
    QStringList pending;
    for (const QString& file : publishedFiles(tree, fileNames))
        if (QFileInfo(file).isFile()) {
            used.insert(file);
            pending << file;
        }
    while (!pending.isEmpty()) {
        const QString file = pending.takeLast();
        for (const QString& target : referencesOf(file)) {
            if (used.contains(target) || !QFileInfo(target).isFile())
                continue;
            used.insert(target);
            if (isPageFile(target) && target.startsWith(root + u'/'))
                pending << target;
        }
    }

    for (const QString& path : candidates) {
        if (used.contains(path))
            continue;
        UnusedFile f;
        f.path = path;
        f.relative = path.mid(root.size() + 1);
        f.size = QFileInfo(path).size();
        f.pageFile = isPageFile(path);
        files.push_back(f);
    }
    std::sort(files.begin(), files.end(), [](const UnusedFile& a, const UnusedFile& b) {
        if (a.pageFile != b.pageFile)
            return a.pageFile;
        return a.relative < b.relative;
    });
    return true;
}

int trashFiles(const QStringList& paths, QStringList& failed) {
    int moved = 0;
    for (const QString& path : paths) {
        // Straight to the trash by its name: a name is never read as a pattern, and a file
        // the trash refuses stays where it is.
        if (QFile::moveToTrash(path))
            ++moved;
        else
            failed << path;
    }
    return moved;
}

QString sizeText(qint64 bytes) {
    if (bytes < 1024)
        return QStringLiteral("%1 B").arg(bytes);
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg(bytes / 1024.0, 0, 'f', 1);
    return QStringLiteral("%1 MB").arg(bytes / (1024.0 * 1024.0), 0, 'f', 1);
}

}  // namespace arbor::web
