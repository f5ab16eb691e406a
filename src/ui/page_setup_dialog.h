#pragma once
// The page setup (PageWdIn): a paper size from the table fills width and height; the
// width, height and the four margins can also be given by hand (in millimetres).

#include <QDialog>

#include "editor/document_model.h"

class QDoubleSpinBox;
class QLabel;
class QListWidget;

namespace arbor::ui {

class PageSetupDialog : public QDialog {
    Q_OBJECT

  public:
    PageSetupDialog(const doc::PageSetup& page, QWidget* parent = nullptr);

    doc::PageSetup page() const;
    QListWidget* paperList() const { return papers_; }
    QDoubleSpinBox* widthBox() const { return width_; }
    QDoubleSpinBox* heightBox() const { return height_; }
    QDoubleSpinBox* marginBox(int side) const;  // 0 left, 1 top, 2 right, 3 bottom
    // Empty when the page can hold text.
    QString problem() const;

    void accept() override;

  private:
    void choosePaper(int row);
    void markPaper();

    QListWidget* papers_;
    QDoubleSpinBox* width_;
    QDoubleSpinBox* height_;
    QDoubleSpinBox* margins_[4];
    QLabel* problem_;
};

}  // namespace arbor::ui
