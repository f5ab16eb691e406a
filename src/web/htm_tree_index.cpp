#include "web/htm_tree_index.h"

#include <QStringDecoder>

namespace arbor::web {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString indent(int level) {
    return QString(level + 1, u'@');
}

void appendItems(const QVector<HtmEntry>& entries, const QVector<int>& list, QStringList& out) {
    for (int index : list) {
        const HtmEntry& e = entries[index];
        const QString at = indent(e.level);
        if (e.children.isEmpty()) {
            out << fillMarks(QStringLiteral("?<li id=~L?~><a href=~?~>?</a></li>"),
                             {at, e.key, e.file, e.title});
            continue;
        }
        // The key goes to the script quoted: keys like "1A" are no number and no name.
        out << fillMarks(
            QStringLiteral("?<li id=~L?~ class=~clp~ onclick=~fnTree('?')~><a href=~?~>?</a>"),
            {at, e.key, e.key, e.file, e.title});
        out << fillMarks(QStringLiteral("?<ul id=~U?~ class=~clp~ onclick=~fnTree()~>"),
                         {at, e.key});
        appendItems(entries, e.children, out);
        out << at + QStringLiteral("</ul>");
        out << at + QStringLiteral("</li>");
    }
}

void appendContents(const QVector<HtmEntry>& entries, const QVector<int>& list, QString& out,
                    int& deepest) {
    for (int index : list) {
        const HtmEntry& e = entries[index];
        deepest = std::max(deepest, e.level + 1);
        out +=
            fillMarks(QStringLiteral("@<li class=~li?~><a href=~?.htm~ target=~main~>?</a></li>|"),
                      {QString::number(e.level + 1), QString::number(e.page), e.title});
        appendContents(entries, e.children, out, deepest);
    }
}

QString faviconLine(bool favicon) {
    return favicon ? QStringLiteral("<link rel=~shortcut icon~ href=~favicon.ico~>|") : QString();
}

}  // namespace

QString treeKeyCharacter(int index) {
    if (index < 9)
        return QString(QChar(u'1' + index));
    if (index < 35)
        return QString(QChar(u'A' + (index - 9)));
    if (index < 61)
        return QString(QChar(u'a' + (index - 35)));
    // 0x82A0 and on in the Japanese code page: the hiragana from "ぁ", then whatever the
    // next codes stand for; codes that stand for nothing continue in Unicode order.
    const int code = 0x82A0 + (index - 61);
    if (code <= 0x82F1)
        return QString(QChar(char16_t(0x3041 + (code - 0x82A0))));
    return QString(QChar(char16_t(0x4E00 + (code - 0x82F2))));
}

QString htmFileName(int parent, int page, bool link, int topPage, const QString& topName) {
    if (!link && page == topPage && !topName.isEmpty())
        return topName;
    if (link)
        return QString::number(parent) + u'_' + QString::number(page) + QStringLiteral(".htm");
    return QString::number(page) + QStringLiteral(".htm");
}

QString fillMarks(const QString& pattern, const QStringList& values) {
    QString out;
    out.reserve(pattern.size() + 64);
    int next = 0;
    for (const QChar c : pattern) {
        if (c == u'?' && next < values.size())
            out += QString(values[next++]).remove(u'?');
        else
            out += c;
    }
    return out;
}

QString applyConventions(const QString& text) {
    QString s = text;
    s.replace(u'~', u'"');
    s.replace(u'|', kCrLf);
    s.replace(u'@', QStringLiteral("  "));
    return s;
}

QStringList treeIndexLines(const QVector<HtmEntry>& entries, const QVector<int>& roots) {
    QStringList lines{QStringLiteral("<ul>")};
    appendItems(entries, roots, lines);
    lines << QStringLiteral("</ul>");
    for (QString& line : lines)
        line.replace(u'@', QStringLiteral("  "));
    return lines;
}

QString openTreeIndex(QStringList lines, const QString& key, const QString& title) {
    const QString clp = QStringLiteral("class=~clp~");
    // Each prefix of the key names one ancestor (the last one the page itself).
    for (qsizetype n = 1; n <= key.size(); ++n) {
        const QString prefix = key.first(n);
        const QString item = QStringLiteral("<li id=~L") + prefix + u'~';
        const QString list = QStringLiteral("<ul id=~U") + prefix + u'~';
        for (QString& line : lines) {
            if (line.contains(item)) {
                const qsizetype at = line.indexOf(clp);
                if (at >= 0)
                    line.replace(at, clp.size(), QStringLiteral("class=~exp~"));
                if (n == key.size()) {
                    const QString own = u'>' + title;
                    const qsizetype t = line.indexOf(own);
                    if (t >= 0)
                        line.replace(t, own.size(),
                                     QStringLiteral("><span class=~act~>") + title +
                                         QStringLiteral("</span>"));
                }
            } else if (line.contains(list)) {
                const qsizetype at = line.indexOf(clp);
                if (at >= 0)
                    line.replace(at, clp.size(),
                                 QStringLiteral("class=~exp~ style=~display:block~ "));
            }
        }
    }
    QString menu = lines.join(kCrLf);
    menu.replace(u'~', u'"');
    return menu;
}

QString contentsPage(const QVector<HtmEntry>& entries, const QVector<int>& roots,
                     const QString& siteTitle) {
    QString list;
    int deepest = 0;
    appendContents(entries, roots, list, deepest);
    QString page = QStringLiteral(
        "<html>|<head>|<meta http-equiv='Content-Type' content='text/html; charset=UTF-8'>|"
        "<style type=~text/css~>|"
        "@body {line-height:125%}|@ul {list-style-type: circle;padding-left: 10px; "
        "margin-left: 10px;}|"
        "@li {font-size: 10pt;}|"
        "@a {text-decoration: none;color: #003300}|@a:hover{text-decoration:underline;"
        "color:#003399}|");
    for (int n = 1; n <= deepest; ++n)
        page += QStringLiteral("@li.li%1 {margin-left:%2px}|").arg(n).arg(15 * (n - 1));
    page += QStringLiteral("</style>|<title>") + siteTitle +
            QStringLiteral("</title>|</head>|<body>|<ul>|") + list +
            QStringLiteral("</ul>|</body>|</html>|");
    return applyConventions(page);
}

QString framePage(int topPage, const QString& siteTitle, bool favicon) {
    return applyConventions(
        QStringLiteral("<html>|<head>|"
                       "<meta http-equiv='Content-Type' content='text/html; charset=UTF-8'>|") +
        faviconLine(favicon) + QStringLiteral("<title>") + siteTitle +
        QStringLiteral("</title>|</head>|"
                       "@<frameset cols=~250,*~>|@<frame name=~contents~ target=~main~ "
                       "src=~navi.htm~>|@<frame name=~main~ src=~") +
        QString::number(topPage) +
        QStringLiteral(".htm~>|@<noframes>|@<body>|"
                       "@<p>"
                       "このページにはフレームが使用されていますが、お使いのブラウザではサポートさ"
                       "れていません。</p>|"
                       "@</body>|@</noframes>|</frameset>|</html>|"));
}

QString treeIndexTemplate(bool elastic, bool favicon) {
    QString t = QStringLiteral(
                    "<!DOCTYPE HTML PUBLIC ~-//W3C//DTD HTML 4.01//EN~ "
                    "~http://www.w3.org/TR/html4/strict.dtd~>|"
                    "<html>|<head>|<meta http-equiv=~Content-Language~ content=~ja~>|"
                    "<meta http-equiv=~Content-Type~ content=~text/html; charset=utf-8~>|") +
                faviconLine(favicon) +
                QStringLiteral("<link rel=~stylesheet~ type=~text/css~ href=~cmn/") +
                (elastic ? QStringLiteral("page-el.css") : QStringLiteral("page-fx.css")) +
                QStringLiteral(
                    "~ media=~all~>|"
                    "<script type=~text/javascript~ src=~cmn/menu.js~></script>|"
                    "[STYLE]<title>[TITLE]</title>|</head>|<body>|");
    if (!elastic)
        t += QStringLiteral(
            "<div id=~vBase~>|<div id=~vBack~>|"
            "<div id=~vLeft~>|[MENU]<!-- / vLeft --></div>|"
            "<div id=~vRight~>|[DOC]|<!-- / vRight --></div>|"
            "<!-- / vBack --></div>|<!-- / vBase --></div>|");
    else
        t += QStringLiteral(
            "<div id=~vBase~>|<div id=~vBack~>|"
            "<div id=~vRight~>|[DOC]<!-- / vRight --></div>|"
            "<!-- / vBack --></div>|"
            "<div id=~vLeft~>[MENU]<!-- / vLeft --></div>|"
            "<!-- / vBase --></div>|");
    t += QStringLiteral("</body>|</html>|");
    // Only "~" and "|": the template's own blanks are not written with "@".
    t.replace(u'~', u'"');
    t.replace(u'|', kCrLf);
    return t;
}

}  // namespace arbor::web
