#include "support/doc_db.h"

#include "db/data_link.h"
#include "db/pg_engine.h"
#include "db/schema.h"
#include "db/sqlite_engine.h"
#include "db/zsvr.h"

namespace arbor::test {

TestDocDb::~TestDocDb() {
    zSvr::instance().D_Close();
}

std::unique_ptr<TestDocDb> TestDocDb::create(DbEngine engine, QString& reason, bool withSchema) {
    std::unique_ptr<TestDocDb> db(new TestDocDb);
    db->engine_ = engine;
    QStringList schema;
    if (withSchema) {
        schema = readSchemaStatements(QStringLiteral(ARBOR_TEST_APDATA "schema.sql"), reason);
        if (schema.isEmpty())
            return nullptr;
    }
    if (engine == DbEngine::SQLite) {
        db->path_ = db->dir_.path() + QStringLiteral("/test.txdb");
        if (withSchema) {
            if (!createDocumentDbFile(db->path_, schema, QString(), reason))
                return nullptr;
        } else if (!SqliteEngine::create(db->path_, reason)) {
            return nullptr;
        }
    } else {
        db->pg_ = PgTestDatabase::create(reason);
        if (!db->pg_)
            return nullptr;
        db->path_ = db->pg_->udlPath();
        if (withSchema) {
            DataLink link;
            if (!readDataLink(db->path_, link, reason))
                return nullptr;
            bool refused = false;
            auto pg = PgEngine::open(link, reason, refused);
            if (!pg || !createDocumentSchema(*pg, schema, QString(), reason))
                return nullptr;
        }
    }
    if (withSchema) {
        bool ok = false;
        zSvr::instance().D_StDcDb(db->path_, ok);
        if (!ok) {
            reason = QStringLiteral("D_StDcDb failed: ") + zSvr::instance().lastError();
            return nullptr;
        }
    }
    return db;
}

}  // namespace arbor::test
