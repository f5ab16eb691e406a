#include "ui/format_frame.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

#include "editor/user_formats.h"
#include "ui/colour_button.h"
#include "ui/editor_icons.h"

namespace arbor::ui {

namespace {

QToolButton* toggle(QWidget* parent, const QString& name, const QString& tip) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setCheckable(true);
    b->setAutoRaise(true);
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QToolButton* letterToggle(QWidget* parent, const QString& name, const QString& letter,
                          const QString& tip, void (QFont::*style)(bool)) {
    QToolButton* b = toggle(parent, name, tip);
    b->setText(letter);
    QFont f = b->font();
    (f.*style)(true);
    b->setFont(f);
    b->setFixedWidth(26);
    return b;
}

}  // namespace

FormatFrame::FormatFrame(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frFmt"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    style_ = new QComboBox(this);
    style_->setObjectName(QStringLiteral("cmbStyle"));
    style_->addItems(styleNames());
    style_->setToolTip(QStringLiteral("段落のｽﾀｲﾙを設定します (F2-F7)"));
    style_->setFocusPolicy(Qt::TabFocus);
    style_->setMinimumContentsLength(4);
    style_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(style_, &QComboBox::activated, this, &FormatFrame::styleChosen);
    fore_ = new ColourButton(ColourButton::Role::Text, this);
    back_ = new ColourButton(ColourButton::Role::Background, this);
    row->addWidget(style_);
    row->addSpacing(4);
    row->addWidget(fore_);
    row->addWidget(back_);
    row->addStretch(1);
}

void FormatFrame::showStyle(int index) {
    const QSignalBlocker block(style_);
    style_->setCurrentIndex(index >= 0 && index < style_->count() ? index : -1);
}

ButtonBar::ButtonBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("vButton"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);

    family_ = new QFontComboBox(this);
    family_->setObjectName(QStringLiteral("cmbFont"));
    family_->setToolTip(QStringLiteral("ﾌｫﾝﾄ"));
    family_->setFocusPolicy(Qt::TabFocus);
    family_->setMinimumContentsLength(18);  // full-width names such as "ＭＳ Ｐゴシック"
    family_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(family_, &QComboBox::textActivated, this, &ButtonBar::familyChosen);

    size_ = new QComboBox(this);
    size_->setObjectName(QStringLiteral("cmbSize"));
    size_->setEditable(true);
    size_->setToolTip(QStringLiteral("文字のｻｲｽﾞ (ﾎﾟｲﾝﾄ)"));
    size_->setFocusPolicy(Qt::TabFocus);
    for (int s : {8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36, 48, 72})
        size_->addItem(QString::number(s));
    size_->setMinimumContentsLength(3);
    size_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(size_, &QComboBox::textActivated, this, [this](const QString& text) {
        bool ok = false;
        const double points = text.toDouble(&ok);
        if (ok && points >= 1 && points <= 1638)
            emit sizeChosen(points);
    });

    bold_ = letterToggle(this, QStringLiteral("cmBold"), QStringLiteral("B"),
                         QStringLiteral("太字 (Ctrl+B)"), &QFont::setBold);
    italic_ = letterToggle(this, QStringLiteral("cmItalic"), QStringLiteral("I"),
                           QStringLiteral("斜体 (Ctrl+I)"), &QFont::setItalic);
    underline_ = letterToggle(this, QStringLiteral("cmUnderline"), QStringLiteral("U"),
                              QStringLiteral("下線 (Ctrl+U)"), &QFont::setUnderline);
    connect(bold_, &QToolButton::clicked, this, &ButtonBar::boldChosen);
    connect(italic_, &QToolButton::clicked, this, &ButtonBar::italicChosen);
    connect(underline_, &QToolButton::clicked, this, &ButtonBar::underlineChosen);

    left_ = toggle(this, QStringLiteral("cmLeft"), QStringLiteral("左揃え"));
    centre_ = toggle(this, QStringLiteral("cmCenter"), QStringLiteral("中央揃え"));
    right_ = toggle(this, QStringLiteral("cmRight"), QStringLiteral("右揃え"));
    left_->setIcon(icons::alignIcon(QStringLiteral("left")));
    centre_->setIcon(icons::alignIcon(QStringLiteral("center")));
    right_->setIcon(icons::alignIcon(QStringLiteral("right")));
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (QToolButton* b : {left_, centre_, right_})
        group->addButton(b);
    connect(left_, &QToolButton::clicked, this, [this] { emit alignmentChosen(Qt::AlignLeft); });
    connect(centre_, &QToolButton::clicked, this,
            [this] { emit alignmentChosen(Qt::AlignHCenter); });
    connect(right_, &QToolButton::clicked, this, [this] { emit alignmentChosen(Qt::AlignRight); });

    row->addWidget(family_);
    row->addWidget(size_);
    row->addSpacing(4);
    for (QToolButton* b : {bold_, italic_, underline_})
        row->addWidget(b);
    row->addSpacing(4);
    for (QToolButton* b : {left_, centre_, right_})
        row->addWidget(b);
    row->addStretch(1);
}

void ButtonBar::showState(const State& state) {
    {
        const QSignalBlocker block(family_);
        family_->setCurrentFont(QFont(state.family));
        // A family the system lacks (the stored "ＭＳ Ｐゴシック") is shown by its name.
        family_->setEditText(state.family);
    }
    {
        const QSignalBlocker block(size_);
        size_->setEditText(QString::number(state.size, 'g', 4));
    }
    bold_->setChecked(state.bold);
    italic_->setChecked(state.italic);
    underline_->setChecked(state.underline);
    if (state.alignment & Qt::AlignHCenter)
        centre_->setChecked(true);
    else if (state.alignment & Qt::AlignRight)
        right_->setChecked(true);
    else
        left_->setChecked(true);
}

}  // namespace arbor::ui
