#pragma once
// arbor site: the web site of a collection built without a window.

#include <QStringList>
#include <QTextStream>

namespace arbor::cli {

// arguments: DB [--all | --sync | --since DATE | --node N [--below]] [--template NAME]
int site(const QStringList& arguments, QTextStream& out, QTextStream& err);

QString siteHelp();

}  // namespace arbor::cli
