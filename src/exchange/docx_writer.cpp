// writeDocx and docxBytes: one page as a Word document, through the document builder.
#include <QTextDocument>

#include "app/file_io.h"
#include "exchange/docx.h"
#include "exchange/docx_builder.h"

namespace arbor::docx {

QByteArray docxBytes(const doc::DocumentParts& parts, QString& error) {
    DocxBuilder builder;
    builder.setPageSetup(parts.page);
    if (parts.header && !parts.header->isEmpty())
        builder.setHeader(*parts.header);
    if (parts.footer && !parts.footer->isEmpty())
        builder.setFooter(*parts.footer);
    if (parts.body)
        builder.appendDocument(*parts.body);
    return builder.package(error);
}

bool writeDocx(const doc::DocumentParts& parts, const QString& path, QString& error) {
    const QByteArray bytes = docxBytes(parts, error);
    if (bytes.isEmpty())
        return false;
    return writeFileAtomically(path, bytes, error);
}

}  // namespace arbor::docx
