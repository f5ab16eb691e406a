#include "web/html_converter.h"

#include <QFileInfo>
#include <QTextDocument>
#include <exception>

#include "app/zclt.h"
#include "editor/byte_format.h"
#include "web/html_classes.h"
#include "web/html_embedded.h"
#include "web/html_head.h"
#include "web/html_links.h"
#include "web/html_passes.h"
#include "web/html_pictures.h"
#include "web/html_records.h"
#include "web/html_style_block.h"
#include "web/html_text.h"
#include "web/html_tokens.h"

namespace arbor::web {

namespace {

const QString kEmptyExport = QStringLiteral("HTMLの書き出しが空です");
const QString kNoBody = QStringLiteral("HTMLの書き出しに <body がありません");
const QString kFailed = QStringLiteral("HTMLへの変換に失敗しました");

// Runs one pass and drops what it removed.
template <typename Pass>
void run(TokenTable& tokens, Pass pass) {
    pass(tokens);
    compact(tokens);
}

// The body part of the export: from the first "<body" after "</head>" through
// "</body>"; empty when there is no "<body".
QStringView bodyPart(const QString& html) {
    const qsizetype headEnd = html.indexOf(QStringLiteral("</head>"), 0, Qt::CaseInsensitive);
    const qsizetype body =
        html.indexOf(QStringLiteral("<body"), headEnd < 0 ? 0 : headEnd, Qt::CaseInsensitive);
    if (body < 0)
        return {};
    const qsizetype end = html.indexOf(QStringLiteral("</body>"), body, Qt::CaseInsensitive);
    return QStringView(html).mid(body, end < 0 ? -1 : end + 7 - body);
}

ClassOptions classOptions(const ConversionContext& c, bool relativeSizes) {
    ClassOptions o;
    o.removeItalics = c.ebook() && c.page->noItalicsInEbook;
    o.relativeSizes = relativeSizes;
    o.bodySize = c.format(kBody).FontSize;
    for (int i = 0; i < 3; ++i)
        o.headingSizes[i] = c.format(kHeading1 + i).FontSize;
    o.lineSpacingFactor = c.site->lineSpacingFactor;
    return o;
}

void sitePasses(TokenTable& t, const ConversionContext& c) {
    const bool fullWidth = c.page->fullWidthTables;
    run(t, [&](TokenTable& x) { passes::tables(x, fullWidth); });
    run(t, [&](TokenTable& x) { passes::termLinks(x, *c.site); });
    run(t, passes::attributesToStyles);
    run(t, passes::pictureSpans);
    run(t, passes::emptyElements);
    run(t, passes::listItemBlocks);
    run(t, passes::blankSpans);
    run(t, passes::singleSpans);
    run(t, passes::cells);
    run(t, passes::joinedTables);
    run(t, [&](TokenTable& x) { passes::headings(x, c.site->formats); });
    run(t, passes::listStyles);
    run(t, passes::cellAlignment);
    run(t, passes::paragraphs);
}

void savePasses(TokenTable& t, const ConversionContext& c) {
    if (c.ebook())
        run(t, passes::ebookPictures);
    const bool fullWidth = c.page->fullWidthTables;
    run(t, [&](TokenTable& x) { passes::tables(x, fullWidth); });
    run(t, [&](TokenTable& x) { passes::termLinks(x, *c.site); });
    run(t, passes::attributesToStyles);
    run(t, passes::emptyElements);
    run(t, passes::listItemBlocks);
    run(t, passes::blankSpans);
    run(t, passes::singleSpans);
    run(t, passes::cells);
    run(t, passes::joinedTables);
    run(t, [&](TokenTable& x) { passes::headings(x, c.site->formats); });
    run(t, passes::listStyles);
    run(t, passes::cellAlignment);
}

void innerPasses(TokenTable& t, const ConversionContext& c) {
    const bool fullWidth = c.page->fullWidthTables;
    run(t, [&](TokenTable& x) { passes::tables(x, fullWidth); });
    run(t, [&](TokenTable& x) { passes::termLinks(x, *c.site); });
    run(t, passes::attributesToStyles);
    run(t, passes::emptyElements);
    run(t, passes::blankSpans);
    run(t, passes::singleSpans);
    run(t, [&](TokenTable& x) { passes::headings(x, c.site->formats); });
}

}  // namespace

int HtmlConverter::kindFor(Operation operation, SaveKind save) const {
    if (operation == Operation::Save && save == SaveKind::NoDoctype)
        return kXhtmlNoDoctype;
    if (operation == Operation::Save && save == SaveKind::Ebook)
        return kEbookXhtml11;
    return site_.htmlKind;
}

ConversionResult HtmlConverter::convertMarkup(const QString& exportedHtml,
                                              const QList<html::ExportedPicture>& pictures,
                                              const PageOptions& page, Operation operation,
                                              int kind) const {
    ConversionResult result;
    if (exportedHtml.trimmed().isEmpty()) {
        result.error = kEmptyExport;
        return result;
    }
    const QStringView part = bodyPart(exportedHtml);
    if (part.isEmpty()) {
        result.error = kNoBody;
        return result;
    }
    ConversionContext c;
    c.site = &site_;
    c.page = &page;
    c.operation = operation;
    c.kind = kind;
    // E-book pages all lie in the book's one folder.
    c.place = c.ebook() ? PagePlace::Elsewhere : placeOf(page.targetPath, site_);
    c.pageFolder =
        page.targetPath.isEmpty() ? QString() : QFileInfo(page.targetPath).absolutePath() + u'/';

    const PicturePlan plan = planPictures(pictures, c);
    for (const PlacedPicture& p : plan.pictures)
        c.pictureReferences.insert(p.exportReference, p.reference);
    if (!placePictures(plan, result.error))
        return result;

    // The text steps before the split: the export's default font, ideographic spaces.
    QString text = part.toString();
    text.replace(QStringLiteral("'Arial'"), u'\'' + site_.formats[kBody].FontName + u'\'');
    protectIdeographicSpaces(text);

    TokenTable tokens;
    tokenize(text, tokens);
    text.clear();
    if (part.contains(QStringLiteral("[Script:"), Qt::CaseInsensitive) ||
        part.contains(QStringLiteral("[Iframe:"), Qt::CaseInsensitive))
        convertEmbeddedBlocks(tokens, c.ebook());
    wrapBackgroundParagraphs(tokens);
    cleanRecords(tokens, c);

    ClassRegistry classes;
    switch (operation) {
        case Operation::Site:
            sitePasses(tokens, c);
            assignClasses(tokens, classes, classOptions(c, true));
            break;
        case Operation::Save:
            savePasses(tokens, c);
            assignClasses(tokens, classes, classOptions(c, false));
            break;
        case Operation::Inner:
            innerPasses(tokens, c);
            break;
    }
    run(tokens, passes::closingTags);
    if (operation == Operation::Inner)
        assignClasses(tokens, classes, classOptions(c, false));
    if (c.ebook())
        run(tokens, passes::ebookEmptySpans);

    OutputOptions output;
    output.ebookPictureBoxes = c.ebook();
    QString body = writeTokens(tokens, output);
    tokens.clear();
    restoreIdeographicSpaces(body);
    while (body.startsWith(QStringLiteral("\r\n")))
        body.remove(0, 2);

    const StyleBlockKind blockKind = operation == Operation::Site ? StyleBlockKind::SitePage
                                     : c.ebook()                  ? StyleBlockKind::EbookPage
                                                                  : StyleBlockKind::SavedPage;
    const QString styles = styleBlock(site_, classes, blockKind);
    if (operation == Operation::Inner) {
        const qsizetype open = body.indexOf(QStringLiteral("<body>"));
        const qsizetype close = body.lastIndexOf(QStringLiteral("</body>"));
        const qsizetype from = open < 0 ? 0 : open + 6;
        result.body = body.mid(from, close < from ? -1 : close - from);
        result.head = styles;
        result.ok = true;
        return result;
    }
    body += QStringLiteral("\r\n</html>");
    result.head = buildHead(page, operation == Operation::Site,
                            operation == Operation::Site && site_.faviconPresent, styles);
    if (operation == Operation::Save) {
        QString joined = result.head + QStringLiteral("\r\n") + body;
        SetDTD(joined, kind);
        result.body = std::move(joined);
        result.head.clear();
    } else {
        result.body = std::move(body);
    }
    result.ok = true;
    return result;
}

bool HtmlConverter::exportPage(const QTextDocument& document, QTextDocument* consumable,
                               const PageOptions& page, QString& html,
                               QList<html::ExportedPicture>& pictures, QString& error) const {
    html::ExportOptions options;
    options.pictures = page.pngPictures ? html::PictureFormat::Png : html::PictureFormat::Jpeg;
    options.collect = &pictures;
    options.explicitFonts = true;
    const QString target = page.targetPath.isEmpty() ? QStringLiteral("page.htm") : page.targetPath;
    return consumable ? html::exportHtmlConsuming(*consumable, target, html, error, options)
                      : html::exportHtml(document, target, html, error, options);
}

ConversionResult HtmlConverter::convertSitePage(QTextDocument& document,
                                                const PageOptions& page) const {
    ConversionResult result;
    try {
        QString html;
        QList<html::ExportedPicture> pictures;
        if (!exportPage(document, &document, page, html, pictures, result.error))
            return result;
        return convertMarkup(html, pictures, page, Operation::Site, site_.htmlKind);
    } catch (const std::exception&) {
        result = ConversionResult();
        result.error = kFailed;
    }
    return result;
}

bool HtmlConverter::savePage(const QTextDocument& document, const PageOptions& page, SaveKind kind,
                             QString& error) const {
    try {
        QString html;
        QList<html::ExportedPicture> pictures;
        if (!exportPage(document, nullptr, page, html, pictures, error))
            return false;
        const ConversionResult r =
            convertMarkup(html, pictures, page, Operation::Save, kindFor(Operation::Save, kind));
        if (!r.ok) {
            error = r.error;
            return false;
        }
        if (!Clt().F_StUtf(page.targetPath, r.body)) {
            error = QStringLiteral("ファイルを書き込めません: ") + page.targetPath;
            return false;
        }
        return true;
    } catch (const std::exception&) {
        error = kFailed;
    }
    return false;
}

bool HtmlConverter::innerBody(const QTextDocument& document, const PageOptions& page, QString& body,
                              QString& styleBlock, QString& error) const {
    try {
        QString html;
        QList<html::ExportedPicture> pictures;
        if (!exportPage(document, nullptr, page, html, pictures, error))
            return false;
        const ConversionResult r =
            convertMarkup(html, pictures, page, Operation::Inner, site_.htmlKind);
        if (!r.ok) {
            error = r.error;
            return false;
        }
        body = r.body;
        styleBlock = r.head;
        return true;
    } catch (const std::exception&) {
        error = kFailed;
    }
    return false;
}

ConversionResult convertPageBytes(const QByteArray& obDoc, const PageOptions& page,
                                  const HtmlSiteSettings& site) {
    ConversionResult result;
    QTextDocument document;
    doc::DocumentParts parts;
    parts.body = &document;
    if (!byteformat::load(obDoc, parts, result.error))
        return result;
    return HtmlConverter(site).convertSitePage(document, page);
}

}  // namespace arbor::web
