#pragma once
// Tables: a new table ("表") of so many rows and columns, and rows ("行") or columns
// ("列") added before or after the cell at the caret.

#include <QDialog>

class QRadioButton;
class QSpinBox;

namespace arbor::ui {

class TableDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TableDialog(QWidget* parent = nullptr);
    QSpinBox* rowsBox() const { return rows_; }
    QSpinBox* columnsBox() const { return columns_; }
    int rows() const;
    int columns() const;

  private:
    QSpinBox* rows_;
    QSpinBox* columns_;
};

class RowsColumnsDialog : public QDialog {
    Q_OBJECT

  public:
    explicit RowsColumnsDialog(QWidget* parent = nullptr);
    bool columns() const;  // false: rows
    bool after() const;    // below the rows, right of the columns
    int count() const;
    QRadioButton* columnsButton() const { return columnsButton_; }
    QRadioButton* beforeButton() const { return before_; }
    QSpinBox* countBox() const { return count_; }

  private:
    QRadioButton* rowsButton_;
    QRadioButton* columnsButton_;
    QRadioButton* before_;
    QRadioButton* after_;
    QSpinBox* count_;
};

}  // namespace arbor::ui
