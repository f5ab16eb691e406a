#include "exchange/folder_import.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>

#include "app/progress.h"
#include "db/db_messages.h"
#include "db/schema.h"
#include "db/zsvr.h"
#include "editor/rich_text.h"
#include "exchange/folder_import_links.h"
#include "exchange/folder_import_page.h"

namespace arbor::folderimport {

namespace {

const QString kInsertPage = QStringLiteral(
    "Insert Into msDoc (noDoc, szDoc, txDoc, obDoc, saTgs, boCod, dyUdt, wkRnd) "
    "Values (?, ?, ?, ?, ?, ?, ?, ?)");
const QString kInsertPlacement = QStringLiteral(
    "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, boHogo, dyUdt) "
    "Values (?, ?, ?, ?, ?, ?, ?, ?)");

// Writes the scanned pages inside the caller's transaction; false with error on the
// first failure.
bool writePages(const ImportRequest& request, const FolderScan& scan, int first, int topOrder,
                ImportReport& report) {
    zSvr& db = zSvr::instance();
    PageLinks links(request.folder);
    for (int i = 0; i < scan.pages.size(); ++i)
        links.add(scan.pages[i].path, first + i);
    RichText rich;
    qint64 convertNanoseconds = 0, writeNanoseconds = 0;
    auto stop = [&](bool result) {
        report.convertMilliseconds = convertNanoseconds / 1000000;
        report.writeMilliseconds = writeNanoseconds / 1000000;
        return result;
    };
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 total = scan.pages.size();
    for (int i = 0; i < scan.pages.size(); ++i) {
        if (progress().cancelRequested()) {
            report.cancelled = true;
            report.error = QStringLiteral("取り込みを中止しました");
            return stop(false);
        }
        const SourcePage& source = scan.pages[i];
        QElapsedTimer step;
        step.start();
        QString text, reason;
        if (source.kind != SourceKind::Folder &&
            !readPageText(source.path, source.kind, text, reason)) {
            // It was readable a moment ago: the folder changed while it was imported.
            report.error = source.path + QStringLiteral(": ") + reason;
            return stop(false);
        }
        const ImportedPage page = convertPage(rich, source, text, links, request.pageSetup);
        convertNanoseconds += step.nsecsElapsed();
        step.restart();
        const int number = first + i;
        const bool top = source.parent < 0;
        if (!db.execBound(kInsertPage, {number, page.title, page.plainText, page.bytes, page.tags,
                                        0, now, NewWkRnd()}) ||
            !db.execBound(kInsertPlacement, {top ? request.parent : first + source.parent, number,
                                             top ? topOrder + source.order : source.order,
                                             page.title, 0, 0, 0, now})) {
            report.error = source.path + QStringLiteral(": ") + db.lastError();
            return stop(false);
        }
        writeNanoseconds += step.nsecsElapsed();
        report.pages = i + 1;
        if ((i + 1) % 25 == 0 || i + 1 == total)
            progress().step(i + 1, total);
    }
    return stop(true);
}

}  // namespace

ImportReport importFolder(const ImportRequest& request) {
    QElapsedTimer timer;
    timer.start();
    ImportReport report;
    zSvr& db = zSvr::instance();
    auto finish = [&](const QString& error) {
        report.error = error;
        report.ok = error.isEmpty();
        if (!report.ok)
            report.pages = 0;
        report.milliseconds = timer.elapsed();
        return report;
    };
    if (!db.isOpen())
        return finish(QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽが開かれていません"));
    if (db.readOnly())
        return finish(msg::readOnlyDatabase());
    const QFileInfo root(request.folder);
    if (request.folder.isEmpty() || !root.isDir())
        return finish(QStringLiteral("ﾌｫﾙﾀﾞが見つかりません: ") + request.folder);
    if (request.parent != 0) {
        QString sql = QStringLiteral("Select Count(*) From msDoc Where noDoc=?");
        db.T_CnvSq(sql, {request.parent});
        if (request.parent < 0 || db.R_GtVaL(sql, 0).toInt() == 0)
            return finish(QStringLiteral("取り込み先のﾍﾟｰｼﾞがありません: 文書No ") +
                          QString::number(request.parent));
    }

    progress().showWait(QStringLiteral("ﾌｫﾙﾀﾞから取り込んでいます"));
    struct HideWait {
        ~HideWait() { progress().hideWait(); }
    } hideWait;
    ImportRequest resolved = request;
    resolved.folder = root.absoluteFilePath();
    const FolderScan scan = scanFolder(resolved.folder);
    report.skipped = scan.skipped;
    report.scanMilliseconds = timer.elapsed();
    if (scan.pages.isEmpty())
        return finish(QStringLiteral("取り込めるﾌｧｲﾙがありません (.html .htm .md .txt)"));

    const int first = NextDocNo();
    report.firstPage = first;
    QString sql = QStringLiteral("Select Max(inSrt) From tbTree Where noLfP=?");
    db.T_CnvSq(sql, {request.parent});
    const int topOrder = db.R_GtVaL(sql, -1).toInt() + 1;

    if (!db.D_Tran(0))
        return finish(QStringLiteral("ﾄﾗﾝｻﾞｸｼｮﾝを開始できません: ") + db.lastError());
    bool ok = writePages(resolved, scan, first, topOrder, report);
    if (ok) {
        QElapsedTimer step;
        step.start();
        // The picture format the new pages inherit, and the home flags, as after any import.
        RebuildLinkFlags(true);
        ok = db.D_Tran(1);
        if (!ok)
            report.error = db.lastError();
        report.writeMilliseconds += step.elapsed();
    }
    if (!ok) {
        db.D_Tran(2);
        return finish(report.error.isEmpty() ? db.lastError() : report.error);
    }
    return finish(QString());
}

QString reportText(const ImportReport& report) {
    QString text;
    const QString seconds = QString::number(report.milliseconds / 1000.0, 'f', 1);
    if (report.ok) {
        text = QString::number(report.pages) + QStringLiteral(" ﾍﾟｰｼﾞを取り込みました (文書No ") +
               QString::number(report.firstPage) + QStringLiteral("～") +
               QString::number(report.firstPage + report.pages - 1) + QStringLiteral(", ") +
               seconds + QStringLiteral(" 秒)");
    } else {
        text = QStringLiteral("取り込みできませんでした: ") + report.error + u'\n' +
               QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽは変更していません (") + seconds +
               QStringLiteral(" 秒)");
    }
    if (!report.skipped.isEmpty()) {
        text += u'\n' + QStringLiteral("取り込まなかったﾌｧｲﾙ: ") +
                QString::number(report.skipped.size());
        for (const SkippedFile& s : report.skipped)
            text += QStringLiteral("\n  ") + s.path + QStringLiteral(": ") + s.reason;
    }
    return text;
}

}  // namespace arbor::folderimport
