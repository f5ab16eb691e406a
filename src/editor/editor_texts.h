#pragma once
// The editor's own texts: messages, dialog captions and file filters shown to the user.
// Filters are "caption|pattern|" lists as the file dialogs of the program take them.

#include <QString>
#include <QStringList>

namespace arbor::edtext {

inline const QString kAllFilesFilter = QStringLiteral("全てのﾌｧｲﾙ|*.*");
inline const QString kAskSave = QStringLiteral("現在の文書を保存しますか");
inline const QString kCellCaption = QStringLiteral("ｾﾙ");
inline const QString kColumnCaption = QStringLiteral("列");
inline const QString kConfirmAsk = QStringLiteral("確認");
inline const QString kConfirmOverwrite = QStringLiteral("上書");
inline const QString kFilterDoc = QStringLiteral("ﾜｰﾄﾞ文書 97-2003(*.doc)|*.doc|");
inline const QString kFilterDocx = QStringLiteral("ﾜｰﾄﾞ文書 (*.docx)|*.docx|");
inline const QString kFilterHtml = QStringLiteral("HTML (*.htm;*.html)|*.htm;*.html|");
inline const QString kFilterPdf = QStringLiteral("ｱｸﾛﾊﾞｯﾄPDF(*.pdf)|*.pdf|");
inline const QString kFilterRtf = QStringLiteral("ﾘｯﾁﾃｷｽﾄ (*.rtf)|*.rtf|");
inline const QString kFilterText = QStringLiteral("ﾃｽｷﾄﾌｧｲﾙ (*.txt)|*.txt|");
inline const QString kFramePrefix = QStringLiteral("[Iframe:");
inline const QString kHeadingOverList =
    QStringLiteral("ﾘｽﾄを含む範囲に対しては､見出しのｽﾀｲﾙは設定できません");
inline const QString kHidden = QStringLiteral("非表示");
inline const QString kInHeading =
    QStringLiteral("見出し部には、設定できません (Htmではｽﾀｲﾙｼｰﾄで設定します)");
inline const QString kInitQuestion = QStringLiteral("文書は初期化されますが良いですか");
inline const QString kInsertTextCaption = QStringLiteral("ﾃｷｽﾄの挿入");
inline const QString kLinkTargetCaption = QStringLiteral("ﾘﾝｸ先のﾄﾞｷｭﾒﾝﾄ");
inline const QString kNoRange = QStringLiteral("範囲が指定されていません");
inline const QString kReadFileCaption = QStringLiteral("文書の読み込み");
inline const QString kRowCaption = QStringLiteral("行");
inline const QString kSaveAsCaption = QStringLiteral("名前を付けて保存");
inline const QString kSaveAsWordFilter = QStringLiteral("ﾜｰﾄﾞ文書 97-2003(*.doc)|*.doc");
inline const QString kSaveDialogCaption = QStringLiteral("文書の保存");
inline const QString kScriptPrefix = QStringLiteral("[Script:");
inline const QString kShown = QStringLiteral("表示");
inline const QString kSpansParagraphs = QStringLiteral("複数の段落にまたがっています");
inline const QString kTableCaption = QStringLiteral("表");
inline const QString kTagPickCaption = QStringLiteral("ﾀｸﾞの参照");
inline const QString kTextColourCaption = QStringLiteral("文字色");
inline const QString kZoomIn = QStringLiteral("拡大");
inline const QString kZoomOut = QStringLiteral("縮小");

// The tool bar buttons, in order.
inline const char* const kToolButtons[] = {"New",  "Open",  "Save", "Print", "Preview", "Cut",
                                           "Copy", "Paste", "Undo", "Redo",  "Find"};
inline const QString kBackColourCaption = QStringLiteral("文字背景色");
inline const QString kReadableFilter = QStringLiteral(
    "読み込める文書 (*.htm;*.html;*.txt;*.rtf;*.docx;*.doc)|"
    "*.htm;*.html;*.txt;*.rtf;*.docx;*.doc|");
inline const QString kPictureFilter =
    QStringLiteral("画像ﾌｧｲﾙ (*.png;*.jpg;*.jpeg)|*.png;*.jpg;*.jpeg|");
inline const QString kPictureCaption = QStringLiteral("画像の挿入");
inline const QString kFollowHint = QStringLiteral("Ctrl+ｸﾘｯｸでﾘﾝｸ先を開きます");

// The save-as dialog's filters in their order; Word files are offered as .docx first.
QString saveAsFilters();
// Reading a file, and inserting one at the caret: HTML, text, RTF, .docx and .doc.
QString readFilters();
QString pictureFilters();
// "caption|pattern|caption|pattern|" as the dialog's filter lines "caption (pattern)".
QStringList filterLines(const QString& filter);
// The index in filterLines(saveAsFilters()) of the .docx line.
int docxFilterIndex();

}  // namespace arbor::edtext
