#include "db/recent_databases.h"

#include <QDir>
#include <QFileInfo>

#include "app/yini.h"

namespace arbor {

namespace {
const QString kGroup = QStringLiteral("最近");
}

QString settingsPath(const QString& stored, const QString& userPath) {
    if (stored.startsWith(u'/'))
        return stored;
    if (stored.startsWith(QLatin1String("~/")))
        return QDir::homePath() + stored.mid(1);
    return userPath + stored;
}

QString RecentDatabases::caption(int index) const {
    return QString::number(index + 1) + u'.' + paths_.value(index);
}

QString RecentDatabases::pathOfCaption(const QString& caption) {
    const int dot = caption.indexOf(u'.');
    return caption.mid(dot + 1).trimmed();
}

void RecentDatabases::add(const QString& path) {
    if (path.isEmpty())
        return;
    const int at = paths_.indexOf(path);
    if (at >= 0) {
        hidden_[at] = false;
        return;
    }
    paths_.prepend(path);
    hidden_.prepend(false);
    while (paths_.size() > kMaxItems) {
        paths_.removeLast();
        hidden_.removeLast();
    }
}

void RecentDatabases::hide(const QString& path) {
    const int at = paths_.indexOf(path);
    if (at >= 0)
        hidden_[at] = true;
}

void RecentDatabases::load(yIni& ini, const QString& userPath) {
    paths_.clear();
    hidden_.clear();
    ini.GetGtx(kGroup);
    for (int n = 1; n <= kSaved; ++n) {
        const QString stored =
            ini.vGtVal(QString::number(n) + u'.', QString()).toString().trimmed();
        if (stored.isEmpty())
            continue;
        const QString path = settingsPath(stored, userPath);
        if (!QFileInfo(path).isFile() || paths_.contains(path))
            continue;
        paths_ << path;
        hidden_ << false;
    }
}

void RecentDatabases::save(yIni& ini) const {
    ini.GetGtx(kGroup);
    int n = 0;
    for (int i = 0; i < paths_.size() && n < kSaved; ++i) {
        if (hidden_[i])
            continue;
        ini.SetVal(QString::number(++n) + u'.', paths_[i]);
    }
    // Entries beyond the list are emptied so an old one does not come back.
    while (n < kSaved)
        ini.SetVal(QString::number(++n) + u'.', QString());
    ini.SetGtx();
}

}  // namespace arbor
