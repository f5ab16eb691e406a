#include "exchange/office_files.h"

#include <QTemporaryDir>

#include "exchange/docx.h"
#include "exchange/office_convert.h"

namespace arbor::office {

bool readOfficeFile(const QString& path, doc::DocumentParts& parts, QString& error, int timeoutMs) {
    if (!available()) {
        error = missingMessage();
        return false;
    }
    QTemporaryDir work;
    if (!work.isValid()) {
        error = QStringLiteral("作業フォルダーを作れません");
        return false;
    }
    const QString docx = work.filePath(QStringLiteral("converted.docx"));
    return convert(path, QStringLiteral("docx"), docx, error, timeoutMs) &&
           docx::readDocx(docx, parts, error);
}

bool writeOfficeFile(const doc::DocumentParts& parts, const QString& path, const QString& extension,
                     QString& error, int timeoutMs) {
    if (!available()) {
        error = missingMessage();
        return false;
    }
    QTemporaryDir work;
    if (!work.isValid()) {
        error = QStringLiteral("作業フォルダーを作れません");
        return false;
    }
    const QString docx = work.filePath(QStringLiteral("page.docx"));
    return docx::writeDocx(parts, docx, error) && convert(docx, extension, path, error, timeoutMs);
}

}  // namespace arbor::office
