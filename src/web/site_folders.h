#pragma once
// Where a collection's web site lives: the site root under the user data folder named
// after the open database, its common files, page folder, templates and enlarged
// pictures, and the skeleton site a new site starts from.

#include <QString>

namespace arbor::web {

// UserPath + "Site/" + DbName, without a trailing "/".
QString siteRoot();
QString siteCommonFolder();    // root + "/cmn"
QString sitePageFolder();      // root + "/pub/"
QString siteTemplateFolder();  // root + "/Template/"
QString siteZoomFolder();      // root + "/pc_zoom"

// Copies the program's shipped folder to target when target does not exist yet; what names
// it in the messages ("ｻｲﾄ" gives "ｻｲﾄの雛形が見つかりません: ..."). False with a reason
// when it could not be made; nothing half-copied is left at target.
bool installShippedFolder(const QString& shipped, const QString& target, const QString& what,
                          QString& error);

// The skeleton site "Site/Moto" of the user data folder, made from the program's own
// (apData/Site/Moto) when it is missing. False with a reason when it could not be made.
bool ensureSkeletonSite(QString& error);

// Each missing folder of the site (root, cmn, pub, Template) is made and given the files
// (not subfolders) of the skeleton's folder of the same place; an existing folder is left
// as it is, so the skeleton never overwrites what belongs to the user.
void PrepareSiteFolders();

}  // namespace arbor::web
