#include "ui/sblnk.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "app/progress.h"
#include "app/prompter.h"
#include "web/site_folders.h"
#include "web/zoom_pictures.h"

namespace arbor::ui {

// Progress of a run into the window's status line and bar; the window keeps painting and
// its stop button keeps working between steps.
class sbLnk::RunProgress : public Progress {
  public:
    explicit RunProgress(sbLnk& window) : w_(window) {}
    void status(const QString& text) override { w_.status_->setText(text); }
    void showWait(const QString& text) override { status(text); }
    void hideWait() override {}
    void step(qint64 done, qint64 total) override {
        w_.bar_->setRange(0, static_cast<int>(std::max<qint64>(total, 0)));
        w_.bar_->setValue(static_cast<int>(done));
        pump();
    }
    bool cancelRequested() override {
        pump();
        return w_.stopRequested_;
    }

  private:
    void pump() {
        if (!last_.isValid() || last_.elapsed() > 50) {
            QCoreApplication::processEvents();
            last_.restart();
        }
    }
    sbLnk& w_;
    QElapsedTimer last_;
};

namespace {

enum Column { Mark, Page, Title, Text, Target, Finding, Columns };

}  // namespace

// The result grid over the report's rows, so a hundred thousand links cost no items.
class sbLnk::RowsModel : public QAbstractTableModel {
  public:
    RowsModel(const web::LinkCheckReport& report, QObject* parent)
        : QAbstractTableModel(parent), report_(report) {}
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() || !shown_ ? 0 : static_cast<int>(report_.rows.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : Columns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= report_.rows.size())
            return {};
        const web::LinkRow& row = report_.rows[index.row()];
        if (role == Qt::ForegroundRole)
            return row.broken ? QVariant(QColor(0xD0, 0x10, 0x10)) : QVariant();
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        switch (index.column()) {
            case Mark:
                return row.mark();
            case Page:
                return QString::number(row.page);
            case Title:
                return row.title;
            case Text:
                return row.text;
            case Target:
                return row.value;
            default:
                return row.finding;
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const titles[] = {"結果",    "文書No", "ﾀｲﾄﾙ",
                                             "ﾘﾝｸ文字", "ﾘﾝｸ先",  "確認結果"};
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= Columns)
            return {};
        return QString::fromUtf8(titles[section]);
    }
    // The report is about to change (false) or holds the new rows (true).
    void show(bool on) {
        beginResetModel();
        shown_ = on;
        endResetModel();
    }

  private:
    const web::LinkCheckReport& report_;
    bool shown_ = false;
};

namespace {

QPlainTextEdit* listBox(QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    box->setMaximumHeight(70);
    return box;
}

QWidget* titled(const QString& title, QWidget* content, QWidget* parent) {
    auto* w = new QWidget(parent);
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(new QLabel(title, w));
    l->addWidget(content);
    return w;
}

}  // namespace

web::LinkCheckOptions& sbLnk::defaultOptions() {
    static web::LinkCheckOptions options;
    return options;
}

sbLnk::sbLnk(QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(new RowsModel(report_, this)),
      grid_(new QTableView(this)),
      missing_(listBox(this)),
      nonPublic_(listBox(this)),
      repaired_(listBox(this)),
      zoom_(new QLineEdit(this)),
      web_(new QCheckBox(QStringLiteral("Webのｱﾄﾞﾚｽを確認する"), this)),
      status_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      again_(new QPushButton(QStringLiteral("再確認"), this)),
      stop_(new QPushButton(QStringLiteral("中止"), this)) {
    setWindowTitle(QStringLiteral("ﾘﾝｸ先の確認"));
    setWindowModality(Qt::ApplicationModal);
    resize(960, 640);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QMenuBar(this);
    QMenu* menu = bar->addMenu(QStringLiteral("ﾒﾆｭｰ(&M)"));
    menu->addAction(QStringLiteral("表をｸﾘｯﾌﾟﾎﾞｰﾄﾞに貼り付け(&C)"), this, &sbLnk::copyToClipboard);
    menu->addAction(QStringLiteral("参照されていない拡大画像の一覧(&L)"), this,
                    &sbLnk::listZoomPictures);
    menu->addAction(QStringLiteral("参照されていない拡大画像を削除(&D)"), this,
                    &sbLnk::deleteZoomPictures);
    menu->addSeparator();
    menu->addAction(QStringLiteral("閉じる(&X)"), this, &QWidget::close);
    layout->setMenuBar(bar);
    menuBar_ = bar;

    auto* top = new QHBoxLayout;
    web_->setChecked(defaultOptions().checkWeb);
    top->addWidget(again_);
    top->addWidget(web_);
    top->addStretch();
    layout->addLayout(top);

    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->verticalHeader()->hide();
    grid_->setWordWrap(false);
    grid_->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {40, 60, 160, 160, 260};
    for (int c = 0; c < Finding; ++c)
        grid_->setColumnWidth(c, widths[c]);
    layout->addWidget(grid_, 1);

    auto* lists = new QHBoxLayout;
    lists->addWidget(titled(QStringLiteral("該当がない、内部文書"), missing_, this));
    lists->addWidget(titled(QStringLiteral("公開されていない、文書"), nonPublic_, this));
    lists->addWidget(titled(QStringLiteral("ﾌｧｲﾙﾘﾝｸを修復した文書"), repaired_, this));
    layout->addLayout(lists);
    zoom_->setReadOnly(true);
    layout->addWidget(titled(QStringLiteral("参照されていない拡大画像"), zoom_, this));

    auto* foot = new QHBoxLayout;
    foot->addWidget(status_, 1);
    foot->addWidget(bar_);
    foot->addWidget(stop_);
    layout->addLayout(foot);
    stop_->setEnabled(false);
    connect(stop_, &QPushButton::clicked, this, [this] { stopRequested_ = true; });
    connect(again_, &QPushButton::clicked, this, [this] {
        CheckLinks();
        emit checked();
    });
}

sbLnk::~sbLnk() = default;

QAbstractItemModel* sbLnk::model() const {
    return model_;
}

void sbLnk::setRunning(bool on) {
    running_ = on;
    stopRequested_ = false;
    stop_->setEnabled(on);
    again_->setEnabled(!on);
    web_->setEnabled(!on);
    menuBar_->setEnabled(!on);
    if (on)
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void sbLnk::closeEvent(QCloseEvent* event) {
    // A run in progress is stopped first; the window closes once it has ended.
    if (running_) {
        stopRequested_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool sbLnk::CheckLinks() {
    if (running_)
        return false;
    model_->show(false);
    missing_->clear();
    nonPublic_->clear();
    repaired_->clear();
    zoom_->clear();
    web::LinkCheckOptions options = defaultOptions();
    options.checkWeb = web_->isChecked();
    RunProgress progress(*this);
    Progress* previous = setProgress(&progress);
    setRunning(true);
    report_ = web::CheckLinks(options);
    setRunning(false);
    setProgress(previous);
    if (!report_.ok) {
        status_->setText(QString());
        prompter().message(QStringLiteral("ﾘﾝｸ先を確認できません\n") + report_.error,
                           Severity::Warning);
        return false;
    }
    fill();
    return true;
}

void sbLnk::fill() {
    model_->show(true);
    missing_->setPlainText(report_.missing);
    nonPublic_->setPlainText(report_.nonPublic);
    repaired_->setPlainText(report_.repaired);
    QString summary = QString::number(report_.pages) + QStringLiteral(" ページ、") +
                      QString::number(report_.rows.size()) + QStringLiteral(" 件のﾘﾝｸ: 不良 ") +
                      QString::number(report_.brokenCount()) + QStringLiteral(" 件");
    if (report_.hiddenByAncestry > 0)
        summary += QStringLiteral("、上位が非公開の配置 ") +
                   QString::number(report_.hiddenByAncestry) + QStringLiteral(" 件");
    if (report_.damaged > 0)
        summary += QStringLiteral("、読み込めない文書 ") + QString::number(report_.damaged) +
                   QStringLiteral(" 件");
    if (report_.cancelled)
        summary += QStringLiteral(" (中止しました)");
    status_->setText(summary);
}

void sbLnk::copyToClipboard() {
    QGuiApplication::clipboard()->setText(web::clipboardText(report_));
    prompter().message(QStringLiteral("表のﾃﾞ-ﾀ-をｸﾘｯﾌﾟﾎﾞ-ﾄﾞに貼り付けました"));
}

QStringList sbLnk::listZoomPictures() {
    const QStringList names =
        web::unreferencedZoomPictures(web::siteZoomFolder(), report_.zoomReferenced);
    zoom_->setText(names.join(u','));
    return names;
}

void sbLnk::deleteZoomPictures() {
    // Only a whole run knows every picture a page refers to.
    if (!report_.ok || report_.cancelled) {
        prompter().message(QStringLiteral("ﾘﾝｸ先の確認を最後まで行ってから削除して下さい"));
        return;
    }
    if (report_.damaged > 0) {
        prompter().message(
            QStringLiteral("読み込めない文書があるため、拡大画像の参照を確かめられません"),
            Severity::Warning);
        return;
    }
    const QStringList names = listZoomPictures();
    web::deleteZoomPictures(web::siteZoomFolder(), names);
    listZoomPictures();
}

}  // namespace arbor::ui
