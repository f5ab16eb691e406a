// Passes over tables: widths and column shares, blocks inside cells, joined tables and
// the alignment of cells.
#include <cmath>

#include "web/css_style.h"
#include "web/html_attributes.h"
#include "web/html_passes.h"

namespace arbor::web::passes {

namespace {

bool isCell(const HtmlToken& t) {
    return t.step > 0 && (t.name == u"td" || t.name == u"th");
}

QString points(double pixels) {
    return QString::number(std::round(pixels * 72.0 / 96.0 * 100) / 100) + QStringLiteral("pt");
}

// "50%" -> 50, "120" -> 120 pixels; percent tells which.
double lengthOf(const QString& text, bool& percent) {
    QString t = text.trimmed();
    percent = t.endsWith(u'%');
    if (percent)
        t.chop(1);
    else if (t.endsWith(QStringLiteral("px"), Qt::CaseInsensitive))
        t.chop(2);
    bool ok = false;
    const double n = t.toDouble(&ok);
    return ok && n > 0 ? n : -1;
}

int spanOf(const HtmlToken& t, QStringView name) {
    const int n = attr::value(t.attrs, name).toInt();
    return n > 1 ? n : 1;
}

// Heights given as attributes become declarations in points.
void heightToStyle(HtmlToken& t) {
    bool percent = false;
    const double h = lengthOf(attr::value(t.attrs, u"height"), percent);
    if (h <= 0)
        return;
    attr::remove(t.attrs, u"height");
    css::set(t.style, QStringLiteral("height"), percent ? QString::number(h) + u'%' : points(h));
}

struct Column {
    double pixels = -1;
    double percent = -1;
};

// Each column's share of the table in whole percent: percentages as given, the rest
// shared by the other columns in the ratio of their pixel widths (a column without a
// width counts as an average one).
QString colgroup(const std::vector<Column>& columns) {
    double percentSum = 0, pixelSum = 0;
    int pixelColumns = 0;
    for (const Column& c : columns) {
        if (c.percent > 0) {
            percentSum += c.percent;
        } else if (c.pixels > 0) {
            pixelSum += c.pixels;
            ++pixelColumns;
        }
    }
    const double average = pixelColumns ? pixelSum / pixelColumns : 1.0;
    double weightSum = 0;
    for (const Column& c : columns)
        if (c.percent <= 0)
            weightSum += c.pixels > 0 ? c.pixels : average;
    const double rest = std::max(0.0, 100 - percentSum);
    QString out = QStringLiteral("\r\n    <colgroup>");
    for (const Column& c : columns) {
        const double share =
            c.percent > 0 ? c.percent
                          : rest * (c.pixels > 0 ? c.pixels : average) / std::max(weightSum, 1e-9);
        out += QStringLiteral("\r\n      <col width='") +
               QString::number(static_cast<int>(share + 1e-9)) + QStringLiteral("%'>");
    }
    out += QStringLiteral("\r\n    </colgroup>");
    return out;
}

void shapeTable(TokenTable& tokens, int table, int end, const std::vector<int>& partner,
                bool fullWidth) {
    std::vector<Column> columns;
    std::vector<int> rowspanLeft;
    int column = 0;
    for (int k = table + 1; k < end; ++k) {
        HtmlToken& t = tokens[k];
        if (t.dropped)
            continue;
        if (t.opens(u"table") && partner[k] > k) {
            k = partner[k];  // a nested table is shaped on its own
            continue;
        }
        if (t.element() == u"colgroup" || t.element() == u"col") {
            t.dropped = true;  // replaced by the colgroup written below
            continue;
        }
        if (t.opens(u"tr")) {
            column = 0;
            heightToStyle(t);
        } else if (t.closes(u"tr")) {
            for (int& left : rowspanLeft)
                if (left > 0)
                    --left;
        } else if (isCell(t)) {
            while (column < static_cast<int>(rowspanLeft.size()) && rowspanLeft[column] > 0)
                ++column;
            const int colspan = spanOf(t, u"colspan");
            const int rowspan = spanOf(t, u"rowspan");
            if (static_cast<int>(rowspanLeft.size()) < column + colspan)
                rowspanLeft.resize(column + colspan, 0);
            if (static_cast<int>(columns.size()) < column + colspan)
                columns.resize(column + colspan);
            bool percent = false;
            const double width = lengthOf(attr::value(t.attrs, u"width"), percent);
            if (width > 0 && colspan == 1) {
                Column& c = columns[column];
                if (percent && c.percent < 0)
                    c.percent = width;
                else if (!percent && c.pixels < 0)
                    c.pixels = width;
            }
            attr::remove(t.attrs, u"width");
            heightToStyle(t);
            for (int c = column; c < column + colspan; ++c)
                rowspanLeft[c] = rowspan;
            column += colspan;
        }
    }
    HtmlToken& t = tokens[table];
    bool percent = false;
    const double width = lengthOf(attr::value(t.attrs, u"width"), percent);
    attr::remove(t.attrs, u"width");
    if (fullWidth || (percent && width == 100))
        css::set(t.style, QStringLiteral("width"), QStringLiteral("100%"));
    else if (width > 0)
        css::set(t.style, QStringLiteral("width"),
                 percent ? QString::number(width) + u'%' : points(width));
    if (!columns.empty())
        t.tail += colgroup(columns);
}

// Declarations of a block that format its text rather than place it.
QString textFormatting(const QString& style) {
    QList<css::Declaration> list = css::parse(style);
    list.removeIf([](const css::Declaration& d) {
        return d.name.startsWith(u"margin") || d.name.startsWith(u"padding") ||
               d.name == u"text-align" || d.name == u"line-height" || d.name == u"text-indent" ||
               d.name == u"width" || d.name == u"height" || d.name == u"float";
    });
    return css::join(list);
}

}  // namespace

void tables(TokenTable& tokens, bool fullWidth) {
    const std::vector<int> partner = pairRecords(tokens);
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i)
        if (!tokens[i].dropped && tokens[i].opens(u"table"))
            shapeTable(tokens, i, partner[i] > i ? partner[i] : static_cast<int>(tokens.size()),
                       partner, fullWidth);
}

void cells(TokenTable& tokens) {
    const std::vector<int> partner = pairRecords(tokens);
    static const QString kCellNoise =
        QStringLiteral("padding-left: 1px;padding-right: 1px;margin-bottom: 4pt;");
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        if (tokens[i].dropped || !isCell(tokens[i]) || partner[i] < 0)
            continue;
        std::vector<int> blocks;
        for (int k = i + 1; k < partner[i]; ++k) {
            if (tokens[k].dropped)
                continue;
            if (tokens[k].opens(u"table") && partner[k] > k)
                k = partner[k];
            else if (tokens[k].opens(u"div") && partner[k] > k)
                blocks.push_back(k);
        }
        QString align;
        for (size_t b = 0; b < blocks.size(); ++b) {
            HtmlToken& open = tokens[blocks[b]];
            HtmlToken& close = tokens[partner[blocks[b]]];
            if (b == 0)
                align = css::value(open.style, QStringLiteral("text-align"));
            // An empty paragraph holds a line break only to have a height.
            const int first = nextLive(tokens, blocks[b]);
            if (first >= 0 && tokens[first].name == u"br" &&
                nextLive(tokens, first) == partner[blocks[b]])
                tokens[first].dropped = true;
            const QString formatting = textFormatting(open.style);
            const bool last = b + 1 == blocks.size();
            if (formatting.isEmpty()) {
                open.dropped = true;
                if (last) {
                    close.dropped = true;
                } else {
                    close = HtmlToken();
                    close.name = QStringLiteral("br");
                }
            } else {
                // The paragraph's text formatting stays with its text.
                open.name = QStringLiteral("span");
                open.style = formatting;
                open.attrs.clear();
                close.name = QStringLiteral("/span");
                if (!last)
                    close.tail = QStringLiteral("<br>") + close.tail;
            }
        }
        HtmlToken& cell = tokens[i];
        css::set(cell.style, QStringLiteral("text-align"),
                 align.isEmpty() ? QStringLiteral("left") : align);
        css::removeEqual(cell.style, kCellNoise);
    }
}

void joinedTables(TokenTable& tokens) {
    const std::vector<int> partner = pairRecords(tokens);
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        if (tokens[i].dropped || !tokens[i].opens(u"table") || partner[i] < 0)
            continue;
        const int before = previousLive(tokens, i);
        if (before < 0 || !tokens[before].closes(u"table") || partner[before] < 0)
            continue;
        // Tables of different widths do not share their edge: each keeps its border.
        if (css::value(tokens[partner[before]].style, QStringLiteral("width")) !=
            css::value(tokens[i].style, QStringLiteral("width")))
            continue;
        int row = -1;
        for (int k = i + 1; k < partner[i]; ++k)
            if (!tokens[k].dropped && tokens[k].opens(u"tr")) {
                row = k;
                break;
            }
        if (row < 0 || partner[row] < 0)
            continue;
        for (int k = row + 1; k < partner[row]; ++k) {
            HtmlToken& cell = tokens[k];
            if (cell.dropped)
                continue;
            if (cell.opens(u"table") && partner[k] > k) {
                k = partner[k];
                continue;
            }
            const QString top = css::value(cell.style, QStringLiteral("border-top"));
            if (isCell(cell) && top.endsWith(QStringLiteral("px")))
                css::set(cell.style, QStringLiteral("border-top"), QStringLiteral("0px"));
        }
    }
}

void cellAlignment(TokenTable& tokens) {
    static const QString kLeftTop = QStringLiteral("text-align:left;vertical-align:top;");
    std::vector<int> rows;
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        HtmlToken& t = tokens[i];
        if (t.dropped)
            continue;
        if (t.opens(u"tr")) {
            rows.push_back(i);
        } else if (t.closes(u"tr")) {
            if (!rows.empty())
                rows.pop_back();
        } else if (isCell(t)) {
            css::removeEqual(t.style, kLeftTop);
            if (!rows.empty())
                css::removeEqual(t.style, tokens[rows.back()].style);
        }
    }
}

}  // namespace arbor::web::passes
