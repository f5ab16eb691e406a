#pragma once
// The head of a converted page and the document type of the finished page.

#include <QString>

#include "web/html_conversion_context.h"

namespace arbor::web {

// Text from the user for the head: double quotes become blanks (the stored form), and
// "&", "<", ">", the apostrophe and "~" are written as references, so the text can
// neither break the markup nor be taken for a placeholder.
QString headText(const QString& text);

// The head from the document type line to "</head>", lines ending in CR LF. With meta
// lines (site pages) it holds description, keywords, copyright, robots and favicon.
QString buildHead(const PageOptions& page, bool withMetaLines, bool favicon,
                  const QString& styleBlock);

// The document type line of a kind ("" for kinds 0 and 5).
QString doctypeLine(int kind);

// SetDTD: the kind's document type (the XML declaration and XHTML 1.1 html element for
// kind 4) and empty elements closed the XML way (kinds 2 to 5) or the HTML way (0, 1).
void SetDTD(QString& page, int kind);

}  // namespace arbor::web
