#include "ui/sbrev.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "db/zsvr.h"
#include "editor/byte_format.h"
#include "editor/link_fields.h"
#include "tree/tree_messages.h"
#include "ui/page_tree_view.h"

namespace arbor::ui {

uTrg::uTrg(QWidget* parent)
    : QWidget(parent),
      reverse_(new tree::ReverseTree(this)),
      cbFind_(new QComboBox(this)),
      cmFind_(new QPushButton(QStringLiteral("検索"), this)),
      trView_(new PageTreeView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    cbFind_->setEditable(true);
    cbFind_->setInsertPolicy(QComboBox::NoInsert);
    cbFind_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    row->addWidget(cbFind_, 1);
    row->addWidget(cmFind_);
    layout->addLayout(row);
    layout->addWidget(trView_, 1);
    trView_->setNodeModel(reverse_->model(), reverse_->selection(),
                          [this](const QModelIndex& i, bool e) { reverse_->setExpanded(i, e); });
    trView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(trView_, &PageTreeView::openRequested, reverse_, &tree::ReverseTree::open);
    connect(cmFind_, &QPushButton::clicked, this, &uTrg::runSearch);
    connect(cbFind_->lineEdit(), &QLineEdit::returnPressed, this, &uTrg::runSearch);
    connect(reverse_, &tree::ReverseTree::historyChanged, this, [this] {
        const QString text = cbFind_->currentText();
        cbFind_->clear();
        cbFind_->addItems(reverse_->history());
        cbFind_->setCurrentText(text);
    });
}

void uTrg::runSearch() {
    reverse_->search(cbFind_->currentText());
}

sbRev::sbRev(QWidget* parent)
    : QWidget(parent, Qt::Window),
      trg_(new uTrg(this)),
      title_(new QLabel(this)),
      view_(new QTextBrowser(this)) {
    setWindowTitle(tree::msg::treeMenuCaption(22));
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QMenuBar(this);
    QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->addAction(QStringLiteral("閉じる(&C)"), this, &QWidget::close);
    layout->setMenuBar(bar);
    auto* split = new QSplitter(Qt::Horizontal, this);
    auto* right = new QWidget(split);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    QFont titleFont = title_->font();
    titleFont.setBold(true);
    title_->setFont(titleFont);
    rightLayout->addWidget(title_);
    view_->setReadOnly(true);
    view_->setOpenLinks(false);
    rightLayout->addWidget(view_, 1);
    split->addWidget(trg_);
    split->addWidget(right);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 2);
    layout->addWidget(split);
    resize(820, 520);
    connect(trg_->reverse(), &tree::ReverseTree::pageChosen, this,
            [this](const QString&, int page) { loadPage(page); });
    connect(view_, &QTextBrowser::anchorClicked, this, &sbRev::followLink);
}

void sbRev::showPage(int page, const QString& title) {
    trg_->reverse()->tgTree(trg_->reverse()->lastText(), QString::number(page), title);
    loadPage(page);
}

void sbRev::loadPage(int page) {
    const tree::PageContent content = tree::readPageContent(page);
    title_->setText(content.title);
    if (!content.found) {
        view_->clear();
        return;
    }
    QString error;
    doc::DocumentParts parts;
    parts.body = view_->document();
    if (content.obDoc.isEmpty() || !byteformat::load(content.obDoc, parts, error))
        view_->setPlainText(content.text);  // no stored rich text, or not readable
}

void sbRev::followLink(const QUrl& url) {
    const LinkTarget target = splitLinkData(url.toString());
    if (target.kind != LinkKind::Tag)
        return;
    bool number = false;
    const int page = target.target.toInt(&number);
    if (!number || page <= 0)
        return;
    const tree::PageContent content = tree::readPageContent(page);
    if (!content.found)
        return;
    trg_->reverse()->tgTree(trg_->reverse()->lastText(), QString::number(page), content.title);
    loadPage(page);
}

}  // namespace arbor::ui
