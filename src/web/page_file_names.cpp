#include "web/page_file_names.h"

#include "db/zsvr.h"

namespace arbor::web {

namespace {

QString withHtm(const QString& name) {
    if (name.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive) ||
        name.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive))
        return name;
    return name + QStringLiteral(".htm");
}

QString withXhtml(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype slash = name.lastIndexOf(u'/');
    return (dot > slash ? name.first(dot) : name) + QStringLiteral(".xhtml");
}

}  // namespace

QString padPageNumber(const QString& number) {
    const QString n = number.trimmed();
    return n.size() < 3 ? n.rightJustified(3, u'0') : n;
}

QString HsFName(const HtmlSiteSettings& site, int kind, const QString& parent,
                const QString& document, bool isLink, bool keepName) {
    const QString doc = document.trimmed();
    const bool ebook = kind == kEbookXhtml11 && !keepName;
    QString name;
    if (isLink) {
        name = padPageNumber(parent) + u'_' + padPageNumber(doc) + QStringLiteral(".htm");
    } else {
        if (!ebook) {
            bool ok = false;
            const int page = doc.toInt(&ok);
            if (ok)
                name = site.customNames.value(page);
        }
        name = withHtm(name.isEmpty() ? padPageNumber(doc) : name);
    }
    return ebook ? withXhtml(name) : name;
}

QString HsFNameX(const HtmlSiteSettings& site, int kind, const QString& parent,
                 const QString& document, bool isLink, bool keepName) {
    const QString name = HsFName(site, kind, parent, document, isLink, keepName);
    if (site.homeMode == 2 && name.startsWith(QStringLiteral("../")))
        return site.homeAddress + name.mid(3);
    return site.homeAddress + QStringLiteral("pub/") + name;
}

bool HsFName2(const QString& pageKey, QString& name, QString& folder) {
    const QString key = pageKey.trimmed();
    const qsizetype underscore = key.indexOf(u'_');
    const QString parent = underscore < 0 ? QString() : key.first(underscore);
    const QString page = underscore < 0 ? key : key.mid(underscore + 1);
    name.clear();
    folder = QStringLiteral("pub/");
    QString sql = QStringLiteral("Select saFnm, boRoot From tbHtm Where noDoc=?");
    zSvr& db = zSvr::instance();
    bool ok = false;
    const int number = page.toInt(&ok);
    ResultArray rows;
    if (ok) {
        db.T_CnvSq(sql, {number});
        if (!db.readRows(sql, rows))
            return false;
    }
    if (underscore >= 0) {
        name = padPageNumber(parent) + u'_' + padPageNumber(page) + QStringLiteral(".htm");
        return true;
    }
    const QString stored = rows.isEmpty() ? QString() : rows(0, 0).toString().trimmed();
    if (!rows.isEmpty() && rows(1, 0).toInt() == 1)
        folder.clear();
    name = withHtm(stored.isEmpty() ? padPageNumber(page) : stored);
    return true;
}

}  // namespace arbor::web
