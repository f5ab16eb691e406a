#pragma once
// arbor html-export: the plain HTML export of a collection, without a window.

#include <QStringList>
#include <QTextStream>

namespace arbor::cli {

// arguments: DB DIR [--frames | --tree-index] [--elastic] [--top NAME] [--empty]
int htmlExport(const QStringList& arguments, QTextStream& out, QTextStream& err);

QString htmlExportHelp();

}  // namespace arbor::cli
