#pragma once
// Paints a page onto a paged device (a printer, a print preview): the page size and
// margins of the page setup, the body flowing over as many sheets as it needs, the
// header in the top margin and the footer in the bottom margin of every sheet.

#include <QString>
#include <functional>

#include "editor/document_model.h"

class QPagedPaintDevice;
class QPainter;
class QTextDocument;

namespace arbor::printing {

// Sets the device's page size (from the page setup) and paints every sheet; a sheet
// range limits the output to sheets first..last (1-based, 0 for no limit). The painter
// must not be active; it is begun and ended here. False with a message when the device
// cannot be painted on. The page is painted from copies of its documents; adjust, when
// given, changes each copy before it is laid out (the PDF sets its fonts there).
using CopyAdjuster = std::function<void(QTextDocument&)>;
bool paintPage(const doc::DocumentParts& parts, QPagedPaintDevice& device, QString& error,
               int first = 0, int last = 0, const CopyAdjuster& adjust = {});

// The number of sheets the body fills on the device with this page setup.
int sheetCount(const doc::DocumentParts& parts, QPagedPaintDevice& device);

}  // namespace arbor::printing
