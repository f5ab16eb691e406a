#include "app/text_cut.h"

#include <QTextBoundaryFinder>

namespace arbor {

QString leftCharacters(const QString& text, qsizetype maxCharacters) {
    if (maxCharacters <= 0)
        return {};
    if (text.size() <= maxCharacters)
        return text;  // never more characters than UTF-16 units
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary()) {
        if (++count == maxCharacters)
            return text.left(at);
    }
    return text;
}

}  // namespace arbor
