#pragma once
// Where the pictures of a converted page go and how the page refers to them: a site
// page's pictures are named after the page (page part, "_", 001, ".jpg" or ".png") in
// the site's picture folder or in a "_files" folder beside the page; a saved page keeps
// the export's "<name>_Images" folder; an e-book page puts them into "Images".

#include <QList>
#include <QString>

#include "editor/html_export.h"
#include "web/html_conversion_context.h"

namespace arbor::web {

struct PlacedPicture {
    QString exportReference;  // src as the export wrote it
    QString reference;        // src in the converted page
    QString path;             // the picture file
    QByteArray bytes;         // not yet converted
    pictures::Kind kind = pictures::Kind::None;
};

struct PicturePlan {
    QString folder;            // ends in "/"
    bool clearFolder = false;  // the page's own "_files" folder is emptied first
    bool write = true;         // false with the no-pictures option
    QList<PlacedPicture> pictures;
};

// The page part of a page file name: the name without extension, and for a link
// placement the part after its last "_".
QString picturePagePart(const QString& targetPath, bool linkPlacement);

PicturePlan planPictures(const QList<html::ExportedPicture>& exported,
                         const ConversionContext& context);

// Creates the folder and writes the files (each replaced when present, converted to
// the format its name says). False with a message on the first failure.
bool placePictures(const PicturePlan& plan, QString& error);

}  // namespace arbor::web
