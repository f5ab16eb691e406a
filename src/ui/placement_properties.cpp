#include "ui/placement_properties.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/program_state.h"
#include "db/zsvr.h"
#include "tree/node_key.h"
#include "tree/page_tree.h"

namespace arbor::ui {

namespace {

QVariantList placementFlags(int parent, int page) {
    QString sql =
        QStringLiteral("Select boLnk, boHide, boHogo From tbTree Where noLfP=? And noLfC=?");
    zSvr::instance().T_CnvSq(sql, {parent, page});
    QVariantList fields;
    zSvr::instance().R_PAry(sql, fields);
    return fields;
}

}  // namespace

bool PlacementProperties::edit(QWidget* parent, tree::PageTree& tree) {
    const QString key = tree.SlctdKy();
    const int page = tree::pageNumberOfKey(key);
    if (page <= 0 || key == QLatin1String("NewNode"))
        return false;
    const int parentPage = tree.GetPrCdNo(key).parent.toInt();
    zSvr& db = zSvr::instance();
    const QVariantList flags = placementFlags(parentPage, page);
    if (flags.size() < 3)
        return false;
    const bool wasHome = flags[0].toInt() == 0;
    const bool wasHidden = flags[1].toInt() == 1;
    const bool wasProtected = flags[2].toInt() == 1;
    const bool wasCollecting =
        db.R_GtVaL(QStringLiteral("Select boCod From msDoc Where noDoc=") + QString::number(page),
                   0)
            .toInt() == 1;

    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("ﾌﾟﾛﾊﾟﾃｨ"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(
        new QLabel(QStringLiteral("%1  (文書No:%2)").arg(tree.GetNodeText()).arg(page), &dialog));
    auto* home = new QRadioButton(QStringLiteral("本来の位置(ﾎｰﾑ)"), &dialog);
    auto* link = new QRadioButton(QStringLiteral("ﾘﾝｸ"), &dialog);
    (wasHome ? home : link)->setChecked(true);
    auto* hidden = new QCheckBox(QStringLiteral("非表示(Web・EPUBに出力しない)"), &dialog);
    auto* protect = new QCheckBox(QStringLiteral("保護(出力済みのHTMLを上書きしない)"), &dialog);
    auto* collecting =
        new QCheckBox(QStringLiteral("一覧ﾍﾟｰｼﾞ(子ﾍﾟｰｼﾞを更新順に一覧する)"), &dialog);
    hidden->setChecked(wasHidden);
    protect->setChecked(wasProtected);
    collecting->setChecked(wasCollecting);
    for (QWidget* w : std::initializer_list<QWidget*>{home, link, hidden, protect, collecting})
        layout->addWidget(w);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (db.readOnly()) {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
        dialog.setWindowTitle(dialog.windowTitle() + QStringLiteral(" (読み込み専用)"));
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;

    // The home change first: it decides which placement is the home one.
    if (home->isChecked() != wasHome)
        tree.StOrgn(home->isChecked());
    const int boLnk = placementFlags(parentPage, page).value(0).toInt();
    QString sql = QStringLiteral("Update tbTree Set boLnk=?, boHide=?, boHogo=?, dyUdt=? ") +
                  QStringLiteral(" Where noLfP=? And noLfC=?");
    db.T_CnvSq(sql, {boLnk, hidden->isChecked() ? 1 : 0, protect->isChecked() ? 1 : 0, SqlNow(),
                     parentPage, page});
    if (!db.D_ExeSq(sql))
        return false;
    if (protect->isChecked() != wasProtected)
        tree.HogoNode(protect->isChecked());
    if (hidden->isChecked() != wasHidden)
        tree.HideNode(hidden->isChecked());
    if (collecting->isChecked() != wasCollecting)
        tree.CngCod(collecting->isChecked());
    return true;
}

}  // namespace arbor::ui
