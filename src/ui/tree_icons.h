#pragma once
// The image list of the page trees: one icon per image key ("ndcls", "lkopn",
// "tgcls", ...), drawn once and shared.

#include <QIcon>
#include <QString>

namespace arbor::ui {

// The icon of an image key; an empty icon for an unknown key.
QIcon treeIcon(const QString& imageKey);

}  // namespace arbor::ui
