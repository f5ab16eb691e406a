#include "epub/book_pages.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTextDocument>
#include <exception>

#include "app/progress.h"
#include "db/result_array.h"
#include "db/zsvr.h"
#include "editor/byte_format.h"
#include "editor/html_export.h"
#include "web/html_converter.h"
#include "web/html_head.h"
#include "web/html_text.h"
#include "web/page_file_names.h"
#include "web/worker_pool.h"

namespace arbor::epub {

namespace {

// One page as read from msDoc.
struct PageRow {
    bool exists = false;
    QByteArray richText;
    QString title;
    bool png = false;
};

struct PageResult {
    bool written = false;
    bool failed = false;
    bool empty = false;
    QString problem;
};

QString numberList(const QVector<BookPage>& pages, int from, int to) {
    QStringList parts;
    for (int i = from; i < to; ++i)
        parts << QString::number(pages[i].page);
    return parts.join(u',');
}

QHash<int, PageRow> readRows(const QVector<BookPage>& pages, int from, int to, QString& error) {
    QHash<int, PageRow> rows;
    if (from >= to)
        return rows;
    zSvr& db = zSvr::instance();
    QString sql = QStringLiteral("Select noDoc, obDoc, szDoc, boPng From msDoc Where noDoc In (?)");
    db.T_CnvSq(sql, {numberList(pages, from, to)});
    ResultArray r;
    if (!db.readRows(sql, r)) {
        error = db.lastError();
        return rows;
    }
    for (int i = 0; i < r.rowCount(); ++i)
        rows.insert(r(0, i).toInt(),
                    {true, r(1, i).toByteArray(), r(2, i).toString(), r(3, i).toInt() == 1});
    return rows;
}

// The e-book conversion of one page's stored rich text: the whole page in body.
class EbookPageConverter : public web::PageConverter {
  public:
    EbookPageConverter(const web::HtmlSiteSettings& site, bool noItalics)
        : site_(site), noItalics_(noItalics) {}

    bool convert(int page, const QByteArray& richText, const QString& outputPath,
                 const web::PageHeadData& head, QString& headText, QString& body,
                 QString& error) override {
        headText.clear();
        try {
            QTextDocument document;
            doc::DocumentParts parts;
            parts.body = &document;
            if (!byteformat::load(richText, parts, error))
                return false;
            web::PageOptions options;
            options.pageNumber = page;
            options.targetPath = outputPath;
            options.title = QString(head.title).replace(u'"', u' ');
            options.pngPictures = head.pngPictures;
            options.fullWidthTables = head.fullWidthTables;
            options.noItalicsInEbook = noItalics_;
            html::ExportOptions exportOptions;
            exportOptions.pictures =
                head.pngPictures ? html::PictureFormat::Png : html::PictureFormat::Jpeg;
            QList<html::ExportedPicture> pictures;
            exportOptions.collect = &pictures;
            exportOptions.explicitFonts = true;
            QString exported;
            if (!html::exportHtmlConsuming(document, outputPath, exported, error, exportOptions))
                return false;
            const web::ConversionResult r = web::HtmlConverter(site_).convertMarkup(
                exported, pictures, options, web::Operation::Save, web::kEbookXhtml11);
            if (!r.ok) {
                error = r.error;
                return false;
            }
            body = r.body;
            return true;
        } catch (const std::exception&) {
            error = QStringLiteral("HTMLへの変換に失敗しました");
        }
        return false;
    }

  private:
    const web::HtmlSiteSettings& site_;
    bool noItalics_;
};

// A page file of the work folder. The folder is emptied at the start of every run and
// only the finished archive replaces anything, so the file is written in place: a
// temporary name and a rename per page would double the file-system work.
bool writeWorkFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

// "parent_page.xhtml" of a link placement, or "page.xhtml": the page part.
const QRegularExpression& pageFilePattern() {
    static const QRegularExpression re(QStringLiteral("^(?:(\\d+)_)?(\\d+)\\.xhtml$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

bool isRelative(const QString& href) {
    if (href.isEmpty() || href.startsWith(u'#') || href.startsWith(u'/') || href.startsWith(u'?'))
        return false;
    const qsizetype colon = href.indexOf(u':');
    const qsizetype slash = href.indexOf(u'/');
    return colon < 0 || (slash >= 0 && slash < colon);
}

// The new href of a link to target (without its fragment), or an empty text to drop it.
QString mendedTarget(const QString& target, const QSet<QString>& files, const QString& htmAddress) {
    const QRegularExpressionMatch m = pageFilePattern().match(target);
    if (!m.hasMatch())
        return QString();
    const QString own = bookFileName(m.captured(2).toInt());
    if (files.contains(own))
        return own;
    if (htmAddress.isEmpty())
        return QString();
    const QString parent = m.captured(1);
    return htmAddress + (parent.isEmpty() ? QString() : QString::number(parent.toInt()) + u'_') +
           QString::number(m.captured(2).toInt()) + QStringLiteral(".htm");
}

}  // namespace

QString BookConversion::fileName(int, int page, bool) const {
    return bookFileName(page);
}

QString BookConversion::setDocumentType(const QString& pageText) const {
    QString page = pageText;
    web::SetDTD(page, web::kEbookXhtml11);
    return page;
}

std::unique_ptr<web::PageConverter> BookConversion::converter() const {
    return std::make_unique<EbookPageConverter>(site_, noItalics_);
}

QString mendBookLinks(const QString& page, const QSet<QString>& files, const QString& htmAddress) {
    static const QRegularExpression anchor(QStringLiteral("<a\\s[^>]*>"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression href(
        QStringLiteral("\\s+href\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')"),
        QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype done = 0;
    QRegularExpressionMatchIterator it = anchor.globalMatch(page);
    while (it.hasNext()) {
        const QRegularExpressionMatch a = it.next();
        const QString tag = a.captured(0);
        const QRegularExpressionMatch h = href.match(tag);
        if (!h.hasMatch())
            continue;
        const bool doubleQuoted = h.capturedStart(1) >= 0;
        const QString value = doubleQuoted ? h.captured(1) : h.captured(2);
        if (!isRelative(value))
            continue;
        const qsizetype hash = value.indexOf(u'#');
        const QString target = hash < 0 ? value : value.first(hash);
        if (files.contains(target))
            continue;
        const QString mended = mendedTarget(target, files, htmAddress);
        QString newTag = tag;
        if (mended.isEmpty()) {
            newTag.remove(h.capturedStart(0), h.capturedLength(0));
        } else {
            const QString fragment =
                hash < 0 || !files.contains(mended) ? QString() : value.mid(hash);
            const QString quote = doubleQuoted ? QStringLiteral("\"") : QStringLiteral("'");
            newTag.replace(
                h.capturedStart(0), h.capturedLength(0),
                QStringLiteral(" href=") + quote + web::escapeAttribute(mended + fragment) + quote);
        }
        out += QStringView(page).mid(done, a.capturedStart(0) - done);
        out += newTag;
        done = a.capturedEnd(0);
    }
    if (done == 0)
        return page;
    out += QStringView(page).mid(done);
    return out;
}

QString titleOnlyPage(const QString& title) {
    const QString text = web::escapeText(title);
    QString page = QStringLiteral(
                       "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" "
                       "content=\"text/html; charset=UTF-8\" />\r\n<title>") +
                   text + QStringLiteral("</title>\r\n</head>\r\n<body>\r\n  <h1>") + text +
                   QStringLiteral("</h1>\r\n</body>\r\n</html>");
    web::SetDTD(page, web::kEbookXhtml11);
    return page;
}

PageOutcome writeBookPages(const BookPlan& plan, const web::HtmlSiteSettings& site,
                           const PageRunOptions& options) {
    PageOutcome outcome;
    QSet<QString> files;
    for (const BookPage& p : plan.pages)
        files.insert(p.file);
    const BookConversion conversion(site, options.noItalics);
    web::WorkerPool pool(conversion, options.threads);
    const int total = plan.pages.size();
    const int chunk = std::max(1, options.chunk);
    QString error;
    QHash<int, PageRow> current = readRows(plan.pages, 0, std::min(chunk, total), error);
    QVector<PageResult> results;
    for (int from = 0; from < total && error.isEmpty(); from += chunk) {
        const int to = std::min(from + chunk, total);
        results.fill(PageResult(), to - from);
        const web::WorkerPool::Task task = [&](int index, web::PageConverter& converter) {
            const BookPage& bp = plan.pages[from + index];
            const PageRow row = current.value(bp.page);
            PageResult& result = results[index];
            const QString path = options.folder + bp.file;
            QString text;
            QString problem;
            if (!row.exists) {
                problem = QStringLiteral("ﾍﾟｰｼﾞがありません");
            } else if (!row.richText.isEmpty()) {
                web::PageHeadData head;
                head.title = row.title;
                head.pngPictures = row.png;
                head.fullWidthTables = options.fullWidthTables;
                QString unused;
                if (!converter.convert(bp.page, row.richText, path, head, unused, text, problem))
                    text.clear();
            }
            if (text.isEmpty()) {
                // No document, or one that cannot be read: the title keeps its place in the
                // table of contents.
                text = titleOnlyPage(row.title);
                result.empty = problem.isEmpty();
            } else {
                text = mendBookLinks(text, files, options.htmAddress);
            }
            if (!problem.isEmpty())
                result.problem =
                    QStringLiteral("文書No:%1 (%2): ").arg(bp.page).arg(bp.file) + problem;
            if (!writeWorkFile(path, text.toUtf8())) {
                result.problem = QStringLiteral("ﾌｧｲﾙを書き込めません: ") + path;
                result.failed = true;
                return;
            }
            result.written = true;
        };
        pool.start(to - from, task);
        // The next chunk is read while this one converts.
        QHash<int, PageRow> next = readRows(plan.pages, to, std::min(to + chunk, total), error);
        pool.wait();
        for (const PageResult& r : results) {
            outcome.written += r.written ? 1 : 0;
            outcome.empty += r.empty ? 1 : 0;
            if (r.failed && outcome.failure.isEmpty())
                outcome.failure = r.problem;
            else if (!r.problem.isEmpty())
                outcome.problems << r.problem;
        }
        if (!outcome.failure.isEmpty())
            return outcome;
        current = std::move(next);
        progress().step(to, total);
        if (progress().cancelRequested()) {
            outcome.cancelled = true;
            return outcome;
        }
    }
    if (!error.isEmpty())
        outcome.failure = QStringLiteral("ﾍﾟｰｼﾞを読めません: ") + error;
    return outcome;
}

}  // namespace arbor::epub
