#include "cli/batch_session.h"

#include <QCoreApplication>

#include "app/startup.h"
#include "app/yini.h"
#include "db/schema.h"
#include "db/zsvr.h"

namespace arbor::cli {

void LineProgress::status(const QString& text) {
    if (style_.statusLines)
        err_ << text << Qt::endl;
}

void LineProgress::showWait(const QString& text) {
    if (text == lastWait_)
        return;
    lastWait_ = text;
    err_ << text << Qt::endl;
}

void LineProgress::step(qint64 done, qint64 total) {
    if (total <= 0) {
        err_ << "\r" << done << " " << style_.unknownTotalUnit;
    } else {
        if (done < total && style_.every > 1 && done % style_.every != 0)
            return;
        err_ << "\r" << done << " / " << total << " " << style_.unit << (done >= total ? "\n" : "");
    }
    err_.flush();
}

bool takeValue(const QStringList& args, int& i, QString& into, QTextStream& err) {
    if (i + 1 >= args.size()) {
        err << args[i] << " の値がありません" << Qt::endl;
        return false;
    }
    into = args[++i];
    return true;
}

BatchDatabase::BatchDatabase(const QString& path, QTextStream& err) {
    runStartup(processInputs({QCoreApplication::applicationFilePath()}), Ini());
    zSvr& db = zSvr::instance();
    bool ok = false;
    db.D_StDcDb(path, ok);
    if (!ok) {
        err << "開けません: " << path << Qt::endl << "  " << db.lastError() << Qt::endl;
        return;
    }
    if (!ChkDocDb()) {
        db.D_Close();
        return;
    }
    open_ = true;
}

BatchDatabase::~BatchDatabase() {
    if (progressSet_)
        setProgress(previous_);
    if (open_)
        zSvr::instance().D_Close();
}

void BatchDatabase::showProgress(Progress& progress) {
    Progress* before = setProgress(&progress);
    if (!progressSet_)
        previous_ = before;
    progressSet_ = true;
}

}  // namespace arbor::cli
