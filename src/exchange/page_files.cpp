#include "exchange/page_files.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <array>

#include "app/file_io.h"
#include "editor/byte_format.h"
#include "editor/html_export.h"
#include "editor/html_import.h"
#include "editor/pdf_export.h"
#include "editor/plain_text.h"
#include "editor/rich_text.h"
#include "editor/text_decoding.h"
#include "exchange/docx.h"
#include "exchange/office_files.h"

namespace arbor::pagefiles {

namespace {

constexpr qint64 kMaxTextFile = 256 * 1024 * 1024;

// A page read from a file, not yet anyone's.
struct ReadPage {
    std::array<QTextDocument, 3> documents;  // body, header, footer
    doc::PageSetup page;
    bool wholePage = false;  // header, footer and page setup came with the file

    doc::DocumentParts parts() { return {&documents[0], &documents[1], &documents[2], page}; }
};

bool readBytes(const QString& path, QByteArray& bytes, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("ファイルを開けません: ") + path;
        return false;
    }
    if (file.size() > kMaxTextFile) {
        error = QStringLiteral("ファイルが大きすぎます: ") + path;
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("ファイルを読めません: ") + path;
        return false;
    }
    return true;
}

bool undecodable(const QString& path, QString& error) {
    error = QStringLiteral(
                "文字コードを判別できません（UTF-8、UTF-16、Shift-JIS、EUC-JP "
                "のいずれでもありません）: ") +
            path;
    return false;
}

bool readDocxInto(ReadPage& read, const QString& path, QString& error) {
    doc::DocumentParts parts = read.parts();
    if (!docx::readDocx(path, parts, error))
        return false;
    read.page = parts.page;
    read.wholePage = true;
    return true;
}

// Word 97-2003 and RTF pass through LibreOffice as .docx.
bool readThroughOffice(ReadPage& read, const QString& path, QString& error) {
    doc::DocumentParts parts = read.parts();
    if (!office::readOfficeFile(path, parts, error))
        return false;
    read.page = parts.page;
    read.wholePage = true;
    return true;
}

bool readFile(ReadPage& read, const QString& path, QString& error) {
    const FileKind kind = kindOf(path);
    if (kind == FileKind::Text || kind == FileKind::Html) {
        QByteArray bytes;
        if (!readBytes(path, bytes, error))
            return false;
        QString text, encoding;
        if (kind == FileKind::Text) {
            if (!textcodec::decodeText(bytes, text, encoding))
                return undecodable(path, error);
            plaintext::setText(read.documents[0], text);
        } else {
            if (!textcodec::decodeHtml(bytes, text, encoding))
                return undecodable(path, error);
            htmlimport::readHtml(read.documents[0], text, QFileInfo(path).absolutePath());
        }
        return true;
    }
    switch (kind) {
        case FileKind::Docx:
            return readDocxInto(read, path, error);
        case FileKind::Rtf:
        case FileKind::Doc:
            return readThroughOffice(read, path, error);
        default:
            error = QStringLiteral("この種類のファイルは読み込めません: ") + path;
            return false;
    }
}

bool writeOdt(const QTextDocument& body, const QString& path, QString& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, "odf");
    if (!writer.write(&body)) {
        error = QStringLiteral("ODT を作れません: ") + path;
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

bool writeThroughOffice(const RichText& page, const QString& path, const QString& extension,
                        QString& error) {
    return office::writeOfficeFile(page.parts(), path, extension, error);
}

}  // namespace

FileKind kindOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("txt"))
        return FileKind::Text;
    if (suffix == QLatin1String("htm") || suffix == QLatin1String("html"))
        return FileKind::Html;
    if (suffix == QLatin1String("odt"))
        return FileKind::Odt;
    if (suffix == QLatin1String("pdf"))
        return FileKind::Pdf;
    if (suffix == QLatin1String("docx"))
        return FileKind::Docx;
    if (suffix == QLatin1String("rtf"))
        return FileKind::Rtf;
    if (suffix == QLatin1String("doc"))
        return FileKind::Doc;
    return FileKind::Unknown;
}

bool loadFile(RichText& page, const QString& path, QString& error) {
    ReadPage read;
    if (!readFile(read, path, error))
        return false;
    // Through the byte format: the page's documents stay the same objects, and a read
    // page is checked like any stored one before it replaces anything. Text and HTML
    // carry no header, footer or page setup; the page keeps its own.
    doc::DocumentParts parts = read.parts();
    if (!read.wholePage)
        parts = {&read.documents[0], page.header(), page.footer(), page.pageSetup()};
    return page.loadBytes(byteformat::save(parts), error);
}

bool insertFile(RichText& page, const QString& path, QString& error) {
    ReadPage read;
    if (!readFile(read, path, error))
        return false;
    doc::DocumentParts bodyOnly{&read.documents[0], nullptr, nullptr, page.pageSetup()};
    return page.insertBytes(byteformat::save(bodyOnly), error);
}

bool saveFile(const RichText& page, const QString& path, QString& error) {
    switch (kindOf(path)) {
        case FileKind::Text:
            return writeFileAtomically(path, page.plainText().toUtf8(), error);
        case FileKind::Html:
            return html::writeHtmlFile(*page.body(), path, error);
        case FileKind::Odt:
            return writeOdt(*page.body(), path, error);
        case FileKind::Pdf:
            return pdf::writePdf(page.parts(), path, error);
        case FileKind::Docx:
            return docx::writeDocx(page.parts(), path, error);
        case FileKind::Rtf:
            return writeThroughOffice(page, path, QStringLiteral("rtf"), error);
        case FileKind::Doc:
            return writeThroughOffice(page, path, QStringLiteral("doc"), error);
        case FileKind::Unknown:
            break;
    }
    error = QStringLiteral("この種類のファイルには保存できません: ") + path;
    return false;
}

}  // namespace arbor::pagefiles
