#include "ui/main_menus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace arbor::ui {

namespace {

// Commands whose windows come with later versions: present, disabled, and saying so.
QAction* later(QAction* action) {
    action->setEnabled(false);
    action->setToolTip(QStringLiteral("この機能は次の版で使えるようになります"));
    action->setProperty("later", true);
    return action;
}

}  // namespace

MainMenus::MainMenus(QWidget* window) : QObject(window), window_(window) {}

QAction* MainMenus::add(QMenu* menu, const QString& array, const QString& caption,
                        const QString& shortcut) {
    QVector<QAction*>& list = arrays_[array];
    const int index = list.size();
    QAction* action = nullptr;
    if (caption == QLatin1String("-")) {
        action = menu->addSeparator();
    } else {
        action = menu->addAction(caption);
        if (!shortcut.isEmpty()) {
            action->setShortcut(QKeySequence(shortcut));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        connect(action, &QAction::triggered, this,
                [this, array, index] { emit command(array, index); });
    }
    list.push_back(action);
    return action;
}

QMenu* MainMenus::sub(QMenu* menu, const QString& title) {
    return menu->addMenu(title);
}

void MainMenus::buildMenuBar(QMenuBar* bar) {
    auto top = [&](const QString& title) {
        QMenu* m = bar->addMenu(title);
        const int index = static_cast<int>(arrays_[QStringLiteral("mnJb")].size());
        arrays_[QStringLiteral("mnJb")].push_back(m->menuAction());
        tops_[index] = m;
        return m;
    };
    const QString file = QStringLiteral("mnFile"), edit = QStringLiteral("mnEdit"),
                  local = QStringLiteral("mnLocal"), selc = QStringLiteral("mnSelc");

    QMenu* m = top(QStringLiteral("ﾌｧｲﾙ(&F)"));  // mnJb 0
    add(m, file, QStringLiteral("ﾌﾞﾗｳｻﾞでﾌﾟﾚﾋﾞｭｰ(&B)"));
    add(m, file, QStringLiteral("-"));
    add(m, file, QStringLiteral("ﾍﾟｰｼﾞﾋﾞｭｰ(&V)..."));
    add(m, file, QStringLiteral("文書の読み込み(&O)..."));
    add(m, file, QStringLiteral("ﾃｷｽﾄの挿入(&I)..."));
    add(m, file, QStringLiteral("名前を付けて保存(&A)..."), QStringLiteral("Ctrl+Shift+S"));
    add(m, file, QStringLiteral("印刷(&P)..."), QStringLiteral("Ctrl+P"));
    add(m, file, QStringLiteral("ﾜｰﾄﾞで開く(&W)"));
    add(m, QStringLiteral("mnExit"), QStringLiteral("-"));
    add(m, QStringLiteral("mnExit"), QStringLiteral("終了(&X)"), QStringLiteral("Ctrl+Q"));

    m = top(QStringLiteral("編集(&E)"));  // mnJb 1
    add(m, edit, QStringLiteral("元に戻す(&U)"), QStringLiteral("Ctrl+Z"));
    add(m, edit, QStringLiteral("やり直し(&R)"), QStringLiteral("Ctrl+Y"));
    add(m, edit, QStringLiteral("-"));
    add(m, edit, QStringLiteral("切り取り(&T)"), QStringLiteral("Ctrl+X"));
    add(m, edit, QStringLiteral("ｺﾋﾟｰ(&C)"), QStringLiteral("Ctrl+C"));
    add(m, edit, QStringLiteral("貼り付け(&P)"), QStringLiteral("Ctrl+V"));
    {
        QMenu* paste = sub(m, QStringLiteral("形式を選択して貼り付け(&S)"));
        arrays_[edit].push_back(paste->menuAction());  // mnEdit 6
        const QString past = QStringLiteral("mnPast");
        add(paste, past, QStringLiteral("ﾃｷｽﾄのみ(&T)"));
        add(paste, past, QStringLiteral("-"));
        add(paste, past, QStringLiteral("書式付き(&F)"));
        add(paste, past, QStringLiteral("画像として(&I)"));
        add(paste, past, QStringLiteral("-"));
        add(paste, past, QStringLiteral("ﾀﾌﾞ区切りのﾃｷｽﾄを表として(&B)"));
    }
    add(m, edit, QStringLiteral("-"));
    add(m, edit, QStringLiteral("すべて選択(&A)"), QStringLiteral("Ctrl+A"));
    add(m, edit, QStringLiteral("検索(&F)..."), QStringLiteral("Ctrl+F"));
    add(m, edit, QStringLiteral("置換(&H)..."), QStringLiteral("Ctrl+H"));
    add(m, edit, QStringLiteral("-"));
    add(m, edit, QStringLiteral("ﾘﾝｸの変更(&L)..."));
    add(m, edit, QStringLiteral("文書の初期化(&N)"));
    add(m, edit, QStringLiteral("-"));
    add(m, edit, QStringLiteral("他のﾍﾟｰｼﾞを参照して挿入(&O)..."));
    add(m, edit, QStringLiteral("ﾀｲﾄﾙへ移動(&G)"));
    add(m, edit, QStringLiteral("-"));
    add(m, edit, QStringLiteral("更新(&S)"), QStringLiteral("Ctrl+S"));  // mnEdit 18 (F8)

    m = top(QStringLiteral("文書DB(&D)"));  // mnJb 2
    dbMenu_ = m;
    const QString db = QStringLiteral("mnDb");
    add(m, db, QStringLiteral("新規作成(&N)..."));
    add(m, db, QStringLiteral("開く(&O)..."));
    add(m, db, QStringLiteral("別名で保存(&A)..."));
    add(m, db, QStringLiteral("-"));
    {
        QMenu* pages = sub(m, QStringLiteral("ﾍﾟｰｼﾞ(&P)"));
        arrays_[db].push_back(pages->menuAction());  // mnDb 4
        const QString dcdb = QStringLiteral("mnDcDb");
        add(pages, dcdb, QStringLiteral("ﾍﾟｰｼﾞの検索(&F)"));
        add(pages, dcdb, QStringLiteral("最近更新したﾍﾟｰｼﾞ(&R)"));
        add(pages, dcdb, QStringLiteral("最初のﾍﾟｰｼﾞを開く(&T)"));
        add(pages, dcdb, QStringLiteral("逆引き(&B)..."));
        QMenu* tools = sub(m, QStringLiteral("保守(&M)"));
        arrays_[db].push_back(tools->menuAction());  // mnDb 5
        const QString ret = QStringLiteral("mnRet");
        add(tools, ret, QStringLiteral("ﾘﾝｸ情報の再構築(&L)"));
        add(tools, ret, QStringLiteral("ﾂﾘｰの再表示(&R)"));
        add(tools, ret, QStringLiteral("ﾃﾞｰﾀｰﾍﾞｰｽ構造の更新(&U)..."));
        add(tools, ret, QStringLiteral("-"));
        add(tools, ret, QStringLiteral("ﾍﾟｰｼﾞ番号の識別子を補う(&I)"));
        add(tools, ret, QStringLiteral("枝をｴｸｽﾎﾟｰﾄ(&E)..."));
        add(tools, ret, QStringLiteral("ｲﾝﾎﾟｰﾄ(&I)..."));
        add(tools, ret, QStringLiteral("ﾌｫﾙﾀﾞから取り込み..."));  // mnRet 7
        tools->addSeparator();
        const QString dbret = QStringLiteral("mnDbRet");
        add(tools, dbret, QStringLiteral("参照されていないﾍﾟｰｼﾞの削除と最適化(&O)..."));
        add(tools, dbret, QStringLiteral("全てのﾍﾟｰｼﾞを削除(&D)..."));
        add(tools, dbret, QStringLiteral("-"));
        add(tools, dbret, QStringLiteral("ﾕｰｻﾞｰﾃﾞｰﾀﾌｫﾙﾀﾞを開く(&F)"));
    }
    add(m, db, QStringLiteral("閉じる(&C)"));  // mnDb 6
    recentSeparator_ = m->addSeparator();
    recentEnd_ = nullptr;

    m = top(QStringLiteral("挿入(&I)"));  // mnJb 3
    add(m, local, QStringLiteral("表(&T)..."));
    add(m, local, QStringLiteral("行・列の挿入(&R)..."));
    add(m, local, QStringLiteral("-"));
    add(m, local, QStringLiteral("画像(&P)..."));  // mnLocal 3 (Ctrl+F5)
    add(m, local, QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(&X)..."));
    add(m, local, QStringLiteral("他のﾍﾟｰｼﾞ(&O)..."));
    add(m, local, QStringLiteral("-"));
    add(m, local, QStringLiteral("画像の編集..."));  // mnLocal 7, hidden
    add(m, local, QStringLiteral("ｲﾝﾗｲﾝﾌﾚｰﾑ(&F)..."));
    add(m, local, QStringLiteral("ｽｸﾘﾌﾟﾄ(&S)..."));
    add(m, local, QStringLiteral("-"));
    add(m, local, QStringLiteral("ﾊｲﾊﾟｰﾘﾝｸ(&H)..."), QStringLiteral("Ctrl+K"));  // 11
    add(m, local, QStringLiteral("ﾀｸﾞ(&G)..."));                                 // 12
    add(m, local, QStringLiteral("-"));
    add(m, local, QStringLiteral("用語ﾘﾝｸ(&W)..."));
    add(m, local, QStringLiteral("ﾘﾝｸの変更(&L)..."));
    add(m, local, QStringLiteral("-"));
    add(m, local, QStringLiteral("日付と時刻(&D)"));
    add(m, local, QStringLiteral("改頁(&B)"), QStringLiteral("Ctrl+Return"));  // 18
    add(m, local, QStringLiteral("-"));
    add(m, local, QStringLiteral("ﾍｯﾀﾞｰ・ﾌｯﾀｰ(&E)..."));
    add(m, local, QStringLiteral("ﾍﾟｰｼﾞ設定(&U)..."));

    m = top(QStringLiteral("書式(&O)"));  // mnJb 4
    add(m, selc, QStringLiteral("見出1(&1)"));
    add(m, selc, QStringLiteral("見出2(&2)"));
    add(m, selc, QStringLiteral("見出3(&3)"));
    add(m, selc, QStringLiteral("本文(&4)"));
    add(m, selc, QStringLiteral("強調(&5)"));
    add(m, selc, QStringLiteral("補足(&6)"));
    add(m, selc, QStringLiteral("-"));
    add(m, selc, QStringLiteral("太字(&B)"), QStringLiteral("Ctrl+B"));
    add(m, selc, QStringLiteral("斜体(&I)"), QStringLiteral("Ctrl+I"));
    add(m, selc, QStringLiteral("ﾌｫﾝﾄ(&F)..."));  // 9
    add(m, selc, QStringLiteral("下線(&U)"), QStringLiteral("Ctrl+U"));
    add(m, selc, QStringLiteral("-"));
    add(m, selc, QStringLiteral("文字色(&C)..."));
    add(m, selc, QStringLiteral("文字背景色(&K)..."));
    add(m, selc, QStringLiteral("-"));
    add(m, selc, QStringLiteral("左揃え(&L)"));
    add(m, selc, QStringLiteral("中央揃え(&E)"));
    add(m, selc, QStringLiteral("右揃え(&R)"));
    add(m, selc, QStringLiteral("ｲﾝﾃﾞﾝﾄ(&N)..."));  // 18

    m = top(QStringLiteral("表(&A)"));  // mnJb 5
    {
        const QString tins = QStringLiteral("mnTins"), tbl = QStringLiteral("mnTbl"),
                      tdel = QStringLiteral("mnTdel"), tslc = QStringLiteral("mnTslc");
        QMenu* ins = sub(m, QStringLiteral("挿入(&I)"));
        add(ins, tins, QStringLiteral("表(&T)..."));
        add(ins, tins, QStringLiteral("-"));
        add(ins, tins, QStringLiteral("上に行(&A)"));
        add(ins, tins, QStringLiteral("下に行(&B)"));
        add(ins, tins, QStringLiteral("-"));
        add(ins, tins, QStringLiteral("左に列(&L)"));
        add(ins, tins, QStringLiteral("右に列(&R)"));
        add(m, tbl, QStringLiteral("ｾﾙの結合(&M)"));
        add(m, tbl, QStringLiteral("ｾﾙの分割(&S)"));
        add(m, tbl, QStringLiteral("ｾﾙの背景色(&C)..."));
        add(m, tbl, QStringLiteral("罫線(&B)..."));
        add(m, tbl, QStringLiteral("ｾﾙの余白(&P)..."));
        QMenu* del = sub(m, QStringLiteral("削除(&D)"));
        add(del, tdel, QStringLiteral("行(&R)"));
        add(del, tdel, QStringLiteral("列(&C)"));
        add(del, tdel, QStringLiteral("表(&T)"));
        QMenu* slc = sub(m, QStringLiteral("選択(&E)"));
        add(slc, tslc, QStringLiteral("行(&R)"));
        add(slc, tslc, QStringLiteral("列(&C)"));
        add(slc, tslc, QStringLiteral("表(&T)"));
    }

    m = top(QStringLiteral("Web(&W)"));  // mnJb 6
    {
        // The entries keep their places in the array (separators count), as the keys and
        // the enabling address them by index.
        const QString web = QStringLiteral("mnWeb");
        add(m, web, QStringLiteral("IEでﾌﾟﾚﾋﾞｭｰ(ﾒﾆｭｰ付)"));
        {
            QMenu* update = sub(m, QStringLiteral("ｻｲﾄの更新"));
            arrays_[web].push_back(update->menuAction());  // mnWeb 1
            const QString up = QStringLiteral("mnWebUp");
            add(update, up, QStringLiteral("全てのﾍﾟｰｼﾞ"));
            add(update, up, QStringLiteral("-"));
            add(update, up, QStringLiteral("現在のノード"));
            add(update, up, QStringLiteral("現在のノード以降全て"));
            add(update, up, QStringLiteral("指定日以降の変更分の更新"));
            add(update, up, QStringLiteral("-"));
            later(add(update, up, QStringLiteral("最近更新したﾍﾟｰｼﾞを確認")));
        }
        add(m, web, QStringLiteral("ｻｲﾄの同期"));
        add(m, web, QStringLiteral("-"));
        add(m, web, QStringLiteral("ｻｲﾄ出力の設定"));
        add(m, web, QStringLiteral("-"));
        add(m, web, QStringLiteral("ﾃﾝﾌﾟﾚｰﾄを編集"));
        add(m, web, QStringLiteral("ｻｲﾄﾏｯﾌﾟを作成"));
        add(m, web, QStringLiteral("-"));
        add(m, web, QStringLiteral("ﾘﾝｸ先の確認"));
        add(m, web, QStringLiteral("不要ﾍﾟｰｼﾞと画像の一覧"));
        add(m, web, QStringLiteral("-"));
        add(m, web, QStringLiteral("ｻｲﾄ出力PCの初期化"));
        later(add(m, web, QStringLiteral("FTP同期")));
        m->setToolTipsVisible(true);
    }

    m = top(QStringLiteral("出力(&O)"));  // mnJb 7
    {
        const QString out = QStringLiteral("mnOut");
        add(m, out, QStringLiteral("HTM 出力"));
        add(m, out, QStringLiteral("EPUB 出力"));
        add(m, out, QStringLiteral("文書(txt,doc)に出力"));
        add(m, out, QStringLiteral("ﾜｰﾄﾞ文書にﾊﾞｯｸｱｯﾌﾟ"));
        m->setToolTipsVisible(true);
    }

    m = top(QStringLiteral("表示(&V)"));  // mnJb 8
    {
        const QString zoom = QStringLiteral("mnZoom");
        add(m, zoom, QStringLiteral("拡大(&I)"), QStringLiteral("Ctrl++"));
        add(m, zoom, QStringLiteral("縮小(&O)"), QStringLiteral("Ctrl+-"));
        add(m, zoom, QStringLiteral("-"));
        const QString view = QStringLiteral("mnView");
        add(m, view, QStringLiteral("ﾌｧﾝｸｼｮﾝｷｰ(&F)"))->setCheckable(true);
        add(m, view, QStringLiteral("ﾂﾘｰへ移動(&T)"));
        add(m, view, QStringLiteral("本文へ移動(&B)"));
    }

    m = top(QStringLiteral("ﾂｰﾙ(&T)"));  // mnJb 9
    {
        const QString user = QStringLiteral("mnUser");
        add(m, user, QStringLiteral("設定(&S)..."));
        add(m, user, QStringLiteral("-"));
        const QString sys = QStringLiteral("mnApSys");
        add(m, sys, QStringLiteral("拡張子(*.txdb)の関連付け(&A)"));
        add(m, sys, QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝﾒﾆｭｰに登録(&M)"));
    }

    m = top(QStringLiteral("ﾍﾙﾌﾟ(&H)"));  // mnJb 10
    {
        const QString help = QStringLiteral("mnHelp");
        add(m, help, QStringLiteral("ﾍﾙﾌﾟ(&H)"));
        add(m, help, QStringLiteral("Arborについて(&A)"));
    }
}

void MainMenus::setRecent(const QStringList& captions, const QList<bool>& hidden) {
    const QString dbs = QStringLiteral("mnDbs");
    for (QAction* a : arrays_.value(dbs)) {
        dbMenu_->removeAction(a);
        a->deleteLater();
    }
    arrays_[dbs].clear();
    for (int i = 0; i < captions.size(); ++i) {
        QAction* a = new QAction(captions[i], dbMenu_);
        a->setVisible(!hidden.value(i));
        connect(a, &QAction::triggered, this, [this, i] { emit recentChosen(i); });
        dbMenu_->addAction(a);
        arrays_[dbs].push_back(a);
    }
    recentSeparator_->setVisible(!captions.isEmpty());
}

QAction* MainMenus::item(const QString& array, int index) const {
    const QVector<QAction*> list = arrays_.value(array);
    return index >= 0 && index < list.size() ? list[index] : nullptr;
}

QString MainMenus::arrayOfGroup(int group) {
    static const char* const names[] = {
        nullptr,  "mnJb",   "mnFile",  "mnEdit", "mnEdtDr", "mnSelc", "mnLocal", "mnView", "mnWin",
        "mnList", "mnPage", "mnOrien", "mnDisp", "mnZoom",  "mnTree", "mnUser",  "mnRep"};
    if (group < 1 || group > 16)
        return {};
    return QString::fromLatin1(names[group]);
}

MenuHost::Item MainMenus::menuItem(int group, int index) const {
    const QAction* a = item(arrayOfGroup(group), index);
    if (!a)
        return {};
    return {true, a->isSeparator() ? QStringLiteral("-") : a->text(),
            a->isEnabled() && a->isVisible()};
}

void MainMenus::fnMenu(int group, int index) {
    QAction* a = item(arrayOfGroup(group), index);
    if (a && !a->isSeparator() && a->isEnabled())
        a->trigger();
}

}  // namespace arbor::ui
