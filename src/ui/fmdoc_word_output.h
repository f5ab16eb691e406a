#pragma once
// The main window's output menu (mnOut) for the Word documents: 2 the document export
// "文書(txt,doc)に出力", 3 the backup "ﾜｰﾄﾞ文書にﾊﾞｯｸｱｯﾌﾟ".

namespace arbor::ui {

class fmDoc;

void runWordOutputCommand(fmDoc& window, int index);

}  // namespace arbor::ui
