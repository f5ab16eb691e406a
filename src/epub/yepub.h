#pragma once
// yEpub: a page subtree, or the whole document database, as one EPUB 2 book. The pages
// are converted by the e-book kind of the HTML conversion into the work folder
// (UserPath + "ePub/" + DbName), the package files are written around them, and eZip packs
// the folder into UserPath + "ePub/" + the output name + ".epub". The dialog that asks for
// the book's settings is the window's (sbEpub); this class only builds.

#include <QString>
#include <QStringList>

#include "epub/book_settings.h"

namespace arbor {

class yEpub {
  public:
    // The ranges of the dialog's option buttons.
    enum Range : int { Cancelled = 0, WholeDatabase = 1, SubtreeWithSite = 2, Subtree = 3 };

    struct Request {
        int range = WholeDatabase;
        int currentPage = 0;  // the root of ranges 2 and 3
        epub::BookSettings settings;
        int threads = 0;     // page converters side by side (0: one per core)
        QString outputPath;  // empty: outputPath(settings.outputName)
    };

    struct Report {
        bool ok = false;
        bool cancelled = false;
        QString message;  // why the book was not written
        QString outputPath;
        int range = 0;       // the range used (a whole database with one top page is 2)
        int pages = 0;       // page files in the book
        int emptyPages = 0;  // pages without a document, written with their title only
        int navPoints = 0;
        int pictures = 0;
        QStringList problems;  // pages that could not be converted (written with their title)
        double seconds = 0;
        QStringList phases;  // "step milliseconds", for measuring
    };

    // Builds the book; messages go into the report, progress and the wait window through
    // the progress interface (which may cancel between chunks of pages).
    Report Publish(const Request& request);

    // UserPath + "ePub/" + DbName + "/".
    static QString workFolder();
    // UserPath + "ePub/" + name (the database name when empty) + ".epub".
    static QString outputPath(const QString& name);
};

// The line that sums up a build for the status panel and the terminal.
QString summaryOf(const yEpub::Report& report);

}  // namespace arbor
