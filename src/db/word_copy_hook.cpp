#include "db/word_copy_hook.h"

#include <QFileInfo>

namespace arbor {

namespace {

WordCopyWriter& registered() {
    static WordCopyWriter writer;
    return writer;
}

}  // namespace

QString wordCopyFolder(const QString& userPath, const QString& dbName) {
    return userPath + QStringLiteral("Dbs/") + dbName + QStringLiteral("_doc/");
}

QString wordCopyFolderBeside(const QString& databasePath) {
    const QFileInfo file(databasePath);
    return file.absolutePath() + u'/' + file.completeBaseName() + QStringLiteral("_doc/");
}

QString wordCopyFileName(int number) {
    return QString::number(number).rightJustified(4, u'0') + QStringLiteral(".docx");
}

WordCopyWriter setWordCopyWriter(WordCopyWriter writer) {
    return std::exchange(registered(), std::move(writer));
}

bool hasWordCopyWriter() {
    return static_cast<bool>(registered());
}

WordCopyOutcome writeWordCopies(const WordCopyJob& job) {
    if (!registered())
        return {};
    return registered()(job);
}

}  // namespace arbor
