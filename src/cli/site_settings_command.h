#pragma once
// arbor site-settings: the web-output settings of a collection without a window, printed
// with where each value comes from, and changed as the settings window changes them.

#include <QStringList>
#include <QTextStream>

namespace arbor::cli {

// arguments: DB [--page N|top] [--set KEY=VALUE ...] [--clear]
int siteSettings(const QStringList& arguments, QTextStream& out, QTextStream& err);

QString siteSettingsHelp();

}  // namespace arbor::cli
