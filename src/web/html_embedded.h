#pragma once
// Embedded frames and scripts. The editor keeps them as boxed paragraphs whose text is
// "[Iframe:" or "[Script:" + the user's markup, on the background #FEFEFA (frame) or
// #FEFAFE (script); a web page gets the real markup, an e-book page a link for a map
// and nothing for the rest.

#include <QString>

#include "web/html_tokens.h"

namespace arbor::web {

// Replaces the boxed paragraphs of the table (records as the export wrote them).
void convertEmbeddedBlocks(TokenTable& tokens, bool ebook);

// The user's markup of a block, decoded: &quot; &amp; &lt; &gt; &nbsp; &#x0027;.
QString decodeBlockMarkup(const QString& text);

// Whether an address shows a map of the map site (its host starts with "maps." or its
// path with "/maps"), and the site's name for the link below the frame.
bool isMapAddress(const QString& address);
QString mapSiteName(const QString& address);

// The markup that replaces a block, from the block's style (width and height in pt,
// float) and its decoded markup; script says which kind of block it is.
QString embeddedMarkup(const QString& blockStyle, const QString& markup, bool script, bool ebook);

// Rewrites paragraphs with a background colour as a block holding a span with that
// background (the paragraph keeps alignment, margins and line height).
void wrapBackgroundParagraphs(TokenTable& tokens);

}  // namespace arbor::web
