#pragma once
// Shortening texts for titles, labels and listings. A text is cut between user-perceived
// characters (grapheme clusters), never inside a surrogate pair or a combining sequence,
// so a stored title never ends in half an emoji.

#include <QString>

namespace arbor {

// The first maxCharacters characters of text (the whole text when it is shorter).
QString leftCharacters(const QString& text, qsizetype maxCharacters);

}  // namespace arbor
