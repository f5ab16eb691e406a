#include "web/site_build.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

#include "app/program_state.h"
#include "app/progress.h"
#include "app/prompter.h"
#include "db/result_array.h"
#include "db/schema.h"
#include "db/write_batch.h"
#include "db/zsvr.h"
#include "web/page_jobs.h"
#include "web/site_folders.h"
#include "web/site_navigation.h"
#include "web/site_template.h"
#include "web/site_tree.h"

namespace arbor::web {

namespace {

// ---------------------------------------------------------------- change propagation

struct TreeRow {
    int parent = 0;
    int page = 0;
    QDateTime changed;
    QDateTime changedNear;
};

QDateTime orEarliest(const QDateTime& d) {
    static const QDateTime earliest(QDate(1900, 1, 1), QTime(0, 0));
    return d.isValid() ? d : earliest;
}

}  // namespace

bool propagateChanges(QString& error) {
    zSvr& db = zSvr::instance();
    ResultArray rows;
    if (!db.readRows(QStringLiteral("Select noLfP, noLfC, dyUdt, dyUdt_P From tbTree"), rows)) {
        error = db.lastError();
        return false;
    }
    QVector<TreeRow> tree(rows.rowCount());
    QDateTime top = orEarliest({});
    QHash<int, QDateTime> latest;  // page -> latest dyUdt of placements it is parent or child in
    for (int r = 0; r < rows.rowCount(); ++r) {
        TreeRow& t = tree[r];
        t.parent = rows(0, r).toInt();
        t.page = rows(1, r).toInt();
        t.changed = rows(2, r).toDateTime();
        t.changedNear = rows(3, r).toDateTime();
        const QDateTime c = orEarliest(t.changed);
        if (t.parent == 0)
            top = std::max(top, c);
        for (int x : {t.parent, t.page}) {
            auto it = latest.find(x);
            if (it == latest.end())
                latest.insert(x, c);
            else if (c > *it)
                *it = c;
        }
    }
    // The pages that are placed somewhere, each written in ascending order: a placement
    // keeps the value of the larger of its two page numbers that is placed.
    QSet<int> placed;
    for (const TreeRow& t : tree)
        placed.insert(t.page);
    auto valueFor = [&](int x) { return std::max(top, orEarliest(latest.value(x))); };
    WriteBatch batch;
    for (const TreeRow& t : tree) {
        const int x = placed.contains(t.parent) ? std::max(t.parent, t.page) : t.page;
        const QDateTime value = valueFor(x);
        if (t.changedNear == value)
            continue;
        QString sql = QStringLiteral("Update tbTree Set dyUdt_P = ? Where noLfP = ? And noLfC = ?");
        db.T_CnvSq(sql, {SqlDateLiteral(value, G().IsJet), t.parent, t.page});
        batch.add(sql);
    }
    if (!batch.commit()) {
        error = db.lastError();
        return false;
    }
    return true;
}

namespace {

// ---------------------------------------------------------------- planning the walk

class Planner {
  public:
    Planner(const SiteTree& tree, const SiteConversion& conversion, PageSequence& sequence,
            const SiteBuildRequest& request, const QHash<int, QString>& templates,
            const QSet<int>& selection, const HeadSettings& heads, PagePlan& plan,
            SiteBuildReport& report)
        : tree_(tree),
          conversion_(conversion),
          sequence_(sequence),
          request_(request),
          templates_(templates),
          selection_(selection),
          heads_(heads),
          plan_(plan),
          report_(report) {}

    void walk(int level, int parent, const QString& parentTemplate, const QString& parentTrail,
              const PageHeadData& parentHead) {
        if (done_ || tree_.isCollecting(parent))
            return;
        for (int i : tree_.children(parent)) {
            const SitePlacement& p = tree_.at(i);
            if (path_.contains(p.page)) {
                report_.problems << QStringLiteral(
                                        "文書No:%1 はそれ自身の下に置かれています"
                                        "(ﾂﾘｰの循環)　その下は出力しません")
                                        .arg(p.page);
                continue;
            }
            if (level == 0) {
                plan_.menus.push_back(BuildTopMenus(
                    tree_, [this](int a, int b, bool l) { return conversion_.fileName(a, b, l); },
                    p.page));
            }
            const QString file = conversion_.fileName(parent, p.page, p.link);
            const QString trail = BuildTrail(parentTrail, file, p.label);
            const PageHeadData head = heads_.effective(p.page, parentHead, p.label);
            // What the page passes down: its own row, or what it inherited (not its label).
            const PageHeadData passed =
                heads_.has(p.page) ? heads_.effective(p.page, parentHead, QString()) : parentHead;
            QString templ = parentTemplate;
            if (request_.mode != UpdateMode::TemplatePreview && templates_.contains(p.page))
                templ = templates_.value(p.page);
            // Protection keeps a written file; a protected page with no file yet gets one,
            // or every menu would link to nothing.
            const bool firstFile =
                p.guarded && request_.mode != UpdateMode::TemplatePreview &&
                !QFileInfo::exists(
                    QString(sitePageFolder() + file).remove(QStringLiteral("pub/../")));
            if (p.guarded && !firstFile) {
                ++report_.guarded;
            } else if (selected(p)) {
                PageJob job;
                job.level = level;
                job.parent = parent;
                job.page = p.page;
                job.link = p.link;
                job.file = file;
                job.templateName = templ;
                job.trail = trail;
                job.head = head;
                job.menus = static_cast<int>(plan_.menus.size()) - 1;
                job.leftMenu = sequence_.BuildLeftMenu(parent, p.page);
                job.row = sequence_.locate(parent, p.page) < 0 ? -1 : sequence_.cursor() - 1;
                job.stamp = !p.guarded && (request_.mode == UpdateMode::Sync ||
                                           request_.mode == UpdateMode::SinceDate ||
                                           request_.mode == UpdateMode::AllPages);
                plan_.jobs.push_back(job);
                if (request_.mode == UpdateMode::TemplatePreview) {
                    done_ = true;
                    return;
                }
            } else {
                ++report_.unchanged;
            }
            path_.push_back(p.page);
            walk(level + 1, p.page, templ, trail, passed);
            path_.pop_back();
            if (done_)
                return;
        }
    }

  private:
    bool selected(const SitePlacement& p) const {
        const QDateTime& now = now_;
        const SitePage* page = tree_.page(p.page);
        const QDateTime pageChanged = page && page->changed.isValid() ? page->changed : now;
        const QDateTime near = p.changedNear.isValid() ? p.changedNear : now;
        switch (request_.mode) {
            case UpdateMode::Sync: {
                const QDateTime published =
                    p.published.isValid() ? p.published : QDateTime(QDate(2001, 1, 1), QTime(0, 0));
                return near > published || pageChanged > published;
            }
            case UpdateMode::SinceDate:
                return near >= request_.since || pageChanged >= request_.since;
            case UpdateMode::TemplatePreview:
                return p.page == request_.currentPage;
            case UpdateMode::AllPages:
                return true;
            case UpdateMode::CurrentNode:
            case UpdateMode::CurrentNodeAndBelow:
                return selection_.contains(p.page);
        }
        return false;
    }

    const SiteTree& tree_;
    const SiteConversion& conversion_;
    PageSequence& sequence_;
    const SiteBuildRequest& request_;
    const QHash<int, QString>& templates_;
    const QSet<int>& selection_;
    const HeadSettings& heads_;
    PagePlan& plan_;
    SiteBuildReport& report_;
    QVector<int> path_;
    bool done_ = false;
    const QDateTime now_ = QDateTime::currentDateTime();
};

// The selection of CurrentNode (the page and its visible children) and CurrentNodeAndBelow
// (and all their visible descendants).
QSet<int> selectionOf(const SiteTree& tree, int page, bool below) {
    QSet<int> selected{page};
    QVector<int> pending{page};
    while (!pending.isEmpty()) {
        const int parent = pending.takeLast();
        for (int i : tree.children(parent)) {
            const int child = tree.at(i).page;
            if (selected.contains(child))
                continue;
            selected.insert(child);
            if (below)
                pending.push_back(child);
        }
    }
    return selected;
}

// The template map: the pages whose template is named and exists.
QHash<int, QString> templateMap(QStringList& missing) {
    QHash<int, QString> map;
    ResultArray rows;
    zSvr::instance().readRows(
        QStringLiteral("Select noDoc, saTpl From tbHtm Where saTpl<>'' Order By noDoc"), rows);
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString name = rows(1, r).toString().trimmed();
        const QString path = siteTemplateFolder() + name;
        if (!QFileInfo(path).isFile()) {
            missing << path;
            continue;
        }
        map.insert(rows(0, r).toInt(), name);
    }
    return map;
}

bool stop(SiteBuildReport& report, const QString& message) {
    report.message = message;
    prompter().message(message, Severity::Warning);
    return false;
}

}  // namespace

SiteBuildReport SiteBuild::run(const SiteBuildRequest& request) {
    SiteBuildReport report;
    QElapsedTimer clock;
    clock.start();
    zSvr& db = zSvr::instance();
    if (!db.isOpen()) {
        stop(report, QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽが開かれていません"));
        return report;
    }
    struct Wait {
        Wait() { progress().showWait(QStringLiteral("サイトを更新しています")); }
        ~Wait() { progress().hideWait(); }
    } wait;

    QElapsedTimer phase;
    phase.start();
    auto mark = [&](const char* name) {
        report.phases << QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(phase.restart());
    };
    RebuildLinkFlags(true);
    mark("link-flags");
    // Whether any page has its HTML cached: the first one answers (a count would read
    // every page's cached text).
    if (db.R_GtVaL(QStringLiteral("Select Top 1 noDoc From msDoc Where txBd<>''"), 0).toInt() == 0)
        UpgradeDb();
    PrepareSiteFolders();
    mark("folders");
    const bool fresh = request.mode == UpdateMode::AllPages ||
                       request.mode == UpdateMode::CurrentNode ||
                       request.mode == UpdateMode::CurrentNodeAndBelow;
    if (fresh)
        // Rows already without a cache date are left alone: rewriting ten thousand page rows
        // to set what they hold costs more than the whole walk.
        db.D_ExeSq(QStringLiteral("Update msDoc Set dyHtm = Null Where dyHtm Is Not Null"));

    QStringList missingTemplates;
    const QHash<int, QString> templates = templateMap(missingTemplates);
    for (const QString& path : missingTemplates)
        prompter().message(
            QStringLiteral("ﾃﾝﾌﾟﾚｰﾄ指定されている \r") + path + QStringLiteral("\rが存在しません"),
            Severity::Warning);

    QString error;
    if ((request.mode == UpdateMode::Sync || request.mode == UpdateMode::SinceDate) &&
        !propagateChanges(error)) {
        stop(report, QStringLiteral("変更日の伝播ができません: ") + error);
        return report;
    }
    SiteTree tree;
    mark("propagation");
    if (!tree.load(error)) {
        stop(report, QStringLiteral("ﾍﾟｰｼﾞのﾂﾘｰを読めません: ") + error);
        return report;
    }
    QSet<int> selection;
    if (request.mode == UpdateMode::CurrentNode || request.mode == UpdateMode::CurrentNodeAndBelow)
        selection =
            selectionOf(tree, request.currentPage, request.mode == UpdateMode::CurrentNodeAndBelow);

    const QString folder = siteTemplateFolder();
    QString topTemplate;
    if (request.mode == UpdateMode::TemplatePreview) {
        topTemplate = QStringLiteral("tpl_wrk.htm");
    } else {
        const QVector<int>& tops = tree.children(0);
        const int top = tops.isEmpty() ? 0 : tree.at(tops.first()).page;
        topTemplate = templates.value(top);
        if (top == 0 || topTemplate.isEmpty()) {
            stop(report, QStringLiteral("トップページのテンプレートが指定されていません\r"
                                        "Web→サイト出力時の指定の画面で指定して下さい"));
            return report;
        }
        if (!QFileInfo(folder).isDir()) {
            stop(report, QStringLiteral("テンプレートのフォルダが存在しません\r") + folder +
                             QStringLiteral(" に指定のテンプレートを格納して下さい"));
            return report;
        }
        if (!QFileInfo(folder + topTemplate).isFile()) {
            stop(report, QStringLiteral("トップページのテンプレートが存在しません\r") + folder +
                             topTemplate + QStringLiteral(" を確認して下さい"));
            return report;
        }
    }
    QDir().mkpath(sitePageFolder());
    QDir().mkpath(siteZoomFolder());
    mark("tree");
    if (!conversion_.loadSettings(error)) {
        stop(report, QStringLiteral("ｻｲﾄ出力の設定を読めません: ") + error);
        return report;
    }

    const FileNameOf fileName = [this](int parent, int page, bool link) {
        return conversion_.fileName(parent, page, link);
    };
    PageSequence sequence;
    mark("settings");
    sequence.build(tree, fileName);
    mark("sequence");
    PagePlan plan;
    if (const QVector<int>& tops = tree.children(0); !tops.isEmpty()) {
        const SitePlacement& top = tree.at(tops.first());
        plan.siteTitle = db.R_GtVaL(QStringLiteral("Select szTtl From tbHtm Where noDoc=") +
                                        QString::number(top.page),
                                    QString())
                             .toString()
                             .trimmed();
        if (plan.siteTitle.isEmpty())
            plan.siteTitle = top.label;
        plan.topFile = fileName(0, top.page, top.link);
    }
    HeadSettings heads;
    heads.load();
    Planner planner(tree, conversion_, sequence, request, templates, selection, heads, plan,
                    report);
    planner.walk(0, 0, topTemplate, QString(), PageHeadData());
    mark("walk");

    if (const int top = tree.children(0).isEmpty() ? -1 : tree.children(0).first(); top >= 0)
        report.topFile = sitePageFolder() + fileName(0, tree.at(top).page, tree.at(top).link);
    if (request.mode == UpdateMode::TemplatePreview) {
        report.currentFile = folder + topTemplate;
    } else if (request.currentPage > 0) {
        const int i = tree.find(request.currentParent, request.currentPage);
        report.currentFile = sitePageFolder() + fileName(request.currentParent, request.currentPage,
                                                         i >= 0 && tree.at(i).link);
    }
    report.topFile.remove(QStringLiteral("pub/../"));
    report.currentFile.remove(QStringLiteral("pub/../"));
    report.started = true;

    PageWriter writer(conversion_, request, sequence, plan, heads, threads_);
    writer.run(chunkSize_, report);
    mark("pages");
    report.seconds = clock.elapsed() / 1000.0;
    return report;
}

}  // namespace arbor::web
