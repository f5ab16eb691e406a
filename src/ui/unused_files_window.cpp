#include "ui/unused_files_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/prompter.h"

namespace arbor::ui {

UnusedFilesWindow::UnusedFilesWindow(web::SiteConversion& fileNames, QWidget* parent)
    : QDialog(parent), fileNames_(fileNames) {
    setWindowTitle(QStringLiteral("不要ﾍﾟｰｼﾞと画像の一覧"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral(
        "表示されるﾍﾟｰｼﾞから使われていないｻｲﾄのﾌｧｲﾙです。ﾁｪｯｸしたﾌｧｲﾙをごみ箱に移動します")));
    list_ = new QTreeWidget;
    list_->setHeaderLabels(
        {QStringLiteral("ﾌｧｲﾙ"), QStringLiteral("ｻｲｽﾞ"), QStringLiteral("種類")});
    list_->setRootIsDecorated(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    column->addWidget(list_, 1);
    total_ = new QLabel;
    column->addWidget(total_);
    auto* buttons = new QHBoxLayout;
    auto* all = new QPushButton(QStringLiteral("全て選択"));
    auto* none = new QPushButton(QStringLiteral("選択解除"));
    auto* trash = new QPushButton(QStringLiteral("ごみ箱へ移動"));
    auto* close = new QPushButton(QStringLiteral("閉じる"));
    for (QPushButton* b : {all, none, trash, close})
        buttons->addWidget(b);
    column->addLayout(buttons);
    auto checkAll = [this](Qt::CheckState state) {
        for (int i = 0; i < list_->topLevelItemCount(); ++i)
            list_->topLevelItem(i)->setCheckState(0, state);
    };
    connect(all, &QPushButton::clicked, this, [checkAll] { checkAll(Qt::Checked); });
    connect(none, &QPushButton::clicked, this, [checkAll] { checkAll(Qt::Unchecked); });
    connect(trash, &QPushButton::clicked, this, &UnusedFilesWindow::trashChecked);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resize(720, 520);
}

bool UnusedFilesWindow::refresh() {
    list_->clear();
    QString error;
    if (!web::listUnusedSiteFiles(fileNames_, files_, error)) {
        prompter().message(QStringLiteral("ｻｲﾄのﾌｧｲﾙを調べられません\n") + error,
                           Severity::Warning);
        return false;
    }
    qint64 sum = 0;
    for (const web::UnusedFile& f : files_) {
        auto* item =
            new QTreeWidgetItem({f.relative, web::sizeText(f.size),
                                 f.pageFile ? QStringLiteral("ﾍﾟｰｼﾞ") : QStringLiteral("画像等")});
        item->setCheckState(0, Qt::Unchecked);
        item->setData(0, Qt::UserRole, f.path);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        list_->addTopLevelItem(item);
        sum += f.size;
    }
    total_->setText(files_.isEmpty()
                        ? QStringLiteral("不要なﾌｧｲﾙはありません")
                        : QStringLiteral("%1 個  %2").arg(files_.size()).arg(web::sizeText(sum)));
    return true;
}

void UnusedFilesWindow::trashChecked() {
    QStringList paths;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->checkState(0) == Qt::Checked)
            paths << list_->topLevelItem(i)->data(0, Qt::UserRole).toString();
    if (paths.isEmpty()) {
        prompter().message(QStringLiteral("移動するﾌｧｲﾙをﾁｪｯｸして下さい"));
        return;
    }
    if (!prompter().confirm(QStringLiteral("%1 個のﾌｧｲﾙをごみ箱に移動しますか").arg(paths.size())))
        return;
    QStringList failed;
    web::trashFiles(paths, failed);
    if (!failed.isEmpty())
        prompter().message(
            QStringLiteral("次のﾌｧｲﾙは移動できませんでした\n") + failed.mid(0, 10).join(u'\n'),
            Severity::Warning);
    refresh();
}

}  // namespace arbor::ui
