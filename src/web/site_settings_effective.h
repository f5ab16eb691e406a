#pragma once
// The settings a page is published with, each with where it comes from: its own row, the
// nearest page above with a row (along the home placements), the top page, the page's
// label, or nothing set. The same rules as the site build's walk: head values come as a
// whole from the nearest row, the template from the nearest page that names an existing
// one (else the top page's), the picture format from the nearest page that chooses one;
// the file name, root flag and sub pages belong to the page alone.

#include <QList>
#include <QString>
#include <QStringList>

#include "web/site_settings.h"
#include "web/site_settings_heads.h"

namespace arbor::web {

struct SettingSource {
    enum Kind { Own, Inherited, TopPage, Label, Default };
    Kind kind = Default;
    int page = 0;  // the page the value comes from (Inherited, TopPage)
    // "自身", "文書No 1001 から継承", "ﾄｯﾌﾟﾍﾟｰｼﾞ 1001", "ﾍﾟｰｼﾞ名", "既定".
    QString text() const;
};

struct EffectiveValue {
    QString value;
    SettingSource source;
};

struct EffectivePageSettings {
    int page = 0;
    bool placed = false;  // the page has a placement
    bool hasRow = false;
    QString label;    // the home placement's label
    QList<int> path;  // the home chain, nearest parent first, up to the top level
    EffectiveValue title, description, keywords, copyright, noIndex, fitTables;
    EffectiveValue templ, fileName, root, subPages, pictureFormat;
    QStringList notes;  // what the site build will say about them (missing files ...)

    HeadValues head() const;
};

// Resolves the settings of a page. False with the reason when the database could not be
// read.
bool resolvePageSettings(int page, EffectivePageSettings& settings, QString& error);

// The head values a page's written files carry (its own row, else the nearest row above).
HeadValues effectiveHead(int page);

}  // namespace arbor::web
