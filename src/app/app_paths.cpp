#include "app/app_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/program_state.h"

#ifndef ARBOR_SOURCE_APDATA
#define ARBOR_SOURCE_APDATA ""
#endif

namespace arbor {

namespace {

QString folderOf(QStandardPaths::StandardLocation location) {
    return QStandardPaths::writableLocation(location);
}

QString clean(const QString& folder) {
    QString path = QDir::cleanPath(folder);
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

}  // namespace

QString programFilePath() {
#ifdef Q_OS_WIN
    return G().ProgramDir + G().ExeName + QStringLiteral(".exe");
#else
    return G().ProgramDir + G().ExeName;
#endif
}

QString apDataPathFor(const QString& programDir) {
    QString dir = programDir;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    if (QDir(dir).dirName() == QLatin1String("bin")) {
        const QString installed =
            QDir::cleanPath(dir + QStringLiteral("../share/arbor/apData")) + QLatin1Char('/');
        if (QFileInfo(installed).isDir())
            return installed;
    }
    return QStringLiteral(ARBOR_SOURCE_APDATA);
}

UserFolders UserFolders::resolved() const {
    UserFolders r;
    r.appData = clean(appData.isEmpty() ? folderOf(QStandardPaths::GenericDataLocation) : appData);
    r.documents =
        clean(documents.isEmpty() ? folderOf(QStandardPaths::DocumentsLocation) : documents);
    r.config = clean(config.isEmpty() ? folderOf(QStandardPaths::GenericConfigLocation) : config);
    return r;
}

}  // namespace arbor
