#pragma once
// Rows read in one go: element (field, row), both 0-based.

#include <QVariant>
#include <QVector>

namespace arbor {

class ResultArray {
  public:
    ResultArray() = default;
    ResultArray(int fields, int rows) : fields_(fields), rows_(rows), cells_(fields * rows) {}

    int fieldCount() const { return fields_; }
    int rowCount() const { return rows_; }
    bool isEmpty() const { return rows_ == 0; }
    const QVariant& operator()(int field, int row) const { return cells_[row * fields_ + field]; }
    QVariant& operator()(int field, int row) { return cells_[row * fields_ + field]; }
    void clear() { *this = ResultArray(); }

  private:
    int fields_ = 0;
    int rows_ = 0;
    QVector<QVariant> cells_;
};

}  // namespace arbor
