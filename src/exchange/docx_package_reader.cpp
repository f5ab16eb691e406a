#include "exchange/docx_package_reader.h"

#include <QStringList>
#include <QUrl>
#include <QXmlStreamReader>

#include "exchange/ooxml.h"
#include "exchange/wml_read.h"

namespace arbor::docx {

namespace {

QString relsPartOf(const QString& partName) {
    const qsizetype slash = partName.lastIndexOf(QLatin1Char('/'));
    return partName.left(slash + 1) + QStringLiteral("_rels/") + partName.mid(slash + 1) +
           QStringLiteral(".rels");
}

}  // namespace

bool PackageReader::open(const QByteArray& bytes, QString& error) {
    return zip_.openBytes(bytes, error);
}

QString PackageReader::resolve(const QString& sourcePart, const QString& target) {
    QString t = QUrl::fromPercentEncoding(target.toUtf8());
    t.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList segments;
    if (!t.startsWith(QLatin1Char('/'))) {
        segments = sourcePart.split(QLatin1Char('/'));
        segments.removeLast();  // the part's own name
    }
    for (const QString& s : t.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (s == QLatin1String("."))
            continue;
        if (s == QLatin1String("..")) {
            if (segments.isEmpty())
                return {};
            segments.removeLast();
            continue;
        }
        segments << s;
    }
    return segments.join(QLatin1Char('/'));
}

bool PackageReader::relationships(const QString& partName, RelationshipMap& out, QString& error) {
    out.clear();
    const QString relsName = relsPartOf(partName);
    if (!zip_.find(relsName))
        return true;
    QByteArray xml;
    if (!readXml(relsName, xml, error))
        return false;
    QXmlStreamReader r(xml);
    while (r.readNextStartElement()) {
        if (r.name() != QLatin1String("Relationships")) {
            r.skipCurrentElement();
            continue;
        }
        while (r.readNextStartElement()) {
            if (r.name() == QLatin1String("Relationship")) {
                Relationship rel;
                rel.type = wml::plainAttr(r, QLatin1String("Type"));
                rel.external =
                    wml::plainAttr(r, QLatin1String("TargetMode")) == QLatin1String("External");
                const QString target = wml::plainAttr(r, QLatin1String("Target"));
                rel.target = rel.external ? target : resolve(partName, target);
                const QString id = wml::plainAttr(r, QLatin1String("Id"));
                if (!id.isEmpty() && !out.contains(id))
                    out.insert(id, rel);
            }
            r.skipCurrentElement();
        }
    }
    return true;
}

bool PackageReader::mainDocument(QString& partName, QString& error) {
    RelationshipMap root;
    if (!relationships(QString(), root, error))
        return false;
    for (const Relationship& rel : std::as_const(root)) {
        if (!rel.external && ooxml::isRelType(rel.type, QLatin1String("officeDocument")) &&
            zip_.find(rel.target)) {
            partName = zip_.find(rel.target)->name;
            return true;
        }
    }
    if (const archive::EntryInfo* fallback = zip_.find(QStringLiteral("word/document.xml"))) {
        partName = fallback->name;
        return true;
    }
    error = QStringLiteral("Word 文書ではありません（word/document.xml がありません）");
    return false;
}

bool PackageReader::readXml(const QString& partName, QByteArray& out, QString& error) {
    return zip_.read(partName, kMaxXmlPart, out, error) && wml::checkXml(out, partName, error);
}

bool PackageReader::readMedia(const QString& partName, QByteArray& out, QString& error) {
    return zip_.read(partName, kMaxMedia, out, error);
}

}  // namespace arbor::docx
