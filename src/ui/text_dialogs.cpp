#include "ui/text_dialogs.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "ui/dialog_buttons.h"

namespace arbor::ui {

namespace {

constexpr double kTwipsPerMm = 1440 / 25.4;

QDoubleSpinBox* millimetres(QWidget* parent, int twips, double minimum) {
    auto* s = new QDoubleSpinBox(parent);
    s->setRange(minimum, 300);
    s->setDecimals(1);
    s->setSingleStep(1);
    s->setSuffix(QStringLiteral(" mm"));
    s->setValue(twips / kTwipsPerMm);
    return s;
}

int twipsOf(const QDoubleSpinBox* box) {
    return static_cast<int>(std::lround(box->value() * kTwipsPerMm));
}

}  // namespace

// ------------------------------------------------------------------ indentation

IndentDialog::IndentDialog(int left, int right, int firstLine, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("sbIndent"));
    setWindowTitle(QStringLiteral("ｲﾝﾃﾞﾝﾄ"));
    left_ = millimetres(this, left, 0);
    right_ = millimetres(this, right, 0);
    first_ = millimetres(this, firstLine, -100);
    first_->setToolTip(QStringLiteral("負の値はぶら下げｲﾝﾃﾞﾝﾄです"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("左:"), left_);
    form->addRow(QStringLiteral("右:"), right_);
    form->addRow(QStringLiteral("1行目:"), first_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
}

int IndentDialog::left() const {
    return twipsOf(left_);
}
int IndentDialog::right() const {
    return twipsOf(right_);
}
int IndentDialog::firstLine() const {
    return twipsOf(first_);
}

// ------------------------------------------------------------------ font

FontDialog::FontDialog(const Choice& current, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("sbFont"));
    setWindowTitle(QStringLiteral("ﾌｫﾝﾄ"));
    family_ = new QFontComboBox(this);
    family_->setCurrentFont(QFont(current.family));
    family_->setEditText(current.family);
    size_ = new QComboBox(this);
    size_->setEditable(true);
    for (int s : {8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36, 48, 72})
        size_->addItem(QString::number(s));
    size_->setEditText(QString::number(current.size, 'g', 4));
    bold_ = new QCheckBox(QStringLiteral("太字"), this);
    italic_ = new QCheckBox(QStringLiteral("斜体"), this);
    underline_ = new QCheckBox(QStringLiteral("下線"), this);
    bold_->setChecked(current.bold);
    italic_->setChecked(current.italic);
    underline_->setChecked(current.underline);
    colourButton_ = new QPushButton(QStringLiteral("文字色..."), this);
    connect(colourButton_, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(colour_, this, QStringLiteral("文字色"));
        if (c.isValid())
            setColour(c);
    });
    sample_ = new QLabel(QStringLiteral("Aa あア亜 123"), this);
    sample_->setMinimumSize(300, 64);
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setFrameShape(QFrame::StyledPanel);
    sample_->setAutoFillBackground(true);

    auto* styles = new QHBoxLayout;
    styles->addWidget(bold_);
    styles->addWidget(italic_);
    styles->addWidget(underline_);
    styles->addStretch(1);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("ﾌｫﾝﾄ:"), family_);
    form->addRow(QStringLiteral("ｻｲｽﾞ:"), size_);
    form->addRow(QStringLiteral("ｽﾀｲﾙ:"), styles);
    form->addRow(QStringLiteral("色:"), colourButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(sample_);
    layout->addWidget(okCancelButtons(this));

    connect(family_, &QFontComboBox::currentTextChanged, this, &FontDialog::preview);
    connect(size_, &QComboBox::currentTextChanged, this, &FontDialog::preview);
    for (QCheckBox* b : {bold_, italic_, underline_})
        connect(b, &QCheckBox::toggled, this, &FontDialog::preview);
    setColour(current.colour.isValid() ? current.colour : QColor(Qt::black));
}

void FontDialog::setColour(const QColor& colour) {
    colour_ = colour;
    QPixmap chip(16, 16);
    chip.fill(colour);
    colourButton_->setIcon(QIcon(chip));
    preview();
}

FontDialog::Choice FontDialog::choice() const {
    Choice c;
    c.family = family_->currentText();
    bool ok = false;
    const double size = size_->currentText().toDouble(&ok);
    c.size = ok && size >= 1 && size <= 1638 ? size : 0;
    c.bold = bold_->isChecked();
    c.italic = italic_->isChecked();
    c.underline = underline_->isChecked();
    c.colour = colour_;
    return c;
}

void FontDialog::preview() {
    const Choice c = choice();
    QFont f(c.family);
    if (c.size > 0)
        f.setPointSizeF(c.size);
    f.setBold(c.bold);
    f.setItalic(c.italic);
    f.setUnderline(c.underline);
    sample_->setFont(f);
    QPalette palette = sample_->palette();
    palette.setColor(QPalette::WindowText, c.colour);
    palette.setColor(QPalette::Window, Qt::white);
    sample_->setPalette(palette);
}

// ------------------------------------------------------------------ header and footer

HeaderFooterDialog::HeaderFooterDialog(const QString& header, const QString& footer,
                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("sbHeadFoot"));
    setWindowTitle(QStringLiteral("ﾍｯﾀﾞｰとﾌｯﾀｰ"));
    header_ = new QPlainTextEdit(header, this);
    header_->setObjectName(QStringLiteral("txHeader"));
    footer_ = new QPlainTextEdit(footer, this);
    footer_->setObjectName(QStringLiteral("txFooter"));
    for (QPlainTextEdit* e : {header_, footer_}) {
        e->setTabChangesFocus(true);
        e->setMinimumSize(420, 70);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("ﾍｯﾀﾞｰ (各ﾍﾟｰｼﾞの上余白に印刷されます):"), this));
    layout->addWidget(header_);
    layout->addWidget(new QLabel(QStringLiteral("ﾌｯﾀｰ (各ﾍﾟｰｼﾞの下余白に印刷されます):"), this));
    layout->addWidget(footer_);
    layout->addWidget(okCancelButtons(this));
}

QString HeaderFooterDialog::header() const {
    return header_->toPlainText();
}

QString HeaderFooterDialog::footer() const {
    return footer_->toPlainText();
}

}  // namespace arbor::ui
