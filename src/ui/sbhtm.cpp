#include "ui/sbhtm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/prompter.h"

namespace arbor::ui {

sbHtm::sbHtm(QWidget* parent, const web::HtmExportRequest& request) : QDialog(parent) {
    setWindowTitle(QStringLiteral("HTM 出力"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    folder_ = new QLineEdit(request.folder, this);
    folder_->setObjectName(QStringLiteral("folder"));
    auto* browse = new QPushButton(QStringLiteral("参照..."), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen =
            QFileDialog::getExistingDirectory(this, QStringLiteral("出力先ﾌｫﾙﾀﾞ"), folder_->text());
        if (!chosen.isEmpty())
            folder_->setText(chosen);
    });
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(browse);
    form->addRow(QStringLiteral("出力先ﾌｫﾙﾀﾞ"), folderRow);
    topName_ = new QLineEdit(request.topFileName, this);
    topName_->setObjectName(QStringLiteral("topName"));
    topName_->setPlaceholderText(QStringLiteral("index.htm (空白: ﾍﾟｰｼﾞ番号 / frame.htm)"));
    form->addRow(QStringLiteral("ﾄｯﾌﾟﾍﾟｰｼﾞのﾌｧｲﾙ名"), topName_);

    auto* kind = new QGroupBox(QStringLiteral("目次"), this);
    auto* kindLayout = new QVBoxLayout(kind);
    tree_ = new QRadioButton(QStringLiteral("ﾂﾘｰ目次を各ﾍﾟｰｼﾞに (固定幅)"), kind);
    elastic_ = new QRadioButton(QStringLiteral("ﾂﾘｰ目次を各ﾍﾟｰｼﾞに (可変幅)"), kind);
    frames_ = new QRadioButton(QStringLiteral("ﾌﾚｰﾑと目次ﾍﾟｰｼﾞ"), kind);
    tree_->setObjectName(QStringLiteral("tree"));
    elastic_->setObjectName(QStringLiteral("elastic"));
    frames_->setObjectName(QStringLiteral("frames"));
    (request.frames ? frames_ : request.elastic ? elastic_ : tree_)->setChecked(true);
    for (QRadioButton* b : {tree_, elastic_, frames_})
        kindLayout->addWidget(b);
    layout->addWidget(kind);
    empty_ = new QCheckBox(QStringLiteral("出力前にﾌｫﾙﾀﾞを空にする"), this);
    open_ = new QCheckBox(QStringLiteral("出力後に表示する"), this);
    empty_->setObjectName(QStringLiteral("empty"));
    open_->setObjectName(QStringLiteral("open"));
    empty_->setChecked(request.emptyFirst);
    open_->setChecked(true);
    layout->addWidget(empty_);
    layout->addWidget(open_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (check())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, sizeHint().height());
}

bool sbHtm::check() {
    const QString refusal = web::refuseHtmFolder(folder_->text().trimmed());
    if (!refusal.isEmpty()) {
        prompter().message(refusal, Severity::Warning);
        folder_->setFocus();
        return false;
    }
    const QString name = topName_->text().trimmed();
    if (name.contains(u'/') || name.contains(u'\\')) {
        prompter().message(QStringLiteral("ﾌｧｲﾙ名が不正です: ") + name, Severity::Warning);
        topName_->setFocus();
        return false;
    }
    if (empty_->isChecked() &&
        !prompter().confirm(
            folder_->text().trimmed() +
            QStringLiteral(" の中のﾌｧｲﾙとﾌｫﾙﾀﾞを全て削除してから出力します。よろしいですか")))
        return false;
    return true;
}

web::HtmExportRequest sbHtm::request() const {
    web::HtmExportRequest r;
    r.folder = folder_->text().trimmed();
    r.topFileName = topName_->text().trimmed();
    r.frames = frames_->isChecked();
    r.elastic = elastic_->isChecked();
    r.emptyFirst = empty_->isChecked();
    return r;
}

bool sbHtm::openResult() const {
    return open_->isChecked();
}

bool sbHtm::Act(web::HtmExportRequest& request, bool& openResult) {
    if (exec() != QDialog::Accepted)
        return false;
    request = this->request();
    openResult = this->openResult();
    return true;
}

}  // namespace arbor::ui
