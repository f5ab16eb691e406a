#pragma once
// The records of the page as the passes expect them: styles cleaned of what the page
// would show anyway, paragraphs as div, links rewritten, picture references pointing
// at the placed files.

#include "web/html_conversion_context.h"
#include "web/html_tokens.h"

namespace arbor::web {

void cleanRecords(TokenTable& tokens, const ConversionContext& context);

// The style without the declarations that add nothing: zero indents and margins, the
// normal line height, the factor's line height, and the component's own "-qt-" ones.
QString cleanStyle(const QString& style, float lineSpacingFactor);

}  // namespace arbor::web
