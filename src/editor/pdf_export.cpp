#include "editor/pdf_export.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "app/file_io.h"
#include "editor/page_painter.h"

namespace arbor::pdf {

namespace {

const QString kGothic = QStringLiteral("IPAPGothic");
const QString kMincho = QStringLiteral("IPAPMincho");

bool isMincho(const QString& family) {
    return family.contains(QStringLiteral("明朝")) ||
           family.contains(QLatin1String("Mincho"), Qt::CaseInsensitive) ||
           (family.contains(QLatin1String("Serif"), Qt::CaseInsensitive) &&
            !family.contains(QLatin1String("Sans"), Qt::CaseInsensitive));
}

// Every run is set in an IPA font first (the page's own font stays behind it for anything
// IPA lacks), so the PDF's text maps back to the right characters whatever other Japanese
// fonts the system offers.
void setIpaFonts(QTextDocument& copy) {
    QFont font = copy.defaultFont();
    font.setFamilies({isMincho(font.family()) ? kMincho : kGothic, font.family()});
    copy.setDefaultFont(font);
    struct Run {
        int start, length;
        QStringList families;
    };
    QList<Run> runs;
    for (QTextBlock b = copy.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            QStringList families = f.charFormat().fontFamilies().toStringList();
            const QString first = families.value(0, font.family());
            if (families.isEmpty())
                families << first;
            families.prepend(isMincho(first) ? kMincho : kGothic);
            runs.append({f.position(), f.length(), families});
        }
    QTextCursor cursor(&copy);
    for (const Run& run : runs) {
        QTextCharFormat change;
        change.setFontFamilies(run.families);
        cursor.setPosition(run.start);
        cursor.setPosition(run.start + run.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(change);
    }
}

// Qt writes each page's MediaBox in whole points; the page setup's size has fractions
// (6799 twips are 339.95 pt). The exact size is written over it in as many characters, so
// the offsets of the file's cross-reference table stay right.
QByteArray exactNumber(double value, qsizetype width) {
    for (int decimals = 6; decimals >= 0; --decimals) {
        QByteArray text = QByteArray::number(value, 'f', decimals);
        if (text.size() <= width)
            return text.leftJustified(width, ' ');
    }
    return {};
}

void writeExactMediaBox(QByteArray& pdf, const doc::PageSetup& page) {
    static const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    const double width = page.width / 20.0;
    const double height = page.height / 20.0;
    const QString text = QString::fromLatin1(pdf);
    QList<QRegularExpressionMatch> matches;
    for (auto it = box.globalMatch(text); it.hasNext();)
        matches.append(it.next());
    for (const QRegularExpressionMatch& m : matches) {
        const QByteArray w = exactNumber(width, m.capturedLength(1));
        const QByteArray h = exactNumber(height, m.capturedLength(2));
        if (w.isEmpty() || h.isEmpty())
            continue;
        pdf.replace(m.capturedStart(1), w.size(), w);
        pdf.replace(m.capturedStart(2), h.size(), h);
    }
}

}  // namespace

bool writePdf(const doc::DocumentParts& parts, const QString& path, QString& error) {
    if (!parts.body) {
        error = QStringLiteral("PDF にする文書がありません");
        return false;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Arbor"));
        QString paintError;
        if (!printing::paintPage(parts, writer, paintError, 0, 0, setIpaFonts)) {
            error = QStringLiteral("PDF を作れません");
            return false;
        }
    }
    buffer.close();
    writeExactMediaBox(bytes, parts.page);
    if (!writeFileAtomically(path, bytes)) {
        error = QStringLiteral("ファイルを書き込めません: ") + path;
        return false;
    }
    return true;
}

}  // namespace arbor::pdf
