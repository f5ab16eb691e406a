#include "ui/site_settings_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/prompter.h"
#include "db/result_array.h"
#include "db/zsvr.h"
#include "web/site_folders.h"
#include "web/site_settings_effective.h"

namespace arbor::ui {

namespace {

const char* const kRows[] = {"Title",    "copyright", "Keywords", "Description",
                             "Template", "File Name", "Sub Pages"};

QString hintOf(const QString& row) {
    if (row == QStringLiteral("copyright"))
        return QStringLiteral(
            "現在の日本の著作権法上では特に明記しなくとも著作物が創られたときから"
            "権利が発生することになっています");
    if (row == QStringLiteral("Keywords"))
        return QStringLiteral(
            "ｷｰワードは多くても１００文字　１０語位に留めて下さい\r"
            "本文に存在しない多量のキーワードはスパムとみなされる危険があります");
    if (row == QStringLiteral("Description"))
        return QStringLiteral(
            "Googleでは、検索結果一覧には80文字までしか表示されません\r"
            "descriptionの文字数は､４０文字から８０文字位に留めて下さい");
    return {};
}

QRadioButton* option(QButtonGroup* group, QLayout* layout, const QString& text, int id) {
    auto* b = new QRadioButton(text);
    group->addButton(b, id);
    layout->addWidget(b);
    return b;
}

}  // namespace

SiteSettingsWindow::SiteSettingsWindow(web::SiteConversion& fileNames, QWidget* parent)
    : QDialog(parent), fileNames_(fileNames) {
    setWindowTitle(QStringLiteral("サイト出力時の指定"));
    setObjectName(QStringLiteral("sbHhd"));
    auto* split = new QSplitter(this);
    tree_ = new QTreeWidget;
    tree_->setHeaderHidden(true);
    split->addWidget(tree_);

    auto* right = new QWidget;
    auto* column = new QVBoxLayout(right);

    // The whole site.
    auto* siteBox = new QGroupBox(QStringLiteral("全体の設定"));
    auto* site = new QGridLayout(siteBox);
    altOn_ = new QCheckBox(QStringLiteral("代替URL"));
    altOn_->setToolTip(
        QStringLiteral("ePub等に出力した時に、出力文書に含まれないのﾘﾝｸの代替とします"));
    altAddress_ = new QLineEdit;
    site->addWidget(altOn_, 0, 0);
    site->addWidget(altAddress_, 0, 1, 1, 3);
    auto* typeBox = new QGroupBox(QStringLiteral("ﾄﾞｷｭﾒﾝﾄの型宣言"));
    auto* typeRow = new QHBoxLayout(typeBox);
    docTypes_ = new QButtonGroup(this);
    const QStringList types{
        QStringLiteral("HTML 4.01 Transitional"), QStringLiteral("HTML 4.01 Strict"),
        QStringLiteral("XHTML 1.0 Transitional"), QStringLiteral("XHTML 1.0 Strict")};
    for (int i = 0; i < types.size(); ++i)
        option(docTypes_, typeRow, types[i], i);
    site->addWidget(typeBox, 1, 0, 1, 4);
    site->addWidget(new QLabel(QStringLiteral("ｻｲﾄﾏｯﾌﾟの階層(深さ)")), 2, 0);
    mapDepth_ = new QComboBox;
    mapDepth_->addItems(
        {QStringLiteral(" 3"), QStringLiteral(" 4"), QStringLiteral(" 5"), QStringLiteral(" 6")});
    site->addWidget(mapDepth_, 2, 1);
    auto* pictureBox = new QGroupBox(QStringLiteral("HTM一括出力時の画像ﾌｧｲﾙの保存場所"));
    auto* pictureRow = new QHBoxLayout(pictureBox);
    pictureModes_ = new QButtonGroup(this);
    option(pictureModes_, pictureRow, QStringLiteral("ﾌｧｲﾙ毎のﾌｫﾙﾀﾞ"), 0);
    option(pictureModes_, pictureRow, QStringLiteral("一つのﾌｫﾙﾀﾞ"), 1);
    pictureFolder_ = new QLineEdit;
    pictureRow->addWidget(pictureFolder_);
    site->addWidget(pictureBox, 3, 0, 1, 4);
    auto* saveSite = new QPushButton(QStringLiteral("更新(&U)"));
    site->addWidget(saveSite, 2, 3);
    connect(saveSite, &QPushButton::clicked, this, &SiteSettingsWindow::saveSite);
    column->addWidget(siteBox);

    // One page.
    auto* pageBox = new QGroupBox(QStringLiteral("個々のPageの指定"));
    auto* page = new QGridLayout(pageBox);
    topLine_ = new QLabel;
    messageLine_ = new QLabel;
    inherited_ = new QLabel;
    inherited_->setWordWrap(true);
    page->addWidget(topLine_, 0, 0, 1, 3);
    page->addWidget(messageLine_, 1, 0, 1, 3);
    int row = 2;
    for (const char* name : kRows) {
        const QString text = QString::fromUtf8(name);
        auto* label = new QPushButton(text);
        label->setFlat(true);
        if (const QString hint = hintOf(text); !hint.isEmpty())
            connect(label, &QPushButton::clicked, this, [hint] { prompter().message(hint); });
        auto* edit = new QLineEdit;
        fields_.insert(text, edit);
        page->addWidget(label, row, 0);
        page->addWidget(edit, row, 1);
        if (text == QStringLiteral("Template") || text == QStringLiteral("Sub Pages")) {
            auto* browse = new QPushButton(QStringLiteral("..."));
            page->addWidget(browse, row, 2);
            connect(browse, &QPushButton::clicked, this,
                    text == QStringLiteral("Template") ? &SiteSettingsWindow::chooseTemplate
                                                       : &SiteSettingsWindow::chooseSubPages);
        }
        ++row;
    }
    root_ = new QCheckBox(QStringLiteral("ﾙｰﾄに配置"));
    noIndex_ = new QCheckBox(QStringLiteral("noindex nofollow"));
    noIndex_->setToolTip(QStringLiteral("検索結果に表示･ﾘﾝｸ先へｱｸｾｽさせたくない場合にONにします"));
    fitTables_ = new QCheckBox(QStringLiteral("表の巾をPage巾に合わせる"));
    auto* checks = new QHBoxLayout;
    checks->addWidget(root_);
    checks->addWidget(noIndex_);
    checks->addWidget(fitTables_);
    page->addLayout(checks, row++, 0, 1, 3);
    auto* formats = new QHBoxLayout;
    pictureFormats_ = new QButtonGroup(this);
    option(pictureFormats_, formats, QStringLiteral("Jpeg (*.jpg)"), 1);
    option(pictureFormats_, formats, QStringLiteral("Png (*.png)"), 2);
    option(pictureFormats_, formats, QStringLiteral("上位ﾍﾟｰｼﾞの指定に合わせる"), 0);
    page->addLayout(formats, row++, 0, 1, 3);
    page->addWidget(inherited_, row++, 0, 1, 3);
    auto* savePage = new QPushButton(QStringLiteral("更新(&U)"));
    delete_ = new QPushButton(QStringLiteral("削除(&D)"));
    auto* pageButtons = new QHBoxLayout;
    pageButtons->addStretch();
    pageButtons->addWidget(savePage);
    pageButtons->addWidget(delete_);
    page->addLayout(pageButtons, row++, 0, 1, 3);
    connect(savePage, &QPushButton::clicked, this, &SiteSettingsWindow::savePage);
    connect(delete_, &QPushButton::clicked, this, &SiteSettingsWindow::deletePage);
    column->addWidget(pageBox);

    column->addWidget(new QLabel(QStringLiteral("Page Text (参照用)")));
    pageText_ = new QPlainTextEdit;
    pageText_->setReadOnly(true);
    column->addWidget(pageText_, 1);
    auto* close = new QPushButton(QStringLiteral("閉じる"));
    connect(close, &QPushButton::clicked, this, &SiteSettingsWindow::reject);
    column->addWidget(close, 0, Qt::AlignRight);
    split->addWidget(right);
    split->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split);
    resize(980, 760);

    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && item->data(0, Qt::UserRole).toInt() != page_)
            showPage(item->data(0, Qt::UserRole).toInt());
    });
    loadSite();
    loadTree();
}

void SiteSettingsWindow::ShowSiteSettings(int page) {
    top_ = web::settingsTopPage();
    topLine_->setText(top_ > 0 ? QStringLiteral("ﾄｯﾌﾟﾍﾟｰｼﾞ(ｻｲﾄ全体の既定): 文書No %1").arg(top_)
                               : QStringLiteral("ﾄｯﾌﾟﾍﾟｰｼﾞがありません"));
    showPage(page > 0 ? page : top_);
}

void SiteSettingsWindow::loadSite() {
    QString error;
    if (!web::loadSiteWide(site_, error)) {
        prompter().message(QStringLiteral("ｻｲﾄ全体の設定を読めません\n") + error,
                           Severity::Warning);
        return;
    }
    altAddress_->setText(site_.altAddress);
    altOn_->setChecked(site_.altOn);
    docTypes_->button(site_.docType)->setChecked(true);
    pictureModes_->button(site_.pictureFolderMode)->setChecked(true);
    pictureFolder_->setText(site_.pictureFolder);
    mapDepth_->setCurrentIndex(site_.mapDepth - 3);
}

void SiteSettingsWindow::loadTree() {
    tree_->clear();
    ResultArray rows;
    zSvr::instance().readRows(QStringLiteral("Select noLfP, noLfC, szDoc, boLnk, boHide From "
                                             "tbTree Order By noLfP, inSrt"),
                              rows);
    QHash<int, QList<int>> children;
    for (int r = 0; r < rows.rowCount(); ++r)
        children[rows(0, r).toInt()] << r;
    QSet<int> shown;
    std::function<void(QTreeWidgetItem*, int)> add = [&](QTreeWidgetItem* parent, int page) {
        for (int r : children.value(page)) {
            const int child = rows(1, r).toInt();
            const bool link = rows(3, r).toInt() == 1;
            auto* item = new QTreeWidgetItem;
            item->setText(0,
                          rows(2, r).toString() + (link ? QStringLiteral(" (ﾘﾝｸ)") : QString()) +
                              (rows(4, r).toInt() == 1 ? QStringLiteral(" (非表示)") : QString()));
            item->setData(0, Qt::UserRole, child);
            if (parent)
                parent->addChild(item);
            else
                tree_->addTopLevelItem(item);
            // A page's children stand under its home placement only, once.
            if (!link && !shown.contains(child)) {
                shown.insert(child);
                add(item, child);
            }
        }
    };
    add(nullptr, 0);
    tree_->expandToDepth(0);
}

void SiteSettingsWindow::showPage(int page) {
    page_ = page;
    QString error;
    if (!web::loadPageSettings(page, loaded_, error))
        prompter().message(QStringLiteral("ﾍﾟｰｼﾞの設定を読めません\n") + error, Severity::Warning);
    fields_[QStringLiteral("Title")]->setText(loaded_.title);
    fields_[QStringLiteral("copyright")]->setText(loaded_.copyright);
    fields_[QStringLiteral("Keywords")]->setText(loaded_.keywords);
    fields_[QStringLiteral("Description")]->setText(loaded_.description);
    fields_[QStringLiteral("Template")]->setText(loaded_.templ);
    fields_[QStringLiteral("File Name")]->setText(loaded_.fileName);
    fields_[QStringLiteral("Sub Pages")]->setText(loaded_.subPages);
    root_->setChecked(loaded_.root);
    noIndex_->setChecked(loaded_.noIndex);
    fitTables_->setChecked(loaded_.fitTables);
    pictureFormats_->button(loaded_.pictureFormat)->setChecked(true);
    QString message = QStringLiteral("文書No ") + QString::number(page);
    if (!loaded_.exists)
        message += QStringLiteral(" 登録がありません　上位の文書から継承されます");
    messageLine_->setText(message);
    delete_->setEnabled(page > 0 && page != top_);

    // What the page is published with, and from where.
    web::EffectivePageSettings e;
    QStringList lines;
    if (page > 0 && web::resolvePageSettings(page, e, error)) {
        lines << QStringLiteral("実際の値: ﾀｲﾄﾙ %1 [%2]　ﾃﾝﾌﾟﾚｰﾄ %3 [%4]　画像 %5 [%6]")
                     .arg(e.title.value, e.title.source.text(), e.templ.value,
                          e.templ.source.text(), e.pictureFormat.value,
                          e.pictureFormat.source.text());
        lines << e.notes;
    }
    inherited_->setText(lines.join(u'\n'));
    QString text =
        zSvr::instance()
            .R_GtVaL(QStringLiteral("Select txDoc From msDoc Where noDoc=") + QString::number(page),
                     QString())
            .toString();
    text.remove(u'\r');
    pageText_->setPlainText(text);

    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toInt() == page) {
            if (tree_->currentItem() != *it)
                tree_->setCurrentItem(*it);
            break;
        }
}

web::PageSettings SiteSettingsWindow::edited() const {
    web::PageSettings s = loaded_;
    s.page = page_;
    s.title = fields_[QStringLiteral("Title")]->text();
    s.copyright = fields_[QStringLiteral("copyright")]->text();
    s.keywords = fields_[QStringLiteral("Keywords")]->text();
    s.description = fields_[QStringLiteral("Description")]->text();
    s.templ = fields_[QStringLiteral("Template")]->text();
    s.fileName = fields_[QStringLiteral("File Name")]->text();
    s.subPages = fields_[QStringLiteral("Sub Pages")]->text();
    s.root = root_->isChecked();
    s.noIndex = noIndex_->isChecked();
    s.fitTables = fitTables_->isChecked();
    s.pictureFormat = pictureFormats_->checkedId() < 0 ? 0 : pictureFormats_->checkedId();
    return s;
}

void SiteSettingsWindow::saveSite() {
    web::SiteWideSettings s = site_;
    s.altAddress = altAddress_->text();
    s.altOn = altOn_->isChecked();
    s.docType = docTypes_->checkedId();
    s.pictureFolderMode = pictureModes_->checkedId() == 1 ? 1 : 0;
    s.pictureFolder = pictureFolder_->text().trimmed();
    s.mapDepth = mapDepth_->currentIndex() + 3;
    QString message;
    const bool saved = web::saveSiteWide(s, message);
    prompter().message(message, saved ? Severity::Information : Severity::Warning);
    if (saved)
        loadSite();
}

void SiteSettingsWindow::savePage() {
    web::PageSettings s = edited();
    const web::PageSaveResult r = web::savePageSettings(s, loaded_, fileNames_);
    if (r.saved) {
        fields_[QStringLiteral("File Name")]->setText(s.fileName);
        showPage(page_);
    }
    prompter().message(r.message, r.saved ? Severity::Information : Severity::Warning);
}

void SiteSettingsWindow::deletePage() {
    if (page_ <= 0) {
        prompter().message(QStringLiteral("対象ﾍﾟｰｼﾞが指定されていません"));
        return;
    }
    if (!prompter().confirm(QStringLiteral("属性指定を削除すると、直近上位の指定が適用されます\r"
                                           "削除しますか")))
        return;
    const web::PageSaveResult r = web::deletePageSettings(page_, fileNames_);
    if (!r.saved)
        prompter().message(r.message, Severity::Warning);
    showPage(page_);
}

QString SiteSettingsWindow::chooseInTemplateFolder(const QString& title, const QString& refusal,
                                                   bool several) {
    FileDialogRequest request;
    request.title = title;
    request.folder = web::siteTemplateFolder();
    request.filters = {QStringLiteral("HTML Document(*.htm *.html)")};
    const QString chosen = prompter().chooseFile(request);
    if (chosen.isEmpty())
        return {};
    const QString folder = QDir(web::siteTemplateFolder()).canonicalPath();
    if (QFileInfo(chosen).absoluteDir().canonicalPath() != folder) {
        prompter().message(QStringLiteral("指定のﾌｫﾙﾀﾞ内 ") + web::siteTemplateFolder() + refusal);
        return {};
    }
    Q_UNUSED(several);
    return QFileInfo(chosen).fileName();
}

void SiteSettingsWindow::chooseTemplate() {
    const QString name = chooseInTemplateFolder(
        QStringLiteral("ﾃﾝﾌﾟﾚｰﾄ HTM"), QStringLiteral(" にﾃﾝﾌﾟﾚｰﾄは配置して下さい"), false);
    if (!name.isEmpty())
        fields_[QStringLiteral("Template")]->setText(name);
}

void SiteSettingsWindow::chooseSubPages() {
    const QString name = chooseInTemplateFolder(
        QStringLiteral("ｻﾌﾞﾍﾟｰｼﾞ HTM"), QStringLiteral(" にｻﾌﾞﾍﾟｰｼﾞは配置して下さい"), true);
    if (name.isEmpty())
        return;
    QLineEdit* cell = fields_[QStringLiteral("Sub Pages")];
    cell->setText(cell->text().trimmed().isEmpty() ? name
                                                   : cell->text() + QStringLiteral(" ,") + name);
}

bool SiteSettingsWindow::mayClose() {
    if (!zSvr::instance().isOpen())
        return true;
    const int top = web::settingsTopPage();
    if (top <= 0)
        return true;
    const QString templ =
        zSvr::instance()
            .R_GtVaL(QStringLiteral("Select saTpl From tbHtm Where noDoc=") + QString::number(top),
                     QString())
            .toString()
            .trimmed();
    if (!templ.isEmpty())
        return true;
    prompter().message(QStringLiteral("ﾄｯﾌﾟﾍﾟｰｼﾞのﾃﾝﾌﾟﾚｰﾄ指定は必須です"));
    showPage(top);
    return false;
}

void SiteSettingsWindow::reject() {
    if (mayClose())
        QDialog::reject();
}

void SiteSettingsWindow::closeEvent(QCloseEvent* event) {
    if (mayClose())
        event->accept();
    else
        event->ignore();
}

}  // namespace arbor::ui
