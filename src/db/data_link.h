#pragma once
// A .udl data-link file: "[oledb]", then one connection-string line such as
// Provider=PostgreSQL;Data Source=host[:port];Initial Catalog=db;User ID=u;Password=p
// Windows writes it in UTF-16 with a byte-order mark; UTF-8 is read as well.

#include <QByteArray>
#include <QString>

namespace arbor {

struct DataLink {
    QString provider;
    QString host;
    int port = 0;  // 0: the server's default
    QString database;
    QString user;
    QString password;
};

// Decodes and parses a data-link file; false with a reason the user can read.
bool readDataLink(const QString& path, DataLink& link, QString& error);
bool parseDataLink(const QByteArray& bytes, DataLink& link, QString& error);
// The file text for a link (UTF-8), as written by the schema command.
QByteArray dataLinkText(const DataLink& link);

}  // namespace arbor
