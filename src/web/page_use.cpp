#include "web/page_use.h"

#include <QString>

#include "db/zsvr.h"

namespace arbor::web {

bool markPagesInTree() {
    zSvr& db = zSvr::instance();
    const bool cleared = db.D_ExeSq(
        QStringLiteral("Update msDoc Set boUse=0 Where (boUse Is Null Or boUse<>0) And noDoc Not "
                       "In (Select noLfC From tbTree)"));
    const bool marked = db.D_ExeSq(
        QStringLiteral("Update msDoc Set boUse=1 Where (boUse Is Null Or boUse<>1) And noDoc In "
                       "(Select noLfC From tbTree)"));
    return cleared && marked;
}

}  // namespace arbor::web
