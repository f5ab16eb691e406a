#include "web/html_text.h"

namespace arbor::web {

void T_HtmMoji(QString& text) {
    text.removeIf([](QChar c) {
        return c == u' ' || c == u'&' || c == u'<' || c == u'>' || c == u'"' || c == u'\'';
    });
}

QString escapeText(const QString& text) {
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        switch (c.unicode()) {
            case u'&':
                out += u"&amp;";
                break;
            case u'<':
                out += u"&lt;";
                break;
            case u'>':
                out += u"&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

QString escapeAttribute(const QString& text) {
    QString out = escapeText(text);
    out.replace(u'"', QStringLiteral("&quot;"));
    out.replace(u'\'', QStringLiteral("&#39;"));
    return out;
}

void protectIdeographicSpaces(QString& text) {
    text.replace(QChar(kIdeographicMarker), QStringLiteral("&#x2177;"));
    text.replace(QChar(kIdeographicSpace), QChar(kIdeographicMarker));
}

void restoreIdeographicSpaces(QString& text) {
    text.replace(QChar(kIdeographicMarker), QChar(kIdeographicSpace));
}

double pointValue(const QString& value) {
    const QString v = value.trimmed();
    if (!v.endsWith(u"pt", Qt::CaseInsensitive))
        return -1;
    bool ok = false;
    const double n = v.first(v.size() - 2).trimmed().toDouble(&ok);
    return ok ? n : -1;
}

QString cssColour(int bgr) {
    const int r = bgr & 0xFF, g = (bgr >> 8) & 0xFF, b = (bgr >> 16) & 0xFF;
    return u'#' + QString::number((r << 16) | (g << 8) | b, 16).rightJustified(6, u'0').toUpper();
}

}  // namespace arbor::web
