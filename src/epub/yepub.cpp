#include "epub/yepub.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include "app/file_io.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "db/result_array.h"
#include "db/schema.h"
#include "db/zsvr.h"
#include "epub/book_pages.h"
#include "epub/book_plan.h"
#include "epub/epub_package.h"
#include "epub/ezip.h"
#include "web/page_use.h"
#include "web/yhtm_settings.h"

namespace arbor {

namespace {

const QString kPleaseWait = QStringLiteral("しばらくお待ち下さい");

bool writeText(const QString& path, const QString& text, QString& error) {
    if (writeGeneratedFile(path, text.toUtf8()))
        return true;
    error = QStringLiteral("ﾌｧｲﾙを書き込めません: ") + path;
    return false;
}

// The work folder made ready for a new book: emptied completely, since every file and
// sub-folder in it goes into the archive.
bool prepareFolder(const QString& work, QString& error) {
    QDir dir(work);
    if (dir.exists() && !dir.removeRecursively()) {
        error = QStringLiteral("前回のﾌｧｲﾙを削除できません: ") + work;
        return false;
    }
    const QString oebps = work + QStringLiteral("OEBPS/");
    const QString meta = work + QStringLiteral("META-INF/");
    if (!QDir().mkpath(oebps + QStringLiteral("Images")) || !QDir().mkpath(meta)) {
        error = QStringLiteral("ﾌｫﾙﾀﾞを作れません: ") + work;
        return false;
    }
    return writeText(work + QStringLiteral("mimetype"), QStringLiteral("application/epub+zip"),
                     error) &&
           writeText(meta + QStringLiteral("container.xml"), epub::containerDocument(), error);
}

// A name for a file in the ePub folder: no folder parts, nothing a file system refuses.
bool validOutputName(const QString& name) {
    return !name.trimmed().isEmpty() && !name.contains(u'/') && !name.contains(u'\\') &&
           name != QStringLiteral(".") && name != QStringLiteral("..") && !name.contains(QChar(0));
}

class Phases {
  public:
    explicit Phases(QStringList& into) : into_(into) { timer_.start(); }
    void mark(const QString& name) { into_ << name + u' ' + QString::number(timer_.restart()); }

  private:
    QStringList& into_;
    QElapsedTimer timer_;
};

}  // namespace

QString yEpub::workFolder() {
    return G().UserPath + QStringLiteral("ePub/") + G().DbName + u'/';
}

QString yEpub::outputPath(const QString& name) {
    return G().UserPath + QStringLiteral("ePub/") + (name.isEmpty() ? G().DbName : name) +
           QStringLiteral(".epub");
}

yEpub::Report yEpub::Publish(const Request& request) {
    Report report;
    QElapsedTimer clock;
    clock.start();
    Phases phases(report.phases);
    zSvr& db = zSvr::instance();
    const epub::BookSettings& book = request.settings;
    auto fail = [&](const QString& message) {
        report.message = message;
        progress().hideWait();
        report.seconds = clock.elapsed() / 1000.0;
        return report;
    };
    if (!db.isOpen() || G().DbName.isEmpty())
        return fail(QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽが開かれていません"));
    if (book.title.trimmed().isEmpty())
        return fail(QStringLiteral("タイトルが指定されていません"));
    if (book.identifier.trimmed().isEmpty())
        return fail(QStringLiteral("IDが指定されていません"));
    const QString name = book.outputName.isEmpty() ? G().DbName : book.outputName;
    if (request.outputPath.isEmpty() && !validOutputName(name))
        return fail(QStringLiteral("出力ﾌｧｲﾙ名が不正です: ") + name);
    report.outputPath = request.outputPath.isEmpty() ? outputPath(name) : request.outputPath;
    const QString work = workFolder();
    if (QFileInfo(report.outputPath)
            .absoluteFilePath()
            .startsWith(QDir::cleanPath(QFileInfo(work).absoluteFilePath()) + u'/'))
        return fail(QStringLiteral("出力ﾌｧｲﾙは作業ﾌｫﾙﾀﾞの外に指定して下さい: ") + work);
    if (!QDir().mkpath(QFileInfo(report.outputPath).absolutePath()))
        return fail(QStringLiteral("ﾌｫﾙﾀﾞを作れません: ") +
                    QFileInfo(report.outputPath).absolutePath());

    // The range and the root.
    int range = request.range;
    int root = 0;
    if (range == WholeDatabase) {
        const int tops =
            db.R_GtVaL(QStringLiteral("Select Count(*) From tbTree Where noLfP=0 And boHide =0"), 0)
                .toInt();
        if (tops == 1) {
            root = db.R_GtVaL(
                         QStringLiteral("Select noLfC From tbTree Where noLfP=0 And boHide =0"), 0)
                       .toInt();
            range = SubtreeWithSite;
        }
    } else if (range == SubtreeWithSite || range == Subtree) {
        root = request.currentPage;
        if (root <= 0)
            return fail(QStringLiteral("ﾍﾟｰｼﾞが指定されていません"));
    } else {
        return fail(QStringLiteral("出力範囲を指定して下さい"));
    }
    report.range = range;

    // What the conversion knows: the user formats, the dictionary, and with range 2 the
    // site's settings, so links to pages outside the book can lead to the web site.
    web::HtmlSiteSettings site = web::defaultSiteSettings();
    if (range == SubtreeWithSite &&
        !web::loadSiteSettings(site, true, web::siteRootOfOpenDatabase()))
        return fail(QStringLiteral("サイトの設定を読めません: ") + db.lastError());
    web::loadTermTexts(site);
    RebuildLinkFlags(true);
    phases.mark(QStringLiteral("settings"));

    QString error;
    if (!prepareFolder(work, error))
        return fail(error);
    progress().showWait(kPleaseWait);
    web::markPagesInTree();
    phases.mark(QStringLiteral("prepare"));

    // The walk: the table of contents and the pages in reading order.
    epub::VisibleTree tree;
    if (!epub::readVisibleTree(tree, error))
        return fail(error);
    QString rootTitle;
    if (root > 0) {
        QString sql = QStringLiteral("Select szDoc From tbTree Where noLfC=?");
        db.T_CnvSq(sql, {root});
        ResultArray rows;
        if (!db.readRows(sql, rows) || rows.rowCount() == 0)
            return fail(QStringLiteral("文書No:%1 はﾂﾘｰにありません").arg(root));
        rootTitle = rows(0, 0).toString();
    }
    const epub::BookPlan plan = epub::planBook(tree, root, rootTitle, &epub::bookFileName);
    tree.clear();
    if (plan.pages.isEmpty())
        return fail(QStringLiteral("出力するﾍﾟｰｼﾞがありません"));
    site.bookPages = plan.bookPages;
    epub::PageRunOptions options;
    options.folder = work + QStringLiteral("OEBPS/");
    options.fullWidthTables = book.fullWidthTables;
    options.noItalics = book.noItalics;
    options.threads = request.threads;
    if (root <= 0) {
        site.homeMode = 0;  // every page is in the book
    } else if (!book.alternativeAddress.trimmed().isEmpty()) {
        QString address = book.alternativeAddress.trimmed();
        if (!address.endsWith(u'/'))
            address += u'/';
        if (book.alternativeIsSite) {
            site.homeAddress = address;
            if (site.homeMode == 0)
                site.homeMode = 1;
        } else {
            options.htmAddress = address;
        }
    }
    phases.mark(QStringLiteral("plan"));

    const epub::PageOutcome pages = epub::writeBookPages(plan, site, options);
    report.problems = pages.problems;
    report.pages = pages.written;
    report.emptyPages = pages.empty;
    report.navPoints = plan.points.size();
    phases.mark(QStringLiteral("pages"));
    if (pages.cancelled) {
        report.cancelled = true;
        return fail(QStringLiteral("中止しました"));
    }
    if (!pages.failure.isEmpty())
        return fail(pages.failure);

    const QStringList pictures =
        QDir(options.folder + QStringLiteral("Images")).entryList(QDir::Files, QDir::Name);
    report.pictures = pictures.size();
    epub::BookMetadata metadata;
    metadata.title = book.title;
    metadata.identifier = book.identifier;
    metadata.author = book.author;
    metadata.rights = book.rights;
    metadata.publisher = book.publisher;
    if (!writeText(options.folder + QStringLiteral("content.opf"),
                   epub::packageDocument(metadata, plan.files, pictures), error) ||
        !writeText(options.folder + QStringLiteral("toc.ncx"),
                   epub::navigationDocument(metadata, plan.points, plan.depth), error))
        return fail(error);
    phases.mark(QStringLiteral("package"));

    progress().showWait(kPleaseWait);
    if (!epub::eZip(work, report.outputPath, error))
        return fail(QStringLiteral("epub 出力に失敗しました\n") + error);
    phases.mark(QStringLiteral("zip"));
    progress().hideWait();
    report.ok = true;
    report.seconds = clock.elapsed() / 1000.0;
    return report;
}

QString summaryOf(const yEpub::Report& report) {
    if (!report.ok)
        return report.message;
    QString line = QStringLiteral("%1 ﾍﾟｰｼﾞ, 目次 %2 項目, 画像 %3 を %4 に出力しました (%5 秒)")
                       .arg(report.pages)
                       .arg(report.navPoints)
                       .arg(report.pictures)
                       .arg(report.outputPath)
                       .arg(report.seconds, 0, 'f', 1);
    if (!report.problems.isEmpty())
        line += QStringLiteral(" 変換できないﾍﾟｰｼﾞ: %1").arg(report.problems.size());
    return line;
}

}  // namespace arbor
