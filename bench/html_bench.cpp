// Times the HTML conversion of site pages: a few thousand generated pages of the neutral
// collection's shape (2-6 paragraphs of about 1.5 KB of text, one heading, a 3x4 table
// on every 5th page, a tag link on every 7th, a picture on every 10th), converted from
// their stored bytes as the site build does, on one thread and on two.
//
//   html_bench [--pages N] [--reps R] [--conversion-only] [--scaling]
// --scaling converts pages of 10 to 10,000 paragraphs instead: the time per paragraph
// must stay flat.

#include <sys/resource.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextStream>
#include <QTextTable>
#include <algorithm>
#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "editor/byte_format.h"
#include "editor/html_export.h"
#include "editor/link_fields.h"
#include "editor/paragraph_styles.h"
#include "editor/rich_text.h"
#include "editor/user_formats.h"
#include "web/html_converter.h"

using namespace arbor;

namespace {

QTextStream out(stdout);

const QStringList kSentences = {
    QStringLiteral("この文書はテスト用に自動生成されたものです。"),
    QStringLiteral("ページの本文には日本語と英数字が混在しています。"),
    QStringLiteral("目次の各項目から関連するページへ移動できます。"),
    QStringLiteral("詳しい手順は次の節で説明します。"),
    QStringLiteral("設定を変更した後は必ず保存してください。"),
    QStringLiteral("HTML と EPUB の両方に出力できます。"),
    QStringLiteral("A & B の比較は表 3 にまとめました。"),
    QStringLiteral("The quick brown fox jumps over the lazy dog (42)."),
};

QByteArray picture() {
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(QColor(0x85, 0x5A, 0x50));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray makePage(int index, int pages, std::mt19937& rng) {
    const Frmt& formats = Frmt::instance();
    RichText page;
    QTextCursor& c = page.cursor();
    const int paragraphs = 2 + static_cast<int>(rng() % 5);
    const int heading = static_cast<int>(rng() % paragraphs);
    bool first = true;
    const auto block = [&](int style, const QString& text) {
        if (!first)
            c.insertBlock();
        first = false;
        c.insertText(text);
        applyParagraphStyle(c, style, formats);
    };
    block(kHeading1, QStringLiteral("第%1章 概要 %2").arg(index % 10 + 1).arg(1001 + index));
    for (int p = 0; p < paragraphs; ++p) {
        if (p == heading)
            block(kHeading2, QStringLiteral("手順"));
        QString text;
        while (text.size() < 1500 / 3 / paragraphs * 3)
            text += kSentences[rng() % kSentences.size()];
        block(p == 0 && rng() % 2 ? kEmphasis : kBody, text);
        if (p == 1 && index % 5 == 0) {
            c.insertBlock();
            QTextTable* table = page.insertTable(3, 4);
            for (int col = 0; col < 4; ++col)
                table->cellAt(0, col).firstCursorPosition().insertText(QStringLiteral("項目"));
            for (int r = 1; r < 3; ++r)
                for (int col = 0; col < 4; ++col)
                    table->cellAt(r, col).firstCursorPosition().insertText(
                        QString::number(rng() % 999));
            c.movePosition(QTextCursor::End);
        }
    }
    if (index % 7 == 0) {
        block(kBody, QStringLiteral("関連ページ: "));
        page.insertField(QStringLiteral("参照先"), tagData(1001 + static_cast<int>(rng() % pages)));
        c.insertText(QStringLiteral(" を参照。"));
    }
    if (index % 10 == 0) {
        block(kBody, QString());
        QString error;
        page.insertPicture(picture(), error);
    }
    return page.saveBytes();
}

// Processor time of the whole process (all threads), in ms: on a busy machine it says
// more than the wall clock.
double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// A page of n paragraphs with a link in each and a table after every tenth: the
// conversion's time must grow with the page, not with its square.
QByteArray longPage(int n) {
    const Frmt& formats = Frmt::instance();
    RichText page;
    QTextCursor& c = page.cursor();
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            c.insertBlock();
        c.insertText(kSentences[i % kSentences.size()] + kSentences[(i + 3) % kSentences.size()]);
        applyParagraphStyle(c, i % 10 == 0 ? kHeading2 : kBody, formats);
        page.insertField(QStringLiteral("参照"), tagData(1001 + i));
        if (i % 10 == 9) {
            c.insertBlock();
            page.insertTable(3, 4);
            c.movePosition(QTextCursor::End);
        }
    }
    return page.saveBytes();
}

struct Phases {
    double load = 0, exportHtml = 0, convert = 0;
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    int pages = 3000;
    int reps = 3;
    bool conversionOnly = false;  // for a profiler: only the stages after the export
    const QStringList args = app.arguments();
    conversionOnly = args.contains(QStringLiteral("--conversion-only"));
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == u"--pages")
            pages = args[i + 1].toInt();
        else if (args[i] == u"--reps")
            reps = args[i + 1].toInt();
    }
    if (args.contains(QStringLiteral("--save-long"))) {
        // For a profiler: the long page's bytes, converted by --convert-file.
        QFile file(args[args.indexOf(QStringLiteral("--save-long")) + 1]);
        if (file.open(QIODevice::WriteOnly))
            file.write(longPage(10000));
        return 0;
    }
    if (args.contains(QStringLiteral("--convert-file"))) {
        QFile file(args[args.indexOf(QStringLiteral("--convert-file")) + 1]);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray bytes = file.readAll();
        web::PageOptions page;
        page.targetPath = QStringLiteral("/nonexistent/pub/001.htm");
        const double start = cpuMs();
        const web::ConversionResult r =
            web::convertPageBytes(bytes, page, web::defaultSiteSettings());
        out << QString::asprintf("%s: %.1f ms", r.ok ? "converted" : "failed", cpuMs() - start)
            << Qt::endl;
        return 0;
    }
    if (args.contains(QStringLiteral("--scaling"))) {
        web::HtmlSiteSettings site = web::defaultSiteSettings();
        const int largest = args.contains(QStringLiteral("--largest"))
                                ? args[args.indexOf(QStringLiteral("--largest")) + 1].toInt()
                                : 10000;
        for (int n : {10, 100, 1000, 10000}) {
            if (n > largest)
                break;
            const QByteArray bytes = longPage(n);
            web::PageOptions page;
            page.targetPath = QStringLiteral("/nonexistent/pub/001.htm");
            const int rounds = std::max(1, 2000 / n);
            double load = 0, exported = 0, converted = 0;
            for (int r = 0; r < rounds; ++r) {
                double t = cpuMs();
                QTextDocument document;
                doc::DocumentParts parts;
                parts.body = &document;
                QString error, html;
                byteformat::load(bytes, parts, error);
                load += cpuMs() - t;
                t = cpuMs();
                QList<html::ExportedPicture> pictures;
                html::ExportOptions eo;
                eo.collect = &pictures;
                eo.explicitFonts = true;
                html::exportHtmlConsuming(document, page.targetPath, html, error, eo);
                exported += cpuMs() - t;
                t = cpuMs();
                web::HtmlConverter(site).convertMarkup(html, pictures, page, web::Operation::Site,
                                                       site.htmlKind);
                converted += cpuMs() - t;
            }
            out << QString::asprintf(
                       "%6d paragraphs, per paragraph: load %.4f ms, export %.4f ms, "
                       "conversion %.4f ms",
                       n, load / rounds / n, exported / rounds / n, converted / rounds / n)
                << Qt::endl;
        }
        return 0;
    }
    std::mt19937 rng(12345);
    std::vector<QByteArray> bytes;
    bytes.reserve(pages);
    for (int i = 0; i < pages; ++i)
        bytes.push_back(makePage(i, pages, rng));
    out << pages << " pages generated" << Qt::endl;

    QTemporaryDir dir;
    web::HtmlSiteSettings site = web::defaultSiteSettings();
    site.siteRoot = dir.path() + QStringLiteral("/");
    site.pubFolder = site.siteRoot + QStringLiteral("pub/");
    const auto options = [&](int i) {
        web::PageOptions page;
        page.pageNumber = 1001 + i;
        page.targetPath = site.pubFolder + QString::number(1001 + i) + QStringLiteral(".htm");
        page.title = QStringLiteral("ページ %1").arg(1001 + i);
        return page;
    };

    // Where the time goes, on one thread.
    Phases phases;
    {
        QElapsedTimer t;
        for (int i = 0; i < pages; ++i) {
            t.start();
            QTextDocument document;
            doc::DocumentParts parts;
            parts.body = &document;
            QString error;
            byteformat::load(bytes[i], parts, error);
            phases.load += t.nsecsElapsed() / 1e6;
            t.start();
            QString html;
            QList<html::ExportedPicture> pictures;
            html::ExportOptions eo;
            eo.pictures = html::PictureFormat::Jpeg;
            eo.collect = &pictures;
            html::exportHtmlConsuming(document, options(i).targetPath, html, error, eo);
            phases.exportHtml += t.nsecsElapsed() / 1e6;
            t.start();
            web::HtmlConverter(site).convertMarkup(html, pictures, options(i), web::Operation::Site,
                                                   site.htmlKind);
            phases.convert += t.nsecsElapsed() / 1e6;
        }
    }
    if (conversionOnly) {
        std::vector<QString> exported(pages);
        std::vector<QList<html::ExportedPicture>> pictures(pages);
        for (int i = 0; i < pages; ++i) {
            QTextDocument document;
            doc::DocumentParts parts;
            parts.body = &document;
            QString error;
            byteformat::load(bytes[i], parts, error);
            html::ExportOptions eo;
            eo.collect = &pictures[i];
            html::exportHtmlConsuming(document, options(i).targetPath, exported[i], error, eo);
        }
        QElapsedTimer t;
        t.start();
        for (int r = 0; r < reps; ++r)
            for (int i = 0; i < pages; ++i)
                web::HtmlConverter(site).convertMarkup(exported[i], pictures[i], options(i),
                                                       web::Operation::Site, site.htmlKind);
        out << QString::asprintf("conversion only: %.3f ms per page",
                                 t.nsecsElapsed() / 1e6 / pages / reps)
            << Qt::endl;
        return 0;
    }
    out << QString::asprintf("per page: load %.3f ms, export %.3f ms, conversion %.3f ms",
                             phases.load / pages, phases.exportHtml / pages, phases.convert / pages)
        << Qt::endl;

    for (int threads : {1, 2}) {
        std::vector<double> times;
        std::vector<double> cpu;
        for (int r = 0; r < reps; ++r) {
            const double cpuStart = cpuMs();
            std::atomic<int> next{0};
            std::atomic<int> failed{0};
            QElapsedTimer timer;
            timer.start();
            std::vector<std::thread> workers;
            for (int w = 0; w < threads; ++w)
                workers.emplace_back([&] {
                    for (int i = next++; i < pages; i = next++) {
                        const web::ConversionResult result =
                            web::convertPageBytes(bytes[i], options(i), site);
                        if (!result.ok)
                            ++failed;
                    }
                });
            for (std::thread& w : workers)
                w.join();
            times.push_back(timer.nsecsElapsed() / 1e6);
            cpu.push_back(cpuMs() - cpuStart);
            if (failed)
                out << failed << " pages failed" << Qt::endl;
        }
        std::sort(times.begin(), times.end());
        std::sort(cpu.begin(), cpu.end());
        const double median = times[times.size() / 2];
        out << QString::asprintf(
            "%d thread(s): %d pages in %.0f ms (median of %d), %.3f ms per page, %.2f s per "
            "10,000 pages; processor time %.3f ms per page",
            threads, pages, median, reps, median / pages, median / pages * 10,
            cpu[cpu.size() / 2] / pages);
        out << Qt::endl;
    }
    return 0;
}
