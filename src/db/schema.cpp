#include "db/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <map>

#include "app/prompter.h"
#include "db/db_messages.h"
#include "db/engine.h"
#include "db/sql_dialect.h"
#include "db/sqlite_engine.h"
#include "db/zsvr.h"

namespace arbor {

QStringList readSchemaStatements(const QString& schemaPath, QString& error) {
    QFile f(schemaPath);
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("ｽｷｰﾏ ﾌｧｲﾙが読めません: ") + schemaPath + QStringLiteral(" (") +
                f.errorString() + u')';
        return {};
    }
    QStringList statements;
    QString current;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("--")))
            continue;
        if (line.endsWith(u';')) {
            current += line.chopped(1);
            statements << current.simplified();
            current.clear();
        } else {
            current += line + u' ';
        }
    }
    if (!current.trimmed().isEmpty())
        statements << current.simplified();
    if (statements.isEmpty())
        error = QStringLiteral("ｽｷｰﾏ ﾌｧｲﾙが空です: ") + schemaPath;
    return statements;
}

bool createDocumentSchema(Engine& engine, const QStringList& schema, const QString& formatsText,
                          QString& error) {
    if (schema.isEmpty()) {
        error = QStringLiteral("ｽｷｰﾏがありません");
        return false;
    }
    if (!engine.begin(error))
        return false;
    auto fail = [&](const QString& why) {
        error = why;
        QString ignored;
        engine.rollback(ignored);
        return false;
    };
    qint64 n = 0;
    for (const QString& statement : schema) {
        const SqlTranslation t = translateSql(statement, engine.dialect());
        if (!t.ok())
            return fail(t.error + QStringLiteral(": ") + statement);
        for (const QString& s : t.statements) {
            QString why;
            if (!engine.exec(s, {}, n, why))
                return fail(why + QStringLiteral(" [") + s + u']');
        }
    }
    const SqlTranslation insert = translateSql(
        QStringLiteral("Insert Into kaUsr (DmFmt, HsPub, HsHome1, HsHome2, HsTopNm, HsPfold, "
                       "HsSync1, HsSync2, EsTtl, EsUid, EsCre, EsPub, EsName) "
                       "Values (?, '', '', '', '', '', '', '', '', '', '', '', '')"),
        engine.dialect(), true);
    QString why;
    if (!engine.exec(insert.statements.value(0), QVariantList{formatsText}, n, why))
        return fail(why);
    return engine.commit(error);
}

bool createDocumentDbFile(const QString& path, const QStringList& schema,
                          const QString& formatsText, QString& error) {
    if (QFileInfo::exists(path)) {
        error = QStringLiteral("ﾌｧｲﾙが既にあります: ") + path;
        return false;
    }
    const QString work =
        path + QStringLiteral(".part%1").arg(QRandomGenerator::global()->bounded(100000));
    QFile::remove(work);
    bool ok = false;
    {
        auto engine = SqliteEngine::create(work, error);
        ok = engine && createDocumentSchema(*engine, schema, formatsText, error);
    }
    if (ok && !QFile::rename(work, path)) {
        error = QStringLiteral("ﾌｧｲﾙを作成できません: ") + path;
        ok = false;
    }
    if (!ok) {
        QFile::remove(work);
        QFile::remove(work + QStringLiteral("-journal"));
    }
    return ok;
}

bool ensureTemplateDb(const QString& userPath, const QString& schemaPath,
                      const QString& formatsText, bool& created, QString& error) {
    created = false;
    const QString dbs = userPath + QStringLiteral("Dbs/");
    const QString path = dbs + QStringLiteral("Moto.txdb");
    if (QFileInfo::exists(path))
        return true;
    if (!QDir().mkpath(dbs)) {
        error = QStringLiteral("ﾌｫﾙﾀﾞを作成できません: ") + dbs;
        return false;
    }
    const QStringList schema = readSchemaStatements(schemaPath, error);
    if (schema.isEmpty())
        return false;
    created = createDocumentDbFile(path, schema, formatsText, error);
    return created;
}

bool ChkDocDb() {
    const QString none = QStringLiteral("***");
    const QVariant v = zSvr::instance().R_GtVaL(QStringLiteral("Select DmFmt From kaUsr"), none);
    if (v.toString() != none)
        return true;
    prompter().message(msg::notDocumentDatabase(), Severity::Warning);
    return false;
}

void UpgradeDb() {
    zSvr& db = zSvr::instance();
    const bool jet = zSvr::instance().isOpen() && !db.isServer();
    const QString text = jet ? QStringLiteral("memo") : QStringLiteral("ntext");
    const QString date = jet ? QStringLiteral("date") : QStringLiteral("datetime");
    // A column that is already there makes its statement fail, harmlessly.
    db.D_ExeSq(QStringLiteral("Alter Table msDoc Add saTgs ") + text);
    db.D_ExeSq(QStringLiteral("Alter Table msDoc Add txHd ") + text);
    db.D_ExeSq(QStringLiteral("Alter Table msDoc Add txBd ") + text);
    db.D_ExeSq(QStringLiteral("Alter Table msDoc Add dyHtm ") + date);
}

int NextDocNo() {
    const QVariant v =
        zSvr::instance().R_GtVaL(QStringLiteral("Select Max(noDoc) From msDoc"), 1000);
    return v.toInt() + 1;
}

void FillWkRnd() {
    zSvr& db = zSvr::instance();
    std::unique_ptr<Recordset> rs;
    bool ok = false;
    db.R_Rset(QStringLiteral("Select noDoc, wkRnd From msDoc Where (wkRnd=0) or (wkRnd is Null)"),
              rs, ok, 1);
    if (!ok)
        return;
    for (; !rs->eof(); rs->moveNext()) {
        rs->setValue(QStringLiteral("wkRnd"), NewWkRnd());
        rs->update();
    }
    rs->close();
}

namespace {

// The home placement of each page is its first placement marked as home, among
// several the earliest; every other placement is a link.
void rebuildHomeFlags(zSvr& db) {
    ResultArray rows;
    if (!db.readRows(QStringLiteral("Select noLfC, boLnk, noLfP, boLnk As boLnk2 From tbTree") +
                         QStringLiteral(" Order By noLfC, boLnk, dyUdt"),
                     rows))
        return;
    QVariant group;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QVariant child = rows(0, r);
        const int required = (r > 0 && child == group) ? 1 : 0;
        group = child;
        const QVariant stored = rows(1, r);
        if (!stored.isNull() && stored.toInt() == required)
            continue;
        QString sql = QStringLiteral("Update tbTree Set boLnk=? Where noLfP=? And noLfC=?");
        db.T_CnvSq(sql, {required, rows(2, r), child});
        db.D_ExeSq(sql);
    }
}

// Picture format of the web output, inherited down the tree from the top level.
void rebuildPictureFlags(zSvr& db) {
    ResultArray tree;
    if (!db.readRows(QStringLiteral("Select noLfP, noLfC From tbTree Order By noLfP, inSrt"), tree))
        return;
    std::map<int, QVector<int>> children;
    for (int r = 0; r < tree.rowCount(); ++r)
        children[tree(0, r).toInt()].push_back(tree(1, r).toInt());
    QHash<int, int> ownPng;
    ResultArray htm;
    if (db.readRows(QStringLiteral("Select noDoc, inPng From tbHtm"), htm))
        for (int r = 0; r < htm.rowCount(); ++r)
            ownPng[htm(0, r).toInt()] = htm(1, r).toInt();
    QHash<int, int> stored;
    ResultArray docs;
    if (db.readRows(QStringLiteral("Select noDoc, boPng From msDoc"), docs))
        for (int r = 0; r < docs.rowCount(); ++r)
            stored[docs(0, r).toInt()] = docs(1, r).isNull() ? -1 : docs(1, r).toInt();

    const QVariant top = db.R_GtVaL(
        QStringLiteral("Select Top 1 noLfC From tbTree Where noLfP=0 Order By inSrt"), QVariant());
    const int start = top.isNull() ? 0 : ownPng.value(top.toInt(), 0);

    // Depth first, children in order; a page reached again with the same inherited
    // value gives the same result, which also ends cycles.
    QHash<int, int> result;
    QSet<qint64> seen;
    std::vector<std::pair<int, int>> stack;  // (page, inherited)
    const auto& topPages = children[0];
    for (auto it = topPages.rbegin(); it != topPages.rend(); ++it)
        stack.push_back({*it, start});
    while (!stack.empty()) {
        auto [page, inherited] = stack.back();
        stack.pop_back();
        const qint64 visit = (static_cast<qint64>(page) << 2) | (inherited & 3);
        if (seen.contains(visit))
            continue;
        seen.insert(visit);
        const int own = ownPng.value(page, 0);
        const int effective = own != 0 ? own : inherited;
        result[page] = effective == 2 ? 1 : 0;
        auto c = children.find(page);
        if (c == children.end())
            continue;
        for (auto it = c->second.rbegin(); it != c->second.rend(); ++it)
            stack.push_back({*it, effective});
    }
    for (auto it = result.cbegin(); it != result.cend(); ++it) {
        if (stored.value(it.key(), -1) == it.value())
            continue;
        db.D_ExeSq(QStringLiteral("Update msDoc Set boPng=") + QString::number(it.value()) +
                   QStringLiteral(" Where noDoc=") + QString::number(it.key()));
    }
}

}  // namespace

void RebuildLinkFlags(bool withPictures) {
    zSvr& db = zSvr::instance();
    if (!db.isOpen())
        return;
    const bool ownTransaction = !db.inTransaction() && !db.readOnly();
    if (ownTransaction)
        db.D_Tran(0);
    rebuildHomeFlags(db);
    if (withPictures)
        rebuildPictureFlags(db);
    if (ownTransaction)
        db.D_Tran(1);
}

}  // namespace arbor
