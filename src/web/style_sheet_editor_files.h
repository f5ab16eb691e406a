#pragma once
// The template editor's files in the site folder: the generated pair with its background
// picture, the work pair of the preview and the preview itself through the site build,
// an existing pair read back into a design, and the pictures it names in "cmn".

#include <QSize>
#include <QString>

#include "web/style_sheet_editor.h"

namespace arbor::web {

class SiteConversion;

struct DesignPaths {
    QString styleSheet;  // site root + "/cmn/" + name
    QString templ;       // site root + "/Template/" + name
    QString background;  // site root + "/cmn/" + name
};
DesignPaths designPaths(const CssDesign& design, bool preview = false);

// The additions a new style sheet carries: those of the sheet it replaces; for a sheet
// that does not exist yet, those of the site's sheet of the same layout without ID, else
// those of the skeleton site's (which make the site work on phones).
QString additionsFor(const CssDesign& design);

// Writes the background picture, the style sheet and the template (each complete or not
// at all). The message is the report for the user, or why nothing (more) was written.
bool writeDesign(const CssDesign& design, QString& message);

// The work pair of the preview: "cmn/navi_wrk.css" with "back_wrk.gif", and
// "Template/tpl_wrk.htm" linking the work sheet.
bool writePreviewDesign(const CssDesign& design, QString& message);

// The preview: the work pair, then the site build in its template-preview mode for the
// page (0: the work template as it is). shownFile is what the browser should show.
bool previewDesign(SiteConversion& conversion, const CssDesign& design, int page, int parent,
                   QString& shownFile, QString& message);

// Reads a template of the site's "Template" folder and its style sheet back into a design.
bool readDesign(const QString& templatePath, CssDesign& design, QString& message);

// Pictures: whether a file is in the site's "cmn" folder, the file of the same name there
// (or ""), a copy into it, and the picture's size (invalid when unreadable).
bool inCommonFolder(const QString& path);
QString commonFolderCopy(const QString& path);
bool copyIntoCommonFolder(const QString& path, QString& error);
QSize pictureSize(const QString& path);
// Why the file cannot be a logo or title picture (not a JPEG, PNG or GIF that reads), or "".
QString pictureProblem(const QString& path);

}  // namespace arbor::web
