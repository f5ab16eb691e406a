#pragma once
// eZip: packs a book folder into an .epub archive. The file "mimetype" goes first and is
// stored without compression, as readers look for it at a fixed place; every other file
// is deflated, the folder's own files before its sub-folders, with paths relative to the
// folder ("META-INF/container.xml", "OEBPS/...").

#include <QString>

namespace arbor::epub {

// Writes archivePath from folder. The archive is built completely before it replaces an
// existing file of that name, so a failure leaves the old book in place. False with the
// reason in error.
bool eZip(const QString& folder, const QString& archivePath, QString& error);

}  // namespace arbor::epub
