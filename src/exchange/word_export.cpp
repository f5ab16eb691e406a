#include "exchange/word_export.h"

#include <QTextBlock>
#include <QTextDocument>
#include <optional>

#include "app/file_io.h"
#include "app/progress.h"
#include "db/zsvr.h"
#include "editor/rich_text.h"
#include "exchange/docx_builder.h"
#include "exchange/word_page_content.h"
#include "exchange/word_page_estimate.h"

namespace arbor::word {

namespace {

QString pageLabel(int page) {
    return QStringLiteral("文書No ") + QString::number(page);
}

// The pages of the list that have a stored document (they get a place in the document).
QSet<int> pagesWithDocuments(const QList<Entry>& entries) {
    QSet<int> pages;
    zSvr& db = zSvr::instance();
    for (const Entry& e : entries) {
        if (pages.contains(e.page))
            continue;
        if (db.R_GtVaL(QStringLiteral("Select Count(*) From msDoc Where noDoc = ") +
                           QString::number(e.page) + QStringLiteral(" And (Not obDoc is Null)"),
                       0)
                .toInt() > 0)
            pages.insert(e.page);
    }
    return pages;
}

struct Assembly {
    const ExportRequest& request;
    ExportReport& report;
    docx::DocxBuilder builder;
    std::optional<PageEstimate> estimate;
    RichText page;
    LinkPolicy links;
    int nextPage = 1;    // estimated page of the next entry, after the table of contents
    QSet<int> reported;  // pages whose problems were reported (a page may come twice)
    bool firstSection = true;

    Assembly(const ExportRequest& r, ExportReport& rep) : request(r), report(rep) {}

    // Loads the page into `page`, ready for the document; false when it has none.
    bool prepare(int number) {
        QString error;
        const bool first = !reported.contains(number);
        reported.insert(number);
        switch (loadStoredPage(number, page, error)) {
            case LoadResult::Missing:
            case LoadResult::NoDocument:
                return false;
            case LoadResult::Damaged:
                if (first)
                    report.failures
                        << pageLabel(number) +
                               QStringLiteral(": 文書が壊れているので文字だけを出力しました (") +
                               error + u')';
                setPlainText(page, storedPlainText(number));
                return true;
            case LoadResult::Loaded:
                break;
        }
        QTextDocument& body = *page.body();
        convertLinks(body, links);
        if (request.kind == Kind::NoPictures) {
            removePictures(body);
        } else if (const int n = removeUnreadablePictures(body); n > 0 && first) {
            report.warnings << pageLabel(number) + QStringLiteral(": 読めない画像 ") +
                                   QString::number(n) + QStringLiteral(" 個を省きました");
        }
        return true;
    }

    void outlineEntry(int index, const Entry& e, const QString& title, bool hasDocument) {
        const QString heading = headingText(index, e.number, title);
        const int level = headingLevel(index, e.number);
        if (index > 0)
            builder.pageBreak();
        // The page's bookmark stands at its heading, so a link shows the heading too.
        builder.bookmark(QStringLiteral("TG_") + QString::number(e.page));
        const QTextDocument* body = hasDocument ? page.body() : nullptr;
        if (heading.isEmpty() && !body)
            return;  // nothing of its own: the page break and bookmark go to the next entry
        const PageEstimate::Layout layout = estimate->layOut(level, heading, body);
        if (!heading.isEmpty()) {
            builder.setContentPage(nextPage);
            builder.addHeading(level, heading);
        }
        if (body) {
            const QHash<int, int> sheets = layout.sheetOfBlock;
            builder.setContentPage(nextPage, [sheets](const QTextBlock& b) {
                return sheets.value(b.blockNumber(), 0);
            });
            builder.appendDocument(*body);
        }
        builder.setContentPage(0);
        nextPage += layout.sheets;
    }

    void headedEntry(const Entry& e, const QString& title) {
        if (!firstSection)
            builder.sectionBreak();
        firstSection = false;
        builder.bookmark(QStringLiteral("TG_") + QString::number(e.page));
        builder.appendDocument(*page.body());
        builder.setHeader(docx::HeaderFooterText{title, false, Qt::AlignRight, 9, QColor()});
    }
};

ExportReport exportText(const ExportRequest& request, const QList<Entry>& entries,
                        ExportReport& report) {
    QString text;
    for (int i = 0; i < entries.size(); ++i) {
        if (progress().cancelRequested()) {
            report.cancelled = true;
            return report;
        }
        progress().step(i + 1, entries.size());
        const Entry& e = entries[i];
        const QString title = placementTitle(e.parent, e.page);
        QString heading = headingText(i, e.number, title);
        if (heading.isEmpty())
            heading = fullWidthNumber(e.number);
        QString body = storedPlainText(e.page);
        body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        body.replace(u'\r', u'\n');
        body.replace(QChar::ParagraphSeparator, u'\n');
        body.replace(QChar::LineSeparator, u'\n');
        while (body.endsWith(u'\n'))
            body.chop(1);
        if (i > 0)
            text += u'\n';
        text += heading + QStringLiteral("\n\n") + body + u'\n';
        if (!body.isEmpty())
            ++report.documents;
    }
    QString error;
    if (!writeFileAtomically(request.path, text.toUtf8(), error)) {
        report.error = error;
        return report;
    }
    report.written = true;
    return report;
}

}  // namespace

QStringList kindCaptions() {
    return {QStringLiteral("ﾃｷｽﾄ"), QStringLiteral("MSﾜｰﾄﾞ文書(通常ﾍｯﾀﾞ付き)"),
            QStringLiteral("MSﾜｰﾄﾞ文書(目次付きｱｳﾄﾗｲﾝ)"), QStringLiteral("MSﾜｰﾄﾞ文書(画像なし)")};
}

QStringList rangeCaptions() {
    return {QStringLiteral("全てのﾍﾟｰｼﾞ"), QStringLiteral("現在のﾉｰﾄﾞ"),
            QStringLiteral("現在のﾉｰﾄﾞ以降全て")};
}

ExportReport ExportToWord(const ExportRequest& request) {
    ExportReport report;
    report.path = request.path;
    if (!zSvr::instance().isOpen()) {
        report.error = QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽが開かれていません");
        return report;
    }
    const QList<Entry> entries =
        pageList(request.range, request.currentPage, request.currentParent);
    report.entries = int(entries.size());
    if (entries.isEmpty()) {
        report.empty = true;
        report.error = QStringLiteral("ｱｲﾃﾑがありません");
        return report;
    }
    progress().showWait(QStringLiteral("文書を出力しています"));
    struct CloseWait {
        ~CloseWait() { progress().hideWait(); }
    } closeWait;
    if (request.kind == Kind::Text)
        return exportText(request, entries, report);

    Assembly a(request, report);
    a.builder.setPageSetup(request.page);
    const QSet<int> withDocuments = pagesWithDocuments(entries);
    if (request.kind == Kind::Outline) {
        for (const Entry& e : entries)
            a.links.inside.insert(e.page);
    } else {
        a.links.inside = withDocuments;
    }
    a.links.outsideAddress = siteAddresses();
    // Page numbers at the right of the first section's footer, which the later sections
    // keep, from the first page on.
    a.builder.setFooter(docx::HeaderFooterText{QString(), true, Qt::AlignRight, 9, QColor()});
    if (request.kind == Kind::Outline) {
        a.estimate.emplace(request.page, docx::StyleSet::fromTable(Frmt::instance()));
        a.builder.tableOfContents(1, 3);
        a.builder.pageBreak();  // the contents have the first page to themselves
    }

    for (int i = 0; i < entries.size(); ++i) {
        if (progress().cancelRequested()) {
            report.cancelled = true;
            return report;
        }
        progress().step(i + 1, entries.size());
        const Entry& e = entries[i];
        const QString title = placementTitle(e.parent, e.page);
        const bool hasDocument = withDocuments.contains(e.page) && a.prepare(e.page);
        if (hasDocument)
            ++report.documents;
        if (request.kind == Kind::Outline)
            a.outlineEntry(i, e, title, hasDocument);
        else if (hasDocument)
            a.headedEntry(e, title);
    }
    if (request.kind == Kind::Outline)
        a.builder.setPageShift(a.estimate->tableOfContentsSheets(a.builder.headings()));
    QString error;
    if (!a.builder.save(request.path, error)) {
        report.error = error;
        return report;
    }
    report.written = true;
    return report;
}

QString summaryOf(const ExportReport& report) {
    if (report.cancelled)
        return QStringLiteral("文書の出力を中止しました");
    if (!report.written)
        return report.error.isEmpty() ? QStringLiteral("文書を出力できませんでした") : report.error;
    QString text = report.path + QStringLiteral(" に ") + QString::number(report.entries) +
                   QStringLiteral(" ﾍﾟｰｼﾞを出力しました");
    if (!report.failures.isEmpty())
        text += QStringLiteral(" (読めない文書 ") + QString::number(report.failures.size()) +
                QStringLiteral(" 件)");
    return text;
}

}  // namespace arbor::word
