#include "ui/settings_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/prompter.h"
#include "app/yini.h"
#include "db/zsvr.h"
#include "editor/rich_text.h"

namespace arbor::ui {

namespace {

const QString kOn = QStringLiteral("有効");
const QString kOff = QStringLiteral("無効");

void paintButton(QPushButton* b, int32_t bgr) {
    const QColor c = colorFromBgr(bgr);
    b->setText(c.name(QColor::HexRgb).toUpper());
    b->setStyleSheet(QStringLiteral("background:%1; color:%2;")
                         .arg(c.name(), c.lightness() < 128 ? QStringLiteral("white")
                                                            : QStringLiteral("black")));
}

QString formatName(int index) {
    if (index < 6)
        return styleNames().value(index);
    return index == kHeader ? QStringLiteral("ﾍｯﾀﾞｰ") : QStringLiteral("ﾌｯﾀｰ");
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("設定"));
    for (int i = 0; i < kUserFormatCount; ++i)
        formats_[i] = Frmt::instance().format(i);
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->addTab(buildFormatPage(), QStringLiteral("書式"));
    tabs_->addTab(buildSavePage(), QStringLiteral("保存"));
    tabs_->addTab(buildStartPage(), QStringLiteral("起動"));
    layout->addWidget(tabs_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    selectFormat(kBody);
    setLineSpacing(Frmt::instance().LineSpacingFactor);
}

QWidget* SettingsDialog::buildFormatPage() {
    auto* page = new QWidget(this);
    auto* row = new QHBoxLayout(page);
    list_ = new QListWidget(page);
    for (int i = 0; i < kUserFormatCount; ++i)
        list_->addItem(formatName(i));
    list_->setMaximumWidth(110);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int r) {
        if (!loading_)
            selectFormat(r);
    });
    row->addWidget(list_);

    auto* right = new QVBoxLayout;
    auto* form = new QFormLayout;
    font_ = new QFontComboBox(page);
    font_->setEditable(true);
    size_ = new QSpinBox(page);
    size_->setRange(6, 72);
    size_->setSuffix(QStringLiteral(" pt"));
    fore_ = new QPushButton(page);
    back_ = new QPushButton(page);
    bold_ = new QCheckBox(QStringLiteral("太字"), page);
    align_ = new QComboBox(page);
    align_->addItems(
        {QStringLiteral("左揃え"), QStringLiteral("右揃え"), QStringLiteral("中央揃え")});
    form->addRow(QStringLiteral("ﾌｫﾝﾄ"), font_);
    form->addRow(QStringLiteral("ｻｲｽﾞ"), size_);
    form->addRow(QStringLiteral("文字色"), fore_);
    form->addRow(QStringLiteral("背景色"), back_);
    form->addRow(QString(), bold_);
    form->addRow(QStringLiteral("配置"), align_);
    const QString distanceNames[] = {QStringLiteral("左余白"), QStringLiteral("段落前"),
                                     QStringLiteral("段落後"), QStringLiteral("右余白"),
                                     QStringLiteral("1行目")};
    for (int i = 0; i < 5; ++i) {
        distances_[i] = new QDoubleSpinBox(page);
        distances_[i]->setRange(-100, 200);
        distances_[i]->setDecimals(1);
        distances_[i]->setSuffix(QStringLiteral(" pt"));
        form->addRow(distanceNames[i], distances_[i]);
        connect(distances_[i], &QDoubleSpinBox::valueChanged, this, [this] { takeFormat(); });
    }
    right->addLayout(form);
    connect(font_, &QFontComboBox::currentTextChanged, this, [this] { takeFormat(); });
    connect(size_, &QSpinBox::valueChanged, this, [this] { takeFormat(); });
    connect(bold_, &QCheckBox::toggled, this, [this] { takeFormat(); });
    connect(align_, &QComboBox::currentIndexChanged, this, [this] { takeFormat(); });
    for (QPushButton* b : {fore_, back_})
        connect(b, &QPushButton::clicked, this, [this, b] {
            if (current_ < 0)
                return;
            int32_t& value =
                b == fore_ ? formats_[current_].ForeColor : formats_[current_].BackColor;
            const QColor c = QColorDialog::getColor(colorFromBgr(value), this);
            if (c.isValid()) {
                value = bgrFromColor(c);
                paintButton(b, value);
                updateSample();
            }
        });

    sample_ = new QLabel(page);
    sample_->setMinimumHeight(48);
    sample_->setFrameShape(QFrame::StyledPanel);
    right->addWidget(sample_);

    auto* common = new QGroupBox(QStringLiteral("全体"), page);
    auto* commonForm = new QFormLayout(common);
    spacing_ = new QComboBox(common);
    for (int i = 10; i <= 20; ++i)
        spacing_->addItem(QString::number(i / 10.0), i / 10.0);
    commonForm->addRow(QStringLiteral("行間"), spacing_);
    firstHeading_ = new QCheckBox(QStringLiteral("最初は見出1"), common);
    enterBreak_ = new QCheckBox(QStringLiteral("本文はEnter= <br>"), common);
    enterBreak_->setToolTip(
        QStringLiteral("見出し以外では、Enter入力で、ﾊﾟﾗｸﾞﾗﾌは区切らずに <br>"));
    firstHeading_->setChecked(Frmt::instance().UsrDtp);
    enterBreak_->setChecked(Frmt::instance().UsrEntShift);
    commonForm->addRow(firstHeading_);
    commonForm->addRow(enterBreak_);
    right->addWidget(common);
    right->addStretch(1);
    row->addLayout(right, 1);
    if (!zSvr::instance().isOpen()) {
        page->setEnabled(false);
        page->setToolTip(QStringLiteral(
            "書式は文書ﾃﾞｰﾀｰﾍﾞｰｽごとに保存されます。ﾃﾞｰﾀｰﾍﾞｰｽを開いてから設定して下さい"));
    }
    return page;
}

QWidget* SettingsDialog::buildSavePage() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    yIni& ini = Ini();
    ini.GetGtx(QStringLiteral("TX_USR"));
    confirm_ = new QComboBox(page);
    confirm_->addItem(QStringLiteral("保存するか確認する"), QStringLiteral("確認"));
    confirm_->addItem(QStringLiteral("確認せずに保存する"), QStringLiteral("上書"));
    confirm_->addItem(QStringLiteral("保存しない"), QStringLiteral("破棄"));
    const QString confirm =
        ini.vGtVal(QStringLiteral("更新確認"), QStringLiteral("確認")).toString();
    confirm_->setCurrentIndex(std::max(
        0, confirm_->findData(confirm == QStringLiteral("確認") || confirm == QStringLiteral("上書")
                                  ? confirm
                                  : QStringLiteral("破棄"))));
    form->addRow(QStringLiteral("ﾍﾟｰｼﾞを移るとき"), confirm_);
    autoMinutes_ = new QSpinBox(page);
    autoMinutes_->setRange(1, 120);
    autoMinutes_->setSuffix(QStringLiteral(" 分"));
    autoMinutes_->setValue(ini.vGtVal(QStringLiteral("AUTO_MIN"), 10).toInt());
    ini.GetGtx(QStringLiteral("DC_保存"));
    autoSave_ = new QCheckBox(QStringLiteral("自動保存"), page);
    autoSave_->setChecked(ini.vGtVal(QStringLiteral("AutoSave"), kOn).toString() == kOn);
    keepCopy_ = new QCheckBox(QStringLiteral("最適化のとき元のﾌｧｲﾙの複写を残す"), page);
    keepCopy_->setChecked(ini.vGtVal(QStringLiteral("SaveDb"), kOn).toString() == kOn);
    wordCopies_ = new QCheckBox(QStringLiteral("ﾍﾟｰｼﾞをﾜｰﾄﾞ文書でも保存する"), page);
    wordCopies_->setChecked(ini.vGtVal(QStringLiteral("DocCash"), kOff).toString() == kOn);
    form->addRow(autoSave_, autoMinutes_);
    form->addRow(keepCopy_);
    form->addRow(wordCopies_);
    return page;
}

QWidget* SettingsDialog::buildStartPage() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    yIni& ini = Ini();
    ini.GetGtx(QStringLiteral("最近"));
    openStart_ = new QCheckBox(QStringLiteral("起動時に開くﾍﾟｰｼﾞ"), page);
    openStart_->setChecked(
        ini.vGtVal(QStringLiteral("開始頁"), QStringLiteral("開かない")).toString() ==
        QStringLiteral("開く"));
    startPage_ = new QSpinBox(page);
    startPage_->setRange(0, 999999999);
    startPage_->setPrefix(QStringLiteral("文書No "));
    startPage_->setValue(ini.vGtVal(QStringLiteral("開始頁NO"), 0).toInt());
    startPage_->setEnabled(openStart_->isChecked());
    connect(openStart_, &QCheckBox::toggled, startPage_, &QWidget::setEnabled);
    form->addRow(openStart_, startPage_);
    ini.GetGtx(QStringLiteral("位置"));
    showKeys_ = new QCheckBox(QStringLiteral("ﾌｧﾝｸｼｮﾝｷｰを表示する"), page);
    showKeys_->setChecked(
        ini.vGtVal(QStringLiteral("Function"), QStringLiteral("表示")).toString() !=
        QStringLiteral("非表示"));
    form->addRow(showKeys_);
    return page;
}

void SettingsDialog::selectFormat(int index) {
    if (index < 0 || index >= kUserFormatCount)
        return;
    current_ = index;
    showFormat();
}

void SettingsDialog::showFormat() {
    loading_ = true;
    const UsrFormat& f = formats_[current_];
    list_->setCurrentRow(current_);
    font_->setCurrentText(f.FontName);
    size_->setValue(f.FontSize);
    paintButton(fore_, f.ForeColor);
    paintButton(back_, f.BackColor);
    bold_->setChecked(f.Bold != 0);
    align_->setCurrentIndex(std::clamp<int>(f.ParaAlign, 0, 2));
    const int16_t values[] = {f.ParaDist1, f.ParaDist2, f.ParaDist3, f.ParaDist4, f.ParaDist5};
    for (int i = 0; i < 5; ++i) {
        distances_[i]->setValue(values[i] / 20.0);
        // Distances belong to the headings and the body; alignment to headings and header/footer.
        distances_[i]->setEnabled(current_ <= kBody);
    }
    align_->setEnabled(current_ <= kHeading3 || current_ >= kHeader);
    loading_ = false;
    updateSample();
}

void SettingsDialog::takeFormat() {
    if (loading_ || current_ < 0)
        return;
    UsrFormat& f = formats_[current_];
    f.FontName = font_->currentText();
    f.FontSize = static_cast<int16_t>(size_->value());
    f.Bold = bold_->isChecked() ? 1 : 0;
    f.ParaAlign = static_cast<int16_t>(align_->currentIndex());
    int16_t* targets[] = {&f.ParaDist1, &f.ParaDist2, &f.ParaDist3, &f.ParaDist4, &f.ParaDist5};
    for (int i = 0; i < 5; ++i)
        *targets[i] = static_cast<int16_t>(qRound(distances_[i]->value() * 20));
    updateSample();
}

void SettingsDialog::updateSample() {
    if (current_ < 0)
        return;
    const UsrFormat& f = formats_[current_];
    QFont font(f.FontName);
    font.setPointSize(f.FontSize);
    font.setBold(f.Bold != 0);
    sample_->setFont(font);
    sample_->setText(formatName(current_) + QStringLiteral("  文書の見本 Abc 123"));
    sample_->setStyleSheet(
        QStringLiteral("color:%1; background:%2; padding:4px;")
            .arg(colorFromBgr(f.ForeColor).name(), colorFromBgr(f.BackColor).name()));
}

void SettingsDialog::setLineSpacing(float factor) {
    const int at = spacing_->findData(qRound(factor * 10) / 10.0);
    spacing_->setCurrentIndex(at >= 0 ? at : spacing_->findData(1.2));
}

bool SettingsDialog::applyFormats() {
    if (!zSvr::instance().isOpen())
        return false;
    // The widgets wrote every change into formats_ as it was made.
    Frmt& table = Frmt::instance();
    for (int i = 0; i < kUserFormatCount; ++i)
        table.format(i) = formats_[i];
    const double factor = spacing_->currentData().toDouble();
    table.LineSpacingFactor = factor >= 1.0 && factor <= 2.0 ? static_cast<float>(factor) : 1.2f;
    table.UsrDtp = firstHeading_->isChecked();
    table.UsrEntShift = enterBreak_->isChecked();
    table.CheckHtmlFormats();
    for (int i = 0; i < kUserFormatCount; ++i)
        formats_[i] = table.format(i);
    showFormat();
    return table.SaveUserFormats();
}

void SettingsDialog::applySettings() {
    yIni& ini = Ini();
    ini.GetGtx(QStringLiteral("TX_USR"));
    ini.SetVal(QStringLiteral("更新確認"), confirm_->currentData().toString());
    ini.SetVal(QStringLiteral("AUTO_MIN"), autoMinutes_->value());
    ini.SetGtx();
    ini.GetGtx(QStringLiteral("DC_保存"));
    ini.SetVal(QStringLiteral("AutoSave"), autoSave_->isChecked() ? kOn : kOff);
    ini.SetVal(QStringLiteral("SaveDb"), keepCopy_->isChecked() ? kOn : kOff);
    ini.SetVal(QStringLiteral("DocCash"), wordCopies_->isChecked() ? kOn : kOff);
    ini.SetGtx();
    ini.GetGtx(QStringLiteral("最近"));
    ini.SetVal(QStringLiteral("開始頁"),
               openStart_->isChecked() ? QStringLiteral("開く") : QStringLiteral("開かない"));
    ini.SetVal(QStringLiteral("開始頁NO"),
               startPage_->value() > 0 ? QString::number(startPage_->value()) : QString());
    ini.SetGtx();
    ini.GetGtx(QStringLiteral("位置"));
    ini.SetVal(QStringLiteral("Function"),
               showKeys_->isChecked() ? QStringLiteral("表示") : QStringLiteral("非表示"));
    ini.SetGtx();
}

void SettingsDialog::accept() {
    applySettings();
    if (zSvr::instance().isOpen())
        applyFormats();
    QDialog::accept();
}

}  // namespace arbor::ui
