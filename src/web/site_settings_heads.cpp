#include "web/site_settings_heads.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <array>

#include "app/file_io.h"
#include "db/result_array.h"
#include "db/zsvr.h"
#include "web/html_head.h"
#include "web/site_conversion.h"
#include "web/site_folders.h"

namespace arbor::web {

namespace {

// A meta line of the head by its name, in either quote: group 3 is the content value.
QRegularExpression metaLine(const QString& name) {
    return QRegularExpression(
        QStringLiteral(R"(<meta\s+name\s*=\s*(["'])%1\1\s+content\s*=\s*(["'])(.*?)\2\s*/?>)")
            .arg(name),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
}

struct MetaName {
    const char16_t* name;
    QString HeadValues::*value;
};

// The order the site build writes them in, before robots.
const std::array<MetaName, 3> kMetas = {{
    {u"description", &HeadValues::description},
    {u"Keywords", &HeadValues::keywords},
    {u"copyright", &HeadValues::copyright},
}};

// Removes the text [from, to) and the line break that follows it.
void removeLine(QString& head, qsizetype from, qsizetype to) {
    if (to < head.size() && head[to] == u'\r')
        ++to;
    if (to < head.size() && head[to] == u'\n')
        ++to;
    head.remove(from, to - from);
}

}  // namespace

QString rewriteHead(const QString& page, const HeadValues& values, const QString& label) {
    const qsizetype headEnd = page.indexOf(QStringLiteral("</head>"), 0, Qt::CaseInsensitive);
    if (headEnd < 0)
        return page;
    QString head = page.left(headEnd);
    const bool xml = head.contains(QRegularExpression(QStringLiteral("<(meta|link)\\b[^>]*/>"),
                                                      QRegularExpression::CaseInsensitiveOption));
    const QString lineBreak = head.contains(QStringLiteral("\r\n")) ? QStringLiteral("\r\n")
                              : head.contains(u'\r')                ? QStringLiteral("\r")
                                                                    : QStringLiteral("\n");
    auto newLine = [&](const QString& name, const QString& content) -> QString {
        return QStringLiteral("<meta name=\"") + name + QStringLiteral("\" content=\"") + content +
               (xml ? QStringLiteral("\" />") : QStringLiteral("\">")) + lineBreak;
    };
    // Where a new line goes: before the first line that the build writes after it.
    auto insertBefore = [&](int metaIndex) -> qsizetype {
        for (int k = metaIndex + 1; k < static_cast<int>(kMetas.size()); ++k) {
            const QRegularExpressionMatch m =
                metaLine(QString::fromUtf16(kMetas[k].name)).match(head);
            if (m.hasMatch())
                return m.capturedStart(0);
        }
        const QRegularExpressionMatch robots = metaLine(QStringLiteral("robots")).match(head);
        if (robots.hasMatch())
            return robots.capturedStart(0);
        const qsizetype title = head.indexOf(QStringLiteral("<title"), 0, Qt::CaseInsensitive);
        return title >= 0 ? title : head.size();
    };

    for (int i = 0; i < static_cast<int>(kMetas.size()); ++i) {
        const QString name = QString::fromUtf16(kMetas[i].name);
        const QString value = (values.*(kMetas[i].value)).trimmed();
        const QRegularExpressionMatch m = metaLine(name).match(head);
        if (m.hasMatch()) {
            if (value.isEmpty())
                removeLine(head, m.capturedStart(0), m.capturedEnd(0));
            else
                head.replace(m.capturedStart(3), m.capturedLength(3), headText(value));
        } else if (!value.isEmpty()) {
            head.insert(insertBefore(i), newLine(name, headText(value)));
        }
    }

    // The whole value: "index,follow" is a part of "noindex,nofollow".
    const QString robots =
        values.noIndex ? QStringLiteral("noindex,nofollow") : QStringLiteral("index,follow");
    const QRegularExpressionMatch r = metaLine(QStringLiteral("robots")).match(head);
    if (r.hasMatch()) {
        head.replace(r.capturedStart(3), r.capturedLength(3), robots);
    } else {
        const qsizetype title = head.indexOf(QStringLiteral("<title"), 0, Qt::CaseInsensitive);
        head.insert(title >= 0 ? title : head.size(), newLine(QStringLiteral("robots"), robots));
    }

    const qsizetype open = head.indexOf(QStringLiteral("<title>"), 0, Qt::CaseInsensitive);
    const qsizetype close =
        open < 0 ? -1 : head.indexOf(QStringLiteral("</title>"), open, Qt::CaseInsensitive);
    if (close >= 0) {
        const QString title = values.title.trimmed().isEmpty() ? label : values.title;
        head.replace(open + 7, close - open - 7, headText(title));
    }
    return head + QStringView(page).mid(headEnd);
}

QList<HeadFile> writtenFilesOf(int page, const SiteConversion& fileNames) {
    QList<HeadFile> files;
    zSvr& db = zSvr::instance();
    QSet<QString> seen;
    auto add = [&](QString relative, const QString& label) {
        QString path = sitePageFolder() + relative;
        path.remove(QStringLiteral("pub/../"));
        if (!seen.contains(path)) {
            seen.insert(path);
            files.push_back({path, label});
        }
    };
    // Every visible placement, whatever boUse says: other commands leave it at 0.
    ResultArray placements;
    db.readRows(QStringLiteral("Select T.noLfP, T.boLnk, T.szDoc, P.boCod From tbTree T Left Join "
                               "msDoc P On P.noDoc = T.noLfP Where T.boHide = 0 And T.noLfC=") +
                    QString::number(page) + QStringLiteral(" Order By T.boLnk, T.inSrt"),
                placements);
    QString homeLabel;
    bool published = false;
    for (int r = 0; r < placements.rowCount(); ++r) {
        const int parent = placements(0, r).toInt();
        const bool link = placements(1, r).toInt() == 1;
        const QString label = placements(2, r).toString();
        // The children of a collecting page are written with its head, not their own.
        if (placements(3, r).toInt() == 1)
            continue;
        add(fileNames.fileName(parent, page, link), label);
        if (!link) {
            published = true;
            if (homeLabel.isEmpty())
                homeLabel = label;
        }
    }
    if (!published)
        return files;
    // Sub-page files and the children of a collecting page carry this page's head.
    const QString subPages =
        db.R_GtVaL(QStringLiteral("Select saSbP From tbHtm Where noDoc = ") + QString::number(page),
                   QString())
            .toString();
    for (const QString& entry : subPages.split(u',')) {
        const QString name = entry.trimmed();
        if (!name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') &&
            !name.contains(QStringLiteral("..")))
            add(name, homeLabel);
    }
    if (db.R_GtVaL(QStringLiteral("Select boCod From msDoc Where noDoc=") + QString::number(page),
                   0)
            .toInt() == 1) {
        ResultArray children;
        db.readRows(QStringLiteral("Select noLfC From tbTree Where boHide=0 And noLfP=") +
                        QString::number(page) + QStringLiteral(" Order By inSrt"),
                    children);
        for (int r = 0; r < children.rowCount(); ++r) {
            const QString name = fileNames.fileName(0, children(0, r).toInt(), false);
            if (!name.startsWith(QStringLiteral("../")))
                add(name, homeLabel);
        }
    }
    return files;
}

int rewriteWrittenHeads(const QList<int>& pages, const HeadValuesOf& valuesOf,
                        const SiteConversion& fileNames, QStringList& problems) {
    int rewritten = 0;
    for (int page : pages) {
        const QList<HeadFile> files = writtenFilesOf(page, fileNames);
        if (files.isEmpty())
            continue;
        const HeadValues values = valuesOf(page);
        for (const HeadFile& file : files) {
            QFile in(file.path);
            if (!in.open(QIODevice::ReadOnly))
                continue;  // not written (yet), or unreadable: the next output writes it
            QByteArray bytes = in.readAll();
            in.close();
            if (bytes.isEmpty())
                continue;
            static const QByteArray bom("\xEF\xBB\xBF");
            const bool withBom = bytes.startsWith(bom);
            const QString text = QString::fromUtf8(withBom ? bytes.mid(3) : bytes);
            const QString updated = rewriteHead(text, values, file.label);
            if (updated == text)
                continue;
            if (!writeGeneratedFile(file.path, (withBom ? bom : QByteArray()) + updated.toUtf8())) {
                problems << file.path;
                continue;
            }
            ++rewritten;
        }
    }
    return rewritten;
}

}  // namespace arbor::web
