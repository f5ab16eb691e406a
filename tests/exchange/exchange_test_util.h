#pragma once
// Shared helpers of the Word exchange tests: pages built with QTextCursor, access to
// the parts of a written package, and the outside tools (xmllint, LibreOffice,
// pdftotext) with a visible skip when one is missing.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextDocument>
#include <map>
#include <memory>

#include "editor/document_model.h"

class QTextTable;

namespace arbor::test {

// A small picture's file bytes ("PNG" or "JPG").
QByteArray pictureFile(const char* format, int width, int height, QRgb color);

// Fields of a document in order: text and data of each run of equal FieldId.
struct FieldRun {
    QString text;
    QString data;
    int id;
};
std::vector<FieldRun> fieldRuns(const QTextDocument& document);

// Character format at the first character of the first occurrence of text.
QTextCharFormat formatOf(const QTextDocument& document, const QString& text);
// The block holding the first occurrence of text (invalid when absent).
QTextBlock blockOf(const QTextDocument& document, const QString& text);
// The first block whose whole text is text (invalid when absent).
QTextBlock blockWithText(const QTextDocument& document, const QString& text);
// The first table of the document, searching nested frames too.
QTextTable* firstTable(const QTextDocument& document);
// The families a format names (FontFamilies, else FontFamily).
QStringList familiesOf(const QTextCharFormat& format);

// Every entry of a ZIP package, name to bytes.
std::map<QString, QByteArray> unzip(const QByteArray& package);
// A package made of the given entries (deflated), for handcrafted test files.
QByteArray zipOf(const std::map<QString, QByteArray>& entries);
// A minimal .docx around a document.xml body (w: and r: declared) and optional extra
// parts and document relationships (lines of <Relationship .../>).
QByteArray docxWith(const QString& bodyXml, const std::map<QString, QByteArray>& extraParts = {},
                    const QString& extraRelationships = {});

// xmllint's verdict on one XML text: empty when well-formed, else its message.
QString xmllintProblem(const QByteArray& xml);
bool haveTool(const QString& name);
// LibreOffice converts input to extension in a scratch folder; returns the result
// path or an empty string with the reason.
QString sofficeConvert(const QString& input, const QString& extension, QString& reason);
// pdftotext of a PDF, NFKC-normalised (PDF text of CJK fonts may use compatibility
// ideographs).
QString pdfText(const QString& pdf);

// With ARBOR_DOCX_CORPUS set to a folder, saves a package there as a fuzzing seed.
void keepForCorpus(const QString& name, const QByteArray& bytes);

// Owns the documents of a DocumentParts.
struct OwnedParts {
    std::unique_ptr<QTextDocument> body = std::make_unique<QTextDocument>();
    std::unique_ptr<QTextDocument> header = std::make_unique<QTextDocument>();
    std::unique_ptr<QTextDocument> footer = std::make_unique<QTextDocument>();
    doc::PageSetup page;
    doc::DocumentParts parts() { return {body.get(), header.get(), footer.get(), page}; }
};

}  // namespace arbor::test
