#include "ui/export_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace arbor::ui {

bool ExportDialog::ask(QWidget* parent, ExportRequest& request) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽのｴｸｽﾎﾟｰﾄ"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(
        new QLabel(QStringLiteral("｢") + request.pageName + QStringLiteral("｣"), &dialog));
    auto* range = new QGroupBox(QStringLiteral("出力範囲"), &dialog);
    auto* rangeLayout = new QVBoxLayout(range);
    auto* whole = new QRadioButton(QStringLiteral("現在のﾉｰﾄﾞ以降全て"), range);
    auto* near = new QRadioButton(QStringLiteral("現在のﾉｰﾄﾞ"), range);
    whole->setToolTip(QStringLiteral("選択したﾍﾟｰｼﾞとその下の全てのﾍﾟｰｼﾞ"));
    near->setToolTip(QStringLiteral("選択したﾍﾟｰｼﾞと直下の子ﾍﾟｰｼﾞ"));
    (request.wholeBranch ? whole : near)->setChecked(true);
    rangeLayout->addWidget(whole);
    rangeLayout->addWidget(near);
    layout->addWidget(range);
    auto* form = new QFormLayout;
    auto* address = new QLineEdit(request.siteAddress, &dialog);
    address->setPlaceholderText(QStringLiteral("https://"));
    form->addRow(QStringLiteral("ｻｲﾄのｱﾄﾞﾚｽ(別のｻｲﾄに置く場合)"), address);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    request.wholeBranch = whole->isChecked();
    request.siteAddress = address->text().trimmed();
    return true;
}

}  // namespace arbor::ui
