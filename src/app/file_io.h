#pragma once
// Writing files so that a failure never leaves half a file in place of a good one:
// the bytes go to a temporary file in the same folder, which replaces the target
// only when everything was written.

#include <QByteArray>
#include <QString>

namespace arbor {

// Replaces (or creates) path with bytes. False when anything failed; the old file,
// if any, is then untouched.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);
// The same, with the message for the user in error when it fails.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString& error);

// The same for output the program can make again (site pages, pictures): written under a
// temporary name and renamed over the target, so no half file ever stands in its place,
// but without waiting for the disk to confirm each file (thousands of pages a second).
bool writeGeneratedFile(const QString& path, const QByteArray& bytes);

// Copies source to destination the same way; the copy takes the source's permissions.
// A symbolic link is copied as the link itself.
bool copyFileReplacing(const QString& source, const QString& destination);

}  // namespace arbor
