#include "web/site_commands.h"

#include <QFileInfo>

#include "app/progress.h"
#include "app/prompter.h"
#include "app/shell_ops.h"
#include "app/zclt.h"
#include "db/zsvr.h"
#include "web/site_folders.h"

namespace arbor::web {

bool askSinceDate(QDateTime& since) {
    bool ok = false;
    const QString answer = prompter().input(
        QStringLiteral("日付の指定"),
        QStringLiteral("指定日付以降の変更に対応した更新を行います　日付を指定して下さい"),
        QString(), ok);
    if (!ok || answer.trimmed().isEmpty())
        return false;
    QDateTime date;
    if (!Clt().TbChkDy(answer.trimmed(), date)) {
        prompter().message(QStringLiteral("日付の指定が不正です"), Severity::Warning);
        return false;
    }
    const QDate today = QDate::currentDate();
    const QString shown = date.toString(QStringLiteral("yyyy/MM/dd"));
    const bool unusual = date.date() > today || date.date() < today.addDays(-365);
    const QString question = unusual ? shown + QStringLiteral("の指定で良いですか")
                                     : shown + QStringLiteral("以降の変更に対応した更新を行います");
    if (!prompter().confirm(question))
        return false;
    since = date;
    return true;
}

QString summaryOf(const SiteBuildReport& r) {
    QString text = QStringLiteral("%1 ファイルを出力しました (変換 %2、未変更 %3、保護 %4")
                       .arg(r.written)
                       .arg(r.converted)
                       .arg(r.unchanged)
                       .arg(r.guarded);
    if (r.failed > 0)
        text += QStringLiteral("、失敗 %1").arg(r.failed);
    text += QStringLiteral(") %1 秒").arg(r.seconds, 0, 'f', 1);
    if (r.cancelled)
        text += QStringLiteral("　中止しました");
    return text;
}

SiteBuildReport runSiteUpdate(SiteConversion& conversion, const SiteBuildRequest& request) {
    SiteBuild build(conversion);
    const SiteBuildReport report = build.run(request);
    if (!report.started)
        return report;
    progress().status(summaryOf(report));
    if (!report.problems.isEmpty()) {
        // The first problems in full; a long list would not fit a message.
        const int shown = std::min<int>(static_cast<int>(report.problems.size()), 12);
        QString text = QStringLiteral("次のﾍﾟｰｼﾞは出力できませんでした\n\n") +
                       report.problems.mid(0, shown).join(u'\n');
        if (report.problems.size() > shown)
            text += QStringLiteral("\n… ほか %1 件").arg(report.problems.size() - shown);
        prompter().message(text, Severity::Warning);
    }
    return report;
}

QString pageFilePath(const SiteConversion& conversion, int page, int parent) {
    bool link = false;
    if (parent > 0) {
        QString sql = QStringLiteral("Select boLnk From tbTree Where noLfP=? And noLfC=?");
        zSvr::instance().T_CnvSq(sql, {parent, page});
        link = zSvr::instance().R_GtVaL(sql, 0).toInt() == 1;
    }
    QString path = sitePageFolder() + conversion.fileName(std::max(parent, 0), page, link);
    return path.remove(QStringLiteral("pub/../"));
}

bool PreviewPage(const SiteConversion& conversion, int page, int parent) {
    const QString path = pageFilePath(conversion, page, parent);
    if (!QFileInfo(path).isFile()) {
        prompter().message(path + QStringLiteral(" が見つかりません　サイトの更新を行って下さい"),
                           Severity::Warning);
        return false;
    }
    return A_ViewIE(path);
}

}  // namespace arbor::web
