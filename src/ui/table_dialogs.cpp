#include "ui/table_dialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "editor/editor_texts.h"
#include "ui/dialog_buttons.h"

namespace arbor::ui {

namespace {

QSpinBox* countSpin(QWidget* parent, int value, int maximum) {
    auto* s = new QSpinBox(parent);
    s->setRange(1, maximum);
    s->setValue(value);
    return s;
}

}  // namespace

TableDialog::TableDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("sbTable"));
    setWindowTitle(edtext::kTableCaption + QStringLiteral("の挿入"));
    rows_ = countSpin(this, 3, 500);
    columns_ = countSpin(this, 3, 50);
    auto* form = new QFormLayout;
    form->addRow(edtext::kRowCaption + QStringLiteral("数:"), rows_);
    form->addRow(edtext::kColumnCaption + QStringLiteral("数:"), columns_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
}

int TableDialog::rows() const {
    return rows_->value();
}

int TableDialog::columns() const {
    return columns_->value();
}

RowsColumnsDialog::RowsColumnsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("sbRowsColumns"));
    setWindowTitle(edtext::kRowCaption + u'/' + edtext::kColumnCaption + QStringLiteral("の挿入"));
    auto* what = new QGroupBox(QStringLiteral("挿入するもの"), this);
    rowsButton_ = new QRadioButton(edtext::kRowCaption, what);
    columnsButton_ = new QRadioButton(edtext::kColumnCaption, what);
    rowsButton_->setChecked(true);
    auto* whatRow = new QHBoxLayout(what);
    whatRow->addWidget(rowsButton_);
    whatRow->addWidget(columnsButton_);
    auto* where = new QGroupBox(QStringLiteral("位置"), this);
    before_ = new QRadioButton(QStringLiteral("前(上/左)"), where);
    after_ = new QRadioButton(QStringLiteral("後(下/右)"), where);
    after_->setChecked(true);
    auto* whereRow = new QHBoxLayout(where);
    whereRow->addWidget(before_);
    whereRow->addWidget(after_);
    count_ = countSpin(this, 1, 100);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("数:"), count_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(what);
    layout->addWidget(where);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
}

bool RowsColumnsDialog::columns() const {
    return columnsButton_->isChecked();
}

bool RowsColumnsDialog::after() const {
    return after_->isChecked();
}

int RowsColumnsDialog::count() const {
    return count_->value();
}

}  // namespace arbor::ui
