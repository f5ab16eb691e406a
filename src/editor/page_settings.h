#pragma once
// Paper sizes offered by the page setup, and the page size and margins kept in the
// settings group "TX_PAGE".

#include <QString>
#include <QVector>

#include "editor/document_model.h"

namespace arbor {

class yIni;

struct PaperSize {
    QString caption;
    int width;   // twips
    int height;  // twips
};

// The fifteen sizes, A4 first; row 7 is the default page.
const QVector<PaperSize>& paperSizes();

// Fills width and height from row index; an index outside the table changes nothing.
bool choosePaperSize(int index, doc::PageSetup& page);

// Page setup from "TX_PAGE" (WIDTH 12240, HEIGHT 15840, margins M_LFT, M_TOP, M_RGH,
// M_BTM; right and bottom 567). Values that cannot be a page fall back to the defaults.
doc::PageSetup readPageSettings(yIni& ini);
void writePageSettings(yIni& ini, const doc::PageSetup& page);

}  // namespace arbor
