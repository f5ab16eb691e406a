#include "web/yhtm_settings.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "app/program_state.h"
#include "app/zclt.h"
#include "db/zsvr.h"

namespace arbor::web {

namespace {

int intOf(const QVariant& v, int fallback) {
    if (v.isNull())
        return fallback;
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : static_cast<int>(leadingNumber(v.toString()));
}

QString withSlash(QString address) {
    address = address.trimmed();
    if (!address.isEmpty() && !address.endsWith(u'/'))
        address += u'/';
    return address;
}

}  // namespace

QString HtmlSiteSettings::customNameList() const {
    QList<int> pages = customNames.keys();
    std::sort(pages.begin(), pages.end());
    QString out;
    for (int page : pages)
        out += QString::number(page) + u'\t' + customNames.value(page) + u'\r';
    return out;
}

void HtmlSiteSettings::setCustomNameList(const QString& list) {
    customNames.clear();
    for (const QStringView line : QStringView(list).split(u'\r', Qt::SkipEmptyParts)) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        bool ok = false;
        const int page = line.first(tab).trimmed().toInt(&ok);
        const QString name = line.mid(tab + 1).trimmed().toString();
        if (ok && !name.isEmpty())
            customNames.insert(page, name);
    }
}

bool HtmlSiteSettings::inBook(int page) const {
    return bookPages.contains(u'.' + QString::number(page) + u'.');
}

void HtmlSiteSettings::takeFormats(const Frmt& table) {
    for (int i = 0; i < kUserFormatCount; ++i)
        formats[i] = table.format(i);
    lineSpacingFactor = table.LineSpacingFactor;
}

void HtmlSiteSettings::setTermList(const QString& list) {
    termTexts.clear();
    for (const QStringView line : QStringView(list).split(u'\r', Qt::SkipEmptyParts)) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab > 0)
            termTexts.insert(line.first(tab).toString(), line.mid(tab + 1).toString());
    }
}

HtmlSiteSettings defaultSiteSettings() {
    HtmlSiteSettings s;
    s.takeFormats(Frmt::instance());
    return s;
}

QString siteRootOfOpenDatabase() {
    return G().UserPath + QStringLiteral("Site/") + G().DbName + u'/';
}

bool loadSiteSettings(HtmlSiteSettings& settings, bool withNames, const QString& siteRoot) {
    zSvr& db = zSvr::instance();
    settings.takeFormats(Frmt::instance());
    ResultArray rows;
    if (!db.readRows(QStringLiteral("Select HiType, HiPfold, HsPfold  From kaUsr"), rows))
        return false;
    settings.htmlKind = kHtml401Transitional;
    settings.pictureFolderMode = 1;
    settings.pictureFolderName = QStringLiteral("Images");
    if (!rows.isEmpty()) {
        settings.htmlKind = std::clamp(intOf(rows(0, 0), 0), 0, 3);
        settings.pictureFolderMode = intOf(rows(1, 0), 1);
        const QString folder = rows(2, 0).toString().trimmed();
        if (!folder.isEmpty())
            settings.pictureFolderName = folder;
    }
    if (!withNames)
        return true;
    settings.siteRoot = withSlash(QDir::fromNativeSeparators(siteRoot));
    settings.faviconPresent = false;
    settings.pubFolder.clear();
    settings.lnkFolder.clear();
    if (!settings.siteRoot.isEmpty()) {
        settings.faviconPresent =
            QFileInfo::exists(settings.siteRoot + QStringLiteral("cmn/favicon.ico"));
        settings.pubFolder = settings.siteRoot + QStringLiteral("pub/");
        settings.lnkFolder = settings.siteRoot + QStringLiteral("lnk/");
        Clt().F_CreateFld(settings.lnkFolder);
    }
    return loadCustomNames(settings);
}

bool loadCustomNames(HtmlSiteSettings& settings) {
    zSvr& db = zSvr::instance();
    settings.customNames.clear();
    settings.homeAddress.clear();
    settings.homeMode = 0;
    ResultArray rows;
    if (!db.readRows(QStringLiteral("Select HiHome, HsTopNm, HsHome1, HsHome2 From kaUsr"), rows))
        return false;
    if (rows.isEmpty())
        return true;
    settings.homeMode = intOf(rows(0, 0), 0);
    const QString topName = rows(1, 0).toString().trimmed();
    if (settings.homeMode == 1) {
        settings.homeAddress = withSlash(rows(2, 0).toString());
        if (!topName.isEmpty()) {
            bool ok = false;
            const QVariant top = db.readValue(
                QStringLiteral("Select Top 1 noLfC From tbTree Where noLfP = 0 Order By inSrt"),
                QVariant(), ok);
            if (!ok)
                return false;
            if (!top.isNull())
                settings.customNames.insert(top.toInt(), topName);
        }
    } else if (settings.homeMode == 2) {
        settings.homeAddress = withSlash(rows(3, 0).toString());
        ResultArray names;
        if (!db.readRows(QStringLiteral("Select noDoc, saFnm, boRoot From tbHtm Where saFnm<>'' "
                                        "Order By noDoc"),
                         names))
            return false;
        for (int r = 0; r < names.rowCount(); ++r) {
            const QString name = names(1, r).toString().trimmed();
            if (name.isEmpty())
                continue;
            settings.customNames.insert(names(0, r).toInt(), intOf(names(2, r), 0) == 1
                                                                 ? QStringLiteral("../") + name
                                                                 : name);
        }
    }
    return true;
}

bool loadTermTexts(HtmlSiteSettings& settings) {
    ResultArray rows;
    if (!zSvr::instance().readRows(QStringLiteral("Select skDic, szDic From msDic"), rows))
        return false;
    settings.termTexts.clear();
    for (int r = 0; r < rows.rowCount(); ++r)
        settings.termTexts.insert(rows(0, r).toString(), rows(1, r).toString());
    return true;
}

}  // namespace arbor::web
