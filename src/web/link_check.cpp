#include "web/link_check.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include "app/program_state.h"
#include "app/progress.h"
#include "db/result_array.h"
#include "db/zsvr.h"
#include "editor/link_fields.h"
#include "editor/rich_text.h"

namespace arbor::web {

namespace {

constexpr int kChunk = 64;

qint64 placementKey(int parent, int page) {
    return (static_cast<qint64>(parent) << 32) | static_cast<quint32>(page);
}

// What the run needs of the tree, from one read of tbTree.
struct TreeFacts {
    QSet<int> placed;        // pages with any placement
    QSet<qint64> visible;    // visible placements (parent, page)
    QSet<int> visibleHome;   // pages whose home placement is visible
    QSet<int> visiblePages;  // pages with a visible placement
    int hiddenByAncestry = 0;
};

bool readTree(TreeFacts& facts, QString& error) {
    zSvr& db = zSvr::instance();
    ResultArray rows;
    if (!db.readRows(QStringLiteral("Select noLfP, noLfC, boLnk, boHide From tbTree"), rows)) {
        error = db.lastError();
        return false;
    }
    QHash<int, QVector<int>> shownChildren;  // parent -> rows not hidden themselves
    for (int r = 0; r < rows.rowCount(); ++r) {
        facts.placed.insert(rows(1, r).toInt());
        if (rows(3, r).toInt() == 0)
            shownChildren[rows(0, r).toInt()].push_back(r);
    }
    // A page is reachable when a placement not hidden leads to it from the top level or
    // from a reachable page; cycles end at pages already reached.
    QSet<int> reached{0};
    QVector<int> pending{0};
    while (!pending.isEmpty()) {
        const int parent = pending.takeLast();
        for (int r : shownChildren.value(parent)) {
            const int page = rows(1, r).toInt();
            if (!reached.contains(page)) {
                reached.insert(page);
                pending.push_back(page);
            }
        }
    }
    for (auto it = shownChildren.cbegin(); it != shownChildren.cend(); ++it) {
        const bool parentShown = reached.contains(it.key());
        for (int r : it.value()) {
            if (!parentShown) {
                ++facts.hiddenByAncestry;
                continue;
            }
            const int page = rows(1, r).toInt();
            facts.visible.insert(placementKey(it.key(), page));
            facts.visiblePages.insert(page);
            if (rows(2, r).toInt() != 1)
                facts.visibleHome.insert(page);
        }
    }
    return true;
}

void addEntry(QString& list, QSet<QString>& listed, const QString& title, const QString& page) {
    if (listed.contains(page))
        return;
    listed.insert(page);
    list += title + QStringLiteral(" (") + page + QStringLiteral("),");
}

bool startsWithCi(const QString& text, const QString& prefix) {
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

// The part of a path from "Site/" + DbName on, either slash, or -1.
int siteFolderPosition(const QString& path) {
    const QString name = G().DbName;
    if (name.isEmpty())
        return -1;
    static const QRegularExpression site(QStringLiteral("Site[/\\\\]"));
    for (auto m = site.globalMatch(path); m.hasNext();) {
        const auto match = m.next();
        const int at = match.capturedStart();
        const int after = match.capturedEnd() + static_cast<int>(name.size());
        if (path.mid(match.capturedEnd(), name.size()) == name &&
            (after == path.size() || path[after] == u'/' || path[after] == u'\\'))
            return at;
    }
    return -1;
}

struct Run {
    const LinkCheckOptions& options;
    LinkCheckReport& report;
    TreeFacts tree;
    QHash<int, QString> titles;
    QSet<QString> missingListed, nonPublicListed, repairedListed;
    QHash<QString, QVector<int>> webRows;  // address -> rows
    QSet<QString> zoomSeen;

    void internal(LinkRow& row, const QString& value) {
        row.linkClass = LinkClass::Internal;
        row.value = QStringLiteral("Page No:") + value;
        const QString v = value.trimmed();
        const int underscore = v.indexOf(u'_');
        const QString pageText = underscore >= 0 ? v.mid(underscore + 1) : v;
        bool ok = false;
        const int target = pageText.trimmed().toInt(&ok);
        if (!ok || !tree.placed.contains(target)) {
            row.broken = true;
            row.finding = pageText + QStringLiteral(" 文書がありません");
            addEntry(report.missing, missingListed, ok ? titles.value(target, row.text) : row.text,
                     pageText.trimmed());
            return;
        }
        bool shown = false;
        if (underscore >= 0) {
            bool parentOk = false;
            const int parent = v.left(underscore).trimmed().toInt(&parentOk);
            shown = parentOk && tree.visible.contains(placementKey(parent, target));
        } else {
            shown = tree.visibleHome.contains(target);
        }
        if (!shown) {
            row.broken = true;
            row.finding = pageText + QStringLiteral(" ﾍﾟｰｼﾞが非公開です");
            addEntry(report.nonPublic, nonPublicListed, titles.value(target, row.text),
                     QString::number(target));
        }
    }

    // True when the field's data was changed to a repaired path.
    bool file(LinkRow& row, const QString& path) {
        row.linkClass = LinkClass::File;
        if (QFileInfo::exists(path))
            return false;
        QString moved;
        const int at = siteFolderPosition(path);
        if (at >= 0) {
            moved = G().UserPath + path.mid(at);
            moved.replace(u'\\', u'/');
        }
        row.broken = true;
        if (moved.isEmpty() || !QFileInfo::exists(moved)) {
            row.finding = QStringLiteral("ﾌｧｲﾙがありません");
            return false;
        }
        QString data = moved;
        if (startsWithCi(row.data.trimmed(), QStringLiteral("file:"))) {
            QUrl url = QUrl::fromLocalFile(moved);
            url.setFragment(QUrl(row.data.trimmed()).fragment());
            data = url.toString();
        }
        if (!options.repair) {
            row.finding = QStringLiteral("ﾌｧｲﾙがありません (修復先: ") + moved + u')';
            return false;
        }
        if (zSvr::instance().readOnly()) {
            row.finding =
                QStringLiteral("読み込み専用のため修復できません (修復先: ") + moved + u')';
            return false;
        }
        row.broken = false;
        row.repaired = true;
        row.data = data;
        row.value = data;
        row.finding = QStringLiteral("修復しました");
        return true;
    }

    void zoom(LinkRow& row, const QString& value) {
        const int at = value.indexOf(QStringLiteral("pc_zoom"));
        if (at < 0)
            return;
        row.value = value.mid(at);
        const QString name = zoomPictureName(value);
        if (!name.isEmpty() && !zoomSeen.contains(name)) {
            zoomSeen.insert(name);
            report.zoomReferenced << name;
        }
    }

    // The links of one page; the page is written back when a file link was repaired.
    void page(int number, const QByteArray& bytes, RichText& text) {
        const QString title = titles.value(number);
        if (bytes.isEmpty())
            return;
        QString error;
        if (!text.loadBytes(bytes, error)) {
            ++report.damaged;
            LinkRow row;
            row.page = number;
            row.title = title;
            row.linkClass = LinkClass::Unreadable;
            row.broken = true;
            row.finding = error;
            report.rows.push_back(row);
            return;
        }
        bool changed = false;
        QStringList allData;
        for (const fields::Field& field : text.allFields()) {
            const LinkTarget target = splitLinkData(field.data);
            if (target.kind == LinkKind::Term) {
                allData << field.data;
                continue;
            }
            LinkRow row;
            row.page = number;
            row.title = title;
            row.text = field.text;
            row.kind = target.code;
            row.data = field.data;
            if (target.kind == LinkKind::Tag) {
                internal(row, target.target);
            } else {
                const QString value = field.data;  // the whole data, object prefix included
                row.value = target.kind == LinkKind::Object ? target.target : value;
                if (target.kind == LinkKind::Hyperlink) {
                    const QString path = fileLinkPath(value);
                    if (isWebAddress(value)) {
                        row.linkClass = LinkClass::Web;
                        if (options.checkWeb)
                            webRows[value].push_back(static_cast<int>(report.rows.size()));
                        else
                            row.finding = QStringLiteral("未確認");
                    } else if (!path.isEmpty()) {
                        if (file(row, path) && text.setFieldData(field.id, row.data))
                            changed = true;
                    }
                    zoom(row, row.data);
                }
            }
            allData << row.data;
            report.rows.push_back(row);
        }
        if (!changed)
            return;
        zSvr& db = zSvr::instance();
        if (!db.execBound(
                QStringLiteral("Update msDoc Set obDoc=?, saTgs=?, dyUdt=? Where noDoc=?"),
                {text.saveBytes(), tagSet(allData), QDateTime::currentDateTime(), number})) {
            for (LinkRow& row : report.rows)
                if (row.page == number && row.repaired) {
                    row.repaired = false;
                    row.broken = true;
                    row.finding = QStringLiteral("修復を書き込めません: ") + db.lastError();
                }
            return;
        }
        addEntry(report.repaired, repairedListed, title, QString::number(number));
    }

    void web() {
        if (webRows.isEmpty())
            return;
        progress().status(QStringLiteral("Webのﾘﾝｸ先を確認しています"));
        bool cancelled = false;
        const QHash<QString, HeadResult> results =
            sendHeadRequests(webRows.keys(), options.web, cancelled);
        for (auto it = webRows.cbegin(); it != webRows.cend(); ++it) {
            const auto r = results.constFind(it.key());
            for (int index : it.value()) {
                LinkRow& row = report.rows[index];
                if (r == results.constEnd()) {
                    row.finding = QStringLiteral("未確認 (中止)");
                    continue;
                }
                row.broken = !r->reached;
                row.finding = r->finding;
            }
        }
        report.cancelled = cancelled;
    }
};

QString cell(QString text) {
    text.replace(u'\t', u' ');
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

}  // namespace

QString LinkRow::mark() const {
    return broken ? QStringLiteral(" × ") : QStringLiteral(" ○ ");
}

int LinkCheckReport::brokenCount() const {
    int n = 0;
    for (const LinkRow& row : rows)
        n += row.broken ? 1 : 0;
    return n;
}

QString fileLinkPath(const QString& value) {
    const QString v = value.trimmed();
    if (startsWithCi(v, QStringLiteral("file:"))) {
        const QUrl url(v, QUrl::TolerantMode);
        return url.isLocalFile() ? url.toLocalFile() : QString();
    }
    if (v.startsWith(u'/') && !v.startsWith(QStringLiteral("//")))
        return v;
    static const QRegularExpression windows(QStringLiteral("^([A-Za-z]:[\\\\/]|\\\\\\\\)"));
    if (windows.match(v).hasMatch())
        return v;
    return {};
}

QString zoomPictureName(const QString& value) {
    const int at = value.indexOf(QStringLiteral("pc_zoom"));
    if (at < 0)
        return {};
    QString rest = value.mid(at + 7);
    const qsizetype end = rest.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (end >= 0)
        rest.truncate(end);
    rest.replace(u'\\', u'/');
    QString name = rest.section(u'/', -1);
    // Addresses carry their names percent-encoded; plain paths as they are.
    const bool plainPath =
        !fileLinkPath(value).isEmpty() && !startsWithCi(value.trimmed(), QStringLiteral("file:"));
    if (!plainPath)
        name = QUrl::fromPercentEncoding(name.toUtf8());
    return name;
}

LinkCheckReport CheckLinks(const LinkCheckOptions& options) {
    LinkCheckReport report;
    Run run{options, report, {}, {}, {}, {}, {}, {}, {}};
    zSvr& db = zSvr::instance();
    if (!readTree(run.tree, report.error))
        return report;
    report.hiddenByAncestry = run.tree.hiddenByAncestry;
    ResultArray rows;
    if (!db.readRows(QStringLiteral("Select noDoc, szDoc From msDoc Order By noDoc"), rows)) {
        report.error = db.lastError();
        return report;
    }
    QVector<int> pages;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const int number = rows(0, r).toInt();
        run.titles.insert(number, rows(1, r).toString());
        if (run.tree.visiblePages.contains(number))
            pages.push_back(number);
    }
    report.pages = static_cast<int>(pages.size());
    progress().status(QStringLiteral("ﾘﾝｸ先を確認しています"));
    RichText text;
    for (int first = 0; first < pages.size(); first += kChunk) {
        if (progress().cancelRequested()) {
            report.cancelled = true;
            break;
        }
        QStringList numbers;
        for (int i = first; i < std::min<int>(first + kChunk, pages.size()); ++i)
            numbers << QString::number(pages[i]);
        QString sql = QStringLiteral("Select noDoc, obDoc From msDoc Where noDoc In (?)");
        db.T_CnvSq(sql, {numbers.join(u',')});
        ResultArray chunk;
        if (!db.readRows(sql, chunk)) {
            report.error = db.lastError();
            return report;
        }
        QHash<int, QByteArray> bytes;
        for (int r = 0; r < chunk.rowCount(); ++r)
            bytes.insert(chunk(0, r).toInt(), chunk(1, r).toByteArray());
        for (int i = first; i < std::min<int>(first + kChunk, pages.size()); ++i) {
            run.page(pages[i], bytes.value(pages[i]), text);
            progress().step(i + 1, pages.size());
        }
    }
    if (!report.cancelled) {
        progress().step(pages.size(), pages.size());
        run.web();
    }
    report.ok = true;
    return report;
}

QString clipboardText(const LinkCheckReport& report) {
    QString out = QStringLiteral("結果\t文書No\tﾀｲﾄﾙ\tﾘﾝｸ文字\tﾘﾝｸ先\t確認結果\n");
    for (const LinkRow& row : report.rows)
        out += row.mark() + u'\t' + QString::number(row.page) + u'\t' + cell(row.title) + u'\t' +
               cell(row.text) + u'\t' + cell(row.value) + u'\t' + cell(row.finding) + u'\n';
    out += QStringLiteral("\n該当がない、内部文書\n") + report.missing +
           QStringLiteral("\n公開されていない、文書\n") + report.nonPublic + u'\n';
    return out;
}

}  // namespace arbor::web
