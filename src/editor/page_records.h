#pragma once
// Page rows of msDoc: saving the editor's content, reading a page for the editor, the
// Word side file, and the pages that refer to a page by tag.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace arbor {

// What the editor hands over when a page is saved.
struct PageContent {
    QString title;          // the title box
    QString plainText;      // paragraphs separated by line breaks
    QStringList fieldData;  // the data texts of the document's fields, in order
    QByteArray bytes;       // the rich text in the byte format
};

enum class SaveOutcome { Saved, NoPage, ReadOnly, NoTitle, Failed };

struct SaveReport {
    SaveOutcome outcome = SaveOutcome::Failed;
    QString title;     // the cleaned title, for the title box and the tree
    QString oldTitle;  // the title the row had (empty for a new page)
    bool newPage = false;
    QString error;
};

// The title proposed from the text when the title box is empty: the first line, at
// most 50 characters; nothing when the text has no line break.
QString titleProposal(const QString& plainText);

// Writes title, text, tag set, rich text and the save time of page `number`; a new page
// gets its row with a new identity. Asks for a title ("ﾀｲﾄﾙを入力して下さい") when
// there is none; an empty answer writes nothing.
SaveReport SavePage(int number, const PageContent& content);

struct StoredPage {
    bool exists = false;
    QString title;
    QByteArray bytes;  // empty when the page has no rich text yet
    bool hasBytes = false;
    QString wordFile;  // set when the newer Word side file is to be loaded instead
};

// The side file of a page among the Word copies: UserPath + "Dbs/" + DbName + "_doc/"
// + the number with at least four digits + ".docx" (the name the Word copies are
// written under).
QString wordSideFilePath(int number);

// The page as the editor loads it: from the Word side file when that option is on and
// the file is newer than the page's save time, else from the row.
StoredPage readPage(int number, bool wordSideFiles);

// The pages whose tag links point to `number`: (page number, title).
QList<QPair<int, QString>> tagReferences(int number);

}  // namespace arbor
