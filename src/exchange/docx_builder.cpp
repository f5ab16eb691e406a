#include "exchange/docx_builder.h"

#include <QTextCursor>
#include <QTextDocument>
#include <variant>
#include <vector>

#include "app/file_io.h"
#include "exchange/docx_content_writer.h"
#include "exchange/docx_format_writer.h"
#include "exchange/docx_package_writer.h"
#include "exchange/ooxml.h"
#include "exchange/wml_write.h"

namespace arbor::docx {

namespace {

struct TocRequest {
    int from;
    int to;
};

QString oneLine(QString text) {
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QChar::ParagraphSeparator, QLatin1Char(' '));
    return text;
}

}  // namespace

struct DocxBuilder::State {
    StyleSet styles;
    WriteState write;
    Relations docRels;
    std::vector<std::variant<QByteArray, TocRequest>> body;
    std::vector<XmlPart> headerFooterParts;
    SectionProperties section;
    bool hasToc = false;
    int pageShift = 0;

    int textWidth() const {
        return qMax(1000, section.page.width - section.page.marginLeft - section.page.marginRight);
    }

    // Runs write on a fresh XML writer and appends what it wrote to the body.
    template <typename F>
    void append(F&& writeXml) {
        QByteArray xml;
        {
            QXmlStreamWriter x(&xml);
            writeXml(x);
        }
        if (body.empty() || !std::holds_alternative<QByteArray>(body.back()))
            body.emplace_back(QByteArray());
        std::get<QByteArray>(body.back()).append(xml);
    }

    void appendContent(const QTextDocument& document) {
        append([&](QXmlStreamWriter& x) {
            ContentWriter writer(x, docRels, write, textWidth(), true);
            writer.writeDocument(document);
        });
    }

    QString addPart(bool header,
                    const std::function<void(QXmlStreamWriter&, Relations&)>& content) {
        const int n = int(headerFooterParts.size()) + 1;
        XmlPart part;
        part.name = QStringLiteral("word/%1%2.xml").arg(header ? "header" : "footer").arg(n);
        part.contentType = QLatin1String(header ? ooxml::kCtHeader : ooxml::kCtFooter);
        QXmlStreamWriter x(&part.xml);
        x.writeStartDocument(QStringLiteral("1.0"), true);
        wml::startRoot(x, header ? QStringLiteral("w:hdr") : QStringLiteral("w:ftr"));
        content(x, part.rels);
        x.writeEndElement();
        x.writeEndDocument();
        const QString target = part.name.mid(5);  // relative to word/
        headerFooterParts.push_back(std::move(part));
        return docRels.add(ooxml::relType(header ? "header" : "footer"), target);
    }

    QString addTextPart(bool header, const HeaderFooterText& spec) {
        return addPart(header, [&](QXmlStreamWriter& x, Relations&) {
            QTextBlockFormat block;
            block.setAlignment(spec.alignment);
            QTextCharFormat chars;
            if (spec.pointSize > 0)
                chars.setFontPointSize(spec.pointSize);
            chars.setForeground(spec.color.isValid() ? QBrush(spec.color) : QBrush());
            ParagraphOptions options;
            options.styleId = styleId(header ? kHeader : kFooter);
            x.writeStartElement(QStringLiteral("w:p"));
            writeParagraphProperties(x, block, chars, options);
            writeTextRun(x, oneLine(spec.text), chars);
            if (spec.pageNumber)
                writeField(x, QStringLiteral(" PAGE "), QStringLiteral("1"), chars);
            x.writeEndElement();
        });
    }

    QString addDocumentPart(bool header, const QTextDocument& document) {
        return addPart(header, [&](QXmlStreamWriter& x, Relations& rels) {
            ContentWriter writer(x, rels, write, textWidth(), false);
            writer.writeDocument(document);  // a document always has a paragraph
        });
    }

    void writeToc(QXmlStreamWriter& x, const TocRequest& toc) const {
        const QString instruction =
            QStringLiteral(" TOC \\o \"%1-%2\" \\h \\z \\u ").arg(toc.from).arg(toc.to);
        const QTextCharFormat plain;
        bool begun = false;
        const auto begin = [&] {
            if (!begun) {
                writeFieldBegin(x, instruction, plain, true);
                writeFieldSeparate(x, plain);
                begun = true;
            }
        };
        for (const WriteState::Heading& h : write.headings) {
            if (h.level < toc.from || h.level > toc.to)
                continue;
            x.writeStartElement(QStringLiteral("w:p"));
            QTextBlockFormat block;
            ParagraphOptions options;
            options.styleId = QStringLiteral("TOC%1").arg(h.level);
            writeParagraphProperties(x, block, plain, options);
            begin();
            x.writeStartElement(QStringLiteral("w:hyperlink"));
            x.writeAttribute(QStringLiteral("w:anchor"), h.bookmark);
            x.writeAttribute(QStringLiteral("w:history"), QStringLiteral("1"));
            writeTextRun(x, h.text + QLatin1Char('\t'), plain);
            // The estimated page stands until Word refreshes the field.
            const QString page = h.page > 0 ? QString::number(h.page + pageShift) : QString();
            writeField(x, QStringLiteral(" PAGEREF %1 \\h ").arg(h.bookmark), page, plain);
            x.writeEndElement();
            x.writeEndElement();
        }
        x.writeStartElement(QStringLiteral("w:p"));
        begin();
        writeFieldEnd(x, plain);
        x.writeEndElement();
    }
};

DocxBuilder::DocxBuilder(const StyleSet& styles) : d_(std::make_unique<State>()) {
    d_->styles = styles;
}

DocxBuilder::~DocxBuilder() = default;

void DocxBuilder::setPageSetup(const doc::PageSetup& page) {
    d_->section.page = page;
}

void DocxBuilder::addHeading(int level, const QString& text) {
    addParagraph(text, qBound(1, level, 3) - 1);
}

void DocxBuilder::addParagraph(const QString& text, int styleIndex) {
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextBlockFormat block;
    QTextCharFormat chars;
    applyUserFormat(d_->styles, styleIndex, block, chars);
    cursor.setBlockFormat(block);
    cursor.setBlockCharFormat(chars);
    cursor.insertText(oneLine(text), chars);
    d_->appendContent(document);
}

void DocxBuilder::appendDocument(const QTextDocument& document) {
    d_->appendContent(document);
}

void DocxBuilder::setContentPage(int page, std::function<int(const QTextBlock&)> sheetOfBlock) {
    d_->write.contentPage = qMax(0, page);
    d_->write.sheetOfBlock = std::move(sheetOfBlock);
}

void DocxBuilder::setPageShift(int pages) {
    d_->pageShift = qMax(0, pages);
}

std::vector<DocxBuilder::Heading> DocxBuilder::headings() const {
    std::vector<Heading> out;
    out.reserve(d_->write.headings.size());
    for (const WriteState::Heading& h : d_->write.headings)
        out.push_back({h.level, h.text, h.page});
    return out;
}

void DocxBuilder::pageBreak() {
    d_->write.pendingPageBreak = true;
}

void DocxBuilder::sectionBreak() {
    d_->write.pendingPageBreak = false;  // the new section starts a page anyway
    const SectionProperties ending = d_->section;
    d_->append([&](QXmlStreamWriter& x) {
        x.writeStartElement(QStringLiteral("w:p"));
        ParagraphOptions options;
        options.sectionProperties = [&](QXmlStreamWriter& w) { writeSectionProperties(w, ending); };
        writeParagraphProperties(x, QTextBlockFormat(), QTextCharFormat(), options);
        x.writeEndElement();
    });
    d_->section.headerId.clear();
    d_->section.footerId.clear();
}

void DocxBuilder::bookmark(const QString& name) {
    if (!name.isEmpty())
        d_->write.pendingBookmarks << name;
}

void DocxBuilder::setHeader(const HeaderFooterText& header) {
    d_->section.headerId = d_->addTextPart(true, header);
}

void DocxBuilder::setHeader(const QTextDocument& header) {
    d_->section.headerId = d_->addDocumentPart(true, header);
}

void DocxBuilder::setFooter(const HeaderFooterText& footer) {
    d_->section.footerId = d_->addTextPart(false, footer);
}

void DocxBuilder::setFooter(const QTextDocument& footer) {
    d_->section.footerId = d_->addDocumentPart(false, footer);
}

void DocxBuilder::tableOfContents(int fromLevel, int toLevel) {
    fromLevel = qBound(1, fromLevel, 3);
    toLevel = qBound(fromLevel, toLevel, 3);
    d_->body.emplace_back(TocRequest{fromLevel, toLevel});
    d_->hasToc = true;
}

QByteArray DocxBuilder::package(QString& error) const {
    const State& s = *d_;
    Relations docRels = s.docRels;
    QByteArray document;
    {
        QXmlStreamWriter x(&document);
        x.writeStartDocument(QStringLiteral("1.0"), true);
        wml::startRoot(x, QStringLiteral("w:document"));
        x.writeStartElement(QStringLiteral("w:body"));
        x.writeCharacters(QString());  // closes the start tag before the raw fragments
    }
    bool any = false;
    for (const auto& chunk : s.body) {
        if (const auto* xml = std::get_if<QByteArray>(&chunk)) {
            document.append(*xml);
            any = any || !xml->isEmpty();
        } else {
            QByteArray toc;
            QXmlStreamWriter x(&toc);
            s.writeToc(x, std::get<TocRequest>(chunk));
            document.append(toc);
            any = true;
        }
    }
    {
        QByteArray tail;
        QXmlStreamWriter x(&tail);
        // What is still pending needs a paragraph of its own.
        if (!s.write.pendingBookmarks.isEmpty() || s.write.pendingPageBreak || !any) {
            x.writeStartElement(QStringLiteral("w:p"));
            if (s.write.pendingPageBreak)
                writePageBreakRun(x);
            int id = s.write.nextBookmarkId;
            for (const QString& name : s.write.pendingBookmarks) {
                if (s.write.bookmarkNames.contains(name))
                    continue;
                x.writeEmptyElement(QStringLiteral("w:bookmarkStart"));
                x.writeAttribute(QStringLiteral("w:id"), QString::number(id));
                x.writeAttribute(QStringLiteral("w:name"), wml::xmlSafe(name));
                x.writeEmptyElement(QStringLiteral("w:bookmarkEnd"));
                x.writeAttribute(QStringLiteral("w:id"), QString::number(id++));
            }
            x.writeEndElement();
        }
        writeSectionProperties(x, s.section);
        document.append(tail);
        document.append("</w:body></w:document>");
    }

    std::vector<XmlPart> parts;
    docRels.add(ooxml::relType("styles"), QStringLiteral("styles.xml"));
    docRels.add(ooxml::relType("settings"), QStringLiteral("settings.xml"));
    parts.push_back(
        {QStringLiteral("word/document.xml"), QLatin1String(ooxml::kCtMain), document, docRels});
    parts.push_back({QStringLiteral("word/styles.xml"),
                     QLatin1String(ooxml::kCtStyles),
                     stylesXml(s.styles, s.textWidth()),
                     {}});
    parts.push_back({QStringLiteral("word/settings.xml"),
                     QLatin1String(ooxml::kCtSettings),
                     settingsXml(s.hasToc),
                     {}});
    if (!s.write.numbering.isEmpty()) {
        parts.front().rels.add(ooxml::relType("numbering"), QStringLiteral("numbering.xml"));
        parts.push_back({QStringLiteral("word/numbering.xml"),
                         QStringLiteral("application/vnd.openxmlformats-officedocument."
                                        "wordprocessingml.numbering+xml"),
                         s.write.numbering.xml(),
                         {}});
    }
    for (const XmlPart& p : s.headerFooterParts)
        parts.push_back(p);
    return packageBytes(parts, s.write.media, error);
}

bool DocxBuilder::save(const QString& path, QString& error) const {
    const QByteArray bytes = package(error);
    if (bytes.isEmpty())
        return false;
    return writeFileAtomically(path, bytes, error);
}

}  // namespace arbor::docx
