#pragma once
// Find and replace in a page: the next occurrence from the caret (wrapping round once),
// replacing the found text, and replacing every occurrence as one undo step.

#include <QString>
#include <QTextCursor>

class QTextDocument;

namespace arbor::search {

struct Options {
    bool caseSensitive = false;
    bool wholeWords = false;
    bool backward = false;
};

// The next occurrence after the cursor's selection (before it when backward), wrapping
// round the document once; a null cursor when there is none. `wrapped` tells whether the
// search went past the end (or start).
QTextCursor findNext(const QTextDocument& document, const QString& text, const QTextCursor& from,
                     const Options& options, bool* wrapped = nullptr);

// True when the cursor's selection is exactly an occurrence of the text.
bool selectionMatches(const QTextCursor& cursor, const QString& text, const Options& options);

// Replaces the selection when it is an occurrence, then selects the next one (the cursor
// stays null-free: without a next occurrence it stands behind the replacement). Returns
// whether a replacement was made.
bool replaceAndFindNext(QTextCursor& cursor, const QString& text, const QString& replacement,
                        const Options& options);

// Replaces every occurrence in one undo step; returns how many.
int replaceAll(QTextDocument& document, const QString& text, const QString& replacement,
               const Options& options);

}  // namespace arbor::search
