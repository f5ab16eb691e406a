#include "web/page_jobs.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include "app/file_io.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/zclt.h"
#include "db/result_array.h"
#include "db/write_batch.h"
#include "db/zsvr.h"
#include "web/site_folders.h"
#include "web/site_template.h"
#include "web/worker_pool.h"

namespace arbor::web {

namespace {

const QString kDropDown = QStringLiteral("<!-- uTop DropDown -->");

// One page's row of msDoc for the chunk being written.
struct PageText {
    bool exists = false;
    bool collecting = false;
    bool png = false;
    QDateTime changed;
    QDateTime cached;
    QString head;
    QString body;
    bool convert = false;
    QByteArray richText;
    bool converted = false;
    QString error;
};

struct JobResult {
    bool written = false;
    int files = 0;
    QStringList problems;
    bool root = false;
    QString filledTemplate;  // for the children of a collecting page
    QString head;
};

QString numberList(const QList<int>& numbers) {
    QStringList parts;
    parts.reserve(numbers.size());
    for (int n : numbers)
        parts << QString::number(n);
    return parts.join(u',');
}

// A page file name from the settings: a name in the page folder, or "../" and a name in the
// site root; nothing that leads anywhere else.
bool safeFileName(const QString& file) {
    const QString name = file.startsWith(QStringLiteral("../")) ? file.mid(3) : file;
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') &&
           !name.contains(QStringLiteral("..")) && name != QStringLiteral(".");
}

QString pageLabel(int page, const QString& file) {
    return QStringLiteral("文書No:%1 (%2): ").arg(page).arg(file);
}

// Phones lay the page out at their own width only when the head says so.
QString withViewport(const QString& head) {
    if (head.contains(QStringLiteral("name=\"viewport\""), Qt::CaseInsensitive))
        return head;
    const QString meta =
        QStringLiteral("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">");
    const qsizetype at = head.indexOf(QStringLiteral("<head>"), 0, Qt::CaseInsensitive);
    if (at < 0)
        return head;
    QString out = head;
    out.insert(at + 6, QStringLiteral("\r\n") + meta);
    return out;
}

bool cacheUsable(const PageText& t, const SiteBuildRequest& request) {
    if (t.head.isEmpty() || t.body.isEmpty() || !t.cached.isValid() || !t.changed.isValid() ||
        !(t.cached > t.changed))
        return false;
    return !(request.mode == UpdateMode::SinceDate && t.changed > request.since);
}

bool writePage(const QString& path, const QString& text, QString& error) {
    if (text.isEmpty()) {
        error = QStringLiteral("書き出す内容がありません");
        return false;
    }
    static const QByteArray bom("\xEF\xBB\xBF");
    if (!writeGeneratedFile(path, bom + text.toUtf8())) {
        error = QStringLiteral("ﾌｧｲﾙを書き込めません: ") + path;
        return false;
    }
    return true;
}

// Reads the pages' rows (flags, dates, cache) and, for the stale ones, their rich text.
QHash<int, PageText> readPages(const QList<int>& pages, const SiteBuildRequest& request,
                               QString& error) {
    QHash<int, PageText> texts;
    zSvr& db = zSvr::instance();
    QString sql = QStringLiteral(
        "Select noDoc, boCod, dyUdt, dyHtm, txHd, txBd, boPng From msDoc Where noDoc In (?)");
    db.T_CnvSq(sql, {numberList(pages)});
    ResultArray rows;
    if (!db.readRows(sql, rows)) {
        error = db.lastError();
        return texts;
    }
    QList<int> stale;
    for (int r = 0; r < rows.rowCount(); ++r) {
        PageText t;
        t.exists = true;
        t.collecting = rows(1, r).toInt() == 1;
        t.changed = rows(2, r).toDateTime();
        t.cached = rows(3, r).toDateTime();
        t.head = rows(4, r).toString();
        t.body = rows(5, r).toString();
        t.png = rows(6, r).toInt() == 1;
        t.convert = !cacheUsable(t, request);
        if (t.convert) {
            t.head.clear();
            t.body.clear();
            stale << rows(0, r).toInt();
        }
        texts.insert(rows(0, r).toInt(), t);
    }
    if (stale.isEmpty())
        return texts;
    sql = QStringLiteral("Select noDoc, obDoc From msDoc Where noDoc In (?)");
    db.T_CnvSq(sql, {numberList(stale)});
    if (!db.readRows(sql, rows)) {
        error = db.lastError();
        return texts;
    }
    for (int r = 0; r < rows.rowCount(); ++r)
        texts[rows(0, r).toInt()].richText = rows(1, r).toByteArray();
    return texts;
}

void storeCache(WriteBatch& batch, int page, const PageText& t) {
    // The converted HTML is bound as it is: tens of kilobytes per page need not be quoted
    // into the statement and read out of it again.
    batch.addBound(QStringLiteral("Update msDoc Set txHd=?, txBd=?, dyHtm=? Where noDoc=?"),
                   {t.head, t.body, QDateTime::currentDateTime(), page});
}

void stampPublished(WriteBatch& batch, int parent, int page) {
    QString sql = QStringLiteral(" Update tbTree Set ? = ? Where noLfP = ? And noLfC = ? ");
    zSvr::instance().T_CnvSq(sql, {QStringLiteral("dyPub"), SqlNow(), parent, page});
    batch.add(sql);
}

}  // namespace

// ---------------------------------------------------------------- head settings

void HeadSettings::load() {
    rows_.clear();
    ResultArray rows;
    zSvr::instance().readRows(QStringLiteral("Select noDoc, szTtl, szDsc, szKwd, szCpy, boNnx, "
                                             "boTbF From tbHtm"),
                              rows);
    for (int r = 0; r < rows.rowCount(); ++r) {
        PageHeadData h;
        h.title = rows(1, r).toString();
        h.description = rows(2, r).toString();
        h.keywords = rows(3, r).toString();
        h.copyright = rows(4, r).toString();
        h.robotsOff = rows(5, r).toInt() == 1;
        h.fullWidthTables = rows(6, r).toInt() == 1;
        rows_.insert(rows(0, r).toInt(), h);
    }
}

PageHeadData HeadSettings::effective(int page, const PageHeadData& inherited,
                                     const QString& label) const {
    PageHeadData h = rows_.value(page, inherited);
    if (h.title.trimmed().isEmpty())
        h.title = label;
    return h;
}

// ---------------------------------------------------------------- one chunk at a time

namespace {

class ChunkWriter {
  public:
    ChunkWriter(SiteConversion& conversion, const SiteBuildRequest& request,
                const PageSequence& sequence, const PagePlan& plan, const HeadSettings& heads)
        : conversion_(conversion),
          request_(request),
          sequence_(sequence),
          plan_(plan),
          heads_(heads),
          preview_(request.mode == UpdateMode::TemplatePreview) {
        ResultArray rows;
        zSvr::instance().readRows(QStringLiteral("Select noDoc, saSbP From tbHtm Where saSbP<>''"),
                                  rows);
        for (int r = 0; r < rows.rowCount(); ++r)
            subPages_.insert(rows(0, r).toInt(), rows(1, r).toString());
    }

    // The template texts a chunk needs, each read once per build. The chunk keeps its own
    // copies (shared text), so the workers never read a table that is being filled.
    QHash<QString, QString> templatesFor(const QVector<PageJob>& jobs, int from, int to) {
        QHash<QString, QString> chunk;
        for (int i = from; i < to; ++i) {
            const QString& name = jobs[i].templateName;
            if (!templates_.contains(name))
                templates_.insert(name, Clt().FsGtUtf(siteTemplateFolder() + name));
            chunk.insert(name, templates_.value(name));
        }
        return chunk;
    }

    QHash<int, QVector<CollectedChild>> childrenOf(const QList<int>& collecting) const {
        QHash<int, QVector<CollectedChild>> all;
        for (int page : collecting) {
            ResultArray rows;
            zSvr::instance().readRows(
                QStringLiteral("Select T.noLfC, T.szDoc, D.txDoc From msDoc D, tbTree T "
                               "Where T.boHide=0 And T.noLfP=") +
                    QString::number(page) +
                    QStringLiteral(" And T.noLfC=D.noDoc Order By T.dyUdt Desc"),
                rows);
            QVector<CollectedChild>& list = all[page];
            for (int r = 0; r < rows.rowCount(); ++r)
                list.push_back({rows(0, r).toInt(), rows(1, r).toString(), rows(2, r).toString()});
        }
        return all;
    }

    JobResult assemble(const PageJob& job, const PageText& text,
                       const QVector<CollectedChild>& children,
                       const QHash<QString, QString>& templates) const {
        JobResult result;
        const QString label = pageLabel(job.page, job.file);
        if (!safeFileName(job.file)) {
            result.problems << label +
                                   QStringLiteral("ﾌｧｲﾙ名が不正です(\"/\" や \"..\" は使えません)");
            return result;
        }
        QString output = sitePageFolder() + job.file;
        QString trail = job.trail;
        QString left = job.leftMenu;
        if (!preview_ && output.contains(QStringLiteral("pub/../"))) {
            output.remove(QStringLiteral("pub/../"));
            result.root = true;
            trail = RebaseLinks(trail);
            left = RebaseLinks(left);
        }
        if (!text.exists) {
            result.problems << label + QStringLiteral("ﾍﾟｰｼﾞの行がありません");
            return result;
        }
        if (!text.error.isEmpty()) {
            result.problems << label + text.error;
            return result;
        }
        QString head = withViewport(text.head);
        QString body = text.body;
        if (text.collecting)
            body = AppendChildrenTable(body, children, [this](int parent, int page, bool link) {
                return conversion_.fileName(parent, page, link);
            });
        const QString templatePath = siteTemplateFolder() + job.templateName;
        QString templ = templates.value(job.templateName);
        if (templ.isEmpty()) {
            result.problems << label + QStringLiteral("ﾃﾝﾌﾟﾚｰﾄが空か読めません: ") + templatePath;
            return result;
        }
        const TopMenus& menus = plan_.menus.value(job.menus);
        QString menu = templ.contains(kDropDown) ? menus.dropDown : menus.plain;
        if (result.root) {
            menu = RebaseLinks(menu);
            templ.replace(QStringLiteral("../cmn"), QStringLiteral("cmn"));
            templ.replace(QStringLiteral("../pub"), QStringLiteral("pub"));
            templ.replace(QStringLiteral("href=\"../"), QStringLiteral("href=\""));
            head.replace(QStringLiteral("../cmn"), QStringLiteral("cmn"));
        }
        templ = ReplaceElementContent(templ, QStringLiteral("id='uTop'"), QStringLiteral("</ul>"),
                                      menu);
        templ = ReplaceElementContent(
            templ, QStringLiteral("id='dPan'"), QStringLiteral("</div>"),
            job.level == 0 ? QString() : trail + QStringLiteral("\r\n") + QString(8, u' '));
        templ = ReplaceElementContent(templ, QStringLiteral("id='uLeft'"), QStringLiteral("</ul>"),
                                      left);
        if (!plan_.siteTitle.isEmpty()) {
            QString title = QStringLiteral("<a href=\"") + htmlText(plan_.topFile) +
                            QStringLiteral("\">") + htmlText(plan_.siteTitle) +
                            QStringLiteral("</a>");
            if (result.root)
                title = RebaseLinks(title);
            templ = ReplaceElementContent(templ, QStringLiteral("id='sTitle'"),
                                          QStringLiteral("</span>"), title);
        }
        if (!templ.contains(QStringLiteral("id=\"dMain\""), Qt::CaseInsensitive))
            result.problems << label +
                                   QStringLiteral(
                                       "ﾃﾝﾌﾟﾚｰﾄに id=\"dMain\" の要素がないため、"
                                       "ﾃﾝﾌﾟﾚｰﾄのまま出力しました: ") +
                                   templatePath;
        if (!job.link && !preview_)
            writeSubPages(job, templ, head, result);
        if (text.collecting && !job.link) {
            result.filledTemplate = templ;
            result.head = head;
        }
        QString page = MergeTemplate(templ, head, body, preview_);
        page = sequence_.InsertPageNavigation(page, job.row);
        page = conversion_.setDocumentType(page);
        QString error;
        if (!writePage(preview_ ? templatePath : output, page, error)) {
            result.problems << label + error;
            return result;
        }
        result.written = true;
        ++result.files;
        return result;
    }

    // The page's sub-page files from the template folder, each filled like the page.
    void writeSubPages(const PageJob& job, const QString& templ, const QString& head,
                       JobResult& result) const {
        const QString list = subPages_.value(job.page);
        for (const QString& entry : list.split(u',')) {
            const QString name = entry.trimmed();
            if (name.isEmpty())
                continue;
            const QString source = siteTemplateFolder() + name;
            const QString label = pageLabel(job.page, name);
            if (!safeFileName(name) || name.startsWith(QStringLiteral("../"))) {
                result.problems << label + QStringLiteral("ｻﾌﾞﾍﾟｰｼﾞのﾌｧｲﾙ名が不正です");
                continue;
            }
            if (!QFileInfo(source).isFile()) {
                result.problems << label + QStringLiteral("ｻﾌﾞﾍﾟｰｼﾞのﾌｧｲﾙがありません: ") + source;
                continue;
            }
            QString text = Clt().FsGtUtf(source);
            if (text.isEmpty())
                break;
            text.remove(QStringLiteral("../pub/"));
            QString t = templ;
            QString h = head;
            if (result.root) {
                t = UnrebaseLinks(t);
                h = UnrebaseLinks(h);
            }
            const QString page = conversion_.setDocumentType(MergeTemplate(t, h, text));
            QString error;
            if (writePage(sitePageFolder() + name, page, error))
                ++result.files;
            else
                result.problems << label + error;
        }
    }

    // The children of a collecting page, each written with the page's filled template.
    void publishCollected(const PageJob& job, const JobResult& page, PageConverter& converter,
                          WriteBatch& batch, SiteBuildReport& report) {
        ResultArray rows;
        zSvr& db = zSvr::instance();
        db.readRows(QStringLiteral("Select noLfC From tbTree Where boHide=0 And noLfP=") +
                        QString::number(job.page) + QStringLiteral(" Order By inSrt"),
                    rows);
        for (int r = 0; r < rows.rowCount(); ++r) {
            const int child = rows(0, r).toInt();
            const QString file = conversion_.fileName(0, child, false);
            const QString label = pageLabel(child, file);
            if (!safeFileName(file) || file.startsWith(QStringLiteral("../"))) {
                report.problems << label + QStringLiteral("ﾌｧｲﾙ名が不正です");
                ++report.failed;
                continue;
            }
            QString error;
            QHash<int, PageText> texts = readPages({child}, request_, error);
            if (!texts.contains(child))
                continue;
            PageText& t = texts[child];
            const QString output = sitePageFolder() + file;
            if (t.convert) {
                PageHeadData head = heads_.effective(child, job.head, QString());
                if (head.title.isEmpty())
                    head.title = job.head.title;
                head.pngPictures = t.png;
                head.linkPlacement = false;
                if (!converter.convert(child, t.richText, output, head, t.head, t.body, error)) {
                    report.problems << label + error;
                    ++report.failed;
                    continue;
                }
                storeCache(batch, child, t);
                ++report.converted;
            }
            if (t.body.isEmpty())
                continue;
            QString body = t.body;
            body.remove(QStringLiteral("../pub/"));
            QString templ = page.filledTemplate;
            QString head = page.head;
            if (page.root) {
                templ.replace(QStringLiteral("cmn"), QStringLiteral("../cmn"));
                templ.remove(QStringLiteral("pub/"));
                head.replace(QStringLiteral("cmn"), QStringLiteral("../cmn"));
            }
            const QString text = conversion_.setDocumentType(MergeTemplate(templ, head, body));
            if (writePage(output, text, error)) {
                ++report.written;
            } else {
                report.problems << label + error;
                ++report.failed;
            }
        }
    }

  private:
    SiteConversion& conversion_;
    const SiteBuildRequest& request_;
    const PageSequence& sequence_;
    const PagePlan& plan_;
    const HeadSettings& heads_;
    const bool preview_;
    QHash<QString, QString> templates_;
    QHash<int, QString> subPages_;
};

}  // namespace

namespace {

// One chunk of the plan on its way: read, converted and written, then recorded.
struct Chunk {
    int from = 0;
    int to = 0;
    bool valid = false;
    QHash<int, PageText> texts;
    QHash<int, QVector<CollectedChild>> children;
    QHash<QString, QString> templates;
    QHash<int, int> firstJob;  // page -> the first of its jobs in the chunk
    QVector<int> lead;         // jobs that convert their page when it is stale, then write
    QVector<int> following;    // later jobs of a page already in the chunk
    QVector<JobResult> results;
};

}  // namespace

void PageWriter::run(int chunkSize, SiteBuildReport& report) {
    const QVector<PageJob>& jobs = plan_.jobs;
    if (jobs.isEmpty())
        return;
    ChunkWriter chunks(conversion_, request_, sequence_, plan_, heads_);
    WorkerPool pool(conversion_, threads_);
    std::unique_ptr<PageConverter> mainConverter;
    zSvr& db = zSvr::instance();
    const int total = static_cast<int>(jobs.size());
    chunkSize = std::max(1, chunkSize);

    // Reads what the jobs of [from, to) need from the database (the window's thread).
    auto prepare = [&](int from) {
        Chunk c;
        c.from = from;
        c.to = std::min(total, from + chunkSize);
        if (from >= total)
            return c;
        QList<int> pages;
        for (int i = c.from; i < c.to; ++i) {
            const int page = jobs[i].page;
            if (!c.firstJob.contains(page)) {
                c.firstJob.insert(page, i);
                pages << page;
                c.lead << i;
            } else {
                c.following << i;
            }
        }
        QString error;
        c.texts = readPages(pages, request_, error);
        if (!error.isEmpty()) {
            report.problems << QStringLiteral("ﾍﾟｰｼﾞを読めません: ") + error;
            report.failed += c.to - c.from;
            c.to = c.from;  // nothing of it is written
            return c;
        }
        QList<int> collecting;
        for (int page : pages)
            if (c.texts.value(page).collecting)
                collecting << page;
        c.children = chunks.childrenOf(collecting);
        c.templates = chunks.templatesFor(jobs, c.from, c.to);
        c.results.resize(c.to - c.from);
        c.valid = true;
        return c;
    };

    // A stale page converts with the head data and output path of its first placement.
    auto convert = [&](Chunk& c, int i, PageConverter& converter) {
        const PageJob& job = jobs[i];
        PageText& t = c.texts[job.page];  // every key exists: no rehash while shared
        if (!t.convert || t.converted || !t.error.isEmpty())
            return;
        PageHeadData head = job.head;
        head.pngPictures = t.png;
        head.linkPlacement = job.link;
        QString output = sitePageFolder() + job.file;
        output.remove(QStringLiteral("pub/../"));
        QString pageHead, body, reason;
        if (converter.convert(job.page, t.richText, output, head, pageHead, body, reason) &&
            !body.isEmpty()) {
            t.head = pageHead;
            t.body = body;
            t.converted = true;
        } else {
            t.error = reason.isEmpty() ? QStringLiteral("HTML に変換できません") : reason;
        }
        t.richText.clear();
    };
    auto assemble = [&](Chunk& c, int i) {
        const PageJob& job = jobs[i];
        const auto text = std::as_const(c.texts).constFind(job.page);
        c.results[i - c.from] =
            chunks.assemble(job, text == c.texts.constEnd() ? PageText() : *text,
                            c.children.value(job.page), c.templates);
    };

    // Records a written chunk: the cache of what was converted, the stamps of what was
    // written, and the children of its collecting pages (the window's thread).
    auto record = [&](Chunk& c) {
        if (!c.valid)
            return;
        WriteBatch batch;
        for (int i : c.lead) {
            const PageText& t = c.texts[jobs[i].page];
            if (t.converted) {
                storeCache(batch, jobs[i].page, t);
                ++report.converted;
            }
        }
        for (int k = 0; k < c.results.size(); ++k) {
            const PageJob& job = jobs[c.from + k];
            const JobResult& r = c.results[k];
            report.problems << r.problems;
            report.written += r.files;
            if (!r.written) {
                ++report.failed;
                continue;
            }
            if (job.stamp)
                stampPublished(batch, job.parent, job.page);
            if (!r.filledTemplate.isEmpty()) {
                if (!mainConverter)
                    mainConverter = conversion_.converter();
                batch.flush();  // the children's cache is read after what ran
                chunks.publishCollected(job, r, *mainConverter, batch, report);
            }
        }
        if (!batch.commit())
            report.problems << QStringLiteral("ﾍﾟｰｼﾞのHTMLと出力日時を保存できません: ") +
                                   db.lastError();
        progress().status(QStringLiteral("サイトを更新しています %1/%2").arg(c.to).arg(total));
        progress().step(c.to, total);
    };

    // While the workers convert and write one chunk, this thread records the one before
    // and reads the one after.
    Chunk previous;
    Chunk current = prepare(0);
    while (current.from < total) {
        if (progress().cancelRequested()) {
            report.cancelled = true;
            break;
        }
        const WorkerPool::Task leads = [&](int k, PageConverter& converter) {
            const int i = current.lead[k];
            convert(current, i, converter);
            assemble(current, i);
        };
        pool.start(current.valid ? static_cast<int>(current.lead.size()) : 0, leads);
        record(previous);
        Chunk next = prepare(current.to);
        pool.wait();
        pool.run(current.valid ? static_cast<int>(current.following.size()) : 0,
                 [&](int k, PageConverter&) { assemble(current, current.following[k]); });
        previous = std::move(current);
        current = std::move(next);
    }
    record(previous);
}

}  // namespace arbor::web
