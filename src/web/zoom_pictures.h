#pragma once
// Enlarged pictures of the site's "pc_zoom" folder that no link of a checked page refers
// to: listed after a link check, and removed on the user's OK.

#include <QString>
#include <QStringList>

namespace arbor::web {

// Picture files (png, jpg, jpeg, gif, bmp, any case) of the folder whose names are not
// among the referenced ones, sorted by name.
QStringList unreferencedZoomPictures(const QString& folder, const QStringList& referenced);

// Asks "参照されていない拡大画像を削除します", then moves each picture to the trash (deletes
// it where there is no trash) and tells what was removed: list + " を削除しました"; an
// empty list says "対象がありません". Returns the names removed.
QStringList deleteZoomPictures(const QString& folder, const QStringList& names);

}  // namespace arbor::web
