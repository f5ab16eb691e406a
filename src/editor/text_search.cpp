#include "editor/text_search.h"

#include <QTextDocument>

namespace arbor::search {

namespace {

QTextDocument::FindFlags flagsOf(const Options& options) {
    QTextDocument::FindFlags flags;
    if (options.caseSensitive)
        flags |= QTextDocument::FindCaseSensitively;
    if (options.wholeWords)
        flags |= QTextDocument::FindWholeWords;
    if (options.backward)
        flags |= QTextDocument::FindBackward;
    return flags;
}

}  // namespace

QTextCursor findNext(const QTextDocument& document, const QString& text, const QTextCursor& from,
                     const Options& options, bool* wrapped) {
    if (wrapped)
        *wrapped = false;
    if (text.isEmpty())
        return {};
    const QTextDocument::FindFlags flags = flagsOf(options);
    QTextCursor start(from);
    if (start.isNull())
        start = QTextCursor(const_cast<QTextDocument*>(&document));
    // From the end of the selection forward, from its start backward, so a found
    // occurrence is not found again.
    const int position = options.backward ? start.selectionStart() : start.selectionEnd();
    start.setPosition(position);
    QTextCursor found = document.find(text, start, flags);
    if (found.isNull()) {
        QTextCursor edge(const_cast<QTextDocument*>(&document));
        if (options.backward)
            edge.movePosition(QTextCursor::End);
        found = document.find(text, edge, flags);
        if (!found.isNull() && wrapped)
            *wrapped = true;
    }
    return found;
}

bool selectionMatches(const QTextCursor& cursor, const QString& text, const Options& options) {
    if (!cursor.hasSelection() || text.isEmpty())
        return false;
    QTextCursor probe(cursor);
    probe.setPosition(cursor.selectionStart());
    Options forward = options;
    forward.backward = false;
    const QTextCursor found = probe.document()->find(text, probe, flagsOf(forward));
    return !found.isNull() && found.selectionStart() == cursor.selectionStart() &&
           found.selectionEnd() == cursor.selectionEnd();
}

bool replaceAndFindNext(QTextCursor& cursor, const QString& text, const QString& replacement,
                        const Options& options) {
    bool replaced = false;
    if (selectionMatches(cursor, text, options)) {
        cursor.insertText(replacement);
        replaced = true;
    }
    const QTextCursor next = findNext(*cursor.document(), text, cursor, options);
    if (!next.isNull())
        cursor = next;
    return replaced;
}

int replaceAll(QTextDocument& document, const QString& text, const QString& replacement,
               const Options& options) {
    if (text.isEmpty())
        return 0;
    Options forward = options;
    forward.backward = false;
    const QTextDocument::FindFlags flags = flagsOf(forward);
    QTextCursor edit(&document);
    int count = 0;
    QTextCursor found = document.find(text, 0, flags);
    while (!found.isNull()) {
        if (count == 0)
            edit.beginEditBlock();
        // Join each replacement to the one edit block so one undo takes them all back.
        edit.setPosition(found.selectionStart());
        edit.setPosition(found.selectionEnd(), QTextCursor::KeepAnchor);
        edit.insertText(replacement);
        ++count;
        found = document.find(text, edit.position(), flags);
    }
    if (count > 0)
        edit.endEditBlock();
    return count;
}

}  // namespace arbor::search
