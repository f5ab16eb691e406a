#include "web/site_settings_effective.h"

#include <QHash>
#include <QSet>

#include "db/result_array.h"
#include "db/zsvr.h"
#include "web/page_file_names.h"
#include "web/yhtm_settings.h"

namespace arbor::web {

namespace {

struct Row {
    QString title, description, keywords, copyright, templ, fileName, subPages;
    bool root = false, noIndex = false, fitTables = false;
    int png = 0;
};

int intOrZero(const QVariant& v) {
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : 0;
}

QHash<int, Row> rowsOf(const QList<int>& pages, QString& error) {
    QHash<int, Row> rows;
    QStringList numbers;
    for (int p : pages)
        numbers << QString::number(p);
    ResultArray a;
    zSvr& db = zSvr::instance();
    if (!db.readRows(
            QStringLiteral("Select noDoc, szTtl, szDsc, szKwd, szCpy, saTpl, saFnm, "
                           "boRoot, saSbP, boNnx, boTbF, inPng From tbHtm Where noDoc In (") +
                numbers.join(u',') + u')',
            a)) {
        error = db.lastError();
        return rows;
    }
    for (int r = 0; r < a.rowCount(); ++r) {
        Row row;
        row.title = a(1, r).toString();
        row.description = a(2, r).toString();
        row.keywords = a(3, r).toString();
        row.copyright = a(4, r).toString();
        row.templ = a(5, r).toString().trimmed();
        row.fileName = a(6, r).toString().trimmed();
        row.root = intOrZero(a(7, r)) == 1;
        row.subPages = a(8, r).toString();
        row.noIndex = intOrZero(a(9, r)) == 1;
        row.fitTables = intOrZero(a(10, r)) == 1;
        row.png = intOrZero(a(11, r));
        rows.insert(a(0, r).toInt(), row);
    }
    return rows;
}

QString yesNo(bool on) {
    return on ? QStringLiteral("はい") : QStringLiteral("いいえ");
}

QString pictureName(int png) {
    return png == 2 ? QStringLiteral("Png (*.png)") : QStringLiteral("Jpeg (*.jpg)");
}

}  // namespace

QString SettingSource::text() const {
    switch (kind) {
        case Own:
            return QStringLiteral("自身");
        case Inherited:
            return QStringLiteral("文書No %1 から継承").arg(page);
        case TopPage:
            return QStringLiteral("ﾄｯﾌﾟﾍﾟｰｼﾞ %1 から").arg(page);
        case Label:
            return QStringLiteral("ﾍﾟｰｼﾞ名");
        case Default:
            break;
    }
    return QStringLiteral("既定");
}

HeadValues EffectivePageSettings::head() const {
    HeadValues h;
    // A title that is the label stays empty: each placement shows its own label.
    h.title = title.source.kind == SettingSource::Label ? QString() : title.value;
    h.description = description.value;
    h.keywords = keywords.value;
    h.copyright = copyright.value;
    h.noIndex = noIndex.value == yesNo(true);
    return h;
}

bool resolvePageSettings(int page, EffectivePageSettings& e, QString& error) {
    e = EffectivePageSettings();
    e.page = page;
    zSvr& db = zSvr::instance();
    if (!db.isOpen()) {
        error = QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽが開かれていません");
        return false;
    }
    // The home chain: the home placement's parent, its home placement's parent, and so on.
    QSet<int> seen{page};
    for (int at = page; at > 0;) {
        ResultArray a;
        if (!db.readRows(QStringLiteral("Select noLfP, szDoc From tbTree Where noLfC=") +
                             QString::number(at) + QStringLiteral(" Order By boLnk, inSrt"),
                         a)) {
            error = db.lastError();
            return false;
        }
        if (a.isEmpty())
            break;
        if (at == page) {
            e.placed = true;
            e.label = a(1, 0).toString();
        }
        const int parent = a(0, 0).toInt();
        if (parent <= 0 || seen.contains(parent))
            break;
        seen.insert(parent);
        e.path << parent;
        at = parent;
    }
    if (!e.placed)
        e.label = db.R_GtVaL(QStringLiteral("Select szDoc From msDoc Where noDoc=") +
                                 QString::number(page),
                             QString())
                      .toString();
    // The site build's top page (first visible top-level placement) gives the template of
    // the top level; the picture format starts from the first top-level page.
    const int buildTop = settingsTopPage();
    const int pictureTop =
        db.R_GtVaL(QStringLiteral("Select Top 1 noLfC From tbTree Where noLfP=0 Order By inSrt"), 0)
            .toInt();
    QList<int> chain{page};
    chain << e.path;
    const QHash<int, Row> rows = rowsOf(QList<int>(chain) << buildTop << pictureTop, error);
    if (!error.isEmpty())
        return false;
    e.hasRow = rows.contains(page);
    auto sourceOf = [page](int from) {
        SettingSource s;
        s.kind = from == page ? SettingSource::Own : SettingSource::Inherited;
        s.page = from;
        return s;
    };

    // Head values: the whole row of the nearest page that has one.
    for (int at : chain) {
        if (!rows.contains(at))
            continue;
        const Row& r = rows[at];
        const SettingSource s = sourceOf(at);
        e.title = {r.title.trimmed(), s};
        e.description = {r.description, s};
        e.keywords = {r.keywords, s};
        e.copyright = {r.copyright, s};
        e.noIndex = {yesNo(r.noIndex), s};
        e.fitTables = {yesNo(r.fitTables), s};
        break;
    }
    if (e.noIndex.value.isEmpty())
        e.noIndex.value = yesNo(false);
    if (e.fitTables.value.isEmpty())
        e.fitTables.value = yesNo(false);
    if (e.title.value.isEmpty())
        e.title = {e.label, {SettingSource::Label, 0}};

    // Template: the nearest page naming one that exists, else the top page's.
    for (int at : chain) {
        const Row r = rows.value(at);
        if (r.templ.isEmpty())
            continue;
        if (!templateFileExists(r.templ)) {
            e.notes << QStringLiteral("文書No %1 のﾃﾝﾌﾟﾚｰﾄ %2 がありません(継承されます)")
                           .arg(at)
                           .arg(r.templ);
            continue;
        }
        e.templ = {r.templ, sourceOf(at)};
        break;
    }
    if (e.templ.value.isEmpty() && buildTop > 0 && !chain.contains(buildTop) &&
        templateFileExists(rows.value(buildTop).templ))
        e.templ = {rows.value(buildTop).templ, {SettingSource::TopPage, buildTop}};
    if (e.templ.value.isEmpty())
        e.notes << QStringLiteral("トップページのテンプレートが指定されていません");

    // File name: the page's own, in force with the alternative address (HiHome 2).
    HtmlSiteSettings site = defaultSiteSettings();
    loadCustomNames(site);
    const Row own = rows.value(page);
    const QString name =
        HsFName(site, kHtml401Transitional, QString(), QString::number(page), false, true);
    e.fileName = {
        name, {site.customNames.contains(page) ? SettingSource::Own : SettingSource::Default, 0}};
    if (!own.fileName.isEmpty() && site.homeMode != 2)
        e.notes << QStringLiteral("ﾌｧｲﾙ名 %1 は代替URLが指定されていないため使われません")
                       .arg(own.fileName);
    e.root = {yesNo(own.root), {e.hasRow ? SettingSource::Own : SettingSource::Default, 0}};
    e.subPages = {own.subPages.trimmed(),
                  {e.hasRow ? SettingSource::Own : SettingSource::Default, 0}};
    for (const QString& entry : own.subPages.split(u',')) {
        const QString sub = entry.trimmed();
        if (!sub.isEmpty() && !templateFileExists(sub))
            e.notes << QStringLiteral("ｻﾌﾞﾍﾟｰｼﾞ %1 がﾃﾝﾌﾟﾚｰﾄのﾌｫﾙﾀﾞにありません").arg(sub);
    }

    // Picture format: the nearest page that chooses one, else the first top-level page's.
    for (int at : chain) {
        const int png = rows.value(at).png;
        if (png == 1 || png == 2) {
            e.pictureFormat = {pictureName(png), sourceOf(at)};
            break;
        }
    }
    if (e.pictureFormat.value.isEmpty()) {
        const int png = rows.value(pictureTop).png;
        if (pictureTop > 0 && (png == 1 || png == 2))
            e.pictureFormat = {pictureName(png), {SettingSource::TopPage, pictureTop}};
        else
            e.pictureFormat = {pictureName(1), {SettingSource::Default, 0}};
    }
    return true;
}

HeadValues effectiveHead(int page) {
    EffectivePageSettings e;
    QString ignored;
    resolvePageSettings(page, e, ignored);
    return e.head();
}

}  // namespace arbor::web
