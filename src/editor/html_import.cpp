#include "editor/html_import.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <algorithm>

#include "editor/document_model.h"
#include "editor/pictures.h"

namespace arbor::htmlimport {

namespace {

constexpr qint64 kMaxPicture = 64 * 1024 * 1024;

struct Run {
    int start;
    int length;
    QString href;
};

QString fieldData(const QString& href) {
    if (href.startsWith(QLatin1String("#TG_"), Qt::CaseInsensitive) ||
        href.startsWith(QLatin1String("#TP_"), Qt::CaseInsensitive))
        return QUrl::fromPercentEncoding(href.mid(1).toUtf8());
    return href;
}

void linksToFields(QTextDocument& document) {
    QList<Run> runs;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        bool open = false;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat format = f.charFormat();
            const QString href = format.isAnchor() ? format.anchorHref() : QString();
            if (href.isEmpty()) {
                open = false;
                continue;
            }
            if (open && runs.last().href == href &&
                runs.last().start + runs.last().length == f.position()) {
                runs.last().length += f.length();
                continue;
            }
            runs.append({f.position(), f.length(), href});
            open = true;
        }
    }
    QTextCursor cursor(&document);
    int id = 0;
    for (const Run& run : runs) {
        QTextCharFormat field;
        field.setProperty(doc::FieldId, ++id);
        field.setProperty(doc::FieldData, fieldData(run.href));
        field.setAnchorHref(fieldData(run.href));
        cursor.setPosition(run.start);
        cursor.setPosition(run.start + run.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(field);
    }
}

// A boxed "[Iframe:...]" or "[Script:...]" paragraph is an embedded object.
void boxesToObjects(QTextDocument& document) {
    int id = 0;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            id = std::max(id, it.fragment().charFormat().intProperty(doc::FieldId));
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        const QString text = b.text();
        const bool frame = text.startsWith(QLatin1String("[Iframe:"));
        const bool script = text.startsWith(QLatin1String("[Script:"));
        if ((!frame && !script) || !text.endsWith(u']'))
            continue;
        const QString background = b.blockFormat().background().color().name().toUpper();
        if (background != (frame ? QLatin1String("#FEFEFA") : QLatin1String("#FEFAFE")))
            continue;
        const QString markup = text.mid(8, text.size() - 9);
        QTextCharFormat field;
        field.setProperty(doc::FieldId, ++id);
        const QString data = QStringLiteral("LK_OBJ\t") + markup;
        field.setProperty(doc::FieldData, data);
        field.setAnchor(true);
        field.setAnchorHref(data);
        QTextCursor cursor(b);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(field);
    }
}

QByteArray readPicture(const QString& source, const QString& baseFolder) {
    const QUrl url(source);
    QString path;
    if (url.isLocalFile())
        path = url.toLocalFile();
    else if (url.scheme().isEmpty() || url.scheme().size() == 1)  // relative, or a drive
        path = QDir(baseFolder).filePath(QUrl::fromPercentEncoding(source.toUtf8()));
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxPicture)
        return {};
    return file.readAll();
}

// Pictures of local files become resources holding the files' bytes; other picture
// formats become PNG. Pictures that cannot be read keep their reference.
void picturesToResources(QTextDocument& document, const QString& baseFolder) {
    QHash<QString, QString> renamed;
    int number = pictures::nextNumber(document);
    for (const QString& source : pictures::pictureNames(document)) {
        if (pictures::resourceNumber(source) > 0)
            continue;
        QByteArray bytes = readPicture(source, baseFolder);
        if (pictures::sniff(bytes) == pictures::Kind::None) {
            const QImage image = QImage::fromData(bytes);
            if (image.isNull())
                continue;
            bytes.clear();
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
        }
        const QString name = pictures::resourceName(number++, pictures::sniff(bytes));
        document.addResource(QTextDocument::ImageResource, QUrl(name), bytes);
        renamed.insert(source, name);
    }
    QTextCursor cursor(&document);
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            QTextImageFormat format = f.charFormat().toImageFormat();
            if (!f.charFormat().isImageFormat() || !renamed.contains(format.name()))
                continue;
            format.setName(renamed.value(format.name()));
            cursor.setPosition(f.position());
            cursor.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
}

}  // namespace

void readHtml(QTextDocument& document, const QString& html, const QString& baseFolder) {
    // Relative references must not be looked up anywhere else while reading.
    document.setBaseUrl(QUrl::fromLocalFile(QDir(baseFolder).absolutePath() + u'/'));
    document.setHtml(html);
    linksToFields(document);
    boxesToObjects(document);
    picturesToResources(document, baseFolder);
}

}  // namespace arbor::htmlimport
