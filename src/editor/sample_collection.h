#pragma once
// A sample collection in Japanese that shows what Arbor does: every paragraph style, a
// table with merged cells, a picture, tag, term and web links, an embedded frame, a
// link placement, a collecting page with children, a hidden branch and a protected page.

#include <QString>

namespace arbor {

// Creates the database file at path (which must not exist yet) and fills it. Uses the
// shared connection and leaves no database open. Needs a QGuiApplication (fonts, picture).
bool createSampleCollection(const QString& path, const QString& schemaPath, QString& error);

}  // namespace arbor
