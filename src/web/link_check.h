#pragma once
// The link checker: every hypertext link of every visible page, each with the result of a
// check. Internal links must lead to a page that stands in the tree and is public; web
// addresses get a HEAD request; file links must name an existing file, and those that
// point into the site folder of another user data folder are moved onto this one. The
// internal links to missing and to non-public pages are collected in two lists, and the
// enlarged pictures of the site's "pc_zoom" folder that the links refer to in a third.
//
// A placement counts as visible when it and every placement above it on some way up to
// the top level is not hidden; the rest of the tree is left out of the run.

#include <QString>
#include <QStringList>
#include <QVector>

#include "web/head_requests.h"

namespace arbor::web {

enum class LinkClass { Internal, Web, File, Other, Unreadable };

struct LinkRow {
    int page = 0;
    QString title;  // the page's title (msDoc.szDoc)
    QString text;   // the link's text
    QString kind;   // "TG" or "LK"
    QString value;  // the target as shown: "Page No:" + value, or the part from "pc_zoom" on
    QString data;   // the field's data as stored, after a repair the new one
    LinkClass linkClass = LinkClass::Other;
    bool broken = false;
    bool repaired = false;
    QString finding;
    // " ○ " or " × ".
    QString mark() const;
};

struct LinkCheckOptions {
    bool checkWeb = true;  // false: web addresses are listed, not requested
    bool repair = true;    // write repaired file links back into the pages
    HeadOptions web;
};

struct LinkCheckReport {
    bool ok = false;  // false: the database could not be read (error says why)
    bool cancelled = false;
    QString error;
    QVector<LinkRow> rows;
    // "," then "title (page)," for each page, without repetitions.
    QString missing = QStringLiteral(",");
    QString nonPublic = QStringLiteral(",");
    QString repaired = QStringLiteral(",");
    QStringList zoomReferenced;  // file names in "pc_zoom" the links refer to
    int pages = 0;               // pages checked
    int hiddenByAncestry = 0;    // placements not hidden themselves, but below a hidden one
    int damaged = 0;             // pages whose document could not be read
    int brokenCount() const;
};

// CheckLinks on the open database. Progress shows pages and requests and may stop the
// run; nothing of the tree is changed, only repaired pages are written.
LinkCheckReport CheckLinks(const LinkCheckOptions& options);

// The result grid as text with the two lists under their headings, for the clipboard.
QString clipboardText(const LinkCheckReport& report);

// The file a file link names ("/..." or "file:..." or a Windows drive path), or empty
// when the value is no file link.
QString fileLinkPath(const QString& value);

// The name of the enlarged picture a link value refers to ("" when none).
QString zoomPictureName(const QString& value);

}  // namespace arbor::web
