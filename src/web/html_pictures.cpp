#include "web/html_pictures.h"

#include <QDir>
#include <QFileInfo>

#include <QFile>
#include <filesystem>

namespace arbor::web {

namespace {

// A relative path as a URL: "\\" as "/", and the characters a URL would read
// otherwise encoded.
QString urlPart(QString path) {
    path.replace(u'\\', u'/');
    path.replace(u'%', QStringLiteral("%25"));
    path.replace(u' ', QStringLiteral("%20"));
    path.replace(u'#', QStringLiteral("%23"));
    path.replace(u'?', QStringLiteral("%3F"));
    return path;
}

QString withoutExtension(const QString& path) {
    const QFileInfo info(path);
    return info.path() + u'/' + info.completeBaseName();
}

// Replaces the file through a temporary one beside it, so no half-written picture ever
// stands under the name; an identical file is left as it is. No flush to disk per file:
// a site has thousands of pictures and a flush costs more than converting a page.
bool writePicture(const QString& path, const QByteArray& bytes) {
    QFile existing(path);
    if (existing.size() == bytes.size() && existing.open(QIODevice::ReadOnly) &&
        existing.readAll() == bytes)
        return true;
    existing.close();
    const QString part = path + QStringLiteral(".part");
    QFile file(part);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    std::error_code error;
    if (written)
        std::filesystem::rename(std::filesystem::path(part.toStdU16String()),
                                std::filesystem::path(path.toStdU16String()), error);
    if (!written || error) {
        QFile::remove(part);
        return false;
    }
    return true;
}

}  // namespace

QString picturePagePart(const QString& targetPath, bool linkPlacement) {
    const QString base = QFileInfo(targetPath).completeBaseName();
    if (!linkPlacement)
        return base;
    const qsizetype underscore = base.lastIndexOf(u'_');
    return underscore < 0 ? base : base.mid(underscore + 1);
}

PicturePlan planPictures(const QList<html::ExportedPicture>& exported, const ConversionContext& c) {
    PicturePlan plan;
    if (exported.isEmpty())
        return plan;
    const PageOptions& page = *c.page;
    const QFileInfo target(page.targetPath);
    const QString dir = target.absolutePath() + u'/';
    const QString part = picturePagePart(page.targetPath, page.linkPlacement);
    QString relativeFolder;  // as the page refers to it
    bool ownNames = true;
    if (c.operation == Operation::Site) {
        if (c.site->pictureFolderMode != 0) {
            relativeFolder = c.site->pictureFolderName + u'/';
        } else {
            relativeFolder =
                QFileInfo(withoutExtension(page.targetPath)).fileName() + QStringLiteral("_files/");
            plan.clearFolder = true;
        }
        plan.write = !page.noPictures;
    } else if (c.ebook()) {
        relativeFolder = QStringLiteral("Images/");
    } else {
        relativeFolder = html::pictureFolderName(page.targetPath) + u'/';
        ownNames = false;
    }
    plan.folder = dir + relativeFolder;
    int number = 0;
    for (const html::ExportedPicture& p : exported) {
        ++number;
        QString file;
        if (ownNames) {
            file = part + u'_' + QString::number(number).rightJustified(3, u'0') + u'.' +
                   pictures::extension(p.kind);
        } else {
            file = p.reference.mid(p.reference.lastIndexOf(u'/') + 1);
        }
        plan.pictures.append({p.reference, ownNames ? urlPart(relativeFolder + file) : p.reference,
                              plan.folder + file, p.bytes, p.kind});
    }
    return plan;
}

bool placePictures(const PicturePlan& plan, QString& error) {
    if (!plan.write || plan.pictures.isEmpty())
        return true;
    QDir folder(plan.folder);
    if (!folder.exists() && !QDir().mkpath(plan.folder)) {
        error = QStringLiteral("画像のフォルダを作れません: ") + plan.folder;
        return false;
    }
    if (plan.clearFolder)
        for (const QString& name : folder.entryList(QDir::Files))
            folder.remove(name);
    for (const PlacedPicture& p : plan.pictures) {
        if (!writePicture(p.path, html::convertedPicture(p.bytes, p.kind))) {
            error = QStringLiteral("画像を書き込めません: ") + p.path;
            return false;
        }
    }
    return true;
}

}  // namespace arbor::web
