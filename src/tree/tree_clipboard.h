#pragma once
// The tree's clipboard: up to ten pages, the most recent in slot 0. The main window
// shows one paste item per slot, captioned with the label the page had when copied.

#include <QString>
#include <QVector>

namespace arbor::tree {

class TreeClipboard {
  public:
    static constexpr int kSlots = 10;

    struct Slot {
        int page = 0;
        QString caption;
    };

    // Puts the page into slot 0 and moves the others down; the oldest of ten drops out.
    // A page already held changes nothing (false).
    bool add(int page, const QString& caption);
    int count() const { return slots_.size(); }
    // The slot, or an empty one (page 0) outside 0..count-1.
    Slot slot(int index) const;
    bool contains(int page) const;
    void clear() { slots_.clear(); }

  private:
    QVector<Slot> slots_;
};

}  // namespace arbor::tree
