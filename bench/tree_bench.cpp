// Times the page tree on a large collection: open and show the top level, expand a
// node, search a word, reveal a deep page, renumber many siblings; and the peak memory.
//
//   tree_bench [--db PATH] [--reps N] [--wide N]
// PATH is a .txdb file (made and filled when missing) or a .udl data link to an empty
// or already filled server database (its tables are made when missing). Without --db a
// temporary file is used. --wide sets how many children the page "一覧" gets when the
// collection is generated (1,000 by default); they are the siblings renumbered.

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

#include "app/prompter.h"
#include "collection_generator.h"
#include "db/data_link.h"
#include "db/pg_engine.h"
#include "db/result_array.h"
#include "db/schema.h"
#include "db/zsvr.h"
#include "tree/page_tree.h"
#include "tree/tree_commands.h"
#include "tree/tree_model.h"
#include "ui/utrx.h"

using namespace arbor;

namespace {

QTextStream out(stdout);

struct Timing {
    double best = 0;
    double median = 0;
};

Timing measure(int reps, const std::function<void()>& prepare, const std::function<void()>& run) {
    std::vector<double> ms;
    for (int i = 0; i < reps; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        run();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

void report(const QString& what, const Timing& t, const QString& note = QString()) {
    out << qSetFieldWidth(44) << Qt::left << what << qSetFieldWidth(0)
        << QString::asprintf("best %9.2f ms   median %9.2f ms", t.best, t.median);
    if (!note.isEmpty())
        out << "   " << note;
    out << Qt::endl;
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool open(const QString& path) {
    bool ok = false;
    zSvr::instance().D_StDcDb(path, ok);
    if (!ok)
        out << "cannot open " << path << ": " << zSvr::instance().lastError() << Qt::endl;
    return ok;
}

// A server database gets its tables first.
bool prepareServer(const QString& udl, const QStringList& schema) {
    DataLink link;
    QString reason;
    bool refused = false;
    if (!readDataLink(udl, link, reason))
        return false;
    auto pg = PgEngine::open(link, reason, refused);
    if (!pg)
        return false;
    qint64 n = 0;
    QString error;
    if (pg->exec(QStringLiteral("SELECT 1 FROM msDoc LIMIT 1"), {}, n, error))
        return true;
    return createDocumentSchema(*pg, schema, QString(), reason);
}

bool ensureCollection(const QString& path, const bench::CollectionShape& shape,
                      bench::CollectionFacts& facts) {
    QString error;
    const QStringList schema =
        readSchemaStatements(QStringLiteral(ARBOR_SOURCE_APDATA "schema.sql"), error);
    if (schema.isEmpty()) {
        out << "schema: " << error << Qt::endl;
        return false;
    }
    const bool server = path.endsWith(QLatin1String(".udl"), Qt::CaseInsensitive);
    if (server
            ? !prepareServer(path, schema)
            : !QFileInfo::exists(path) && !createDocumentDbFile(path, schema, QString(), error)) {
        out << "cannot make the database: " << error << Qt::endl;
        return false;
    }
    if (!open(path))
        return false;
    if (zSvr::instance().R_GtVaL(QStringLiteral("Select Count(*) From msDoc"), 0).toInt() == 0) {
        QElapsedTimer timer;
        timer.start();
        if (!bench::generateCollection(shape, facts, error)) {
            out << "generation failed: " << error << Qt::endl;
            return false;
        }
        out << "generated " << facts.pages << " pages, " << facts.placements << " placements in "
            << timer.elapsed() / 1000.0 << " s" << Qt::endl;
        return true;
    }
    // Filled earlier by the same generator: the facts follow from the shape.
    zSvr& db = zSvr::instance();
    facts.firstPage = 1001;
    facts.pages = db.R_GtVaL(QStringLiteral("Select Count(*) From msDoc"), 0).toInt();
    facts.placements = db.R_GtVaL(QStringLiteral("Select Count(*) From tbTree"), 0).toInt();
    facts.widePage = db.R_GtVaL(QStringLiteral("Select Max(noDoc) From msDoc"), 0).toInt();
    facts.deepPage = facts.widePage - 1;
    facts.deepParent = db.R_GtVaL(QStringLiteral("Select noLfP From tbTree Where boLnk=0 And "
                                                 "noLfC=") +
                                      QString::number(facts.deepPage),
                                  0)
                           .toInt();
    facts.searchWord = QStringLiteral("ひまわり");
    out << "using " << facts.pages << " pages, " << facts.placements << " placements" << Qt::endl;
    return true;
}

QModelIndex topNode(const tree::PageTree& t, const QString& label) {
    for (int r = 0; r < t.model()->rowCount(); ++r)
        if (t.model()->index(r, 0).data().toString() == label)
            return t.model()->index(r, 0);
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString path;
    int reps = 5;
    bench::CollectionShape shape;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--db"))
            path = args[i + 1];
        if (args[i] == QLatin1String("--reps"))
            reps = std::max(1, args[i + 1].toInt());
        if (args[i] == QLatin1String("--wide"))
            shape.wideChildren = std::clamp(args[i + 1].toInt(), 2, 100000);
    }
    QTemporaryDir scratch;
    if (path.isEmpty())
        path = scratch.path() + QStringLiteral("/bench.txdb");
    bench::CollectionFacts facts;
    if (!ensureCollection(path, shape, facts))
        return 1;
    zSvr& db = zSvr::instance();
    out << "database: " << path << Qt::endl;
    // The children of 一覧 (links), the siblings expanded and renumbered below.
    const int wide = db.R_GtVaL(QStringLiteral("Select Count(*) From tbTree Where noLfP=") +
                                    QString::number(facts.widePage),
                                0)
                         .toInt();

    // 1. Open the database and read the top level.
    report("open + top level (logic)", measure(
                                           reps, [&] { db.D_Close(); },
                                           [&] {
                                               open(path);
                                               ChkDocDb();
                                               tree::PageTree t;
                                               t.SetNodes(QStringLiteral("0"), false);
                                           }));
    report("top level shown in the widget", measure(reps, nullptr, [&] {
               ui::uTrX w;
               w.resize(320, 600);
               w.tree()->SetNodes(QStringLiteral("0"), false);
               w.show();
               QApplication::processEvents();
           }));

    // 2. Expanding nodes.
    tree::PageTree t;
    t.SetNodes(QStringLiteral("0"), false);
    report("expand a chapter (10 children)",
           measure(
               reps,
               [&] {
                   t.ClearItem(true);
                   t.SetNodes(QStringLiteral("0"), false);
               },
               [&] { t.model()->fetchMore(topNode(t, QStringLiteral("章1"))); }));
    report(QStringLiteral("expand 一覧 (%1 children)").arg(wide),
           measure(
               reps,
               [&] {
                   t.ClearItem(true);
                   t.SetNodes(QStringLiteral("0"), false);
               },
               [&] { t.model()->fetchMore(topNode(t, QStringLiteral("一覧"))); }));

    // 3. Search.
    int hits = 0;
    const Timing search = measure(reps, nullptr, [&] {
        t.find(facts.searchWord);
        hits = t.findList()->rowCount();
    });
    report("search a word in 1% of pages", search, QString::number(hits) + " hits");

    // 4. Reveal a page at the deepest level.
    const Timing reveal = measure(
        reps,
        [&] {
            t.ClearItem(true);
            t.SetNodes(QStringLiteral("0"), false);
        },
        [&] { t.SetLeaf(QString::number(facts.deepPage)); });
    report("reveal a page at depth 5", reveal, QStringLiteral("path ") + t.sGetLeaf());

    // 5. Renumber the siblings below 一覧 after one move.
    report(QStringLiteral("renumber %1 siblings (trSort)").arg(wide),
           measure(
               reps,
               [&] {
                   t.ClearItem(true);
                   t.SetNodes(QStringLiteral("0"), false);
                   const QModelIndex list = topNode(t, QStringLiteral("一覧"));
                   t.model()->fetchMore(list);
                   const int rows = t.model()->rowCount(list);
                   t.selectNode(t.model()->index(rows - 1, 0, list));
                   t.trMove(false);
               },
               [&] { t.trSort(); }));
    ResultArray dense;
    db.readRows(QStringLiteral("Select Min(inSrt), Max(inSrt), Count(*) From tbTree Where noLfP=") +
                    QString::number(facts.widePage),
                dense);
    out << "renumbered siblings: inSrt " << dense(0, 0).toInt() << ".." << dense(1, 0).toInt()
        << " for " << dense(2, 0).toInt() << " rows" << Qt::endl;

    // 6. Delete one placement: the question, the row, the link-flag rebuild, the reload.
    BatchPrompter agree(true);
    ScopedPrompter agreeing(agree);
    // The same leaf each time: put back before, deleted while timed.
    const QString restore =
        QStringLiteral(
            "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk) Values (%1, %2, 9, "
            "'x', 0)")
            .arg(facts.deepParent)
            .arg(facts.deepPage);
    const QString present =
        QStringLiteral("Select Count(*) From tbTree Where noLfP=%1 And noLfC=%2")
            .arg(facts.deepParent)
            .arg(facts.deepPage);
    report("delete a placement (rebuild + reload)",
           measure(
               reps,
               [&] {
                   if (db.R_GtVaL(present, 0).toInt() == 0)
                       db.D_ExeSq(restore);
                   t.ClearItem(true);
                   t.SetNodes(QStringLiteral("0"), false);
                   t.SetLeaf(QString::number(facts.deepPage));
               },
               [&] { tree::deleteSelectedPlacement(t); }));
    if (db.R_GtVaL(present, 0).toInt() == 0)
        db.D_ExeSq(restore);
    report("  of which RebuildLinkFlags(false)",
           measure(reps, nullptr, [] { RebuildLinkFlags(false); }));
    report("  of which RebuildLinkFlags(true)",
           measure(reps, nullptr, [] { RebuildLinkFlags(true); }));

    const StatementCacheStats cache = db.statementCacheStats();
    out << "compiled statements: " << cache.compiled << " compiled, " << cache.reused
        << " runs reused them, " << cache.kept << " kept" << Qt::endl;
    out << "peak memory (ru_maxrss): " << peakKilobytes() / 1024.0 << " MB" << Qt::endl;
    db.D_Close();
    return 0;
}
