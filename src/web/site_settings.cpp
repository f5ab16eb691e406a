#include "web/site_settings.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <functional>

#include "app/program_state.h"
#include "db/result_array.h"
#include "db/schema.h"
#include "db/zsvr.h"
#include "web/site_conversion.h"
#include "web/site_folders.h"
#include "web/site_settings_effective.h"
#include "web/site_settings_heads.h"

namespace arbor::web {

namespace {

int intOrZero(const QVariant& v) {
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : 0;
}

QString withSlash(QString address) {
    address = address.trimmed();
    if (!address.isEmpty() && !address.endsWith(u'/'))
        address += u'/';
    return address;
}

// A name of a file or folder inside its folder: no folder part, no way out of it.
bool plainName(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') &&
           !name.contains(QStringLiteral("..")) && name != QStringLiteral(".");
}

QString numberList(const QList<int>& pages) {
    QStringList parts;
    parts.reserve(pages.size());
    for (int p : pages)
        parts << QString::number(p);
    return parts.join(u',');
}

// Runs "... Where noDoc In (?)" for the pages, a few hundred at a time; values fill the
// placeholders before the list.
bool updatePages(const QString& statement, const QVariantList& values, const QList<int>& pages) {
    zSvr& db = zSvr::instance();
    for (qsizetype from = 0; from < pages.size(); from += 500) {
        QString sql = statement;
        db.T_CnvSq(sql, QVariantList(values) << numberList(pages.mid(from, 500)));
        if (!db.D_ExeSq(sql))
            return false;
    }
    return true;
}

// What of the published result the settings decide, as resolved for the page.
struct Outcome {
    HeadValues head;
    QString templ, fileName, root, subPages, pictureFormat, fitTables;
};

Outcome outcomeOf(int page) {
    EffectivePageSettings e;
    QString ignored;
    resolvePageSettings(page, e, ignored);
    return {e.head(),         e.templ.value,         e.fileName.value, e.root.value,
            e.subPages.value, e.pictureFormat.value, e.fitTables.value};
}

bool sameHeadValues(const HeadValues& a, const HeadValues& b) {
    return a.title == b.title && a.description == b.description && a.keywords == b.keywords &&
           a.copyright == b.copyright && a.noIndex == b.noIndex;
}

// The heads of the affected pages' written files, and their cached HTML made stale so that
// the next conversion writes the new head too (the cache holds the old one).
void refreshHeads(const QList<int>& affected, SiteConversion& fileNames, PageSaveResult& result) {
    QString error;
    fileNames.loadSettings(error);
    result.headsRewritten =
        rewriteWrittenHeads(affected, effectiveHead, fileNames, result.problems);
    updatePages(QStringLiteral("Update msDoc Set dyHtm = Null Where noDoc In (?)"), {}, affected);
}

// Marks the affected pages for the next sync; a new file name also reaches the pages
// around the page, whose menus link to it.
bool markForOutput(int page, const QList<int>& affected, bool pictures, bool nameChanged,
                   PageSaveResult& result) {
    zSvr& db = zSvr::instance();
    if (pictures)
        RebuildLinkFlags(true);
    if (!updatePages(QStringLiteral("Update msDoc Set dyUdt = ? Where noDoc In (?)"), {SqlNow()},
                     affected))
        return false;
    // Dates go to the second: a build in the same second as this change would count the
    // pages as published after it. Without a publish date they are written in any case.
    if (!updatePages(QStringLiteral("Update tbTree Set dyPub = Null Where noLfC In (?)"), {},
                     affected))
        return false;
    if (nameChanged) {
        QString sql = QStringLiteral("Update tbTree Set dyUdt = ? Where noLfC = ?");
        db.T_CnvSq(sql, {SqlNow(), page});
        if (!db.D_ExeSq(sql))
            return false;
    }
    result.marked = affected;
    return true;
}

QString reoutputMessage(const QList<int>& pages) {
    return QStringLiteral("文書No ") + pageListText(pages) +
           QStringLiteral("\n以上が再出力が必要です　ｻｲﾄの同期を実行して下さい");
}

// After the row changed: heads, marks and the message, from what the page published
// before and publishes now.
void applyChange(int page, int top, const Outcome& before, const Outcome& after, bool headEdited,
                 bool outputEdited, SiteConversion& fileNames, PageSaveResult& result,
                 const QString& doneMessage) {
    result.affected = affectedPages(page, top);
    const bool headChanged = headEdited || !sameHeadValues(before.head, after.head);
    const bool pictures = before.pictureFormat != after.pictureFormat;
    const bool nameChanged = before.fileName != after.fileName || before.root != after.root;
    const bool outputChanged = outputEdited || pictures || before.templ != after.templ ||
                               before.fileName != after.fileName ||
                               before.subPages != after.subPages ||
                               before.fitTables != after.fitTables;
    if (headChanged)
        refreshHeads(result.affected, fileNames, result);
    if (outputChanged || nameChanged) {
        if (!markForOutput(page, result.affected, pictures, nameChanged, result)) {
            result.message =
                QStringLiteral("再出力の指定ができません: ") + zSvr::instance().lastError();
            return;
        }
        result.message = reoutputMessage(result.affected);
    } else {
        result.message = doneMessage;
        if (headChanged)
            result.message += QStringLiteral("出力済みのHtmのﾍｯﾀﾞ部も変更しました");
    }
    if (!result.problems.isEmpty())
        result.message += QStringLiteral("\n\n次のﾌｧｲﾙは書き換えられませんでした\n") +
                          result.problems.mid(0, 10).join(u'\n');
}

// Another page's own file name equal to this one (in the same folder): both files would be
// written to one place.
int pageUsingName(int page, const QString& name, bool root) {
    if (name.isEmpty())
        return 0;
    QString sql = QStringLiteral(
        "Select noDoc, boRoot From tbHtm Where saFnm='?' And noDoc<>? Order By noDoc");
    zSvr::instance().T_CnvSq(sql, {name, page});
    ResultArray rows;
    zSvr::instance().readRows(sql, rows);
    for (int r = 0; r < rows.rowCount(); ++r)
        if ((intOrZero(rows(1, r)) == 1) == root)
            return rows(0, r).toInt();
    return 0;
}

}  // namespace

// ---------------------------------------------------------------- the whole site

bool loadSiteWide(SiteWideSettings& s, QString& error) {
    s = SiteWideSettings();
    ResultArray rows;
    zSvr& db = zSvr::instance();
    if (!db.readRows(
            QStringLiteral("Select HsHome2, HiHome, HiType , HiPopS, HiPfold, HsPfold From kaUsr"),
            rows)) {
        error = db.lastError();
        return false;
    }
    if (rows.isEmpty())
        return true;
    s.altAddress = withSlash(rows(0, 0).toString());
    s.loadedHomeMode = intOrZero(rows(1, 0));
    s.altOn = s.loadedHomeMode == 2;
    const int type = intOrZero(rows(2, 0));
    s.docType = type >= 0 && type <= 3 ? type : 0;
    const int depth = intOrZero(rows(3, 0));
    s.mapDepth = depth >= 3 && depth <= 6 ? depth : 3;
    s.pictureFolderMode = intOrZero(rows(4, 0)) == 1 ? 1 : 0;
    s.pictureFolder = rows(5, 0).toString().trimmed();
    if (s.pictureFolder.isEmpty() && s.pictureFolderMode == 1)
        s.pictureFolder = QStringLiteral("Images");
    return true;
}

int homeModeToStore(const SiteWideSettings& s) {
    if (s.altOn)
        return 2;
    return s.loadedHomeMode == 2 ? 0 : s.loadedHomeMode;
}

bool saveSiteWide(const SiteWideSettings& s, QString& message) {
    zSvr& db = zSvr::instance();
    if (!db.isOpen()) {
        message = QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽが開かれていません");
        return false;
    }
    if (s.docType < 0 || s.docType > 3) {
        message = QStringLiteral("ﾄﾞｷｭﾒﾝﾄの型宣言の指定が不正です");
        return false;
    }
    if (s.mapDepth < 3 || s.mapDepth > 6) {
        message = QStringLiteral("ｻｲﾄﾏｯﾌﾟの階層は 3 から 6 の間で指定して下さい");
        return false;
    }
    QString folder = s.pictureFolder.trimmed();
    if (folder.isEmpty() && s.pictureFolderMode == 1)
        folder = QStringLiteral("image");
    if (!folder.isEmpty() && !plainName(folder)) {
        message = QStringLiteral("画像ﾌｫﾙﾀﾞの名前に \"/\" \"\\\" \"..\" は使えません: ") + folder;
        return false;
    }
    const QVariantList values{withSlash(s.altAddress),
                              homeModeToStore(s),
                              s.docType,
                              s.mapDepth,
                              s.pictureFolderMode,
                              folder};
    QString sql = QStringLiteral(
        "Update kaUsr Set HsHome2='?', HiHome=?, HiType=?, HiPopS=?, HiPfold=?, HsPfold='?'");
    db.T_CnvSq(sql, values);
    bool ok = false;
    int changed = 0;
    db.D_ExeSq(sql, ok, changed);
    if (ok && changed == 0) {
        sql = QStringLiteral(
            "Insert Into kaUsr (HsHome2, HiHome, HiType, HiPopS, HiPfold, HsPfold) Values "
            "('?', ?, ?, ?, ?, '?')");
        db.T_CnvSq(sql, values);
        ok = db.D_ExeSq(sql);
    }
    if (!ok) {
        message = QStringLiteral("ｻｲﾄ全体の設定を保存できません\n") + db.lastError();
        return false;
    }
    message = QStringLiteral(
        "ｻｲﾄ全体の設定を保存しました\n設定の変更は次回出力時に有効です\n"
        "今回の設定を全てに反映させるには、一括出力を指定して下さい");
    return true;
}

// ---------------------------------------------------------------- one page

bool PageSettings::sameHead(const PageSettings& o) const {
    return title == o.title && copyright == o.copyright && keywords == o.keywords &&
           description == o.description && noIndex == o.noIndex;
}

bool PageSettings::sameOutput(const PageSettings& o) const {
    return templ == o.templ && fileName == o.fileName && subPages == o.subPages &&
           fitTables == o.fitTables && pictureFormat == o.pictureFormat;
}

bool loadPageSettings(int page, PageSettings& s, QString& error) {
    s = PageSettings();
    s.page = page;
    if (page <= 0)
        return true;
    zSvr& db = zSvr::instance();
    ResultArray rows;
    if (!db.readRows(QStringLiteral("Select noDoc, szTtl, szCpy, szKwd, szDsc") +
                         QStringLiteral(", saTpl, saFnm, boRoot, saSbP") +
                         QStringLiteral(", boNnx, boTbF, inPng") +
                         QStringLiteral(" From tbHtm Where noDoc=") + QString::number(page),
                     rows)) {
        error = db.lastError();
        return false;
    }
    if (rows.isEmpty())
        return true;
    s.exists = true;
    s.title = rows(1, 0).toString();
    s.copyright = rows(2, 0).toString();
    s.keywords = rows(3, 0).toString();
    s.description = rows(4, 0).toString();
    s.templ = rows(5, 0).toString();
    s.fileName = rows(6, 0).toString();
    s.root = intOrZero(rows(7, 0)) == 1;
    s.subPages = rows(8, 0).toString();
    s.noIndex = intOrZero(rows(9, 0)) == 1;
    s.fitTables = intOrZero(rows(10, 0)) == 1;
    const int png = intOrZero(rows(11, 0));
    s.pictureFormat = png == 1 || png == 2 ? png : 0;
    return true;
}

int settingsTopPage() {
    // The page the site build publishes as its top page and takes the site title and the
    // first template from: the first visible top-level placement.
    return zSvr::instance()
        .R_GtVaL(QStringLiteral("Select Top 1 noLfC From tbTree") +
                     QStringLiteral(" Where noLfP = 0 And boHide = 0 Order By inSrt"),
                 0)
        .toInt();
}

void cleanPageTexts(PageSettings& s) {
    auto blanks = [](QString t) {
        t.replace(QChar(0x3000), u' ');
        t.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        t.replace(u'\r', u' ');
        t.replace(u'\n', u' ');
        return t;
    };
    auto single = [](QString t) {
        while (t.contains(QStringLiteral("  ")))
            t.replace(QStringLiteral("  "), QStringLiteral(" "));
        return t.trimmed();
    };
    s.title = single(blanks(s.title));
    s.description = single(blanks(s.description));
    QString k = blanks(s.keywords).trimmed();
    k.replace(u' ', u',');
    while (k.contains(QStringLiteral(",,")))
        k.replace(QStringLiteral(",,"), QStringLiteral(","));
    while (k.startsWith(u','))
        k.remove(0, 1);
    while (k.endsWith(u','))
        k.chop(1);
    s.keywords = k;
    s.copyright = blanks(s.copyright).trimmed();
    s.templ = s.templ.trimmed();
    s.fileName = s.fileName.trimmed();
    if (s.fileName.contains(u'_'))
        s.fileName.replace(u'-', u'_');
    s.subPages = s.subPages.trimmed();
    if (s.pictureFormat != 1 && s.pictureFormat != 2)
        s.pictureFormat = 0;
}

bool templateFileExists(const QString& name) {
    return plainName(name) && QFileInfo(siteTemplateFolder() + name).isFile();
}

QString templateFileProblem(const QString& name) {
    if (!plainName(name))
        return QStringLiteral("ﾃﾝﾌﾟﾚｰﾄはﾌｧｲﾙ名だけで指定して下さい: ") + name;
    QFile file(siteTemplateFolder() + name);
    if (!QFileInfo(file.fileName()).isFile())
        return QStringLiteral("ﾃﾝﾌﾟﾚｰﾄのﾌｫﾙﾀﾞに %1 がありません").arg(name);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 を読めません").arg(name);
    const QByteArray bytes = file.readAll();
    if (bytes.trimmed().isEmpty())
        return QStringLiteral("%1 は空です").arg(name);
    QStringDecoder utf8(QStringDecoder::Utf8);
    [[maybe_unused]] const QString text = utf8(bytes);
    if (utf8.hasError())
        return QStringLiteral("%1 は UTF-8 ではありません").arg(name);
    return {};
}

QString fileNameProblem(const QString& name) {
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._~-]*$"));
    if (name.isEmpty())
        return {};
    if (!plainName(name) || !allowed.match(name).hasMatch())
        return QStringLiteral(
                   "ﾌｧｲﾙ名には半角英数字と \".\" \"-\" \"_\" \"~\" だけを使って下さい"
                   "(ﾌｫﾙﾀﾞ、空白、記号は使えません): ") +
               name;
    if (name.size() > 100)
        return QStringLiteral("ﾌｧｲﾙ名が長すぎます(100文字まで): ") + name;
    const QString lower = name.toLower();
    if (!lower.endsWith(QStringLiteral(".htm")) && !lower.endsWith(QStringLiteral(".html")))
        return QStringLiteral("ﾌｧｲﾙ名は .htm か .html で終えて下さい: ") + name;
    return {};
}

QList<int> affectedPages(int page, int topPage) {
    QList<int> out;
    if (page <= 0)
        return out;
    zSvr& db = zSvr::instance();
    ResultArray tree, rows;
    db.readRows(QStringLiteral("Select noLfP, noLfC From tbTree Order By noLfP, inSrt"), tree);
    db.readRows(QStringLiteral("Select noDoc From tbHtm"), rows);
    QHash<int, QVector<int>> children;
    for (int r = 0; r < tree.rowCount(); ++r)
        children[tree(0, r).toInt()].push_back(tree(1, r).toInt());
    QSet<int> ownRow;
    for (int r = 0; r < rows.rowCount(); ++r)
        ownRow.insert(rows(0, r).toInt());

    QSet<int> seen{page};
    out << page;
    // Depth first, children in order; a page met again (a link, a cycle) is not walked twice.
    std::function<void(int)> walk = [&](int parent) {
        for (int child : children.value(parent)) {
            if (seen.contains(child) || ownRow.contains(child))
                continue;
            seen.insert(child);
            out << child;
            walk(child);
        }
    };
    walk(page);
    if (page == topPage)
        walk(0);
    return out;
}

QString pageListText(const QList<int>& pages) {
    constexpr int kShown = 40;
    QString text = numberList(pages.mid(0, kShown));
    if (pages.size() > kShown)
        text += QStringLiteral(" ほか %1 件").arg(pages.size() - kShown);
    return text;
}

PageSaveResult savePageSettings(PageSettings& edited, const PageSettings& loaded,
                                SiteConversion& fileNames) {
    PageSaveResult result;
    zSvr& db = zSvr::instance();
    const int page = edited.page;
    if (page <= 0 || !db.isOpen()) {
        result.message = QStringLiteral("対象ﾍﾟｰｼﾞを指定して下さい");
        return result;
    }
    cleanPageTexts(edited);
    if (!edited.templ.isEmpty()) {
        if (const QString problem = templateFileProblem(edited.templ); !problem.isEmpty()) {
            result.message = QStringLiteral("ﾃﾝﾌﾟﾚｰﾄﾌｧｲﾙの指定が不正です\n") + problem;
            return result;
        }
    }
    if (edited.sameAs(loaded)) {
        result.message = QStringLiteral("更新の必要はありません");
        return result;
    }
    const int top = settingsTopPage();
    if (page == top && edited.title.isEmpty()) {
        result.message = QStringLiteral("ﾄｯﾌﾟﾍﾟｰｼﾞのﾀｲﾄﾙは必須です");
        return result;
    }
    if (page == top && edited.templ.isEmpty()) {
        result.message = QStringLiteral("ﾄｯﾌﾟﾍﾟｰｼﾞのﾃﾝﾌﾟﾚｰﾄの指定は必須です");
        return result;
    }
    if (const QString problem = fileNameProblem(edited.fileName); !problem.isEmpty()) {
        result.message = problem;
        return result;
    }
    for (const QString& entry : edited.subPages.split(u',')) {
        const QString name = entry.trimmed();
        if (name.isEmpty())
            continue;
        if (const QString problem = templateFileProblem(name); !problem.isEmpty()) {
            result.message = QStringLiteral("ｻﾌﾞﾍﾟｰｼﾞの指定が不正です\n") + problem;
            return result;
        }
    }
    if (const int other = pageUsingName(page, edited.fileName, edited.root); other > 0) {
        result.message = QStringLiteral("ﾌｧｲﾙ名 %1 は文書No %2 で使われています")
                             .arg(edited.fileName)
                             .arg(other);
        return result;
    }

    const Outcome before = outcomeOf(page);
    // The row is updated, or added when the page has none (any more).
    QString sql = QStringLiteral(
        "Update tbHtm Set szTtl='?', szCpy='?', szKwd='?', szDsc='?', saTpl='?', saFnm='?', "
        "boRoot=?, saSbP='?', boNnx=?, boTbF=?, inPng=? Where noDoc=?");
    const QVariantList values{
        edited.title,           edited.copyright,         edited.keywords,      edited.description,
        edited.templ,           edited.fileName,          edited.root ? 1 : 0,  edited.subPages,
        edited.noIndex ? 1 : 0, edited.fitTables ? 1 : 0, edited.pictureFormat, page};
    db.T_CnvSq(sql, values);
    bool ok = false;
    int changed = 0;
    db.D_ExeSq(sql, ok, changed);
    if (ok && changed == 0) {
        sql = QStringLiteral(
            "Insert Into tbHtm (szTtl, szCpy, szKwd, szDsc, saTpl, saFnm, boRoot, saSbP, boNnx, "
            "boTbF, inPng, noDoc) Values ('?', '?', '?', '?', '?', '?', ?, '?', ?, ?, ?, ?)");
        db.T_CnvSq(sql, values);
        ok = db.D_ExeSq(sql);
    }
    if (!ok) {
        result.message = QStringLiteral("ﾍﾟｰｼﾞの設定を保存できません\n") + db.lastError();
        return result;
    }
    edited.exists = true;
    result.saved = true;
    const Outcome after = outcomeOf(page);
    applyChange(page, top, before, after, !edited.sameHead(loaded), !edited.sameOutput(loaded),
                fileNames, result, QStringLiteral("このﾍﾟｰｼﾞの設定を更新しました"));
    return result;
}

PageSaveResult deletePageSettings(int page, SiteConversion& fileNames) {
    PageSaveResult result;
    zSvr& db = zSvr::instance();
    if (page <= 0 || !db.isOpen()) {
        result.message = QStringLiteral("対象ﾍﾟｰｼﾞが指定されていません");
        return result;
    }
    const int top = settingsTopPage();
    if (page == top) {
        result.message = QStringLiteral("ﾄｯﾌﾟﾍﾟｰｼﾞの指定は削除できません");
        return result;
    }
    const Outcome before = outcomeOf(page);
    QString sql = QStringLiteral("Delete From tbHtm Where noDoc=?");
    db.T_CnvSq(sql, {page});
    bool ok = false;
    int changed = 0;
    db.D_ExeSq(sql, ok, changed);
    if (!ok) {
        result.message = QStringLiteral("ﾍﾟｰｼﾞの設定を削除できません\n") + db.lastError();
        return result;
    }
    if (changed == 0) {
        result.message = QStringLiteral("文書No %1 には削除する指定がありません").arg(page);
        return result;
    }
    result.saved = true;
    const Outcome after = outcomeOf(page);
    applyChange(page, top, before, after, false, false, fileNames, result,
                QStringLiteral("このﾍﾟｰｼﾞの設定を削除しました"));
    return result;
}

}  // namespace arbor::web
