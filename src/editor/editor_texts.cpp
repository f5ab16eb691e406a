#include "editor/editor_texts.h"

namespace arbor::edtext {

QString saveAsFilters() {
    return kFilterDoc + kFilterDocx + kFilterRtf + kFilterHtml + kFilterPdf + kFilterText;
}

int docxFilterIndex() {
    return 1;
}

QString readFilters() {
    return kReadableFilter + kFilterHtml + kFilterText + kFilterRtf + kFilterDocx + kFilterDoc +
           kAllFilesFilter + u'|';
}

QString pictureFilters() {
    return kPictureFilter + kAllFilesFilter + u'|';
}

QStringList filterLines(const QString& filter) {
    const QStringList parts = filter.split(u'|', Qt::SkipEmptyParts);
    QStringList lines;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        // "*.*" means every file; here names need not have a dot.
        if (patterns == QLatin1String("*.*"))
            patterns = QStringLiteral("*");
        // A caption that names its patterns keeps them; the dialog separates patterns by
        // blanks, not by ";".
        QString caption = parts[i];
        if (caption.contains(u'('))
            lines << caption.replace(u';', u' ');
        else
            lines << caption + QStringLiteral(" (") + patterns + u')';
    }
    return lines;
}

}  // namespace arbor::edtext
