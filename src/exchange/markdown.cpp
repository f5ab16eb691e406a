#include "exchange/markdown.h"

#include <QRegularExpression>
#include <QStringList>
#include <vector>

namespace arbor::markdown {

namespace {

QString escapeHtml(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
            case u'&':
                out += QStringLiteral("&amp;");
                break;
            case u'<':
                out += QStringLiteral("&lt;");
                break;
            case u'>':
                out += QStringLiteral("&gt;");
                break;
            case u'"':
                out += QStringLiteral("&quot;");
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool isAsciiPunctuation(QChar c) {
    static const QString marks = QStringLiteral("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~");
    return marks.contains(c);
}

bool isPunctuation(QChar c) {
    return c.isPunct() || c.isSymbol();
}

// ---------------------------------------------------------------- inlines

// A run of characters already written as HTML, or a run of * or _ that may open or close
// emphasis. Matched delimiters put their tags into before (closing) and after (opening).
struct Token {
    QString html;
    QChar delimiter;
    int count = 0;
    bool canOpen = false;
    bool canClose = false;
    QString before;
    QString after;
};

struct Link {
    QString text;
    QString destination;
    QString title;
    qsizetype end = 0;  // just behind the closing parenthesis
};

QString unescape(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && isAsciiPunctuation(text[i + 1]))
            ++i;
        out += text[i];
    }
    return out;
}

// "[text](destination "title")" starting at the opening bracket.
bool parseLink(const QString& s, qsizetype open, Link& link) {
    const qsizetype n = s.size();
    int depth = 0;
    qsizetype close = -1;
    for (qsizetype i = open; i < n; ++i) {
        if (s[i] == u'\\') {
            ++i;
            continue;
        }
        if (s[i] == u'[')
            ++depth;
        else if (s[i] == u']' && --depth == 0) {
            close = i;
            break;
        }
    }
    if (close < 0 || close + 1 >= n || s[close + 1] != u'(')
        return false;
    qsizetype i = close + 2;
    auto skipBlanks = [&] {
        while (i < n && (s[i] == u' ' || s[i] == u'\n'))
            ++i;
    };
    skipBlanks();
    QString destination;
    if (i < n && s[i] == u'<') {
        const qsizetype end = s.indexOf(u'>', i + 1);
        if (end < 0 || s.mid(i + 1, end - i - 1).contains(u'\n'))
            return false;
        destination = s.mid(i + 1, end - i - 1);
        i = end + 1;
    } else {
        int parens = 0;
        const qsizetype start = i;
        for (; i < n; ++i) {
            const QChar c = s[i];
            if (c == u'\\' && i + 1 < n) {
                ++i;
                continue;
            }
            if (c == u' ' || c == u'\n' || (c == u')' && parens == 0))
                break;
            if (c == u'(')
                ++parens;
            else if (c == u')')
                --parens;
        }
        destination = s.mid(start, i - start);
    }
    skipBlanks();
    QString title;
    if (i < n && (s[i] == u'"' || s[i] == u'\'' || s[i] == u'(')) {
        const QChar end = s[i] == u'(' ? QChar(u')') : s[i];
        const qsizetype stop = s.indexOf(end, i + 1);
        if (stop < 0)
            return false;
        title = s.mid(i + 1, stop - i - 1);
        i = stop + 1;
        skipBlanks();
    }
    if (i >= n || s[i] != u')')
        return false;
    link.text = s.mid(open + 1, close - open - 1);
    link.destination = unescape(destination);
    link.title = unescape(title);
    link.end = i + 1;
    return true;
}

// The text of a picture's alternative text: the inline markup left out.
QString plainOf(const QString& text) {
    static const QRegularExpression markup(QStringLiteral("[*_`]|!?\\[|\\]\\([^)]*\\)"));
    return unescape(QString(text).remove(markup));
}

QString titleAttribute(const QString& title) {
    return title.isEmpty() ? QString()
                           : QStringLiteral(" title=\"") + escapeHtml(title) + QStringLiteral("\"");
}

// Pairs openers and closers (nearest opener first); a pair of two or more characters on
// both sides is strong, else emphasis.
void matchDelimiters(std::vector<Token>& tokens) {
    for (size_t c = 0; c < tokens.size(); ++c) {
        Token& closer = tokens[c];
        while (!closer.delimiter.isNull() && closer.canClose && closer.count > 0) {
            qsizetype o = static_cast<qsizetype>(c) - 1;
            for (; o >= 0; --o) {
                const Token& t = tokens[o];
                if (t.delimiter == closer.delimiter && t.canOpen && t.count > 0)
                    break;
            }
            if (o < 0)
                break;
            Token& opener = tokens[o];
            const int used = opener.count >= 2 && closer.count >= 2 ? 2 : 1;
            const QString tag = used == 2 ? QStringLiteral("strong") : QStringLiteral("em");
            opener.count -= used;
            closer.count -= used;
            opener.after = u'<' + tag + u'>' + opener.after;
            closer.before += QStringLiteral("</") + tag + u'>';
            // Delimiters between the pair can no longer open across it.
            for (size_t k = o + 1; k < c; ++k)
                tokens[k].canOpen = false;
        }
    }
}

QString inlines(const QString& s) {
    static const QRegularExpression autolink(
        QStringLiteral("\\G<([A-Za-z][A-Za-z0-9+.-]{1,31}:[^\\s<>]*)>"));
    static const QRegularExpression mailLink(
        QStringLiteral("\\G<([^\\s@<>\\\\]+@[A-Za-z0-9-]+(?:\\.[A-Za-z0-9-]+)+)>"));
    static const QRegularExpression entity(
        QStringLiteral("\\G&(?:#[0-9]{1,7}|#[xX][0-9A-Fa-f]{1,6}|[A-Za-z][A-Za-z0-9]{1,31});"));

    std::vector<Token> tokens;
    QString text;
    auto flush = [&] {
        if (!text.isEmpty())
            tokens.push_back({text, QChar(), 0, false, false, {}, {}});
        text.clear();
    };
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c == u'\\' && i + 1 < n) {
            const QChar next = s[i + 1];
            if (next == u'\n') {
                text += QStringLiteral("<br>\n");
                i += 2;
                continue;
            }
            if (isAsciiPunctuation(next)) {
                text += escapeHtml(QStringView(s).mid(i + 1, 1));
                i += 2;
                continue;
            }
        }
        if (c == u'`') {
            qsizetype run = 0;
            while (i + run < n && s[i + run] == u'`')
                ++run;
            // The closing run has exactly the same length.
            qsizetype close = i + run;
            for (;;) {
                close = s.indexOf(QString(run, u'`'), close);
                if (close < 0)
                    break;
                qsizetype end = close;
                while (end < n && s[end] == u'`')
                    ++end;
                if (end - close == run)
                    break;
                close = end;
            }
            if (close >= 0) {
                QString code = s.mid(i + run, close - i - run);
                code.replace(u'\n', u' ');
                if (code.size() >= 2 && code.startsWith(u' ') && code.endsWith(u' ') &&
                    !code.trimmed().isEmpty())
                    code = code.mid(1, code.size() - 2);
                text += QStringLiteral("<code>") + escapeHtml(code) + QStringLiteral("</code>");
                i = close + run;
            } else {
                text += QString(run, u'`');
                i += run;
            }
            continue;
        }
        Link link;
        if (c == u'!' && i + 1 < n && s[i + 1] == u'[' && parseLink(s, i + 1, link)) {
            text += QStringLiteral("<img src=\"") + escapeHtml(link.destination) +
                    QStringLiteral("\" alt=\"") + escapeHtml(plainOf(link.text)) + u'"' +
                    titleAttribute(link.title) + u'>';
            i = link.end;
            continue;
        }
        if (c == u'[' && parseLink(s, i, link)) {
            text += QStringLiteral("<a href=\"") + escapeHtml(link.destination) + u'"' +
                    titleAttribute(link.title) + u'>' + inlines(link.text) + QStringLiteral("</a>");
            i = link.end;
            continue;
        }
        if (c == u'<') {
            QRegularExpressionMatch m = autolink.match(s, i);
            const bool mail = !m.hasMatch();
            if (mail)
                m = mailLink.match(s, i);
            if (m.hasMatch()) {
                const QString target = m.captured(1);
                text +=
                    QStringLiteral("<a href=\"") +
                    escapeHtml(QString((mail ? QStringLiteral("mailto:") : QString()) + target)) +
                    QStringLiteral("\">") + escapeHtml(target) + QStringLiteral("</a>");
                i = m.capturedEnd();
                continue;
            }
        }
        if (c == u'&') {
            const QRegularExpressionMatch m = entity.match(s, i);
            if (m.hasMatch()) {
                text += m.captured();
                i = m.capturedEnd();
                continue;
            }
        }
        if (c == u'*' || c == u'_') {
            flush();
            qsizetype run = 0;
            while (i + run < n && s[i + run] == c)
                ++run;
            const QChar before = i > 0 ? s[i - 1] : QChar(u' ');
            const QChar after = i + run < n ? s[i + run] : QChar(u' ');
            Token t;
            t.delimiter = c;
            t.count = static_cast<int>(run);
            if (c == u'*') {
                // Japanese text has no blanks around emphasis, and often punctuation
                // inside it: a star opens before a non-blank and closes after one.
                t.canOpen = !after.isSpace();
                t.canClose = !before.isSpace();
            } else {
                const bool left = !after.isSpace() && (!isPunctuation(after) || before.isSpace() ||
                                                       isPunctuation(before));
                const bool right = !before.isSpace() && (!isPunctuation(before) ||
                                                         after.isSpace() || isPunctuation(after));
                t.canOpen = left && (!right || isPunctuation(before));
                t.canClose = right && (!left || isPunctuation(after));
            }
            tokens.push_back(t);
            i += run;
            continue;
        }
        if (c == u' ') {
            qsizetype run = 0;
            while (i + run < n && s[i + run] == u' ')
                ++run;
            if (i + run < n && s[i + run] == u'\n') {
                text += run >= 2 ? QStringLiteral("<br>\n") : QStringLiteral("\n");
                i += run + 1;
            } else {
                text += QString(run, u' ');
                i += run;
            }
            continue;
        }
        text += escapeHtml(QStringView(s).mid(i, 1));
        ++i;
    }
    flush();
    matchDelimiters(tokens);
    QString out;
    for (const Token& t : tokens) {
        if (t.delimiter.isNull())
            out += t.html;
        else
            out += t.before + QString(t.count, t.delimiter) + t.after;
    }
    return out;
}

// ---------------------------------------------------------------- blocks

const QRegularExpression& atxHeading() {
    static const QRegularExpression re(QStringLiteral("^ {0,3}(#{1,6})(?:[ \\t]+(.*?))?[ \\t]*$"));
    return re;
}
const QRegularExpression& fenceOpen() {
    static const QRegularExpression re(QStringLiteral("^( {0,3})(`{3,}|~{3,})[ \\t]*(.*)$"));
    return re;
}
const QRegularExpression& thematicBreak() {
    static const QRegularExpression re(
        QStringLiteral("^ {0,3}(?:(?:\\*[ \\t]*){3,}|(?:-[ \\t]*){3,}|(?:_[ \\t]*){3,})$"));
    return re;
}
const QRegularExpression& setextUnderline() {
    static const QRegularExpression re(QStringLiteral("^ {0,3}(=+|-+)[ \\t]*$"));
    return re;
}
const QRegularExpression& quoteMarker() {
    static const QRegularExpression re(QStringLiteral("^ {0,3}> ?(.*)$"));
    return re;
}
const QRegularExpression& listMarker() {
    static const QRegularExpression re(
        QStringLiteral("^( {0,3})([-*+]|([0-9]{1,9})([.)]))( +|$)(.*)$"));
    return re;
}

bool isBlank(const QString& line) {
    return line.trimmed().isEmpty();
}

int indentOf(const QString& line) {
    int n = 0;
    while (n < line.size() && line[n] == u' ')
        ++n;
    return n;
}

// Tabs at the start of a line count to the next multiple of four columns.
QString expandTabs(const QString& line) {
    if (!line.contains(u'\t'))
        return line;
    QString out;
    int column = 0;
    for (const QChar c : line) {
        if (c == u'\t') {
            const int spaces = 4 - column % 4;
            out += QString(spaces, u' ');
            column += spaces;
        } else {
            out += c;
            ++column;
        }
    }
    return out;
}

struct ListItemStart {
    bool ordered = false;
    QChar marker;  // the bullet, or the delimiter after the number
    int start = 1;
    int contentColumn = 0;
    QString content;
};

bool listItemStart(const QString& line, ListItemStart& item) {
    const QRegularExpressionMatch m = listMarker().match(line);
    if (!m.hasMatch() || thematicBreak().match(line).hasMatch())
        return false;
    item.ordered = m.hasCaptured(3) && !m.captured(3).isEmpty();
    item.marker = item.ordered ? m.captured(4).at(0) : m.captured(2).at(0);
    item.start = item.ordered ? m.captured(3).toInt() : 1;
    const int markerEnd = static_cast<int>(m.capturedEnd(2));
    const int spaces = static_cast<int>(m.capturedLength(5));
    // Content indented by more than four blanks keeps the extra as text.
    item.contentColumn = markerEnd + (spaces == 0 || spaces > 4 ? 1 : spaces);
    item.content = line.mid(std::min<qsizetype>(item.contentColumn, line.size()));
    return true;
}

bool startsBlock(const QString& line) {
    ListItemStart item;
    return atxHeading().match(line).hasMatch() || fenceOpen().match(line).hasMatch() ||
           thematicBreak().match(line).hasMatch() || quoteMarker().match(line).hasMatch() ||
           listItemStart(line, item);
}

QString blocks(const QStringList& lines, bool tight);

QString paragraphHtml(const QStringList& paragraph, bool tight) {
    QStringList parts;
    for (const QString& l : paragraph)
        parts << l.mid(indentOf(l));
    QString text = parts.join(u'\n');
    while (text.endsWith(u' '))
        text.chop(1);
    const QString html = inlines(text);
    if (tight)
        return html;  // a blank here would end the item's text
    return QStringLiteral("<p>") + html + QStringLiteral("</p>\n");
}

QString listHtml(const QStringList& lines, qsizetype& i) {
    ListItemStart first;
    listItemStart(lines[i], first);
    std::vector<QStringList> items;
    bool loose = false;
    const qsizetype n = lines.size();
    while (i < n) {
        ListItemStart item;
        if (!listItemStart(lines[i], item) || item.ordered != first.ordered ||
            item.marker != first.marker)
            break;
        QStringList content{item.content};
        ++i;
        int blanks = 0;
        bool lastWasText = !isBlank(item.content);
        while (i < n) {
            const QString& line = lines[i];
            if (isBlank(line)) {
                ++blanks;
                ++i;
                continue;
            }
            if (indentOf(line) >= item.contentColumn) {
                if (blanks > 0 && !(content.size() == 1 && isBlank(content.front())))
                    loose = true;
                for (; blanks > 0; --blanks)
                    content << QString();
                content << line.mid(item.contentColumn);
                lastWasText = true;
                ++i;
                continue;
            }
            if (blanks == 0 && lastWasText && !startsBlock(line)) {
                content << line;  // a lazy continuation of the item's paragraph
                ++i;
                continue;
            }
            break;
        }
        items.push_back(content);
        if (blanks > 0) {
            ListItemStart next;
            if (i < n && listItemStart(lines[i], next) && next.ordered == first.ordered &&
                next.marker == first.marker)
                loose = true;
            else
                break;
        }
    }
    QString html;
    if (first.ordered)
        html = first.start == 1 ? QStringLiteral("<ol>\n")
                                : QStringLiteral("<ol start=\"%1\">\n").arg(first.start);
    else
        html = QStringLiteral("<ul>\n");
    for (const QStringList& item : items) {
        QString inner = blocks(item, !loose);
        if (inner.endsWith(u'\n'))
            inner.chop(1);
        html += QStringLiteral("<li>") + inner + QStringLiteral("</li>\n");
    }
    html += first.ordered ? QStringLiteral("</ol>\n") : QStringLiteral("</ul>\n");
    return html;
}

QString blocks(const QStringList& lines, bool tight) {
    QString html;
    QStringList paragraph;
    auto flush = [&] {
        if (!paragraph.isEmpty())
            html += paragraphHtml(paragraph, tight);
        paragraph.clear();
    };
    const qsizetype n = lines.size();
    qsizetype i = 0;
    while (i < n) {
        const QString& line = lines[i];
        if (isBlank(line)) {
            flush();
            ++i;
            continue;
        }
        QRegularExpressionMatch m = fenceOpen().match(line);
        if (m.hasMatch() && !(m.captured(2).at(0) == u'`' && m.captured(3).contains(u'`'))) {
            flush();
            const int indent = static_cast<int>(m.capturedLength(1));
            const QChar fence = m.captured(2).at(0);
            const qsizetype length = m.capturedLength(2);
            QStringList code;
            ++i;
            for (; i < n; ++i) {
                const QString body = lines[i].mid(std::min(indent, indentOf(lines[i])));
                const QString closing = body.trimmed();
                if (indentOf(lines[i]) <= 3 && closing.size() >= length &&
                    closing == QString(closing.size(), fence)) {
                    ++i;
                    break;
                }
                code << body;
            }
            html += QStringLiteral("<pre><code>") + escapeHtml(code.join(u'\n')) +
                    QStringLiteral("</code></pre>\n");
            continue;
        }
        m = atxHeading().match(line);
        if (m.hasMatch()) {
            flush();
            QString content = m.captured(2);
            static const QRegularExpression closingHashes(QStringLiteral("(^|[ \\t]+)#+$"));
            content.remove(closingHashes);
            const QString level = QString::number(m.capturedLength(1));
            html += QStringLiteral("<h") + level + u'>' + inlines(content.trimmed()) +
                    QStringLiteral("</h") + level + QStringLiteral(">\n");
            ++i;
            continue;
        }
        m = setextUnderline().match(line);
        if (m.hasMatch() && !paragraph.isEmpty()) {
            const QString level = QString(m.captured(1).startsWith(u'=') ? u'1' : u'2');
            QStringList text = paragraph;
            paragraph.clear();
            html += QStringLiteral("<h") + level + u'>' + paragraphHtml(text, true) +
                    QStringLiteral("</h") + level + QStringLiteral(">\n");
            ++i;
            continue;
        }
        if (thematicBreak().match(line).hasMatch()) {
            flush();
            html += QStringLiteral("<hr>\n");
            ++i;
            continue;
        }
        if (quoteMarker().match(line).hasMatch()) {
            flush();
            QStringList inner;
            bool lastWasText = false;
            while (i < n) {
                const QRegularExpressionMatch q = quoteMarker().match(lines[i]);
                if (q.hasMatch()) {
                    inner << q.captured(1);
                    lastWasText = !isBlank(q.captured(1));
                } else if (lastWasText && !isBlank(lines[i]) && !startsBlock(lines[i])) {
                    inner << lines[i];
                } else {
                    break;
                }
                ++i;
            }
            html += QStringLiteral("<blockquote>\n") + blocks(inner, false) +
                    QStringLiteral("</blockquote>\n");
            continue;
        }
        ListItemStart item;
        if (listItemStart(line, item)) {
            // Inside a paragraph only a non-empty bullet or an item numbered 1 starts a list.
            const bool interrupts = !isBlank(item.content) && (!item.ordered || item.start == 1);
            if (paragraph.isEmpty() || interrupts) {
                flush();
                html += listHtml(lines, i);
                continue;
            }
        }
        paragraph << line;
        ++i;
    }
    flush();
    return html;
}

}  // namespace

QString inlineHtml(const QString& text) {
    return inlines(text);
}

QString toHtml(const QString& markdown) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = markdown.split(lineBreak);
    for (QString& line : lines)
        line = expandTabs(line);
    return blocks(lines, false);
}

}  // namespace arbor::markdown
