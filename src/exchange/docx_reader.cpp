// readDocx and readDocxBytes: the whole package is read and checked first, then the
// documents are replaced in one step.
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

#include "exchange/docx.h"
#include "exchange/docx_emit.h"
#include "exchange/docx_numbering.h"
#include "exchange/docx_package_reader.h"
#include "exchange/docx_story_reader.h"
#include "exchange/docx_style_reader.h"
#include "exchange/ooxml.h"

namespace arbor::docx {

namespace {

constexpr qint64 kMaxFileSize = qint64(512) << 20;

// The part a relationship of the main document names, if present.
QString relatedPart(const RelationshipMap& rels, const char* type) {
    for (const Relationship& rel : rels)
        if (!rel.external && ooxml::isRelType(rel.type, QLatin1String(type)))
            return rel.target;
    return {};
}

bool readStory(PackageReader& package, const StoryContext& base, const QString& partName,
               ir::Story& story, QString& error) {
    StoryContext context = base;
    context.partName = partName;
    if (!package.relationships(partName, context.rels, error))
        return false;
    QByteArray xml;
    if (!package.readXml(partName, xml, error))
        return false;
    return StoryReader(context).read(xml, story, nullptr, error);
}

}  // namespace

bool readDocxBytes(const QByteArray& bytes, doc::DocumentParts& parts, QString& error) {
    PackageReader package;
    if (!package.open(bytes, error))
        return false;
    QString main;
    if (!package.mainDocument(main, error))
        return false;
    RelationshipMap rels;
    if (!package.relationships(main, rels, error))
        return false;

    ThemeFonts theme;
    StyleSheet styles;
    Numbering numbering;
    QByteArray xml;
    const QString themePart = relatedPart(rels, "theme");
    if (!themePart.isEmpty() && package.contains(themePart)) {
        if (!package.readXml(themePart, xml, error))
            return false;
        theme = readThemeFonts(xml);
    }
    const QString stylesPart = relatedPart(rels, "styles");
    if (!stylesPart.isEmpty() && package.contains(stylesPart)) {
        if (!package.readXml(stylesPart, xml, error))
            return false;
        styles.read(xml, theme);
    }
    const QString numberingPart = relatedPart(rels, "numbering");
    if (!numberingPart.isEmpty() && package.contains(numberingPart)) {
        if (!package.readXml(numberingPart, xml, error))
            return false;
        numbering.read(xml);
    }

    if (!package.readXml(main, xml, error))
        return false;
    const StoryContext context{package, main, rels, styles, theme, numbering};
    ir::Story body;
    std::vector<Section> sections;
    if (!StoryReader(context).read(xml, body, &sections, error))
        return false;

    // The first default header and footer any section names.
    ir::Story header, footer;
    bool hasHeader = false, hasFooter = false;
    for (const Section& s : sections) {
        for (const bool isHeader : {true, false}) {
            bool& has = isHeader ? hasHeader : hasFooter;
            const QString& id = isHeader ? s.headerId : s.footerId;
            if (has || id.isEmpty() || !rels.contains(id))
                continue;
            const Relationship& rel = rels.value(id);
            if (rel.external || !package.contains(rel.target))
                continue;
            if (!readStory(package, context, rel.target, isHeader ? header : footer, error))
                return false;
            has = true;
        }
    }

    doc::PageSetup page;
    if (!sections.empty() && sections.front().page)
        page = *sections.front().page;

    if (parts.body)
        emitStory(body, *parts.body);
    if (parts.header)
        emitStory(header, *parts.header);
    if (parts.footer)
        emitStory(footer, *parts.footer);
    parts.page = page;
    return true;
}

bool readDocx(const QString& path, doc::DocumentParts& parts, QString& error) {
    const QFileInfo info(path);
    if (!info.exists()) {
        error = QStringLiteral("ファイルが見つかりません: %1").arg(path);
        return false;
    }
    if (info.size() > kMaxFileSize) {
        error = QStringLiteral("ファイルが大きすぎます（%1 バイト）").arg(info.size());
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("ファイルを開けません: %1").arg(path);
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() != info.size()) {
        error = QStringLiteral("ファイルを読めません: %1").arg(path);
        return false;
    }
    return readDocxBytes(bytes, parts, error);
}

}  // namespace arbor::docx
