#pragma once
// Every SQL statement the program writes, assembled as it reaches zSvr, with sample
// values that fit the sample collection below. The catalog test runs each of them on
// both engines; later code takes the text from here exactly as written (spacing and
// case included: the translation in zSvr has to cope with the text as it is).
//
// Sample collection (page numbers, placement labels in the tree):
//   0 ─┬─ 1008 下書き          inSrt 0, hidden (boHide 1)
//      │    └─ 1009 下書き1
//      ├─ 1001 トップ          inSrt 1
//      │    ├─ 1002 第1章
//      │    │    └─ 1005 付録          home placement of 1005
//      │    ├─ 1003 お知らせ    collecting page (boCod 1)
//      │    │    ├─ 1004 お知らせ2024      saved 2024-04-20
//      │    │    ├─ 1010 お知らせ2023      saved 2023-12-24
//      │    │    └─ 1012 お知らせ(未保存)  never saved (dyUdt Null)
//      │    └─ 1007 保護ページ  protected (boHogo 1)
//      │         └─ 1005 付録(保護下)   link, dyUdt Null, boUse 0
//      └─ 1005 付録リンク      inSrt 2, link
//   1011 孤立: a page without placement (boUse 0). tbHtm rows for 1001, 1002 and for
//   the deleted page 1099; two msDic rows; the kaUsr row filled in.

#include <QDateTime>
#include <QMetaType>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace arbor::test {

// A date the program writes into SQL text: SqlNow() when `when` is null, otherwise
// SqlDateLiteral(when) in the dialect of the open database. As an expected value, a
// null `when` means "now, give or take a minute".
struct SqlDate {
    QDateTime when;
};

enum class Phase {
    Read,    // returns rows; run on the sample collection
    Write,   // returns no rows; run in a transaction that is rolled back afterwards
    Schema,  // Alter Table; run by the schema tests in their own order
};

struct CatalogStatement {
    const char* id = "";      // unique key for checks and messages
    const char* origin = "";  // where the statement is written, e.g. "1.3"
    const char* alsoIn = "";  // further places writing the same text ("5.3 5.4"), or ""
    QString text;             // as written; "{}" marks a value joined in with "+"
    QString serverText;       // the text the program writes when IsJet is false, if different
    Phase phase = Phase::Read;
    QVariantList values;  // for the "?" placeholders, left to right (T_CnvSq)
    QVariantList joined;  // for the "{}" marks, left to right
    // Expected results on the sample collection; unset ones are not checked.
    int rows = -1;        // Read: number of rows
    QVariant first;       // Read: first field of the first row
    int affected = -1;    // Write: records affected
    QStringList setup;    // Write: statements run before it, in the same transaction
    QString afterSql;     // Write: a query run afterwards ...
    QVariant afterValue;  // ... and the first field it must give

    bool returnsRows() const { return phase == Phase::Read; }
};

// The catalog, in the order of the places that write the statements.
const QVector<CatalogStatement>& statementCatalog();
// The entry with this id, or nullptr.
const CatalogStatement* catalogEntry(const char* id);

// The text as the program sends it to zSvr: the dialect form chosen by G().IsJet,
// joined values put in, dates turned into literals of the open database, then the
// placeholders filled with zSvr::T_CnvSq.
QString assembleStatement(const CatalogStatement& statement);
// The same with other values (for checks that vary them).
QString assembleStatement(const CatalogStatement& statement, const QVariantList& values,
                          const QVariantList& joined);
// A value as it goes into SQL text or placeholder lists (SqlDate becomes a literal).
QVariant resolveSqlValue(const QVariant& value);

// Statements that fill a fresh document database with the sample collection, in the
// dialect of the open database (run them through zSvr::D_ExeSq).
QStringList sampleCollectionStatements();
// Page bytes (msDoc.obDoc) of the sample collection, written with bound values.
QVector<QPair<int, QByteArray>> samplePageBytes();

}  // namespace arbor::test

Q_DECLARE_METATYPE(arbor::test::SqlDate)
