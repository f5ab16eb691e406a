#include "exchange/docx_package_writer.h"

#include <QCryptographicHash>
#include <QXmlStreamWriter>

#include "exchange/ooxml.h"
#include "exchange/zip_archive.h"

namespace arbor::docx {

QString Relations::add(const QString& type, const QString& target, bool external) {
    for (const Rel& r : rels_)
        if (r.type == type && r.target == target && r.external == external)
            return r.id;
    const QString id = QStringLiteral("rId%1").arg(rels_.size() + 1);
    rels_.push_back({id, type, target, external});
    return id;
}

QByteArray Relations::xml() const {
    QByteArray out;
    QXmlStreamWriter x(&out);
    x.writeStartDocument(QStringLiteral("1.0"), true);
    x.writeDefaultNamespace(QLatin1String(ooxml::kNsPackageRels));
    x.writeStartElement(QLatin1String(ooxml::kNsPackageRels), QStringLiteral("Relationships"));
    for (const Rel& r : rels_) {
        x.writeEmptyElement(QLatin1String(ooxml::kNsPackageRels), QStringLiteral("Relationship"));
        x.writeAttribute(QStringLiteral("Id"), r.id);
        x.writeAttribute(QStringLiteral("Type"), r.type);
        x.writeAttribute(QStringLiteral("Target"), r.target);
        if (r.external)
            x.writeAttribute(QStringLiteral("TargetMode"), QStringLiteral("External"));
    }
    x.writeEndElement();
    x.writeEndDocument();
    return out;
}

QString MediaStore::add(const QByteArray& bytes, const QString& extension) {
    const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    const auto found = byHash_.constFind(hash);
    if (found != byHash_.constEnd())
        return *found;
    const QString name = QStringLiteral("media/image%1.%2").arg(files_.size() + 1).arg(extension);
    files_.push_back({name, bytes});
    byHash_.insert(hash, name);
    return name;
}

namespace {

// "word/document.xml" -> "word/_rels/document.xml.rels"
QString relsNameOf(const QString& partName) {
    const qsizetype slash = partName.lastIndexOf(QLatin1Char('/'));
    return partName.left(slash + 1) + QStringLiteral("_rels/") + partName.mid(slash + 1) +
           QStringLiteral(".rels");
}

QByteArray contentTypesXml(const std::vector<XmlPart>& parts, const MediaStore& media) {
    QByteArray out;
    QXmlStreamWriter x(&out);
    const QString ns = QLatin1String(ooxml::kNsContentTypes);
    x.writeStartDocument(QStringLiteral("1.0"), true);
    x.writeDefaultNamespace(ns);
    x.writeStartElement(ns, QStringLiteral("Types"));
    const auto defaultType = [&](const QString& ext, const QString& type) {
        x.writeEmptyElement(ns, QStringLiteral("Default"));
        x.writeAttribute(QStringLiteral("Extension"), ext);
        x.writeAttribute(QStringLiteral("ContentType"), type);
    };
    defaultType(QStringLiteral("rels"), QLatin1String(ooxml::kCtRels));
    defaultType(QStringLiteral("xml"), QStringLiteral("application/xml"));
    bool png = false, jpeg = false;
    for (const MediaStore::File& f : media.files()) {
        png = png || f.name.endsWith(QLatin1String(".png"));
        jpeg = jpeg || f.name.endsWith(QLatin1String(".jpeg"));
    }
    if (png)
        defaultType(QStringLiteral("png"), QStringLiteral("image/png"));
    if (jpeg)
        defaultType(QStringLiteral("jpeg"), QStringLiteral("image/jpeg"));
    for (const XmlPart& p : parts) {
        x.writeEmptyElement(ns, QStringLiteral("Override"));
        x.writeAttribute(QStringLiteral("PartName"), QLatin1Char('/') + p.name);
        x.writeAttribute(QStringLiteral("ContentType"), p.contentType);
    }
    x.writeEndElement();
    x.writeEndDocument();
    return out;
}

}  // namespace

QByteArray packageBytes(const std::vector<XmlPart>& parts, const MediaStore& media,
                        QString& error) {
    if (parts.empty()) {
        error = QStringLiteral("文書の本体がありません");
        return {};
    }
    archive::ZipWriter zip;
    zip.add(QStringLiteral("[Content_Types].xml"), contentTypesXml(parts, media));
    Relations root;
    root.add(ooxml::relType("officeDocument"), parts.front().name);
    zip.add(QStringLiteral("_rels/.rels"), root.xml());
    for (const XmlPart& p : parts) {
        zip.add(p.name, p.xml);
        if (!p.rels.isEmpty())
            zip.add(relsNameOf(p.name), p.rels.xml());
    }
    // Pictures are compressed already.
    for (const MediaStore::File& f : media.files())
        zip.add(QStringLiteral("word/") + f.name, f.bytes, archive::Compression::Store);
    return zip.finish(error);
}

}  // namespace arbor::docx
