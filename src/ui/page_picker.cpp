#include "ui/page_picker.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "db/zsvr.h"
#include "tree/node_key.h"
#include "tree/page_tree.h"
#include "tree/tree_model.h"
#include "ui/dialog_buttons.h"
#include "ui/page_tree_view.h"

namespace arbor::ui {

namespace {

constexpr int kHitPageRole = Qt::UserRole + 1;

QString storedTitle(int number) {
    if (number <= 0 || !zSvr::instance().isOpen())
        return {};
    QString sql = QStringLiteral("Select szDoc From msDoc Where noDoc = ?");
    zSvr::instance().T_CnvSq(sql, {number});
    return zSvr::instance().R_GtVaL(sql, QString()).toString();
}

}  // namespace

PagePicker::PagePicker(const QString& caption, QWidget* parent)
    : QDialog(parent), tree_(new tree::PageTree(this)) {
    setObjectName(QStringLiteral("sbPagePicker"));
    setWindowTitle(caption);
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("txPickFind"));
    search_->setPlaceholderText(QStringLiteral("ﾀｲﾄﾙで検索"));
    search_->setClearButtonEnabled(true);

    view_ = new PageTreeView(this);
    view_->setNodeModel(tree_->model(), tree_->selection(),
                        [this](const QModelIndex& i, bool e) { tree_->setExpanded(i, e); });
    // Only for looking: labels are not edited and nothing is opened here.
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    hits_ = new QListWidget(this);
    hits_->setObjectName(QStringLiteral("lsPickHits"));
    stack_ = new QStackedWidget(this);
    stack_->addWidget(view_);
    stack_->addWidget(hits_);
    stack_->setMinimumSize(360, 380);

    QDialogButtonBox* buttons = okCancelButtons(this);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(search_);
    layout->addWidget(stack_, 1);
    layout->addWidget(buttons);

    connect(search_, &QLineEdit::textChanged, this, &PagePicker::search);
    connect(tree_->selection(), &QItemSelectionModel::currentChanged, this, &PagePicker::updateOk);
    connect(hits_, &QListWidget::currentRowChanged, this, &PagePicker::updateOk);
    connect(view_, &PageTreeView::openRequested, this, [this] {
        if (pageNumber() > 0)
            accept();
    });
    connect(hits_, &QListWidget::itemActivated, this, [this] {
        if (pageNumber() > 0)
            accept();
    });

    if (zSvr::instance().isOpen())
        tree_->SetNodes(QStringLiteral("0"), false);
    updateOk();
    search_->setFocus();
}

PagePicker::~PagePicker() = default;

void PagePicker::search(const QString& text) {
    const QString words = text.trimmed();
    hits_->clear();
    stack_->setCurrentWidget(words.isEmpty() ? static_cast<QWidget*>(view_) : hits_);
    if (!words.isEmpty() && zSvr::instance().isOpen()) {
        QString sql =
            QStringLiteral("Select noDoc, szDoc From msDoc Where szDoc Like '%?%' Order By szDoc");
        zSvr::instance().T_CnvSq(sql, {words});
        ResultArray rows;
        if (zSvr::instance().readRows(sql, rows))
            for (int r = 0; r < rows.rowCount(); ++r) {
                auto* item = new QListWidgetItem(rows(1, r).toString(), hits_);
                item->setData(kHitPageRole, rows(0, r).toInt());
                item->setToolTip(QStringLiteral("ﾍﾟｰｼﾞ ") + rows(0, r).toString());
            }
        if (hits_->count() > 0)
            hits_->setCurrentRow(0);
    }
    updateOk();
}

int PagePicker::pageNumber() const {
    if (stack_->currentWidget() == hits_) {
        const QListWidgetItem* item = hits_->currentItem();
        return item ? item->data(kHitPageRole).toInt() : 0;
    }
    const QModelIndex current = tree_->selection()->currentIndex();
    return current.isValid() ? tree::pageNumberOfKey(current.data(tree::KeyRole).toString()) : 0;
}

QString PagePicker::pageTitle() const {
    const int number = pageNumber();
    const QString stored = storedTitle(number);
    if (!stored.isEmpty())
        return stored;
    if (stack_->currentWidget() == hits_)
        return hits_->currentItem() ? hits_->currentItem()->text() : QString();
    return tree_->selection()->currentIndex().data(Qt::DisplayRole).toString();
}

void PagePicker::updateOk() {
    okButton_->setEnabled(pageNumber() > 0);
}

bool PagePicker::pick(QWidget* parent, const QString& caption, int& number, QString& title) {
    PagePicker picker(caption, parent);
    if (picker.exec() != QDialog::Accepted || picker.pageNumber() <= 0)
        return false;
    number = picker.pageNumber();
    title = picker.pageTitle();
    return true;
}

}  // namespace arbor::ui
