#include "editor/html_export.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <memory>

#include "app/file_io.h"
#include "editor/fields.h"
#include "editor/pictures.h"

namespace arbor::html {

namespace {

// Stands in for an embedded object while Qt writes the HTML; private-use characters
// that no page text contains.
const QString kObjectOpen = QString(QChar(0xE000));
const QString kObjectClose = QString(QChar(0xE001));

struct EmbeddedObject {
    bool script = false;
    QString markup;
};

// A field shown as "[Script:" is a script; otherwise the markup decides.
bool isScript(const QString& fieldText, const QString& markup) {
    if (fieldText.startsWith(QLatin1String("[Script:"), Qt::CaseInsensitive))
        return true;
    if (fieldText.startsWith(QLatin1String("[Iframe:"), Qt::CaseInsensitive))
        return false;
    return !markup.contains(QLatin1String("<iframe"), Qt::CaseInsensitive) &&
           markup.contains(QLatin1String("<script"), Qt::CaseInsensitive);
}

// A width or height attribute of the markup, in pixels; 0 when there is none.
double markupSize(const QString& markup, const QString& attribute) {
    const QRegularExpression re(
        QStringLiteral("\\b%1\\s*=\\s*[\"']?\\s*(\\d+(?:\\.\\d+)?)").arg(attribute),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(markup);
    return m.hasMatch() ? m.captured(1).toDouble() : 0;
}

QString escapeText(const QString& text) {
    QString escaped = text.toHtmlEscaped();
    escaped.replace(u'\'', QLatin1String("&#x0027;"));
    return escaped;
}

QString objectBlock(const EmbeddedObject& object) {
    QString style = object.script ? QStringLiteral("background-color:#FEFAFE;")
                                  : QStringLiteral("background-color:#FEFEFA;");
    // Pixels of the markup as points, which the conversion reads from the block.
    const double width = markupSize(object.markup, QStringLiteral("width")) * 0.75;
    const double height = markupSize(object.markup, QStringLiteral("height")) * 0.75;
    if (width > 0)
        style += QStringLiteral(" width:%1pt;").arg(width);
    if (height > 0)
        style += QStringLiteral(" height:%1pt;").arg(height);
    return QStringLiteral("<p style=\"") + style + QStringLiteral("\">") +
           (object.script ? QStringLiteral("[Script:") : QStringLiteral("[Iframe:")) +
           escapeText(object.markup) + QStringLiteral("]</p>");
}

// Fields become what the HTML conversion recognises; objects leave a marker paragraph.
QList<EmbeddedObject> prepareFields(QTextDocument& document) {
    QList<fields::Field> list = fields::all(document);
    QList<EmbeddedObject> objects;
    int objectCount = 0;
    for (const fields::Field& f : list)
        if (f.data.startsWith(QLatin1String("LK_OBJ\t"), Qt::CaseInsensitive))
            ++objectCount;
    objects.resize(objectCount);
    QTextCursor cursor(&document);
    // From the end, so earlier positions stay valid.
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        const fields::Field& f = list[i];
        cursor.setPosition(f.start);
        cursor.setPosition(f.end(), QTextCursor::KeepAnchor);
        if (f.data.startsWith(QLatin1String("LK_OBJ\t"), Qt::CaseInsensitive)) {
            const int number = --objectCount;
            const QString markup = f.data.mid(7);
            objects[number] = {isScript(f.text, markup), markup};
            cursor.removeSelectedText();
            const QTextBlock block = cursor.block();
            const bool textAfter = cursor.position() < block.position() + block.length() - 1;
            if (cursor.position() > block.position())
                cursor.insertBlock();
            cursor.insertText(kObjectOpen + QString::number(number) + kObjectClose,
                              QTextCharFormat());
            if (textAfter)
                cursor.insertBlock();
            continue;
        }
        QString href = f.data;
        if (f.data.startsWith(QLatin1String("TG_"), Qt::CaseInsensitive) ||
            f.data.startsWith(QLatin1String("TP_"), Qt::CaseInsensitive))
            href = u'#' + f.data.left(3).toUpper() + f.data.mid(3);
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref(href);
        cursor.mergeCharFormat(link);
    }
    return objects;
}

QString urlPart(const QString& text) {
    QString encoded = text;
    encoded.replace(u'%', QLatin1String("%25"));
    encoded.replace(u' ', QLatin1String("%20"));
    encoded.replace(u'#', QLatin1String("%23"));
    encoded.replace(u'?', QLatin1String("%3F"));
    return encoded;
}

pictures::Kind wantedKind(const QByteArray& bytes, PictureFormat format) {
    const pictures::Kind kind = pictures::sniff(bytes);
    if (format == PictureFormat::Png)
        return pictures::Kind::Png;
    if (format == PictureFormat::Jpeg)
        return pictures::Kind::Jpeg;
    // Anything that is neither is written as PNG.
    return kind == pictures::Kind::None ? pictures::Kind::Png : kind;
}

// Writes the pictures and points the picture characters at the written files.
bool placePictures(QTextDocument& document, const QString& targetPath, const ExportOptions& options,
                   QString& error) {
    const QStringList names = pictures::pictureNames(document);
    if (names.isEmpty())
        return true;
    const QFileInfo target(targetPath);
    const QString folderName = pictureFolderName(targetPath);
    const QString folder = target.absoluteDir().filePath(folderName);
    QHash<QString, QString> sources;
    int number = 0;
    for (const QString& name : names) {
        const QByteArray original = pictures::resourceBytes(document, name);
        if (original.isEmpty())
            continue;
        const pictures::Kind kind = wantedKind(original, options.pictures);
        const QString file = QStringLiteral("%1.%2")
                                 .arg(++number, 3, 10, QLatin1Char('0'))
                                 .arg(pictures::extension(kind));
        const QString reference = urlPart(folderName) + u'/' + file;
        sources.insert(name, reference);
        if (options.collect) {
            options.collect->append({reference, original, kind});
            continue;
        }
        if (!QDir().mkpath(folder)) {
            error = QStringLiteral("画像のフォルダを作れません: ") + folder;
            return false;
        }
        const QByteArray data = convertedPicture(original, kind);
        if (!writeFileAtomically(QDir(folder).filePath(file), data)) {
            error = QStringLiteral("画像を書き込めません: ") + QDir(folder).filePath(file);
            return false;
        }
    }
    QTextCursor cursor(&document);
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            QTextImageFormat format = f.charFormat().toImageFormat();
            if (!f.charFormat().isImageFormat() || !sources.contains(format.name()))
                continue;
            format.setName(sources.value(format.name()));
            cursor.setPosition(f.position());
            cursor.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
    return true;
}

// Qt writes distances in px; the page's unit is the point, and the conversion reads pt.
QString distancesInPoints(const QString& html) {
    // Qt also writes cell paddings and fixed line heights without any unit.
    static const QRegularExpression re(QStringLiteral(
        "((?:margin(?:-top|-bottom|-left|-right)?|text-indent|padding(?:-top|-bottom|-left|"
        "-right)?|line-height):\\s*-?\\d+(?:\\.\\d+)?)(?:px)?(?=\\s*[;\"])"));
    QString out = html;
    out.replace(re, QStringLiteral("\\1pt"));
    return out;
}

QString replaceObjects(QString html, const QList<EmbeddedObject>& objects) {
    for (qsizetype i = 0; i < objects.size(); ++i) {
        const QString marker = kObjectOpen + QString::number(i) + kObjectClose;
        const QRegularExpression paragraph(QStringLiteral("<p[^>]*>(?:<span[^>]*>)?") +
                                           QRegularExpression::escape(marker) +
                                           QStringLiteral("(?:</span>)?</p>"));
        const QString block = objectBlock(objects[i]);
        const QRegularExpressionMatch m = paragraph.match(html);
        if (m.hasMatch())
            html.replace(m.capturedStart(), m.capturedLength(), block);
        else
            html.replace(marker, escapeText(objects[i].markup));
    }
    return html;
}

// Qt writes the page inside a table when the root frame's format is not exactly the
// default one. A page read back from its bytes carries the default values as its own
// (equal in value, not in type), so a page without margins, border or padding of its
// own gets the default format again.
void plainRootFrame(QTextDocument& document) {
    QTextFrame* root = document.rootFrame();
    const QTextFrameFormat f = root->frameFormat();
    QTextFrameFormat plain;
    plain.setMargin(document.documentMargin());
    if (f == plain)
        return;
    const bool same =
        qFuzzyCompare(f.topMargin(), plain.topMargin()) &&
        qFuzzyCompare(f.bottomMargin(), plain.bottomMargin()) &&
        qFuzzyCompare(f.leftMargin(), plain.leftMargin()) &&
        qFuzzyCompare(f.rightMargin(), plain.rightMargin()) && qFuzzyIsNull(f.border()) &&
        qFuzzyIsNull(f.padding()) && f.width().type() == QTextLength::VariableLength &&
        f.height().type() == QTextLength::VariableLength &&
        f.borderStyle() == plain.borderStyle() && f.pageBreakPolicy() == plain.pageBreakPolicy();
    if (same) {
        if (f.hasProperty(QTextFormat::BackgroundBrush))
            plain.setBackground(f.background());
        root->setFrameFormat(plain);
    }
}

}  // namespace

QString pictureFolderName(const QString& targetPath) {
    return QFileInfo(targetPath).completeBaseName() + QStringLiteral("_Images");
}

QByteArray convertedPicture(const QByteArray& bytes, pictures::Kind kind) {
    if (pictures::sniff(bytes) == kind)
        return bytes;
    const QImage image = QImage::fromData(bytes);
    if (image.isNull())
        return bytes;
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    const bool png = kind != pictures::Kind::Jpeg;
    image.save(&buffer, png ? "PNG" : "JPEG", png ? -1 : 90);
    return out;
}

bool exportHtml(const QTextDocument& body, const QString& targetPath, QString& html, QString& error,
                const ExportOptions& options) {
    std::unique_ptr<QTextDocument> copy(body.clone());
    pictures::copyResources(body, *copy);
    return exportHtmlConsuming(*copy, targetPath, html, error, options);
}

bool exportHtmlConsuming(QTextDocument& body, const QString& targetPath, QString& html,
                         QString& error, const ExportOptions& options) {
    plainRootFrame(body);
    if (options.explicitFonts) {
        // No character is written in this family and size.
        QFont none(QStringLiteral("arbor-no-font"));
        none.setPointSizeF(0.25);
        body.setDefaultFont(none);
    }
    const QList<EmbeddedObject> objects = prepareFields(body);
    if (!placePictures(body, targetPath, options, error))
        return false;
    QString out = body.toHtml();
    // XML knows no &nbsp;; the numeric form means the same to every reader.
    out.replace(QLatin1String("&nbsp;"), QLatin1String("&#160;"));
    out = distancesInPoints(out);
    html = replaceObjects(out, objects);
    return true;
}

bool writeHtmlFile(const QTextDocument& body, const QString& path, QString& error,
                   const ExportOptions& options) {
    QString html;
    if (!exportHtml(body, path, html, error, options))
        return false;
    if (!writeFileAtomically(path, html.toUtf8())) {
        error = QStringLiteral("ファイルを書き込めません: ") + path;
        return false;
    }
    return true;
}

}  // namespace arbor::html
