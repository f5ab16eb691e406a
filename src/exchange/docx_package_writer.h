#pragma once
// The package around the XML of a .docx: relationships, pictures, content types and
// the ZIP archive.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

namespace arbor::docx {

// The relationships of one part.
class Relations {
  public:
    // The id of a relationship; the same type and target give the same id.
    QString add(const QString& type, const QString& target, bool external = false);
    bool isEmpty() const { return rels_.empty(); }
    QByteArray xml() const;

  private:
    struct Rel {
        QString id, type, target;
        bool external;
    };
    std::vector<Rel> rels_;
};

// Pictures of the package, stored once however often they appear.
class MediaStore {
  public:
    // The file's name under word/ ("media/image1.png"); extension "png" or "jpeg".
    QString add(const QByteArray& bytes, const QString& extension);
    struct File {
        QString name;
        QByteArray bytes;
    };
    const std::vector<File>& files() const { return files_; }

  private:
    std::vector<File> files_;
    QHash<QByteArray, QString> byHash_;
};

struct XmlPart {
    QString name;  // inside the package, e.g. "word/document.xml"
    QString contentType;
    QByteArray xml;
    Relations rels;
};

// The .docx archive of the given parts (the first is the main document) and pictures.
QByteArray packageBytes(const std::vector<XmlPart>& parts, const MediaStore& media, QString& error);

}  // namespace arbor::docx
