#pragma once
// The token table of one conversion: one record per tag or text of the page's markup.
// Passes rewrite the records; the markup written back is the concatenation of all
// records that were not dropped.

#include <QString>
#include <QStringView>
#include <vector>

namespace arbor::web {

struct HtmlToken {
    // Element name in lower case, "/" + name for a closing tag, "val" for text and
    // "###..." for markup written as it is (attrs holds it).
    QString name;
    // Attribute text starting with a blank; the text itself for "val" and "###" records.
    QString attrs;
    QString style;  // declarations "name:value;"
    int step = 0;   // +1 opening, -1 closing, 0 empty element or text
    bool handled = false;
    bool dropped = false;
    // Markup written right after the record.
    QString tail;
    QString className;

    bool isText() const { return name == u"val"; }
    bool isRaw() const { return name.startsWith(u"###"); }
    bool opens(QStringView element) const { return step > 0 && name == element; }
    bool closes(QStringView element) const {
        return step < 0 && name.size() == element.size() + 1 && QStringView(name).mid(1) == element;
    }
    // The element name without the "/" of a closing record.
    QStringView element() const { return step < 0 ? QStringView(name).mid(1) : QStringView(name); }
};

using TokenTable = std::vector<HtmlToken>;

// Elements without content (nesting step 0).
bool isVoidElement(QStringView name);

// Splits markup into records: a tag per record (name, attributes, the style="..."
// attributes cut out into the style text, several of them joined), text between tags
// as "val" records. Line breaks between tags are dropped; inside text they and runs of
// blanks become one blank. Comments are kept as "###" records.
void tokenize(QStringView markup, TokenTable& out);

// Removes the dropped records.
void compact(TokenTable& tokens);

// For every opening record the index of its closing record and the reverse; -1 for
// records without a partner.
std::vector<int> pairRecords(const TokenTable& tokens);

// The next (previous) record that is not dropped; -1 when there is none.
int nextLive(const TokenTable& tokens, int index);
int previousLive(const TokenTable& tokens, int index);

struct OutputOptions {
    bool ebookPictureBoxes = false;  // each picture inside <div class="dipc">
};

// Writes the records back as markup: block elements (h1 h3 h5 p ol ul table tr td div
// body html) start on a new line, indented two blanks per level.
QString writeTokens(const TokenTable& tokens, const OutputOptions& options = {});

}  // namespace arbor::web
