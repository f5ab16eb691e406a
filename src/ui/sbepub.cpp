#include "ui/sbepub.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/prompter.h"

namespace arbor::ui {

sbEpub::sbEpub(QWidget* parent, const epub::BookSettings& settings, bool pageChosen)
    : QDialog(parent), base_(settings) {
    setWindowTitle(QStringLiteral("EPUB 出力"));
    auto* layout = new QVBoxLayout(this);
    auto* range = new QGroupBox(QStringLiteral("出力範囲"), this);
    auto* rangeLayout = new QVBoxLayout(range);
    whole_ = new QRadioButton(QStringLiteral("全て"), range);
    withSite_ = new QRadioButton(QStringLiteral("現在のﾍﾟｰｼﾞ以下 (ｻｲﾄ出力の設定を使う)"), range);
    branch_ = new QRadioButton(QStringLiteral("現在のﾍﾟｰｼﾞ以下"), range);
    whole_->setObjectName(QStringLiteral("whole"));
    withSite_->setObjectName(QStringLiteral("withSite"));
    branch_->setObjectName(QStringLiteral("branch"));
    for (QRadioButton* b : {whole_, withSite_, branch_}) {
        rangeLayout->addWidget(b);
        hints_.insert(b, QStringLiteral("出力範囲を指定して下さい"));
        b->installEventFilter(this);
    }
    whole_->setChecked(true);
    withSite_->setEnabled(pageChosen);
    branch_->setEnabled(pageChosen);
    layout->addWidget(range);

    auto* form = new QFormLayout;
    layout->addLayout(form);
    title_ = line(QStringLiteral("title"), settings.title,
                  QStringLiteral("本のタイトルを入力して下さい"));
    form->addRow(QStringLiteral("タイトル"), title_);
    identifier_ =
        line(QStringLiteral("identifier"), settings.identifier,
             QStringLiteral("任意の唯一なIDを指定します\nUrl又はISBN(国際標準図書番号)を用います"));
    form->addRow(QStringLiteral("ID"), identifier_);
    author_ =
        line(QStringLiteral("author"), settings.author, QStringLiteral("著作者を入力して下さい"));
    form->addRow(QStringLiteral("著作者"), author_);
    rights_ = line(QStringLiteral("rights"), settings.rights,
                   QStringLiteral("諸権利に関する表明を記入します (省略可能です)"));
    form->addRow(QStringLiteral("権利"), rights_);
    publisher_ = line(QStringLiteral("publisher"), settings.publisher,
                      QStringLiteral("出版元を記入します (省略可能です)"));
    form->addRow(QStringLiteral("出版元"), publisher_);
    const QString addressHint = QStringLiteral(
        "文書ﾃﾞｰﾀｰﾍﾞｰｽの一部を "
        "ePubとして出力した場合に出版物に含まれないﾍﾟｰｼﾞへの参照が発生します\n"
        "このﾍﾟｰｼﾞがWeb上で公開されていれば、そのURLを指定します\n"
        "HTM一括で作成した場合と、ｻｲﾄ出力での場合とでは仕様が異なるので\n"
        "後者の場合はﾁｪｯｸﾏｰｸをｵﾝにして下さい (ｻｲﾄ出力の場合より細かい指定があります)");
    address_ = line(QStringLiteral("address"), settings.alternativeAddress, addressHint);
    addressIsSite_ = new QCheckBox(QStringLiteral("ｻｲﾄ出力"), this);
    addressIsSite_->setObjectName(QStringLiteral("addressIsSite"));
    addressIsSite_->setChecked(settings.alternativeIsSite);
    hints_.insert(addressIsSite_, addressHint);
    addressIsSite_->installEventFilter(this);
    auto* addressRow = new QHBoxLayout;
    addressRow->addWidget(address_, 1);
    addressRow->addWidget(addressIsSite_);
    form->addRow(QStringLiteral("代替URL"), addressRow);
    outputName_ = line(QStringLiteral("outputName"), settings.outputName,
                       QStringLiteral("出力するﾌｧｲﾙの名前 (拡張子なし)"));
    form->addRow(QStringLiteral("ﾌｧｲﾙ名"), outputName_);
    openFolder_ = new QCheckBox(QStringLiteral("出力後にﾌｫﾙﾀﾞを開く"), this);
    fullWidth_ = new QCheckBox(QStringLiteral("表の幅を100%にする"), this);
    noItalics_ = new QCheckBox(QStringLiteral("画像の斜体を外す"), this);
    openFolder_->setObjectName(QStringLiteral("openFolder"));
    fullWidth_->setObjectName(QStringLiteral("fullWidth"));
    noItalics_->setObjectName(QStringLiteral("noItalics"));
    openFolder_->setChecked(settings.openFolder);
    fullWidth_->setChecked(settings.fullWidthTables);
    noItalics_->setChecked(settings.noItalics);
    for (QCheckBox* c : {openFolder_, fullWidth_, noItalics_})
        layout->addWidget(c);

    hint_ = new QLabel(this);
    hint_->setWordWrap(true);
    hint_->setMinimumHeight(hint_->fontMetrics().height() * 4);
    hint_->setObjectName(QStringLiteral("hint"));
    layout->addWidget(hint_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (check())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, sizeHint().height());
}

QLineEdit* sbEpub::line(const QString& name, const QString& text, const QString& hint) {
    auto* edit = new QLineEdit(text, this);
    edit->setObjectName(name);
    hints_.insert(edit, hint);
    edit->installEventFilter(this);
    return edit;
}

bool sbEpub::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && hints_.contains(watched))
        hint_->setText(hints_.value(watched));
    return QDialog::eventFilter(watched, event);
}

bool sbEpub::check() {
    if (title_->text().trimmed().isEmpty()) {
        prompter().message(QStringLiteral("タイトルが指定されていません"));
        title_->setFocus();
        return false;
    }
    if (identifier_->text().trimmed().isEmpty()) {
        identifier_->setText(epub::generateIdentifier());
        prompter().message(
            QStringLiteral("IDが指定されていなかったので、生成しました確認して下さい"));
        identifier_->setFocus();
        return false;
    }
    if (whole_->isChecked() && !address_->text().trimmed().isEmpty())
        prompter().message(QStringLiteral("全て出力の場合は代替URLは無効です"));
    return true;
}

int sbEpub::range() const {
    if (withSite_->isChecked())
        return 2;
    if (branch_->isChecked())
        return 3;
    return 1;
}

epub::BookSettings sbEpub::settings() const {
    epub::BookSettings s = base_;
    s.title = title_->text().trimmed();
    s.identifier = identifier_->text().trimmed();
    s.author = author_->text().trimmed();
    s.rights = rights_->text().trimmed();
    s.publisher = publisher_->text().trimmed();
    s.alternativeAddress = range() == 1 ? QString() : address_->text().trimmed();
    s.alternativeIsSite = addressIsSite_->isChecked();
    s.outputName = outputName_->text().trimmed();
    s.openFolder = openFolder_->isChecked();
    s.fullWidthTables = fullWidth_->isChecked();
    s.noItalics = noItalics_->isChecked();
    return s;
}

int sbEpub::Act(epub::BookSettings& settings) {
    if (exec() != QDialog::Accepted)
        return 0;
    settings = this->settings();
    return range();
}

}  // namespace arbor::ui
