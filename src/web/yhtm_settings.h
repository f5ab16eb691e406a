#pragma once
// What the HTML conversion knows of the site, read once from the database and then
// handed around as a plain value: several conversions may share one copy, on several
// threads, without touching the database.

#include <QHash>
#include <QString>
#include <array>

#include "editor/user_formats.h"

namespace arbor::web {

// The output kinds of the conversion (HtmlKind).
enum HtmlKind : int {
    kHtml401Transitional = 0,
    kHtml401Strict = 1,
    kXhtml10Transitional = 2,
    kXhtml10Strict = 3,
    kEbookXhtml11 = 4,
    kXhtmlNoDoctype = 5,
};
// Kinds written as XML (empty elements closed with "/>").
inline bool isXmlKind(int kind) {
    return kind >= kXhtml10Transitional && kind <= kXhtmlNoDoctype;
}

struct HtmlSiteSettings {
    int htmlKind = kHtml401Transitional;  // kaUsr.HiType
    int pictureFolderMode = 1;            // kaUsr.HiPfold: 1 one folder, 0 one per page
    QString pictureFolderName = QStringLiteral("Images");  // kaUsr.HsPfold
    int homeMode = 0;                                      // kaUsr.HiHome
    QString homeAddress;  // HsHome1 / HsHome2 by homeMode, ending in "/"; empty for 0
    // Own file names by page number; a name in the site root starts with "../".
    QHash<int, QString> customNames;
    bool faviconPresent = false;  // site root + "cmn/favicon.ico"
    QString siteRoot;             // ends in "/"
    QString pubFolder;            // siteRoot + "pub/"
    QString lnkFolder;            // siteRoot + "lnk/"

    std::array<UsrFormat, kUserFormatCount> formats{};
    float lineSpacingFactor = 1.2f;

    // Kept by the e-book builder: "." + each page of the book + ".".
    QString bookPages = QStringLiteral(".");
    // Dictionary texts for the titles of term links, by term.
    QHash<QString, QString> termTexts;

    // The list form: page, TAB, name, CR for each entry in page order.
    QString customNameList() const;
    // Replaces the entries from that form (lines that are not page TAB name are skipped).
    void setCustomNameList(const QString& list);
    bool inBook(int page) const;
    // Copies the user formats and the line spacing factor of a table.
    void takeFormats(const Frmt& table);
    // Terms from a list of term, TAB, text, CR.
    void setTermList(const QString& list);
};

// The settings with the user formats in use and the defaults for the rest.
HtmlSiteSettings defaultSiteSettings();

// The site folder of the open database: UserPath + "Site/" + DbName + "/".
QString siteRootOfOpenDatabase();

// SetKaHtm: "Select HiType, HiPfold, HsPfold  From kaUsr" into kind, folder mode and
// folder name (0, 1, "Images" without a row). With withNames also the favicon, the
// pub and lnk folders below siteRoot (the lnk folder is created), the custom file-name
// list and the home address. False when the database could not be read.
bool loadSiteSettings(HtmlSiteSettings& settings, bool withNames, const QString& siteRoot);

// The custom file names and the home address by kaUsr.HiHome (part of loadSiteSettings).
bool loadCustomNames(HtmlSiteSettings& settings);

// The dictionary (msDic) as term texts for term links.
bool loadTermTexts(HtmlSiteSettings& settings);

}  // namespace arbor::web
