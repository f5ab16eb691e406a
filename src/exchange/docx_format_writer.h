#pragma once
// Qt text formats as WordprocessingML properties, and the runs and fields built from
// them. Only properties a format actually carries are written; the rest is left to
// the paragraph's style.

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QXmlStreamWriter>
#include <functional>

#include "editor/document_model.h"

namespace arbor::docx {

// <w:rPr>, omitted when the format carries nothing Word knows.
void writeRunProperties(QXmlStreamWriter& x, const QTextCharFormat& format);

struct ParagraphOptions {
    QString styleId;
    // A paragraph holding a picture gets "at least" instead of an exact line height,
    // which would clip the picture in Word.
    bool hasPicture = false;
    int numId = 0;  // > 0: a list item at numLevel
    int numLevel = 0;
    // Writes a <w:sectPr> into the paragraph properties (a section ends here).
    std::function<void(QXmlStreamWriter&)> sectionProperties;
};
void writeParagraphProperties(QXmlStreamWriter& x, const QTextBlockFormat& block,
                              const QTextCharFormat& mark, const ParagraphOptions& options);

// One run of text; tabs and line separators become <w:tab/> and <w:br/>.
void writeTextRun(QXmlStreamWriter& x, const QString& text, const QTextCharFormat& format);
// A field with its instruction and the result shown until Word refreshes it.
void writeField(QXmlStreamWriter& x, const QString& instruction, const QString& result,
                const QTextCharFormat& format, bool dirty = false);
void writeFieldBegin(QXmlStreamWriter& x, const QString& instruction, const QTextCharFormat& format,
                     bool dirty);
void writeFieldSeparate(QXmlStreamWriter& x, const QTextCharFormat& format);
void writeFieldEnd(QXmlStreamWriter& x, const QTextCharFormat& format);
void writePageBreakRun(QXmlStreamWriter& x);

struct SectionProperties {
    QString headerId;  // relationship ids; empty: inherited from the previous section
    QString footerId;
    doc::PageSetup page;
};
void writeSectionProperties(QXmlStreamWriter& x, const SectionProperties& section);

}  // namespace arbor::docx
