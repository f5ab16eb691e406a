#pragma once
// The one connection to the open document database. Statements are written in the
// file-database dialect with "?" placeholders filled by T_CnvSq; zSvr translates
// them for the engine in use (SQLite for files, PostgreSQL through a .udl data link).
// The values T_CnvSq put into the text go to the engine as bound parameters, so each
// statement is compiled once and reused (see translateAndBind). Many writes go
// together through a WriteBatch (db/write_batch.h).
// No operation throws: each reports through its ok flag, a default or an empty result.

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

#include "db/engine.h"
#include "db/recordset.h"
#include "db/result_array.h"

namespace arbor {

struct SqlTranslation;

class zSvr {
  public:
    // The shared instance, created on first use.
    static zSvr& instance();

    zSvr();
    ~zSvr();
    zSvr(const zSvr&) = delete;
    zSvr& operator=(const zSvr&) = delete;

    // Data-source name of the open connection (a file's full path); empty when closed.
    QString dataSourceName() const { return dataSourceName_; }
    void setDataSourceName(const QString& name) { dataSourceName_ = name; }
    bool isOpen() const { return engine_ != nullptr; }

    void D_StDcDb(const QString& path, bool& ok);
    void D_ExeSq(const QString& sql, bool& ok, int& recordsAffected);
    void D_Close();
    void R_Rset(const QString& sql, std::unique_ptr<Recordset>& recordset, bool& ok, int mode);
    void R_Ary(const QString& sql, ResultArray& rows, int& count);
    void R_GtVaL(const QString& sql, QVariant& result, const QVariant& defaultValue);
    static void DvNz(QVariant& value, QVariant& result);
    void R_PAry(const QString& sql, QVariantList& fields);
    void T_CnvSq(QString& sql, const QVariantList& values) const;
    // Returns whether the engine did it (callers may ignore it).
    bool D_Tran(int mode);
    void DbRead(bool& result);

    // Conveniences over the operations above.
    bool D_ExeSq(const QString& sql);
    QVariant R_GtVaL(const QString& sql, const QVariant& defaultValue);
    // As R_GtVaL, and ok tells whether the query ran at all.
    QVariant readValue(const QString& sql, const QVariant& defaultValue, bool& ok);
    // As R_Ary, and false when the query failed.
    bool readRows(const QString& sql, ResultArray& rows);

    bool readOnly() const { return readOnly_; }
    bool inTransaction() const { return inTransaction_; }
    // Why the last operation failed, for messages the caller shows.
    QString lastError() const { return lastError_; }
    // The engine's own dialect of the open connection.
    bool isServer() const;

    // Runs after a connection opened; the open fails when it returns false.
    // The editor registers the loading of the user formats here.
    using OpenHook = std::function<bool()>;
    static void setOpenHook(OpenHook hook);

    // Called when the data link is opened or closed (the menu item that saves a
    // copy of the database works on files only).
    using LinkKindHook = std::function<void(bool isDataLink)>;
    static void setLinkKindHook(LinkKindHook hook);

    // Runs a statement exactly as given, with bound values (no placeholder filling).
    // Used where binary or exact values must pass: page bytes, schema creation.
    bool execBound(const QString& sql, const QVariantList& params, int* affected = nullptr);
    std::unique_ptr<Recordset> queryBound(const QString& sql, const QVariantList& params);

    // What the engine's cache of compiled statements has done (zero when closed).
    StatementCacheStats statementCacheStats() const;

  private:
    friend class WriteBatch;
    bool openFile(const QString& path);
    bool openDataLink(const QString& path);
    bool finishOpen(const QString& path);
    static QString reasonForUser(const QString& error);
    std::unique_ptr<Recordset> openRecordset(const QString& sql, const SqlParams& params,
                                             bool editable, QString& error);
    // With bind, "?" marks the caller's bound values; otherwise the values in the text
    // become parameters.
    bool translate(const QString& sql, SqlTranslation& out, bool bind = false);
    std::unique_ptr<RowCursor> runQuery(const QString& sql);

    std::shared_ptr<Engine> engine_;
    QString dataSourceName_;
    bool readOnly_ = false;
    bool inTransaction_ = false;
    int kind_ = 0;  // 1 for the file database, 0 for a server
    QString lastError_;
};

// Module routines beside the class.
QString SqlNow();
// Date literal of a given time, in the dialect of the open database.
QString SqlDateLiteral(const QDateTime& when, bool jet);
void StampTreeDate(const QVariant& parent, const QVariant& child, bool& ok, bool publishStamp);
double NewWkRnd();
// Installation number used by NewWkRnd (0 when unset).
void setInstallationNumber(int n);

}  // namespace arbor
