#include "web/htm_export.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTextDocument>
#include <algorithm>
#include <functional>

#include "app/file_io.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/prompter.h"
#include "db/result_array.h"
#include "db/zsvr.h"
#include "editor/byte_format.h"
#include "web/htm_tree_index.h"
#include "web/html_converter.h"
#include "web/page_use.h"
#include "web/site_folders.h"
#include "web/yhtm_settings.h"

namespace arbor::web {

namespace {

const QStringList kCommonFiles = QStringLiteral(
                                     "page-fx.css,page-el.css,minus.gif,plus.gif,none.gif,"
                                     "back.gif,menu.js")
                                     .split(u',');

QString skeleton() {
    return G().UserPath + QStringLiteral("Htm/Moto");
}

QString clean(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// a is b or a folder above b.
bool holds(const QString& a, const QString& b) {
    const QString x = clean(a);
    const QString y = clean(b);
    return y == x || y.startsWith(x == QStringLiteral("/") ? x : x + u'/');
}

// Moves every file of from into to (sub-folders merged), replacing files of the same name.
bool mergeInto(const QString& from, const QString& to, QString& error) {
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (QFileInfo(target).isDir() || (QFileInfo::exists(target) && !QFile::remove(target)) ||
            !QFile::rename(source, target)) {
            error = QStringLiteral("ﾌｧｲﾙを置き換えられません: ") + target;
            return false;
        }
    }
    return true;
}

struct TreeRow {
    int page = 0;
    QString title;
    bool collecting = false;
    bool link = false;
    bool guarded = false;
    QDateTime updated;
};

class Export {
  public:
    explicit Export(const HtmExportRequest& request) : request_(request) {}

    HtmExportReport run();

  private:
    bool readTree(QString& error);
    void walk(int parent, const QString& parentKey, int level, QVector<int>& into);
    bool prepareStaging(QString& error);
    void copyCommonFiles();
    void writeFramesPages();
    void writeTreeIndexPages();
    bool loadPage(int page, QTextDocument& document, bool& png, QString& error);
    bool write(const QString& file, const QString& text);
    bool finish(QString& error);

    const HtmExportRequest& request_;
    HtmExportReport report_;
    QString folder_;   // the export folder, ending in "/"
    QString staging_;  // where the new export is built, ending in "/"
    QHash<int, QVector<TreeRow>> children_;
    QVector<HtmEntry> entries_;
    QVector<int> roots_;
    int topPage_ = 0;
    QString siteTitle_;
    bool favicon_ = false;
    HtmlSiteSettings site_;
    QSet<int> path_;
    QSet<int> collecting_;  // pages whose children are listed newest first
};

bool Export::readTree(QString& error) {
    ResultArray rows;
    zSvr& db = zSvr::instance();
    if (!db.readRows(QStringLiteral("Select T.noLfP, T.noLfC, T.szDoc, D.boCod, T.boLnk, "
                                    "T.boHogo, D.dyUdt From tbTree T, msDoc D Where T.noLfC = "
                                    "D.noDoc And T.boHide =0 Order By T.noLfP, T.inSrt"),
                     rows)) {
        error = db.lastError();
        return false;
    }
    for (int r = 0; r < rows.rowCount(); ++r) {
        const TreeRow row{rows(1, r).toInt(),      rows(2, r).toString(),
                          rows(3, r).toInt() == 1, rows(4, r).toInt() != 0,
                          rows(5, r).toInt() != 0, rows(6, r).toDateTime()};
        children_[rows(0, r).toInt()].push_back(row);
        if (row.collecting)
            collecting_.insert(row.page);
    }
    return true;
}

void Export::walk(int parent, const QString& parentKey, int level, QVector<int>& into) {
    if (path_.contains(parent))
        return;  // a link that closes a loop is listed, not walked into again
    path_.insert(parent);
    QVector<TreeRow> list = children_.value(parent);
    if (collecting_.contains(parent))
        std::stable_sort(list.begin(), list.end(),
                         [](const TreeRow& a, const TreeRow& b) { return a.updated > b.updated; });
    for (int i = 0; i < list.size(); ++i) {
        const TreeRow& row = list[i];
        HtmEntry e;
        e.parent = parent;
        e.page = row.page;
        e.title = QString(row.title).remove(u'?');
        e.link = row.link;
        e.collecting = row.collecting;
        e.guarded = row.guarded;
        e.key = parentKey + treeKeyCharacter(i);
        e.level = level;
        e.file = htmFileName(parent, row.page, row.link, topPage_, request_.topFileName);
        const int index = entries_.size();
        entries_.push_back(e);
        into.push_back(index);
        QVector<int> below;
        walk(row.page, e.key, level + 1, below);
        entries_[index].children = below;
    }
    path_.remove(parent);
}

bool Export::prepareStaging(QString& error) {
    QDir(staging_).removeRecursively();
    if (!QDir().mkpath(staging_)) {
        error = QStringLiteral("ﾌｫﾙﾀﾞを作成できません: ") + staging_;
        return false;
    }
    return true;
}

void Export::copyCommonFiles() {
    const QString from = skeleton() + QStringLiteral("/cmn/");
    QDir().mkpath(staging_ + QStringLiteral("cmn"));
    for (const QString& name : kCommonFiles) {
        // A common file the export already has stays as the user may have changed it.
        if (!request_.emptyFirst && QFileInfo::exists(folder_ + QStringLiteral("cmn/") + name))
            continue;
        if (!QFileInfo::exists(from + name)) {
            report_.problems << from + name + QStringLiteral(" Not Found");
            continue;
        }
        if (!copyFileReplacing(from + name, staging_ + QStringLiteral("cmn/") + name))
            report_.problems << QStringLiteral("ﾌｧｲﾙを複写できません: ") + name;
    }
}

bool Export::loadPage(int page, QTextDocument& document, bool& png, QString& error) {
    zSvr& db = zSvr::instance();
    QString sql = QStringLiteral("Select obDoc, boPng From msDoc Where noDoc = ?");
    db.T_CnvSq(sql, {page});
    ResultArray rows;
    if (!db.readRows(sql, rows) || rows.rowCount() == 0) {
        error = QStringLiteral("ﾍﾟｰｼﾞがありません");
        return false;
    }
    png = rows(1, 0).toInt() == 1;
    const QByteArray bytes = rows(0, 0).toByteArray();
    if (bytes.isEmpty())
        return true;  // a page without a document is written empty
    doc::DocumentParts parts;
    parts.body = &document;
    return byteformat::load(bytes, parts, error);
}

bool Export::write(const QString& file, const QString& text) {
    const QString path = staging_ + file;
    if (writeGeneratedFile(path, text.toUtf8())) {
        progress().status(folder_ + file + QStringLiteral("を出力しました"));
        return true;
    }
    report_.problems << folder_ + file + QStringLiteral("を出力できませんでした");
    return false;
}

void Export::writeFramesPages() {
    site_.htmlKind = kHtml401Transitional;
    const HtmlConverter converter(site_);
    QVector<int> pages;
    // Home placements only, through home placements only.
    std::function<void(const QVector<int>&)> collect = [&](const QVector<int>& list) {
        for (int index : list) {
            if (entries_[index].link)
                continue;
            pages << index;
            collect(entries_[index].children);
        }
    };
    collect(roots_);
    QSet<int> done;
    for (int n = 0; n < pages.size(); ++n) {
        const HtmEntry& e = entries_[pages[n]];
        progress().step(n + 1, pages.size());
        if (done.contains(e.page))
            continue;
        done.insert(e.page);
        const QString file = QString::number(e.page) + QStringLiteral(".htm");
        QTextDocument document;
        PageOptions options;
        options.pageNumber = e.page;
        options.targetPath = staging_ + file;
        options.title = e.title;
        QString error;
        if (!loadPage(e.page, document, options.pngPictures, error) ||
            !converter.savePage(document, options, SaveKind::Site, error)) {
            report_.problems
                << QStringLiteral("文書No:%1 HTM出力できませんでした: %2").arg(e.page).arg(error);
            continue;
        }
        ++report_.written;
        progress().status(folder_ + file + QStringLiteral("を出力しました"));
    }
    write(QStringLiteral("navi.htm"), contentsPage(entries_, roots_, siteTitle_));
    const QString frame =
        request_.topFileName.isEmpty() ? QStringLiteral("frame.htm") : request_.topFileName;
    write(frame, framePage(topPage_ > 0 ? topPage_ : 1001, siteTitle_, favicon_));
    report_.entryPath = folder_ + frame;
}

void Export::writeTreeIndexPages() {
    site_.htmlKind = kHtml401Strict;
    const HtmlConverter converter(site_);
    const QStringList menu = treeIndexLines(entries_, roots_);
    const QString pageTemplate = treeIndexTemplate(request_.elastic, favicon_);
    for (int n = 0; n < entries_.size(); ++n) {
        const HtmEntry& e = entries_[n];
        progress().step(n + 1, entries_.size());
        // Protection keeps an earlier file; a page never written before is written.
        if (e.guarded && QFileInfo::exists(folder_ + e.file) &&
            prompter().ask(e.title + QStringLiteral(" のﾍﾟｰｼﾞは Htm出力保護が指定されていますが、"
                                                    "新しくHtm出力してよいですか"),
                           Buttons::YesNo, Severity::Question) != Answer::Yes) {
            ++report_.skipped;
            // Emptying would lose the earlier file the answer keeps.
            if (request_.emptyFirst)
                copyFileReplacing(folder_ + e.file, staging_ + e.file);
            continue;
        }
        const bool top = e.parent == 0 && e.page == topPage_ && !e.link;
        QTextDocument document;
        PageOptions options;
        options.pageNumber = e.page;
        options.targetPath = staging_ + e.file;
        options.linkPlacement = e.link;
        options.title = top ? e.title : e.title + QStringLiteral(" | ") + siteTitle_;
        QString error;
        QString body;
        QString style;
        if (!loadPage(e.page, document, options.pngPictures, error) ||
            !converter.innerBody(document, options, body, style, error)) {
            progress().status(QStringLiteral("HTM出力できませんでした"));
            report_.problems
                << QStringLiteral("文書No:%1 HTM出力できませんでした: %2").arg(e.page).arg(error);
            continue;
        }
        QString page = pageTemplate;
        page.replace(QStringLiteral("[TITLE]"), options.title);
        page.replace(QStringLiteral("[STYLE]"), style);
        page.replace(QStringLiteral("[DOC]"), body);
        page.replace(QStringLiteral("[MENU]"), openTreeIndex(menu, e.key, e.title));
        while (page.contains(QStringLiteral("\r\n\r\n")))
            page.replace(QStringLiteral("\r\n\r\n"), QStringLiteral("\r\n"));
        if (write(e.file, page))
            ++report_.written;
        if (top && report_.entryPath.isEmpty())
            report_.entryPath = folder_ + e.file;
    }
}

bool Export::finish(QString& error) {
    const QString target = folder_.chopped(1);
    if (!request_.emptyFirst || !QFileInfo::exists(target)) {
        if (!QFileInfo::exists(target) && QDir().rename(staging_.chopped(1), target))
            return true;
        QDir().mkpath(target);
        const bool ok = mergeInto(staging_.chopped(1), target, error);
        QDir(staging_).removeRecursively();
        return ok;
    }
    // Emptied: the new folder takes the old one's place, which goes only after that.
    const QString old = QFileInfo(target).absolutePath() + QStringLiteral("/.") +
                        QFileInfo(target).fileName() + QStringLiteral(".arbor-old");
    QDir(old).removeRecursively();
    if (!QDir().rename(target, old)) {
        error = QStringLiteral("ﾌｫﾙﾀﾞを空にできません: ") + target;
        return false;
    }
    if (!QDir().rename(staging_.chopped(1), target)) {
        QDir().rename(old, target);
        error = QStringLiteral("ﾌｫﾙﾀﾞを置き換えられません: ") + target;
        return false;
    }
    QDir(old).removeRecursively();
    return true;
}

HtmExportReport Export::run() {
    auto fail = [&](const QString& message) {
        report_.message = message;
        if (!staging_.isEmpty())
            QDir(staging_).removeRecursively();
        progress().hideWait();
        return report_;
    };
    zSvr& db = zSvr::instance();
    if (!db.isOpen() || G().DbName.isEmpty())
        return fail(QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽが開かれていません"));
    const QString chosen =
        request_.folder.trimmed().isEmpty() ? defaultHtmFolder() : request_.folder;
    const QString refusal = refuseHtmFolder(chosen);
    if (!refusal.isEmpty())
        return fail(refusal);
    const QString name = request_.topFileName;
    if (name.contains(u'/') || name.contains(u'\\') || name == QStringLiteral("..") ||
        name == QStringLiteral("."))
        return fail(QStringLiteral("ﾌｧｲﾙ名が不正です: ") + name);
    folder_ = clean(chosen) + u'/';
    report_.folder = folder_;
    if (!QFileInfo::exists(folder_) && QDir().mkpath(folder_))
        progress().status(folder_ + QStringLiteral("を作成しました"));
    if (!QFileInfo(folder_).isDir())
        return fail(QStringLiteral("ﾌｫﾙﾀﾞを作成できません: ") + folder_);
    QString error;
    if (!ensureHtmSkeleton(error))
        return fail(error);
    web::markPagesInTree();
    if (!readTree(error))
        return fail(error);
    walk(0, QString(), 0, roots_);
    children_.clear();
    for (int index : roots_)
        if (!entries_[index].link) {
            topPage_ = entries_[index].page;
            break;
        }
    if (entries_.isEmpty() && !request_.frames)
        return fail(QStringLiteral("出力するﾍﾟｰｼﾞがありません"));
    // The top page's file name leads links to the top page there.
    for (HtmEntry& e : entries_)
        e.file = htmFileName(e.parent, e.page, e.link, topPage_,
                             request_.frames ? QString() : request_.topFileName);
    siteTitle_ = db.R_GtVaL(QStringLiteral("Select szTtl From tbHtm Where noDoc=%1").arg(topPage_),
                            QString())
                     .toString();
    if (siteTitle_.isEmpty() && !roots_.isEmpty())
        siteTitle_ = entries_[roots_.first()].title;
    favicon_ = !request_.emptyFirst && QFileInfo::exists(folder_ + QStringLiteral("favicon.ico"));

    site_ = defaultSiteSettings();
    loadTermTexts(site_);
    if (!request_.frames && !request_.topFileName.isEmpty() && topPage_ > 0)
        site_.customNames.insert(topPage_, request_.topFileName);

    const QFileInfo target(folder_.chopped(1));
    staging_ = target.absolutePath() + QStringLiteral("/.") + target.fileName() +
               QStringLiteral(".arbor-new/");
    if (!prepareStaging(error))
        return fail(error);
    progress().showWait(QStringLiteral("しばらくお待ち下さい"));
    copyCommonFiles();
    if (request_.frames)
        writeFramesPages();
    else
        writeTreeIndexPages();
    if (progress().cancelRequested())
        return fail(QStringLiteral("中止しました"));
    if (report_.written == 0 && !entries_.isEmpty())
        return fail(QStringLiteral("HTM出力できませんでした"));
    if (!finish(error))
        return fail(error);
    staging_.clear();
    progress().hideWait();
    report_.ok = true;
    return report_;
}

}  // namespace

QString defaultHtmFolder() {
    return G().UserPath + QStringLiteral("Htm/") + G().DbName;
}

bool ensureHtmSkeleton(QString& error) {
    return installShippedFolder(G().ApDataPath + QStringLiteral("Htm/Moto"), skeleton(),
                                QStringLiteral("HTM出力"), error);
}

QString refuseHtmFolder(const QString& folder) {
    if (folder.trimmed().isEmpty())
        return QStringLiteral("出力先ﾌｫﾙﾀﾞを指定して下さい");
    const QString f = clean(folder);
    const QString why =
        QStringLiteral("このﾌｫﾙﾀﾞには出力できません (空にすると他のﾌｧｲﾙが消えます): ");
    if (!G().UserPath.isEmpty() && holds(f, G().UserPath))
        return why + f;
    if (!G().UserPath.isEmpty() &&
        (holds(f, siteRoot()) || holds(siteRoot(), f) || holds(skeleton(), f)))
        return why + f;
    const QString source = zSvr::instance().dataSourceName();
    if (!source.isEmpty() && QFileInfo::exists(source) && holds(f, source))
        return why + f;
    if (holds(f, QDir::homePath()))
        return why + f;
    return QString();
}

HtmExportReport exportHtm(const HtmExportRequest& request) {
    return Export(request).run();
}

}  // namespace arbor::web
