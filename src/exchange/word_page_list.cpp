#include "exchange/word_page_list.h"

#include "db/zsvr.h"

namespace arbor::word {

namespace {

struct Walk {
    QList<Entry> entries;
    QString met = QStringLiteral(".");  // "." list of the pages met

    bool seen(int page) const { return met.contains(u'.' + QString::number(page) + u'.'); }
    void meet(int page) { met += QString::number(page) + u'.'; }

    void children(int parent, const QString& number, bool descend) {
        ResultArray rows;
        zSvr::instance().readRows(QStringLiteral(" Select noLfC From tbTree Where noLfP=") +
                                      QString::number(parent) + QStringLiteral(" Order By inSrt "),
                                  rows);
        for (int r = 0; r < rows.rowCount(); ++r) {
            const int page = rows(0, r).toInt();
            const QString own = QString::number(r + 1);
            Entry e{parent, page, number.isEmpty() ? own : number + u'-' + own, seen(page)};
            entries.push_back(e);
            if (e.repeated)
                continue;
            meet(page);
            if (descend && entries.size() < kDescendLimit)
                children(page, e.number, true);
        }
    }
};

}  // namespace

QList<Entry> pageList(Range range, int currentPage, int currentParent) {
    Walk walk;
    if (range == Range::AllPages) {
        walk.children(0, QString(), true);
        return walk.entries;
    }
    if (currentPage <= 0)
        return {};
    walk.entries.push_back({currentParent, currentPage, QString(), false});
    walk.meet(currentPage);
    walk.children(currentPage, QString(), range == Range::CurrentNodeAndBelow);
    return walk.entries;
}

QString fullWidthNumber(const QString& number) {
    QString out;
    out.reserve(number.size());
    for (const QChar c : number) {
        if (c >= u'0' && c <= u'9')
            out += QChar(c.unicode() - u'0' + 0xFF10);
        else if (c == u'-')
            out += QChar(0xFF0D);
        else
            out += c;
    }
    return out;
}

QString headingText(int index, const QString& number, const QString& title) {
    if (title.isEmpty())
        return {};
    if (index == 0 || number.isEmpty())
        return title;
    return fullWidthNumber(number) + u' ' + title;
}

int headingLevel(int index, const QString& number) {
    if (index == 0)
        return 1;
    return number.contains(u'-') ? 3 : 2;
}

QString placementTitle(int parent, int page) {
    return zSvr::instance()
        .R_GtVaL(QStringLiteral("Select szDoc  From tbTree Where noLfP=") +
                     QString::number(parent) + QStringLiteral(" And noLfC=") +
                     QString::number(page),
                 QString())
        .toString();
}

}  // namespace arbor::word
