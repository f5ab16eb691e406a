#include "editor/editor_settings.h"

#include <QVariant>
#include <algorithm>
#include <array>

#include "app/yini.h"
#include "editor/editor_texts.h"
#include "editor/page_settings.h"

namespace arbor {

namespace {

constexpr std::array<int, 15> kZoomSteps = {25,  33,  50,  67,  75,  80,  90, 100,
                                            110, 125, 150, 175, 200, 300, 400};

QString shownText(bool shown) {
    return shown ? edtext::kShown : edtext::kHidden;
}

bool readShown(yIni& ini, const char* key, bool fallback) {
    return ini.vGtVal(QString::fromLatin1(key), shownText(fallback)).toString() == edtext::kShown;
}

}  // namespace

int nextZoom(int zoom, bool up) {
    if (up) {
        for (int step : kZoomSteps)
            if (step > zoom)
                return step;
        return kMaxZoom;
    }
    for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
        if (*it < zoom)
            return *it;
    return kMinZoom;
}

EditorSettings readEditorSettings(yIni& ini, const QString& prefix, bool documentShown) {
    EditorSettings s;
    ini.GetGtx(prefix + QStringLiteral("TX_DISP"));
    s.viewMode = std::clamp(ini.vGtVal(QStringLiteral("MODE"), 0).toInt(), 0, 1);
    s.zoom = std::clamp(ini.vGtVal(QStringLiteral("ZOOM"), 100).toInt(), kMinZoom, kMaxZoom);
    s.controlChars = readShown(ini, "C_CH", documentShown);

    ini.GetGtx(prefix + QStringLiteral("TX_BAR"));
    s.rulers = readShown(ini, "RULE", false);
    s.buttonBar = readShown(ini, "C_BR", true);
    s.statusBar = readShown(ini, "C_ST", true);

    ini.GetGtx(QStringLiteral("TX_USR"));
    s.ime = ini.vGtVal(QStringLiteral("IME"), QStringLiteral("OFF")).toString();
    s.updateConfirm = ini.vGtVal(QStringLiteral("更新確認"), edtext::kConfirmAsk).toString();
    s.picturePath = ini.vGtVal(QStringLiteral("WMF_PH"), QString()).toString();
    s.textFlow = ini.vGtVal(QStringLiteral("TX_FLW"), QString()).toString();
    s.pictureColour = ini.vGtVal(QStringLiteral("PC_CLR"), 0).toInt();

    s.page = readPageSettings(ini);
    return s;
}

void writeEditorSettings(yIni& ini, const QString& prefix, const EditorSettings& s) {
    ini.GetGtx(prefix + QStringLiteral("TX_DISP"));
    ini.SetVal(QStringLiteral("MODE"), s.viewMode);
    ini.SetVal(QStringLiteral("ZOOM"), s.zoom);
    ini.SetVal(QStringLiteral("C_CH"), shownText(s.controlChars));
    ini.SetGtx();

    ini.GetGtx(prefix + QStringLiteral("TX_BAR"));
    ini.SetVal(QStringLiteral("RULE"), shownText(s.rulers));
    ini.SetVal(QStringLiteral("C_BR"), shownText(s.buttonBar));
    ini.SetVal(QStringLiteral("C_ST"), shownText(s.statusBar));
    ini.SetGtx();

    ini.GetGtx(QStringLiteral("TX_USR"));
    ini.SetVal(QStringLiteral("IME"), s.ime);
    ini.SetVal(QStringLiteral("更新確認"), s.updateConfirm);
    ini.SetVal(QStringLiteral("WMF_PH"), s.picturePath);
    ini.SetVal(QStringLiteral("TX_FLW"), s.textFlow);
    ini.SetVal(QStringLiteral("PC_CLR"), s.pictureColour);
    ini.SetGtx();

    writePageSettings(ini, s.page);
}

}  // namespace arbor
