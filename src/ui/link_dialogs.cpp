#include "ui/link_dialogs.h"
#include "app/text_cut.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/prompter.h"
#include "db/zsvr.h"
#include "editor/editor_texts.h"
#include "ui/dialog_buttons.h"

namespace arbor::ui {

// ------------------------------------------------------------------ hyperlink

HyperlinkDialog::HyperlinkDialog(const QString& text, const QString& target, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("sbLink"));
    setWindowTitle(QStringLiteral("ﾊｲﾊﾟｰﾘﾝｸ"));
    text_ = new QLineEdit(text, this);
    text_->setObjectName(QStringLiteral("txLinkText"));
    text_->setPlaceholderText(QStringLiteral("空のときはﾘﾝｸ先を表示します"));
    target_ = new QLineEdit(target, this);
    target_->setObjectName(QStringLiteral("txLinkTarget"));
    target_->setPlaceholderText(QStringLiteral("https://... またはﾌｧｲﾙ"));
    target_->setMinimumWidth(360);
    auto* browseButton = new QPushButton(QStringLiteral("参照..."), this);
    browseButton->setToolTip(edtext::kLinkTargetCaption);
    connect(browseButton, &QPushButton::clicked, this, &HyperlinkDialog::browse);
    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(target_, 1);
    targetRow->addWidget(browseButton);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("表示する文字列:"), text_);
    form->addRow(QStringLiteral("ﾘﾝｸ先:"), targetRow);
    QDialogButtonBox* buttons = okCancelButtons(this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    auto enable = [this, ok] { ok->setEnabled(!target_->text().trimmed().isEmpty()); };
    connect(target_, &QLineEdit::textChanged, this, enable);
    enable();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    (target.isEmpty() ? target_ : text_)->setFocus();
}

QString HyperlinkDialog::text() const {
    const QString t = text_->text().trimmed();
    return t.isEmpty() ? target() : t;
}

QString HyperlinkDialog::target() const {
    return target_->text().trimmed();
}

void HyperlinkDialog::browse() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = edtext::kLinkTargetCaption;
    request.filters = edtext::filterLines(edtext::kAllFilesFilter);
    const QString path = prompter().chooseFile(request);
    if (!path.isEmpty())
        target_->setText(path);
}

// ------------------------------------------------------------------ term

TermDialog::TermDialog(const QString& current, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("sbTerm"));
    setWindowTitle(QStringLiteral("用語の挿入"));
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("txTermFilter"));
    filter_->setPlaceholderText(QStringLiteral("絞り込み"));
    filter_->setClearButtonEnabled(true);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("lsTerm"));
    list_->setHeaderLabels({QStringLiteral("用語"), QStringLiteral("内容")});
    list_->setRootIsDecorated(false);
    list_->setAlternatingRowColors(true);
    list_->setMinimumSize(420, 260);
    list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    ResultArray rows;
    if (!zSvr::instance().isOpen() ||
        !zSvr::instance().readRows(QStringLiteral("Select skDic, szDic From msDic Order By skDic"),
                                   rows)) {
        error_ = QStringLiteral("辞書(msDic)を読めません");
    } else {
        for (int r = 0; r < rows.rowCount(); ++r) {
            auto* item = new QTreeWidgetItem(list_);
            item->setText(0, rows(0, r).toString());
            item->setText(1, leftCharacters(rows(1, r).toString().simplified(), 200));
        }
    }
    QDialogButtonBox* buttons = okCancelButtons(this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    auto enable = [this, ok] { ok->setEnabled(!term().isEmpty()); };
    connect(list_, &QTreeWidget::itemSelectionChanged, this, enable);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(filter_, &QLineEdit::textChanged, this, &TermDialog::applyFilter);
    auto* layout = new QVBoxLayout(this);
    if (!error_.isEmpty())
        layout->addWidget(new QLabel(error_, this));
    layout->addWidget(filter_);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    selectTerm(current);
    enable();
    filter_->setFocus();
}

void TermDialog::applyFilter(const QString& text) {
    // Full-width and half-width letters match each other ("html" finds "ＨＴＭＬ").
    const QString wanted = text.normalized(QString::NormalizationForm_KC);
    auto matches = [&wanted](const QString& s) {
        return s.normalized(QString::NormalizationForm_KC).contains(wanted, Qt::CaseInsensitive);
    };
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        item->setHidden(!wanted.isEmpty() && !matches(item->text(0)) && !matches(item->text(1)));
    }
}

bool TermDialog::selectTerm(const QString& key) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        if (!key.isEmpty() && item->text(0) == key) {
            list_->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

int TermDialog::termCount() const {
    return list_->topLevelItemCount();
}

QString TermDialog::term() const {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() || selected.first()->isHidden() ? QString()
                                                              : selected.first()->text(0);
}

// ------------------------------------------------------------------ markup

MarkupDialog::MarkupDialog(bool script, const QString& initial, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("sbMarkup"));
    setWindowTitle(script ? QStringLiteral("ｽｸﾘﾌﾟﾄの挿入") : QStringLiteral("ｲﾝﾗｲﾝﾌﾚｰﾑの挿入"));
    markup_ = new QPlainTextEdit(initial, this);
    markup_->setObjectName(QStringLiteral("txMarkup"));
    markup_->setPlaceholderText(
        script
            ? QStringLiteral("<script src=\"...\"></script>")
            : QStringLiteral("<iframe src=\"https://...\" width=\"480\" height=\"360\"></iframe>"));
    markup_->setMinimumSize(440, 160);
    markup_->setTabChangesFocus(true);
    auto* hint = new QLabel(
        QStringLiteral("ﾍﾟｰｼﾞには ") + (script ? edtext::kScriptPrefix : edtext::kFramePrefix) +
            QStringLiteral(" ... ] として表示され、Webﾍﾟｰｼﾞではそのまま出力されます"),
        this);
    hint->setWordWrap(true);
    QDialogButtonBox* buttons = okCancelButtons(this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    auto enable = [this, ok] { ok->setEnabled(!markup().isEmpty()); };
    connect(markup_, &QPlainTextEdit::textChanged, this, enable);
    enable();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(markup_, 1);
    layout->addWidget(buttons);
}

QString MarkupDialog::markup() const {
    return markup_->toPlainText().trimmed();
}

}  // namespace arbor::ui
