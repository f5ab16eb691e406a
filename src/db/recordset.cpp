#include "db/recordset.h"

#include "app/prompter.h"
#include "db/db_messages.h"
#include "db/engine.h"

namespace arbor {

Recordset::~Recordset() = default;

bool Recordset::fail(const QString& message) {
    error_ = message;
    return false;
}

bool Recordset::eof() const {
    if (!open_)
        return true;
    return cursor_ ? streamEof_ : pos_ >= rows_.size();
}

bool Recordset::bof() const {
    if (!open_)
        return true;
    return cursor_ ? false : pos_ < 0 || rows_.isEmpty();
}

void Recordset::moveNext() {
    if (!open_)
        return;
    if (edit_ != Edit::None)
        update();
    if (cursor_) {
        if (!streamEof_ && !cursor_->next(streamRow_)) {
            streamEof_ = true;
            if (!cursor_->error().isEmpty())
                error_ = cursor_->error();
        }
        return;
    }
    if (pos_ < rows_.size())
        ++pos_;
}

void Recordset::movePrevious() {
    if (!open_ || cursor_)
        return;
    if (edit_ != Edit::None)
        update();
    if (pos_ >= 0)
        --pos_;
}

void Recordset::moveFirst() {
    if (!open_ || cursor_)
        return;
    if (edit_ != Edit::None)
        update();
    pos_ = 0;
}

void Recordset::moveLast() {
    if (!open_ || cursor_)
        return;
    if (edit_ != Edit::None)
        update();
    pos_ = rows_.isEmpty() ? 0 : rows_.size() - 1;
}

int Recordset::recordCount() const {
    return cursor_ ? -1 : rows_.size();
}

int Recordset::fieldIndex(const QString& name) const {
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const QVector<QVariant>* Recordset::currentValues() const {
    if (!open_)
        return nullptr;
    if (edit_ != Edit::None)
        return &buffer_.values;
    if (cursor_)
        return streamEof_ ? nullptr : &streamRow_;
    if (pos_ < 0 || pos_ >= rows_.size())
        return nullptr;
    return &rows_[pos_].values;
}

QVariant Recordset::value(int field) const {
    const QVector<QVariant>* row = currentValues();
    if (!row || field < 0 || field >= row->size())
        return {};
    return (*row)[field];
}

QVariant Recordset::value(const QString& name) const {
    return value(fieldIndex(name));
}

bool Recordset::setValue(int field, const QVariant& v) {
    if (!open_ || !editable_)
        return fail(QStringLiteral("この結果は編集できません"));
    if (field < 0 || field >= names_.size())
        return fail(QStringLiteral("no such field"));
    if (edit_ == Edit::None) {
        if (pos_ < 0 || pos_ >= rows_.size())
            return fail(QStringLiteral("no current row"));
        buffer_ = rows_[pos_];
        dirty_.fill(false, names_.size());
        edit_ = Edit::Change;
    }
    buffer_.values[field] = v;
    dirty_[field] = true;
    return true;
}

bool Recordset::setValue(const QString& name, const QVariant& v) {
    const int i = fieldIndex(name);
    if (i < 0)
        return fail(QStringLiteral("no such field: ") + name);
    return setValue(i, v);
}

bool Recordset::addNew() {
    if (!open_ || !editable_)
        return fail(QStringLiteral("この結果は編集できません"));
    if (edit_ != Edit::None && !update())
        return false;
    buffer_ = Row();
    buffer_.values.resize(names_.size());
    dirty_.fill(false, names_.size());
    edit_ = Edit::Add;
    return true;
}

void Recordset::cancelUpdate() {
    edit_ = Edit::None;
    buffer_ = Row();
}

bool Recordset::update() {
    if (edit_ == Edit::None)
        return true;
    const bool isNew = edit_ == Edit::Add;
    Row row = buffer_;
    const bool ok = writeRow(row, isNew);
    edit_ = Edit::None;
    buffer_ = Row();
    if (!ok)
        return false;
    if (isNew) {
        rows_.push_back(row);
        pos_ = rows_.size() - 1;
    } else {
        rows_[pos_] = row;
    }
    return true;
}

std::shared_ptr<Engine> Recordset::writableEngine() {
    auto engine = engine_.lock();
    if (!engine) {
        fail(QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽは閉じられています"));
        return nullptr;
    }
    if (readOnly_) {
        prompter().message(msg::readOnlyDatabase(), Severity::Warning);
        fail(msg::readOnlyDatabase());
        return nullptr;
    }
    return engine;
}

bool Recordset::writeRow(Row& row, bool isNew) {
    auto engine = writableEngine();
    if (!engine)
        return false;
    QStringList columns;
    QVariantList params;
    for (int i = 0; i < names_.size(); ++i) {
        if (!dirty_.value(i))
            continue;
        columns << names_[i];
        params << row.values[i];
    }
    if (columns.isEmpty() && !isNew)
        return true;
    QString sql;
    if (isNew) {
        QStringList markers;
        for (int i = 0; i < columns.size(); ++i)
            markers << engine->parameter(i + 1);
        sql = columns.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table_)
                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(table_, columns.join(QStringLiteral(", ")),
                                           markers.join(QStringLiteral(", ")));
    } else {
        QStringList sets, where;
        for (int i = 0; i < columns.size(); ++i)
            sets << columns[i] + QStringLiteral(" = ") + engine->parameter(i + 1);
        for (int k = 0; k < keyColumns_.size(); ++k) {
            where << keyColumns_[k] + QStringLiteral(" = ") +
                         engine->parameter(static_cast<int>(params.size()) + 1);
            params << row.key.value(k);
        }
        sql =
            QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                .arg(table_, sets.join(QStringLiteral(", ")), where.join(QStringLiteral(" AND ")));
    }
    sql += QStringLiteral(" RETURNING ") + keyColumns_.join(QStringLiteral(", "));
    QString error;
    auto cursor = engine->query(sql, params, error);
    if (!cursor)
        return fail(error);
    QVector<QVariant> keys;
    if (!cursor->next(keys)) {
        return fail(cursor->error().isEmpty()
                        ? QStringLiteral("行が見つかりません (他で変更か削除されました)")
                        : cursor->error());
    }
    row.key = keys;
    return true;
}

bool Recordset::deleteRow() {
    if (!open_ || !editable_)
        return fail(QStringLiteral("この結果は編集できません"));
    if (pos_ < 0 || pos_ >= rows_.size())
        return fail(QStringLiteral("no current row"));
    auto engine = writableEngine();
    if (!engine)
        return false;
    QStringList where;
    QVariantList params;
    for (int k = 0; k < keyColumns_.size(); ++k) {
        where << keyColumns_[k] + QStringLiteral(" = ") + engine->parameter(k + 1);
        params << rows_[pos_].key.value(k);
    }
    QString error;
    qint64 affected = 0;
    if (!engine->exec(QStringLiteral("DELETE FROM %1 WHERE %2")
                          .arg(table_, where.join(QStringLiteral(" AND "))),
                      params, affected, error))
        return fail(error);
    rows_.remove(pos_);
    return true;
}

void Recordset::close() {
    open_ = false;
    cursor_.reset();
    rows_.clear();
    edit_ = Edit::None;
}

}  // namespace arbor
