#include "ui/page_setup_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>

#include "editor/page_settings.h"
#include "ui/dialog_buttons.h"

namespace arbor::ui {

namespace {

constexpr double kTwipsPerMillimetre = 1440 / 25.4;

QDoubleSpinBox* lengthBox(QWidget* parent, int twips, double minimum, double maximum) {
    auto* s = new QDoubleSpinBox(parent);
    s->setRange(minimum, maximum);
    s->setDecimals(1);
    s->setSuffix(QStringLiteral(" mm"));
    s->setValue(twips / kTwipsPerMillimetre);
    return s;
}

int twipsOf(const QDoubleSpinBox* box) {
    return static_cast<int>(std::lround(box->value() * kTwipsPerMillimetre));
}

}  // namespace

PageSetupDialog::PageSetupDialog(const doc::PageSetup& page, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PageWdIn"));
    setWindowTitle(QStringLiteral("ﾍﾟｰｼﾞ設定"));
    papers_ = new QListWidget(this);
    papers_->setObjectName(QStringLiteral("lsPaper"));
    for (const PaperSize& p : paperSizes())
        papers_->addItem(p.caption);
    // The captions line up in columns only in a font whose half-width kana are half as
    // wide as kanji.
    QFont fixed;
    fixed.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                       QStringLiteral("monospace")});
    fixed.setStyleHint(QFont::TypeWriter);
    papers_->setFont(fixed);
    papers_->setMinimumWidth(papers_->sizeHintForColumn(0) + 30);

    width_ = lengthBox(this, page.width, 25.4, 2540);
    height_ = lengthBox(this, page.height, 25.4, 2540);
    const int values[4] = {page.marginLeft, page.marginTop, page.marginRight, page.marginBottom};
    for (int i = 0; i < 4; ++i)
        margins_[i] = lengthBox(this, values[i], 0, 500);

    auto* size = new QGroupBox(QStringLiteral("用紙のｻｲｽﾞ"), this);
    auto* sizeForm = new QFormLayout(size);
    sizeForm->addRow(QStringLiteral("幅:"), width_);
    sizeForm->addRow(QStringLiteral("高さ:"), height_);
    auto* margins = new QGroupBox(QStringLiteral("余白"), this);
    auto* grid = new QGridLayout(margins);
    const QString names[4] = {QStringLiteral("左:"), QStringLiteral("上:"), QStringLiteral("右:"),
                              QStringLiteral("下:")};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(names[i], margins), i / 2, (i % 2) * 2);
        grid->addWidget(margins_[i], i / 2, (i % 2) * 2 + 1);
    }
    problem_ = new QLabel(this);
    problem_->setStyleSheet(QStringLiteral("color: #B00020"));

    auto* right = new QVBoxLayout;
    right->addWidget(size);
    right->addWidget(margins);
    right->addWidget(problem_);
    right->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(papers_, 1);
    top->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(okCancelButtons(this));

    connect(papers_, &QListWidget::currentRowChanged, this, &PageSetupDialog::choosePaper);
    for (QDoubleSpinBox* b : {width_, height_})
        connect(b, &QDoubleSpinBox::valueChanged, this, &PageSetupDialog::markPaper);
    for (QDoubleSpinBox* b : margins_)
        connect(b, &QDoubleSpinBox::valueChanged, this, [this] { problem_->setText(problem()); });
    markPaper();
}

QDoubleSpinBox* PageSetupDialog::marginBox(int side) const {
    return side >= 0 && side < 4 ? margins_[side] : nullptr;
}

void PageSetupDialog::choosePaper(int row) {
    doc::PageSetup p = page();
    if (!choosePaperSize(row, p))
        return;
    const QSignalBlocker a(width_), b(height_);
    width_->setValue(p.width / kTwipsPerMillimetre);
    height_->setValue(p.height / kTwipsPerMillimetre);
    problem_->setText(problem());
}

// The row of the size given by hand, when the table has it.
void PageSetupDialog::markPaper() {
    const doc::PageSetup p = page();
    int row = -1;
    for (int i = 0; i < paperSizes().size(); ++i)
        if (std::abs(paperSizes()[i].width - p.width) <= 2 &&
            std::abs(paperSizes()[i].height - p.height) <= 2)
            row = i;
    const QSignalBlocker block(papers_);
    papers_->setCurrentRow(row);
    problem_->setText(problem());
}

doc::PageSetup PageSetupDialog::page() const {
    doc::PageSetup p;
    p.width = twipsOf(width_);
    p.height = twipsOf(height_);
    // A row of the table gives its exact twips, not the millimetres rounded back.
    const int row = papers_->currentRow();
    if (row >= 0 && row < paperSizes().size() && std::abs(paperSizes()[row].width - p.width) <= 2 &&
        std::abs(paperSizes()[row].height - p.height) <= 2)
        choosePaperSize(row, p);
    p.marginLeft = twipsOf(margins_[0]);
    p.marginTop = twipsOf(margins_[1]);
    p.marginRight = twipsOf(margins_[2]);
    p.marginBottom = twipsOf(margins_[3]);
    return p;
}

QString PageSetupDialog::problem() const {
    const doc::PageSetup p = page();
    if (p.marginLeft + p.marginRight >= p.width - 720)
        return QStringLiteral("左右の余白が用紙の幅に対して大きすぎます");
    if (p.marginTop + p.marginBottom >= p.height - 720)
        return QStringLiteral("上下の余白が用紙の高さに対して大きすぎます");
    return {};
}

void PageSetupDialog::accept() {
    const QString why = problem();
    problem_->setText(why);
    if (why.isEmpty())
        QDialog::accept();
}

}  // namespace arbor::ui
