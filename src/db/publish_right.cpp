#include "db/publish_right.h"

#include <QString>

#include "app/program_state.h"
#include "app/prompter.h"
#include "db/zsvr.h"

namespace arbor {

namespace {
QString holder() {
    return zSvr::instance()
        .R_GtVaL(QStringLiteral("Select HsPub From kaUsr"), QString())
        .toString();
}
}  // namespace

bool ChkPubPc(int mode) {
    zSvr& db = zSvr::instance();
    if (db.dataSourceName().isEmpty())
        return false;
    const QString pub = holder();
    const bool allowed = pub.isEmpty() || pub == G().PcName;
    if (!allowed && mode != 0) {
        const QString head = mode == 1
                                 ? QStringLiteral("Webへの出力できるPC(ﾊﾞﾌﾞﾘｯｼｭ権限)は ")
                                 : QStringLiteral("PCのﾌｧｲﾙへのﾘﾝｸをｾｯﾄできるPC(ﾊﾞﾌﾞﾘｯｼｭ権限)は ");
        prompter().message(head + pub + QStringLiteral(" です"), Severity::Warning);
    }
    if (pub.isEmpty() && mode == 1) {
        QString sql = QStringLiteral("Update kaUsr Set HsPub='?'");
        db.T_CnvSq(sql, {G().PcName});
        db.D_ExeSq(sql);
    }
    return allowed;
}

bool ResetPubPc() {
    const QString pub = holder();
    const QString question =
        QStringLiteral("現在 Webへ出力できるPCは ") + pub +
        QStringLiteral(" です(ﾊﾞﾌﾞﾘｯｼｭ権限)\n") +
        QStringLiteral("これを初期化して他のPCから出力できるようにします\n\n") +
        QStringLiteral("Webへ出力するPCを変更直後に、一括更新を実行して下さい\n") +
        QStringLiteral("同期の実行だと、") + pub +
        QStringLiteral("の内容との差分だけしか更新されません\n") +
        QStringLiteral("Web出力PCの初期化を行って良いですか");
    if (!prompter().confirm(question))
        return false;
    if (!zSvr::instance().D_ExeSq(QStringLiteral("Update kaUsr Set HsPub=''")))
        return false;
    prompter().message(QStringLiteral("Web出力PCの初期化を行いました"));
    return true;
}

}  // namespace arbor
