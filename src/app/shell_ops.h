#pragma once
// Shell conveniences beside zClt: copying, moving and deleting files and folders (delete
// goes to the desktop's trash), and handing files or addresses to the desktop to open.

#include <QString>
#include <QUrl>
#include <functional>

namespace arbor {

// Hands a URL to the desktop (default browser, file manager, associated program).
// Tests install a recorder so nothing is launched; an empty function restores the
// desktop. Returns the previous opener.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener setUrlOpener(UrlOpener opener);
bool openWithDesktop(const QUrl& url);

// A path or an address as a URL: "http:", "https:", "file:", "mailto:" ... stay as they
// are, anything else is a local path.
QUrl urlForTarget(const QString& target);

// "移動" moves, "複写" copies, "削除" moves to the trash; any other name does nothing and
// gives false. source may hold several paths separated by NUL characters and "*" or "?"
// in its last part. A destination that is an existing folder (or several sources)
// receives the items inside it; otherwise it is the new name. Without noConfirmation the
// user is asked before anything is replaced or moved to the trash; silent keeps the
// status panel quiet. True when every item was done.
bool ShFileOp(const QString& operation, const QString& source, const QString& destination,
              bool silent, bool noConfirmation);

// Moves a file or folder to the trash, silently and without questions.
bool RecycleFile(const QString& path);

// Shows a file or address in the default browser.
bool A_ViewIE(const QString& address);

}  // namespace arbor
