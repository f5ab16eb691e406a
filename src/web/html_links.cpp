#include "web/html_links.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "web/html_text.h"
#include "web/page_file_names.h"

namespace arbor::web {

namespace {

QString folderOf(const QString& path) {
    QString folder = QFileInfo(path).absolutePath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString cleanFolder(const QString& folder) {
    if (folder.isEmpty())
        return folder;
    QString clean = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    return clean.endsWith(u'/') ? clean : clean + u'/';
}

// A name relative to the page folder, as seen from the page's own folder.
QString fromPlace(const QString& name, PagePlace place) {
    const bool rootName = name.startsWith(QStringLiteral("../"));
    switch (place) {
        case PagePlace::SiteRoot:
            return rootName ? name.mid(3) : QStringLiteral("pub/") + name;
        case PagePlace::LinkFolder:
            return rootName ? name : QStringLiteral("../pub/") + name;
        case PagePlace::PageFolder:
        case PagePlace::Elsewhere:
            break;
    }
    return name;
}

QString unescapeHref(const QString& href) {
    QString h = href;
    h.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    h.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    h.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    h.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    h.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return h;
}

QString urlPath(const QString& path) {
    QString p = QDir::fromNativeSeparators(path);
    p.replace(u' ', QStringLiteral("%20"));
    return p;
}

QString tagLink(const QString& key, const ConversionContext& c) {
    const qsizetype underscore = key.indexOf(u'_');
    const QString parent = underscore < 0 ? QString() : key.first(underscore);
    const QString page = underscore < 0 ? key : key.mid(underscore + 1);
    const bool isLink = underscore >= 0;
    const HtmlSiteSettings& site = *c.site;
    if (c.ebook() && site.homeMode != 0 && !site.inBook(page.toInt()))
        return HsFNameX(site, c.kind, parent, page, isLink, true);
    return fromPlace(HsFName(site, c.kind, parent, page, isLink, false), c.place);
}

QString localLink(const QString& href, const ConversionContext& c) {
    const HtmlSiteSettings& site = *c.site;
    if (site.siteRoot.isEmpty() || c.pageFolder.isEmpty())
        return QString();
    QString path;
    if (href.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive))
        path = QUrl(href).toLocalFile();
    else if (href.startsWith(u'/'))
        path = QUrl::fromPercentEncoding(href.toUtf8());
    if (path.isEmpty())
        return QString();
    path = QDir::cleanPath(path);
    if (!path.startsWith(cleanFolder(site.siteRoot)))
        return QString();
    return urlPath(QDir(c.pageFolder).relativeFilePath(path));
}

}  // namespace

PagePlace placeOf(const QString& targetPath, const HtmlSiteSettings& site) {
    if (targetPath.isEmpty() || site.siteRoot.isEmpty())
        return PagePlace::Elsewhere;
    const QString folder = cleanFolder(folderOf(targetPath));
    if (folder == cleanFolder(site.pubFolder))
        return PagePlace::PageFolder;
    if (folder == cleanFolder(site.siteRoot))
        return PagePlace::SiteRoot;
    if (!site.lnkFolder.isEmpty() && folder == cleanFolder(site.lnkFolder))
        return PagePlace::LinkFolder;
    return PagePlace::Elsewhere;
}

QString rewriteLink(const QString& href, const ConversionContext& c) {
    if (href.startsWith(QStringLiteral("#TG_"), Qt::CaseInsensitive)) {
        const QString key = QUrl::fromPercentEncoding(href.mid(4).toUtf8()).trimmed();
        return escapeAttribute(tagLink(key, c));
    }
    if (href.startsWith(QStringLiteral("#TP_"), Qt::CaseInsensitive))
        return href;
    const QString local = localLink(unescapeHref(href), c);
    return local.isEmpty() ? href : escapeAttribute(local);
}

}  // namespace arbor::web
