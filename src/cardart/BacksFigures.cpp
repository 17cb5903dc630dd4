// SPDX-License-Identifier: GPL-3.0-or-later
// The back designs of figures and shapes (two patterns, the robot, the rose, the shell).
#include "cardart/Drawing.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace canasta::art {

void StarPolygon(QPainter& p, QPointF c, int points, qreal outer, qreal inner) {
    QPolygonF star;
    for (int i = 0; i < points * 2; ++i) {
        const qreal a = qDegreesToRadians(-90 + i * 180.0 / points);
        const qreal r = i % 2 ? inner : outer;
        star << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    p.drawPolygon(star);
}

void ArtPattern1(QPainter& p, qreal H) {
    QRadialGradient bg(QPointF(50, H / 2), H * 0.7);
    bg.setColorAt(0, QColor(206, 34, 52));
    bg.setColorAt(1, QColor(140, 12, 30));
    p.fillRect(QRectF(0, 0, 100, H), bg);
    // diamond trellis
    const qreal step = 12;
    p.setPen(QPen(QColor(255, 230, 220, 120), 0.7));
    for (qreal k = -H; k < 100 + H; k += step) {
        p.drawLine(QPointF(k, 0), QPointF(k + H * 0.75, H));
        p.drawLine(QPointF(k, 0), QPointF(k - H * 0.75, H));
    }
    // quatrefoils in the cells
    p.setPen(Qt::NoPen);
    const qreal dy = step / 0.75 / 2;
    int row = 0;
    for (qreal y = 0; y < H + dy; y += dy, ++row) {
        for (qreal x = (row % 2) * step / 2; x < 100 + step; x += step) {
            p.setBrush(QColor(255, 236, 200, 170));
            for (int i = 0; i < 4; ++i) {
                const qreal a = qDegreesToRadians(i * 90.0);
                p.drawEllipse(QPointF(x + 1.3 * std::cos(a), y + dy + 1.3 * std::sin(a)), 1.1, 1.1);
            }
        }
    }
    // double border and central medallion
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 240, 220), 1.6));
    p.drawRoundedRect(QRectF(4, 4, 92, H - 8), 4, 4);
    p.setPen(QPen(QColor(255, 240, 220), 0.6));
    p.drawRoundedRect(QRectF(7, 7, 86, H - 14), 3, 3);
    const QPointF c(50, H / 2);
    p.setPen(QPen(QColor(255, 240, 220), 1.4));
    p.setBrush(QColor(150, 14, 32));
    p.drawEllipse(c, 22, 30);
    p.setPen(QPen(QColor(255, 240, 220), 0.6));
    p.drawEllipse(c, 19, 27);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 196, 90));
    StarPolygon(p, c, 8, 15, 6.5);
    p.setBrush(QColor(150, 14, 32));
    p.drawEllipse(c, 4.5, 4.5);
    p.setBrush(QColor(255, 240, 220));
    p.drawEllipse(c, 2.2, 2.2);
    for (int i = 0; i < 8; ++i) {
        const qreal a = qDegreesToRadians(i * 45.0 + 22.5);
        p.drawEllipse(QPointF(c.x() + 12 * std::cos(a), c.y() + 17 * std::sin(a)), 1.1, 1.1);
    }
}

void ArtPattern2(QPainter& p, qreal H) {
    QLinearGradient bg(0, 0, 100, H);
    bg.setColorAt(0, QColor(28, 60, 140));
    bg.setColorAt(0.5, QColor(20, 44, 110));
    bg.setColorAt(1, QColor(28, 60, 140));
    p.fillRect(QRectF(0, 0, 100, H), bg);
    // overlapping circles on a hexagonal lattice form six-petalled rosettes
    const qreal r = 9;
    const qreal dy = r * std::sqrt(3.0) / 2;
    p.setPen(QPen(QColor(200, 220, 255, 150), 0.7));
    p.setBrush(Qt::NoBrush);
    int row = 0;
    for (qreal y = H / 2 - dy * int(H / 2 / dy + 2); y < H + r; y += dy, ++row) {
        for (qreal x = (row % 2) * r / 2 - r; x < 100 + r; x += r) p.drawEllipse(QPointF(x, y), r, r);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(246, 200, 80));
    row = 0;
    for (qreal y = H / 2 - dy * int(H / 2 / dy + 2); y < H + r; y += dy, ++row) {
        for (qreal x = (row % 2) * r / 2 - r; x < 100 + r; x += r) p.drawEllipse(QPointF(x, y), 0.9, 0.9);
    }
    // gold frame with corner diamonds
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(246, 200, 80), 2.0));
    p.drawRect(QRectF(5, 5, 90, H - 10));
    p.setPen(QPen(QColor(246, 200, 80), 0.6));
    p.drawRect(QRectF(8.5, 8.5, 83, H - 17));
    p.setPen(QPen(QColor(20, 44, 110), 0.8));
    p.setBrush(QColor(246, 200, 80));
    for (QPointF c : {QPointF(5, 5), QPointF(95, 5), QPointF(5, H - 5), QPointF(95, H - 5)}) {
        QPolygonF d;
        d << c + QPointF(0, -5) << c + QPointF(5, 0) << c + QPointF(0, 5) << c + QPointF(-5, 0);
        p.drawPolygon(d);
    }
    // central compass star
    const QPointF c(50, H / 2);
    p.setPen(QPen(QColor(246, 200, 80), 1.2));
    p.setBrush(QColor(20, 44, 110));
    p.drawEllipse(c, 20, 20);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(246, 200, 80));
    StarPolygon(p, c, 4, 18, 4.5);
    p.setBrush(QColor(200, 220, 255));
    p.save();
    p.translate(c);
    p.rotate(45);
    StarPolygon(p, QPointF(0, 0), 4, 11, 3.5);
    p.restore();
    p.setBrush(QColor(246, 200, 80));
    p.drawEllipse(c, 2.5, 2.5);
}

void ArtRobot(QPainter& p, qreal H) {
    FillVertical(p, QRectF(0, 0, 100, H), QColor(200, 238, 248), QColor(110, 190, 220));
    // background sparkles and bolts
    TLcg rng(5);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 16; ++i) {
        const QPointF at(rng.Range(4, 96), rng.Range(4, H - 4));
        p.setBrush(QColor(255, 255, 255, 170));
        StarPolygon(p, at, 4, rng.Range(1.6, 3.0), 0.6);
    }
    const qreal oy = (H - 150) / 2;
    p.translate(0, oy);
    const QPen line(QColor(40, 50, 70), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    // shadow
    p.setBrush(QColor(0, 40, 60, 50));
    p.drawEllipse(QPointF(50, 142), 30, 4);
    // antenna
    p.setPen(QPen(QColor(90, 100, 120), 2.0));
    p.drawLine(QPointF(50, 32), QPointF(50, 18));
    p.setPen(line);
    QRadialGradient bulb(QPointF(49, 15), 4);
    bulb.setColorAt(0, QColor(255, 180, 180));
    bulb.setColorAt(1, QColor(220, 30, 40));
    p.setBrush(bulb);
    p.drawEllipse(QPointF(50, 16), 4, 4);
    // arms: left one waving
    auto arm = [&](QPainterPath path) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(40, 50, 70), 7.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
        p.setPen(QPen(QColor(170, 182, 200), 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    };
    QPainterPath left;
    left.moveTo(28, 78);
    left.lineTo(14, 70);
    left.lineTo(12, 52);
    arm(left);
    QPainterPath right;
    right.moveTo(72, 78);
    right.lineTo(84, 92);
    right.lineTo(84, 106);
    arm(right);
    p.setPen(line);
    p.setBrush(QColor(255, 150, 40));
    p.drawEllipse(QPointF(12, 48), 5, 5);
    p.drawEllipse(QPointF(84, 110), 5, 5);
    // legs and feet
    p.setBrush(QColor(150, 162, 180));
    p.drawRect(QRectF(36, 112, 9, 20));
    p.drawRect(QRectF(55, 112, 9, 20));
    p.setBrush(QColor(60, 110, 200));
    p.drawRoundedRect(QRectF(31, 130, 17, 9), 3, 3);
    p.drawRoundedRect(QRectF(52, 130, 17, 9), 3, 3);
    // body
    QLinearGradient bodyG(26, 0, 74, 0);
    bodyG.setColorAt(0, QColor(90, 150, 235));
    bodyG.setColorAt(1, QColor(40, 90, 190));
    p.setBrush(bodyG);
    p.drawRoundedRect(QRectF(26, 68, 48, 46), 8, 8);
    p.setBrush(QColor(36, 48, 76));
    p.drawRoundedRect(QRectF(35, 75, 30, 24), 3, 3);
    const QColor lights[3] = {QColor(255, 80, 80), QColor(255, 220, 60), QColor(80, 230, 120)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(lights[i]);
        p.drawEllipse(QPointF(42 + i * 8, 81), 2.4, 2.4);
    }
    p.save();
    p.translate(50, 92);
    p.scale(9, 9);
    p.setBrush(QColor(255, 110, 150));
    p.drawPath(SuitPath(kHeart));
    p.restore();
    p.setPen(line);
    p.setBrush(QColor(190, 200, 215));
    p.drawEllipse(QPointF(50, 106), 3, 3);
    // neck
    p.setBrush(QColor(110, 120, 140));
    p.drawRect(QRectF(44, 62, 12, 7));
    // head
    p.setBrush(QColor(255, 150, 40));
    p.drawRoundedRect(QRectF(22, 40, 6, 14), 2, 2);
    p.drawRoundedRect(QRectF(72, 40, 6, 14), 2, 2);
    QLinearGradient headG(0, 30, 0, 64);
    headG.setColorAt(0, QColor(226, 234, 244));
    headG.setColorAt(1, QColor(160, 174, 196));
    p.setBrush(headG);
    p.drawRoundedRect(QRectF(27, 30, 46, 34), 9, 9);
    // eyes
    for (qreal x : {40.0, 60.0}) {
        p.setPen(line);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(x, 45), 7, 7);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 60, 140));
        p.drawEllipse(QPointF(x + 1, 46), 3.8, 3.8);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(x + 2.2, 44.5), 1.3, 1.3);
    }
    p.setBrush(QColor(255, 130, 150, 150));
    p.drawEllipse(QPointF(32.5, 55), 3.2, 2.2);
    p.drawEllipse(QPointF(67.5, 55), 3.2, 2.2);
    // smile
    QPainterPath smile;
    smile.moveTo(42, 54);
    smile.quadTo(50, 62, 58, 54);
    smile.quadTo(50, 58, 42, 54);
    p.setPen(QPen(QColor(40, 50, 70), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(60, 40, 60));
    p.drawPath(smile);
    // rivets
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 132, 150));
    for (QPointF r : {QPointF(31, 34), QPointF(69, 34), QPointF(31, 60), QPointF(69, 60)}) p.drawEllipse(r, 1.1, 1.1);
}

QPainterPath PetalPath(qreal length, qreal width) {
    QPainterPath petal;
    petal.moveTo(0, 0);
    petal.cubicTo(-width, -length * 0.25, -width * 0.9, -length, 0, -length);
    petal.cubicTo(width * 0.9, -length, width, -length * 0.25, 0, 0);
    return petal;
}

void ArtRose(QPainter& p, qreal H) {
    FillVertical(p, QRectF(0, 0, 100, H), QColor(255, 244, 236), QColor(246, 212, 214));
    // faint lattice of dots
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 140, 150, 90));
    int row = 0;
    for (qreal y = 4; y < H; y += 8, ++row)
        for (qreal x = 4 + (row % 2) * 4; x < 100; x += 8) p.drawEllipse(QPointF(x, y), 0.8, 0.8);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(170, 30, 50), 1.0));
    p.drawRoundedRect(QRectF(4, 4, 92, H - 8), 5, 5);

    const QPointF c(50, H * 0.36);
    // stem with thorns
    QPainterPath stem;
    stem.moveTo(c + QPointF(0, 14));
    stem.cubicTo(QPointF(54, H * 0.6), QPointF(44, H * 0.75), QPointF(48, H * 0.94));
    p.setPen(QPen(QColor(50, 110, 50), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(stem);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(50, 110, 50));
    for (qreal t : {0.35, 0.6, 0.8}) {
        const QPointF at = stem.pointAtPercent(t);
        const bool right = t < 0.5;
        QPolygonF thorn;
        thorn << at + QPointF(0, -1.8) << at + QPointF(right ? 4.5 : -4.5, -2.5) << at + QPointF(0, 1.8);
        p.drawPolygon(thorn);
    }
    // leaves on short twigs
    const QPointF l1 = stem.pointAtPercent(0.45), l2 = stem.pointAtPercent(0.68);
    DrawLeaf(p, l1 + QPointF(-10, -4), -60, 20, QColor(60, 140, 60), 0.6);
    DrawLeaf(p, l2 + QPointF(10, -4), 60, 18, QColor(70, 150, 64), 0.6);
    // the bloom: outer petals, a middle ring, then a tight spiral centre
    p.translate(c);
    p.scale(1.3, 1.3);
    p.translate(-c);
    auto petals = [&](int n, qreal offset, qreal length, qreal width, const QColor& inner, const QColor& outer) {
        for (int i = 0; i < n; ++i) {
            p.save();
            p.translate(c);
            p.rotate(offset + i * 360.0 / n);
            QRadialGradient g(QPointF(0, 0), length);
            g.setColorAt(0, inner);
            g.setColorAt(1, outer);
            p.setPen(QPen(QColor(110, 10, 30), 0.7));
            p.setBrush(g);
            p.drawPath(PetalPath(length, width));
            p.restore();
        }
    };
    petals(6, 0, 20, 13, QColor(150, 10, 34), QColor(226, 50, 70));
    petals(5, 36, 14, 10, QColor(160, 12, 36), QColor(236, 70, 86));
    p.setPen(QPen(QColor(110, 10, 30), 0.7));
    QRadialGradient core(c, 9);
    core.setColorAt(0, QColor(140, 8, 30));
    core.setColorAt(1, QColor(214, 40, 60));
    p.setBrush(core);
    p.drawEllipse(c, 8.5, 8);
    QPainterPath spiral;
    for (int i = 0; i <= 60; ++i) {
        const qreal a = i * 0.21;
        const qreal r = 7 - i * 0.11;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * 0.92 * std::sin(a));
        if (i == 0)
            spiral.moveTo(pt);
        else
            spiral.lineTo(pt);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(100, 6, 24), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(spiral);
    p.setPen(QPen(QColor(255, 140, 150, 160), 0.8, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 6; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 60 + 20);
        p.drawArc(QRectF(-14, -14, 28, 28), 60 * 16, 40 * 16);
        p.restore();
    }
}

void ArtShell(QPainter& p, qreal H) {
    FillVertical(p, QRectF(0, 0, 100, H), QColor(190, 236, 240), QColor(100, 190, 205));
    // sand at the bottom
    QPainterPath sand;
    sand.moveTo(-2, H * 0.8);
    sand.cubicTo(30, H * 0.76, 70, H * 0.84, 102, H * 0.79);
    sand.lineTo(102, H + 2);
    sand.lineTo(-2, H + 2);
    sand.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 214, 160));
    p.drawPath(sand);
    TLcg rng(3);
    p.setBrush(QColor(210, 180, 120));
    for (int i = 0; i < 30; ++i) p.drawEllipse(QPointF(rng.Range(0, 100), rng.Range(H * 0.84, H)), 0.7, 0.7);
    Bubbles(p, QPointF(16, H * 0.5), 4, 1.6);
    Bubbles(p, QPointF(86, H * 0.4), 3, 1.3);

    // scallop: ribs fanning out from the hinge, scalloped rim
    const QPointF hinge(50, H * 0.64);
    const qreal R = 44;
    const int ribs = 11;
    const qreal a0 = 202, a1 = 338;
    auto polar = [&](qreal deg, qreal r) {
        const qreal a = qDegreesToRadians(deg);
        return QPointF(hinge.x() + r * std::cos(a), hinge.y() + r * std::sin(a) * 1.15);
    };
    QPainterPath shell;
    shell.moveTo(hinge);
    shell.lineTo(polar(a0, R));
    for (int i = 0; i < ribs; ++i) {
        const qreal from = a0 + (a1 - a0) * i / ribs, to = a0 + (a1 - a0) * (i + 1) / ribs;
        shell.quadTo(polar((from + to) / 2, R * 1.1), polar(to, R));
    }
    shell.closeSubpath();
    // ears at the hinge
    QPolygonF ears;
    ears << hinge + QPointF(-12, -4) << hinge + QPointF(12, -4) << hinge + QPointF(9, 4) << hinge + QPointF(-9, 4);
    p.setPen(QPen(QColor(170, 70, 50), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(250, 170, 130));
    p.drawPolygon(ears);
    QRadialGradient g(hinge, R * 1.1);
    g.setColorAt(0, QColor(255, 246, 230));
    g.setColorAt(0.45, QColor(255, 190, 150));
    g.setColorAt(1, QColor(236, 110, 90));
    p.setBrush(g);
    p.drawPath(shell);
    p.save();
    p.setClipPath(shell);
    for (int i = 0; i < ribs; ++i) {
        const qreal mid = a0 + (a1 - a0) * (i + 0.5) / ribs;
        const qreal edge = a0 + (a1 - a0) * i / ribs;
        p.setPen(QPen(QColor(255, 255, 255, 150), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(hinge, polar(mid, R * 1.05));
        if (i > 0) {
            p.setPen(QPen(QColor(180, 70, 50, 170), 0.9));
            p.drawLine(hinge, polar(edge, R));
        }
    }
    p.setPen(QPen(QColor(200, 90, 70, 90), 0.8));
    p.setBrush(Qt::NoBrush);
    for (qreal k : {0.4, 0.6, 0.8}) {
        QPainterPath arc;
        arc.moveTo(polar(a0, R * k));
        for (int i = 1; i <= 20; ++i) arc.lineTo(polar(a0 + (a1 - a0) * i / 20, R * k));
        p.drawPath(arc);
    }
    p.restore();
    // a pearl
    QRadialGradient pearl(hinge + QPointF(-1.5, 6.5), 5);
    pearl.setColorAt(0, Qt::white);
    pearl.setColorAt(1, QColor(220, 200, 210));
    p.setPen(QPen(QColor(160, 140, 150), 0.6));
    p.setBrush(pearl);
    p.drawEllipse(hinge + QPointF(0, 8), 4, 4);
    // small snail shell on the sand
    const QPointF s(20, H * 0.9);
    QPainterPath swirl;
    for (int i = 0; i <= 50; ++i) {
        const qreal a = i * 0.3, r = 6 - i * 0.11;
        const QPointF pt(s.x() + r * std::cos(a), s.y() + r * std::sin(a) * 0.8);
        if (i == 0)
            swirl.moveTo(pt);
        else
            swirl.lineTo(pt);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 230, 200));
    p.drawEllipse(s, 6.2, 5);
    p.setPen(QPen(QColor(170, 110, 70), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(swirl);
}

}  // namespace canasta::art
