// SPDX-License-Identifier: GPL-3.0-or-later
#include "paintings.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace quillon::artwork {

namespace {

constexpr int tile_size = 128;

// A rounded tile with a top-lit gradient; everything else is drawn on it in
// a 100 x 100 space.
class Tile {
public:
    Tile(QColor base, QColor backdrop = Qt::transparent, int size = tile_size)
        : image_(size, size, QImage::Format_ARGB32_Premultiplied) {
        image_.fill(backdrop);
        p_.begin(&image_);
        p_.setRenderHint(QPainter::Antialiasing);
        p_.scale(size / 100.0, size / 100.0);
        QLinearGradient shade(0, 0, 0, 100);
        shade.setColorAt(0, base.lighter(135));
        shade.setColorAt(1, base.darker(125));
        p_.setPen(QPen(base.darker(160), 1.5));
        p_.setBrush(shade);
        p_.drawRoundedRect(QRectF(2, 2, 96, 96), 18, 18);
        // A soft highlight across the top half.
        QLinearGradient gloss(0, 2, 0, 50);
        gloss.setColorAt(0, QColor(255, 255, 255, 90));
        gloss.setColorAt(1, QColor(255, 255, 255, 0));
        p_.setPen(Qt::NoPen);
        p_.setBrush(gloss);
        p_.drawRoundedRect(QRectF(5, 4, 90, 46), 15, 15);
        p_.setBrush(Qt::white);
    }
    QPainter &painter() { return p_; }
    QImage done() {
        p_.end();
        return image_;
    }

private:
    QImage image_;
    QPainter p_;
};

QFont sans(double pixels, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(static_cast<int>(pixels));
    font.setBold(bold);
    return font;
}

// A telephone handset lying from upper left to lower right, centred on the
// origin, about 64 units long.
QPainterPath handset() {
    QPainterPath body;
    body.moveTo(-26, -22);
    body.cubicTo(-40, 2, -2, 40, 22, 26);
    QPainterPathStroker stroker;
    stroker.setWidth(13);
    stroker.setCapStyle(Qt::RoundCap);
    QPainterPath shape = stroker.createStroke(body);
    auto piece = [](double x, double y) {
        QPainterPath p;
        p.addRoundedRect(QRectF(-15, -8, 30, 16), 7, 7);
        QTransform t;
        t.translate(x, y);
        t.rotate(-45);
        return t.map(p);
    };
    shape = shape.united(piece(-22, -25)).united(piece(25, 22));
    return shape.simplified();
}

void draw_handset(QPainter &p, double cx, double cy, double angle, double scale) {
    p.save();
    p.translate(cx, cy);
    p.rotate(angle);
    p.scale(scale, scale);
    p.setPen(Qt::NoPen);
    p.drawPath(handset());
    p.restore();
}

// An open circular arrow round (cx, cy), running clockwise from start_deg
// through span_deg, with its head at the end.
void draw_round_arrow(QPainter &p, double cx, double cy, double radius, double start_deg, double span_deg) {
    QRectF box(cx - radius, cy - radius, 2 * radius, 2 * radius);
    QPainterPath arc;
    arc.arcMoveTo(box, start_deg);
    arc.arcTo(box, start_deg, -span_deg);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(arc);
    double end = (start_deg - span_deg) * M_PI / 180.0;
    QPointF tip(cx + radius * std::cos(end), cy - radius * std::sin(end));
    // The tangent of a clockwise arc in screen space.
    QPointF ahead(std::sin(end), std::cos(end));
    QPointF side(-ahead.y(), ahead.x());
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({tip + ahead * 9, tip + side * 9, tip - side * 9}));
    p.restore();
}

const char *const keypad_letters[10] = {"+", "", "ABC", "DEF", "GHI", "JKL", "MNO", "PQRS", "TUV", "WXYZ"};

} // namespace

QImage digit_key(int digit) {
    Tile tile(QColor(0x3d, 0x5a, 0x80));
    QPainter &p = tile.painter();
    p.setPen(Qt::white);
    p.setFont(sans(52, true));
    p.drawText(QRectF(0, 6, 100, 64), Qt::AlignCenter, QString::number(digit));
    p.setPen(QColor(0xdd, 0xe6, 0xf0));
    p.setFont(sans(15, true));
    p.drawText(QRectF(0, 66, 100, 24), Qt::AlignCenter, QString::fromLatin1(keypad_letters[digit]));
    return tile.done();
}

QImage dial_key() {
    Tile tile(QColor(0x2e, 0x9e, 0x4f));
    draw_handset(tile.painter(), 50, 50, 0, 1.05);
    return tile.done();
}

QImage hang_up_key() {
    Tile tile(QColor(0xc8, 0x3a, 0x32));
    draw_handset(tile.painter(), 50, 56, 135, 1.05);
    return tile.done();
}

QImage redial_key(QColor backdrop) {
    Tile tile(QColor(0xd9, 0x8c, 0x1f), backdrop);
    QPainter &p = tile.painter();
    draw_handset(p, 50, 50, 0, 0.62);
    draw_round_arrow(p, 50, 50, 34, 120, 290);
    return tile.done();
}

QImage revert_key(QColor backdrop) {
    Tile tile(QColor(0x7b, 0x4f, 0xa6), backdrop);
    QPainter &p = tile.painter();
    // A speech bubble, and an arrow bending back to it.
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(40, 44, 46, 32), 10, 10);
    bubble.moveTo(50, 74);
    bubble.lineTo(44, 88);
    bubble.lineTo(62, 75);
    p.setPen(Qt::NoPen);
    p.drawPath(bubble.simplified());
    p.setBrush(QColor(0x7b, 0x4f, 0xa6));
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(51 + 12 * i, 60), 3.5, 3.5);
    QPainterPath back;
    back.moveTo(72, 34);
    back.cubicTo(72, 18, 40, 14, 26, 30);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(back);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(14, 40), QPointF(20, 18), QPointF(36, 34)}));
    return tile.done();
}

QImage tone_key() {
    Tile tile(QColor(0x1f, 0x8a, 0x8f));
    QPainter &p = tile.painter();
    // Two tones at once, as a key of a tone-dialling telephone sends.
    QPainterPath wave;
    for (int x = 14; x <= 86; ++x) {
        double t = (x - 14) / 72.0 * 2 * M_PI;
        double y = 42 - 12 * std::sin(2 * t) - 6 * std::sin(5 * t);
        if (x == 14)
            wave.moveTo(x, y);
        else
            wave.lineTo(x, y);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(wave);
    p.setPen(Qt::white);
    p.setFont(sans(20, true));
    p.drawText(QRectF(0, 64, 100, 26), Qt::AlignCenter, QStringLiteral("TONE"));
    return tile.done();
}

QImage send_key() {
    Tile tile(QColor(0x2a, 0x6f, 0xc9));
    QPainter &p = tile.painter();
    // A paper plane.
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(14, 50), QPointF(86, 18), QPointF(64, 84), QPointF(48, 60)}));
    p.setBrush(QColor(0xc8, 0xda, 0xf2));
    p.drawPolygon(QPolygonF({QPointF(48, 60), QPointF(86, 18), QPointF(44, 80)}));
    return tile.done();
}

QImage menu_key() {
    Tile tile(QColor(0x5c, 0x63, 0x6e));
    QPainter &p = tile.painter();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(22, 28 + 18 * i, 56, 9), 4.5, 4.5);
    return tile.done();
}

QImage program_icon(int size) {
    Tile tile(QColor(0x3d, 0x5a, 0x80), Qt::transparent, size);
    QPainter &p = tile.painter();
    // A quill over a line of signal.
    QPainterPath feather;
    feather.moveTo(78, 14);
    feather.cubicTo(50, 18, 30, 44, 26, 74);
    feather.cubicTo(44, 62, 70, 44, 78, 14);
    p.setPen(Qt::NoPen);
    p.drawPath(feather);
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(26, 74), QPointF(20, 84));
    p.setBrush(Qt::NoBrush);
    QPainterPath wave;
    wave.moveTo(38, 84);
    for (int i = 0; i < 4; ++i)
        wave.quadTo(43 + 10 * i, 76 + (i % 2) * 16, 48 + 10 * i, 84);
    p.drawPath(wave);
    return tile.done();
}

} // namespace quillon::artwork
