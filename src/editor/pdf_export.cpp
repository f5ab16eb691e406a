#include "editor/pdf_export.h"

#include <QBuffer>
#include <QPdfWriter>
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
    if (!writeFileAtomically(path, bytes)) {
        error = QStringLiteral("ファイルを書き込めません: ") + path;
        return false;
    }
    return true;
}

}  // namespace arbor::pdf
