#include "db/zsvr.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cmath>

#include "app/program_state.h"
#include "app/prompter.h"
#include "db/data_link.h"
#include "db/db_messages.h"
#include "db/engine.h"
#include "db/pg_engine.h"
#include "db/sql_dialect.h"
#include "db/sql_fill.h"
#include "db/sqlite_engine.h"

namespace arbor {

namespace {

zSvr::OpenHook& openHook() {
    static zSvr::OpenHook hook;
    return hook;
}
zSvr::LinkKindHook& linkKindHook() {
    static zSvr::LinkKindHook hook;
    return hook;
}
int& installationNumber() {
    static int n = 0;
    return n;
}

// "Select <list> From <table> [Where ...] [Order By ...] [Limit n]" on one table.
struct SingleTable {
    QString table;
    qsizetype listStart = 0;  // where the select list begins
};

bool singleTableSelect(const QString& sql, SingleTable& out) {
    static const QRegularExpression re(
        QStringLiteral(
            R"(^\s*select\s+(?!distinct\b)(?:.*?)\s+from\s+([A-Za-z_][A-Za-z0-9_]*))"
            R"((?:\s+(?:as\s+)?([A-Za-z_][A-Za-z0-9_]*))?\s*($|where\b|order\b|limit\b))"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = re.match(sql);
    if (!m.hasMatch())
        return false;
    const QString alias = m.captured(2).toLower();
    for (const char* kw : {"where", "order", "limit", "group", "inner", "left", "join"})
        if (alias == QLatin1String(kw))
            return false;
    out.table = m.captured(1);
    static const QRegularExpression select(QStringLiteral(R"(^\s*select\s+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    out.listStart = select.match(sql).capturedEnd();
    return true;
}

}  // namespace

zSvr& zSvr::instance() {
    static zSvr shared;
    return shared;
}

zSvr::zSvr() = default;
zSvr::~zSvr() = default;

void zSvr::setOpenHook(OpenHook hook) {
    openHook() = std::move(hook);
}
void zSvr::setLinkKindHook(LinkKindHook hook) {
    linkKindHook() = std::move(hook);
}

bool zSvr::isServer() const {
    return engine_ && engine_->dialect() == SqlDialect::PostgreSQL;
}

void zSvr::D_Close() {
    engine_.reset();
    dataSourceName_.clear();
    readOnly_ = false;
    inTransaction_ = false;
    kind_ = 0;
}

void zSvr::D_StDcDb(const QString& path, bool& ok) {
    ok = false;
    D_Close();
    lastError_.clear();
    const bool dataLink = path.right(3).toLower() == QLatin1String("udl");
    if (linkKindHook())
        linkKindHook()(dataLink);
    if (!(dataLink ? openDataLink(path) : openFile(path)) || !finishOpen(path)) {
        D_Close();  // a failed open leaves no database open
        return;
    }
    ok = true;
}

bool zSvr::openFile(const QString& path) {
    QString error;
    engine_ = SqliteEngine::open(path, error);
    if (!engine_)
        lastError_ = error;
    return engine_ != nullptr;
}

bool zSvr::openDataLink(const QString& path) {
    DataLink link;
    QString error;
    if (!readDataLink(path, link, error)) {
        lastError_ = error;
        return false;
    }
    bool refused = false;
    engine_ = PgEngine::open(link, error, refused);
    if (!engine_ && refused) {
        // One more try with the password the user gives.
        const QString name =
            path.mid(std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')) + 1);
        const QString password = prompter().password(name);
        if (password.isEmpty()) {
            lastError_ = error;
            return false;
        }
        link.password = password;
        engine_ = PgEngine::open(link, error, refused);
    }
    if (!engine_)
        lastError_ = error;
    return engine_ != nullptr;
}

bool zSvr::finishOpen(const QString& path) {
    const bool jet = engine_->dialect() == SqlDialect::SQLite;
    G().IsJet = jet;
    G().DbName = jet ? QFileInfo(path).completeBaseName() : engine_->catalog();
    dataSourceName_ = jet ? engine_->dataSourceName() : QFileInfo(path).absoluteFilePath();
    readOnly_ = engine_->readOnly();
    kind_ = jet ? 1 : 0;
    inTransaction_ = false;
    bool formatsRead = false;
    if (openHook()) {
        formatsRead = openHook()();
    } else {
        readValue(QStringLiteral("Select DmFmt From kaUsr"), QString(), formatsRead);
    }
    if (!formatsRead) {
        lastError_ = msg::formatsUnreadable() + reasonForUser(lastError_);
        return false;
    }
    return true;
}

// The reason a document database could not be read, for the open's message: what the file
// lacks rather than the statement that found out.
QString zSvr::reasonForUser(const QString& error) {
    if (error.isEmpty())
        return {};
    if (error.contains(QStringLiteral("no such table"), Qt::CaseInsensitive) ||
        error.contains(QStringLiteral("does not exist"), Qt::CaseInsensitive))
        return QStringLiteral("\n(文書ﾃﾞｰﾀｰﾍﾞｰｽの表がありません)");
    if (error.contains(QStringLiteral("no such column"), Qt::CaseInsensitive))
        return QStringLiteral("\n(書式設定の列がありません)");
    QString reason = error;
    const qsizetype statement = reason.indexOf(QStringLiteral(" ["));
    if (statement >= 0)
        reason.truncate(statement);
    return QStringLiteral("\n(") + reason + u')';
}

bool zSvr::translate(const QString& sql, SqlTranslation& out, bool bind) {
    if (!engine_) {
        lastError_ = QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽが開かれていません");
        return false;
    }
    out = bind ? translateSql(sql, engine_->dialect(), true)
               : translateAndBind(sql, engine_->dialect());
    if (out.ok() && bind && out.statements.size() != 1)
        out.error = QStringLiteral("one statement expected");
    if (!out.ok()) {
        lastError_ = out.error + QStringLiteral(": ") + sql;
        return false;
    }
    return true;
}

std::unique_ptr<RowCursor> zSvr::runQuery(const QString& sql) {
    SqlTranslation t;
    if (!translate(sql, t))
        return nullptr;
    if (t.statements.size() != 1) {
        lastError_ = QStringLiteral("not a query: ") + sql;
        return nullptr;
    }
    QString error;
    auto cursor = engine_->query(t.statements.front(), t.params, error);
    if (!cursor)
        lastError_ = error + QStringLiteral(" [") + sql + u']';
    return cursor;
}

StatementCacheStats zSvr::statementCacheStats() const {
    return engine_ ? engine_->cacheStats() : StatementCacheStats();
}

void zSvr::D_ExeSq(const QString& sql, bool& ok, int& recordsAffected) {
    ok = false;
    if (!engine_) {
        lastError_ = QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽが開かれていません");
        return;
    }
    bool refused = false;
    DbRead(refused);
    if (refused) {
        lastError_ = msg::readOnlyDatabase();
        return;
    }
    SqlTranslation t;
    if (!translate(sql, t))
        return;
    QString error;
    qint64 n = 0;
    if (t.statements.size() == 1) {
        if (!engine_->exec(t.statements.front(), t.params, n, error)) {
            lastError_ = error + QStringLiteral(" [") + sql + u']';
            return;
        }
        recordsAffected = static_cast<int>(n);
        ok = true;
        return;
    }
    // Several engine statements for one (columns added one at a time) succeed or fail together.
    if (!engine_->control(QStringLiteral("SAVEPOINT arbor_group"), error)) {
        lastError_ = error;
        return;
    }
    qint64 total = 0;
    for (const QString& s : std::as_const(t.statements)) {
        if (!engine_->exec(s, {}, n, error)) {
            lastError_ = error + QStringLiteral(" [") + s + u']';
            QString ignored;
            engine_->control(QStringLiteral("ROLLBACK TO SAVEPOINT arbor_group"), ignored);
            engine_->control(QStringLiteral("RELEASE SAVEPOINT arbor_group"), ignored);
            return;
        }
        total += n;
    }
    engine_->control(QStringLiteral("RELEASE SAVEPOINT arbor_group"), error);
    recordsAffected = static_cast<int>(total);
    ok = true;
}

bool zSvr::D_ExeSq(const QString& sql) {
    bool ok = false;
    int n = 0;
    D_ExeSq(sql, ok, n);
    return ok;
}

std::unique_ptr<Recordset> zSvr::openRecordset(const QString& sql, const SqlParams& params,
                                               bool editable, QString& error) {
    std::unique_ptr<Recordset> rs(new Recordset);
    rs->engine_ = engine_;
    rs->readOnly_ = readOnly_;
    SingleTable single;
    if (editable && singleTableSelect(sql, single)) {
        QStringList keys = engine_->primaryKey(single.table);
        if (keys.isEmpty())
            keys << engine_->rowIdColumn();
        QStringList hidden;
        for (int k = 0; k < keys.size(); ++k)
            hidden << keys[k] + QStringLiteral(" AS arbor_key") + QString::number(k);
        const QString keyed = sql.left(single.listStart) + hidden.join(QStringLiteral(", ")) +
                              QStringLiteral(", ") + sql.mid(single.listStart);
        auto cursor = engine_->query(keyed, params, error);
        if (!cursor)
            return nullptr;
        rs->names_ = cursor->names().mid(keys.size());
        QVector<QVariant> row;
        while (cursor->next(row)) {
            Recordset::Row r;
            r.key = row.mid(0, keys.size());
            r.values = row.mid(keys.size());
            rs->rows_.push_back(std::move(r));
        }
        if (!cursor->error().isEmpty()) {
            error = cursor->error();
            return nullptr;
        }
        rs->table_ = single.table;
        rs->keyColumns_ = keys;
        rs->editable_ = true;
        rs->open_ = true;
        return rs;
    }
    auto cursor = engine_->query(sql, params, error);
    if (!cursor)
        return nullptr;
    rs->names_ = cursor->names();
    if (editable) {
        // Not one table: the rows can be walked both ways but not written back.
        QVector<QVariant> row;
        while (cursor->next(row))
            rs->rows_.push_back({row, {}});
        if (!cursor->error().isEmpty()) {
            error = cursor->error();
            return nullptr;
        }
    } else {
        rs->streamEof_ = !cursor->next(rs->streamRow_);
        if (rs->streamEof_ && !cursor->error().isEmpty()) {
            error = cursor->error();
            return nullptr;
        }
        rs->cursor_ = std::move(cursor);
    }
    rs->open_ = true;
    return rs;
}

void zSvr::R_Rset(const QString& sql, std::unique_ptr<Recordset>& recordset, bool& ok, int mode) {
    ok = false;
    recordset.reset();
    if (mode < 0 || mode > 2) {
        ok = true;  // nothing to open
        return;
    }
    SqlTranslation t;
    if (!translate(sql, t))
        return;
    if (t.statements.size() != 1) {
        lastError_ = QStringLiteral("not a query: ") + sql;
        return;
    }
    QString error;
    recordset = openRecordset(t.statements.front(), t.params, mode != 0, error);
    if (!recordset) {
        lastError_ = error + QStringLiteral(" [") + sql + u']';
        return;
    }
    ok = true;
}

bool zSvr::readRows(const QString& sql, ResultArray& rows) {
    rows.clear();
    auto cursor = runQuery(sql);
    if (!cursor)
        return false;
    const int fields = cursor->names().size();
    QVector<QVector<QVariant>> all;
    QVector<QVariant> row;
    while (cursor->next(row))
        all.push_back(row);
    if (!cursor->error().isEmpty()) {
        lastError_ = cursor->error();
        return false;
    }
    rows = ResultArray(fields, all.size());
    for (int r = 0; r < all.size(); ++r)
        for (int f = 0; f < fields; ++f)
            rows(f, r) = all[r][f];
    return true;
}

void zSvr::R_Ary(const QString& sql, ResultArray& rows, int& count) {
    count = 0;
    if (readRows(sql, rows))
        count = rows.rowCount();
}

QVariant zSvr::readValue(const QString& sql, const QVariant& defaultValue, bool& ok) {
    ok = false;
    auto cursor = runQuery(sql);
    if (!cursor)
        return defaultValue;
    QVector<QVariant> row;
    if (cursor->next(row)) {
        ok = true;
        return row.isEmpty() || row[0].isNull() ? defaultValue : row[0];
    }
    ok = cursor->error().isEmpty();
    if (!ok)
        lastError_ = cursor->error();
    return defaultValue;
}

void zSvr::R_GtVaL(const QString& sql, QVariant& result, const QVariant& defaultValue) {
    bool ok = false;
    result = readValue(sql, defaultValue, ok);
}

QVariant zSvr::R_GtVaL(const QString& sql, const QVariant& defaultValue) {
    bool ok = false;
    return readValue(sql, defaultValue, ok);
}

void zSvr::DvNz(QVariant& value, QVariant& result) {
    if (value.isNull())
        value = QVariant(0);
    result = value;
}

void zSvr::R_PAry(const QString& sql, QVariantList& fields) {
    auto cursor = runQuery(sql);
    if (!cursor)
        return;
    const int n = cursor->names().size();
    if (fields.size() < n)
        fields.resize(n);
    QVector<QVariant> row;
    const bool have = cursor->next(row);
    for (int i = 0; i < n; ++i)
        fields[i] = have ? row[i] : QVariant();
}

void zSvr::T_CnvSq(QString& sql, const QVariantList& values) const {
    fillSqlPlaceholders(sql, values, G().IsJet);
}

bool zSvr::D_Tran(int mode) {
    QString error;
    bool ok = true;
    if (engine_) {
        if (mode == 0)
            ok = engine_->begin(error);
        if (mode == 1)
            ok = engine_->commit(error);
        if (mode == 2)
            ok = engine_->rollback(error);
    }
    if (!ok)
        lastError_ = error;
    inTransaction_ = mode == 0 && ok;
    return ok;
}

void zSvr::DbRead(bool& result) {
    result = readOnly_;
    if (result)
        prompter().message(msg::readOnlyDatabase(), Severity::Warning);
}

bool zSvr::execBound(const QString& sql, const QVariantList& params, int* affected) {
    SqlTranslation t;
    if (!translate(sql, t, true))
        return false;
    bool refused = false;
    DbRead(refused);
    if (refused) {
        lastError_ = msg::readOnlyDatabase();
        return false;
    }
    QString error;
    qint64 n = 0;
    if (!engine_->exec(t.statements.front(), params, n, error)) {
        lastError_ = error + QStringLiteral(" [") + t.statements.front() + u']';
        return false;
    }
    if (affected)
        *affected = static_cast<int>(n);
    return true;
}

std::unique_ptr<Recordset> zSvr::queryBound(const QString& sql, const QVariantList& params) {
    SqlTranslation t;
    if (!translate(sql, t, true))
        return nullptr;
    QString error;
    auto rs = openRecordset(t.statements.front(), params, false, error);
    if (!rs)
        lastError_ = error + QStringLiteral(" [") + t.statements.front() + u']';
    return rs;
}

QString SqlDateLiteral(const QDateTime& when, bool jet) {
    if (jet)
        return u'#' + when.toString(QStringLiteral("MM/dd/yy HH:mm:ss")) + u'#';
    return QStringLiteral("convert(datetime,'") +
           when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) + QStringLiteral("')");
}

QString SqlNow() {
    return SqlDateLiteral(QDateTime::currentDateTime(), G().IsJet);
}

void StampTreeDate(const QVariant& parent, const QVariant& child, bool& ok, bool publishStamp) {
    QString sql = QStringLiteral(" Update tbTree Set ? = ? Where noLfP = ? And noLfC = ? ");
    zSvr& db = zSvr::instance();
    db.T_CnvSq(sql, {publishStamp ? QStringLiteral("dyPub") : QStringLiteral("dyUdt"), SqlNow(),
                     parent, child});
    int n = 0;
    db.D_ExeSq(sql, ok, n);
}

void setInstallationNumber(int n) {
    installationNumber() = n;
}

double NewWkRnd() {
    // Whole numbers: the import finds a page again by its identity written without decimals.
    const double r = QRandomGenerator::global()->generateDouble();
    const int n = installationNumber();
    const double v = std::floor(4294967296.0 * (n >= 1 ? r + n : r));
    return v > 0 ? v : 1;
}

}  // namespace arbor
