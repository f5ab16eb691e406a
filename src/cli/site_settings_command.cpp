#include "cli/site_settings_command.h"
#include "cli/batch_session.h"

#include <array>

#include "app/yini.h"
#include "db/publish_right.h"
#include "db/zsvr.h"
#include "web/site_folders.h"
#include "web/site_settings.h"
#include "web/site_settings_effective.h"
#include "web/yhtm_site_conversion.h"

namespace arbor::cli {

namespace {

enum class Scope { Site, Page };

struct Key {
    const char* name;
    const char* column;
    Scope scope;
};

constexpr std::array<Key, 17> kKeys = {{
    {"alt-url", "HsHome2", Scope::Site},
    {"alt-url-on", "HiHome", Scope::Site},
    {"doctype", "HiType", Scope::Site},
    {"sitemap-depth", "HiPopS", Scope::Site},
    {"picture-place", "HiPfold", Scope::Site},
    {"picture-folder", "HsPfold", Scope::Site},
    {"title", "szTtl", Scope::Page},
    {"copyright", "szCpy", Scope::Page},
    {"keywords", "szKwd", Scope::Page},
    {"description", "szDsc", Scope::Page},
    {"template", "saTpl", Scope::Page},
    {"file-name", "saFnm", Scope::Page},
    {"root", "boRoot", Scope::Page},
    {"sub-pages", "saSbP", Scope::Page},
    {"noindex", "boNnx", Scope::Page},
    {"fit-tables", "boTbF", Scope::Page},
    {"picture", "inPng", Scope::Page},
}};

const QStringList kDocTypes = {
    QStringLiteral("HTML 4.01 Transitional"), QStringLiteral("HTML 4.01 Strict"),
    QStringLiteral("XHTML 1.0 Transitional"), QStringLiteral("XHTML 1.0 Strict")};

const Key* findKey(const QString& name) {
    for (const Key& k : kKeys)
        if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(k.column), Qt::CaseInsensitive) == 0)
            return &k;
    return nullptr;
}

bool parseFlag(const QString& text, bool& on) {
    const QString t = text.trimmed().toLower();
    if (QStringList{QStringLiteral("1"), QStringLiteral("on"), QStringLiteral("yes"),
                    QStringLiteral("true"), QStringLiteral("はい")}
            .contains(t)) {
        on = true;
        return true;
    }
    if (QStringList{QStringLiteral("0"), QStringLiteral("off"), QStringLiteral("no"),
                    QStringLiteral("false"), QStringLiteral("いいえ")}
            .contains(t)) {
        on = false;
        return true;
    }
    return false;
}

bool parseNumber(const QString& text, int low, int high, int& value) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < low || n > high)
        return false;
    value = n;
    return true;
}

struct Options {
    QString database;
    QString page;  // "" (the site), a number or "top"
    QList<QPair<const Key*, QString>> sets;
    bool clear = false;
};

bool parse(const QStringList& args, Options& o, QTextStream& err) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--page") || a == QLatin1String("--set")) {
            QString v;
            if (!takeValue(args, i, v, err))
                return false;
            if (a == QLatin1String("--page")) {
                o.page = v.trimmed();
                continue;
            }
            const qsizetype eq = v.indexOf(u'=');
            const Key* key = eq > 0 ? findKey(v.left(eq).trimmed()) : nullptr;
            if (!key) {
                err << "知らない項目です: " << v << Qt::endl;
                return false;
            }
            o.sets.push_back({key, v.mid(eq + 1)});
        } else if (a == QLatin1String("--clear")) {
            o.clear = true;
        } else if (a.startsWith(QLatin1String("--")) || !o.database.isEmpty()) {
            err << "知らない引数です: " << a << Qt::endl;
            return false;
        } else {
            o.database = a;
        }
    }
    if (o.database.isEmpty()) {
        err << "文書ﾃﾞｰﾀｰﾍﾞｰｽを指定して下さい" << Qt::endl;
        return false;
    }
    bool pageKeys = false;
    for (const auto& [key, value] : o.sets)
        pageKeys = pageKeys || key->scope == Scope::Page;
    if ((pageKeys || o.clear) && o.page.isEmpty()) {
        err << "ﾍﾟｰｼﾞの項目と --clear には --page (番号 または top) が必要です" << Qt::endl;
        return false;
    }
    if (o.clear && pageKeys) {
        err << "--clear とﾍﾟｰｼﾞの --set は一緒に使えません" << Qt::endl;
        return false;
    }
    return true;
}

// Puts the site values into the settings; false after saying what is wrong.
bool applySite(web::SiteWideSettings& s, const QString& column, const QString& value,
               QTextStream& err) {
    bool on = false;
    int n = 0;
    if (column == QLatin1String("HsHome2")) {
        s.altAddress = value.trimmed();
    } else if (column == QLatin1String("HiHome")) {
        if (!parseFlag(value, on)) {
            err << "alt-url-on は on か off です: " << value << Qt::endl;
            return false;
        }
        s.altOn = on;
    } else if (column == QLatin1String("HiType")) {
        const int named = kDocTypes.indexOf(value.trimmed());
        if (named >= 0)
            s.docType = named;
        else if (parseNumber(value, 0, 3, n))
            s.docType = n;
        else {
            err << "doctype は 0 から 3 です: " << value << Qt::endl;
            return false;
        }
    } else if (column == QLatin1String("HiPopS")) {
        if (!parseNumber(value, 3, 6, n)) {
            err << "sitemap-depth は 3 から 6 です: " << value << Qt::endl;
            return false;
        }
        s.mapDepth = n;
    } else if (column == QLatin1String("HiPfold")) {
        if (!parseNumber(value, 0, 1, n)) {
            err << "picture-place は 0 (ﾍﾟｰｼﾞ毎) か 1 (一つのﾌｫﾙﾀﾞ) です: " << value << Qt::endl;
            return false;
        }
        s.pictureFolderMode = n;
    } else if (column == QLatin1String("HsPfold")) {
        s.pictureFolder = value.trimmed();
    }
    return true;
}

bool applyPage(web::PageSettings& s, const QString& column, const QString& value,
               QTextStream& err) {
    bool on = false;
    auto flag = [&](bool& into) {
        if (!parseFlag(value, on)) {
            err << column << " は 1 か 0 です: " << value << Qt::endl;
            return false;
        }
        into = on;
        return true;
    };
    if (column == QLatin1String("szTtl"))
        s.title = value;
    else if (column == QLatin1String("szCpy"))
        s.copyright = value;
    else if (column == QLatin1String("szKwd"))
        s.keywords = value;
    else if (column == QLatin1String("szDsc"))
        s.description = value;
    else if (column == QLatin1String("saTpl"))
        s.templ = value;
    else if (column == QLatin1String("saFnm"))
        s.fileName = value;
    else if (column == QLatin1String("saSbP"))
        s.subPages = value;
    else if (column == QLatin1String("boRoot"))
        return flag(s.root);
    else if (column == QLatin1String("boNnx"))
        return flag(s.noIndex);
    else if (column == QLatin1String("boTbF"))
        return flag(s.fitTables);
    else if (column == QLatin1String("inPng")) {
        const QString v = value.trimmed().toLower();
        if (v == QLatin1String("0") || v == QLatin1String("inherit"))
            s.pictureFormat = 0;
        else if (v == QLatin1String("1") || v == QLatin1String("jpeg") || v == QLatin1String("jpg"))
            s.pictureFormat = 1;
        else if (v == QLatin1String("2") || v == QLatin1String("png"))
            s.pictureFormat = 2;
        else {
            err << "picture は inherit, jpeg, png (0, 1, 2) です: " << value << Qt::endl;
            return false;
        }
    }
    return true;
}

void printSite(QTextStream& out) {
    web::SiteWideSettings s;
    QString error;
    web::loadSiteWide(s, error);
    out << "サイト全体の設定" << Qt::endl;
    out << "  alt-url        (HsHome2) = " << s.altAddress << Qt::endl;
    out << "  alt-url-on     (HiHome)  = " << (s.altOn ? "on" : "off") << " (HiHome "
        << s.loadedHomeMode << ")" << Qt::endl;
    out << "  doctype        (HiType)  = " << s.docType << " " << kDocTypes.value(s.docType)
        << Qt::endl;
    out << "  sitemap-depth  (HiPopS)  = " << s.mapDepth << Qt::endl;
    out << "  picture-place  (HiPfold) = " << s.pictureFolderMode
        << (s.pictureFolderMode == 1 ? " (一つのﾌｫﾙﾀﾞ)" : " (ﾍﾟｰｼﾞ毎の _files ﾌｫﾙﾀﾞ)") << Qt::endl;
    out << "  picture-folder (HsPfold) = " << s.pictureFolder << Qt::endl;
    const int top = web::settingsTopPage();
    if (top > 0)
        out << "ﾄｯﾌﾟﾍﾟｰｼﾞ (ｻｲﾄ全体の既定): 文書No " << top << "  (--page top で表示します)"
            << Qt::endl;
    else
        out << "ﾄｯﾌﾟﾍﾟｰｼﾞ: ありません" << Qt::endl;
    out << "ｻｲﾄのﾌｫﾙﾀﾞ: " << web::siteRoot() << Qt::endl;
}

bool printPage(int page, QTextStream& out, QTextStream& err) {
    web::EffectivePageSettings e;
    QString error;
    if (!web::resolvePageSettings(page, e, error)) {
        err << "設定を読めません: " << error << Qt::endl;
        return false;
    }
    out << "文書No " << page << " 「" << e.label << "」";
    if (!e.path.isEmpty()) {
        QStringList above;
        for (int p : e.path)
            above << QString::number(p);
        out << "  上位: " << above.join(QStringLiteral(" > "));
    }
    out << Qt::endl;
    if (!e.placed)
        out << "  (ﾂﾘｰに配置されていません)" << Qt::endl;
    out << (e.hasRow ? "  このﾍﾟｰｼﾞの登録: あり"
                     : "  このﾍﾟｰｼﾞの登録: なし　上位の文書から継承されます")
        << Qt::endl;
    auto line = [&](const char* key, const char* column, const web::EffectiveValue& v) {
        out << "  " << QString::fromLatin1(key).leftJustified(12) << " ("
            << QString::fromLatin1(column).leftJustified(6) << ") = " << v.value << "   ["
            << v.source.text() << "]" << Qt::endl;
    };
    line("title", "szTtl", e.title);
    line("description", "szDsc", e.description);
    line("keywords", "szKwd", e.keywords);
    line("copyright", "szCpy", e.copyright);
    line("noindex", "boNnx", e.noIndex);
    line("fit-tables", "boTbF", e.fitTables);
    line("template", "saTpl", e.templ);
    line("file-name", "saFnm", e.fileName);
    line("root", "boRoot", e.root);
    line("sub-pages", "saSbP", e.subPages);
    line("picture", "inPng", e.pictureFormat);
    for (const QString& note : e.notes)
        out << "  注意: " << note << Qt::endl;
    return true;
}

}  // namespace

QString siteSettingsHelp() {
    return QStringLiteral(
        "  site-settings DB [--page N|top] [--set 項目=値 ...] [--clear]\n"
        "                              Webｻｲﾄ出力の設定を表示し、変更します。--page なしは\n"
        "                              ｻｲﾄ全体、--page はそのﾍﾟｰｼﾞの実際の値と継承元です。\n"
        "                              ｻｲﾄ全体の項目: alt-url alt-url-on doctype sitemap-depth\n"
        "                              picture-place picture-folder\n"
        "                              ﾍﾟｰｼﾞの項目: title description keywords copyright\n"
        "                              template file-name root sub-pages noindex fit-tables\n"
        "                              picture (列名 szTtl 等も使えます)。--clear はﾍﾟｰｼﾞの\n"
        "                              登録を削除します (上位から継承されます)\n");
}

int siteSettings(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    Options o;
    if (!parse(arguments, o, err))
        return 2;
    BatchDatabase session(o.database, err);
    if (!session)
        return 1;
    zSvr& db = zSvr::instance();
    bool ok = false;

    int page = 0;
    if (o.page == QLatin1String("top")) {
        page = web::settingsTopPage();
        if (page <= 0) {
            err << "ﾄｯﾌﾟﾍﾟｰｼﾞがありません" << Qt::endl;
            return 1;
        }
    } else if (!o.page.isEmpty()) {
        page = o.page.toInt(&ok);
        QString sql = QStringLiteral("Select Count(*) From msDoc Where noDoc=?");
        db.T_CnvSq(sql, {page});
        if (!ok || page <= 0 || db.R_GtVaL(sql, 0).toInt() == 0) {
            err << "そのﾍﾟｰｼﾞはありません: " << o.page << Qt::endl;
            return 1;
        }
    }

    int code = 0;
    if (!o.sets.isEmpty() || o.clear) {
        if (db.readOnly()) {
            err << "読み込み専用の文書ﾃﾞｰﾀｰﾍﾞｰｽです" << Qt::endl;
            return 1;
        }
        if (!ChkPubPc(1))
            return 1;
        web::PrepareSiteFolders();
        const auto conversion = web::makeSiteConversion();
        web::SiteWideSettings site;
        web::PageSettings loaded, edited;
        QString error;
        bool siteKeys = false, pageKeys = false;
        if (!web::loadSiteWide(site, error) ||
            (page > 0 && !web::loadPageSettings(page, loaded, error))) {
            err << "設定を読めません: " << error << Qt::endl;
            return 1;
        }
        edited = loaded;
        for (const auto& [key, value] : o.sets) {
            const QString column = QString::fromLatin1(key->column);
            const bool applied = key->scope == Scope::Site ? applySite(site, column, value, err)
                                                           : applyPage(edited, column, value, err);
            if (!applied)
                return 2;
            (key->scope == Scope::Site ? siteKeys : pageKeys) = true;
        }
        if (siteKeys) {
            QString message;
            const bool saved = web::saveSiteWide(site, message);
            (saved ? out : err) << message << Qt::endl;
            if (!saved)
                code = 1;
        }
        if (pageKeys || o.clear) {
            const web::PageSaveResult r = o.clear
                                              ? web::deletePageSettings(page, *conversion)
                                              : web::savePageSettings(edited, loaded, *conversion);
            const bool fine = r.saved || (!o.clear && edited.sameAs(loaded));
            (fine ? out : err) << r.message << Qt::endl;
            if (r.headsRewritten > 0)
                out << "出力済みﾌｧｲﾙ " << r.headsRewritten << " 個のﾍｯﾀﾞ部を書き換えました"
                    << Qt::endl;
            if (!fine || !r.problems.isEmpty())
                code = 1;
        }
        out << Qt::endl;
    }
    if (page > 0) {
        if (!printPage(page, out, err))
            return 1;
    } else {
        printSite(out);
    }
    return code;
}

}  // namespace arbor::cli
