#include "epub/book_plan.h"

#include <QSet>

#include "db/result_array.h"
#include "db/zsvr.h"
#include "web/page_file_names.h"

namespace arbor::epub {

namespace {

class Walk {
  public:
    Walk(const VisibleTree& tree, QString (*fileName)(int), BookPlan& plan)
        : tree_(tree), fileName_(fileName), plan_(plan) {}

    void add(int page, const QString& title, int level) {
        const QString file = fileName_(page);
        NavPoint p;
        p.level = level;
        p.number = plan_.points.size() + 1;
        p.title = title;
        p.file = file;
        const auto known = orderOf_.constFind(file);
        if (known == orderOf_.constEnd()) {
            // A new target: the next place in the reading order.
            p.playOrder = orderOf_.size() + 1;
            orderOf_.insert(file, p.playOrder);
            plan_.pages.push_back({page, file});
        } else {
            p.playOrder = *known;
        }
        plan_.points.push_back(p);
        plan_.files.push_back(file);
        plan_.depth = std::max(plan_.depth, level + 1);
    }

    void children(int parent, int level) {
        if (path_.contains(parent))
            return;
        path_.insert(parent);
        for (const TreeEntry& e : tree_.value(parent)) {
            add(e.page, e.label, level);
            children(e.page, level + 1);
        }
        path_.remove(parent);
    }

    // Every visible descendant of page once, depth first.
    void collect(int page, QSet<int>& seen, QString& list) {
        for (const TreeEntry& e : tree_.value(page)) {
            if (seen.contains(e.page))
                continue;
            seen.insert(e.page);
            list += QString::number(e.page) + u'.';
            collect(e.page, seen, list);
        }
    }

  private:
    const VisibleTree& tree_;
    QString (*fileName_)(int);
    BookPlan& plan_;
    QHash<QString, int> orderOf_;
    QSet<int> path_;
};

}  // namespace

QString bookFileName(int page) {
    return web::padPageNumber(QString::number(page)) + QStringLiteral(".xhtml");
}

bool readVisibleTree(VisibleTree& tree, QString& error) {
    tree.clear();
    ResultArray rows;
    if (!zSvr::instance().readRows(QStringLiteral("Select noLfP, noLfC, szDoc From tbTree Where "
                                                  "boHide=0 Order By noLfP, inSrt"),
                                   rows)) {
        error = zSvr::instance().lastError();
        return false;
    }
    for (int r = 0; r < rows.rowCount(); ++r)
        tree[rows(0, r).toInt()].push_back({rows(1, r).toInt(), rows(2, r).toString()});
    return true;
}

BookPlan planBook(const VisibleTree& tree, int root, const QString& rootTitle,
                  QString (*fileName)(int page)) {
    BookPlan plan;
    Walk walk(tree, fileName, plan);
    if (root > 0) {
        QSet<int> seen{root};
        plan.bookPages = u'.' + QString::number(root) + u'.';
        walk.collect(root, seen, plan.bookPages);
        walk.add(root, rootTitle, 0);
        walk.children(root, 1);
    } else {
        walk.children(0, 0);
    }
    return plan;
}

}  // namespace arbor::epub
