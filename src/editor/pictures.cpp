#include "editor/pictures.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <algorithm>

#include "editor/document_model.h"

namespace arbor::pictures {

namespace {

const QString kPrefix = QLatin1String(doc::kImageScheme) + u':';

// Calls f(block, fragment) for every picture character run of the document.
template <typename F>
void forEachPicture(const QTextDocument& document, F f) {
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && fragment.charFormat().isImageFormat())
                f(fragment);
        }
    }
}

bool nameInUse(const QTextDocument& document, const QString& name) {
    return document.resource(QTextDocument::ImageResource, QUrl(name)).isValid();
}

}  // namespace

Kind sniff(const QByteArray& bytes) {
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return Kind::Png;
    if (bytes.size() > 3 && bytes.startsWith("\xff\xd8\xff"))
        return Kind::Jpeg;
    return Kind::None;
}

QString extension(Kind kind) {
    return kind == Kind::Jpeg ? QStringLiteral("jpg") : QStringLiteral("png");
}

QString resourceName(int number, Kind kind) {
    return kPrefix + QString::number(number) + u'.' + extension(kind);
}

int resourceNumber(const QString& name) {
    if (!name.startsWith(kPrefix))
        return 0;
    const QString rest = name.mid(kPrefix.size());
    const qsizetype dot = rest.indexOf(u'.');
    bool ok = false;
    const int n = rest.left(dot < 0 ? rest.size() : dot).toInt(&ok);
    return ok && n > 0 ? n : 0;
}

int nextNumber(const QTextDocument& document) {
    int highest = 0;
    forEachPicture(document, [&](const QTextFragment& f) {
        highest = std::max(highest, resourceNumber(f.charFormat().toImageFormat().name()));
    });
    return highest + 1;
}

QByteArray resourceBytes(const QTextDocument& document, const QString& name) {
    const QVariant value = document.resource(QTextDocument::ImageResource, QUrl(name));
    if (value.metaType().id() == QMetaType::QByteArray)
        return value.toByteArray();
    if (value.metaType().id() == QMetaType::QImage) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        value.value<QImage>().save(&buffer, "PNG");
        return png;
    }
    return {};
}

QStringList pictureNames(const QTextDocument& document) {
    QStringList names;
    forEachPicture(document, [&](const QTextFragment& f) {
        const QString name = f.charFormat().toImageFormat().name();
        if (!names.contains(name))
            names.append(name);
    });
    return names;
}

bool insertPicture(QTextCursor& cursor, const QByteArray& bytes, QString& error) {
    const Kind kind = sniff(bytes);
    if (kind == Kind::None || QImage::fromData(bytes).isNull()) {
        error = QStringLiteral("画像ファイル（PNG または JPEG）ではありません");
        return false;
    }
    QTextDocument* document = cursor.document();
    int number = nextNumber(*document);
    while (nameInUse(*document, resourceName(number, Kind::Png)) ||
           nameInUse(*document, resourceName(number, Kind::Jpeg)))
        ++number;
    const QString name = resourceName(number, kind);
    document->addResource(QTextDocument::ImageResource, QUrl(name), bytes);
    // Text typed after the picture keeps the format of the text before it.
    const QTextCharFormat around = cursor.charFormat();
    QTextImageFormat format;
    format.setName(name);
    cursor.insertImage(format);
    cursor.setCharFormat(around);
    return true;
}

void renumberFor(QTextDocument& document, const QTextDocument& target) {
    const QStringList names = pictureNames(document);
    QHash<QString, QString> renamed;
    int number = std::max(nextNumber(target), 1);
    for (const QString& name : names) {
        if (!name.startsWith(kPrefix))
            continue;
        const QByteArray bytes = resourceBytes(document, name);
        const Kind kind = sniff(bytes) == Kind::Jpeg ? Kind::Jpeg : Kind::Png;
        while (nameInUse(target, resourceName(number, Kind::Png)) ||
               nameInUse(target, resourceName(number, Kind::Jpeg)) ||
               names.contains(resourceName(number, kind)))
            ++number;
        const QString fresh = resourceName(number++, kind);
        renamed.insert(name, fresh);
        if (!bytes.isEmpty())
            document.addResource(QTextDocument::ImageResource, QUrl(fresh), bytes);
    }
    if (renamed.isEmpty())
        return;
    struct Run {
        int position;
        int length;
        QTextImageFormat format;
    };
    QList<Run> runs;
    forEachPicture(document, [&](const QTextFragment& f) {
        QTextImageFormat format = f.charFormat().toImageFormat();
        if (renamed.contains(format.name())) {
            format.setName(renamed.value(format.name()));
            runs.append({f.position(), f.length(), format});
        }
    });
    QTextCursor cursor(&document);
    for (const Run& run : runs) {
        cursor.setPosition(run.position);
        cursor.setPosition(run.position + run.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(run.format);
    }
}

void copyResources(const QTextDocument& from, QTextDocument& to) {
    for (const QString& name : pictureNames(from)) {
        if (nameInUse(to, name))
            continue;
        const QByteArray bytes = resourceBytes(from, name);
        if (!bytes.isEmpty())
            to.addResource(QTextDocument::ImageResource, QUrl(name), bytes);
    }
}

}  // namespace arbor::pictures
