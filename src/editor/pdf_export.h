#pragma once
// PDF of a page: the page size and margins of the page setup (twips), the body flowing
// over as many pages as it needs with its page breaks, the header in the top margin and
// the footer in the bottom margin of every page. Japanese text is set in the IPA fonts,
// whose glyphs map back to the right characters when text is extracted or searched.

#include <QString>

#include "editor/document_model.h"

namespace arbor::pdf {

// Written under a temporary name and renamed into place.
bool writePdf(const doc::DocumentParts& parts, const QString& path, QString& error);

}  // namespace arbor::pdf
