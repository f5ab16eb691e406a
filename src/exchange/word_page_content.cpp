#include "exchange/word_page_content.h"

#include <QBuffer>
#include <QImageReader>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <vector>

#include "db/zsvr.h"
#include "editor/document_model.h"
#include "editor/link_fields.h"
#include "editor/rich_text.h"
#include "exchange/docx_content_writer.h"
#include "web/page_file_names.h"
#include "web/yhtm_settings.h"

namespace arbor::word {

namespace {

struct Span {
    int start;
    int length;
    QTextCharFormat format;
};

// Runs of equal character format, in every block of the document (table cells too).
template <typename F>
void forEachFragment(const QTextDocument& document, F&& visit) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().isValid())
                visit(it.fragment());
}

void plainFormat(QTextCharFormat& f) {
    f.clearProperty(doc::FieldId);
    f.clearProperty(doc::FieldData);
    f.setAnchor(false);
    f.clearProperty(QTextFormat::AnchorHref);
}

void withLink(QTextCharFormat& f, const QString& data) {
    f.setProperty(doc::FieldData, data);
    if (f.isAnchor())
        f.setAnchorHref(data);
}

// Positions of the picture characters that match, from the end, so removing them one by
// one keeps the others in place.
template <typename Pred>
int removeImages(QTextDocument& document, Pred&& matches) {
    std::vector<int> positions;
    forEachFragment(document, [&](const QTextFragment& fragment) {
        const QTextCharFormat f = fragment.charFormat();
        if (!f.isImageFormat() || !matches(f.toImageFormat()))
            return;
        const QString text = fragment.text();
        for (int i = 0; i < text.size(); ++i)
            if (text[i] == QChar::ObjectReplacementCharacter)
                positions.push_back(fragment.position() + i);
    });
    std::sort(positions.rbegin(), positions.rend());
    QTextCursor cursor(&document);
    for (int p : positions) {
        cursor.setPosition(p);
        cursor.setPosition(p + 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    return int(positions.size());
}

}  // namespace

int tagTargetPage(const QString& target) {
    const QString t = target.trimmed();
    const qsizetype underscore = t.indexOf(u'_');
    bool ok = false;
    const int page = (underscore < 0 ? t : t.mid(underscore + 1)).toInt(&ok);
    return ok && page > 0 ? page : 0;
}

int convertLinks(QTextDocument& document, const LinkPolicy& policy) {
    if (policy.keepAll)
        return 0;
    std::vector<Span> changes;
    forEachFragment(document, [&](const QTextFragment& fragment) {
        QTextCharFormat f = fragment.charFormat();
        if (f.intProperty(doc::FieldId) <= 0)
            return;
        const QString data = f.stringProperty(doc::FieldData);
        const LinkTarget link = splitLinkData(data);
        switch (link.kind) {
            case LinkKind::Hyperlink:
                return;
            case LinkKind::Term:
            case LinkKind::Object:
                if (policy.keepTermAndObjectLinks)
                    return;
                plainFormat(f);
                break;
            case LinkKind::Tag: {
                const int page = tagTargetPage(link.target);
                const QString address =
                    page > 0 && !policy.inside.contains(page) && policy.outsideAddress
                        ? policy.outsideAddress(page)
                        : QString();
                if (page > 0 && policy.inside.contains(page)) {
                    const QString anchor = tagData(page);
                    if (anchor == data)
                        return;
                    withLink(f, anchor);
                } else if (!address.isEmpty()) {
                    withLink(f, address);
                } else if (policy.keepOutsideWithoutAddress && page > 0) {
                    return;
                } else {
                    plainFormat(f);
                }
                break;
            }
        }
        changes.push_back({fragment.position(), fragment.length(), f});
    });
    QTextCursor cursor(&document);
    for (const Span& s : changes) {
        cursor.setPosition(s.start);
        cursor.setPosition(s.start + s.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(s.format);
    }
    return int(changes.size());
}

int removePictures(QTextDocument& document) {
    return removeImages(document, [](const QTextImageFormat&) { return true; });
}

int removeUnreadablePictures(QTextDocument& document) {
    return removeImages(document, [&](const QTextImageFormat& format) {
        QString extension;
        const QByteArray bytes = docx::pictureBytes(document, format.name(), extension);
        if (bytes.isEmpty())
            return true;
        QBuffer buffer;
        buffer.setData(bytes);
        QImageReader reader(&buffer);
        return reader.read().isNull();
    });
}

LoadResult loadStoredPage(int page, RichText& into, QString& error) {
    into.clear();
    ResultArray row;
    if (!zSvr::instance().readRows(
            QStringLiteral(" Select obDoc From msDoc Where noDoc = ") + QString::number(page),
            row)) {
        error = zSvr::instance().lastError();
        return LoadResult::Missing;
    }
    if (row.rowCount() == 0)
        return LoadResult::Missing;
    if (row(0, 0).isNull() || row(0, 0).toByteArray().isEmpty())
        return LoadResult::NoDocument;
    if (!into.loadBytes(row(0, 0).toByteArray(), error)) {
        into.clear();
        return LoadResult::Damaged;
    }
    return LoadResult::Loaded;
}

QString storedPlainText(int page) {
    return zSvr::instance()
        .R_GtVaL(QStringLiteral("Select txDoc From msDoc Where noDoc = ") + QString::number(page),
                 QString())
        .toString();
}

void setPlainText(RichText& into, const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    into.clear();
    into.setText(t);
}

std::function<QString(int)> siteAddresses(const QString& homeOverride) {
    web::HtmlSiteSettings site;
    if (!web::loadCustomNames(site))
        return {};
    if (!homeOverride.trimmed().isEmpty()) {
        QString home = homeOverride.trimmed();
        if (!home.endsWith(u'/'))
            home += u'/';
        site.homeAddress = home;
    } else if (site.homeMode != 2 || site.homeAddress.isEmpty()) {
        return {};
    }
    return [site](int page) {
        return web::HsFNameX(site, web::kHtml401Transitional, QString(), QString::number(page),
                             false, false);
    };
}

}  // namespace arbor::word
