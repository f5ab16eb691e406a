#include "exchange/folder_import_page.h"

#include <QFileInfo>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

#include "app/zclt.h"
#include "editor/html_import.h"
#include "editor/link_fields.h"
#include "editor/plain_text.h"
#include "editor/rich_text.h"
#include "exchange/folder_import_links.h"
#include "exchange/markdown.h"

namespace arbor::folderimport {

namespace {

QString cleanedTitle(const QString& text) {
    QString t = text;
    t.remove(QChar::ObjectReplacementCharacter);
    return cleanTitle(t.simplified());
}

}  // namespace

QString pageTitle(const QTextDocument& body, const QString& fallback) {
    QString title = cleanedTitle(body.metaInformation(QTextDocument::DocumentTitle));
    if (!title.isEmpty())
        return title;
    for (QTextBlock b = body.begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() <= 0)
            continue;
        title = cleanedTitle(b.text());
        if (!title.isEmpty())
            return title;
    }
    title = cleanedTitle(fallback);
    return title.isEmpty() ? QStringLiteral("無題") : title;
}

ImportedPage convertPage(RichText& rich, const SourcePage& source, const QString& text,
                         const PageLinks& links, const doc::PageSetup& pageSetup) {
    rich.clear();
    rich.setPageSetup(pageSetup);
    QTextDocument& body = *rich.body();
    body.setMetaInformation(QTextDocument::DocumentTitle, QString());
    const QString folder = QFileInfo(source.path).absolutePath();
    switch (source.kind) {
        case SourceKind::Html:
            htmlimport::readHtml(body, links.rewrite(text, folder), folder);
            break;
        case SourceKind::Markdown:
            htmlimport::readHtml(body, links.rewrite(markdown::toHtml(text), folder), folder);
            break;
        case SourceKind::Text: {
            // The line break that ends the file's last line starts no paragraph.
            QString lines = text;
            if (lines.endsWith(u'\n'))
                lines.chop(1);
            if (lines.endsWith(u'\r'))
                lines.chop(1);
            plaintext::setText(body, lines);
            break;
        }
        case SourceKind::Folder:
            break;
    }
    ImportedPage page;
    page.title = pageTitle(body, source.name);
    page.plainText = rich.plainText();
    QStringList data;
    for (const fields::Field& f : rich.allFields())
        data << f.data;
    page.tags = tagSet(data);
    page.bytes = rich.saveBytes();
    return page;
}

}  // namespace arbor::folderimport
