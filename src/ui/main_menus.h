#pragma once
// The main window's menus as named arrays of items (mnJb, mnFile, mnEdit, ...), so that
// commands, function keys and the enabling rules can address an item by array and index.
// Captions are the program's; "-" makes a separator.

#include <QHash>
#include <QObject>
#include <QString>
#include <QVector>

#include "editor/function_keys.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace arbor::ui {

// Numbers of the menu arrays the function keys address.
enum MenuGroup : int {
    kMnJb = 1,
    kMnFile = 2,
    kMnEdit = 3,
    kMnEdtDr = 4,
    kMnSelc = 5,
    kMnLocal = 6,
    kMnView = 7,
    kMnWin = 8,
    kMnList = 9,
    kMnPage = 10,
    kMnOrien = 11,
    kMnDisp = 12,
    kMnZoom = 13,
    kMnTree = 14,
    kMnUser = 15,
    kMnRep = 16,
};

class MainMenus : public QObject, public MenuHost {
    Q_OBJECT
  public:
    explicit MainMenus(QWidget* window);

    // Builds the menu bar from the arrays.
    void buildMenuBar(QMenuBar* bar);
    // The item of an array; nullptr when there is none.
    QAction* item(const QString& array, int index) const;
    QVector<QAction*> items(const QString& array) const { return arrays_.value(array); }
    // The drop-down menu of a top-level item (mnJb index).
    QMenu* topMenu(int index) const { return tops_.value(index); }
    QMenu* recentMenuAnchor() const { return dbMenu_; }
    QAction* recentSeparator() const { return recentSeparator_; }
    // Replaces the items of the recent list (mnDbs); triggered(path) on a click.
    void setRecent(const QStringList& captions, const QList<bool>& hidden);

    // The tree's context menu takes group 14.
    void setTreeMenu(const QVector<QAction*>& items) { arrays_[QStringLiteral("mnTree")] = items; }

    // MenuHost
    Item menuItem(int group, int index) const override;
    void fnMenu(int group, int index) override;
    static QString arrayOfGroup(int group);

  signals:
    // A menu item was chosen (array name and index).
    void command(const QString& array, int index);
    void recentChosen(int index);

  private:
    QAction* add(QMenu* menu, const QString& array, const QString& caption,
                 const QString& shortcut = {});
    QMenu* sub(QMenu* menu, const QString& title);

    QWidget* window_;
    QHash<QString, QVector<QAction*>> arrays_;
    QHash<int, QMenu*> tops_;
    QMenu* dbMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QAction* recentEnd_ = nullptr;
};

}  // namespace arbor::ui
