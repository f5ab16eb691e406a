#include "exchange/docx_story_reader.h"

#include <QRegularExpression>
#include <functional>

#include "editor/user_formats.h"
#include "exchange/docx_paragraph_builder.h"
#include "exchange/ooxml.h"
#include "exchange/wml_read.h"

namespace arbor::docx {

namespace {

using wml::isW;
using wml::wAttr;

constexpr int kMaxFieldDepth = 64;

QLatin1String ln(const char* s) {
    return QLatin1String(s);
}

bool isMc(const QXmlStreamReader& r, QLatin1String name) {
    return r.name() == name && r.namespaceUri() == QLatin1String(ooxml::kNsMc);
}

// Text as a QTextDocument block may hold it: no paragraph or frame separators, no
// object characters (pictures are inserted as such).
QString cleanText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\n' || u == '\r' || u == 0x0B || u == 0x0C)
            out.append(QLatin1Char(' '));
        else if (u == 0x2029)
            out.append(QChar::LineSeparator);
        else if (u == 0xFFFC || (u >= 0xFDD0 && u <= 0xFDEF) || (u < 0x20 && u != '\t'))
            continue;
        else
            out.append(c);
    }
    return out;
}

// HYPERLINK "target" \l "anchor": the field's data.
QString hyperlinkData(const QString& instruction) {
    static const QRegularExpression token(QStringLiteral(R"re("([^"]*)"|(\S+))re"));
    QStringList tokens;
    for (auto it = token.globalMatch(instruction); it.hasNext();) {
        const auto m = it.next();
        tokens << (m.capturedStart(1) >= 0 ? m.captured(1) : m.captured(2));
    }
    if (tokens.isEmpty() || tokens.front().compare(ln("HYPERLINK"), Qt::CaseInsensitive) != 0)
        return {};
    QString target, anchor;
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        const QString& t = tokens.at(i);
        if (t.startsWith(QLatin1Char('\\'))) {
            const QString sw = t.toLower();
            if (sw == ln("\\l") && i + 1 < tokens.size())
                anchor = tokens.at(++i);
            else if ((sw == ln("\\o") || sw == ln("\\t")) && i + 1 < tokens.size())
                ++i;  // tooltip and target frame take an argument
            continue;
        }
        if (target.isEmpty())
            target = t;
    }
    if (target.isEmpty())
        return anchor.isEmpty() ? QString() : anchorFieldData(anchor);
    return anchor.isEmpty() ? target : target + QLatin1Char('#') + anchor;
}

void setLink(QTextCharFormat& f, int fieldId, const QString& data) {
    f.setProperty(doc::FieldId, fieldId);
    f.setProperty(doc::FieldData, data);
    f.setAnchor(true);
    f.setAnchorHref(data);
}

}  // namespace

QString anchorFieldData(const QString& anchor) {
    if (anchor.startsWith(ln("TG_")) || anchor.startsWith(ln("TP_")) ||
        anchor.startsWith(ln("LK_OBJ")))
        return anchor;
    return QLatin1Char('#') + anchor;
}

StoryReader::StoryReader(const StoryContext& context) : context_(context) {}

void StoryReader::fail(const QString& reason) {
    if (error_.isEmpty())
        error_ = reason;
    r_.raiseError(reason);  // ends every reading loop
}

bool StoryReader::read(const QByteArray& xml, ir::Story& story, std::vector<Section>* sections,
                       QString& error) {
    r_.clear();
    r_.addData(xml);
    story_ = &story;
    sections_ = sections;
    if (r_.readNextStartElement()) {
        if (isW(r_, ln("document"))) {
            while (r_.readNextStartElement()) {
                if (isW(r_, ln("body")))
                    readBlockContent(story.blocks, 0);
                else
                    r_.skipCurrentElement();
            }
        } else if (isW(r_, ln("hdr")) || isW(r_, ln("ftr"))) {
            readBlockContent(story.blocks, 0);
        } else {
            fail(QStringLiteral("%1 は Word 文書の本文ではありません").arg(context_.partName));
        }
    }
    if (!error_.isEmpty() || r_.hasError()) {
        error =
            !error_.isEmpty()
                ? error_
                : QStringLiteral("%1 を読めません（%2）").arg(context_.partName, r_.errorString());
        return false;
    }
    return true;
}

// On mc:AlternateContent: the first choice is read (what this reader understands, as Word
// writes it), the fallbacks skipped. False when the reader stands on something else.
bool StoryReader::readAlternateContent(const std::function<void()>& readChoice) {
    if (!isMc(r_, ln("AlternateContent")))
        return false;
    bool chosen = false;
    while (r_.readNextStartElement()) {
        if (!chosen && isMc(r_, ln("Choice"))) {
            chosen = true;
            readChoice();
        } else {
            r_.skipCurrentElement();
        }
    }
    return true;
}

void StoryReader::readBlockContent(std::vector<ir::Block>& out, int tableDepth) {
    while (r_.readNextStartElement())
        readBlockElement(out, tableDepth);
}

void StoryReader::readBlockElement(std::vector<ir::Block>& out, int tableDepth) {
    if (readAlternateContent([&] { readBlockContent(out, tableDepth); }))
        return;
    if (!isW(r_)) {
        r_.skipCurrentElement();
        return;
    }
    const QStringView n = r_.name();
    if (n == ln("p")) {
        readParagraph(out);
    } else if (n == ln("tbl")) {
        readTable(out, tableDepth);
    } else if (n == ln("sdt")) {
        while (r_.readNextStartElement()) {
            if (isW(r_, ln("sdtContent")))
                readBlockContent(out, tableDepth);
            else
                r_.skipCurrentElement();
        }
    } else if (n == ln("customXml")) {
        readBlockContent(out, tableDepth);
    } else if (n == ln("bookmarkStart")) {
        const QString name = wAttr(r_, ln("name"));
        if (!name.isEmpty() && name != ln("_GoBack"))
            pendingAnchors_ << name;
        r_.skipCurrentElement();
    } else if (n == ln("sectPr")) {
        Section section;
        readSectionProperties(r_, section);
        if (sections_)
            sections_->push_back(section);
    } else {
        r_.skipCurrentElement();
    }
}

void StoryReader::readParagraph(std::vector<ir::Block>& out) {
    ParagraphBuilder p(out);
    QTextBlockFormat direct;
    ParagraphExtras extras;
    const auto applyProperties = [&] {
        const StyleSheet::Paragraph& style = context_.styles.paragraph(extras.styleId);
        QTextBlockFormat block = style.block;
        block.merge(direct);
        QTextCharFormat mark = style.chars;
        if (extras.mark)
            mark.merge(*extras.mark);
        finishCharFormat(mark);
        p.runBase = style.chars;

        int index = style.styleIndex;
        const int outline = block.hasProperty(OutlineLevel) ? block.intProperty(OutlineLevel) : -1;
        if (index < 0 && outline >= 0 && outline <= 2)
            index = outline;
        block.clearProperty(OutlineLevel);
        if (index >= 0) {
            block.setProperty(doc::StyleIndex, index);
            if (index <= kHeading3) {
                block.setProperty(doc::HeadingAttribute, 1);
                const UsrFormat& f = Frmt::instance().format(index);
                block.setProperty(doc::ParaFrame1, int(f.ParaFrame1));
                block.setProperty(doc::ParaFrame2, int(f.ParaFrame2));
                block.setProperty(doc::ParaFrame3, int(f.ParaFrame3));
            }
            if (index <= kBody) {
                const UsrFormat& f = Frmt::instance().format(index);
                block.setProperty(doc::ParaDist1, ooxml::toTwips(block.leftMargin()));
                block.setProperty(doc::ParaDist2, int(f.ParaDist2));
                block.setProperty(doc::ParaDist3, int(f.ParaDist3));
                block.setProperty(doc::ParaDist4, int(f.ParaDist4));
                block.setProperty(doc::ParaDist5, int(f.ParaDist5));
            }
        }
        p.current.format = block;
        p.current.markFormat = mark;
        p.current.listId = 0;
        if (extras.numId > 0) {
            if (const auto list = context_.numbering.format(extras.numId, extras.level)) {
                p.current.listId = extras.numId * 9 + extras.level + 1;
                p.current.listFormat = *list;
            }
        }
    };
    applyProperties();
    while (r_.readNextStartElement()) {
        if (isW(r_, ln("pPr"))) {
            readParagraphProperties(r_, context_.theme, direct, &extras);
            applyProperties();
            continue;
        }
        readRunElement(p, Link{});
    }
    ir::Paragraph& last = p.finish();
    if (extras.section) {
        if (sections_)
            sections_->push_back(*extras.section);
        if (extras.section->newPage)
            last.format.setPageBreakPolicy(last.format.pageBreakPolicy() |
                                           QTextFormat::PageBreak_AlwaysAfter);
    }
}

// The reader stands on a container of run-level content: handles its children.
void StoryReader::readRunContent(ParagraphBuilder& p, const Link& link) {
    while (r_.readNextStartElement())
        readRunElement(p, link);
}

// The reader stands on one element of run-level content.
void StoryReader::readRunElement(ParagraphBuilder& p, const Link& outer) {
    if (readAlternateContent([&] { readRunContent(p, outer); }))
        return;
    if (!isW(r_)) {
        r_.skipCurrentElement();
        return;
    }
    const QStringView n = r_.name();
    if (n == ln("r")) {
        readRun(p, outer);
    } else if (n == ln("hyperlink")) {
        QString data;
        const QString id = wml::rAttr(r_, ln("id"));
        const QString anchor = wAttr(r_, ln("anchor"));
        if (!id.isEmpty() && context_.rels.contains(id)) {
            data = context_.rels.value(id).target;
            if (!anchor.isEmpty())
                data += QLatin1Char('#') + anchor;
        } else if (!anchor.isEmpty()) {
            data = anchorFieldData(anchor);
        }
        readRunContent(p, data.isEmpty() ? outer : Link{nextFieldId_++, data});
    } else if (n == ln("fldSimple")) {
        FieldFrame frame;
        frame.instruction = wAttr(r_, ln("instr"));
        frame.inResult = true;
        startHyperlinkField(frame);
        // Field characters inside may be unbalanced: restore the stack as it was.
        const size_t stackSize = fields_.size();
        fields_.push_back(frame);
        readRunContent(p, outer);
        if (fields_.size() > stackSize)
            fields_.resize(stackSize);
    } else if (n == ln("smartTag") || n == ln("customXml") || n == ln("ins") || n == ln("moveTo") ||
               n == ln("dir") || n == ln("bdo")) {
        readRunContent(p, outer);
    } else if (n == ln("sdt")) {
        while (r_.readNextStartElement()) {
            if (isW(r_, ln("sdtContent")))
                readRunContent(p, outer);
            else
                r_.skipCurrentElement();
        }
    } else if (n == ln("bookmarkStart")) {
        const QString name = wAttr(r_, ln("name"));
        if (!name.isEmpty() && name != ln("_GoBack"))
            pendingAnchors_ << name;
        r_.skipCurrentElement();
    } else {
        r_.skipCurrentElement();  // deletions, comments, math and the like
    }
}

bool StoryReader::fieldTextVisible() const {
    for (const FieldFrame& f : fields_)
        if (!f.inResult)
            return false;
    return true;
}

StoryReader::Link StoryReader::currentLink(const Link& element) const {
    if (element.fieldId > 0)
        return element;
    for (auto it = fields_.rbegin(); it != fields_.rend(); ++it)
        if (it->fieldId > 0)
            return {it->fieldId, it->data};
    return {};
}

void StoryReader::startHyperlinkField(FieldFrame& frame) {
    const QString data = hyperlinkData(frame.instruction.trimmed());
    if (!data.isEmpty()) {
        frame.fieldId = nextFieldId_++;
        frame.data = data;
    }
}

void StoryReader::fieldChar(const QString& type) {
    if (type == ln("begin")) {
        if (fields_.size() >= size_t(kMaxFieldDepth)) {
            ++ignoredFieldBegins_;
            return;
        }
        fields_.emplace_back();
    } else if (type == ln("separate")) {
        if (ignoredFieldBegins_ == 0 && !fields_.empty() && !fields_.back().inResult) {
            fields_.back().inResult = true;
            startHyperlinkField(fields_.back());
        }
    } else if (type == ln("end")) {
        if (ignoredFieldBegins_ > 0)
            --ignoredFieldBegins_;
        else if (!fields_.empty())
            fields_.pop_back();
    }
}

void StoryReader::readRun(ParagraphBuilder& p, const Link& elementLink) {
    QTextCharFormat direct;
    QString runStyle;
    bool formatReady = false;
    QTextCharFormat format;
    const auto currentFormat = [&]() -> const QTextCharFormat& {
        if (!formatReady) {
            format = p.runBase;
            if (!runStyle.isEmpty())
                format.merge(context_.styles.characterStyle(runStyle));
            format.merge(direct);
            finishCharFormat(format);
            const Link link = currentLink(elementLink);
            if (link.fieldId > 0)
                setLink(format, link.fieldId, link.data);
            formatReady = true;
        }
        return format;
    };
    const auto addText = [&](const QString& text) {
        if (text.isEmpty() || !fieldTextVisible())
            return;
        QTextCharFormat f = currentFormat();
        if (!pendingAnchors_.isEmpty()) {
            f.setAnchorNames(pendingAnchors_);
            pendingAnchors_.clear();
        }
        p.addText(text, f);
    };
    std::function<void()> child = [&] {
        if (isMc(r_, ln("AlternateContent"))) {
            bool chosen = false;
            while (r_.readNextStartElement()) {
                if (!chosen && isMc(r_, ln("Choice"))) {
                    chosen = true;
                    while (r_.readNextStartElement())
                        child();
                } else {
                    r_.skipCurrentElement();
                }
            }
            return;
        }
        if (!isW(r_)) {
            r_.skipCurrentElement();
            return;
        }
        const QStringView n = r_.name();
        if (n == ln("rPr")) {
            readRunProperties(r_, context_.theme, direct, &runStyle);
            formatReady = false;
            return;
        }
        if (n == ln("t")) {
            addText(cleanText(r_.readElementText(QXmlStreamReader::SkipChildElements)));
            return;
        }
        if (n == ln("instrText")) {
            const QString text = r_.readElementText(QXmlStreamReader::SkipChildElements);
            if (ignoredFieldBegins_ == 0 && !fields_.empty() && !fields_.back().inResult &&
                fields_.back().instruction.size() < 4096)
                fields_.back().instruction += text;
            return;
        }
        if (n == ln("fldChar")) {
            fieldChar(wAttr(r_, ln("fldCharType")));
            formatReady = false;  // the field may start or end a link
        } else if (n == ln("tab") || n == ln("ptab")) {
            addText(QStringLiteral("\t"));
        } else if (n == ln("br")) {
            if (wAttr(r_, ln("type")) == ln("page")) {
                if (fieldTextVisible())
                    p.pageBreak();
            } else {
                addText(QString(QChar::LineSeparator));
            }
        } else if (n == ln("cr")) {
            addText(QString(QChar::LineSeparator));
        } else if (n == ln("noBreakHyphen")) {
            addText(QString(QChar(0x2011)));
        } else if (n == ln("softHyphen")) {
            addText(QString(QChar(0x00AD)));
        } else if (n == ln("sym")) {
            bool ok = false;
            const uint code = wAttr(r_, ln("char")).toUInt(&ok, 16);
            if (ok && code >= 0x20 && code <= 0xFFFD && (code < 0xD800 || code > 0xDFFF))
                addText(cleanText(QString(QChar(char16_t(code)))));
        } else if (n == ln("drawing") || n == ln("pict") || n == ln("object")) {
            if (fieldTextVisible())
                readPicture(p, currentFormat(), n != ln("drawing"));
            else
                r_.skipCurrentElement();
            return;
        }
        r_.skipCurrentElement();
    };
    while (r_.readNextStartElement())
        child();
}

}  // namespace arbor::docx
