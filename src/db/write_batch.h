#pragma once
// Many writes in one go. Statements, written as D_ExeSq takes them (placeholders
// filled by T_CnvSq), are queued and run in order inside one transaction: the
// caller's when one is open, else the batch's own. A server gets a few hundred of
// them per round trip. Either every statement of the batch takes effect or, when one
// fails, none does; zSvr::lastError() then says why.
//
//   WriteBatch batch;
//   for (...) batch.add(sql);
//   if (!batch.commit()) report(zSvr::instance().lastError());
//
// Queued statements run when the queue is full, at flush() and at commit(); a read in
// between sees only what has run. A batch dropped without commit() undoes what ran.

#include <QString>
#include <QVariantList>
#include <QVector>

#include "db/engine.h"

namespace arbor {

class zSvr;

class WriteBatch {
  public:
    explicit WriteBatch(zSvr& db);
    WriteBatch();  // on zSvr::instance()
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

    // Queues a statement. One that cannot be translated fails the batch.
    void add(const QString& sql);
    // Queues a statement whose "?" are bound to the values as they are (large generated
    // texts, bytes), like zSvr::execBound.
    void addBound(const QString& sql, const QVariantList& params);
    // Runs what is queued; false when the batch has failed.
    bool flush();
    // Runs the rest and makes the batch lasting; false (and nothing of it kept) on failure.
    bool commit();

    bool failed() const { return failed_; }
    // Statements queued and not yet run.
    int pending() const { return static_cast<int>(queue_.size()); }
    // Rows changed by the statements that ran.
    qint64 recordsAffected() const { return affected_; }

    // Statements queued before they run by themselves.
    static constexpr int kQueueLimit = 2000;

  private:
    bool start();
    void undo();
    bool fail(const QString& reason);

    zSvr& db_;
    QVector<BoundStatement> queue_;
    qint64 affected_ = 0;
    bool started_ = false;
    bool ownTransaction_ = false;
    bool failed_ = false;
    bool done_ = false;
};

}  // namespace arbor
