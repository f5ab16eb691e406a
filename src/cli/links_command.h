#pragma once
// arbor check-links: the link checker without a window, for a team's own CI.

#include <QStringList>
#include <QTextStream>

namespace arbor::cli {

// arguments: DB [--offline] [--repair] [--timeout SECONDS] [--proxy HOST:PORT]
int checkLinks(const QStringList& arguments, QTextStream& out, QTextStream& err);

QString checkLinksHelp();

}  // namespace arbor::cli
