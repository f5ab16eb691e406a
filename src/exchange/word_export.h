#pragma once
// The document export ("文書(txt,doc)に出力"): a range of the page tree as one Word
// document of one of three kinds, or as one plain-text file.

#include <QString>
#include <QStringList>

#include "editor/document_model.h"
#include "exchange/word_page_list.h"

namespace arbor::word {

enum class Kind {
    Text = 0,  // "ﾃｷｽﾄ"
    Headed = 1,  // "MSﾜｰﾄﾞ文書(通常ﾍｯﾀﾞ付き)": the page title in each section's header
    Outline = 2,  // "MSﾜｰﾄﾞ文書(目次付きｱｳﾄﾗｲﾝ)": numbered headings and a table of contents
    NoPictures = 3,  // "MSﾜｰﾄﾞ文書(画像なし)": as Headed, without pictures
};

// The captions of the kinds, in the order of Kind.
QStringList kindCaptions();
// The captions of the ranges, in the order of Range.
QStringList rangeCaptions();

struct ExportRequest {
    Range range = Range::AllPages;
    int currentPage = 0;  // the node ranges start here
    int currentParent = 0;
    Kind kind = Kind::Headed;
    QString path;         // the file written (".docx", or ".txt" for Kind::Text)
    doc::PageSetup page;  // the paper of the Word document
};

struct ExportReport {
    bool written = false;
    bool empty = false;  // the range held no page ("ｱｲﾃﾑがありません")
    bool cancelled = false;
    int entries = 0;       // placements listed
    int documents = 0;     // pages whose document went in
    QStringList failures;  // pages whose formatted document could not be read
    QStringList warnings;  // pictures left out and the like
    QString error;         // why nothing was written
    QString path;
};

// ExportToWord: walks the range and writes the file (under a temporary name, renamed
// into place when complete; a cancelled or failed export leaves any earlier file as it
// was). Progress and the stop button go through progress().
ExportReport ExportToWord(const ExportRequest& request);

// One line for the status panel or a terminal.
QString summaryOf(const ExportReport& report);

}  // namespace arbor::word
