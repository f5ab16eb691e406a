#include "ui/ruler.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace arbor::ui {

namespace {
constexpr double kTwipsPerMillimetre = 1440 / 25.4;
}

Ruler::Ruler(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
    const bool horizontal = orientation == Qt::Horizontal;
    setObjectName(horizontal ? QStringLiteral("vRuler") : QStringLiteral("vRulerV"));
    setSizePolicy(horizontal ? QSizePolicy::Expanding : QSizePolicy::Fixed,
                  horizontal ? QSizePolicy::Fixed : QSizePolicy::Expanding);
    setToolTip(horizontal ? QStringLiteral("ﾙｰﾗｰ (cm): 灰色の部分は用紙の余白です")
                          : QStringLiteral("ﾙｰﾗｰ (cm): 本文の上端から。灰色の部分は上の余白です"));
}

QSize Ruler::sizeHint() const {
    const int thickness = fontMetrics().height() + 10;
    return orientation_ == Qt::Horizontal ? QSize(200, thickness) : QSize(thickness, 200);
}

void Ruler::setMeasures(const Geometry& geometry) {
    g_ = geometry;
    update();
}

void Ruler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (orientation_ == Qt::Horizontal)
        paintHorizontal(p);
    else
        paintVertical(p);
}

void Ruler::paintHorizontal(QPainter& p) {
    const QRect all = rect();
    const double unit = g_.pixelsPerTwip;
    const double textLeft = g_.textLeft;
    const double textRight = textLeft + g_.textWidth * unit;
    const QColor margin(0xC9, 0xCE, 0xD6);
    p.fillRect(all, margin);
    p.fillRect(QRectF(textLeft, 2, textRight - textLeft, all.height() - 4), Qt::white);
    // The page's edges.
    const double pageLeft = textLeft - g_.marginLeft * unit;
    const double pageRight = textRight + g_.marginRight * unit;
    p.setPen(QColor(0x90, 0x96, 0xA0));
    p.drawLine(QPointF(pageLeft, 2), QPointF(pageLeft, all.height() - 2));
    p.drawLine(QPointF(pageRight, 2), QPointF(pageRight, all.height() - 2));

    // Ticks every millimetre from the text's left edge, numbers every centimetre.
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.75));
    p.setFont(small);
    p.setPen(QColor(0x40, 0x44, 0x4C));
    const double mm = kTwipsPerMillimetre * unit;
    if (mm > 0.5) {
        const int first = static_cast<int>(std::floor((pageLeft - textLeft) / mm));
        const int last = static_cast<int>(std::ceil((pageRight - textLeft) / mm));
        const int base = all.height() - 3;
        for (int i = first; i <= last; ++i) {
            const double x = textLeft + i * mm;
            if (x < 0 || x > all.width())
                continue;
            if (i % 10 == 0) {
                if (i != 0) {
                    const QString label = QString::number(std::abs(i / 10));
                    p.drawText(QRectF(x - 12, 1, 24, base - 4), Qt::AlignCenter, label);
                }
            } else if (i % 5 == 0) {
                p.drawLine(QPointF(x, base - 5), QPointF(x, base));
            } else if (mm >= 3) {
                p.drawLine(QPointF(x, base - 2), QPointF(x, base));
            }
        }
    }
    // Indent markers: the first line above, the paragraph's left edge below.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x30, 0x50, 0x80));
    p.setBrush(QColor(0x7A, 0xA2, 0xD8));
    const double first = textLeft + (g_.indentLeft + g_.indentFirst) * unit;
    const double left = textLeft + g_.indentLeft * unit;
    QPainterPath down;
    down.moveTo(first - 4, 2);
    down.lineTo(first + 4, 2);
    down.lineTo(first, 7);
    down.closeSubpath();
    QPainterPath up;
    up.moveTo(left - 4, all.height() - 2);
    up.lineTo(left + 4, all.height() - 2);
    up.lineTo(left, all.height() - 7);
    up.closeSubpath();
    p.drawPath(down);
    p.drawPath(up);
}

void Ruler::paintVertical(QPainter& p) {
    const QRect all = rect();
    const double unit = g_.pixelsPerTwip;
    const double textTop = g_.textTop;
    const double pageTop = textTop - g_.marginTop * unit;
    const QColor margin(0xC9, 0xCE, 0xD6);
    p.fillRect(all, margin);
    p.fillRect(QRectF(2, std::max(0.0, textTop), all.width() - 4, all.height()), Qt::white);
    p.setPen(QColor(0x90, 0x96, 0xA0));
    p.drawLine(QPointF(2, pageTop), QPointF(all.width() - 2, pageTop));

    // Ticks every millimetre from the top of the text, numbers every centimetre, written
    // upright so they read like the horizontal ruler's.
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.75));
    p.setFont(small);
    p.setPen(QColor(0x40, 0x44, 0x4C));
    const double mm = kTwipsPerMillimetre * unit;
    if (mm > 0.5) {
        const int first = static_cast<int>(std::floor((std::max(pageTop, 0.0) - textTop) / mm));
        const int last = static_cast<int>(std::ceil((all.height() - textTop) / mm));
        const int base = all.width() - 3;
        for (int i = first; i <= last; ++i) {
            const double y = textTop + i * mm;
            if (y < 0 || y > all.height())
                continue;
            if (i % 10 == 0) {
                if (i != 0)
                    p.drawText(QRectF(1, y - 8, base - 4, 16), Qt::AlignCenter,
                               QString::number(std::abs(i / 10)));
            } else if (i % 5 == 0) {
                p.drawLine(QPointF(base - 5, y), QPointF(base, y));
            } else if (mm >= 3) {
                p.drawLine(QPointF(base - 2, y), QPointF(base, y));
            }
        }
    }
    // The caret's paragraph: a bar along its height.
    if (g_.paragraphBottom > g_.paragraphTop) {
        const QRectF bar(1, textTop + g_.paragraphTop, 3, g_.paragraphBottom - g_.paragraphTop);
        p.fillRect(bar, QColor(0x7A, 0xA2, 0xD8));
    }
}

}  // namespace arbor::ui
