#pragma once
// A small Markdown reader for imported files: it writes the HTML body that the page's HTML
// reader takes in. Blocks: ATX headings (# to ######) and setext headings (=== / ---),
// paragraphs, block quotes (nested, with lazy continuation lines), bullet lists (- * +)
// and ordered lists (1. or 1)), nested by indentation, fenced code blocks (``` or ~~~) and
// thematic breaks. Inlines: *emphasis* and **strong** (also with _), `code`, [links](url),
// ![pictures](src), <autolinks>, backslash escapes and hard line breaks (two trailing
// blanks or a backslash). Raw HTML in the text is shown as text, never interpreted.

#include <QString>

namespace arbor::markdown {

// The HTML of the document's body (no html, head or body element).
QString toHtml(const QString& markdown);

// The HTML of one line of inline Markdown (no paragraph around it).
QString inlineHtml(const QString& text);

}  // namespace arbor::markdown
