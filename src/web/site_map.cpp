#include "web/site_map.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <vector>

#include "app/zclt.h"
#include "db/zsvr.h"
#include "web/html_head.h"
#include "web/page_file_names.h"

namespace arbor::web {

namespace {

struct Placement {
    int page = 0;
    QString title;
    bool link = false;
};

const QString kMapHead = QStringLiteral(
    "<!DOCTYPE html PUBLIC '-//W3C//DTD HTML 4.01 Transitional//EN' "
    "'http://www.w3.org/TR/html4/loose.dtd'>~"
    "<html>~<head>~<meta http-equiv='Content-Type' content='text/html; charset=utf-8'>~"
    "<style type='text/css'>~"
    "@table#tMap  {border: 1pt solid #AEAECA;border-collapse:collapse; width:800px;}~"
    "@table#tMap tr {height:13.5pt;}~"
    "@table#tMap td {font-size: 10.0pt;font-weight:normal;border:1pt solid #CACADB;"
    "text-align:left;vertical-align: middle;padding-left: 1px;padding-right: 1px;"
    "padding-top: 1px;white-space: nowrap; color: windowtext;}~"
    "@table#tMap td a{color:WindowText;text-decoration:none;}~"
    "@table#tMap td a:link {color:WindowText;text-decoration: none;}~"
    "@table#tMap td a:visited {color:WindowText;text-decoration: none;}~"
    "@table#tMap td a:hover {color: white;background-color: #666633;"
    "text-decoration: underline;}~"
    "@table#tMap td.tdGp {font-weight:bold;background: #EBEEEE;}~"
    "@table#tMap td.tdNd {background: #F9FAFA;}~"
    "@table#tMap td.tdLf {font-size:9.0pt;background:white;}~"
    "</style>~<title>サイトマップ</title>~</head>~<body>~<table id='tMap'>~<colgroup>~"
    "@<col width='2%'>~@<col width='2%'>~@<col width='16%'>~@<col width='16%'>~"
    "@<col width='16%'>~@<col width='16%'>~@<col width='16%'>~@<col width='16%'>~"
    "</colgroup>~");

class MapWriter {
  public:
    MapWriter(const HtmlSiteSettings& site, int depth) : site_(site), depth_(depth) {}

    QHash<int, std::vector<Placement>> children;

    QString write(int root) {
        QString out = kMapHead;
        out.reserve(out.size() + 256 * static_cast<qsizetype>(children.size() + 1));
        body_ = &out;
        walk(root, 1, 0);
        out += QStringLiteral("</table>~</body>~</html>~");
        out.replace(QStringLiteral("@"), QStringLiteral("  "));
        out.replace(u'\'', u'"');
        out.replace(u'~', QStringLiteral("\r\n"));
        return out;
    }

  private:
    bool hasChildren(int page, int level) const {
        return level < depth_ && !path_.contains(page) && !children.value(page).empty();
    }

    // Text for the template, where "@" and "~" are placeholders.
    static QString mapText(const QString& text) {
        return headText(text).replace(u'@', QStringLiteral("&#64;"));
    }

    QString link(int parent, const Placement& p) const {
        const QString file = HsFName(site_, site_.htmlKind, QString::number(parent),
                                     QString::number(p.page), p.link, false);
        return QStringLiteral("<a href='../pub/") + mapText(file) + QStringLiteral("'>") +
               mapText(p.title) + QStringLiteral("</a>");
    }

    // Rows of leaves, six to a row; covered: the first column belongs to the node above.
    void leafRows(int parent, const std::vector<const Placement*>& leaves, bool covered) {
        for (size_t i = 0; i < leaves.size(); i += 6) {
            *body_ += covered ? QStringLiteral("<tr><td></td>~")
                              : QStringLiteral("<tr><td colspan='2'></td>~");
            for (size_t k = i; k < i + 6; ++k)
                *body_ += k < leaves.size()
                              ? QStringLiteral("@<td class='tdLf'>") + link(parent, *leaves[k]) +
                                    QStringLiteral("</td>~")
                              : QStringLiteral("@<td class='tdLf'></td>~");
            *body_ += QStringLiteral("</tr>~");
        }
    }

    void walk(int parent, int level, int leadingCovered) {
        const std::vector<Placement> list = children.value(parent);
        path_.insert(parent);
        std::vector<const Placement*> leaves;
        bool covered = leadingCovered > 0;
        const auto flush = [&] {
            leafRows(parent, leaves, covered);
            leaves.clear();
            covered = false;
        };
        for (const Placement& p : list) {
            if (!hasChildren(p.page, level)) {
                leaves.push_back(&p);
                continue;
            }
            flush();
            covered = false;
            if (level == 1) {
                *body_ += QStringLiteral("<tr><td colspan='8' class='tdGp'>") + link(parent, p) +
                          QStringLiteral("</td></tr>~");
                walk(p.page, level + 1, 0);
            } else {
                // The node's empty first cell spans its row and the rows of its first
                // leaves.
                int leading = 0;
                for (const Placement& c : children.value(p.page)) {
                    if (hasChildren(c.page, level + 1))
                        break;
                    ++leading;
                }
                const int rows = 1 + (leading + 5) / 6;
                *body_ += QStringLiteral("<tr><td rowspan='") + QString::number(rows) +
                          QStringLiteral("'></td><td colspan='7' class='tdNd'>") + link(parent, p) +
                          QStringLiteral("</td></tr>~");
                walk(p.page, level + 1, leading);
            }
        }
        flush();
        path_.remove(parent);
    }

    const HtmlSiteSettings& site_;
    int depth_;
    QString* body_ = nullptr;
    QSet<int> path_;  // pages on the way down, so a cycle of placements ends
};

}  // namespace

int siteMapDepth(int hiPops) {
    return hiPops >= 3 && hiPops <= 6 ? hiPops : 3;
}

bool MakeMap(const HtmlSiteSettings& settings, int root, const QString& path, QString& error) {
    zSvr& db = zSvr::instance();
    ResultArray rows;
    if (!db.readRows(QStringLiteral("Select HiType, HiPopS  From kaUsr"), rows)) {
        error = db.lastError();
        return false;
    }
    HtmlSiteSettings site = settings;
    const int kind = rows.isEmpty() ? 0 : std::clamp(rows(0, 0).toInt(), 0, 3);
    const int depth = siteMapDepth(rows.isEmpty() ? 0 : rows(1, 0).toInt());
    if (!loadCustomNames(site)) {
        error = db.lastError();
        return false;
    }
    site.htmlKind = kind;
    ResultArray tree;
    if (!db.readRows(QStringLiteral("Select noLfP, noLfC, szDoc, boLnk From tbTree "
                                    "Where boHide=0 Order By noLfP, inSrt"),
                     tree)) {
        error = db.lastError();
        return false;
    }
    MapWriter writer(site, depth);
    for (int r = 0; r < tree.rowCount(); ++r)
        writer.children[tree(0, r).toInt()].push_back(
            {tree(1, r).toInt(), tree(2, r).toString(), tree(3, r).toInt() == 1});
    QString page = writer.write(root);
    SetDTD(page, kind);
    if (!Clt().F_StUtf(path, page)) {
        error = QStringLiteral("ファイルを書き込めません: ") + path;
        return false;
    }
    return true;
}

}  // namespace arbor::web
