#include "cli/html_export_command.h"
#include "cli/batch_session.h"

#include <QFileInfo>

#include "app/progress.h"
#include "app/yini.h"
#include "db/zsvr.h"
#include "web/htm_export.h"

namespace arbor::cli {

namespace {

// Pages counted on one line; the per-file status lines are left out.
bool parse(const QStringList& args, QString& database, web::HtmExportRequest& r, QTextStream& err) {
    QStringList positional;
    bool kindGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QStringLiteral("--frames") || a == QStringLiteral("--tree-index")) {
            if (kindGiven) {
                err << "--frames と --tree-index はどちらか一つです" << Qt::endl;
                return false;
            }
            kindGiven = true;
            r.frames = a == QStringLiteral("--frames");
        } else if (a == QStringLiteral("--elastic")) {
            r.elastic = true;
        } else if (a == QStringLiteral("--empty")) {
            r.emptyFirst = true;
        } else if (a == QStringLiteral("--top")) {
            if (!takeValue(args, i, r.topFileName, err))
                return false;
        } else if (a.startsWith(u'-')) {
            err << "知らない引数です: " << a << Qt::endl;
            return false;
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2) {
        err << "文書ﾃﾞｰﾀｰﾍﾞｰｽと出力先ﾌｫﾙﾀﾞを指定して下さい" << Qt::endl
            << Qt::endl
            << htmlExportHelp();
        return false;
    }
    database = positional[0];
    r.folder = QFileInfo(positional[1]).absoluteFilePath();
    return true;
}

}  // namespace

QString htmlExportHelp() {
    return QStringLiteral(
        "  html-export DB DIR [--frames | --tree-index] [--elastic] [--top 名前] [--empty]\n"
        "                              DB の見えるﾍﾟｰｼﾞを DIR に HTML で出力します。既定は\n"
        "                              各ﾍﾟｰｼﾞにﾂﾘｰ目次 (--elastic は可変幅)、--frames は\n"
        "                              ﾌﾚｰﾑと目次ﾍﾟｰｼﾞ。--top はﾄｯﾌﾟﾍﾟｰｼﾞ(ﾌﾚｰﾑ)のﾌｧｲﾙ名、\n"
        "                              --empty は先に DIR を空にします。保護されたﾍﾟｰｼﾞは\n"
        "                              書き換えません。失敗すると 1 で終わります\n");
}

int htmlExport(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QString database;
    web::HtmExportRequest request;
    if (!parse(arguments, database, request, err))
        return 2;
    BatchDatabase session(database, err);
    if (!session)
        return 1;
    LineProgress lines(err, {.statusLines = false, .every = 50});
    session.showProgress(lines);
    const web::HtmExportReport report = web::exportHtm(request);
    for (const QString& problem : report.problems)
        err << problem << Qt::endl;
    if (!report.ok) {
        err << report.message << Qt::endl;
        return 1;
    }
    out << QStringLiteral("%1 ﾍﾟｰｼﾞを %2 に出力しました").arg(report.written).arg(report.folder);
    if (report.skipped > 0)
        out << QStringLiteral(" (保護されたﾍﾟｰｼﾞ %1 は書き換えていません)").arg(report.skipped);
    out << Qt::endl << report.entryPath << Qt::endl;
    return report.problems.isEmpty() ? 0 : 1;
}

}  // namespace arbor::cli
