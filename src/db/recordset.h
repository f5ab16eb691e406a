#pragma once
// A result set opened by zSvr::R_Rset. Mode 0 reads once forward; modes 1 and 2
// edit and add rows of a single-table select, written back by key.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

namespace arbor {

class Engine;
class RowCursor;

class Recordset {
  public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool isOpen() const { return open_; }
    bool editable() const { return editable_; }
    bool eof() const;
    bool bof() const;
    void moveNext();
    void movePrevious();  // editable recordsets only
    void moveFirst();     // editable recordsets only
    void moveLast();      // editable recordsets only
    // Number of rows, or -1 for a forward-only recordset.
    int recordCount() const;

    int fieldCount() const { return names_.size(); }
    QString fieldName(int field) const { return names_.value(field); }
    // Field index by name ignoring case; -1 when absent.
    int fieldIndex(const QString& name) const;

    // Value of the current row; null (invalid QVariant) for SQL NULL or no row.
    QVariant value(int field) const;
    QVariant value(const QString& name) const;

    // Editing (modes 1 and 2): change fields of the current row or of a new row,
    // then update() writes them. Returns false (with lastError) when not allowed.
    bool setValue(int field, const QVariant& v);
    bool setValue(const QString& name, const QVariant& v);
    bool addNew();
    bool update();
    void cancelUpdate();
    // Deletes the current row.
    bool deleteRow();

    void close();
    QString lastError() const { return error_; }

  private:
    friend class zSvr;
    Recordset() = default;

    struct Row {
        QVector<QVariant> values;
        QVector<QVariant> key;  // values of the key columns as read
    };

    bool fail(const QString& message);
    bool writeRow(Row& row, bool isNew);
    // The engine to write through, or null (with the reason) when closed or read-only.
    std::shared_ptr<Engine> writableEngine();
    const QVector<QVariant>* currentValues() const;

    std::weak_ptr<Engine> engine_;
    bool readOnly_ = false;
    bool open_ = false;
    bool editable_ = false;
    QStringList names_;
    // Forward-only reading streams from the cursor.
    std::unique_ptr<RowCursor> cursor_;
    QVector<QVariant> streamRow_;
    bool streamEof_ = true;
    // Editable reading holds the rows.
    QString table_;
    QStringList keyColumns_;
    QVector<Row> rows_;
    int pos_ = 0;
    // The edit buffer.
    enum class Edit { None, Change, Add };
    Edit edit_ = Edit::None;
    Row buffer_;
    QVector<bool> dirty_;
    QString error_;
};

}  // namespace arbor
