#include "web/html_tokens.h"

#include <array>

namespace arbor::web {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Cuts the style attributes out of an attribute text; the rest keeps its own spelling.
void splitStyle(QStringView attributes, QString& rest, QString& style) {
    const qsizetype n = attributes.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && isBlank(attributes[i]))
            ++i;
        if (i >= n)
            break;
        const qsizetype start = i;
        while (i < n && !isBlank(attributes[i]) && attributes[i] != u'=')
            ++i;
        const QStringView name = attributes.mid(start, i - start);
        qsizetype j = i;
        while (j < n && isBlank(attributes[j]))
            ++j;
        QStringView value;
        bool hasValue = false;
        if (j < n && attributes[j] == u'=') {
            hasValue = true;
            ++j;
            while (j < n && isBlank(attributes[j]))
                ++j;
            if (j < n && (attributes[j] == u'"' || attributes[j] == u'\'')) {
                const QChar quote = attributes[j];
                const qsizetype close = attributes.indexOf(quote, j + 1);
                const qsizetype end = close < 0 ? n : close;
                value = attributes.mid(j + 1, end - j - 1);
                i = close < 0 ? n : close + 1;
            } else {
                const qsizetype vs = j;
                while (j < n && !isBlank(attributes[j]))
                    ++j;
                value = attributes.mid(vs, j - vs);
                i = j;
            }
        }
        if (hasValue && name.compare(u"style", Qt::CaseInsensitive) == 0) {
            style += value;
            if (!style.isEmpty() && !style.trimmed().endsWith(u';'))
                style += u';';
        } else {
            rest += u' ';
            rest += attributes.mid(start, i - start);
        }
    }
}

// The names of the elements the export writes, shared instead of allocated per record.
QString internedName(QStringView name, bool closing) {
    static const QString kNames[][2] = {
        {QStringLiteral("div"), QStringLiteral("/div")},
        {QStringLiteral("span"), QStringLiteral("/span")},
        {QStringLiteral("p"), QStringLiteral("/p")},
        {QStringLiteral("a"), QStringLiteral("/a")},
        {QStringLiteral("br"), QStringLiteral("/br")},
        {QStringLiteral("td"), QStringLiteral("/td")},
        {QStringLiteral("tr"), QStringLiteral("/tr")},
        {QStringLiteral("table"), QStringLiteral("/table")},
        {QStringLiteral("img"), QStringLiteral("/img")},
        {QStringLiteral("li"), QStringLiteral("/li")},
        {QStringLiteral("ul"), QStringLiteral("/ul")},
        {QStringLiteral("ol"), QStringLiteral("/ol")},
        {QStringLiteral("body"), QStringLiteral("/body")},
        {QStringLiteral("th"), QStringLiteral("/th")},
    };
    for (const auto& pair : kNames)
        if (name.compare(pair[0], Qt::CaseInsensitive) == 0)
            return pair[closing ? 1 : 0];
    const QString lower = name.toString().toLower();
    return closing ? u'/' + lower : lower;
}

void addText(QStringView text, TokenTable& out) {
    bool onlyBlanks = true;
    bool lineBreak = false;
    for (const QChar c : text) {
        if (c == u'\n' || c == u'\r')
            lineBreak = true;
        else if (!isBlank(c))
            onlyBlanks = false;
    }
    // The line breaks an export puts between its tags are no text.
    if (text.isEmpty() || (onlyBlanks && lineBreak))
        return;
    static const QString kText = QStringLiteral("val");
    HtmlToken t;
    t.name = kText;
    t.attrs.reserve(text.size());
    bool blank = false;
    for (const QChar c : text) {
        if (isBlank(c)) {
            if (!blank)
                t.attrs += u' ';
            blank = true;
        } else {
            t.attrs += c;
            blank = false;
        }
    }
    out.push_back(std::move(t));
}

void addTag(QStringView tag, TokenTable& out) {
    // tag: the text between "<" and ">".
    HtmlToken t;
    qsizetype i = 0;
    const qsizetype n = tag.size();
    bool closing = false;
    if (i < n && tag[i] == u'/') {
        closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < n && !isBlank(tag[i]) && tag[i] != u'/')
        ++i;
    t.name = internedName(tag.mid(nameStart, i - nameStart), closing);
    QStringView rest = tag.mid(i).trimmed();
    if (rest.endsWith(u'/'))
        rest.chop(1);
    if (closing) {
        t.step = -1;
    } else {
        t.step = isVoidElement(t.name) ? 0 : 1;
        splitStyle(rest, t.attrs, t.style);
    }
    out.push_back(std::move(t));
}

// The end of the tag opened at `start` ("<"); a quote right after "=" runs to its
// partner. -1 when the tag does not end.
qsizetype tagEnd(QStringView markup, qsizetype start) {
    QChar quote;
    QChar lastNonBlank;
    for (qsizetype i = start + 1; i < markup.size(); ++i) {
        const QChar c = markup[i];
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
                lastNonBlank = c;
            }
            continue;
        }
        if (c == u'>')
            return i;
        if ((c == u'"' || c == u'\'') && lastNonBlank == u'=')
            quote = c;
        else if (!isBlank(c))
            lastNonBlank = c;
    }
    return -1;
}

}  // namespace

bool isVoidElement(QStringView name) {
    static constexpr std::array<char16_t const*, 13> kVoid = {
        u"br",   u"img",  u"hr",    u"meta",  u"link", u"input", u"col",
        u"area", u"base", u"param", u"embed", u"wbr",  u"source"};
    for (const char16_t* v : kVoid)
        if (name == QStringView(v))
            return true;
    return false;
}

void tokenize(QStringView markup, TokenTable& out) {
    out.reserve(out.size() + markup.size() / 24);
    const qsizetype n = markup.size();
    qsizetype textStart = 0;
    qsizetype i = 0;
    while (i < n) {
        const qsizetype lt = markup.indexOf(u'<', i);
        if (lt < 0)
            break;
        const QChar next = lt + 1 < n ? markup[lt + 1] : QChar();
        if (markup.mid(lt, 4) == u"<!--") {
            const qsizetype end = markup.indexOf(u"-->", lt + 4);
            const qsizetype stop = end < 0 ? n : end + 3;
            addText(markup.mid(textStart, lt - textStart), out);
            HtmlToken raw;
            raw.name = QStringLiteral("###comment");
            raw.attrs = markup.mid(lt, stop - lt).toString();
            out.push_back(std::move(raw));
            i = textStart = stop;
            continue;
        }
        if (!(next.isLetter() || next == u'/' || next == u'!')) {
            i = lt + 1;  // a lone "<" is text
            continue;
        }
        const qsizetype gt = tagEnd(markup, lt);
        if (gt < 0)
            break;
        addText(markup.mid(textStart, lt - textStart), out);
        if (next != u'!')
            addTag(markup.mid(lt + 1, gt - lt - 1), out);
        i = textStart = gt + 1;
    }
    addText(markup.mid(textStart), out);
}

void compact(TokenTable& tokens) {
    std::erase_if(tokens, [](const HtmlToken& t) { return t.dropped; });
}

std::vector<int> pairRecords(const TokenTable& tokens) {
    std::vector<int> partner(tokens.size(), -1);
    std::vector<int> open;
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        const HtmlToken& t = tokens[i];
        if (t.dropped)
            continue;
        if (t.step > 0) {
            open.push_back(i);
        } else if (t.step < 0) {
            const QStringView element = t.element();
            // The nearest open record of the same element; those above it stay unpaired.
            for (int k = static_cast<int>(open.size()) - 1; k >= 0; --k) {
                if (tokens[open[k]].name == element) {
                    partner[open[k]] = i;
                    partner[i] = open[k];
                    open.resize(k);
                    break;
                }
            }
        }
    }
    return partner;
}

int nextLive(const TokenTable& tokens, int index) {
    for (int i = index + 1; i < static_cast<int>(tokens.size()); ++i)
        if (!tokens[i].dropped)
            return i;
    return -1;
}

int previousLive(const TokenTable& tokens, int index) {
    for (int i = index - 1; i >= 0; --i)
        if (!tokens[i].dropped)
            return i;
    return -1;
}

namespace {

bool startsLine(QStringView name) {
    static constexpr std::array<char16_t const*, 12> kBlocks = {
        u"h1", u"h3", u"h5", u"p", u"ol", u"ul", u"table", u"tr", u"td", u"div", u"body", u"html"};
    for (const char16_t* b : kBlocks)
        if (name == QStringView(b))
            return true;
    return false;
}

void writeStyleValue(QString& out, const QString& style) {
    for (const QChar c : style) {
        if (c == u'"')
            out += u"&quot;";
        else
            out += c;
    }
}

}  // namespace

QString writeTokens(const TokenTable& tokens, const OutputOptions& options) {
    qsizetype size = 0;
    for (const HtmlToken& t : tokens)
        size += t.name.size() + t.attrs.size() + t.style.size() + t.tail.size() + 16;
    QString out;
    out.reserve(size);
    int level = 0;
    for (const HtmlToken& t : tokens) {
        if (t.dropped)
            continue;
        if (t.isText() || t.isRaw()) {
            out += t.attrs;
            out += t.tail;
            continue;
        }
        if (t.step < 0)
            level = std::max(0, level - 1);
        const bool picture = options.ebookPictureBoxes && t.name == u"img";
        if (t.step > 0 && startsLine(t.name)) {
            out += u"\r\n";
            out += QString(level * 2, u' ');
        }
        if (picture)
            out += u"<div class=\"dipc\">";
        out += u'<';
        out += t.name;
        out += t.attrs;
        if (!t.className.isEmpty()) {
            out += u" class=\"";
            out += t.className;
            out += u'"';
        }
        if (!t.style.isEmpty()) {
            out += u" style=\"";
            writeStyleValue(out, t.style);
            out += u'"';
        }
        out += u'>';
        if (picture)
            out += u"</div>";
        out += t.tail;
        if (t.step > 0)
            ++level;
    }
    return out;
}

}  // namespace arbor::web
