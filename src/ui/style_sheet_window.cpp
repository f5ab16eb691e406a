#include "ui/style_sheet_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/prompter.h"
#include "app/shell_ops.h"
#include "web/site_folders.h"
#include "web/style_sheet_editor_files.h"

namespace arbor::ui {

namespace {

struct LabelField {
    const char* name;
    const char* caption;
    web::LabelStyle web::CssDesign::*style;
};

const LabelField kLabels[] = {
    {"lbTop", "上ﾒﾆｭｰ", &web::CssDesign::top},
    {"lbTop_h", "上ﾒﾆｭｰ hv", &web::CssDesign::topHover},
    {"lbTop_n", "上ﾒﾆｭｰ nw", &web::CssDesign::topNow},
    {"lbDrop", "ｻﾌﾞﾒﾆｭｰ", &web::CssDesign::drop},
    {"lbDrop_h", "ｻﾌﾞﾒﾆｭｰ hv", &web::CssDesign::dropHover},
    {"lbLeft", "左ﾒﾆｭｰ", &web::CssDesign::left},
    {"lbLeft_h", "左ﾒﾆｭｰ hv", &web::CssDesign::leftHover},
    {"lbLeft_n", "左ﾒﾆｭｰ nw", &web::CssDesign::leftNow},
    {"lbPan", "ﾊﾟﾝ屑", &web::CssDesign::pan},
    {"lbPan_h", "ﾊﾟﾝ屑 hv", &web::CssDesign::panHover},
};

struct AreaField {
    const char* name;
    const char* caption;
    QColor web::CssDesign::*colour;
};

const AreaField kAreas[] = {
    {"bcTitle", "ﾀｲﾄﾙ部", &web::CssDesign::titleBack},
    {"bcTop", "上ﾒﾆｭｰ部", &web::CssDesign::topBack},
    {"bcMain", "本文部", &web::CssDesign::mainBack},
    {"bcLogo", "ﾛｺﾞ部", &web::CssDesign::logoBack},
};

struct WidthField {
    const char* name;
    const char* caption;
    int web::CssDesign::*value;
    int low, high;
};

const WidthField kWidths[] = {
    {"txWide", "全体巾(px)", &web::CssDesign::totalWidth, 300, 4000},
    {"txLeft", "ﾛｺﾞ部の巾(px)", &web::CssDesign::leftWidth, 60, 800},
    {"txHigh", "ﾀｲﾄﾙ部の高さ(px)", &web::CssDesign::headerHeight, 20, 600},
    {"txTpW", "上ﾒﾆｭｰ 1項目の巾(px)", &web::CssDesign::topItemWidth, 20, 999},
};

void paint(QLineEdit* edit, const QColor& text, const QColor& back) {
    if (text.isValid() && back.isValid())
        edit->setStyleSheet(QStringLiteral("QLineEdit { color: %1; background: %2; }")
                                .arg(text.name(), back.name()));
}

}  // namespace

StyleSheetWindow::StyleSheetWindow(web::SiteConversion& conversion, int page, int parent,
                                   QWidget* owner)
    : QDialog(owner), conversion_(conversion), page_(page), parent_(parent) {
    setObjectName(QStringLiteral("sbCss"));
    setWindowTitle(QStringLiteral("ﾃﾝﾌﾟﾚｰﾄとｽﾀｲﾙｼｰﾄの編集"));
    auto* column = new QVBoxLayout(this);
    auto* help = new QLabel(
        QStringLiteral("tpl**.htm navi**.css のようにﾃﾝﾌﾟﾚｰﾄのhtmとｽﾀｲﾙｼｰﾄがｾｯﾄで生成されます"));
    column->addWidget(help);

    auto* frame = new QGroupBox(QStringLiteral("ﾚｲｱｳﾄ"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("ID")), 0, 0);
    grid->addWidget(addField(QStringLiteral("txID")), 0, 1);
    layouts_ = new QButtonGroup(this);
    auto* fixed = new QRadioButton(QStringLiteral("固定巾 (-fx)"));
    auto* elastic = new QRadioButton(QStringLiteral("全巾 (-el)"));
    layouts_->addButton(fixed, 0);
    layouts_->addButton(elastic, 1);
    grid->addWidget(fixed, 0, 2);
    grid->addWidget(elastic, 0, 3);
    int row = 1;
    for (const WidthField& w : kWidths) {
        grid->addWidget(new QLabel(QString::fromUtf8(w.caption)), row, 0);
        grid->addWidget(addField(QString::fromUtf8(w.name)), row, 1);
        ++row;
    }
    dropDown_ = new QCheckBox(QStringLiteral("上ﾒﾆｭｰにﾄﾞﾛｯﾌﾟﾀﾞｳﾝ"));
    grid->addWidget(dropDown_, 1, 2, 1, 2);
    for (const char* name : {"txLogo", "txTitle"}) {
        const QString n = QString::fromUtf8(name);
        grid->addWidget(new QLabel(n == QStringLiteral("txLogo") ? QStringLiteral("ﾛｺﾞ画像")
                                                                 : QStringLiteral("ﾀｲﾄﾙ画像")),
                        row, 0);
        grid->addWidget(addField(n), row, 1, 1, 2);
        auto* browse = new QPushButton(QStringLiteral("..."));
        connect(browse, &QPushButton::clicked, this, [this, n] { choosePicture(n); });
        grid->addWidget(browse, row, 3);
        ++row;
    }
    column->addWidget(frame);

    auto* colours = new QGroupBox(QStringLiteral("色 (#RRGGBB)"));
    auto* cgrid = new QGridLayout(colours);
    row = 0;
    for (const AreaField& a : kAreas) {
        cgrid->addWidget(new QLabel(QString::fromUtf8(a.caption)), row / 2, (row % 2) * 4);
        cgrid->addWidget(addColourField(QString::fromUtf8(a.name)), row / 2, (row % 2) * 4 + 1);
        ++row;
    }
    row = 2;
    cgrid->addWidget(new QLabel(QStringLiteral("文字色")), row, 1);
    cgrid->addWidget(new QLabel(QStringLiteral("背景色")), row, 2);
    cgrid->addWidget(new QLabel(QStringLiteral("文字色")), row, 5);
    cgrid->addWidget(new QLabel(QStringLiteral("背景色")), row, 6);
    for (int i = 0; i < static_cast<int>(std::size(kLabels)); ++i) {
        const QString n = QString::fromUtf8(kLabels[i].name);
        const int r = row + 1 + i / 2, c = (i % 2) * 4;
        cgrid->addWidget(new QLabel(QString::fromUtf8(kLabels[i].caption)), r, c);
        cgrid->addWidget(addColourField(n + QStringLiteral(".color")), r, c + 1);
        cgrid->addWidget(addColourField(n + QStringLiteral(".back")), r, c + 2);
        auto* bold = new QCheckBox(QStringLiteral("太字"));
        bold_.insert(n, bold);
        cgrid->addWidget(bold, r, c + 3);
    }
    column->addWidget(colours);

    auto* presetRow = new QHBoxLayout;
    presetRow->addWidget(new QLabel(QStringLiteral("ｷｰｶﾗｰ")));
    presets_ = new QComboBox;
    presets_->addItem(QString());
    presets_->addItems(web::presetNames());
    presets_->setToolTip(
        QStringLiteral("背景色配色の初期設定です　ここでの指定は必須ではありません"));
    presetRow->addWidget(presets_);
    auto* previous = new QPushButton(QStringLiteral("<"));
    auto* next = new QPushButton(QStringLiteral(">"));
    groupLabel_ = new QLabel;
    presetRow->addWidget(previous);
    presetRow->addWidget(groupLabel_);
    presetRow->addWidget(next);
    presetRow->addStretch();
    column->addLayout(presetRow);
    connect(presets_, &QComboBox::activated, this, &StyleSheetWindow::choosePreset);
    connect(previous, &QPushButton::clicked, this, [this] { stepPreset(-1); });
    connect(next, &QPushButton::clicked, this, [this] { stepPreset(1); });

    auto* buttons = new QHBoxLayout;
    auto* open = new QPushButton(QStringLiteral("既存のﾃﾝﾌﾟﾚｰﾄを開く"));
    auto* copy = new QPushButton(QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞ"));
    auto* show = new QPushButton(QStringLiteral("ﾌﾟﾚﾋﾞｭｰ"));
    auto* make = new QPushButton(QStringLiteral("作成"));
    auto* close = new QPushButton(QStringLiteral("閉じる"));
    for (QPushButton* b : {open, copy, show, make, close})
        buttons->addWidget(b);
    column->addLayout(buttons);
    connect(open, &QPushButton::clicked, this, &StyleSheetWindow::openExisting);
    connect(copy, &QPushButton::clicked, this, &StyleSheetWindow::copySummary);
    connect(show, &QPushButton::clicked, this, [this] { preview(); });
    connect(make, &QPushButton::clicked, this, [this] { generate(); });
    connect(close, &QPushButton::clicked, this, &StyleSheetWindow::reject);

    showDesign(web::defaultDesign());
}

QLineEdit* StyleSheetWindow::addField(const QString& name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    fields_.insert(name, edit);
    return edit;
}

// Room for a whole "#RRGGBB" with the frame's margins, so no colour is shown cut.
QLineEdit* StyleSheetWindow::addColourField(const QString& name) {
    QLineEdit* edit = addField(name);
    edit->setMaxLength(7);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("#WWWWWW")) + 16);
    return edit;
}

void StyleSheetWindow::showDesign(const web::CssDesign& d) {
    fields_[QStringLiteral("txID")]->setText(d.id);
    layouts_->button(d.elastic ? 1 : 0)->setChecked(true);
    for (const WidthField& w : kWidths)
        fields_[QString::fromUtf8(w.name)]->setText(QString::number(d.*(w.value)));
    fields_[QStringLiteral("txLogo")]->setText(d.logo);
    fields_[QStringLiteral("txTitle")]->setText(d.title);
    dropDown_->setChecked(d.dropDown);
    for (const AreaField& a : kAreas) {
        QLineEdit* edit = fields_[QString::fromUtf8(a.name)];
        edit->setText(u'#' + web::cssHex(d.*(a.colour)));
        paint(edit, Qt::black, d.*(a.colour));
    }
    for (const LabelField& l : kLabels) {
        const QString n = QString::fromUtf8(l.name);
        const web::LabelStyle& s = d.*(l.style);
        fields_[n + QStringLiteral(".color")]->setText(u'#' + web::cssHex(s.text));
        fields_[n + QStringLiteral(".back")]->setText(u'#' + web::cssHex(s.back));
        paint(fields_[n + QStringLiteral(".color")], s.text, s.back);
        bold_[n]->setChecked(s.bold);
    }
}

bool StyleSheetWindow::design(web::CssDesign& d) {
    d = web::defaultDesign();
    d.id = fields_[QStringLiteral("txID")]->text().trimmed();
    d.elastic = layouts_->checkedId() == 1;
    for (const WidthField& w : kWidths) {
        int value = 0;
        if (!web::parseWidthField(fields_[QString::fromUtf8(w.name)]->text(), w.low, w.high,
                                  value)) {
            prompter().message(QStringLiteral("%1 は %2 から %3 の数字で指定して下さい")
                                   .arg(QString::fromUtf8(w.caption))
                                   .arg(w.low)
                                   .arg(w.high),
                               Severity::Warning);
            fields_[QString::fromUtf8(w.name)]->setFocus();
            return false;
        }
        d.*(w.value) = value;
    }
    d.dropDown = dropDown_->isChecked();
    auto colour = [this](const QString& name, QColor& into) {
        const QColor c = web::parseColourField(fields_[name]->text());
        if (!c.isValid()) {
            prompter().message(
                QStringLiteral("色は #RRGGBB の形で指定して下さい: ") + fields_[name]->text(),
                Severity::Warning);
            fields_[name]->setFocus();
            return false;
        }
        into = c;
        return true;
    };
    for (const AreaField& a : kAreas)
        if (!colour(QString::fromUtf8(a.name), d.*(a.colour)))
            return false;
    for (const LabelField& l : kLabels) {
        const QString n = QString::fromUtf8(l.name);
        web::LabelStyle& s = d.*(l.style);
        if (!colour(n + QStringLiteral(".color"), s.text) ||
            !colour(n + QStringLiteral(".back"), s.back))
            return false;
        s.bold = bold_[n]->isChecked();
    }
    // Pictures: names in "cmn", with their sizes read from the files.
    d.logo = fields_[QStringLiteral("txLogo")]->text().trimmed();
    d.title = fields_[QStringLiteral("txTitle")]->text().trimmed();
    const QString cmn = web::siteCommonFolder() + u'/';
    for (auto [name, size] : {std::pair{d.logo, &d.logoSize}, std::pair{d.title, &d.titleSize}}) {
        *size = QSize();
        if (name.isEmpty())
            continue;
        if (const QString problem = web::pictureProblem(cmn + name); !problem.isEmpty()) {
            prompter().message(problem, Severity::Warning);
            return false;
        }
        *size = web::pictureSize(cmn + name);
    }
    if (const QString problem = web::designProblem(d); !problem.isEmpty()) {
        prompter().message(problem, Severity::Warning);
        return false;
    }
    return true;
}

bool StyleSheetWindow::generate() {
    web::CssDesign d;
    if (!design(d))
        return false;
    if (d.id.isEmpty() &&
        !prompter().confirm(QStringLiteral("IDが指定されていませんが、続けて良いですか")))
        return false;
    if (d.topItemWidth > 100)
        fields_[QStringLiteral("txTpW")]->setText(QStringLiteral("100"));
    QString message;
    const bool written = web::writeDesign(d, message);
    prompter().message(message, written ? Severity::Information : Severity::Warning);
    generated_ = generated_ || written;
    return written;
}

bool StyleSheetWindow::preview() {
    web::CssDesign d;
    if (!design(d))
        return false;
    QString message;
    if (!web::previewDesign(conversion_, d, page_, parent_, shownFile_, message)) {
        prompter().message(message, Severity::Warning);
        return false;
    }
    if (!message.isEmpty())
        prompter().message(message, Severity::Warning);
    openWithDesktop(QUrl::fromLocalFile(shownFile_));
    return true;
}

void StyleSheetWindow::openExisting() {
    FileDialogRequest request;
    request.title = QStringLiteral("既存のﾃﾝﾌﾟﾚｰﾄを開く");
    request.folder = web::siteTemplateFolder();
    request.filters = {QStringLiteral("htmﾃﾝﾌﾟﾚｰﾄ (*.htm)")};
    const QString path = prompter().chooseFile(request);
    if (path.isEmpty())
        return;
    web::CssDesign d;
    QString message;
    if (!web::readDesign(path, d, message)) {
        prompter().message(message, Severity::Warning);
        return;
    }
    showDesign(d);
}

void StyleSheetWindow::choosePreset(int index) {
    group_ = 0;
    if (index <= 0) {
        groupLabel_->clear();
        return;
    }
    stepPreset(0);
}

void StyleSheetWindow::stepPreset(int step) {
    const QList<std::array<QColor, 3>> groups = web::presetGroups(presets_->currentText());
    if (groups.isEmpty())
        return;
    group_ = web::stepGroup(group_, step, static_cast<int>(groups.size()));
    web::CssDesign d;
    if (!design(d))
        return;
    web::applyPresetGroup(d, groups[group_]);
    showDesign(d);
    groupLabel_->setText(QStringLiteral("%1 / %2").arg(group_ + 1).arg(groups.size()));
}

void StyleSheetWindow::copySummary() {
    web::CssDesign d;
    if (!design(d))
        return;
    const QString summary = web::colourSummary(d);
    QGuiApplication::clipboard()->setText(summary);
    prompter().message(summary + QStringLiteral(" 上記の内容をｸﾘｯﾌﾟﾎﾞｰﾄﾞに貼り付けました"));
}

void StyleSheetWindow::choosePicture(const QString& fieldName) {
    FileDialogRequest request;
    request.title = QStringLiteral("画像ﾌｧｲﾙ");
    request.folder = web::siteCommonFolder();
    request.filters = {
        QStringLiteral("画像ﾌｧｲﾙ (*.JPG *.JPEG *.PNG *.GIF *.jpg *.jpeg *.png *.gif)")};
    const QString path = prompter().chooseFile(request);
    if (path.isEmpty())
        return;
    if (const QString problem = web::pictureProblem(path); !problem.isEmpty()) {
        prompter().message(problem, Severity::Warning);
        return;
    }
    if (!web::inCommonFolder(path)) {
        const QString there = web::commonFolderCopy(path);
        if (!there.isEmpty()) {
            if (!prompter().confirm(QStringLiteral("画像はｻｲﾄの cmn ﾌｫﾙﾀﾞに置いて下さい\r"
                                                   "cmn ﾌｫﾙﾀﾞにある同じ名前の画像を使いますか")))
                return;
        } else {
            if (!prompter().confirm(QStringLiteral("画像はｻｲﾄの cmn ﾌｫﾙﾀﾞに置いて下さい\r"
                                                   "cmn ﾌｫﾙﾀﾞに複写して使いますか")))
                return;
            QString error;
            if (!web::copyIntoCommonFolder(path, error)) {
                prompter().message(error, Severity::Warning);
                return;
            }
        }
    }
    fields_[fieldName]->setText(QFileInfo(path).fileName());
}

void StyleSheetWindow::reject() {
    if (!generated_ &&
        !prompter().confirm(QStringLiteral("この画面を閉じて良いですか\r"
                                           "ﾃﾝﾌﾟﾚｰﾄとｽﾀｲﾙｼｰﾄは更新されていません\r"
                                           "必要に応じて、ｻｲﾄ出力の指定を再指定して下さい")))
        return;
    QDialog::reject();
}

}  // namespace arbor::ui
