#pragma once
// What both .docx fuzz targets do with an input: read it as a page, and when that
// succeeds write the page again and read the result, so the writer meets whatever
// the reader accepted.

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

#include "editor/document_model.h"
#include "exchange/docx.h"

namespace arbor::fuzz {

inline void startGui(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*=false");
    static QGuiApplication app(*argc, *argv);
}

inline void readWriteRead(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument body, header, footer;
    doc::DocumentParts parts{&body, &header, &footer, {}};
    QString error;
    if (!docx::readDocxBytes(bytes, parts, error)) {
        if (error.isEmpty())
            std::abort();  // a refusal always has a reason
        return;
    }
    const QByteArray again = docx::docxBytes(parts, error);
    if (again.isEmpty())
        std::abort();
    QTextDocument body2, header2, footer2;
    doc::DocumentParts parts2{&body2, &header2, &footer2, {}};
    if (!docx::readDocxBytes(again, parts2, error))
        std::abort();  // what we wrote we must read
    if (body2.toPlainText() != body.toPlainText())
        std::abort();
}

}  // namespace arbor::fuzz
