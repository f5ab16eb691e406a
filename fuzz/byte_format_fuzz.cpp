// libFuzzer target for the byte-format loader. Every input is tried as it is and with a
// checksum made to match, so mutations reach the parser behind the checksum too. What
// loads must lay out, save, and load again; inserting must never harm the target.
#include <QByteArray>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

#include "editor/byte_format.h"
#include "editor/byte_io.h"
#include "editor/document_model.h"

namespace {

constexpr qsizetype kHeaderSize = 20;

QByteArray withMatchingChecksum(QByteArray data) {
    if (data.size() < kHeaderSize)
        return data;
    const uint32_t crc = arbor::bytes::crc32(data.mid(kHeaderSize));
    for (int i = 0; i < 4; ++i)
        data[16 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    return data;
}

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

void tryInput(const QByteArray& input) {
    QTextDocument body, header, footer;
    arbor::doc::DocumentParts parts{&body, &header, &footer, {}};
    QString error;
    if (arbor::byteformat::load(input, parts, error)) {
        // The editor lays every page out; that must hold for anything the loader accepts.
        body.setPageSize(QSizeF(600, 800));
        (void)body.pageCount();
        (void)header.size();
        const QByteArray again = arbor::byteformat::save(parts);
        QString second;
        if (!arbor::byteformat::load(again, parts, second))
            std::abort();  // a loaded page must always save to a block that loads
    } else if (error.isEmpty()) {
        std::abort();  // a refusal always says why
    }
    QTextDocument target;
    QTextCursor cursor(&target);
    cursor.insertText(QStringLiteral("前後"));
    cursor.setPosition(1);
    (void)arbor::byteformat::insert(input, cursor, error);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    // Fonts and layout need a GUI application; it lives as long as the process.
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    tryInput(input);
    const QByteArray fixed = withMatchingChecksum(input);
    if (fixed != input)
        tryInput(fixed);
    return 0;
}
