#pragma once
// Command codes of the page editor (`rtAct`): menus, the tool bar and function keys
// hand one of these to the editor, which carries it out and reports it back.

namespace arbor::cmd {

enum Code : int {
    ReadFile = 1,         // "文書の読み込み" (also 10 and 30)
    EditField = 2,        // change the link of the field at the caret
    SaveToDatabase = 3,   // the update command (F8): eSaveDB
    InsertTag = 4,        // "ﾀｸﾞの参照": a link to another page
    SaveAs = 5,           // txSaveAs
    InsertTerm = 6,       // a term of the dictionary
    InsertHyperlink = 7,  // "ﾘﾝｸ先のﾄﾞｷｭﾒﾝﾄ"
    InsertPageBreak = 8,  // 改頁
    FocusTitle = 9,
    ReadFile2 = 10,
    Undo = 11,
    Redo = 12,
    FocusText = 13,  // also 14 and 20
    FocusText2 = 14,
    Cut = 15,
    Copy = 16,
    Paste = 17,
    SelectAll = 18,
    Find = 19,
    FocusText3 = 20,
    Replace = 21,
    PropertiesFD = 22,  // the page properties window on its page "FD"
    PropertiesRP = 23,  // ... "RP"
    Print = 24,
    Preview = 25,
    PropertiesDP = 26,  // ... "DP"
    NewDocument = 27,   // empty the page ("文書は初期化されますが良いですか")
    ReadFile3 = 30,
    InsertTextFile = 32,   // "ﾃｷｽﾄの挿入"
    InsertOtherPage = 33,  // another page's content at the caret
    InsertPicture = 35,
    Bold = 41,
    Italic = 42,
    Underline = 43,
    InsertFrame = 44,    // "[Iframe:" ... "]"
    InsertScript = 45,   // "[Script:" ... "]"
    StyleHeading1 = 46,  // 46-51: the six paragraph styles (見出１ .. 補足)
    StyleHeading2 = 47,
    StyleHeading3 = 48,
    StyleBody = 49,
    StyleEmphasis = 50,
    StyleNote = 51,
    Indent = 54,  // indentation of the selected paragraph
    HeaderFooter = 56,
    FontDialog = 61,    // font, size and text colour
    TextColor = 62,     // "文字色"
    BackColor = 63,     // "文字背景色"
    AlignLeft = 64,     // 64-66 alignment is modifying; 67 and 65/66 properties below
    PropertiesPG = 65,  // the page properties window on its page "PG"
    PropertiesUS = 66,  // ... "US"
    PropertiesTF = 67,  // ... "TF"
    AlignCenter = 68,
    AlignRight = 69,
    InsertTable = 80,        // "表"
    InsertRowsColumns = 82,  // "列", "行"
    TableRows = 83,          // "行": remove rows
    TableColumns = 84,       // remove columns
    TableCells = 85,         // "ｾﾙ": merge or split cells
    ZoomIn = 86,             // "拡大"
    ZoomOut = 87,            // "縮小"
    PageSetup = 88,          // page size and margins (PageWdIn)
};

}  // namespace arbor::cmd
