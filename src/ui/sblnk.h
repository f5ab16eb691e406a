#pragma once
// The link checker window sbLnk: the result grid (one row per link of the visible pages),
// the lists of missing, non-public and repaired pages, and the enlarged pictures no link
// refers to. The check runs on the window's thread; the window shows its progress, stays
// responsive and can stop the run. While it is open it takes the program's input.

#include <QWidget>

#include "web/link_check.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QAbstractItemModel;
class QTableView;

namespace arbor::ui {

class sbLnk : public QWidget {
    Q_OBJECT
  public:
    explicit sbLnk(QWidget* parent = nullptr);
    ~sbLnk() override;

    // The options each run starts from (the web check's timeout, a proxy).
    static web::LinkCheckOptions& defaultOptions();

    // Runs the whole check and fills the grid and the text boxes; false when the database
    // could not be read.
    bool CheckLinks();
    const web::LinkCheckReport& report() const { return report_; }

    // Window menu: the grid and the lists as text; the unreferenced enlarged pictures.
    void copyToClipboard();
    QStringList listZoomPictures();
    void deleteZoomPictures();

    QTableView* grid() const { return grid_; }
    QAbstractItemModel* model() const;
    QPlainTextEdit* missingBox() const { return missing_; }
    QPlainTextEdit* nonPublicBox() const { return nonPublic_; }
    QPlainTextEdit* repairedBox() const { return repaired_; }
    QLineEdit* zoomBox() const { return zoom_; }
    QCheckBox* webCheck() const { return web_; }
    QPushButton* stopButton() const { return stop_; }
    bool running() const { return running_; }

  signals:
    // A run ended; pages may have been repaired.
    void checked();

  protected:
    void closeEvent(class QCloseEvent* event) override;

  private:
    class RunProgress;
    class RowsModel;
    void fill();
    void setRunning(bool on);

    web::LinkCheckReport report_;
    RowsModel* model_;
    QTableView* grid_;
    QPlainTextEdit* missing_;
    QPlainTextEdit* nonPublic_;
    QPlainTextEdit* repaired_;
    QLineEdit* zoom_;
    QCheckBox* web_;
    QLabel* status_;
    QProgressBar* bar_;
    QPushButton* again_;
    QPushButton* stop_;
    QWidget* menuBar_;
    bool running_ = false;
    bool stopRequested_ = false;
};

}  // namespace arbor::ui
