#pragma once
// The inside of the page editor uTxm, shared by its source files: utxm.cpp (building,
// state, loading and the save command), utxm_commands.cpp (rtAct), utxm_files.cpp
// (files, pictures, printing) and utxm_links.cpp (link fields).

#include <QHash>
#include <QPointer>
#include <QString>

#include "editor/editor_settings.h"
#include "editor/fields.h"
#include "ui/utxm.h"

class QAction;
class QLabel;
class QLineEdit;
class QToolBar;
class QWidget;

namespace arbor::ui {

class ButtonBar;
class FindDialog;
class FormatFrame;
class PageView;
class Ruler;

struct uTxm::Parts {
    explicit Parts(uTxm* owner) : q(owner) {}

    uTxm* q;
    RichText* text = nullptr;
    QLineEdit* title = nullptr;
    QLabel* mark = nullptr;
    QWidget* bars = nullptr;  // clBar
    QToolBar* toolBar = nullptr;
    QHash<int, QAction*> toolActions;  // by command code
    FormatFrame* frame = nullptr;
    ButtonBar* buttons = nullptr;
    Ruler* ruler = nullptr;   // vRuler
    Ruler* rulerV = nullptr;  // vRulerV
    PageView* view = nullptr;
    QWidget* statusBar = nullptr;  // vStatus
    QLabel* position = nullptr;
    QLabel* zoomLabel = nullptr;
    QLabel* kind = nullptr;  // pnStatus
    QPointer<FindDialog> find;

    EditorSettings settings;
    QString prefix;
    bool started = false;
    bool modified = false;
    // What was last loaded or saved, to tell whether the page differs from it.
    QString savedTitle;
    doc::PageSetup savedPage;
    bool unsaved = false;  // a change no undo takes back
    int mode = 0;
    int page = 0;
    bool readOnly = false;
    int loading = 0;  // loads under way: their changes are not edits
    bool contentChanged = false;
    doc::PageSetup lastPage;
    QString savePath;  // the file the save command last wrote to

    // utxm.cpp
    void build();
    void buildToolBar();
    void connectParts();
    void setModified(bool on);
    void edited();
    bool differsFromSaved() const;
    // The page as shown is what is stored: unmodified, and undo comes back to it.
    void markSaved();
    // Modified until the next save, whatever is undone.
    void setUnsaved();
    void refresh();
    void updateRuler();
    void applyDisplay();
    // The save command: true when the page was stored (its flag is clear afterwards).
    bool runSave();
    // The question before a modified page is replaced (Yes and No): false keeps it.
    bool mayReplace();
    void titleEnter();
    void showContextMenu(const QPoint& point);
    void message(const QString& text);
    void status(const QString& text);

    // utxm_commands.cpp: true when the command was carried out (not cancelled, not refused).
    bool carryOut(int code);
    bool applyStyle(int index);
    bool applyColour(bool background);
    bool fontDialog();
    bool indentDialog();
    bool headerFooter();
    bool insertTable();
    bool insertRowsColumns();
    bool tableCommand(int code);
    bool pageSetup();
    bool newDocument();
    // An emptied page starts in the body style, as typing on a written page would.
    void styleEmptyPage();
    void setZoom(int percent);
    void openFind(bool replace);
    void setAlignment(Qt::Alignment alignment);

    // utxm_files.cpp
    bool readFile();
    bool insertTextFile();
    bool insertPicture();
    bool saveAs();
    bool saveToFile(const QString& path);
    void print();
    void preview();

    // utxm_links.cpp
    bool editField();
    bool insertTerm();
    bool insertHyperlink();
    bool insertMarkup(bool script);
    void pickTagPage();
    void follow(const fields::Field& field);
};

}  // namespace arbor::ui
