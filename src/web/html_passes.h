#pragma once
// The passes over the token table. Each walks the table once; records a pass removes
// are marked dropped (the caller compacts the table between passes).

#include <array>

#include "editor/user_formats.h"
#include "web/html_conversion_context.h"
#include "web/html_tokens.h"

namespace arbor::web::passes {

// E-book pages: line breaks right before and after a picture (or the link wrapping it)
// go, and so does a span that wraps nothing but the picture.
void ebookPictures(TokenTable& tokens);
// Table widths in points (or 100 % with the full-width option), a colgroup with each
// column's share, row heights in points.
void tables(TokenTable& tokens, bool fullWidth);
// Term links become spans titled with the link text and the dictionary text.
void termLinks(TokenTable& tokens, const HtmlSiteSettings& site);
// align, valign, bgcolor and type attributes become declarations.
void attributesToStyles(TokenTable& tokens);
// A span that wraps only a line break or a picture goes (site pages).
void pictureSpans(TokenTable& tokens);
// Empty spans and divs, and links without attributes (their text stays).
void emptyElements(TokenTable& tokens);
// Blocks inside list items.
void listItemBlocks(TokenTable& tokens);
// A span around nothing but a non-breaking space.
void blankSpans(TokenTable& tokens);
// A block holding exactly one plain span takes over the span's style.
void singleSpans(TokenTable& tokens);
// Blocks inside table cells become line breaks; the cell takes their alignment.
void cells(TokenTable& tokens);
// A table directly after another of the same width loses the top borders of its
// first row.
void joinedTables(TokenTable& tokens);
// Indented blocks in a heading size become h1, h3 or h5.
void headings(TokenTable& tokens, const std::array<UsrFormat, kUserFormatCount>& formats);
// List items lose the declarations of their list.
void listStyles(TokenTable& tokens);
// Cells lose left/top alignment and the declarations of their row.
void cellAlignment(TokenTable& tokens);
// Site pages: rows lose left/top alignment; a span styled like its block goes.
void paragraphs(TokenTable& tokens);
// Closing records matched to their opening records: renamed to match, strays dropped,
// open elements closed at the end.
void closingTags(TokenTable& tokens);
// E-book pages: a span holding only an empty text or a line break goes.
void ebookEmptySpans(TokenTable& tokens);

}  // namespace arbor::web::passes
