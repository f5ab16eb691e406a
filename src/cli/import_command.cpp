#include "cli/import_command.h"
#include "cli/batch_session.h"

#include "app/progress.h"
#include "app/yini.h"
#include "db/zsvr.h"
#include "editor/page_settings.h"
#include "exchange/folder_import.h"

namespace arbor::cli {

namespace {

// The count of pages written, on one line rewritten as they go by.
struct ImportOptions {
    QString folder;
    QString database;
    int under = 0;
};

bool parse(const QStringList& args, ImportOptions& o, QTextStream& err) {
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QStringLiteral("--under")) {
            bool ok = false;
            o.under = i + 1 < args.size() ? args[++i].toInt(&ok) : 0;
            if (!ok || o.under <= 0) {
                err << "--under にはページ番号を指定して下さい" << Qt::endl;
                return false;
            }
        } else if (a.startsWith(QStringLiteral("--"))) {
            err << "知らない引数です: " << a << Qt::endl;
            return false;
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2) {
        err << "取り込むﾌｫﾙﾀﾞと文書ﾃﾞｰﾀｰﾍﾞｰｽを指定して下さい" << Qt::endl
            << Qt::endl
            << importHelp();
        return false;
    }
    o.folder = positional[0];
    o.database = positional[1];
    return true;
}

}  // namespace

QString importHelp() {
    return QStringLiteral(
        "  import DIR DB [--under N]   ﾌｫﾙﾀﾞ DIR の .html .htm .md .txt を DB "
        "のﾍﾟｰｼﾞとして取り込みます。\n"
        "                              "
        "ﾌｫﾙﾀﾞの階層がﾍﾟｰｼﾞの階層になり、ﾌｧｲﾙ間のﾘﾝｸはﾀｸﾞになります。\n"
        "                              --under N で文書No N の下に (既定はﾄｯﾌﾟﾚﾍﾞﾙ)。\n"
        "                              失敗したときは DB を変更せずに 1 で終わります\n");
}

int importFolder(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    ImportOptions options;
    if (!parse(arguments, options, err))
        return 2;
    BatchDatabase session(options.database, err);
    if (!session)
        return 1;
    LineProgress lines(err, {.unknownTotalUnit = QStringLiteral("ﾌｧｲﾙ")});
    session.showProgress(lines);

    folderimport::ImportRequest request;
    request.folder = options.folder;
    request.parent = options.under;
    request.pageSetup = readPageSettings(Ini());
    const folderimport::ImportReport report = folderimport::importFolder(request);
    if (!report.ok) {
        err << folderimport::reportText(report) << Qt::endl;
        return 1;
    }
    out << folderimport::reportText(report) << Qt::endl;
    out << "  内訳: ﾌｫﾙﾀﾞの読み込み " << report.scanMilliseconds / 1000.0 << " 秒, ﾍﾟｰｼﾞの変換 "
        << report.convertMilliseconds / 1000.0 << " 秒, 書き込み "
        << report.writeMilliseconds / 1000.0 << " 秒" << Qt::endl;
    if (!report.skipped.isEmpty())
        err << "警告: " << report.skipped.size() << " 個のﾌｧｲﾙを取り込みませんでした" << Qt::endl;
    return 0;
}

}  // namespace arbor::cli
