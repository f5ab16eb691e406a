#pragma once
// The recent-database list of the database menu: the newest first, at most eleven
// while the program runs, nine kept in the settings group "最近" (keys "1." to "9.").

#include <QString>
#include <QStringList>

namespace arbor {

class yIni;

class RecentDatabases {
  public:
    static constexpr int kMaxItems = 11;
    static constexpr int kSaved = 9;

    // Paths in menu order; hidden ones (a failed open) stay in place but are not shown.
    QStringList paths() const { return paths_; }
    bool isHidden(int index) const { return hidden_.value(index); }
    // "1." + path, "2." + path ...
    QString caption(int index) const;
    // The path of a caption: the text after the number and dot, trimmed.
    static QString pathOfCaption(const QString& caption);

    // After a successful open: a path already listed changes nothing; otherwise it goes
    // first and the others move down; the list never grows beyond eleven.
    void add(const QString& path);
    void hide(const QString& path);

    // Loads the entries whose files exist; relative paths are taken from userPath.
    void load(yIni& ini, const QString& userPath);
    // Writes the first nine visible entries.
    void save(yIni& ini) const;

  private:
    QStringList paths_;
    QList<bool> hidden_;
};

// A path from the settings: absolute when it starts with "/" or "~/", otherwise
// relative to the user data folder.
QString settingsPath(const QString& stored, const QString& userPath);

}  // namespace arbor
