#include "epub/book_settings.h"

#include <QRandomGenerator>

#include "app/program_state.h"
#include "db/result_array.h"
#include "db/zsvr.h"

namespace arbor::epub {

bool loadBookSettings(BookSettings& s) {
    zSvr& db = zSvr::instance();
    ResultArray rows;
    const bool read = db.readRows(QStringLiteral("Select EsTtl, EsUid, EsCre, EsPub, EsName, "
                                                 "EbFold, EbTbF, EbNit From kaUsr"),
                                  rows);
    if (read && rows.rowCount() > 0) {
        s.title = rows(0, 0).toString();
        s.identifier = rows(1, 0).toString();
        s.author = rows(2, 0).toString();
        s.publisher = rows(3, 0).toString();
        s.outputName = rows(4, 0).toString();
        s.openFolder = rows(5, 0).toInt() != 0;
        s.fullWidthTables = rows(6, 0).toInt() != 0;
        s.noItalics = rows(7, 0).toInt() != 0;
    }
    if (s.title.isEmpty())
        s.title = db.R_GtVaL(QStringLiteral("Select Top 1 H.szTtl From tbTree T, tbHtm H"
                                            " Where T.noLfP = 0 And T.boLnk = 0 And "
                                            "T.noLfC=H.noDoc  Order By T.inSrt"),
                             QString())
                      .toString();
    if (s.outputName.isEmpty())
        s.outputName = G().DbName;
    return read && rows.rowCount() > 0;
}

bool saveBookSettings(const BookSettings& s, QString& error) {
    zSvr& db = zSvr::instance();
    const bool exists = db.R_GtVaL(QStringLiteral("Select Count(*) From kaUsr"), 0).toInt() > 0;
    QString sql = exists ? QStringLiteral(
                               "Update kaUsr Set EsTtl='?', EsUid='?', EsCre='?', EsPub='?'"
                               ", EsName='?', EbFold=?, EbTbF=? , EbNit=?  ")
                         : QStringLiteral(
                               "Insert into kaUsr (EsTtl, EsUid, EsCre, EsPub, EsName, EbFold, "
                               "EbTbF, EbNit) Values ('?', '?', '?', '?','?', ?, ?, ?)");
    db.T_CnvSq(sql, {s.title, s.identifier, s.author, s.publisher, s.outputName,
                     s.openFolder ? 1 : 0, s.fullWidthTables ? 1 : 0, s.noItalics ? 1 : 0});
    if (!db.D_ExeSq(sql)) {
        error = db.lastError();
        return false;
    }
    return true;
}

QString generateIdentifier() {
    const int number = int(QRandomGenerator::global()->generateDouble() * 1000000.0);
    return QStringLiteral("arepub_") + QString::number(number);
}

}  // namespace arbor::epub
