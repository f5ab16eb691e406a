#include "cli/links_command.h"
#include "cli/batch_session.h"

#include "app/progress.h"
#include "app/yini.h"
#include "db/publish_right.h"
#include "db/zsvr.h"
#include "web/link_check.h"

namespace arbor::cli {

namespace {

struct LinkOptions {
    QString database;
    web::LinkCheckOptions check;
};

bool parse(const QStringList& args, LinkOptions& o, QTextStream& err) {
    o.check.repair = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) { return takeValue(args, i, into, err); };
        QString v;
        if (a == QLatin1String("--offline")) {
            o.check.checkWeb = false;
        } else if (a == QLatin1String("--repair")) {
            o.check.repair = true;
        } else if (a == QLatin1String("--timeout")) {
            if (!value(v))
                return false;
            bool ok = false;
            const double seconds = v.toDouble(&ok);
            if (!ok || seconds <= 0 || seconds > 600) {
                err << "時間の指定が不正です (秒): " << v << Qt::endl;
                return false;
            }
            o.check.web.timeoutMs = static_cast<int>(seconds * 1000);
        } else if (a == QLatin1String("--proxy")) {
            if (!value(v))
                return false;
            const int colon = v.lastIndexOf(u':');
            bool ok = false;
            const int port = colon > 0 ? v.mid(colon + 1).toInt(&ok) : 0;
            if (!ok || port <= 0 || port > 65535) {
                err << "ﾌﾟﾛｷｼの指定が不正です (ﾎｽﾄ:ﾎﾟｰﾄ): " << v << Qt::endl;
                return false;
            }
            o.check.web.proxy =
                QNetworkProxy(QNetworkProxy::HttpProxy, v.left(colon), static_cast<quint16>(port));
        } else if (a.startsWith(QLatin1String("--")) || !o.database.isEmpty()) {
            err << "知らない引数です: " << a << Qt::endl;
            return false;
        } else {
            o.database = a;
        }
    }
    if (o.database.isEmpty()) {
        err << "文書ﾃﾞｰﾀｰﾍﾞｰｽを指定して下さい" << Qt::endl;
        return false;
    }
    return true;
}

}  // namespace

QString checkLinksHelp() {
    return QStringLiteral(
        "  check-links DB [--offline] [--repair] [--timeout 秒] [--proxy ﾎｽﾄ:ﾎﾟｰﾄ]\n"
        "                              公開されるページのﾘﾝｸ先を確認し、不良のﾘﾝｸを\n"
        "                              ページと共に表示します。不良があると 1 で終わります。\n"
        "                              --offline はWebのｱﾄﾞﾚｽに問い合わせません。--repair は\n"
        "                              他のﾕｰｻﾞｰﾃﾞｰﾀﾌｫﾙﾀﾞのｻｲﾄを指すﾌｧｲﾙﾘﾝｸを直します\n");
}

int checkLinks(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    LinkOptions options;
    if (!parse(arguments, options, err))
        return 2;
    BatchDatabase session(options.database, err);
    if (!session)
        return 1;
    // Repairs set links to this PC's files: only the PC with the publish right may.
    if (options.check.repair && !ChkPubPc(2))
        return 1;
    TerminalProgress quiet(true);
    Progress* previous = setProgress(&quiet);
    const web::LinkCheckReport report = web::CheckLinks(options.check);
    setProgress(previous);
    if (!report.ok) {
        err << "ﾘﾝｸを確認できません: " << report.error << Qt::endl;
        return 1;
    }
    for (const web::LinkRow& row : report.rows) {
        if (!row.broken && !row.repaired)
            continue;
        out << row.mark().trimmed() << ' ' << row.page << ' ' << row.title;
        if (!row.text.isEmpty() || !row.value.isEmpty())
            out << ": " << row.text << " → " << row.value;
        out << " : " << row.finding << Qt::endl;
    }
    if (report.missing.size() > 1)
        out << "該当がない、内部文書: " << report.missing << Qt::endl;
    if (report.nonPublic.size() > 1)
        out << "公開されていない、文書: " << report.nonPublic << Qt::endl;
    if (report.repaired.size() > 1)
        out << "修復した文書: " << report.repaired << Qt::endl;
    const int broken = report.brokenCount();
    out << report.pages << " ページ、" << report.rows.size() << " 件のﾘﾝｸを確認しました: 不良 "
        << broken << " 件" << (options.check.checkWeb ? "" : " (Webは未確認)") << Qt::endl;
    return broken > 0 || report.cancelled ? 1 : 0;
}

}  // namespace arbor::cli
