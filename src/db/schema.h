#pragma once
// The document database: its tables, the test that a database is one, the upgrade
// of old databases, page numbers, identities and the link-flag rebuild.

#include <QString>
#include <QStringList>

namespace arbor {

class Engine;

// The statements of the schema file (apData/schema.sql); empty with error when unreadable.
QStringList readSchemaStatements(const QString& schemaPath, QString& error);

// Creates the five tables in a database that has none, and the one settings row
// whose DmFmt holds formatsText. All or nothing.
bool createDocumentSchema(Engine& engine, const QStringList& schema, const QString& formatsText,
                          QString& error);

// Makes a new document database file at path (written beside it, then renamed into
// place, so a failure never leaves a half-made file).
bool createDocumentDbFile(const QString& path, const QStringList& schema,
                          const QString& formatsText, QString& error);

// The template database UserPath + "Dbs/Moto.txdb", made when missing.
// Returns true when it exists afterwards; created tells whether it was made now.
bool ensureTemplateDb(const QString& userPath, const QString& schemaPath,
                      const QString& formatsText, bool& created, QString& error);

// Operations on the open database (zSvr::instance()).
bool ChkDocDb();
void UpgradeDb();
int NextDocNo();
void FillWkRnd();
void RebuildLinkFlags(bool withPictures);

}  // namespace arbor
