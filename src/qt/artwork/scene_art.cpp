// SPDX-License-Identifier: GPL-3.0-or-later
#include "paintings.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace quillon::artwork {

namespace {

QFont sans(int pixels, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A desktop computer of the modem years: monitor, base, and a modem with
// its lights beside it. (x, y) is the foot of the monitor.
void draw_computer(QPainter &p, double x, double y) {
    p.setPen(QPen(QColor(0x6b, 0x66, 0x5c), 2));
    QLinearGradient case_shade(x - 70, 0, x + 70, 0);
    case_shade.setColorAt(0, QColor(0xe8, 0xe2, 0xd0));
    case_shade.setColorAt(1, QColor(0xc9, 0xc1, 0xab));
    p.setBrush(case_shade);
    p.drawRoundedRect(QRectF(x - 62, y - 118, 124, 100), 8, 8);
    p.setBrush(QColor(0x1d, 0x3b, 0x2a));
    p.drawRoundedRect(QRectF(x - 50, y - 108, 100, 76), 5, 5);
    // Text on the screen.
    p.setPen(QPen(QColor(0x6c, 0xf0, 0x8c), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i) {
        double width = 70 - (i * 23) % 40;
        p.drawLine(QPointF(x - 40, y - 96 + 12 * i), QPointF(x - 40 + width, y - 96 + 12 * i));
    }
    p.setPen(QPen(QColor(0x6b, 0x66, 0x5c), 2));
    p.setBrush(case_shade);
    p.drawRect(QRectF(x - 14, y - 18, 28, 10));
    p.drawRoundedRect(QRectF(x - 78, y - 8, 156, 22), 4, 4);
    // The modem, with its lights.
    p.setBrush(QColor(0x3a, 0x3f, 0x47));
    p.drawRoundedRect(QRectF(x + 40, y - 30, 56, 22), 4, 4);
    const QColor lights[] = {QColor(0xff, 0x5a, 0x4a), QColor(0x6c, 0xf0, 0x8c), QColor(0x6c, 0xf0, 0x8c),
                             QColor(0xff, 0xc8, 0x3c)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(lights[i]);
        p.drawEllipse(QPointF(x + 52 + 11 * i, y - 19), 3, 3);
    }
}

void draw_folder(QPainter &p, QRectF box, bool open) {
    QColor back(0xe0, 0xa8, 0x2e);
    QColor front(0xf5, 0xc5, 0x4c);
    p.setPen(QPen(back.darker(140), 1.5));
    p.setBrush(back);
    QPainterPath rear;
    rear.moveTo(box.left(), box.bottom());
    rear.lineTo(box.left(), box.top() + 6);
    rear.lineTo(box.left() + box.width() * 0.38, box.top() + 6);
    rear.lineTo(box.left() + box.width() * 0.45, box.top() + 12);
    rear.lineTo(box.right(), box.top() + 12);
    rear.lineTo(box.right(), box.bottom());
    rear.closeSubpath();
    p.drawPath(rear);
    p.setBrush(front);
    double lift = open ? box.height() * 0.22 : 0;
    QPolygonF flap({QPointF(box.left(), box.top() + 20 + lift), QPointF(box.right(), box.top() + 20 + lift),
                    QPointF(box.right() - (open ? 6 : 0), box.bottom()),
                    QPointF(box.left() + (open ? 6 : 0), box.bottom())});
    p.drawPolygon(flap);
}

void draw_document(QPainter &p, QPointF centre, double angle) {
    p.save();
    p.translate(centre);
    p.rotate(angle);
    QPolygonF sheet({QPointF(-13, -17), QPointF(6, -17), QPointF(13, -10), QPointF(13, 17), QPointF(-13, 17)});
    p.setPen(QPen(QColor(0x7a, 0x80, 0x8a), 1.2));
    p.setBrush(Qt::white);
    p.drawPolygon(sheet);
    p.setPen(QPen(QColor(0x5b, 0x8d, 0xd6), 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(-8, -7 + 6 * i), QPointF(i == 3 ? 1 : 8, -7 + 6 * i));
    p.restore();
}

} // namespace

QImage help_photo() {
    QImage image(480, 320, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 320);
    sky.setColorAt(0, QColor(0x9c, 0xc7, 0xef));
    sky.setColorAt(0.7, QColor(0xe6, 0xf1, 0xfa));
    sky.setColorAt(0.7001, QColor(0xb8, 0x94, 0x6a));
    sky.setColorAt(1, QColor(0x8d, 0x6c, 0x49));
    p.fillRect(image.rect(), sky);

    // The telephone line from one modem to the other, over two poles.
    p.setPen(QPen(QColor(0x5b, 0x4a, 0x3a), 6));
    for (double x : {170.0, 310.0})
        p.drawLine(QPointF(x, 224), QPointF(x, 96));
    p.drawLine(QPointF(156, 106), QPointF(184, 106));
    p.drawLine(QPointF(296, 106), QPointF(324, 106));
    QPainterPath line;
    line.moveTo(134, 196);
    line.cubicTo(150, 140, 160, 106, 170, 106);
    line.cubicTo(220, 128, 260, 128, 310, 106);
    line.cubicTo(330, 106, 380, 150, 418, 196);
    p.setPen(QPen(QColor(0x2d, 0x2d, 0x2d), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line);
    // Text on its way along the line.
    QRadialGradient glow(QPointF(240, 120), 26);
    glow.setColorAt(0, QColor(255, 255, 200, 220));
    glow.setColorAt(1, QColor(255, 255, 200, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(240, 120), 26, 26);
    draw_document(p, QPointF(240, 118), -8);

    draw_computer(p, 80, 250);
    draw_computer(p, 370, 250);

    p.setPen(QColor(0x1f, 0x33, 0x4d));
    p.setFont(sans(34, true));
    p.drawText(QRectF(0, 14, 480, 44), Qt::AlignCenter, QStringLiteral("Quillon"));
    p.setFont(sans(14, false));
    p.drawText(QRectF(0, 54, 480, 22), Qt::AlignCenter, QStringLiteral("chat and files over the telephone line"));
    return image;
}

std::vector<QImage> file_copy_frames() {
    constexpr int frames = 12;
    std::vector<QImage> out;
    for (int i = 0; i < frames; ++i) {
        QImage image(180, 90, QImage::Format_RGB32);
        image.fill(QColor(0xf4, 0xf6, 0xf9));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        double t = i / double(frames - 1);
        draw_folder(p, QRectF(8, 40, 46, 40), t < 0.2);
        draw_folder(p, QRectF(126, 40, 46, 40), t > 0.8);
        // The document rises out of one folder and drops into the other.
        double x = 31 + (149 - 31) * t;
        double y = 52 - 34 * std::sin(t * M_PI);
        draw_document(p, QPointF(x, y), -20 + 40 * t);
        out.push_back(image);
    }
    return out;
}

} // namespace quillon::artwork
