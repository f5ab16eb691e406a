#include "web/html_embedded.h"

#include <QUrl>
#include <cmath>

#include "web/css_style.h"
#include "web/html_attributes.h"
#include "web/html_text.h"

namespace arbor::web {

namespace {

const QString kFrameFallback = QStringLiteral(
    "お使いのブラウザはインライン フレームをサポートしていないか、またはインライン "
    "フレームを表示しないように設定されています。");

// The value of an attribute inside user markup ("src='...'").
QString markupAttribute(const QString& markup, const QString& name) {
    const qsizetype lt = markup.indexOf(u'<');
    if (lt < 0)
        return QString();
    qsizetype end = markup.indexOf(u'>', lt);
    if (end < 0)
        end = markup.size();
    qsizetype nameEnd = lt + 1;
    while (nameEnd < end && !markup.at(nameEnd).isSpace())
        ++nameEnd;
    return attr::value(markup.mid(nameEnd, end - nameEnd), name);
}

QString addressOf(const QString& markup) {
    const QString src = markupAttribute(markup, QStringLiteral("src"));
    if (!src.isEmpty())
        return src.trimmed();
    const QString plain = markup.trimmed();
    if (plain.startsWith(QStringLiteral("http:"), Qt::CaseInsensitive) ||
        plain.startsWith(QStringLiteral("https:"), Qt::CaseInsensitive))
        return plain;
    return QString();
}

// An address for an attribute: "&" not starting a reference becomes "&amp;".
QString attributeAddress(const QString& address) {
    QString out;
    out.reserve(address.size() + 8);
    for (qsizetype i = 0; i < address.size(); ++i) {
        const QChar c = address.at(i);
        if (c == u'&') {
            const qsizetype semi = address.indexOf(u';', i);
            const bool reference = semi > i + 1 && semi - i <= 10 &&
                                   !address.mid(i + 1, semi - i - 1).contains(u'&') &&
                                   !address.mid(i + 1, semi - i - 1).contains(u'=');
            out += reference ? QStringLiteral("&") : QStringLiteral("&amp;");
        } else if (c == u'\'') {
            out += QStringLiteral("&#39;");
        } else if (c == u'"') {
            out += QStringLiteral("&quot;");
        } else if (c == u'<') {
            out += QStringLiteral("&lt;");
        } else if (c == u'>') {
            out += QStringLiteral("&gt;");
        } else {
            out += c;
        }
    }
    return out;
}

QString number(double n) {
    return QString::number(std::round(n * 100) / 100);
}

// Sets the number after each "name=" of a map script's address.
void setParameter(QString& markup, const QString& name, int value) {
    qsizetype at = 0;
    while ((at = markup.indexOf(name, at, Qt::CaseInsensitive)) >= 0) {
        const qsizetype start = at + name.size();
        qsizetype end = start;
        while (end < markup.size() && markup.at(end).isDigit())
            ++end;
        markup.replace(start, end - start, QString::number(value));
        at = start;
    }
}

QString floatOf(const QString& style) {
    const QString f = css::value(style, QStringLiteral("float")).toLower();
    return f == u"left" || f == u"right" ? f : QString();
}

}  // namespace

QString decodeBlockMarkup(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    out.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    out.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    out.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    out.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    out.replace(QStringLiteral("&#x0027;"), QStringLiteral("'"));
    return out;
}

bool isMapAddress(const QString& address) {
    const QUrl url(address.trimmed());
    return url.host().startsWith(QStringLiteral("maps."), Qt::CaseInsensitive) ||
           url.path().startsWith(QStringLiteral("/maps"), Qt::CaseInsensitive);
}

QString mapSiteName(const QString& address) {
    return QUrl(address.trimmed()).host();
}

QString embeddedMarkup(const QString& blockStyle, const QString& markup, bool script, bool ebook) {
    const double width = std::max(0.0, pointValue(css::value(blockStyle, QStringLiteral("width"))));
    const double height =
        std::max(0.0, pointValue(css::value(blockStyle, QStringLiteral("height"))));
    const QString floated = floatOf(blockStyle);
    const QString floatStyle = floated.isEmpty() ? QString()
                                                 : QStringLiteral("position:relative;float:") +
                                                       floated + QStringLiteral("; padding:20pt;");
    if (script) {
        if (ebook)
            return QString();
        QString out = markup;
        // A map script: its size parameters follow the block, in pixels.
        const QString amp = out.contains(QStringLiteral("&amp;height="), Qt::CaseInsensitive)
                                ? QStringLiteral("&amp;")
                                : QStringLiteral("&");
        const QString widthKey = amp + QStringLiteral("width=");
        const QString heightKey = amp + QStringLiteral("height=");
        if (out.contains(widthKey, Qt::CaseInsensitive) &&
            out.contains(heightKey, Qt::CaseInsensitive)) {
            setParameter(out, widthKey, static_cast<int>(width * 96 / 72) + 30);
            setParameter(out, heightKey, static_cast<int>(height * 96 / 72) + 30);
            const qsizetype at = out.lastIndexOf(heightKey, -1, Qt::CaseInsensitive);
            qsizetype end = at + heightKey.size();
            while (end < out.size() && out.at(end).isDigit())
                ++end;
            const qsizetype src = out.indexOf(QStringLiteral("src="), 0, Qt::CaseInsensitive);
            const QChar quote = src >= 0 && src + 4 < out.size() && out.at(src + 4) == u'"'
                                    ? QChar(u'"')
                                    : QChar(u'\'');
            out = out.left(end) + quote + QStringLiteral("></script>");
        }
        if (!floatStyle.isEmpty())
            out = QStringLiteral("<div style='") + floatStyle + QStringLiteral("'>") + out +
                  QStringLiteral("</div>");
        return out;
    }
    const QString address = addressOf(markup);
    if (ebook) {
        if (address.isEmpty() || !isMapAddress(address))
            return QString();
        // In a block of its own: an XHTML 1.1 body holds no inline element directly.
        return QStringLiteral("<div><small><a href='") + attributeAddress(address) +
               QStringLiteral("' style='color:#0000FF;text-align:left'>MAP</a></small></div>");
    }
    QString out = QStringLiteral("<iframe src='") + attributeAddress(address) +
                  QStringLiteral("' style='width: ") + number(width + 30) +
                  QStringLiteral("pt; height: ") + number(height + 30) + QStringLiteral("pt;") +
                  (floatStyle.isEmpty() ? QString() : u' ' + floatStyle) + QStringLiteral("'>") +
                  kFrameFallback + QStringLiteral("</iframe>");
    if (isMapAddress(address))
        out += QStringLiteral("<br /><small><a href='") + attributeAddress(address) +
               QStringLiteral("'>") + escapeText(mapSiteName(address)) +
               QStringLiteral("</a></small>");
    return out;
}

void convertEmbeddedBlocks(TokenTable& tokens, bool ebook) {
    TokenTable out;
    out.reserve(tokens.size());
    const int n = static_cast<int>(tokens.size());
    for (int i = 0; i < n; ++i) {
        HtmlToken& t = tokens[i];
        if (t.opens(u"p") && i + 2 < n && tokens[i + 1].isText() && tokens[i + 2].closes(u"p")) {
            const QString background =
                css::value(t.style, QStringLiteral("background-color")).toUpper();
            const QString& text = tokens[i + 1].attrs;
            const bool frame = background == u"#FEFEFA" &&
                               text.startsWith(QStringLiteral("[Iframe:"), Qt::CaseInsensitive);
            const bool script = background == u"#FEFAFE" &&
                                text.startsWith(QStringLiteral("[Script:"), Qt::CaseInsensitive);
            if (frame || script) {
                QString inner = text.mid(8);
                if (inner.endsWith(u']'))
                    inner.chop(1);
                QString style = t.style;
                if (attr::value(t.attrs, u"align").compare(u"left", Qt::CaseInsensitive) == 0 ||
                    attr::value(t.attrs, u"align").compare(u"right", Qt::CaseInsensitive) == 0)
                    css::set(style, QStringLiteral("float"),
                             attr::value(t.attrs, u"align").toLower());
                const QString markup =
                    embeddedMarkup(style, decodeBlockMarkup(inner), script, ebook);
                if (script && !markup.isEmpty()) {
                    // A script is written exactly as the user gave it.
                    HtmlToken raw;
                    raw.name = QStringLiteral("###script");
                    raw.attrs = markup;
                    out.push_back(std::move(raw));
                } else if (!markup.isEmpty()) {
                    tokenize(markup, out);
                }
                i += 2;
                continue;
            }
        }
        out.push_back(std::move(t));
    }
    tokens.swap(out);
}

void wrapBackgroundParagraphs(TokenTable& tokens) {
    const std::vector<int> partner = pairRecords(tokens);
    TokenTable out;
    out.reserve(tokens.size() + 8);
    std::vector<bool> closeSpan(tokens.size(), false);
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        HtmlToken& t = tokens[i];
        if (closeSpan[i]) {
            HtmlToken close;
            close.name = QStringLiteral("/span");
            close.step = -1;
            out.push_back(std::move(close));
        }
        if (t.opens(u"p") && partner[i] > i) {
            const QString background = css::value(t.style, QStringLiteral("background-color"));
            if (!background.isEmpty()) {
                css::remove(t.style, QStringLiteral("background-color"));
                out.push_back(std::move(t));
                HtmlToken span;
                span.name = QStringLiteral("span");
                span.step = 1;
                span.style = QStringLiteral("background-color:") + background + u';';
                out.push_back(std::move(span));
                closeSpan[partner[i]] = true;
                continue;
            }
        }
        out.push_back(std::move(t));
    }
    tokens.swap(out);
}

}  // namespace arbor::web
