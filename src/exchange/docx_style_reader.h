#pragma once
// styles.xml and the theme's fonts, with style inheritance (basedOn) and the document
// defaults resolved into Qt formats.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextTableFormat>

#include "exchange/docx_format_reader.h"

namespace arbor::docx {

ThemeFonts readThemeFonts(const QByteArray& xml);

class StyleSheet {
  public:
    // xml has passed the safety check; an empty xml gives an empty sheet.
    void read(const QByteArray& xml, const ThemeFonts& theme);

    struct Paragraph {
        QTextBlockFormat block;  // defaults and the style chain
        QTextCharFormat chars;   // likewise, for runs of the paragraph
        int styleIndex = -1;     // the user format the style stands for
    };
    // The paragraph style (the default one for an empty id).
    const Paragraph& paragraph(const QString& styleId) const;
    // The run formatting of a character style and its ancestors.
    QTextCharFormat characterStyle(const QString& styleId) const;
    // The table formatting of a table style and its ancestors.
    QTextTableFormat tableStyle(const QString& styleId, bool& bordersGiven) const;

  private:
    struct Def {
        QString id;
        QString name;
        QString basedOn;
        QString type;
        QTextBlockFormat block;
        QTextCharFormat chars;
        QTextTableFormat table;
        bool tableBorders = false;
    };
    // The style and its ancestors, the root first; stops at cycles and missing styles.
    std::vector<const Def*> chain(const QString& styleId) const;

    QHash<QString, Def> defs_;
    QString defaultParagraph_;
    QString defaultTable_;
    QTextCharFormat docChars_;
    QTextBlockFormat docBlock_;
    mutable QHash<QString, Paragraph> cache_;
};

}  // namespace arbor::docx
