#include "db/statement_catalog.h"

#include <QDate>
#include <QTime>
#include <cstring>

#include "app/program_state.h"
#include "db/zsvr.h"

namespace arbor::test {

using namespace Qt::Literals::StringLiterals;

namespace {

QVariant now() {
    return QVariant::fromValue(SqlDate{});
}

QVariant at(int y, int mo, int d, int h, int mi, int s) {
    return QVariant::fromValue(SqlDate{QDateTime(QDate(y, mo, d), QTime(h, mi, s))});
}

// Column list of the placement inserts of the bulk operations.
const QString kBulkInsert =
    u"Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boUse, boLnk, dyUdt, dyUdt_P, dyPub, boHide, boHogo)"_s;
const QString kFormats = u"<USR_LSP>1.5</USR_LSP>\r<USR_FMT0>ＭＳ Ｐゴシック,16,1,0</USR_FMT0>\r"_s;

// Builds one entry: a query unless write() or schema() says otherwise.
class Entry {
  public:
    Entry(const char* id, const char* origin, const QString& text) {
        s_.id = id;
        s_.origin = origin;
        s_.text = text;
    }
    Entry& alsoIn(const char* places) { return set(s_.alsoIn, places); }
    Entry& server(const QString& text) { return set(s_.serverText, text); }
    Entry& write() { return set(s_.phase, Phase::Write); }
    Entry& schema() { return set(s_.phase, Phase::Schema); }
    Entry& values(const QVariantList& v) { return set(s_.values, v); }
    Entry& joined(const QVariantList& v) { return set(s_.joined, v); }
    Entry& rows(int n) { return set(s_.rows, n); }
    Entry& first(const QVariant& v) { return set(s_.first, v); }
    Entry& affected(int n) { return set(s_.affected, n); }
    Entry& setup(const QStringList& statements) { return set(s_.setup, statements); }
    Entry& after(const QString& sql, const QVariant& value) {
        s_.afterSql = sql;
        return set(s_.afterValue, value);
    }
    operator CatalogStatement() const { return s_; }

  private:
    template <typename T, typename V>
    Entry& set(T& field, const V& value) {
        field = value;
        return *this;
    }
    CatalogStatement s_;
};

QVector<CatalogStatement> buildCatalog() {
    return {
        // ---- database access layer
        Entry("tree.stamp", "1.1", u" Update tbTree Set ? = ? Where noLfP = ? And noLfC = ? "_s)
            .alsoIn("3.1 5.3")
            .write()
            .values({u"dyPub"_s, now(), 1001, 1002})
            .affected(1)
            .after(u"Select dyPub From tbTree Where noLfP=1001 And noLfC=1002"_s, now()),
        Entry("tree.rename", "1.1", u"Update tbTree Set szDoc='?' Where noLfP=? and noLfC=?"_s)
            .alsoIn("3.1")
            .write()
            .values({u"It's「第1章」 C# #01/02/24# Select Top 1 Like memo"_s, 1001, 1002})
            .affected(1)
            .after(u"Select szDoc From tbTree Where noLfP=1001 And noLfC=1002"_s,
                   u"It's「第1章」 C# #01/02/24# Select Top 1 Like memo"_s),
        // ---- schema, upgrade, link flags
        Entry("cache.clear", "1.2", u"Update msDoc Set dyHtm = Null"_s)
            .alsoIn("5.3")
            .write()
            .affected(11)
            .after(u"Select Count(*) From msDoc Where dyHtm is Null"_s, 11),
        Entry("formats.read", "1.2", u"Select DmFmt From kaUsr"_s).alsoIn("5.1").rows(1),
        Entry("upgrade.saTgs", "1.2", u"Alter Table msDoc Add saTgs memo"_s)
            .server(u"Alter Table msDoc Add saTgs ntext"_s)
            .schema(),
        Entry("upgrade.txHd", "1.2", u"Alter Table msDoc Add txHd memo"_s)
            .server(u"Alter Table msDoc Add txHd ntext"_s)
            .schema(),
        Entry("upgrade.txBd", "1.2", u"Alter Table msDoc Add txBd memo"_s)
            .server(u"Alter Table msDoc Add txBd ntext"_s)
            .schema(),
        Entry("upgrade.dyHtm", "1.2", u"Alter Table msDoc Add dyHtm date"_s)
            .server(u"Alter Table msDoc Add dyHtm datetime"_s)
            .schema(),
        Entry("upgrade.needed", "1.2", u"Select Count(*) From msDoc Where txBd<>''"_s)
            .alsoIn("5.3")
            .rows(1)
            .first(1),
        Entry("page.maxNo", "1.2", u"Select Max(noDoc) From msDoc"_s)
            .alsoIn("1.3 3.2")
            .rows(1)
            .first(1012),
        Entry("page.missingIdentity", "1.2",
              u"Select noDoc, wkRnd From msDoc Where (wkRnd=0) or (wkRnd is Null)"_s)
            .rows(2),
        Entry(
            "link.rebuildRead", "1.2",
            u"Select noLfC, boLnk, noLfP, boLnk As boLnk2 From tbTree Order By noLfC, boLnk, dyUdt"_s)
            .rows(12)
            .first(1001),
        Entry("link.rebuildWrite", "1.2", u"Update tbTree Set boLnk=? Where noLfP=? And noLfC=?"_s)
            .write()
            .values({0, 0, 1005})
            .affected(1)
            .after(u"Select boLnk From tbTree Where noLfP=0 And noLfC=1005"_s, 0),
        Entry("link.firstTopPage", "1.2",
              u"Select Top 1 noLfC From tbTree Where noLfP=0 Order By inSrt"_s)
            .rows(1)
            .first(1008),
        Entry("link.pictureFlag", "1.2", u"Update msDoc Set boPng={} Where noDoc={}"_s)
            .write()
            .joined({1, 1002})
            .affected(1)
            .after(u"Select boPng From msDoc Where noDoc=1002"_s, 1),
        // ---- database file operations
        Entry("db.deletePages", "1.3", u"Delete From msDoc"_s).write().affected(11),
        Entry("db.deleteTree", "1.3", u"Delete From tbTree"_s).write().affected(12),
        Entry("purge.clearTreeMarks", "1.3", u"Update tbTree Set boUse=0"_s)
            .alsoIn("5.7")
            .write()
            .affected(12),
        Entry("purge.markChildren", "1.3", u" Update tbTree Set boUse=1 Where noLfP={}"_s)
            .write()
            .joined({0})
            .affected(3),
        Entry("purge.children", "1.3", u"Select noLfC From tbTree Where noLfP={} Order By inSrt"_s)
            .joined({1001})
            .rows(3)
            .first(1002),
        Entry("purge.deleteUnmarked", "1.3", u"Delete From tbTree Where boUse=0"_s)
            .write()
            .affected(1),
        Entry("purge.clearPageMarks", "1.3", u"Update msDoc Set boUse=0"_s)
            .alsoIn("5.8 6.1")
            .write()
            .affected(11),
        Entry("purge.markPages", "1.3",
              u" Update msDoc Set boUse=1 Where noDoc in ( Select noLfC From tbTree )"_s)
            .write()
            .affected(10)
            .after(u"Select Count(*) From msDoc Where boUse=1"_s, 10),
        Entry("purge.countUnused", "1.3", u"Select Count(*) From msDoc Where boUse=0 "_s)
            .rows(1)
            .first(1),
        Entry("purge.deletePages", "1.3", u" Delete From msDoc Where boUse=0"_s)
            .write()
            .affected(1),
        Entry("purge.deleteSettings", "1.3",
              u" Delete From tbHtm Where noDoc Not in (Select noDoc From msDoc)"_s)
            .write()
            .affected(1),
        Entry("purge.deleteUnmarkedAgain", "1.3", u"Delete From tbTree Where boUse = 0"_s)
            .write()
            .affected(1),
        Entry("export.children", "1.3",
              u" Select noLfC From tbTree Where noLfP = {} Order By inSrt"_s)
            .joined({0})
            .rows(3)
            .first(1008),
        Entry("export.deleteDictionary", "1.3", u"Delete From msDic"_s).write().affected(2),
        Entry("export.formats", "1.3", u"Update kaUsr Set DmFmt='{}'"_s)
            .alsoIn("5.1")
            .write()
            .joined({kFormats})
            .affected(1)
            .after(u"Select DmFmt From kaUsr"_s, kFormats),
        Entry("export.page", "1.3", u" Select * From msDoc Where noDoc ={}"_s)
            .joined({1001})
            .rows(1),
        Entry(
            "export.placement", "1.3",
            u" Select szDoc, inSrt, boUse, boLnk, dyUdt From tbTree Where noLfP = ? And noLfC = ? "_s)
            .values({1001, 1002})
            .rows(1)
            .first(u"第1章"_s),
        Entry("import.countTop", "1.3", u"Select Count(*) From tbTree Where noLfP= 0 "_s)
            .rows(1)
            .first(3),
        Entry(
            "import.root", "1.3",
            u"Select D.noDoc, D.szDoc, D.wkRnd From msDoc D, tbTree T Where T.noLfP =0 And T.noLfC = D.noDoc"_s)
            .rows(3),
        Entry("import.addDocColumns", "1.3", u"Alter Table msDoc Add nDcS Long, iCmp integer"_s)
            .schema(),
        Entry("import.pageByIdentity", "1.3", u"Select noDoc, dyUdt From msDoc Where wkRnd={}"_s)
            .joined({u"3817264512"_s})
            .rows(1)
            .first(1001),
        Entry(
            "import.existingPlacement", "1.3",
            u"Select T.noLfP, D.szDoc From tbTree T, msDoc D Where T.noLfC = D.noDoc And T.noLfC={}"_s)
            .joined({1005})
            .rows(3),
        Entry("import.addTreeColumns", "1.3",
              u"Alter Table tbTree Add nLpS long, nLcS long, iCmp integer"_s)
            .schema(),
        Entry("import.placementExists", "1.3",
              u"Select Count(*) From tbTree Where noLfP=? And noLfC=?"_s)
            .values({1002, 1005})
            .rows(1)
            .first(1),
        Entry(
            "import.placement", "1.3",
            u"Select noLfP, noLfC, szDoc, inSrt, dyUdt, dyUdt_P From tbTree Where noLfP=? And noLfC=?"_s)
            .values({0, 1001})
            .rows(1)
            .first(0),
        Entry("import.dropDocColumns", "1.3", u"Alter Table msDoc Drop Column nDcS, iCmp"_s)
            .schema(),
        Entry("import.dropTreeColumns", "1.3", u"Alter Table tbTree Drop Column nLpS, nLcS, iCmp"_s)
            .schema(),
        // ---- start-up: publish right
        Entry("publish.read", "2.1", u"Select HsPub From kaUsr"_s)
            .alsoIn("5.3")
            .rows(1)
            .first(u"PC-01"_s),
        Entry("publish.claim", "2.1", u"Update kaUsr Set HsPub='{}'"_s)
            .alsoIn("5.3")
            .write()
            .joined({u"ARBOR-PC"_s})
            .affected(1)
            .after(u"Select HsPub From kaUsr"_s, u"ARBOR-PC"_s),
        Entry("publish.reset", "2.1", u"Update kaUsr Set HsPub=''"_s)
            .alsoIn("5.3")
            .write()
            .affected(1)
            .after(u"Select HsPub From kaUsr"_s, u""_s),
        // ---- page tree
        Entry("tree.childCount", "3.1", u"Select Count(*) From tbTree Where noLfP= {}"_s)
            .joined({1003})
            .rows(1)
            .first(3),
        Entry(
            "tree.properties", "3.1",
            u"Update tbTree Set boLnk=?, boHide=?, boHogo=?, dyUdt=?  Where noLfP=? And noLfC=?"_s)
            .write()
            .values({1, 0, 1, now(), 1007, 1005})
            .affected(1)
            .after(u"Select dyUdt From tbTree Where noLfP=1007 And noLfC=1005"_s, now()),
        Entry("tree.collectingAndDate", "3.1",
              u"Update msDoc Set boCod=?, dyUdt=? Where noDoc=? "_s)
            .write()
            .values({1, now(), 1002})
            .affected(1)
            .after(u"Select dyUdt From msDoc Where noDoc=1002"_s, now()),
        Entry(
            "tree.insertNew", "3.1",
            u" Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, boHogo) Values ( ?, ?, ?,'?', 0, 0, 0)"_s)
            .write()
            .values({1002, 1011, 100, u"新規ﾍﾟｰｼﾞ"_s})
            .affected(1)
            .after(u"Select szDoc From tbTree Where noLfP=1002 And noLfC=1011"_s, u"新規ﾍﾟｰｼﾞ"_s),
        Entry("tree.relabel", "3.1", u"Update tbTree Set szDoc='?' Where noLfP=? And nolfC=? "_s)
            .write()
            .values({u"付録'改'"_s, 1002, 1005})
            .affected(1)
            .after(u"Select szDoc From tbTree Where noLfP=1002 And noLfC=1005"_s, u"付録'改'"_s),
        Entry(
            "tree.nodeKind", "3.1",
            u"Select T.boLnk, D.boCod From tbTree T, msDoc D Where T.noLfC = D.noDoc And T.noLfP = ? And T.noLfC = ? "_s)
            .values({0, 1005})
            .rows(1)
            .first(1),
        Entry("tree.homeCount", "3.1", u"Select Count(*) From tbTree Where boLnk=0 And noLfC={}"_s)
            .joined({1005})
            .rows(1)
            .first(1),
        Entry("tree.collectingFlag", "3.1", u"Select boCod From msDoc Where noDoc={}"_s)
            .joined({1003})
            .rows(1)
            .first(1),
        Entry("tree.placementExists", "3.1",
              u"Select Count(*) From tbTree Where noLfP=? and noLfC=?"_s)
            .values({1001, 1005})
            .rows(1)
            .first(0),
        Entry(
            "tree.insertPlacement", "3.1",
            u" Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, boHogo) Values (?, ?, ?, '?', ?, 0, 0)"_s)
            .write()
            .values({1004, 1005, 101, u"付録の\"写し\""_s, 1})
            .affected(1)
            .after(u"Select szDoc From tbTree Where noLfP=1004 And noLfC=1005"_s,
                   u"付録の\"写し\""_s),
        Entry("tree.taggedBy", "3.1", u"Select szDoc From msDoc Where saTgs like '%.{}.%'"_s)
            .joined({1002})
            .rows(3),
        Entry("tree.childLabels", "3.1",
              u"Select szDoc From tbTree Where noLfP= {} Order By inSrt"_s)
            .joined({1001})
            .rows(3)
            .first(u"第1章"_s),
        Entry("tree.deletePlacement", "3.1",
              u" Delete From tbTree Where noLfP = ? And noLfC = ? "_s)
            .write()
            .values({1007, 1005})
            .affected(1),
        // The renumbering of siblings, up to ten thousand per statement.
        Entry(
            "tree.renumberSiblings", "3.1",
            u" Update tbTree Set inSrt = v.column2, dyUdt = ? From (Values (?, ?), (?, ?), (?, ?)) As v Where tbTree.noLfP = ? And tbTree.noLfC = v.column1"_s)
            .write()
            .values({now(), 1007, 0, 1002, 1, 1003, 2, 1001})
            .affected(3)
            .after(u"Select inSrt From tbTree Where noLfP=1001 And noLfC=1003"_s, 2),
        // One level with whether each page has children (its image).
        Entry(
            "tree.levelWithChildren", "3.1",
            u"Select T.noLfC, T.szDoc, T.boLnk, D.boCod, T.boHogo, T.boHide, Exists (Select noLfP From tbTree C Where C.noLfP = T.noLfC) As hasChild From tbTree T, msDoc D Where T.noLfC = D.noDoc And T.noLfP = ? Order By T.inSrt "_s)
            .values({1001})
            .rows(3)
            .first(1002),
        Entry("tree.otherParent", "3.1",
              u"Select Top 1 noLfP From tbTree Where noLfC=? And noLfP<> ? Order By noLfP"_s)
            .values({1005, 1002})
            .rows(1)
            .first(0),
        Entry("tree.makeHome", "3.1", u"Update tbTree Set boLnk=0 Where noLfP=? and noLfC=?"_s)
            .write()
            .values({1007, 1005})
            .affected(1),
        Entry("tree.makeLinks", "3.1", u"Update tbTree Set boLnk=1 Where noLfP<>? and noLfC=?"_s)
            .write()
            .values({1007, 1005})
            .affected(2)
            .after(u"Select boLnk From tbTree Where noLfP=1002 And noLfC=1005"_s, 1),
        Entry("tree.hidden", "3.1", u"Select boHide From tbTree Where noLfP=? And noLfC=?"_s)
            .values({0, 1008})
            .rows(1)
            .first(1),
        Entry("tree.homeParent", "3.1", u"Select noLfP From tbtree Where boLnk=0 And noLfC = {}"_s)
            .joined({1005})
            .rows(1)
            .first(1002),
        Entry("tree.parents", "3.1", u"Select nolfP From tbTree Where noLfC={}"_s)
            .joined({1002})
            .rows(1)
            .first(1001),
        Entry(
            "tree.collectingList", "3.1",
            u"Select T.noLfC, T.szDoc, D.dyUdt From tbTree T, msDoc D Where T.noLfC = D.noDoc And T.noLfP = ? Order By D.dyUdt Desc"_s)
            .values({1003})
            .rows(3)
            .first(1004),
        Entry(
            "tree.insertCollected", "3.1",
            u" Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, boHogo) Values ( ?, ?, 100,'?', 0, 0, 0)"_s)
            .write()
            .values({1003, 1011, u"お知らせ2022"_s})
            .affected(1)
            .after(u"Select inSrt From tbTree Where noLfP=1003 And noLfC=1011"_s, 100),
        Entry("tree.setCollecting", "3.1", u"Update msDoc Set boCod = ? Where noDoc = ?"_s)
            .write()
            .values({0, 1003})
            .affected(1)
            .after(u"Select boCod From msDoc Where noDoc=1003"_s, 0),
        Entry("tree.searchOneWord", "3.1",
              u" Select noDoc, szDoc From msDoc Where txDoc Like '%{}%'  Order By szDoc "_s)
            .joined({u"arbor"_s})
            .rows(3),
        Entry(
            "tree.searchTwoWords", "3.1",
            u" Select noDoc, szDoc From msDoc Where txDoc Like '%{}%'  And txDoc Like '%{}%'  Order By szDoc "_s)
            .joined({u"arbor"_s, u"本文"_s})
            .rows(2),
        Entry("tree.searchAll", "3.1", u" Select noDoc, szDoc From msDoc Order By szDoc "_s)
            .rows(11),
        Entry("tree.tagReferences", "3.1",
              u"Select noDoc, szDoc From msDoc Where saTgs like '%.{}.%'"_s)
            .alsoIn("4.1")
            .joined({1005})
            .rows(1)
            .first(1002),
        // ---- bulk copy, move and delete
        Entry("bulk.sourceLabel", "3.2", u"Select szDoc From tbTree Where noLfP=? And noLfC=?"_s)
            .values({1003, 1004})
            .rows(1)
            .first(u"お知らせ2024"_s),
        Entry("bulk.children", "3.2",
              u"Select noLfC, szDoc From tbTree Where noLfP=? Order By inSrt"_s)
            .values({1002})
            .rows(1)
            .first(1005),
        Entry("bulk.isLink", "3.2", u"Select boLnk From tbTree Where noLfP=? And noLfC=?"_s)
            .alsoIn("5.3")
            .values({1007, 1005})
            .rows(1)
            .first(1),
        Entry("bulk.delete", "3.2", u"Delete From tbTree Where noLfP=? and noLfC in (?)"_s)
            .write()
            .values({1003, u"1004,1010"_s})
            .affected(2)
            .after(u"Select Count(*) From tbTree Where noLfP=1003"_s, 1),
        Entry("bulk.lastPosition", "3.2", u"Select Max(inSrt) From tbTree Where noLfP={}"_s)
            .joined({1003})
            .rows(1)
            .first(100),
        Entry("bulk.linkSources", "3.2",
              u"Select noLfC, szDoc From tbTree  Where noLfP={} And noLfC in ({}) Order By inSrt"_s)
            .joined({1001, u"1002,1007"_s})
            .rows(2)
            .first(1002),
        Entry("bulk.insertLink", "3.2",
              kBulkInsert + u" Values (?, ?, ?, '?', 1, 1, ?, ?, Null, 0, 0)"_s)
            .write()
            .values({1005, 1009, 1, u"下書き1"_s, now(), now()})
            .affected(1)
            .after(u"Select dyUdt_P From tbTree Where noLfP=1005 And noLfC=1009"_s, now()),
        Entry(
            "bulk.moveSources", "3.2",
            u"Select noLfC, szDoc, boLnk, boHide, boHogo From tbTree  Where noLfP = ? And noLfC in ( ? ) Order By inSrt"_s)
            .values({1001, u"1003,1007"_s})
            .rows(2)
            .first(1003),
        Entry("bulk.insertMoved", "3.2",
              kBulkInsert + u" Values (?, ?, ?, '?', 1, ?, ?, ?, Null, ?, ?)"_s)
            .write()
            .values({1005, 1004, 2, u"お知らせ2024"_s, 0, now(), now(), 0, 1})
            .affected(1)
            .after(u"Select boHogo From tbTree Where noLfP=1005 And noLfC=1004"_s, 1),
        Entry("bulk.deleteMoved", "3.2", u"Delete From tbTree Where noLfP = ? And noLfC in ( ? )"_s)
            .write()
            .values({1003, u"1004,1010,1012"_s})
            .affected(3),
        Entry("bulk.insertCopy", "3.2",
              kBulkInsert + u" Values (?, ?, ?, '?', 1, 0, ?, ?, Null, 0, 0)"_s)
            .write()
            .values({1002, 1013, 1, u"付録のコピー"_s, now(), now()})
            .affected(1)
            .after(u"Select Count(*) From tbTree Where noLfP=1002 And dyPub is Null"_s, 2),
        Entry("bulk.sourcePage", "3.2",
              u"Select szDoc, txDoc, obDoc, boCod From msDoc Where noDoc={}"_s)
            .joined({1002})
            .rows(1)
            .first(u"第1章"_s),
        Entry("bulk.newPage", "3.2", u"Select * From msDoc Where noDoc={}"_s)
            .joined({1013})
            .rows(0),
        Entry("bulk.childrenToLink", "3.2",
              u"Select noLfC, inSrt, szDoc From tbTree Where noLfP={}"_s)
            .joined({1001})
            .rows(3),
        // ---- reverse lookup
        Entry("page.content", "3.3", u"Select obDoc, szDoc From msDoc Where noDoc = {}"_s)
            .alsoIn("4.1")
            .joined({1001})
            .rows(1),
        Entry("reverse.search", "3.3",
              u" Select noDoc, szDoc From msDoc Where txDoc Like '%{}%' Order By szDoc "_s)
            .joined({u"本当?"_s})
            .rows(1)
            .first(1002),
        Entry(
            "reverse.parents", "3.3",
            u"Select T.noLfP, D.szDoc From msDoc D, tbTree T Where T.noLfP = D.noDoc And T.noLfC = {} Order By T.noLfP"_s)
            .joined({1005})
            .rows(2)
            .first(1002),
        Entry("reverse.placedUnder", "3.3",
              u"Select Count(*) From tbTree Where noLfP <> 0 And noLfC = {}"_s)
            .joined({1005})
            .rows(1)
            .first(2),
        // ---- page records
        Entry("page.nextNo", "4.1", u" Select Max(noDoc) From msDoc"_s).rows(1).first(1012),
        Entry(
            "page.save", "4.1",
            u"Select noDoc, szDoc, txDoc, obDoc, saTgs, dyUdt, wkRnd, boCod From msDoc Where noDoc = {}"_s)
            .joined({1002})
            .rows(1)
            .first(1002),
        Entry("page.savedAt", "4.1", u"Select szDoc, dyUdt From msDoc Where noDoc={}"_s)
            .joined({1004})
            .rows(1)
            .first(u"お知らせ2024"_s),
        Entry("page.bytes", "4.1", u"Select obDoc From msDoc Where noDoc = {}"_s)
            .joined({1003})
            .rows(1),
        // ---- HTML conversion
        Entry("html.customNames", "5.2",
              u"Select noDoc, saFnm, boRoot From tbHtm Where saFnm<>'' Order By noDoc"_s)
            .rows(1)
            .first(1002),
        Entry("html.siteKind", "5.2", u"Select HiType, HiPfold, HsPfold  From kaUsr"_s)
            .rows(1)
            .first(2),
        Entry("html.fileName", "5.2", u"Select saFnm, boRoot From tbHtm Where noDoc={}"_s)
            .joined({1002})
            .rows(1)
            .first(u"chapter1.htm"_s),
        Entry("html.mapSettings", "5.2", u"Select HiType, HiPopS  From kaUsr"_s).rows(1).first(2),
        // ---- site build
        Entry("site.collecting", "5.3", u"Select noDoc From msDoc Where boCod = 1 Order By noDoc"_s)
            .rows(1)
            .first(1003),
        Entry("site.templates", "5.3",
              u"Select noDoc, saTpl From tbHtm Where saTpl<>'' Order By noDoc"_s)
            .rows(2)
            .first(1001),
        Entry("site.visibleChildren", "5.3",
              u"Select noLfC From tbTree Where (boHide =0) And (noLfP = {}) Order By inSrt"_s)
            .joined({0})
            .rows(2)
            .first(1001),
        Entry("site.topPage", "5.3",
              u"Select Top 1 noLfC From tbTree Where boHide=0 And noLfP = 0 Order By inSrt"_s)
            .alsoIn("5.4")
            .rows(1)
            .first(1001),
        Entry("site.title", "5.3", u"Select szTtl From tbHtm Where noDoc={}"_s)
            .joined({1001})
            .rows(1)
            .first(u"Arborの本"_s),
        Entry(
            "site.walk", "5.3",
            u"Select noLfC, szDoc, boLnk, boHogo From tbTree  Where boHide =0 And noLfP={} Order By inSrt"_s)
            .alsoIn("5.4")
            .joined({1001})
            .rows(3)
            .first(1002),
        Entry("site.published", "5.3", u"Select dyPub From tbTree Where noLfP=? and noLfC=?"_s)
            .values({1001, 1002})
            .rows(1)
            .first(at(2024, 3, 6, 8, 0, 0)),
        Entry("site.neighbourChange", "5.3",
              u"Select dyUdt_P From tbTree Where noLfP=? and noLfC=?"_s)
            .values({0, 1001})
            .rows(1)
            .first(at(2024, 3, 5, 14, 7, 9)),
        Entry("site.pageChange", "5.3", u"Select dyUdt From msDoc Where noDoc= ?"_s)
            .values({1002})
            .rows(1)
            .first(at(2024, 3, 5, 14, 7, 9)),
        Entry("site.topChange", "5.3", u"Select Max(dyUdt) From tbTree Where nolfP = 0 "_s)
            .rows(1)
            .first(at(2024, 3, 1, 10, 0, 0)),
        Entry("site.placedPages", "5.3",
              u"Select noLfC From tbTree Group By noLfC Order By noLfC"_s)
            .rows(10)
            .first(1001),
        Entry("site.pageLatestChange", "5.3",
              u"Select Max(dyUdt) From tbTree Where nolfP = ? or nolfC = ?"_s)
            .values({1003, 1003})
            .rows(1)
            .first(at(2024, 4, 20, 10, 0, 0)),
        Entry("site.propagate", "5.3",
              u"Update tbTree Set dyUdt_P = ? Where noLfP = ? or noLfC = ?"_s)
            .write()
            .values({at(2024, 4, 20, 10, 0, 0), 1003, 1003})
            .affected(4)
            .after(u"Select dyUdt_P From tbTree Where noLfP=1001 And noLfC=1003"_s,
                   at(2024, 4, 20, 10, 0, 0)),
        Entry("site.pageCache", "5.3",
              u" Select boCod, obDoc, dyUdt, dyHtm, txHd, txBd From msDoc Where noDoc = {}"_s)
            .joined({1001})
            .rows(1)
            .first(0),
        Entry("site.subPages", "5.3", u"Select saSbP From tbHtm Where noDoc = {}"_s)
            .joined({1002})
            .rows(1)
            .first(u"sub1.htm,sub2.htm"_s),
        Entry("site.collectedChildren", "5.3",
              u"Select noLfC From tbTree Where boHide=0 And noLfP={} Order By inSrt"_s)
            .joined({1003})
            .rows(3),
        // ---- navigation
        Entry(
            "nav.countLevel", "5.4",
            u"Select T.noLfC, M.boCod From tbTree T, msDoc M Where (T.noLfC = M.noDoc) And (T.boHide =0)  And (T.noLfP={})  Order By T.inSrt"_s)
            .joined({0})
            .rows(2)
            .first(1001),
        Entry(
            "nav.fillLevel", "5.4",
            u"Select T.noLfC, T.boLnk, T.szDoc, M.boCod From tbTree T, msDoc M Where (T.noLfC = M.noDoc) And (T.boHide =0)  And (T.noLfP={})  Order By T.inSrt"_s)
            .joined({1001})
            .rows(3)
            .first(1002),
        Entry(
            "nav.childrenTable", "5.4",
            u"Select T.noLfC, T.szDoc, D.txDoc From msDoc D, tbTree T Where T.boHide=0 And T.noLfP={} And T.noLfC=D.noDoc Order By T.dyUdt Desc"_s)
            .joined({1003})
            .rows(3)
            .first(1004),
        // ---- site settings
        Entry("settings.topPage", "5.5",
              u"Select Top 1 noLfC From tbTree Where noLfP = 0 And boLnk = 0 Order By inSrt"_s)
            .rows(1)
            .first(1008),
        Entry("settings.pageText", "5.5", u"Select txDoc From msDoc Where noDoc={}"_s)
            .joined({1005})
            .rows(1)
            .first(u"付録の本文 arbor"_s),
        Entry("settings.site", "5.5",
              u"Select HsHome2, HiHome, HiType , HiPopS, HiPfold, HsPfold From kaUsr"_s)
            .rows(1)
            .first(u"https://example.jp/"_s),
        Entry(
            "settings.page", "5.5",
            u"Select noDoc, szTtl, szCpy, szKwd, szDsc, saTpl, saFnm, boRoot, saSbP, boNnx, boTbF, inPng From tbHtm Where noDoc={}"_s)
            .joined({1001})
            .rows(1)
            .first(1001),
        Entry("settings.pageRow", "5.5", u"Select *  From tbHtm Where noDoc={}"_s)
            .joined({1002})
            .rows(1),
        Entry("settings.children", "5.5",
              u"Select noLfC From tbTree Where NoLfP={} Order By inSrt"_s)
            .joined({1002})
            .rows(1)
            .first(1005),
        Entry("settings.hasRow", "5.5", u"Select Count(*) From tbHtm Where noDoc={}"_s)
            .joined({1003})
            .rows(1)
            .first(0),
        Entry("settings.placements", "5.5",
              u"Select noLfC, boLnk From tbTree Where boUse=1 And boHide = 0 And noLfC={}"_s)
            .joined({1005})
            .rows(2),
        Entry("settings.affectedPages", "5.5", u" Select dyUdt From msDoc Where noDoc in ({})"_s)
            .joined({u"1003,1004,1010"_s})
            .rows(3),
        Entry("settings.deletePage", "5.5", u"Delete From tbHtm Where noDoc={}"_s)
            .write()
            .joined({1002})
            .affected(1),
        Entry(
            "settings.saveSite", "5.5",
            u"Update kaUsr Set HsHome2='?', HiHome=?, HiType=?, HiPopS=?, HiPfold=?, HsPfold='?'"_s)
            .write()
            .values({u"https://example.jp/arbor/"_s, 2, 3, 5, 1, u"image"_s})
            .affected(1)
            .after(u"Select HsHome2 From kaUsr"_s, u"https://example.jp/arbor/"_s),
        Entry("settings.topTemplate", "5.5", u"Select saTpl From tbHtm Where noDoc={}"_s)
            .joined({1001})
            .rows(1)
            .first(u"tpl_top.htm"_s),
        // ---- link checker
        Entry("check.placements", "5.7",
              u"Select noLfP, noLfC From tbTree Where (noLfP > 0) And (boHide = 0) "_s)
            .rows(9),
        Entry("check.markHidden", "5.7", u" Update tbTree Set boHide=2 Where noLfP=? And noLfC=?"_s)
            .write()
            .values({1008, 1009})
            .affected(1)
            .after(u"Select boHide From tbTree Where noLfP=1008 And noLfC=1009"_s, 2),
        Entry("check.visibleParents", "5.7",
              u"Select noLfP From tbTree Where boHide=0 And noLfC={} Order By noLfP"_s)
            .joined({1005})
            .rows(3)
            .first(0),
        Entry(
            "check.pages", "5.7",
            u"Select noDoc, szDoc From msDoc Where noDoc in (Select noLfC From tbTree Where boHide=0) Order By noDoc"_s)
            .rows(9)
            .first(1001),
        Entry("check.pageLinks", "5.7",
              u" Select obDoc, saTgs, dyUdt From msDoc Where noDoc = {}"_s)
            .joined({1004})
            .rows(1),
        Entry("check.targetPlaced", "5.7", u"Select Count(*) From tbTree Where noLfC={}"_s)
            .joined({1006})
            .rows(1)
            .first(0),
        Entry("check.targetVisibleAt", "5.7",
              u"Select Count(*) From tbTree Where noLfP=? And noLfC =? And boHide=0 "_s)
            .values({0, 1008})
            .rows(1)
            .first(0),
        Entry("check.targetVisible", "5.7",
              u"Select Count(*) From tbTree Where noLfC =? And boLnk=0 And boHide=0 "_s)
            .values({1005})
            .rows(1)
            .first(1),
        // ---- HTML export
        Entry("htm.markPages", "5.8",
              u"Update msDoc Set boUse=1 where noDoc in (Select noLfC From tbTree)"_s)
            .alsoIn("6.1")
            .write()
            .affected(10),
        Entry(
            "htm.topPage", "5.8",
            u"Select Top 1 noLfC, szDoc From tbTree Where noLfP = 0 And boHide =0 Order By inSrt"_s)
            .rows(1)
            .first(1001),
        Entry(
            "htm.collectedChildren", "5.8",
            u"Select T.noLfC, T.szDoc, D.boCod, T.boLnk, T.boHogo  From tbTree T, msDoc D Where T.noLfC = D.noDoc And T.noLfP = {} And T.boHide =0  Order By D.dyUdt Desc "_s)
            .joined({1003})
            .rows(3)
            .first(1004),
        Entry(
            "htm.children", "5.8",
            u"Select T.noLfC, T.szDoc, D.boCod, T.boLnk, T.boHogo  From tbTree T, msDoc D Where T.noLfC = D.noDoc And T.noLfP = {} And T.boHide =0  Order By T.inSrt "_s)
            .joined({1001})
            .rows(3)
            .first(1002),
        Entry(
            "htm.framePages", "5.8",
            u"Select noLfC, szDoc From tbtree  Where noLfP = 0 And boLnk = 0  And boHide =0  Order By inSrt"_s)
            .rows(1)
            .first(1001),
        Entry(
            "htm.frameChildren", "5.8",
            u"Select noLfC, szDoc From tbtree Where noLfP = {} And boLnk = 0 And boHide =0  Order By inSrt"_s)
            .joined({1001})
            .rows(3)
            .first(1002),
        Entry("htm.frameTop", "5.8",
              u"Select Top 1 noLfC From tbtree Where noLfP = 0  And boHide =0  Order By inSrt"_s)
            .rows(1)
            .first(1001),
        // ---- EPUB
        Entry(
            "epub.title", "6.1",
            u"Select Top 1 H.szTtl From tbTree T, tbHtm H Where T.noLfP = 0 And T.boLnk = 0 And T.noLfC=H.noDoc  Order By T.inSrt"_s)
            .rows(1)
            .first(u"Arborの本"_s),
        Entry(
            "epub.saveSettings", "6.1",
            u"Update kaUsr Set EsTtl='?', EsUid='?', EsCre='?', EsPub='?', EsName='?', EbFold=?, EbTbF=? , EbNit=?  "_s)
            .write()
            .values({u"Arborの本 第2版"_s, u"urn:uuid:arbor?0002"_s, u"山田 'Taro'"_s, u"出版社"_s,
                     u"arbor_book"_s, 1, 0, 1})
            .affected(1)
            .after(u"Select EsCre From kaUsr"_s, u"山田 'Taro'"_s),
        Entry(
            "epub.insertSettings", "6.1",
            u"Insert into kaUsr (EsTtl, EsUid, EsCre, EsPub, EsName, EbFold, EbTbF, EbNit) Values ('?', '?', '?', '?','?', ?, ?, ?)"_s)
            .write()
            .values({u"木の本"_s, u"arepub_4711"_s, u"著者"_s, u""_s, u"book"_s, 0, 1, 0})
            .affected(1)
            .setup({u"Delete From kaUsr"_s})
            .after(u"Select EsTtl From kaUsr"_s, u"木の本"_s),
        Entry("epub.countTop", "6.1", u"Select Count(*) From tbTree Where noLfP=0 And boHide =0"_s)
            .rows(1)
            .first(2),
        Entry("epub.topPages", "6.1", u"Select noLfC From tbTree Where noLfP=0 And boHide =0"_s)
            .rows(2),
        Entry("epub.visibleChildren", "6.1",
              u"Select noLfC From tbTree Where noLfP={} And boHide =0 Order By inSrt"_s)
            .joined({1008})
            .rows(1)
            .first(1009),
        Entry("epub.rootTitle", "6.1", u"Select szDoc From tbTree Where noLfC={}"_s)
            .joined({1009})
            .rows(1)
            .first(u"下書き1"_s),
        Entry("epub.walk", "6.1",
              u"Select noLfC, szDoc  From tbTree Where noLfP={} And boHide =0 Order By inSrt"_s)
            .joined({1002})
            .rows(1)
            .first(1005),
        Entry("epub.page", "6.1", u"Select obDoc, szDoc, boPng From msDoc Where noDoc = {}"_s)
            .joined({1005})
            .rows(1),
        // ---- Word export and backup
        Entry("word.children", "7.1", u" Select noLfC From tbTree Where noLfP={} Order By inSrt "_s)
            .joined({1001})
            .rows(3)
            .first(1002),
        Entry("word.title", "7.1", u"Select szDoc  From tbTree Where noLfP={} And noLfC={}"_s)
            .joined({0, 1005})
            .rows(1)
            .first(u"付録リンク"_s),
        Entry("word.page", "7.1", u" Select obDoc From msDoc Where noDoc = {}"_s)
            .joined({1001})
            .rows(1),
        Entry("word.backup", "7.1",
              u" Select noDoc, obDoc From msDoc Where (Not obDoc is Null) Order By noDoc"_s)
            .rows(4)
            .first(1001),
    };
}

QString sqlDate(int y, int mo, int d, int h, int mi, int s) {
    return SqlDateLiteral(QDateTime(QDate(y, mo, d), QTime(h, mi, s)), G().IsJet);
}

QString quoted(const QString& text) {
    return u"'"_s + text + u"'"_s;
}

QString joinedText(const QVariant& value) {
    const QVariant v = resolveSqlValue(value);
    return v.isValid() ? v.toString() : QString();
}

}  // namespace

const QVector<CatalogStatement>& statementCatalog() {
    static const QVector<CatalogStatement> catalog = buildCatalog();
    return catalog;
}

const CatalogStatement* catalogEntry(const char* id) {
    for (const CatalogStatement& s : statementCatalog())
        if (std::strcmp(s.id, id) == 0)
            return &s;
    return nullptr;
}

QVariant resolveSqlValue(const QVariant& value) {
    if (value.metaType() != QMetaType::fromType<SqlDate>())
        return value;
    const SqlDate date = value.value<SqlDate>();
    return date.when.isValid() ? SqlDateLiteral(date.when, G().IsJet) : SqlNow();
}

QString assembleStatement(const CatalogStatement& statement) {
    return assembleStatement(statement, statement.values, statement.joined);
}

QString assembleStatement(const CatalogStatement& statement, const QVariantList& values,
                          const QVariantList& joined) {
    const QString& text =
        (!G().IsJet && !statement.serverText.isEmpty()) ? statement.serverText : statement.text;
    QString sql;
    qsizetype from = 0;
    int next = 0;
    for (qsizetype mark = text.indexOf(u"{}"); mark >= 0; mark = text.indexOf(u"{}", from)) {
        sql += text.mid(from, mark - from);
        sql += joinedText(joined.value(next++));
        from = mark + 2;
    }
    sql += text.mid(from);
    QVariantList filled;
    for (const QVariant& v : values)
        filled << resolveSqlValue(v);
    zSvr::instance().T_CnvSq(sql, filled);
    return sql;
}

QStringList sampleCollectionStatements() {
    const QString null = u"Null"_s;
    auto page = [&](int no, const QString& title, const QString& text, int cod, int use,
                    const QString& tags, const QString& saved, const QString& rnd,
                    const QString& head, const QString& body, const QString& cached,
                    int png) -> QString {
        return u"Insert Into msDoc (noDoc, szDoc, txDoc, boCod, boUse, saTgs, dyUdt, wkRnd, txHd, txBd, dyHtm, boPng) Values ("_s +
               QStringList{QString::number(no),
                           quoted(title),
                           quoted(text),
                           QString::number(cod),
                           QString::number(use),
                           tags,
                           saved,
                           rnd,
                           head,
                           body,
                           cached,
                           QString::number(png)}
                   .join(u", "_s) +
               u")"_s;
    };
    auto place = [&](int parent, int child, int order, const QString& label, int use, int link,
                     int hide, int hogo, const QString& changed, const QString& around,
                     const QString& published) -> QString {
        return u"Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boUse, boLnk, boHide, boHogo, dyUdt, dyUdt_P, dyPub) Values ("_s +
               QStringList{QString::number(parent),
                           QString::number(child),
                           QString::number(order),
                           quoted(label),
                           QString::number(use),
                           QString::number(link),
                           QString::number(hide),
                           QString::number(hogo),
                           changed,
                           around,
                           published}
                   .join(u", "_s) +
               u")"_s;
    };
    auto settings = [&](int no, const QString& title, const QString& template_, const QString& file,
                        int root, const QString& subPages, int noIndex, int fit,
                        int png) -> QString {
        return u"Insert Into tbHtm (noDoc, szTtl, szDsc, szKwd, szCpy, saTpl, saFnm, boRoot, saSbP, boNnx, boTbF, inPng) Values ("_s +
               QStringList{QString::number(no),
                           quoted(title),
                           quoted(u"説明文"_s),
                           quoted(u"Arbor,木構造"_s),
                           quoted(u"(c) 2024 Arbor"_s),
                           quoted(template_),
                           quoted(file),
                           QString::number(root),
                           quoted(subPages),
                           QString::number(noIndex),
                           QString::number(fit),
                           QString::number(png)}
                   .join(u", "_s) +
               u")"_s;
    };
    return {
        page(1001, u"トップ"_s, u"Arborで作るサイトのトップです。"_s, 0, 1,
             quoted(u".1002.1003."_s), sqlDate(2024, 1, 12, 9, 30, 0), u"3817264512"_s,
             quoted(u"<head>top</head>"_s), quoted(u"<body>top</body>"_s),
             sqlDate(2024, 1, 13, 8, 0, 0), 1),
        page(1002, u"第1章"_s, u"第1章の本文です。本当? ARBOR"_s, 0, 1, quoted(u".1005."_s),
             sqlDate(2024, 3, 5, 14, 7, 9), u"1234567"_s, quoted(QString()), quoted(QString()),
             null, 0),
        page(1003, u"お知らせ"_s, u"お知らせの一覧"_s, 1, 1, quoted(u"."_s),
             sqlDate(2024, 2, 1, 8, 0, 0), u"2000003"_s, null, null, null, 1),
        page(1004, u"お知らせ2024"_s, u"2024年のお知らせ"_s, 0, 1, quoted(u".1002."_s),
             sqlDate(2024, 4, 20, 10, 0, 0), u"2000004"_s, null, null, null, 0),
        page(1005, u"付録"_s, u"付録の本文 arbor"_s, 0, 1, quoted(u"."_s),
             sqlDate(2024, 2, 29, 12, 0, 0), u"2000005"_s, null, null, null, 0),
        page(1007, u"保護ページ"_s, u"保護されたページ"_s, 0, 1, quoted(u"."_s),
             sqlDate(2024, 1, 5, 7, 0, 0), u"0"_s, null, null, null, 0),
        page(1008, u"下書き"_s, u"下書きの本文"_s, 0, 1, quoted(u"."_s),
             sqlDate(2023, 11, 30, 16, 45, 0), null, null, null, null, 0),
        page(1009, u"下書き1"_s, u"下書き1の本文"_s, 0, 1, quoted(u"."_s),
             sqlDate(2023, 12, 1, 9, 0, 0), u"2000009"_s, null, null, null, 0),
        page(1010, u"お知らせ2023"_s, u"2023年のお知らせ"_s, 0, 1, quoted(u"."_s),
             sqlDate(2023, 12, 24, 18, 0, 0), u"2000010"_s, null, null, null, 0),
        page(1011, u"孤立"_s, u"どこにも置かれていないページ"_s, 0, 0, quoted(u".1002."_s),
             sqlDate(2022, 6, 15, 11, 11, 11), u"2000011"_s, null, null, null, 0),
        page(1012, u"お知らせ(未保存)"_s, QString(), 0, 1, null, null, u"2000012"_s, null, null,
             null, 0),

        place(0, 1008, 0, u"下書き"_s, 1, 0, 1, 0, sqlDate(2023, 11, 30, 16, 45, 0), null, null),
        place(0, 1001, 1, u"トップ"_s, 1, 0, 0, 0, sqlDate(2024, 1, 12, 9, 30, 0),
              sqlDate(2024, 3, 5, 14, 7, 9), sqlDate(2024, 1, 13, 8, 0, 0)),
        place(0, 1005, 2, u"付録リンク"_s, 1, 1, 0, 0, sqlDate(2024, 3, 1, 10, 0, 0), null, null),
        place(1001, 1002, 0, u"第1章"_s, 1, 0, 0, 0, sqlDate(2024, 3, 5, 14, 7, 9), null,
              sqlDate(2024, 3, 6, 8, 0, 0)),
        place(1001, 1003, 1, u"お知らせ"_s, 1, 0, 0, 0, sqlDate(2024, 2, 1, 8, 0, 0), null, null),
        place(1001, 1007, 2, u"保護ページ"_s, 1, 0, 0, 1, sqlDate(2024, 1, 5, 7, 0, 0), null, null),
        place(1002, 1005, 0, u"付録"_s, 1, 0, 0, 0, sqlDate(2024, 2, 29, 12, 0, 0), null, null),
        place(1007, 1005, 0, u"付録(保護下)"_s, 0, 1, 0, 0, null, null, null),
        place(1003, 1004, 100, u"お知らせ2024"_s, 1, 0, 0, 0, sqlDate(2024, 4, 20, 10, 0, 0), null,
              null),
        place(1003, 1010, 100, u"お知らせ2023"_s, 1, 0, 0, 0, sqlDate(2023, 12, 24, 18, 0, 0), null,
              null),
        place(1003, 1012, 100, u"お知らせ(未保存)"_s, 1, 0, 0, 0, null, null, null),
        place(1008, 1009, 0, u"下書き1"_s, 1, 0, 0, 0, sqlDate(2023, 12, 1, 9, 0, 0), null, null),

        settings(1001, u"Arborの本"_s, u"tpl_top.htm"_s, QString(), 0, QString(), 0, 0, 2),
        settings(1002, u"第1章"_s, u"tpl_ch.htm"_s, u"chapter1.htm"_s, 1, u"sub1.htm,sub2.htm"_s, 1,
                 1, 1),
        settings(1099, u"削除済み"_s, QString(), QString(), 0, QString(), 0, 0, 0),

        u"Insert Into msDic (skDic, szDic) Values ('用語A', '説明A')"_s,
        u"Insert Into msDic (skDic, szDic) Values ('用語B', '説明B')"_s,

        u"Update kaUsr Set HsPub='PC-01', HsHome2='https://example.jp/', HiHome=2, HiType=2, HiPopS=4, HiPfold=1, HsPfold='Images', EsTtl='Arborの本', EsUid='urn:uuid:arbor-0001', EsCre='著者', EsPub='出版社', EsName='arbor', EbFold=0, EbTbF=0, EbNit=0"_s,
    };
}

QVector<QPair<int, QByteArray>> samplePageBytes() {
    // Bytes that are not text: zero bytes, high bytes, a quote and a question mark.
    const QByteArray bytes("ARBOR\x00\x01\x02\xff\xfe'?\x80", 13);
    return {{1001, bytes}, {1002, bytes + "2"}, {1004, bytes + "4"}, {1005, bytes + "5"}};
}

}  // namespace arbor::test
