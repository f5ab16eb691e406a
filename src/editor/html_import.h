#pragma once
// Reading HTML into a page document: Qt's HTML reader, then links back into fields
// ("#TG_", "#TP_" become tag and term data, other targets hyperlinks), the boxed
// "[Iframe:" / "[Script:" paragraphs back into object fields, and pictures from local files
// into picture resources with their own bytes.

#include <QString>

class QTextDocument;

namespace arbor::htmlimport {

// Replaces the document's content; relative picture paths are taken from baseFolder.
void readHtml(QTextDocument& document, const QString& html, const QString& baseFolder);

}  // namespace arbor::htmlimport
