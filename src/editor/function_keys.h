#pragma once
// The function-key bar's logic: twelve keys in two layers ("F" plain, "C" while Ctrl is
// held), each bound to an item of the host window's menus by a two-character menu code.

#include <QString>
#include <QVector>

namespace arbor {

// The host window's menus as the keys see them.
class MenuHost {
  public:
    virtual ~MenuHost() = default;
    struct Item {
        bool exists = false;
        QString caption;  // "-" for a separator
        bool enabled = false;
    };
    virtual Item menuItem(int group, int index) const = 0;
    // Runs the item's command exactly as a click on it would.
    virtual void fnMenu(int group, int index) = 0;
};

// Menu code: group digit then index digit, "0"-"9" and "A"-"Z" for 0-35.
QString menuCode(int group, int index);
bool decodeMenuCode(const QString& code, int& group, int& index);

class FunctionKeys {
  public:
    struct Key {
        QString caption;  // shown: key name + " " + caption; empty when unbound
        QString tip;
        bool enabled = true;
    };

    // Attaches to the host; the key map is cleared and the plain layer shown.
    void cOn(MenuHost* host);
    void cOff();
    // Binds "F1".."F12" / "C1".."C12" to a menu item; a missing item or separator binds nothing.
    void cKey(const QString& key, int group, int index, const QString& caption, const QString& tip);
    void SetEnb(const QString& keys, bool enabled);
    void SetEnbByMenu();
    // A key press: number 1-12, ctrl held or not. Returns true when a command ran.
    bool press(int number, bool ctrl);

    QString keyMap() const { return map_; }
    // The layer shown: "F", or "C" while Ctrl is held.
    QString layer() const { return layer_; }
    void setCtrlHeld(bool held) { layer_ = held ? QStringLiteral("C") : QStringLiteral("F"); }
    Key key(const QString& name) const;

  private:
    int slot(const QString& name) const;  // 0-23, -1 for a bad name

    MenuHost* host_ = nullptr;
    QString map_;
    QString layer_ = QStringLiteral("F");
    QVector<Key> keys_ = QVector<Key>(24);
};

// Binds the main window's keys (F2-F9, C1-C9) with their captions and tips.
void bindMainWindowKeys(FunctionKeys& keys);

}  // namespace arbor
