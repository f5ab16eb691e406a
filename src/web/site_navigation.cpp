#include "web/site_navigation.h"

#include "app/text_cut.h"

namespace arbor::web {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString spaces(int n) {
    return QString(n, u' ');
}

// One left-menu entry; a kind not in the table is its own class name.
QString itemText(const QString& kind, const QString& file, const QString& title) {
    QString cls = kind;
    if (kind == u"PN")
        cls = QStringLiteral("lp_now");
    else if (kind == u"P")
        cls = QStringLiteral("lp");
    else if (kind == u"PX")
        cls = QStringLiteral("lp_nxt");
    else if (kind == u"CN")
        cls = QStringLiteral("lc_now");
    else if (kind == u"C")
        cls = QStringLiteral("lc");
    return spaces(16) + QStringLiteral("<li class=\"") + cls + QStringLiteral("\"><a href=\"") +
           htmlText(file) + QStringLiteral("\">") + title + QStringLiteral("</a></li>") + kCrLf;
}

}  // namespace

QString menuTitle(const QString& label) {
    QString out;
    out.reserve(label.size());
    for (const QChar c : label)
        if (c != u' ' && c != u'&' && c != u'<' && c != u'>' && c != u'"' && c != u'\'')
            out += c;
    return out;
}

QString htmlText(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
            case u'&':
                out += QStringLiteral("&amp;");
                break;
            case u'<':
                out += QStringLiteral("&lt;");
                break;
            case u'>':
                out += QStringLiteral("&gt;");
                break;
            case u'"':
                out += QStringLiteral("&quot;");
                break;
            default:
                out += c;
        }
    }
    return out;
}

// ---------------------------------------------------------------- the page sequence

void PageSequence::build(const SiteTree& tree, const FileNameOf& fileName) {
    rows_.clear();
    cursor_ = 0;
    QVector<int> path;
    fill(tree, fileName, 0, 0, path);
}

void PageSequence::fill(const SiteTree& tree, const FileNameOf& fileName, int parent, int level,
                        QVector<int>& path) {
    const QVector<int>& children = tree.children(parent);
    if (!rows_.isEmpty() && rows_.back().page == parent && level > 0) {
        // The parent's row is the one just before: does it have anything to show?
        bool any = false;
        for (int i : children)
            any = any || tree.hasPage(tree.at(i).page);
        rows_.back().hasChildren = any;
    }
    for (int i : children) {
        const SitePlacement& p = tree.at(i);
        if (!tree.hasPage(p.page) || path.contains(p.page))
            continue;
        SequenceRow row;
        row.index = static_cast<int>(rows_.size());
        row.level = level;
        row.parent = parent;
        row.page = p.page;
        row.file = fileName(parent, p.page, p.link);
        row.title = menuTitle(p.label);
        rows_.push_back(row);
        if (!tree.isCollecting(p.page)) {
            path.push_back(p.page);
            fill(tree, fileName, p.page, level + 1, path);
            path.pop_back();
        }
    }
}

int PageSequence::locate(int parent, int page) const {
    const int n = static_cast<int>(rows_.size());
    auto matches = [&](int r) { return rows_[r].parent == parent && rows_[r].page == page; };
    if (cursor_ < n && matches(cursor_))
        return cursor_;
    for (int r = cursor_ + 1; r < n; ++r)
        if (matches(r))
            return r;
    for (int r = 0; r <= std::min(cursor_ + 1, n - 1); ++r)
        if (matches(r))
            return r;
    return -1;
}

QString PageSequence::BuildLeftMenu(int parent, int page) {
    const int c = locate(parent, page);
    if (c < 0)
        return QString();
    const int n = static_cast<int>(rows_.size());
    const SequenceRow& row = rows_[c];
    const int level = row.level;
    auto item = [&](const QString& kind, int r) {
        return itemText(kind, rows_[r].file, rows_[r].title);
    };
    QString before;  // entries put in front, nearest last
    QString menu;
    QString after;
    if (!row.hasChildren) {
        const int lp = std::max(level - 1, 0);
        menu = item(QStringLiteral("CN"), c);
        int r = c - 1;
        for (; r >= 0 && rows_[r].level >= level; --r)
            if (rows_[r].level == level)
                before = item(QStringLiteral("C"), r) + before;
        const int p = r < 0 ? 0 : r;
        if (p > 0)
            for (r = p; r >= 0 && rows_[r].level >= lp; --r)
                if (rows_[r].level == lp)
                    before = item(QStringLiteral("P"), r) + before;
        bool follows = false;
        r = c + 1;
        for (; r < n && rows_[r].level >= level; ++r)
            if (rows_[r].level == level) {
                after += item(QStringLiteral("C"), r);
                follows = true;
            }
        if (r < n && r >= 1) {
            for (; r < n; ++r) {
                if (rows_[r].level == lp) {
                    after += item(QStringLiteral("P"), r);
                    follows = true;
                } else if (rows_[r].level < lp) {
                    if (!follows)
                        after += item(QStringLiteral("PX"), r);
                    break;
                }
            }
        }
    } else {
        const int lp = level;
        const int lc = level + 1;
        menu = item(QStringLiteral("PN"), c);
        for (int r = c - 1; r >= 0 && rows_[r].level >= lp; --r)
            if (rows_[r].level == lp)
                before = item(QStringLiteral("P"), r) + before;
        int r = c + 1;
        for (; r < n && rows_[r].level >= lc; ++r)
            if (rows_[r].level == lc)
                after += item(QStringLiteral("C"), r);
        if (r < n && r >= 1) {
            bool mark = false;
            for (; r < n; ++r) {
                if (rows_[r].level == lp) {
                    after += item(QStringLiteral("P"), r);
                    mark = true;
                } else if (rows_[r].level < lp) {
                    if (!mark)
                        after += item(QStringLiteral("PX"), r);
                    break;
                }
            }
        }
    }
    cursor_ = c + 1;
    return spaces(12) + before + menu + after;
}

QString PageSequence::InsertPageNavigation(const QString& pageText, int c) const {
    if (c < 0 || c >= rows_.size())
        return pageText;
    const QString spacer(5, QChar(0x3000));
    QString previous = c > 0 ? rows_[c - 1].file : QString();
    QString next = c + 1 < rows_.size() ? rows_[c + 1].file : QString();
    if (rows_[c].file.contains(QStringLiteral("../"))) {
        // A page in the site root reaches the others through the page folder.
        auto rebased = [](const QString& file) {
            return file.isEmpty()
                       ? file
                       : QString(QStringLiteral("pub/") + file).remove(QStringLiteral("pub/../"));
        };
        previous = rebased(previous);
        next = rebased(next);
    }
    QString links;
    if (!previous.isEmpty())
        links += QStringLiteral("<a href=\"") + htmlText(previous) +
                 QStringLiteral("#aTopPage\">前のページへ</a>") + spacer;
    links += QStringLiteral("<a href=\"#aTopPage\">このページの先頭へ</a>");
    if (!next.isEmpty())
        links += spacer + QStringLiteral("<a href=\"") + htmlText(next) +
                 QStringLiteral("#aTopPage\">次のページへ</a>");
    const QString block = spaces(8) + QStringLiteral("<div style=\"text-align:center\">\r") +
                          spaces(8) + QStringLiteral("<br>") + links + u'\r' + spaces(8) +
                          QStringLiteral("</div>");
    const QString anchor = QStringLiteral("   <a name=\"aTopPage\"></a>");

    QString text = pageText;
    const qsizetype back =
        text.indexOf(QStringLiteral("<div id=\"vBack\">"), 0, Qt::CaseInsensitive);
    if (back < 0)
        return text;
    text.insert(back, anchor + u'\r');
    const qsizetype marker = text.indexOf(QStringLiteral("<!-- / vBack -->"));
    if (marker < 0)
        return text;
    const qsizetype closeDiv = text.lastIndexOf(QStringLiteral("</div>"), marker);
    if (closeDiv < 0)
        return text;
    const qsizetype lineStart = text.lastIndexOf(u'\r', closeDiv);
    if (lineStart < 0)
        return text;
    text.insert(lineStart, u'\r' + block);
    return text;
}

// ---------------------------------------------------------------- top menus and trail

TopMenus BuildTopMenus(const SiteTree& tree, const FileNameOf& fileName, int current) {
    QString plain, drop;
    for (int i : tree.children(0)) {
        const SitePlacement& top = tree.at(i);
        const QString file = htmlText(fileName(0, top.page, top.link));
        const QString title = menuTitle(top.label);
        const QString start = spaces(16) + QStringLiteral("<li") +
                              (top.page == current ? QStringLiteral(" class='now'") : QString());
        plain += start + QStringLiteral("><a href='") + file + QStringLiteral("'>") + title +
                 QStringLiteral("</a></li>|");
        QString sub;
        // The children of a collecting page are published through it, in no menu.
        if (!tree.isCollecting(top.page) && !tree.children(top.page).isEmpty()) {
            sub = spaces(20) + QStringLiteral("<ul class='sub'>|");
            for (int k : tree.children(top.page)) {
                const SitePlacement& child = tree.at(k);
                sub += spaces(22) + QStringLiteral("<li><a href='") +
                       htmlText(fileName(top.page, child.page, child.link)) + QStringLiteral("'>") +
                       menuTitle(child.label) + QStringLiteral("</a></li>|");
            }
            sub += spaces(20) + QStringLiteral("</ul>|");
        }
        drop += start + QStringLiteral("><a href='") + file + QStringLiteral("'>") + title +
                QStringLiteral("</a>|") + sub + QStringLiteral("|") + spaces(16) +
                QStringLiteral("</li>|");
    }
    auto finish = [](QString menu) -> QString {
        menu.replace(u'|', u'\r');
        menu.replace(u'\'', u'"');
        return spaces(12) + menu;
    };
    return {finish(plain), finish(drop)};
}

QString BuildTrail(const QString& parentTrail, const QString& file, const QString& label) {
    QString trail;
    if (!parentTrail.isEmpty())
        trail = parentTrail + QStringLiteral(" &gt;\r");
    return trail + spaces(11) + QStringLiteral("<a href=\"") + htmlText(file) +
           QStringLiteral("\">") + htmlText(label) + QStringLiteral("</a>");
}

// ---------------------------------------------------------------- collecting pages

QString AppendChildrenTable(const QString& body, const QVector<CollectedChild>& children,
                            const FileNameOf& fileName) {
    if (children.isEmpty())
        return body;
    // "^" stands for a double quote, "|" for a line break and "@" for two blanks in the
    // fixed parts only: the user's texts keep such characters as they are.
    auto fixed = [](QString text) {
        text.replace(u'^', u'"');
        text.replace(QStringLiteral("|"), kCrLf);
        text.replace(QStringLiteral("@"), QStringLiteral("  "));
        return text;
    };
    QString table =
        fixed(QStringLiteral("<table width=^100%^ cellpadding=^0pt^>|<colgroup>|@<col width=^30%^>|"
                             "@<col width=^70%^>|</colgroup>|"));
    for (const CollectedChild& child : children) {
        table += fixed(QStringLiteral("<tr>|@<td><a href=^")) +
                 htmlText(fileName(0, child.page, false)) + fixed(QStringLiteral("^>")) +
                 htmlText(child.label) + fixed(QStringLiteral("</a></td>|@<td>")) +
                 htmlText(leftCharacters(child.text, 255)) + fixed(QStringLiteral("</td>|</tr>|"));
    }
    table += fixed(QStringLiteral("</table>|"));
    QString result = body;
    const qsizetype end = result.indexOf(QStringLiteral("</body>"), 0, Qt::CaseInsensitive);
    if (end < 0)
        return result + table;
    result.insert(end, table);
    return result;
}

}  // namespace arbor::web
