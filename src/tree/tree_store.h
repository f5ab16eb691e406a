#pragma once
// The statements of the page tree. Every value reaches the text through T_CnvSq;
// reads give a neutral value on failure, writes report success and leave the
// reason in zSvr::lastError() for reportWriteFailure().

#include <QDateTime>
#include <QString>
#include <QVector>

namespace arbor::tree {

// One row of a level: a placement joined with its page row.
struct LevelRow {
    int page = 0;
    QString label;
    bool link = false;
    bool collecting = false;
    bool isProtected = false;
    bool hidden = false;
    bool hasChildren = false;  // the page has a child row (what childCount > 0 tells)
};

struct LabelledPage {
    int page = 0;
    QString label;
};

struct CollectedRow {
    int page = 0;
    QString label;
    QDateTime saved;  // null when never saved
};

struct ParentLabel {
    int parent = 0;
    QString label;
};

// A placement's place among its siblings.
struct SiblingOrder {
    int position = 0;
    int page = 0;
};

// Reading.
QVector<LevelRow> readLevel(const QString& parentPage, bool* ok = nullptr);
int childCount(int page);
bool pageExists(int page);
// boLnk and boCod of one placement; false when the placement or its page is missing.
bool readNodeKind(const QString& parentPage, int page, bool& link, bool& collecting);
int homeCount(int page);
bool isCollecting(int page);
// -1 when the query failed.
int placementCount(const QString& parentPage, int page);
// Parent of the home placement; -1 when the page has none.
int homeParent(int page);
// A parent of any placement; -1 when the page has none.
int anyParent(int page);
// The first other parent in number order; -1 when none.
int otherParent(int page, const QString& parentPage);
bool isHiddenPlacement(const QString& parentPage, int page);
QStringList taggedByTitles(int page);
QStringList childLabels(int page);
QVector<LabelledPage> taggedByPages(int page);
QVector<CollectedRow> collectedChildren(int page);
QVector<ParentLabel> placementsOf(int page);
// The pages whose text holds every word (all pages without words).
QVector<LabelledPage> searchPages(const QStringList& words);

// Statements for a WriteBatch.
QString newPlacementStatement(const QString& parentPage, int page, int order, const QString& label);
QString placementStatement(const QString& parentPage, int page, int order, const QString& label,
                           bool link);
// Give each listed child of the parent its position as inSrt and stamp its dyUdt: one
// statement per ten thousand siblings rather than two per sibling.
QStringList renumberStatements(const QString& parentPage, const QVector<SiblingOrder>& order);

// Writing; each returns false when the statement failed or was refused.
bool insertCollectedPlacement(int collectingPage, int page, const QString& label);
bool relabelPlacement(const QString& parentPage, int page, const QString& label);
bool renamePlacement(const QString& parentPage, int page, const QString& label);
bool deletePlacement(const QString& parentPage, int page);
bool makeHome(int homeParent, int page);
bool setCollecting(int page, bool collecting);
bool stampPlacement(const QString& parentPage, int page);

// Shows why the last write failed: the read-only message when the database
// refuses writes (unless zSvr has shown it already), else the engine's reason.
void reportWriteFailure();
// The same for a failure whose reason the caller holds.
void reportWriteFailure(const QString& reason);

}  // namespace arbor::tree
