#include "editor/fields.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "editor/document_model.h"

namespace arbor::fields {

namespace {

int fieldId(const QTextCharFormat& format) {
    return format.intProperty(doc::FieldId);
}

QTextCharFormat fieldFormat(QTextCharFormat format, int id, const QString& data) {
    format.setProperty(doc::FieldId, id);
    format.setProperty(doc::FieldData, data);
    format.setAnchor(true);
    format.setAnchorHref(data);
    return format;
}

}  // namespace

// Text, not link, not picture: a run of text in a picture format would be written as
// pictures by the HTML export.
QTextCharFormat withoutField(QTextCharFormat format) {
    static const int properties[] = {doc::FieldId,
                                     doc::FieldData,
                                     QTextFormat::IsAnchor,
                                     QTextFormat::AnchorHref,
                                     QTextFormat::ObjectType,
                                     QTextFormat::ImageName,
                                     QTextFormat::ImageWidth,
                                     QTextFormat::ImageHeight,
                                     QTextFormat::ImageQuality,
                                     QTextFormat::ImageTitle,
                                     QTextFormat::ImageAltText};
    for (int property : properties)
        format.clearProperty(property);
    return format;
}

bool leaveFieldEdge(QTextCursor& cursor) {
    if (cursor.hasSelection())
        return false;
    const QTextCharFormat typing = cursor.charFormat();
    const int id = fieldId(typing);
    if (id <= 0)
        return false;
    // Strictly inside: the characters before and after the caret are the same field's.
    QTextCursor before(cursor);
    QTextCursor after(cursor);
    if (!cursor.atBlockStart() && !cursor.atBlockEnd()) {
        after.movePosition(QTextCursor::NextCharacter);
        if (fieldId(before.charFormat()) == id && fieldId(after.charFormat()) == id)
            return false;
    }
    cursor.setCharFormat(withoutField(typing));
    return true;
}

QList<Field> all(const QTextDocument& document) {
    QList<Field> result;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        bool open = false;  // the last field of result continues in this block
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid())
                continue;
            const QTextCharFormat format = f.charFormat();
            const int id = fieldId(format);
            if (id <= 0) {
                open = false;
                continue;
            }
            if (open && result.last().id == id && result.last().end() == f.position()) {
                result.last().length += f.length();
                result.last().text += f.text();
                continue;
            }
            result.append(
                {id, f.position(), f.length(), f.text(), format.stringProperty(doc::FieldData)});
            open = true;
        }
    }
    return result;
}

std::optional<Field> at(const QTextDocument& document, int position) {
    const QTextBlock block = document.findBlock(position);
    if (!block.isValid())
        return std::nullopt;
    for (const Field& f : all(document)) {
        if (f.start > position)
            break;
        if (position < f.end())
            return f;
    }
    return std::nullopt;
}

std::optional<Field> current(const QTextCursor& cursor) {
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    for (const Field& f : all(*cursor.document())) {
        if (f.start > start)
            break;
        if (start == end ? (f.start < start && start < f.end()) : end <= f.end())
            return f;
    }
    return std::nullopt;
}

int highestId(const QTextDocument& document) {
    int highest = 0;
    for (const Field& f : all(document))
        highest = std::max(highest, f.id);
    return highest;
}

bool insert(QTextCursor& cursor, const QString& text, const QString& data) {
    if (text.isEmpty())
        return false;
    QTextDocument* document = cursor.document();
    cursor.beginEditBlock();
    if (cursor.hasSelection()) {
        cursor.removeSelectedText();
    } else if (auto inside = current(cursor)) {
        cursor.setPosition(inside->end());
    }
    // Typing goes on in the format of the text before, so take that without any field.
    const QTextCharFormat base = withoutField(cursor.charFormat());
    // Line and paragraph marks would split the field; a field lies in one paragraph.
    QString single = text;
    single.replace(u'\n', u' ').replace(u'\r', u' ').replace(QChar(0x2029), u' ');
    cursor.insertText(single, fieldFormat(base, highestId(*document) + 1, data));
    cursor.setCharFormat(base);
    cursor.endEditBlock();
    return true;
}

bool update(QTextDocument& document, const Field& field, const QString& text, const QString& data) {
    if (text.isEmpty() || field.length <= 0)
        return false;
    QTextCursor cursor(&document);
    cursor.setPosition(field.start + 1);
    const QTextCharFormat first = cursor.charFormat();
    if (fieldId(first) != field.id)
        return false;
    cursor.beginEditBlock();
    cursor.setPosition(field.start);
    cursor.setPosition(field.end(), QTextCursor::KeepAnchor);
    QString single = text;
    single.replace(u'\n', u' ').replace(u'\r', u' ').replace(QChar(0x2029), u' ');
    cursor.insertText(single, fieldFormat(first, field.id, data));
    cursor.endEditBlock();
    return true;
}

bool setData(QTextDocument& document, int id, const QString& data) {
    QTextCharFormat change;
    change.setProperty(doc::FieldData, data);
    change.setAnchor(true);
    change.setAnchorHref(data);
    bool found = false;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const Field& f : all(document)) {
        if (f.id != id)
            continue;
        cursor.setPosition(f.start);
        cursor.setPosition(f.end(), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(change);
        found = true;
    }
    cursor.endEditBlock();
    return found;
}

void renumber(QTextDocument& document, int firstId) {
    const QList<Field> list = all(document);
    QTextCursor cursor(&document);
    int id = firstId;
    for (const Field& f : list) {
        QTextCharFormat change;
        change.setProperty(doc::FieldId, id++);
        cursor.setPosition(f.start);
        cursor.setPosition(f.end(), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(change);
    }
}

}  // namespace arbor::fields
