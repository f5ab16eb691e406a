#include "ui/tree_icons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace arbor::ui {

namespace {

// Shapes on a 16 x 16 grid; the painter is scaled for larger sizes.
void drawFolder(QPainter& p, bool open) {
    const QColor edge(150, 110, 30);
    p.setPen(QPen(edge, 0.8));
    p.setBrush(QColor(236, 190, 80));
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(14.5, 5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    if (open) {
        p.setBrush(QColor(252, 222, 130));
        QPainterPath front;
        front.moveTo(3.5, 7.5);
        front.lineTo(15.5, 7.5);
        front.lineTo(13.5, 13.5);
        front.lineTo(1.5, 13.5);
        front.closeSubpath();
        p.drawPath(front);
    } else {
        p.setPen(QPen(QColor(252, 222, 130), 1.0));
        p.drawLine(QPointF(2.5, 6.5), QPointF(13.5, 6.5));
    }
}

void drawPage(QPainter& p) {
    p.setPen(QPen(QColor(90, 100, 120), 0.8));
    p.setBrush(Qt::white);
    QPainterPath sheet;
    sheet.moveTo(3.5, 1.5);
    sheet.lineTo(10, 1.5);
    sheet.lineTo(12.5, 4);
    sheet.lineTo(12.5, 14.5);
    sheet.lineTo(3.5, 14.5);
    sheet.closeSubpath();
    p.drawPath(sheet);
    p.drawLine(QPointF(10, 1.5), QPointF(10, 4));
    p.drawLine(QPointF(10, 4), QPointF(12.5, 4));
    p.setPen(QPen(QColor(150, 165, 190), 0.9));
    for (double y : {6.5, 8.5, 10.5, 12.5})
        p.drawLine(QPointF(5, y), QPointF(11, y));
}

// A collecting page: a calendar sheet, its entries listed by date.
void drawCollecting(QPainter& p) {
    p.setPen(QPen(QColor(90, 100, 120), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 2.5, 13, 12));
    p.setBrush(QColor(205, 60, 60));
    p.drawRect(QRectF(1.5, 2.5, 13, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 110, 170));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawRect(QRectF(3 + col * 2.8, 7 + row * 2.4, 1.7, 1.5));
}

void drawTag(QPainter& p, bool open) {
    p.setPen(QPen(QColor(30, 110, 60), 0.8));
    p.setBrush(open ? QColor(150, 220, 160) : QColor(80, 175, 100));
    QPainterPath tag;
    tag.moveTo(1.5, 5.5);
    tag.lineTo(10, 5.5);
    tag.lineTo(14.5, 9);
    tag.lineTo(10, 12.5);
    tag.lineTo(1.5, 12.5);
    tag.closeSubpath();
    p.drawPath(tag);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(10.5, 9), 1.2, 1.2);
}

// The mark of a link: a small curved arrow in the lower left corner.
void drawLinkMark(QPainter& p) {
    p.setPen(QPen(QColor(40, 80, 160), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(0.5, 8.5, 7, 7));
    p.setPen(QPen(QColor(30, 90, 200), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath arrow;
    arrow.moveTo(2.2, 14);
    arrow.cubicTo(2.2, 11.5, 3.5, 10.5, 6, 10.5);
    p.drawPath(arrow);
    p.drawLine(QPointF(4.5, 9.2), QPointF(6, 10.5));
    p.drawLine(QPointF(4.5, 11.8), QPointF(6, 10.5));
}

QPixmap render(const QString& key, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    const QString kind = key.left(2);
    const QString state = key.mid(2);
    if (kind == QLatin1String("tg")) {
        drawTag(p, state == QLatin1String("opn"));
        return pixmap;
    }
    if (state == QLatin1String("cls"))
        drawFolder(p, false);
    else if (state == QLatin1String("opn"))
        drawFolder(p, true);
    else if (state == QLatin1String("cod"))
        drawCollecting(p);
    else
        drawPage(p);
    if (kind == QLatin1String("lk"))
        drawLinkMark(p);
    return pixmap;
}

bool knownKey(const QString& key) {
    static const QStringList keys = {"ndcod", "lkcod", "ndcls", "lkcls", "ndlef",
                                     "lklef", "ndopn", "lkopn", "tgcls", "tgopn"};
    return keys.contains(key);
}

}  // namespace

QIcon treeIcon(const QString& imageKey) {
    static QHash<QString, QIcon> cache;
    if (!knownKey(imageKey))
        return {};
    auto it = cache.find(imageKey);
    if (it == cache.end()) {
        QIcon icon;
        for (int size : {16, 24, 32, 48})
            icon.addPixmap(render(imageKey, size));
        it = cache.insert(imageKey, icon);
    }
    return it.value();
}

}  // namespace arbor::ui
