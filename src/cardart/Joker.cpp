// SPDX-License-Identifier: GPL-3.0-or-later
// The joker: a jester with its stars.
#include "cardart/Drawing.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace canasta::art {

// ---------------------------------------------------------------------------
// Joker: a jester's head with a three-pointed belled cap, "JOKER" spelled
// down the corners.

void DrawJester(QPainter& p, qreal H, qreal lineWidth) {
    const QPen line(kInk, lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const qreal cy = H * 0.42;
    const QColor red(214, 34, 44), blue(36, 84, 190), green(40, 150, 70);

    // harlequin body with a pointed hem
    const qreal hem = H - 16;
    QPainterPath body;
    body.moveTo(14, hem);
    body.cubicTo(16, cy + 52, 30, cy + 38, 50, cy + 36);
    body.cubicTo(70, cy + 38, 84, cy + 52, 86, hem);
    QPolygonF hemTips;
    for (int i = 1; i <= 12; ++i) {
        const QPointF pt(86 - i * 6, i % 2 ? hem + 8 : hem);
        body.lineTo(pt);
        if (i % 2) hemTips << pt;
    }
    body.closeSubpath();
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawPath(body);
    p.setClipPath(body, Qt::IntersectClip);
    const qreal dw = 12, dh = 16;
    int row = 0;
    for (qreal y = cy + 30; y < H + dh; y += dh / 2, ++row) {
        for (qreal x = (row % 2) * dw / 2; x < 100 + dw; x += dw) {
            QPolygonF d;
            d << QPointF(x, y - dh / 2) << QPointF(x + dw / 2, y) << QPointF(x, y + dh / 2) << QPointF(x - dw / 2, y);
            p.setBrush((int(x / dw) + row) % 2 ? red : blue);
            if (row % 2 == 0) p.drawPolygon(d);
        }
    }
    p.restore();
    p.setPen(line);
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
    p.setBrush(kGold);
    for (QPointF tip : hemTips) p.drawEllipse(tip, 2.4, 2.4);

    // ruff collar of coloured points with bells
    const QColor ruffColors[3] = {red, kGold, blue};
    for (int i = 0; i < 9; ++i) {
        const qreal a = qDegreesToRadians(20 + i * 17.5);
        const QPointF tip(50 + 38 * std::cos(a), cy + 20 + 22 * std::sin(a));
        const QPointF b1(50 + 16 * std::cos(a - 0.2), cy + 18 + 10 * std::sin(a - 0.2));
        const QPointF b2(50 + 16 * std::cos(a + 0.2), cy + 18 + 10 * std::sin(a + 0.2));
        QPolygonF pt;
        pt << b1 << tip << b2;
        p.setPen(line);
        p.setBrush(ruffColors[i % 3]);
        p.drawPolygon(pt);
        p.setBrush(kGold);
        p.drawEllipse(tip, 2.6, 2.6);
    }

    // cap: three floppy points, each ending in a bell
    struct TLobe {
        QPointF Base1, Ctrl1, Ctrl2, Tip, Ctrl3, Ctrl4, Base2;
        QColor Color;
    };
    const TLobe lobes[3] = {
        {{30, cy - 16}, {18, cy - 34}, {2, cy - 44}, {6, cy - 20}, {10, cy - 34}, {30, cy - 38}, {44, cy - 24}, red},
        {{60, cy - 24}, {70, cy - 38}, {90, cy - 34}, {94, cy - 20}, {98, cy - 44}, {82, cy - 34}, {70, cy - 16}, blue},
        {{38, cy - 22},
         {38, cy - 50},
         {44, cy - 70},
         {60, cy - 76},
         {52, cy - 60},
         {60, cy - 44},
         {62, cy - 22},
         green},
    };
    for (const TLobe& l : lobes) {
        QPainterPath lobe;
        lobe.moveTo(l.Base1);
        lobe.cubicTo(l.Ctrl1, l.Ctrl2, l.Tip);
        lobe.cubicTo(l.Ctrl3, l.Ctrl4, l.Base2);
        lobe.closeSubpath();
        p.setPen(line);
        QLinearGradient g(l.Base1, l.Tip);
        g.setColorAt(0, l.Color.lighter(125));
        g.setColorAt(1, l.Color.darker(115));
        p.setBrush(g);
        p.drawPath(lobe);
    }
    for (const TLobe& l : lobes) {
        QRadialGradient bell(l.Tip - QPointF(1.5, 1.5), 6);
        bell.setColorAt(0, QColor(255, 244, 180));
        bell.setColorAt(1, kGold.darker(110));
        p.setPen(line);
        p.setBrush(bell);
        p.drawEllipse(l.Tip, 5, 5);
        p.drawLine(l.Tip + QPointF(-2, 2), l.Tip + QPointF(2, 2));
    }
    // cap band
    QPainterPath band;
    band.moveTo(27, cy - 12);
    band.quadTo(50, cy - 30, 73, cy - 12);
    band.lineTo(73, cy - 6);
    band.quadTo(50, cy - 24, 27, cy - 6);
    band.closeSubpath();
    p.setBrush(kGold);
    p.drawPath(band);
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    for (int i = 0; i < 5; ++i) {
        const qreal t = (i - 2) / 2.0;
        p.drawEllipse(QPointF(50 + t * 18, cy - 18 + t * t * 7), 1.8, 1.8);
    }

    // face
    p.setPen(line);
    p.setBrush(QColor(255, 238, 220));
    p.drawEllipse(QPointF(50, cy + 4), 20, 19);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 110, 110, 140));
    p.drawEllipse(QPointF(38, cy + 10), 4.5, 3);
    p.drawEllipse(QPointF(62, cy + 10), 4.5, 3);
    // diamond marks under the eyes
    p.setBrush(blue);
    for (qreal x : {41.0, 59.0}) {
        QPolygonF d;
        d << QPointF(x, cy + 3) << QPointF(x + 2, cy + 6) << QPointF(x, cy + 9) << QPointF(x - 2, cy + 6);
        p.drawPolygon(d);
    }
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath eyes;
    eyes.moveTo(38, cy);
    eyes.quadTo(41.5, cy - 4, 45, cy);
    eyes.moveTo(55, cy);
    eyes.quadTo(58.5, cy - 4, 62, cy);
    p.drawPath(eyes);
    QPainterPath brows;
    brows.moveTo(36, cy - 6);
    brows.quadTo(41, cy - 10, 46, cy - 7);
    brows.moveTo(54, cy - 7);
    brows.quadTo(59, cy - 10, 64, cy - 6);
    p.drawPath(brows);
    QPainterPath smile;
    smile.moveTo(39, cy + 10);
    smile.quadTo(50, cy + 24, 61, cy + 10);
    smile.quadTo(50, cy + 16, 39, cy + 10);
    p.setPen(QPen(kInk, 1.0));
    p.setBrush(QColor(200, 30, 40));
    p.drawPath(smile);
    QRadialGradient nose(QPointF(49, cy + 4), 4);
    nose.setColorAt(0, QColor(255, 120, 110));
    nose.setColorAt(1, QColor(200, 20, 30));
    p.setBrush(nose);
    p.drawEllipse(QPointF(50, cy + 5), 3.6, 3.4);
}

void DrawJokerStars(QPainter& p, QPointF c, qreal r, const QColor& color) {
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal a = qDegreesToRadians(-90 + i * 36.0);
        const qreal rr = i % 2 ? r * 0.45 : r;
        star << QPointF(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(star);
}

void DrawJoker(QPainter& p, const TFaceLayout& L) {
    const QRectF f = L.Frame.adjusted(0, L.H * 0.02, 0, -L.H * 0.02);
    const qreal s = f.width() / 100;
    p.save();
    p.translate(f.topLeft());
    p.scale(s, s);
    DrawJester(p, f.height() / s, std::max(1.0, 0.5 / s));
    p.restore();

    // "JOKER" down the top-left corner and, turned round, the bottom-right
    const qreal letterH = std::min(L.CapH * 0.66, (L.H * 0.46) / 5 / 1.25);
    const QString word = QStringLiteral("JOKER");
    for (int corner = 0; corner < 2; ++corner) {
        p.save();
        if (corner == 1) {
            p.translate(L.W, L.H);
            p.rotate(180);
        }
        const qreal cx = L.MarginX + L.IndexWidth / 2;
        qreal y = L.MarginY;
        for (QChar ch : word) {
            DrawGlyph(p, QString(ch), cx, y, letterH, L.IndexWidth, kRed);
            y += letterH * 1.25;
        }
        DrawJokerStars(p, QPointF(cx, y + letterH * 0.55), letterH * 0.7, kBlack);
        p.restore();
    }
}

}  // namespace canasta::art
