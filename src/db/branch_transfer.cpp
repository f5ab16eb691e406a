// Export of a branch into a database of its own, and import of another database into
// the tree. The other database is a second SQLite connection; the open one is zSvr's.

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <map>

#include "app/file_io.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/prompter.h"
#include "db/database_files.h"
#include "db/schema.h"
#include "db/sql_dialect.h"
#include "db/sqlite_engine.h"
#include "db/word_copy_hook.h"
#include "db/zsvr.h"

namespace arbor {

namespace {

// Runs a statement written in the file-database dialect with bound values.
bool run(Engine& engine, const QString& sql, const QVariantList& params, QString& error) {
    const SqlTranslation t = translateSql(sql, engine.dialect(), true);
    if (!t.ok()) {
        error = t.error;
        return false;
    }
    qint64 n = 0;
    for (const QString& s : t.statements)
        if (!engine.exec(s, params, n, error))
            return false;
    return true;
}

// All rows of a query on another connection.
bool rows(Engine& engine, const QString& sql, QVector<QVector<QVariant>>& out, QString& error,
          QStringList* names = nullptr) {
    const SqlTranslation t = translateSql(sql, engine.dialect(), true);
    if (!t.ok()) {
        error = t.error;
        return false;
    }
    auto cursor = engine.query(t.statements.value(0), {}, error);
    if (!cursor)
        return false;
    if (names)
        *names = cursor->names();
    out.clear();
    QVector<QVariant> row;
    while (cursor->next(row))
        out.push_back(row);
    error = cursor->error();
    return error.isEmpty();
}

QString identityText(double identity) {
    return QString::number(identity, 'f', 0);
}

struct Placement {
    int parent;
    int child;
};

// The pages and placements of a branch: the page, its children, and with the whole
// branch their children again; each page and placement once.
void collectBranch(int page, bool whole, QList<int>& pages, QList<Placement>& placements) {
    zSvr& db = zSvr::instance();
    pages = {page};
    QSet<qint64> seenPlacements;
    for (int i = 0; i < pages.size(); ++i) {
        const int parent = pages[i];
        ResultArray children;
        db.readRows(QStringLiteral(" Select noLfC From tbTree Where noLfP = ") +
                        QString::number(parent) + QStringLiteral(" Order By inSrt"),
                    children);
        for (int r = 0; r < children.rowCount(); ++r) {
            const int child = children(0, r).toInt();
            const qint64 key = (static_cast<qint64>(parent) << 32) | static_cast<quint32>(child);
            if (!seenPlacements.contains(key)) {
                seenPlacements.insert(key);
                placements.push_back({parent, child});
            }
            if (!pages.contains(child))
                pages.push_back(child);
        }
        if (!whole)
            break;  // the page and its direct children only
    }
}

}  // namespace

bool DatabaseFiles::ExportBranch(const ExportRequest& request) {
    zSvr& db = zSvr::instance();
    if (!db.isOpen() || request.page <= 0)
        return false;
    FillWkRnd();
    if (!host_.releaseCurrentPage())
        return false;
    if (!prompter().confirm(QStringLiteral("｢") + request.pageName +
                            QStringLiteral("｣ 以降のﾍﾟｰｼﾞを独立した文書ﾃﾞｰﾀｰﾍﾞｰｽにｴｸｽﾎﾟｰﾄします")))
        return false;
    const QString title = db.R_GtVaL(QStringLiteral("Select szDoc From msDoc Where noDoc=") +
                                         QString::number(request.page),
                                     QString())
                              .toString();
    if (!QFileInfo::exists(templatePath())) {
        prompter().message(templatePath() + QStringLiteral(" が見つかりません"), Severity::Warning);
        return false;
    }
    const QString path =
        ShowDbDialog(QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽのｴｸｽﾎﾟｰﾄ"), 2,
                     G().UserPath + QStringLiteral("Dbs/") + title + QStringLiteral(".txdb"));
    if (path.isEmpty())
        return false;
    // Writing over the open database would lose it.
    if (QFileInfo(path) == QFileInfo(db.dataSourceName()) ||
        QFileInfo(path) == QFileInfo(templatePath())) {
        prompter().message(QStringLiteral("複写先と現在のﾌｧｲﾙが同一です"), Severity::Warning);
        return false;
    }
    if (QFileInfo::exists(path) &&
        !prompter().confirm(QStringLiteral("同名ﾌｧｲﾙがあります 削除して良いですか")))
        return false;

    // The new database is made beside the target and takes its place when complete.
    const QString work =
        path + QStringLiteral(".part%1").arg(QRandomGenerator::global()->bounded(100000));
    QString error;
    bool ok = copyFileReplacing(templatePath(), work);
    if (!ok)
        error = QStringLiteral("cannot copy the template");
    QList<int> pages;
    QList<Placement> placements;
    collectBranch(request.page, request.wholeBranch, pages, placements);
    progress().showWait(path + QStringLiteral("へｴｸｽﾎﾟｰﾄ"));
    if (ok) {
        auto target = SqliteEngine::open(work, error);
        ok = target && target->begin(error);
        if (ok) {
            ok = run(*target, QStringLiteral("Delete From msDoc"), {}, error) &&
                 run(*target, QStringLiteral("Delete From msDic"), {}, error) &&
                 run(*target, QStringLiteral("Delete From tbTree"), {}, error) &&
                 run(*target, QStringLiteral("Update kaUsr Set DmFmt=?"),
                     {db.R_GtVaL(QStringLiteral("Select DmFmt From kaUsr"), QString())}, error);
            for (int i = 0; ok && i < pages.size(); ++i) {
                ResultArray row;
                ok = db.readRows(
                    QStringLiteral(
                        "Select noDoc, boUse, boCod, szDoc, txDoc, obDoc, saTgs, dyUdt, wkRnd "
                        "From msDoc Where noDoc =") +
                        QString::number(pages[i]),
                    row);
                if (!ok)
                    error = db.lastError();
                if (!ok || row.rowCount() == 0)
                    continue;  // a placement without its page
                QVariantList values;
                for (int f = 0; f < 9; ++f)
                    values << row(f, 0);
                ok = run(*target,
                         QStringLiteral("Insert Into msDoc (noDoc, boUse, boCod, szDoc, txDoc, "
                                        "obDoc, saTgs, dyUdt, "
                                        "wkRnd) Values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                         values, error);
                progress().step(i + 1, pages.size());
            }
            ResultArray dic;
            if (ok && db.readRows(QStringLiteral("Select skDic, szDic From msDic"), dic))
                for (int r = 0; ok && r < dic.rowCount(); ++r)
                    ok = run(*target,
                             QStringLiteral("Insert Into msDic (skDic, szDic) Values (?, ?)"),
                             {dic(0, r), dic(1, r)}, error);
            if (ok)
                ok = run(*target,
                         QStringLiteral("Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boUse, "
                                        "boLnk, boHide, boHogo) "
                                        "Values (0, ?, 0, ?, 1, 0, 0, 0)"),
                         {request.page, title}, error);
            for (const Placement& p : placements) {
                if (!ok)
                    break;
                QString sql = QStringLiteral(" Select szDoc, inSrt, boUse, boLnk, dyUdt") +
                              QStringLiteral(" From tbTree Where noLfP = ? And noLfC = ? ");
                db.T_CnvSq(sql, {p.parent, p.child});
                ResultArray row;
                if (!db.readRows(sql, row) || row.rowCount() == 0)
                    continue;
                ok = run(*target,
                         QStringLiteral("Insert Into tbTree (noLfP, noLfC, szDoc, inSrt, boUse, "
                                        "boLnk, dyUdt, boHide, "
                                        "boHogo) Values (?, ?, ?, ?, ?, ?, ?, 0, 0)"),
                         {p.parent, p.child, row(0, 0), row(1, 0), row(2, 0), row(3, 0), row(4, 0)},
                         error);
            }
            QString ignored;
            if (ok)
                ok = target->commit(error);
            else
                target->rollback(ignored);
        }
    }
    if (ok) {
        QFile::remove(path);
        ok = QFile::rename(work, path);
        if (!ok)
            error = QStringLiteral("cannot replace ") + path;
    }
    if (!ok)
        QFile::remove(work);
    // The exported pages as Word documents, in the folder beside the new database.
    QString copies;
    bool copiesOk = true;
    if (ok && hasWordCopyWriter()) {
        WordCopyJob job;
        job.pages = pages;
        job.folder = wordCopyFolderBeside(path);
        job.limitLinks = true;
        job.siteAddress = request.siteAddress;
        const WordCopyOutcome outcome = writeWordCopies(job);
        copiesOk = outcome.ok;
        copies = u'\n' + job.folder + QStringLiteral(" にﾜｰﾄﾞ文書を ") +
                 QString::number(outcome.written) + QStringLiteral(" 件書き出しました");
        for (const QString& problem : outcome.problems)
            copies += u'\n' + problem;
    }
    progress().hideWait();
    prompter().message(path + QStringLiteral("へｴｸｽﾎﾟｰﾄ") +
                           (ok ? QStringLiteral("しました") + copies
                               : QStringLiteral("できませんでした\n") + error),
                       ok && copiesOk ? Severity::Information : Severity::Warning);
    return ok;
}

namespace {

struct SourcePage {
    int number = 0;
    QVariantList values;  // noDoc, boUse, szDoc, txDoc, obDoc, boCod, saTgs, dyUdt, wkRnd
    int mapped = 0;
    bool existing = false;  // the same page (by identity) is in the current database
    int comparison = 0;     // existing: 1 the source copy is newer, -1 older, 0 the same
};

}  // namespace

bool DatabaseFiles::ImportDocDb(const ImportTarget& target) {
    zSvr& db = zSvr::instance();
    if (!db.isOpen())
        return false;
    if (target.isLink) {
        prompter().message(QStringLiteral("指定のﾍﾟｰｼﾞは、文書No ") + QString::number(target.page) +
                               QStringLiteral("のﾘﾝｸです\nここには挿入できません"),
                           Severity::Warning);
        return false;
    }
    bool readOnly = false;
    db.DbRead(readOnly);
    if (readOnly)
        return false;
    const bool newPage = target.page <= 0;
    const int targetPage = newPage ? NextDocNo() : target.page;
    const QString targetName = newPage ? QStringLiteral("新規ﾍﾟｰｼﾞ") : target.name;
    const double targetIdentity =
        newPage ? 0
                : db.R_GtVaL(QStringLiteral("Select wkRnd From msDoc Where noDoc=") +
                                 QString::number(targetPage),
                             0)
                      .toDouble();

    const QString path = ShowDbDialog(targetName + QStringLiteral("←文書ﾃﾞｰﾀｰﾍﾞｰｽのｲﾝﾎﾟｰﾄ"), 2,
                                      G().UserPath + QStringLiteral("Dbs"));
    if (path.isEmpty())
        return false;
    auto finish = [&](bool done, const QString& why = QString()) {
        prompter().message(
            path + QStringLiteral("から") + QStringLiteral("ｲﾝﾎﾟｰﾄを実行") +
                (done ? QStringLiteral("しました") : QStringLiteral("しませんでした")) +
                (why.isEmpty() ? QString() : u'\n' + why),
            done ? Severity::Information : Severity::Warning);
        return done;
    };
    if (QFileInfo(path) == QFileInfo(db.dataSourceName())) {
        prompter().message(QStringLiteral("複写先と現在のﾌｧｲﾙが同一です"), Severity::Warning);
        return false;
    }
    QString error;
    // The source is only read; the mapping of its pages is kept here, not in its tables.
    auto source = SqliteEngine::open(path, error);
    if (!source)
        return finish(false, error);

    QVector<QVector<QVariant>> top;
    if (!rows(*source, QStringLiteral("Select Count(*) From tbTree Where noLfP= 0 "), top, error))
        return finish(false, error);
    const int topCount = top.value(0).value(0).toInt();
    if (topCount == 0) {
        prompter().message(QStringLiteral("ｲﾝﾎﾟｰﾄ元の文書ﾃﾞｰﾀｰﾍﾞｰｽにﾙｰﾄの文書が存在していません"),
                           Severity::Warning);
        return false;
    }
    int rootPage = 0;
    double rootIdentity = 0;
    QString sourceName = QFileInfo(path).completeBaseName();
    if (topCount == 1) {
        QVector<QVector<QVariant>> root;
        if (!rows(*source,
                  QStringLiteral("Select D.noDoc, D.szDoc, D.wkRnd From msDoc D, tbTree T") +
                      QStringLiteral(" Where T.noLfP =0 And T.noLfC = D.noDoc"),
                  root, error) ||
            root.isEmpty())
            return finish(false, error);
        rootPage = root[0][0].toInt();
        sourceName = root[0][1].toString();
        rootIdentity = root[0][2].toDouble();
    }
    const bool update =
        !newPage && topCount == 1 && targetIdentity != 0 && targetIdentity == rootIdentity;
    const bool replace = !newPage && !update;
    QString confirmation;
    if (newPage)
        confirmation = QStringLiteral("新規ﾍﾟｰｼﾞに ") + sourceName + QStringLiteral("以降を") +
                       QStringLiteral("ｲﾝﾎﾟｰﾄします");
    else if (update)
        confirmation = QStringLiteral("現在のﾍﾟｰｼﾞが、ｲﾝﾎﾟｰﾄ元の") + sourceName +
                       QStringLiteral("で更新されます");
    else
        confirmation = QStringLiteral("現在のﾍﾟｰｼﾞが、ｲﾝﾎﾟｰﾄ元の") + sourceName +
                       QStringLiteral("に置換えられます");

    // Page mapping: the same identity maps to the existing page, others get new numbers.
    QVector<QVector<QVariant>> sourceRows;
    if (!rows(*source,
              QStringLiteral(
                  "Select noDoc, boUse, szDoc, txDoc, obDoc, boCod, saTgs, dyUdt, wkRnd From msDoc "
                  "Order By noDoc"),
              sourceRows, error))
        return finish(false, error);
    int next = db.R_GtVaL(QStringLiteral("Select Max(noDoc) From msDoc"), 1000).toInt();
    std::map<int, SourcePage> pages;
    bool samePagesExist = false;
    for (const auto& r : sourceRows) {
        SourcePage page;
        page.number = r[0].toInt();
        page.values = QVariantList(r.begin(), r.end());
        const double identity = r[8].toDouble();
        ResultArray found;
        if (identity != 0)
            db.readRows(QStringLiteral("Select noDoc, dyUdt From msDoc") +
                            QStringLiteral(" Where wkRnd=") + identityText(identity),
                        found);
        if (found.rowCount() > 0) {
            page.mapped = found(0, 0).toInt();
            page.existing = true;
            samePagesExist = true;
            const QDateTime mine = found(1, 0).toDateTime();
            const QDateTime theirs = r[7].toDateTime();
            page.comparison = theirs > mine ? 1 : theirs < mine ? -1 : 0;
            if (page.number == rootPage) {
                ResultArray placed;
                db.readRows(QStringLiteral("Select T.noLfP, D.szDoc From tbTree T, msDoc D") +
                                QStringLiteral(" Where T.noLfC = D.noDoc And T.noLfC=") +
                                QString::number(page.mapped),
                            placed);
                bool underTargetParent = placed.rowCount() == 0;
                for (int i = 0; i < placed.rowCount(); ++i)
                    if (placed(0, i).toInt() == target.parent)
                        underTargetParent = true;
                if (!underTargetParent) {
                    const QString parentName =
                        db.R_GtVaL(QStringLiteral("Select szDoc From msDoc Where noDoc=") +
                                       placed(0, 0).toString(),
                                   QString())
                            .toString();
                    prompter().message(
                        QStringLiteral("ｲﾝﾎﾟｰﾄ対象の文書は ") + parentName + QStringLiteral(" ⇒ ") +
                            placed(1, 0).toString() + QStringLiteral("　に存在しています\n") +
                            QStringLiteral(
                                "これを更新する場合は、このﾍﾟｰｼﾞを指定して、ｲﾝﾎﾟｰﾄを行って下さい"),
                        Severity::Warning);
                    return false;
                }
            }
        } else if (replace && page.number == rootPage) {
            page.mapped = targetPage;
        } else {
            page.mapped = ++next;
        }
        pages[page.number] = page;
    }

    bool overwrite = true;
    if (samePagesExist) {
        const Answer a = prompter().ask(
            confirmation +
                QStringLiteral("\nｲﾝﾎﾟｰﾄ元文書ﾃﾞｰﾀｰﾍﾞｰｽと現在の文書ﾃﾞｰﾀｰﾍﾞｰｽに、同一のﾘｿｰｽの文書が"
                               "あります\n") +
                QStringLiteral(
                    "上書きして良い ⇒ はい　 元の文書を残す ⇒ いいえ　 ｲﾝﾎﾟｰﾄ中止 ⇒ キャンセル"),
            Buttons::YesNoCancel, Severity::Question);
        if (a == Answer::Cancel)
            return false;
        overwrite = a == Answer::Yes;
    } else if (!prompter().confirm(confirmation + QStringLiteral("\n実行して良いですか"))) {
        return false;
    }

    // Placement mapping: the source's top level goes to the target's place (one root) or
    // under the target page (several).
    QVector<QVector<QVariant>> sourcePlacements;
    if (!rows(*source,
              QStringLiteral("Select noLfP, noLfC, szDoc, inSrt, dyUdt, dyUdt_P From tbTree Order "
                             "By noLfP, inSrt"),
              sourcePlacements, error))
        return finish(false, error);

    progress().showWait(path + QStringLiteral("から") + QStringLiteral("ｲﾝﾎﾟｰﾄを実行"));
    db.D_Tran(0);
    bool ok = true;
    int done = 0;
    for (auto& [number, page] : pages) {
        if (!ok)
            break;
        progress().step(++done, static_cast<qint64>(pages.size()));
        const QString title = page.values[2].toString();
        bool write = true;
        if (page.existing) {
            if (overwrite && page.comparison < 0)
                write = prompter().ask(
                            title + QStringLiteral(
                                        "は、ｲﾝﾎﾟｰﾄ先の日付が新しいですが、上書して良いですか"),
                            Buttons::YesNo, Severity::Question) == Answer::Yes;
            else if (!overwrite)
                write = page.comparison > 0 &&
                        prompter().ask(
                            title + QStringLiteral(
                                        "は、ｲﾝﾎﾟｰﾄ元の日付が新しいですが、上書しないで良いですか"),
                            Buttons::YesNo, Severity::Question) == Answer::No;
        }
        if (!write)
            continue;
        QVariantList values = page.values;
        values[0] = page.mapped;
        const bool present = db.R_GtVaL(QStringLiteral("Select Count(*) From msDoc Where noDoc=") +
                                            QString::number(page.mapped),
                                        0)
                                 .toInt() > 0;
        if (present) {
            values.append(page.mapped);
            values.removeFirst();
            ok = db.execBound(
                QStringLiteral(
                    "Update msDoc Set boUse=?, szDoc=?, txDoc=?, obDoc=?, boCod=?, saTgs=?, "
                    "dyUdt=?, wkRnd=? Where noDoc=?"),
                values);
        } else {
            ok = db.execBound(
                QStringLiteral(
                    "Insert Into msDoc (noDoc, boUse, szDoc, txDoc, obDoc, boCod, saTgs, "
                    "dyUdt, wkRnd) Values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                values);
        }
    }
    for (const auto& r : sourcePlacements) {
        if (!ok)
            break;
        const int sourceParent = r[0].toInt();
        const auto child = pages.find(r[1].toInt());
        if (child == pages.end())
            continue;  // a placement without its page
        int parent = 0;
        if (sourceParent == 0) {
            parent = topCount == 1 ? target.parent : targetPage;
        } else {
            const auto p = pages.find(sourceParent);
            if (p == pages.end())
                continue;
            parent = p->second.mapped;
        }
        QString sql =
            QStringLiteral("Select noLfP, noLfC, szDoc, inSrt, dyUdt, dyUdt_P From tbTree") +
            QStringLiteral(" Where noLfP=? And noLfC=?");
        db.T_CnvSq(sql, {parent, child->second.mapped});
        std::unique_ptr<Recordset> rs;
        db.R_Rset(sql, rs, ok, 1);
        if (!ok)
            break;
        if (rs->eof()) {
            rs->addNew();
            rs->setValue(QStringLiteral("noLfP"), parent);
            rs->setValue(QStringLiteral("noLfC"), child->second.mapped);
        }
        rs->setValue(QStringLiteral("szDoc"), r[2]);
        rs->setValue(QStringLiteral("inSrt"), r[3]);
        rs->setValue(QStringLiteral("dyUdt"), r[4]);
        rs->setValue(QStringLiteral("dyUdt_P"), r[5]);
        ok = rs->update();
        if (!ok)
            error = rs->lastError();
        rs->close();
    }
    if (ok) {
        RebuildLinkFlags(false);
        const int boCod = db.R_GtVaL(QStringLiteral("Select boCod From msDoc Where noDoc=") +
                                         QString::number(targetPage),
                                     0)
                              .toInt();
        ok = db.D_Tran(1);
        if (!ok)
            error = db.lastError();
        host_.refreshNode(targetPage, boCod);
    } else {
        if (error.isEmpty())
            error = db.lastError();
        db.D_Tran(2);
    }
    progress().hideWait();
    return finish(ok, ok ? QString() : error);
}

}  // namespace arbor
