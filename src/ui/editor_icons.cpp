#include "ui/editor_icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <functional>

namespace arbor::ui::icons {

namespace {

constexpr int kSize = 20;
const QColor kInk(0x40, 0x48, 0x55);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kAccent(0x2A, 0x6F, 0xC9);

QIcon drawn(const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(kSize * 2, kSize * 2);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    paint(p);
    p.end();
    pixmap.setDevicePixelRatio(2);
    return QIcon(pixmap);
}

void sheet(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(r);
}

void printer(QPainter& p) {
    sheet(p, QRectF(6, 2.5, 8, 6));
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(0xC8, 0xCF, 0xD8));
    p.drawRoundedRect(QRectF(2.5, 8, 15, 7), 1.5, 1.5);
    sheet(p, QRectF(6, 12.5, 8, 5));
}

void magnifier(QPainter& p, const QPointF& centre, double radius) {
    p.setPen(QPen(kInk, 1.8));
    p.setBrush(QColor(0xE4, 0xF0, 0xFF));
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(kInk, 2.6, Qt::SolidLine, Qt::RoundCap));
    const double d = radius * 0.72;
    p.drawLine(centre + QPointF(d, d), centre + QPointF(d + 5, d + 5));
}

void scissors(QPainter& p) {
    p.setPen(QPen(kInk, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(6, 14.5), 2.8, 2.8);
    p.drawEllipse(QPointF(14, 14.5), 2.8, 2.8);
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.6, 12.2), QPointF(13.5, 2.5));
    p.drawLine(QPointF(12.4, 12.2), QPointF(6.5, 2.5));
}

void copies(QPainter& p) {
    sheet(p, QRectF(3, 2.5, 9, 11));
    sheet(p, QRectF(8, 6.5, 9, 11));
    p.setPen(QPen(kInk.lighter(150), 1));
    for (double y : {9.5, 12.0, 14.5})
        p.drawLine(QPointF(10, y), QPointF(15, y));
}

void clipboard(QPainter& p) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(0xC9, 0x9A, 0x5B));
    p.drawRoundedRect(QRectF(3, 3.5, 12, 14), 1.5, 1.5);
    p.setBrush(QColor(0xB0, 0xB8, 0xC2));
    p.drawRect(QRectF(6.5, 2, 5, 3));
    sheet(p, QRectF(8.5, 7.5, 9, 10.5));
}

void arrow(QPainter& p, bool back) {
    QPainterPath path;
    if (back) {
        path.moveTo(16, 15);
        path.cubicTo(16, 8, 11, 6.5, 5.5, 7.5);
    } else {
        path.moveTo(4, 15);
        path.cubicTo(4, 8, 9, 6.5, 14.5, 7.5);
    }
    p.setPen(QPen(kAccent, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    QPolygonF head;
    if (back)
        head << QPointF(2.5, 7.8) << QPointF(7.5, 3.5) << QPointF(7.5, 12);
    else
        head << QPointF(17.5, 7.8) << QPointF(12.5, 3.5) << QPointF(12.5, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPolygon(head);
}

}  // namespace

QIcon toolIcon(const QString& button, const QStyle* style) {
    auto standard = [&](QStyle::StandardPixmap which) { return style->standardIcon(which); };
    if (button == QLatin1String("New"))
        return standard(QStyle::SP_FileIcon);
    if (button == QLatin1String("Open"))
        return standard(QStyle::SP_DialogOpenButton);
    if (button == QLatin1String("Save"))
        return standard(QStyle::SP_DialogSaveButton);
    if (button == QLatin1String("Print"))
        return drawn(printer);
    if (button == QLatin1String("Preview"))
        return drawn([](QPainter& p) {
            sheet(p, QRectF(3, 2, 11, 15));
            magnifier(p, QPointF(11.5, 11), 4);
        });
    if (button == QLatin1String("Cut"))
        return drawn(scissors);
    if (button == QLatin1String("Copy"))
        return drawn(copies);
    if (button == QLatin1String("Paste"))
        return drawn(clipboard);
    if (button == QLatin1String("Undo"))
        return drawn([](QPainter& p) { arrow(p, true); });
    if (button == QLatin1String("Redo"))
        return drawn([](QPainter& p) { arrow(p, false); });
    if (button == QLatin1String("Find"))
        return drawn([](QPainter& p) { magnifier(p, QPointF(8.5, 8.5), 5); });
    return {};
}

QIcon alignIcon(const QString& side) {
    return drawn([side](QPainter& p) {
        p.setPen(QPen(kInk, 1.6));
        const double widths[] = {14, 9, 14, 10};
        for (int i = 0; i < 4; ++i) {
            const double w = widths[i];
            const double y = 4.5 + i * 3.8;
            double x = 3;
            if (side == QLatin1String("center"))
                x = 10 - w / 2;
            else if (side == QLatin1String("right"))
                x = 17 - w;
            p.drawLine(QPointF(x, y), QPointF(x + w, y));
        }
    });
}

QIcon textColour(const QColor& colour) {
    return drawn([colour](QPainter& p) {
        QFont f;
        f.setPixelSize(13);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kInk);
        p.drawText(QRectF(0, 0, kSize, 15), Qt::AlignCenter, QStringLiteral("A"));
        p.setPen(QPen(QColor(0x70, 0x70, 0x70), 0.8));
        p.setBrush(colour);
        p.drawRect(QRectF(2.5, 15, 15, 4));
    });
}

QIcon backColour(const QColor& colour) {
    return drawn([colour](QPainter& p) {
        p.setPen(QPen(QColor(0x70, 0x70, 0x70), 0.8));
        p.setBrush(colour);
        p.drawRect(QRectF(2.5, 15, 15, 4));
        // A marker pen, tilted.
        p.translate(10, 8);
        p.rotate(40);
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(0xE8, 0xE8, 0xE8));
        p.drawRect(QRectF(-2.5, -7, 5, 10));
        p.setBrush(colour);
        p.drawPolygon(QPolygonF() << QPointF(-2.5, 3) << QPointF(2.5, 3) << QPointF(1, 6.5)
                                  << QPointF(-1, 6.5));
    });
}

}  // namespace arbor::ui::icons
