// Pictures of a story: inline drawings and VML images, loaded from the package and
// checked to be pictures.
#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>

#include "exchange/docx_paragraph_builder.h"
#include "exchange/docx_story_reader.h"
#include "exchange/ooxml.h"
#include "exchange/wml_read.h"

namespace arbor::docx {

namespace {

constexpr int kMaxPictureSide = 30000;
constexpr double kMaxPicturePixels = 20000;

QLatin1String pn(const char* s) {
    return QLatin1String(s);
}

// "width:120pt;height:3in" of a VML shape, in pixels.
double vmlLength(const QString& style, const QString& name) {
    static const QRegularExpression re(
        QStringLiteral(R"((?:^|;)\s*([a-z-]+)\s*:\s*([0-9.]+)\s*(pt|in|px|cm|mm)?)"));
    for (auto it = re.globalMatch(style); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(1) != name)
            continue;
        const double v = m.captured(2).toDouble();
        const QString unit = m.captured(3);
        if (unit == pn("in"))
            return v * 96;
        if (unit == pn("cm"))
            return v * 96 / 2.54;
        if (unit == pn("mm"))
            return v * 96 / 25.4;
        if (unit == pn("px"))
            return v;
        return v * 96 / 72;
    }
    return 0;
}

}  // namespace

void StoryReader::readPicture(ParagraphBuilder& p, const QTextCharFormat& format, bool vml) {
    QString relId;
    double width = 0, height = 0;
    int depth = 0;
    while (!r_.atEnd()) {
        const QXmlStreamReader::TokenType token = r_.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (depth == 0)
                break;
            --depth;
        } else if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const QStringView n = r_.name();
            if (!vml && n == pn("extent") && width <= 0) {
                width = wml::number(wml::plainAttr(r_, pn("cx")), 0, INT_MAX).value_or(0) /
                        ooxml::kEmuPerPixel;
                height = wml::number(wml::plainAttr(r_, pn("cy")), 0, INT_MAX).value_or(0) /
                         ooxml::kEmuPerPixel;
            } else if (!vml && n == pn("blip") && relId.isEmpty()) {
                relId = wml::rAttr(r_, pn("embed"));
            } else if (vml && n == pn("shape") && width <= 0) {
                const QString style = wml::plainAttr(r_, pn("style"));
                width = vmlLength(style, QStringLiteral("width"));
                height = vmlLength(style, QStringLiteral("height"));
            } else if (vml && n == pn("imagedata") && relId.isEmpty()) {
                relId = wml::rAttr(r_, pn("id"));
            }
        }
    }
    if (relId.isEmpty() || r_.hasError())
        return;
    const int index = loadPicture(relId);
    if (index < 0)
        return;
    const QSize natural = story_->pictures.at(size_t(index)).size;
    if (width <= 0 || height <= 0) {
        width = natural.width();
        height = natural.height();
    }
    QTextCharFormat f;
    for (int property : {int(doc::FieldId), int(doc::FieldData), int(QTextFormat::IsAnchor),
                         int(QTextFormat::AnchorHref)})
        if (format.hasProperty(property))
            f.setProperty(property, format.property(property));
    p.addPicture(index, std::min(width, kMaxPicturePixels), std::min(height, kMaxPicturePixels), f);
}

int StoryReader::loadPicture(const QString& relationshipId) {
    const auto rel = context_.rels.constFind(relationshipId);
    if (rel == context_.rels.constEnd() || rel->external || rel->target.isEmpty())
        return -1;  // linked or missing: nothing to keep
    const auto known = pictureByPart_.constFind(rel->target.toLower());
    if (known != pictureByPart_.constEnd())
        return *known;
    if (!context_.package.contains(rel->target))
        return -1;
    QByteArray bytes;
    QString error;
    if (!context_.package.readMedia(rel->target, bytes, error)) {
        fail(error);
        return -1;
    }
    // Only the raster formats a page can hold are decoded, chosen by signature: the
    // other decoders Qt has are no business of a Word file.
    const QString suffix = rel->target.section(QLatin1Char('.'), -1).toLower();
    const bool png = bytes.startsWith("\x89PNG\r\n\x1a\n");
    const bool jpeg = bytes.startsWith("\xFF\xD8\xFF");
    const QByteArray format = png                                                        ? "png"
                              : jpeg                                                     ? "jpeg"
                              : bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a") ? "gif"
                              : bytes.startsWith("BM")                                   ? "bmp"
                                                                                         : "";
    const bool claimsRaster =
        !format.isEmpty() ||
        QStringList{"png", "jpg", "jpeg", "jpe", "gif", "bmp"}.contains(suffix);
    QImage image;
    if (!format.isEmpty()) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, format);
        const QSize size = reader.size();
        if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide) {
            fail(QStringLiteral("画像 %1 が大きすぎます（%2×%3）")
                     .arg(rel->target)
                     .arg(size.width())
                     .arg(size.height()));
            return -1;
        }
        if (size.isValid())
            image = reader.read();
    }
    if (image.isNull()) {
        if (claimsRaster)
            fail(QStringLiteral("画像 %1 が壊れているか、画像ではありません").arg(rel->target));
        return -1;  // a format Qt cannot show (EMF, WMF, ...): the picture is left out
    }
    ir::Picture picture;
    picture.size = image.size();
    if (png || jpeg) {
        picture.bytes = bytes;
        picture.extension = png ? QStringLiteral("png") : QStringLiteral("jpg");
    } else {
        QBuffer out(&picture.bytes);
        out.open(QIODevice::WriteOnly);
        image.save(&out, "PNG");
        picture.extension = QStringLiteral("png");
    }
    story_->pictures.push_back(std::move(picture));
    const int index = int(story_->pictures.size()) - 1;
    pictureByPart_.insert(rel->target.toLower(), index);
    return index;
}

}  // namespace arbor::docx
