#include "tree/tree_clipboard.h"

namespace arbor::tree {

bool TreeClipboard::add(int page, const QString& caption) {
    if (contains(page))
        return false;
    slots_.prepend({page, caption});
    if (slots_.size() > kSlots)
        slots_.removeLast();
    return true;
}

TreeClipboard::Slot TreeClipboard::slot(int index) const {
    return index >= 0 && index < slots_.size() ? slots_[index] : Slot{};
}

bool TreeClipboard::contains(int page) const {
    for (const Slot& s : slots_)
        if (s.page == page)
            return true;
    return false;
}

}  // namespace arbor::tree
