// Runs every statement of the catalog, as the program writes it, on SQLite and on
// PostgreSQL, against the sample collection, and checks what comes back.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QRegularExpression>
#include <QSet>
#include <string>

#include "app/program_state.h"
#include "db/result_array.h"
#include "db/statement_catalog.h"
#include "db/zsvr.h"
#include "support/doc_db.h"

namespace arbor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

// The statements the schema tests below run, in their order.
const char* const kUpgradeTextColumns[] = {"saTgs", "txHd", "txBd"};
const char* const kImportPairs[] = {"import.addDocColumns", "import.addTreeColumns",
                                    "import.dropDocColumns", "import.dropTreeColumns"};

std::string str(const QString& s) {
    return s.toStdString();
}

QString describe(const QVariant& v) {
    if (!v.isValid())
        return u"Null"_s;
    if (v.metaType() == QMetaType::fromType<SqlDate>()) {
        const QDateTime when = v.value<SqlDate>().when;
        return when.isValid() ? when.toString(u"yyyy-MM-dd hh:mm:ss"_s) : u"now"_s;
    }
    return QString::fromLatin1(v.typeName()) + u" "_s + v.toString();
}

// Where a statement comes from, the text sent and the last error of zSvr.
std::string context(const CatalogStatement& s, const QString& sql) {
    return str(u"[%1, written in %2] %3\n    last error: %4"_s.arg(
        QString::fromLatin1(s.id), QString::fromLatin1(s.origin), sql,
        zSvr::instance().lastError()));
}

// Compares a value read back with an expected one: numbers as numbers, dates by their
// wall-clock time (a SqlDate without time means "now"), anything else as text.
::testing::AssertionResult sameValue(const QVariant& actual, const QVariant& expected) {
    if (expected.metaType() == QMetaType::fromType<SqlDate>()) {
        const QDateTime got = actual.toDateTime();
        if (!actual.isValid() || !got.isValid())
            return ::testing::AssertionFailure()
                   << "expected a date, got " << str(describe(actual));
        const QDateTime wallClock(got.date(), got.time());
        const QDateTime want = expected.value<SqlDate>().when;
        if (!want.isValid()) {
            const QDateTime current(QDate::currentDate(), QTime::currentTime());
            if (qAbs(wallClock.secsTo(current)) > 60)
                return ::testing::AssertionFailure()
                       << "expected about now (" << str(current.toString(Qt::ISODate)) << "), got "
                       << str(wallClock.toString(Qt::ISODate));
            return ::testing::AssertionSuccess();
        }
        const QString format = u"yyyy-MM-dd hh:mm:ss"_s;
        if (wallClock.toString(format) != want.toString(format))
            return ::testing::AssertionFailure() << "expected " << str(want.toString(format))
                                                 << ", got " << str(wallClock.toString(format));
        return ::testing::AssertionSuccess();
    }
    if (!actual.isValid())
        return ::testing::AssertionFailure()
               << "expected " << str(describe(expected)) << ", got Null";
    if (expected.typeId() == QMetaType::Int || expected.typeId() == QMetaType::LongLong) {
        bool isNumber = false;
        const qlonglong got = actual.toLongLong(&isNumber);
        if (!isNumber || got != expected.toLongLong())
            return ::testing::AssertionFailure()
                   << "expected " << expected.toLongLong() << ", got " << str(describe(actual));
        return ::testing::AssertionSuccess();
    }
    if (actual.toString() != expected.toString())
        return ::testing::AssertionFailure()
               << "expected \"" << str(expected.toString()) << "\", got " << str(describe(actual));
    return ::testing::AssertionSuccess();
}

bool run(const QString& sql, QString& failure) {
    bool ok = false;
    int affected = 0;
    zSvr::instance().D_ExeSq(sql, ok, affected);
    if (!ok)
        failure = sql + u"\n    last error: "_s + zSvr::instance().lastError();
    return ok;
}

bool fillSampleCollection(QString& failure) {
    for (const QString& sql : sampleCollectionStatements())
        if (!run(sql, failure))
            return false;
    for (const auto& [page, bytes] : samplePageBytes())
        if (!zSvr::instance().execBound(u"Update msDoc Set obDoc=? Where noDoc=?"_s,
                                        {bytes, page})) {
            failure = u"page bytes of %1: %2"_s.arg(page).arg(zSvr::instance().lastError());
            return false;
        }
    return true;
}

// The first field of every row, as whole numbers ("1004, 1010").
QString pageNumbers(const ResultArray& rows) {
    QStringList numbers;
    for (int row = 0; row < rows.rowCount(); ++row)
        numbers << rows(0, row).toString();
    return numbers.join(u", "_s);
}

class StatementCatalogTest : public ::testing::TestWithParam<DbEngine> {};

// Opens a fresh document database for the engine and fills in the sample collection.
#define OPEN_SAMPLE_COLLECTION(db)                                                             \
    ARBOR_OPEN_DOCDB(db, GetParam());                                                          \
    ASSERT_EQ(G().IsJet, GetParam() == DbEngine::SQLite)                                       \
        << "the open database decides which dialect form the program writes";                  \
    do {                                                                                       \
        QString failure_;                                                                      \
        ASSERT_TRUE(fillSampleCollection(failure_)) << "sample collection: " << str(failure_); \
    } while (0)

TEST_P(StatementCatalogTest, EveryQueryRunsAndGivesTheSampleRows) {
    OPEN_SAMPLE_COLLECTION(db);
    zSvr& server = zSvr::instance();
    for (const CatalogStatement& s : statementCatalog()) {
        if (s.phase != Phase::Read)
            continue;
        const QString sql = assembleStatement(s);
        ResultArray rows;
        const bool ok = server.readRows(sql, rows);
        EXPECT_TRUE(ok) << context(s, sql);
        if (!ok)
            continue;
        if (s.rows >= 0) {
            EXPECT_EQ(rows.rowCount(), s.rows) << context(s, sql);
        }
        if (!s.first.isValid())
            continue;
        if (rows.isEmpty()) {
            ADD_FAILURE() << "no row to check the first value in\n" << context(s, sql);
            continue;
        }
        EXPECT_TRUE(sameValue(rows(0, 0), s.first)) << context(s, sql);
    }
}

TEST_P(StatementCatalogTest, EveryChangeRunsAndTouchesTheExpectedRows) {
    OPEN_SAMPLE_COLLECTION(db);
    zSvr& server = zSvr::instance();
    for (const CatalogStatement& s : statementCatalog()) {
        if (s.phase != Phase::Write)
            continue;
        // Each change starts from the sample collection: it is rolled back afterwards.
        server.D_Tran(0);
        QString failure;
        bool ready = true;
        for (const QString& step : s.setup) {
            ready = run(step, failure);
            EXPECT_TRUE(ready) << "setup of " << s.id << ": " << str(failure);
            if (!ready)
                break;
        }
        const QString sql = assembleStatement(s);
        if (ready) {
            bool ok = false;
            int affected = -1;
            server.D_ExeSq(sql, ok, affected);
            EXPECT_TRUE(ok) << context(s, sql);
            if (ok && s.affected >= 0) {
                EXPECT_EQ(affected, s.affected) << context(s, sql);
            }
            if (ok && !s.afterSql.isEmpty()) {
                bool ran = false;
                const QVariant value = server.readValue(s.afterSql, QVariant(), ran);
                EXPECT_TRUE(ran) << "check " << str(s.afterSql) << " after\n" << context(s, sql);
                if (ran) {
                    EXPECT_TRUE(sameValue(value, s.afterValue))
                        << "check " << str(s.afterSql) << " after\n"
                        << context(s, sql);
                }
            }
        }
        server.D_Tran(2);
    }
    // The rollbacks left the sample collection as it was.
    EXPECT_EQ(server.R_GtVaL(u"Select Count(*) From tbTree"_s, -1).toInt(), 12);
    EXPECT_EQ(server.R_GtVaL(u"Select Count(*) From msDoc"_s, -1).toInt(), 11);
    EXPECT_EQ(
        server.R_GtVaL(u"Select szDoc From tbTree Where noLfP=1001 And noLfC=1002"_s, QString())
            .toString(),
        u"第1章"_s);
}

TEST_P(StatementCatalogTest, UpgradeAddsCacheColumnsThatKeepTextsAndDates) {
    OPEN_SAMPLE_COLLECTION(db);
    zSvr& server = zSvr::instance();
    QString failure;
    // A database from before the upgrade lacks the column; texts that look like numbers
    // must come back as the same texts from the added column.
    for (const char* column : kUpgradeTextColumns) {
        const QString name = QString::fromLatin1(column);
        ASSERT_TRUE(run(u"Alter Table msDoc Drop Column "_s + name, failure)) << str(failure);
        const CatalogStatement* s = catalogEntry(("upgrade." + std::string(column)).c_str());
        ASSERT_NE(s, nullptr);
        const QString sql = assembleStatement(*s);
        ASSERT_TRUE(server.D_ExeSq(sql)) << context(*s, sql);
        ASSERT_TRUE(run(u"Update msDoc Set %1='0123' Where noDoc=1002"_s.arg(name), failure))
            << str(failure);
        const QVariant value =
            server.R_GtVaL(u"Select %1 From msDoc Where noDoc=1002"_s.arg(name), QVariant());
        EXPECT_EQ(value.typeId(), QMetaType::QString)
            << context(*s, sql) << "\n    read back " << str(describe(value));
        EXPECT_EQ(value.toString(), u"0123"_s) << context(*s, sql);
    }
    // The date column keeps the time of day.
    ASSERT_TRUE(run(u"Alter Table msDoc Drop Column dyHtm"_s, failure)) << str(failure);
    const CatalogStatement* date = catalogEntry("upgrade.dyHtm");
    ASSERT_NE(date, nullptr);
    const QString dateSql = assembleStatement(*date);
    ASSERT_TRUE(server.D_ExeSq(dateSql)) << context(*date, dateSql);
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    ASSERT_TRUE(
        run(u"Update msDoc Set dyHtm="_s + SqlDateLiteral(when, G().IsJet) + u" Where noDoc=1002"_s,
            failure))
        << str(failure);
    EXPECT_TRUE(sameValue(server.R_GtVaL(u"Select dyHtm From msDoc Where noDoc=1002"_s, QVariant()),
                          QVariant::fromValue(SqlDate{when})))
        << context(*date, dateSql);

    // Upgrading an upgraded database changes nothing (the statement may fail, harmlessly).
    for (const char* id : {"upgrade.saTgs", "upgrade.txHd", "upgrade.txBd", "upgrade.dyHtm"})
        server.D_ExeSq(assembleStatement(*catalogEntry(id)));
    EXPECT_EQ(server.R_GtVaL(u"Select saTgs From msDoc Where noDoc=1002"_s, QVariant()).toString(),
              u"0123"_s)
        << str(server.lastError());
    EXPECT_EQ(server.R_GtVaL(u"Select Count(*) From msDoc"_s, -1).toInt(), 11)
        << str(server.lastError());
}

TEST_P(StatementCatalogTest, ImportWorkColumnsAreAddedUsedAndDropped) {
    OPEN_SAMPLE_COLLECTION(db);
    zSvr& server = zSvr::instance();
    auto runEntry = [&](const char* id) {
        const CatalogStatement* s = catalogEntry(id);
        if (s == nullptr)
            return ::testing::AssertionFailure() << "no catalog entry " << id;
        const QString sql = assembleStatement(*s);
        if (!server.D_ExeSq(sql))
            return ::testing::AssertionFailure() << context(*s, sql);
        return ::testing::AssertionSuccess();
    };
    QString failure;
    // Twice: every import adds the columns at its start and drops them at its end.
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round == 1 ? "first import" : "second import");
        ASSERT_TRUE(runEntry(kImportPairs[0]));
        ASSERT_TRUE(runEntry(kImportPairs[1]));
        ASSERT_TRUE(run(u"Update msDoc Set nDcS=1013, iCmp=2 Where noDoc=1001"_s, failure))
            << str(failure);
        ASSERT_TRUE(
            run(u"Update tbTree Set nLpS=1013, nLcS=1014, iCmp=1 Where noLfP=0 And noLfC=1001"_s,
                failure))
            << str(failure);
        EXPECT_TRUE(sameValue(
            server.R_GtVaL(u"Select nDcS From msDoc Where noDoc=1001"_s, QVariant()), 1013));
        EXPECT_TRUE(
            sameValue(server.R_GtVaL(u"Select iCmp From msDoc Where noDoc=1001"_s, QVariant()), 2));
        EXPECT_TRUE(sameValue(
            server.R_GtVaL(u"Select nLcS From tbTree Where noLfP=0 And noLfC=1001"_s, QVariant()),
            1014));
        EXPECT_TRUE(runEntry(kImportPairs[2]));
        EXPECT_TRUE(runEntry(kImportPairs[3]));
        for (const QString& gone : {u"Select nDcS From msDoc"_s, u"Select iCmp From msDoc"_s,
                                    u"Select nLpS From tbTree"_s, u"Select nLcS From tbTree"_s,
                                    u"Select iCmp From tbTree"_s}) {
            ResultArray rows;
            EXPECT_FALSE(server.readRows(gone, rows)) << str(gone) << " still runs after the drop";
        }
    }
    // The tables keep their rows and own columns.
    EXPECT_EQ(server.R_GtVaL(u"Select Count(*) From tbTree"_s, -1).toInt(), 12);
    EXPECT_EQ(server.R_GtVaL(u"Select szDoc From msDoc Where noDoc=1001"_s, QString()).toString(),
              u"トップ"_s);
}

TEST_P(StatementCatalogTest, NullsSortFirstAscendingAndLastDescending) {
    OPEN_SAMPLE_COLLECTION(db);
    zSvr& server = zSvr::instance();
    // Placements of page 1005: the home placement, then the links, the one without a
    // date (1007) before the dated one (0).
    const CatalogStatement* rebuild = catalogEntry("link.rebuildRead");
    ASSERT_NE(rebuild, nullptr);
    const QString rebuildSql = assembleStatement(*rebuild);
    ResultArray rows;
    ASSERT_TRUE(server.readRows(rebuildSql, rows)) << context(*rebuild, rebuildSql);
    QStringList parents;
    for (int row = 0; row < rows.rowCount(); ++row)
        if (rows(0, row).toInt() == 1005)
            parents << rows(2, row).toString();
    EXPECT_EQ(str(parents.join(u", "_s)), "1002, 1007, 0") << context(*rebuild, rebuildSql);

    // Children of the collecting page, newest first; the page never saved comes last.
    for (const char* id : {"tree.collectingList", "htm.collectedChildren", "nav.childrenTable"}) {
        const CatalogStatement* s = catalogEntry(id);
        ASSERT_NE(s, nullptr);
        const QString sql = assembleStatement(*s);
        ResultArray children;
        ASSERT_TRUE(server.readRows(sql, children)) << context(*s, sql);
        EXPECT_EQ(str(pageNumbers(children)), "1004, 1010, 1012") << context(*s, sql);
    }
}

TEST_P(StatementCatalogTest, QuestionMarksInTitlesAreKept) {
    OPEN_SAMPLE_COLLECTION(db);
    zSvr& server = zSvr::instance();
    // A "?" inside a value is the user's text: it is stored, and the placeholders after
    // it still get their own values.
    const CatalogStatement* rename = catalogEntry("tree.rename");
    ASSERT_NE(rename, nullptr);
    const QString sql = assembleStatement(*rename, {u"なぜ?第1章"_s, 1001, 1002}, {});
    bool ok = false;
    int affected = 0;
    server.D_ExeSq(sql, ok, affected);
    ASSERT_TRUE(ok) << context(*rename, sql);
    EXPECT_EQ(affected, 1) << context(*rename, sql);
    EXPECT_EQ(
        server.R_GtVaL(u"Select szDoc From tbTree Where noLfP=1001 And noLfC=1002"_s, QVariant())
            .toString(),
        u"なぜ?第1章"_s)
        << context(*rename, sql);
}

TEST_P(StatementCatalogTest, SearchWordsMatchAsTypedWhateverTheirCase) {
    OPEN_SAMPLE_COLLECTION(db);
    zSvr& server = zSvr::instance();
    QString failure;
    // A page whose text names a file path: backslashes are plain characters of the
    // pattern, as in the file database, and letters match in either case.
    ASSERT_TRUE(
        run(u"Update msDoc Set txDoc='リンク先 C:\\Site\\arbor\\pub' Where noDoc=1007"_s, failure))
        << str(failure);
    struct Search {
        const char* id;
        QVariantList words;
    };
    for (const Search& search :
         {Search{"reverse.search", {u"\\Site\\arbor"_s}}, Search{"tree.searchOneWord", {u"SITE"_s}},
          Search{"tree.searchTwoWords", {u"c:\\"_s, u"PUB"_s}}}) {
        const CatalogStatement* s = catalogEntry(search.id);
        ASSERT_NE(s, nullptr);
        const QString sql = assembleStatement(*s, s->values, search.words);
        ResultArray rows;
        ASSERT_TRUE(server.readRows(sql, rows)) << context(*s, sql);
        EXPECT_EQ(str(pageNumbers(rows)), "1007") << context(*s, sql);
    }
}

TEST_P(StatementCatalogTest, PageIdentityFromNewWkRndIsFoundByTheImportLookup) {
    OPEN_SAMPLE_COLLECTION(db);
    zSvr& server = zSvr::instance();
    const CatalogStatement* lookup = catalogEntry("import.pageByIdentity");
    ASSERT_NE(lookup, nullptr);
    // The import writes the identity of a source page as a whole number into the text.
    for (int installation : {0, 3}) {
        SCOPED_TRACE(installation == 0 ? "no installation number" : "installation number 3");
        setInstallationNumber(installation);
        const double identity = NewWkRnd();
        ASSERT_TRUE(server.execBound(u"Update msDoc Set wkRnd=? Where noDoc=?"_s, {identity, 1005}))
            << str(server.lastError());
        const QString sql = assembleStatement(*lookup, {}, {QString::number(identity, 'f', 0)});
        ResultArray rows;
        ASSERT_TRUE(server.readRows(sql, rows)) << context(*lookup, sql);
        ASSERT_EQ(rows.rowCount(), 1)
            << "identity " << QString::number(identity, 'f', 6).toStdString() << " is not found by "
            << context(*lookup, sql);
        EXPECT_EQ(rows(0, 0).toInt(), 1005);
    }
    setInstallationNumber(0);
}

ARBOR_INSTANTIATE_ENGINES(StatementCatalogTest);

// The catalog itself: one entry per distinct text, values for every placeholder and
// mark, and each statement in the phase its kind needs.
TEST(StatementCatalog, EntriesAreDistinctAndComplete) {
    QSet<QString> ids;
    QSet<QString> texts;
    const QRegularExpression select(u"^\\s*select\\s"_s, QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression alter(u"^\\s*alter\\s+table\\s"_s,
                                   QRegularExpression::CaseInsensitiveOption);
    for (const CatalogStatement& s : statementCatalog()) {
        const QString id = QString::fromLatin1(s.id);
        EXPECT_FALSE(ids.contains(id)) << "id used twice: " << s.id;
        ids.insert(id);
        EXPECT_FALSE(texts.contains(s.text)) << "same text twice: " << str(s.text);
        texts.insert(s.text);
        EXPECT_FALSE(QString::fromLatin1(s.origin).isEmpty()) << s.id;
        for (const QString& text : {s.text, s.serverText}) {
            if (text.isEmpty())
                continue;
            EXPECT_EQ(text.count(u'?'), s.values.size()) << s.id << ": values for the placeholders";
            EXPECT_EQ(text.count(u"{}"_s), s.joined.size()) << s.id << ": values to join in";
        }
        EXPECT_EQ(s.returnsRows(), select.match(s.text).hasMatch()) << s.id;
        EXPECT_EQ(s.phase == Phase::Schema, alter.match(s.text).hasMatch()) << s.id;
        if (s.phase != Phase::Read) {
            EXPECT_FALSE(s.first.isValid() || s.rows >= 0) << s.id;
        }
        if (s.phase != Phase::Write) {
            EXPECT_TRUE(s.afterSql.isEmpty() && s.setup.isEmpty()) << s.id;
        }
    }
    // Every Alter Table is run by the schema tests above.
    QSet<QString> exercised;
    for (const char* column : kUpgradeTextColumns)
        exercised.insert(u"upgrade."_s + QString::fromLatin1(column));
    exercised.insert(u"upgrade.dyHtm"_s);
    for (const char* id : kImportPairs)
        exercised.insert(QString::fromLatin1(id));
    QStringList schema;
    for (const CatalogStatement& s : statementCatalog())
        if (s.phase == Phase::Schema)
            schema << QString::fromLatin1(s.id);
    QStringList covered(exercised.cbegin(), exercised.cend());
    schema.sort();
    covered.sort();
    EXPECT_EQ(str(schema.join(u", "_s)), str(covered.join(u", "_s)));
}

}  // namespace
}  // namespace arbor::test
