#pragma once
// The page editor's settings in the user's settings file: display (prefix + "TX_DISP"),
// bars (prefix + "TX_BAR"), user options ("TX_USR") and the page ("TX_PAGE"). The prefix
// keeps the main editor and a second page window apart.

#include <QString>

#include "editor/document_model.h"

namespace arbor {

class yIni;

struct EditorSettings {
    int viewMode = 0;  // 0 text wraps at the window, 1 text laid out at the page's width
    int zoom = 100;    // percent
    bool controlChars = false;
    bool rulers = false;
    bool buttonBar = true;  // the format frame's font and character buttons
    bool statusBar = true;
    QString ime = QStringLiteral("OFF");
    QString updateConfirm = QStringLiteral("確認");
    QString picturePath;  // "WMF_PH": the folder picture dialogs start in
    QString textFlow;     // "TX_FLW", kept for the settings dialog
    int pictureColour = 0;
    doc::PageSetup page;
};

inline constexpr int kMinZoom = 25;
inline constexpr int kMaxZoom = 400;
// The next zoom step up or down from a zoom.
int nextZoom(int zoom, bool up);

// documentShown chooses the default of control characters ("表示" with a document).
EditorSettings readEditorSettings(yIni& ini, const QString& prefix, bool documentShown);
void writeEditorSettings(yIni& ini, const QString& prefix, const EditorSettings& settings);

}  // namespace arbor
