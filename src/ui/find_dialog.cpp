#include "ui/find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace arbor::ui {

FindDialog::FindDialog(QTextEdit* view, QWidget* parent) : QDialog(parent), view_(view) {
    setObjectName(QStringLiteral("sbFind"));
    setModal(false);
    auto* grid = new QGridLayout;
    find_ = new QLineEdit(this);
    find_->setObjectName(QStringLiteral("txFind"));
    replace_ = new QLineEdit(this);
    replace_->setObjectName(QStringLiteral("txReplace"));
    auto* findLabel = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
    findLabel->setBuddy(find_);
    replaceLabel_ = new QLabel(QStringLiteral("置換後の文字列(&P):"), this);
    replaceLabel_->setBuddy(replace_);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(find_, 0, 1);
    grid->addWidget(replaceLabel_, 1, 0);
    grid->addWidget(replace_, 1, 1);
    case_ = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this);
    words_ = new QCheckBox(QStringLiteral("単語単位で検索する(&W)"), this);
    upward_ = new QCheckBox(QStringLiteral("上へ検索する(&U)"), this);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("lbFindMessage"));
    message_->setMinimumWidth(260);

    auto* left = new QVBoxLayout;
    left->addLayout(grid);
    left->addWidget(case_);
    left->addWidget(words_);
    left->addWidget(upward_);
    left->addWidget(message_);
    left->addStretch(1);

    next_ = new QPushButton(QStringLiteral("次を検索"), this);
    next_->setDefault(true);
    replaceButton_ = new QPushButton(QStringLiteral("置換(&R)"), this);
    allButton_ = new QPushButton(QStringLiteral("すべて置換(&A)"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {next_, replaceButton_, allButton_, close})
        buttons->addWidget(b);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(next_, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(replaceButton_, &QPushButton::clicked, this, &FindDialog::replaceOne);
    connect(allButton_, &QPushButton::clicked, this, &FindDialog::replaceAll);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(find_, &QLineEdit::textChanged, this, &FindDialog::enableButtons);
    enableButtons();
}

void FindDialog::showFor(bool replace, const QString& text) {
    setWindowTitle(replace ? QStringLiteral("置換") : QStringLiteral("検索"));
    replaceLabel_->setVisible(replace);
    replace_->setVisible(replace);
    replaceButton_->setVisible(replace);
    allButton_->setVisible(replace);
    if (!text.isEmpty() && !text.contains(u'\n'))
        find_->setText(text);
    message_->clear();
    enableButtons();
    show();
    raise();
    activateWindow();
    find_->setFocus();
    find_->selectAll();
}

void FindDialog::enableButtons() {
    const bool some = !find_->text().isEmpty();
    const bool editable = !view_->isReadOnly();
    next_->setEnabled(some);
    replaceButton_->setEnabled(some && editable);
    allButton_->setEnabled(some && editable);
}

search::Options FindDialog::options() const {
    search::Options o;
    o.caseSensitive = case_->isChecked();
    o.wholeWords = words_->isChecked();
    o.backward = upward_->isChecked();
    return o;
}

void FindDialog::report(const QString& text) {
    message_->setText(text);
    emit status(text);
}

bool FindDialog::findNext() {
    const QString text = find_->text();
    bool wrapped = false;
    const QTextCursor found =
        search::findNext(*view_->document(), text, view_->textCursor(), options(), &wrapped);
    if (found.isNull()) {
        report(QStringLiteral("「") + text + QStringLiteral("」は見つかりません"));
        return false;
    }
    view_->setTextCursor(found);
    view_->ensureCursorVisible();
    report(wrapped ? QStringLiteral("文書の最後まで検索し、先頭から続けました") : QString());
    return true;
}

bool FindDialog::replaceOne() {
    if (view_->isReadOnly())
        return false;
    QTextCursor c = view_->textCursor();
    const bool replaced = search::replaceAndFindNext(c, find_->text(), replace_->text(), options());
    view_->setTextCursor(c);
    view_->ensureCursorVisible();
    if (!replaced && !search::selectionMatches(c, find_->text(), options()))
        report(QStringLiteral("「") + find_->text() + QStringLiteral("」は見つかりません"));
    else
        report(QString());
    return replaced;
}

int FindDialog::replaceAll() {
    if (view_->isReadOnly())
        return 0;
    const int count =
        search::replaceAll(*view_->document(), find_->text(), replace_->text(), options());
    report(count > 0 ? QString(QString::number(count) + QStringLiteral(" 件置換しました"))
                     : QStringLiteral("「") + find_->text() + QStringLiteral("」は見つかりません"));
    return count;
}

}  // namespace arbor::ui
