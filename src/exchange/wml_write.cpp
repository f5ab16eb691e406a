#include "exchange/wml_write.h"

namespace arbor::wml {

QString xmlSafe(const QString& text) {
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate()) {
            if (i + 1 < n && text.at(i + 1).isLowSurrogate()) {
                out.append(c);
                out.append(text.at(++i));
            }
            continue;
        }
        if (c.isLowSurrogate())
            continue;
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r')
            continue;
        if (u == 0xFFFE || u == 0xFFFF || (u >= 0xFDD0 && u <= 0xFDEF))
            continue;
        out.append(c);
    }
    return out;
}

}  // namespace arbor::wml
