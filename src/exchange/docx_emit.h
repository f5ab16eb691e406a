#pragma once
// Puts a story read from a .docx into a QTextDocument, replacing its content. This
// step cannot fail: everything that could was checked while reading.

#include "exchange/docx_ir.h"

class QTextDocument;

namespace arbor::docx {

void emitStory(const ir::Story& story, QTextDocument& document);

}  // namespace arbor::docx
