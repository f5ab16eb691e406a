#include "exchange_test_util.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextTable>

#include "exchange/office_convert.h"
#include "exchange/zip_archive.h"

namespace arbor::test {

QByteArray pictureFile(const char* format, int width, int height, QRgb color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    image.setPixel(0, 0, qRgb(1, 2, 3));  // not a flat picture: encoders keep it apart
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

std::vector<FieldRun> fieldRuns(const QTextDocument& document) {
    std::vector<FieldRun> runs;
    int current = 0;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const int id = f.intProperty(doc::FieldId);
            if (id <= 0) {
                current = 0;
                continue;
            }
            if (id != current)
                runs.push_back({QString(), f.stringProperty(doc::FieldData), id});
            runs.back().text += it.fragment().text();
            current = id;
        }
        current = 0;
    }
    return runs;
}

QTextCharFormat formatOf(const QTextDocument& document, const QString& text) {
    QTextCursor c = document.find(text);
    if (c.isNull())
        return {};
    c.setPosition(c.selectionStart() + 1);
    return c.charFormat();
}

QTextBlock blockOf(const QTextDocument& document, const QString& text) {
    const QTextCursor c = document.find(text);
    return c.isNull() ? QTextBlock() : c.block();
}

QTextBlock blockWithText(const QTextDocument& document, const QString& text) {
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        if (b.text() == text)
            return b;
    return {};
}

namespace {
QTextTable* findTable(QTextFrame* frame) {
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* t = qobject_cast<QTextTable*>(child))
            return t;
        if (QTextTable* t = findTable(child))
            return t;
    }
    return nullptr;
}
}  // namespace

QTextTable* firstTable(const QTextDocument& document) {
    return findTable(document.rootFrame());
}

QStringList familiesOf(const QTextCharFormat& f) {
    const QStringList list = f.property(QTextFormat::FontFamilies).toStringList();
    if (!list.isEmpty())
        return list;
    const QString family = f.stringProperty(QTextFormat::FontFamily);
    return family.isEmpty() ? QStringList() : QStringList{family};
}

std::map<QString, QByteArray> unzip(const QByteArray& package) {
    std::map<QString, QByteArray> out;
    archive::ZipReader zip;
    QString error;
    if (!zip.openBytes(package, error))
        return out;
    for (const archive::EntryInfo& e : zip.entries()) {
        QByteArray bytes;
        if (zip.read(e.name, qint64(1) << 30, bytes, error))
            out[e.name] = bytes;
    }
    return out;
}

QByteArray zipOf(const std::map<QString, QByteArray>& entries) {
    archive::ZipWriter zip;
    for (const auto& [name, bytes] : entries)
        zip.add(name, bytes);
    QString error;
    return zip.finish(error);
}

QByteArray docxWith(const QString& bodyXml, const std::map<QString, QByteArray>& extraParts,
                    const QString& extraRelationships) {
    std::map<QString, QByteArray> entries = extraParts;
    entries[QStringLiteral("[Content_Types].xml")] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
    entries[QStringLiteral("_rels/.rels")] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>";
    entries[QStringLiteral("word/_rels/document.xml.rels")] =
        (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                        "relationships\">") +
         extraRelationships + QStringLiteral("</Relationships>"))
            .toUtf8();
    entries[QStringLiteral("word/document.xml")] =
        (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/"
                        "2006/main\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/"
                        "2006/relationships\" xmlns:wp=\"http://schemas.openxmlformats.org/"
                        "drawingml/2006/wordprocessingDrawing\" xmlns:a=\"http://"
                        "schemas.openxmlformats.org/drawingml/2006/main\" xmlns:pic=\"http://"
                        "schemas.openxmlformats.org/drawingml/2006/picture\"><w:body>") +
         bodyXml + QStringLiteral("</w:body></w:document>"))
            .toUtf8();
    return zipOf(entries);
}

void keepForCorpus(const QString& name, const QByteArray& bytes) {
    const QString dir = qEnvironmentVariable("ARBOR_DOCX_CORPUS");
    if (dir.isEmpty())
        return;
    QFile f(dir + QLatin1Char('/') + name);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QString xmllintProblem(const QByteArray& xml) {
    QProcess lint;
    lint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("-")});
    if (!lint.waitForStarted())
        return QStringLiteral("xmllint did not start");
    lint.write(xml);
    lint.closeWriteChannel();
    lint.waitForFinished(30000);
    if (lint.exitStatus() == QProcess::NormalExit && lint.exitCode() == 0)
        return {};
    return QString::fromUtf8(lint.readAllStandardError()).left(500);
}

bool haveTool(const QString& name) {
    return !QStandardPaths::findExecutable(name).isEmpty();
}

QString sofficeConvert(const QString& input, const QString& extension, QString& reason) {
    const QString output = input + QStringLiteral(".converted.") + extension;
    if (!office::convert(input, extension, output, reason, 180000))
        return {};
    return output;
}

QString pdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

}  // namespace arbor::test
