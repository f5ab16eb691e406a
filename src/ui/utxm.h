#pragma once
// The page editor: the title box, a tool bar, the format frame with the colour buttons,
// the text of the page (a view of the rich-text component), rulers and status bar shown
// by the settings, and the status panel with the paragraph kind. It knows nothing of the
// database: the main window loads and saves pages through its operations and events.

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <memory>

#include "editor/page_records.h"

namespace arbor {
class RichText;
}

namespace arbor::ui {

class uTxm : public QWidget {
    Q_OBJECT

  public:
    explicit uTxm(QWidget* parent = nullptr);
    ~uTxm() override;

    // Start-up and shut-down: the display settings (prefix + "TX_DISP", prefix +
    // "TX_BAR"), "TX_USR" and "TX_PAGE" are read from Ini() and written back.
    void cOn(const QString& settingsPrefix = QString());
    void cOff();

    RichText& GetObj();

    // The modified flag: set by any change of text, title or format.
    bool bDcEdt() const;
    void setBDcEdt(bool modified);
    // The mode the main window sets (2 loading or new, 4 content copied in, 9 new page
    // prepared, 20 and 88 no page shown); a negative mode means no document.
    int cTyp() const;
    void setCTyp(int mode);
    // The page number of the page shown (0: none).
    int pageNumber() const;
    void setPageNumber(int number);
    QString Title() const;
    void setTitle(const QString& title);
    void ReadOnly(bool readOnly);

    // The leave-page question: true when the page may be left (saved, discarded, or not
    // modified), false when the user cancelled.
    bool ChkUdt();

    // Content. SetData and SetDcFL ask before they replace a modified page (Yes/No),
    // unless noQuestion; the caret goes to the start.
    // With error given, a refused byte block is reported there instead of in a message.
    bool SetData(const QByteArray& bytes, bool noQuestion = false, QString* error = nullptr);
    bool SetDcFL(const QString& path, bool noQuestion = false);
    bool InsData(const QByteArray& bytes);
    bool ApndData(const QByteArray& bytes);
    void GetData(QByteArray& bytes, QString& plainText, QString& title) const;
    // What a save stores: title, plain text, field data in order, the byte block.
    PageContent pageContent() const;
    bool bHaveData() const;
    // The plain text of the selection, or of the whole page without one.
    QString GetMTxt() const;
    void SetText(const QString& text);
    // The no-document state: empty page and title, not modified.
    void clearDocument();

    // Carries out an editing command (editor/editor_commands.h) and reports it back
    // with eRtAct.
    void rtAct(int code);
    // Marks the next occurrence of the text.
    void FndWd(const QString& text);
    // A tag link to page `number` (at the selection, or the field at the caret updated).
    void insertTagLink(int number, const QString& title);

    // What the editor can do now, for the menus of the main window.
    struct MenuState {
        bool hasDocument = false;  // a page is shown (file menu items)
        bool canUndo = false;
        bool canRedo = false;
        bool hasSelection = false;
        bool canPaste = false;
        bool inField = false;
        bool inTable = false;
        bool readOnly = false;
    };
    MenuState menuState() const;
    // The paragraph kind shown in the status panel ("本文", "見出１(頁見出)", "Field", ...).
    QString paragraphKind() const;

    // --- additions
    // The selected text; setting it replaces the selection (inserts at the caret).
    QString SelTxt() const;
    void setSelTxt(const QString& text);
    // The page setup dialog (writes "TX_PAGE") and the save-as dialog ("文書の保存").
    void PageWdIn();
    void txSaveAs();
    // Display, for the view menus; kept in prefix + "TX_DISP" / "TX_BAR" by cOff.
    int zoom() const;  // percent
    void setZoom(int percent);
    int viewMode() const;  // 0 the text wraps at the window, 1 at the page's width
    void setViewMode(int mode);
    bool controlCharsShown() const;
    void setControlCharsShown(bool shown);
    bool rulersShown() const;
    void setRulersShown(bool shown);
    bool buttonBarShown() const;  // font, size, bold ... alignment
    void setButtonBarShown(bool shown);
    bool statusBarShown() const;
    void setStatusBarShown(bool shown);
    // The update confirmation ("確認", "上書", anything else), read by cOn; a settings
    // dialog that changes it tells the editor here.
    QString updateConfirmation() const;
    void setUpdateConfirmation(const QString& value);

  signals:
    void eClckLink(const QString& kind, const QString& target);
    void eSaveDB();
    // Before a save: the path to save to; empty means the database.
    void eAskSavePh(QString* path);
    void eUdtFld();
    void eEdtCng();
    void eRtAct(int code);
    void eSaveAs();
    void eAskHtmHd();
    // The editor needs a page picked ("ﾀｸﾞの参照"): the main window answers by calling
    // insertTagLink, or does nothing when the user cancels.
    void ePickTagPage();
    // A status text for the function-key bar's panel.
    void eStatus(const QString& text);

  private:
    struct Parts;
    std::unique_ptr<Parts> d_;
};

}  // namespace arbor::ui
