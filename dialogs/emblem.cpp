#include "dialogs/emblem.h"

#include <QPainter>
#include <QPainterPath>

namespace qelvrin {

QPixmap drawEmblem(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 100.0, size / 100.0);

    // Shield.
    QPainterPath shield;
    shield.moveTo(50, 4);
    shield.lineTo(92, 16);
    shield.cubicTo(92, 58, 76, 82, 50, 96);
    shield.cubicTo(24, 82, 8, 58, 8, 16);
    shield.closeSubpath();
    painter.setPen(QPen(QColor(0, 0, 128), 3));
    painter.setBrush(QColor(0, 128, 128));
    painter.drawPath(shield);

    // Flask with its liquid.
    QPainterPath flask;
    flask.moveTo(42, 20);
    flask.lineTo(58, 20);
    flask.lineTo(58, 42);
    flask.lineTo(74, 74);
    flask.quadTo(76, 80, 70, 80);
    flask.lineTo(30, 80);
    flask.quadTo(24, 80, 26, 74);
    flask.lineTo(42, 42);
    flask.closeSubpath();
    painter.setPen(QPen(Qt::black, 2.5));
    painter.setBrush(QColor(255, 255, 224));
    painter.drawPath(flask);

    painter.save();
    painter.setClipPath(flask);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(192, 0, 0));
    painter.drawRect(QRectF(20, 58, 60, 24));
    painter.restore();

    painter.setPen(QPen(Qt::black, 2.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(flask);
    painter.drawLine(QPointF(38, 20), QPointF(62, 20));

    // Bubbles.
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(46, 68), 3, 3);
    painter.drawEllipse(QPointF(55, 63), 2, 2);
    return pixmap;
}

QIcon applicationIcon()
{
    return QIcon(drawEmblem(32));
}

} // namespace qelvrin
