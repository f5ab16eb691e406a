#include "cli/site_command.h"
#include "cli/batch_session.h"

#include "app/progress.h"
#include "app/yini.h"
#include "app/zclt.h"
#include "db/publish_right.h"
#include "db/zsvr.h"
#include "web/site_commands.h"
#include "web/yhtm_site_conversion.h"

namespace arbor::cli {

namespace {

struct SiteOptions {
    QString database;
    web::SiteBuildRequest request;
    QString topTemplate;
    bool timing = false;
};

bool parse(const QStringList& args, SiteOptions& o, QTextStream& err) {
    bool below = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) { return takeValue(args, i, into, err); };
        QString v;
        if (a == QLatin1String("--all")) {
            o.request.mode = web::UpdateMode::AllPages;
        } else if (a == QLatin1String("--sync")) {
            o.request.mode = web::UpdateMode::Sync;
        } else if (a == QLatin1String("--since")) {
            if (!value(v))
                return false;
            QDateTime date;
            if (!Clt().TbChkDy(v, date)) {
                err << "日付の指定が不正です: " << v << Qt::endl;
                return false;
            }
            o.request.mode = web::UpdateMode::SinceDate;
            o.request.since = date;
        } else if (a == QLatin1String("--node")) {
            if (!value(v))
                return false;
            bool ok = false;
            o.request.currentPage = v.toInt(&ok);
            if (!ok || o.request.currentPage <= 0) {
                err << "ページ番号が不正です: " << v << Qt::endl;
                return false;
            }
            o.request.mode = web::UpdateMode::CurrentNode;
        } else if (a == QLatin1String("--timing")) {
            o.timing = true;
        } else if (a == QLatin1String("--below")) {
            below = true;
        } else if (a == QLatin1String("--template")) {
            if (!value(o.topTemplate))
                return false;
        } else if (a.startsWith(QLatin1String("--")) || !o.database.isEmpty()) {
            err << "知らない引数です: " << a << Qt::endl;
            return false;
        } else {
            o.database = a;
        }
    }
    if (below) {
        if (o.request.mode != web::UpdateMode::CurrentNode) {
            err << "--below は --node と一緒に使います" << Qt::endl;
            return false;
        }
        o.request.mode = web::UpdateMode::CurrentNodeAndBelow;
    }
    if (o.database.isEmpty()) {
        err << "文書ﾃﾞｰﾀｰﾍﾞｰｽを指定して下さい" << Qt::endl;
        return false;
    }
    return true;
}

// The top page's template, for a collection whose site has not been set up yet.
bool setTopTemplate(const QString& name, QTextStream& err) {
    zSvr& db = zSvr::instance();
    const int top = db.R_GtVaL(QStringLiteral("Select Top 1 noLfC From tbTree Where boHide=0 And "
                                              "noLfP = 0 Order By inSrt"),
                               0)
                        .toInt();
    if (top <= 0) {
        err << "公開するﾄｯﾌﾟﾍﾟｰｼﾞがありません" << Qt::endl;
        return false;
    }
    QString sql = QStringLiteral("Select Count(*) From tbHtm Where noDoc=?");
    db.T_CnvSq(sql, {top});
    const bool exists = db.R_GtVaL(sql, 0).toInt() > 0;
    sql = exists ? QStringLiteral("Update tbHtm Set saTpl='?' Where noDoc=?")
                 : QStringLiteral("Insert Into tbHtm (saTpl, noDoc) Values ('?', ?)");
    db.T_CnvSq(sql, {name, top});
    if (!db.D_ExeSq(sql)) {
        err << "ﾃﾝﾌﾟﾚｰﾄを設定できません: " << db.lastError() << Qt::endl;
        return false;
    }
    return true;
}

}  // namespace

QString siteHelp() {
    return QStringLiteral(
        "  site DB [--all|--sync|--since 日付|--node N [--below]] [--template 名前]\n"
        "                              DB のWebｻｲﾄを出力します (既定は --sync: 変更分のみ)。\n"
        "                              --template はトップページのテンプレートを設定します\n"
        "                              (例: tpl-fx.htm)。--timing は各段階の時間を表示します。\n"
        "                              失敗したページがあると 1 で終わります\n");
}

int site(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    SiteOptions options;
    if (!parse(arguments, options, err))
        return 2;
    BatchDatabase session(options.database, err);
    if (!session)
        return 1;
    LineProgress lines(err, {.unit = QStringLiteral("ページ"), .statusLines = false});
    session.showProgress(lines);
    if (!ChkPubPc(1))
        return 1;
    if (!options.topTemplate.isEmpty() && !setTopTemplate(options.topTemplate, err))
        return 1;
    const std::unique_ptr<web::SiteConversion> conversion = web::makeSiteConversion();
    web::SiteBuild build(*conversion);
    const web::SiteBuildReport report = build.run(options.request);
    if (!report.started)
        return 1;
    for (const QString& problem : report.problems)
        err << problem << Qt::endl;
    out << web::summaryOf(report) << Qt::endl;
    if (options.timing)
        out << "ms: " << report.phases.join(QStringLiteral(", ")) << Qt::endl;
    if (!report.topFile.isEmpty())
        out << "トップページ: " << report.topFile << Qt::endl;
    return report.failed > 0 || report.cancelled ? 1 : 0;
}

}  // namespace arbor::cli
