#pragma once
// The package side of reading a .docx: the ZIP archive, relationships between parts
// and the size limits for XML and pictures.

#include <QByteArray>
#include <QHash>
#include <QString>

#include "exchange/zip_archive.h"

namespace arbor::docx {

struct Relationship {
    QString type;
    QString target;  // a part name inside the package, or the outside target as given
    bool external = false;
};
using RelationshipMap = QHash<QString, Relationship>;

class PackageReader {
  public:
    static constexpr qint64 kMaxXmlPart = qint64(128) << 20;
    static constexpr qint64 kMaxMedia = qint64(64) << 20;

    bool open(const QByteArray& bytes, QString& error);
    // The main document part (normally word/document.xml).
    bool mainDocument(QString& partName, QString& error);
    // The relationships of a part; a part without any has an empty map.
    bool relationships(const QString& partName, RelationshipMap& out, QString& error);
    // A part's XML, checked for well-formedness and refused declarations.
    bool readXml(const QString& partName, QByteArray& out, QString& error);
    bool readMedia(const QString& partName, QByteArray& out, QString& error);
    bool contains(const QString& partName) const { return zip_.find(partName) != nullptr; }

    // A relationship target relative to the part that names it, as a part name;
    // empty when it leaves the package.
    static QString resolve(const QString& sourcePart, const QString& target);

  private:
    archive::ZipReader zip_;
};

}  // namespace arbor::docx
