#include "exchange/office_files.h"

#include <QTemporaryDir>

#include "exchange/docx.h"
#include "exchange/office_convert.h"

namespace arbor::office {

namespace {

// LibreOffice converts through a .docx in a private folder that goes away afterwards.
template <typename Work>
bool throughWorkFile(const QString& name, QString& error, Work work) {
    if (!available()) {
        error = missingMessage();
        return false;
    }
    QTemporaryDir folder;
    if (!folder.isValid()) {
        error = QStringLiteral("作業フォルダーを作れません");
        return false;
    }
    return work(folder.filePath(name));
}

}  // namespace

bool readOfficeFile(const QString& path, doc::DocumentParts& parts, QString& error, int timeoutMs) {
    return throughWorkFile(QStringLiteral("converted.docx"), error, [&](const QString& docx) {
        return convert(path, QStringLiteral("docx"), docx, error, timeoutMs) &&
               docx::readDocx(docx, parts, error);
    });
}

bool writeOfficeFile(const doc::DocumentParts& parts, const QString& path, const QString& extension,
                     QString& error, int timeoutMs) {
    return throughWorkFile(QStringLiteral("page.docx"), error, [&](const QString& docx) {
        return docx::writeDocx(parts, docx, error) &&
               convert(docx, extension, path, error, timeoutMs);
    });
}

}  // namespace arbor::office
