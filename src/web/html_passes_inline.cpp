// Passes over inline records: spans, links, pictures and line breaks.
#include <QUrl>

#include "web/css_style.h"
#include "web/html_attributes.h"
#include "web/html_passes.h"
#include "web/html_text.h"

namespace arbor::web::passes {

namespace {

bool isNonBreakingSpace(const QString& text) {
    return text == u"&nbsp;" || text == u"&#160;" || text == QString(QChar(0x00A0));
}

QString plainText(const QString& markupText) {
    QString t = markupText;
    t.replace(QStringLiteral("&#160;"), QStringLiteral(" "));
    t.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    t.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    t.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    t.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    t.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    t.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return t;
}

void dropPair(TokenTable& tokens, int open, const std::vector<int>& partner) {
    tokens[open].dropped = true;
    if (partner[open] >= 0)
        tokens[partner[open]].dropped = true;
}

}  // namespace

void ebookPictures(TokenTable& tokens) {
    const int n = static_cast<int>(tokens.size());
    for (int i = 0; i < n; ++i) {
        if (tokens[i].dropped || tokens[i].name != u"img")
            continue;
        int start = i, end = i;
        const int before = previousLive(tokens, i), after = nextLive(tokens, i);
        if (before >= 0 && after >= 0 && tokens[before].opens(u"a") && tokens[after].closes(u"a")) {
            start = before;
            end = after;
        }
        const int br1 = previousLive(tokens, start);
        if (br1 >= 0 && tokens[br1].name == u"br")
            tokens[br1].dropped = true;
        const int br2 = nextLive(tokens, end);
        if (br2 >= 0 && tokens[br2].name == u"br")
            tokens[br2].dropped = true;
        const int open = previousLive(tokens, start), close = nextLive(tokens, end);
        if (open >= 0 && close >= 0 && tokens[open].opens(u"span") &&
            tokens[close].closes(u"span")) {
            tokens[open].dropped = true;
            tokens[close].dropped = true;
        }
    }
}

void termLinks(TokenTable& tokens, const HtmlSiteSettings& site) {
    const std::vector<int> partner = pairRecords(tokens);
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        HtmlToken& t = tokens[i];
        if (t.dropped || !t.opens(u"a"))
            continue;
        const QString href = attr::value(t.attrs, u"href");
        const qsizetype at = href.indexOf(QStringLiteral("#TP_"), 0, Qt::CaseInsensitive);
        if (at < 0)
            continue;
        const QString term = plainText(QUrl::fromPercentEncoding(href.mid(at + 4).toUtf8()));
        QString text;
        const int end = partner[i] < 0 ? i : partner[i];
        for (int k = i + 1; k < end; ++k)
            if (!tokens[k].dropped && tokens[k].isText())
                text += plainText(tokens[k].attrs);
        QString title = text;
        const auto found = site.termTexts.constFind(term);
        if (found != site.termTexts.cend()) {
            QString explanation = found.value();
            explanation.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
            explanation.replace(u'\r', u' ');
            explanation.replace(u'\n', u' ');
            title += QStringLiteral(" : ") + explanation;
        }
        t.name = QStringLiteral("span");
        t.attrs = QStringLiteral(" title=\"") + escapeAttribute(title) + u'"';
        if (partner[i] >= 0)
            tokens[partner[i]].name = QStringLiteral("/span");
    }
}

void pictureSpans(TokenTable& tokens) {
    const int n = static_cast<int>(tokens.size());
    for (int i = 0; i < n; ++i) {
        if (tokens[i].dropped || !tokens[i].opens(u"span"))
            continue;
        const int inner = nextLive(tokens, i);
        if (inner < 0 || (tokens[inner].name != u"br" && tokens[inner].name != u"img"))
            continue;
        const int close = nextLive(tokens, inner);
        if (close >= 0 && tokens[close].closes(u"span")) {
            tokens[i].dropped = true;
            tokens[close].dropped = true;
        }
    }
}

void emptyElements(TokenTable& tokens) {
    // From the end, so a block that held only an empty span is empty in turn.
    for (int i = static_cast<int>(tokens.size()) - 1; i >= 0; --i) {
        HtmlToken& t = tokens[i];
        if (t.dropped || t.step <= 0)
            continue;
        if (t.name == u"span" || t.name == u"div") {
            const int next = nextLive(tokens, i);
            if (next >= 0 && tokens[next].step < 0 && tokens[next].element() == t.name) {
                t.dropped = true;
                tokens[next].dropped = true;
            }
        } else if (t.name == u"a" && t.attrs.trimmed().isEmpty()) {
            t.dropped = true;
            for (int k = i + 1; k < static_cast<int>(tokens.size()); ++k)
                if (!tokens[k].dropped && tokens[k].closes(u"a")) {
                    tokens[k].dropped = true;
                    break;
                }
        }
    }
}

void listItemBlocks(TokenTable& tokens) {
    const std::vector<int> partner = pairRecords(tokens);
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        if (tokens[i].dropped || !tokens[i].opens(u"li") || partner[i] < 0)
            continue;
        for (int k = i + 1; k < partner[i]; ++k)
            if (tokens[k].element() == u"div" && !tokens[k].isText())
                tokens[k].dropped = true;
    }
}

void blankSpans(TokenTable& tokens) {
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        if (tokens[i].dropped || !tokens[i].isText() || !isNonBreakingSpace(tokens[i].attrs))
            continue;
        const int open = previousLive(tokens, i), close = nextLive(tokens, i);
        if (open >= 0 && close >= 0 && tokens[open].opens(u"span") &&
            tokens[close].closes(u"span")) {
            tokens[open].dropped = true;
            tokens[close].dropped = true;
        }
    }
}

void singleSpans(TokenTable& tokens) {
    const std::vector<int> partner = pairRecords(tokens);
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        HtmlToken& block = tokens[i];
        if (block.dropped || !block.opens(u"div") || partner[i] < 0)
            continue;
        int count = 0;
        int span = -1;
        for (int k = i + 1; k < partner[i] && count < 2; ++k) {
            const HtmlToken& t = tokens[k];
            if (t.dropped || t.step <= 0)
                continue;
            if (t.name == u"a") {
                ++count;
            } else if (t.name == u"span") {
                const bool heavy = t.style.contains(QStringLiteral("background")) ||
                                   t.attrs.contains(QStringLiteral("title="));
                count += heavy ? 2 : 1;
                span = k;
            }
        }
        if (count != 1 || span < 0 || !tokens[span].attrs.trimmed().isEmpty())
            continue;
        block.style = css::merged(block.style, tokens[span].style);
        dropPair(tokens, span, partner);
    }
}

void ebookEmptySpans(TokenTable& tokens) {
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        if (tokens[i].dropped || !tokens[i].opens(u"span"))
            continue;
        const int inner = nextLive(tokens, i);
        if (inner < 0)
            continue;
        const HtmlToken& t = tokens[inner];
        bool empty = t.name == u"br";
        if (t.isText()) {
            QString text = t.attrs;
            text.remove(QChar(kIdeographicMarker));
            empty = text.trimmed().isEmpty();
        }
        const int close = nextLive(tokens, inner);
        if (empty && close >= 0 && tokens[close].closes(u"span")) {
            tokens[i].dropped = true;
            tokens[close].dropped = true;
        }
    }
}

void paragraphs(TokenTable& tokens) {
    const std::vector<int> partner = pairRecords(tokens);
    static const QString kLeftTop = QStringLiteral("text-align:left;vertical-align:top;");
    std::vector<int> blocks;  // open block records around the current one
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        HtmlToken& t = tokens[i];
        if (t.dropped || t.isText() || t.isRaw())
            continue;
        const QStringView e = t.element();
        const bool block = e == u"h1" || e == u"h3" || e == u"h5" || e == u"p" || e == u"div" ||
                           e == u"table" || e == u"ul" || e == u"ol" || e == u"body" ||
                           e == u"tr" || e == u"td" || e == u"li";
        if (t.step < 0) {
            if (block && !blocks.empty() && tokens[blocks.back()].element() == e)
                blocks.pop_back();
            continue;
        }
        if (t.step == 0)
            continue;
        if (t.name == u"tr")
            css::removeEqual(t.style, kLeftTop);
        if (t.name == u"span" && !blocks.empty() && t.attrs.trimmed().isEmpty() &&
            css::canonical(t.style) == css::canonical(tokens[blocks.back()].style)) {
            dropPair(tokens, i, partner);
            continue;
        }
        if (block)
            blocks.push_back(i);
    }
}

}  // namespace arbor::web::passes
