#pragma once
// The tree context menu mnTree: items by their index (separators at 3, 6, 10, 13, 16,
// 19 and 23), the paste submenu with mnCpT(0) and one mnClp(i) per clipboard slot, and
// the bulk submenu mnTrRet. It only holds and enables the items; the owner acts.

#include <QMenu>
#include <QVector>

namespace arbor::tree {
class PageTree;
}

namespace arbor::ui {

class TreeMenu : public QObject {
    Q_OBJECT
  public:
    static constexpr int kItems = 25;

    explicit TreeMenu(QWidget* parent = nullptr);

    QMenu* menu() const { return menu_; }
    // mnTree(index); nullptr for a separator or outside the range.
    QAction* item(int index) const;
    QAction* pasteExisting() const { return pasteExisting_; }  // mnCpT(0)
    QAction* bulkItem(int mode) const;                         // mnTrRet(mode)
    QList<QAction*> clipItems() const;                         // visible mnClp(i)

    // Items whose windows belong to others stay disabled until the owner says so.
    void setAvailable(int index, bool available);
    // One paste item per clipboard slot, captioned with the page label.
    void updateClipboard(const tree::PageTree& tree);
    // Enabling for the selected node, run before the menu pops up.
    void updateFor(const tree::PageTree& tree);

  signals:
    void triggered(int index);
    void clipTriggered(int slot);
    void pasteExistingTriggered();
    void bulkTriggered(int mode);

  private:
    QMenu* menu_;
    QMenu* paste_;
    QMenu* bulk_;
    QVector<QAction*> items_;
    QVector<bool> available_;
    QAction* pasteExisting_;
    QAction* clipSeparator_;
    QVector<QAction*> clips_;
    QVector<QAction*> bulkItems_;
};

}  // namespace arbor::ui
