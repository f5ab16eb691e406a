#include "app/machine.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSysInfo>
#include <algorithm>

namespace arbor {

namespace {
constexpr double kTwipsPerInch = 1440.0;
}

QString GetPcName() {
    QString name = QSysInfo::machineHostName();
    const qsizetype nul = name.indexOf(QChar(0));
    if (nul >= 0)
        name.truncate(nul);
    return name.left(255);
}

WorkArea workAreaInTwips(int left, int top, int width, int height, double dpiX, double dpiY) {
    const double twipsX = kTwipsPerInch / (dpiX > 0 ? dpiX : 96.0);
    const double twipsY = kTwipsPerInch / (dpiY > 0 ? dpiY : 96.0);
    WorkArea area;
    area.left = static_cast<int>(left * twipsX);
    area.top = static_cast<int>(top * twipsY);
    area.width = static_cast<int>(width * twipsX);
    area.height = static_cast<int>(height * twipsY);
    return area;
}

WorkArea GetWorkArea() {
    WorkArea area = workAreaInTwips(0, 0, 1024, 768, 96, 96);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect r = screen->availableGeometry();
            area = workAreaInTwips(r.left(), r.top(), r.width(), r.height(),
                                   screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
        }
    }
    G().workArea = area;
    return area;
}

void FitToWorkArea(int& left, int& top, int& width, int& height, const WorkArea& area) {
    left = std::max(left, area.left);
    top = std::max(top, area.top);
    if (left + width > area.width) {
        left = area.left;
        width = std::min(width, area.width);
    }
    if (top + height > area.height) {
        top = area.top;
        height = std::min(height, area.height);
    }
}

}  // namespace arbor
