#pragma once
// arbor epub: the book of a collection, or of one of its branches, without a window.

#include <QStringList>
#include <QTextStream>

namespace arbor::cli {

// arguments: DB [--node N [--site]] [-o FILE] [--title T] [--id ID]
int epub(const QStringList& arguments, QTextStream& out, QTextStream& err);

QString epubHelp();

}  // namespace arbor::cli
