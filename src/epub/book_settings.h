#pragma once
// The book settings of a document database (the e-book columns of kaUsr) with their
// defaults, and the identifier made for a book that has none.

#include <QString>

namespace arbor::epub {

struct BookSettings {
    QString title;                 // EsTtl
    QString identifier;            // EsUid
    QString author;                // EsCre
    QString publisher;             // EsPub
    QString outputName;            // EsName: the .epub file name without extension
    bool openFolder = false;       // EbFold: show the folder instead of a message
    bool fullWidthTables = false;  // EbTbF
    bool noItalics = false;        // EbNit
    // Asked by the dialog each time, not stored in the database.
    QString rights;
    // Where the pages left out of a partial book are published: the address of the HTML
    // export ("Htm") or, with alternativeIsSite, of the web site ("Site").
    QString alternativeAddress;
    bool alternativeIsSite = false;
};

// Reads "Select EsTtl, EsUid, ... From kaUsr" of the open database. An empty title takes
// the site title of the first top-level page, an empty output name the database name.
// False when the row could not be read (the defaults are filled in all the same).
bool loadBookSettings(BookSettings& settings);

// Writes the eight stored columns: Update of the kaUsr row, or Insert when there is none.
bool saveBookSettings(const BookSettings& settings, QString& error);

// "arepub_" followed by a random whole number from 0 to 999,999.
QString generateIdentifier();

}  // namespace arbor::epub
