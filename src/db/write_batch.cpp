#include "db/write_batch.h"

#include "db/db_messages.h"
#include "db/sql_dialect.h"
#include "db/zsvr.h"

namespace arbor {

namespace {
const QString kSavepoint = QStringLiteral("arbor_batch");
}

WriteBatch::WriteBatch(zSvr& db) : db_(db) {}
WriteBatch::WriteBatch() : db_(zSvr::instance()) {}

WriteBatch::~WriteBatch() {
    if (started_ && !done_ && !failed_)
        undo();
}

bool WriteBatch::fail(const QString& reason) {
    if (!reason.isEmpty())
        db_.lastError_ = reason;
    if (started_ && !failed_)
        undo();
    failed_ = true;
    queue_.clear();
    return false;
}

void WriteBatch::add(const QString& sql) {
    if (failed_ || done_)
        return;
    SqlTranslation t;
    if (!db_.translate(sql, t)) {
        fail(QString());  // translate has said why
        return;
    }
    if (t.statements.size() == 1) {
        queue_.push_back({t.statements.front(), t.params});
    } else {
        for (const QString& s : std::as_const(t.statements))
            queue_.push_back({s, {}});
    }
    if (queue_.size() >= kQueueLimit)
        flush();
}

void WriteBatch::addBound(const QString& sql, const QVariantList& params) {
    if (failed_ || done_)
        return;
    SqlTranslation t;
    if (!db_.translate(sql, t, true)) {
        fail(QString());
        return;
    }
    queue_.push_back({t.statements.front(), SqlParams(params)});
    if (queue_.size() >= kQueueLimit)
        flush();
}

bool WriteBatch::start() {
    if (started_)
        return true;
    if (!db_.engine_)
        return fail(QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽが開かれていません"));
    bool refused = false;
    db_.DbRead(refused);  // its message, once for the whole batch
    if (refused)
        return fail(msg::readOnlyDatabase());
    ownTransaction_ = !db_.inTransaction();
    if (ownTransaction_) {
        if (!db_.D_Tran(0))
            return fail(db_.lastError());
    } else {
        // Inside the caller's transaction a failure undoes only the batch.
        QString error;
        if (!db_.engine_->control(QStringLiteral("SAVEPOINT ") + kSavepoint, error))
            return fail(error);
    }
    started_ = true;
    return true;
}

void WriteBatch::undo() {
    if (!db_.engine_)
        return;
    if (ownTransaction_) {
        db_.D_Tran(2);
        return;
    }
    QString ignored;
    db_.engine_->control(QStringLiteral("ROLLBACK TO SAVEPOINT ") + kSavepoint, ignored);
    db_.engine_->control(QStringLiteral("RELEASE SAVEPOINT ") + kSavepoint, ignored);
}

bool WriteBatch::flush() {
    if (failed_)
        return false;
    if (done_)
        return true;
    if (queue_.isEmpty())
        return true;
    if (!start())
        return false;
    qint64 affected = 0;
    int failedAt = -1;
    QString error;
    if (!db_.engine_->execBatch(queue_, affected, failedAt, error)) {
        const QString statement = failedAt >= 0 && failedAt < queue_.size()
                                      ? QStringLiteral(" [") + queue_[failedAt].sql + u']'
                                      : QString();
        return fail(error + statement);
    }
    affected_ += affected;
    queue_.clear();
    return true;
}

bool WriteBatch::commit() {
    if (!flush())
        return false;
    if (done_ || !started_) {
        done_ = true;
        return true;
    }
    QString error;
    const bool ok = ownTransaction_ ? db_.D_Tran(1)
                                    : db_.engine_->control(
                                          QStringLiteral("RELEASE SAVEPOINT ") + kSavepoint, error);
    if (!ok)
        return fail(ownTransaction_ ? db_.lastError() : error);
    done_ = true;
    return true;
}

}  // namespace arbor
