// SPDX-License-Identifier: GPL-3.0-or-later
// The back designs drawn from nature (beach, fish, leaves), and the frame every design sits in.
#include "cardart/Drawing.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace canasta::art {

// ---------------------------------------------------------------------------
// Backs. Every design draws in a space 100 units wide and H units high that
// maps onto the card's inner panel inside a white border.

void DrawBackFrame(QPainter& p, QSizeF s, void (*art)(QPainter&, qreal)) {
    PaintBlank(p, s, Qt::white);
    const qreal border = std::max(2.0, s.width() * 0.065);
    const QRectF inner(border, border, s.width() - 2 * border, s.height() - 2 * border);
    const qreal r = std::max(1.0, CornerRadius(s) - border * 0.5);
    QPainterPath panel;
    panel.addRoundedRect(inner, r, r);
    p.save();
    p.setClipPath(panel);
    p.translate(inner.topLeft());
    const qreal scale = inner.width() / 100;
    p.scale(scale, scale);
    art(p, inner.height() / scale);
    p.restore();
    p.setPen(QPen(QColor(0, 0, 0, 70), 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(panel);
}

void FillVertical(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

void Cloud(QPainter& p, QPointF at, qreal k) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawEllipse(at + QPointF(-9 * k, 2 * k), 8 * k, 5 * k);
    p.drawEllipse(at + QPointF(0, -2 * k), 9 * k, 7 * k);
    p.drawEllipse(at + QPointF(9 * k, 2 * k), 8 * k, 5 * k);
    p.drawEllipse(at + QPointF(0, 3 * k), 14 * k, 4 * k);
}

QPainterPath LeafPath(qreal length, qreal width) {
    QPainterPath leaf;
    leaf.moveTo(0, -length / 2);
    leaf.cubicTo(width, -length / 4, width * 0.8, length / 3, 0, length / 2);
    leaf.cubicTo(-width * 0.8, length / 3, -width, -length / 4, 0, -length / 2);
    return leaf;
}

void DrawLeaf(QPainter& p, QPointF at, qreal angle, qreal length, const QColor& color, qreal veinWidth) {
    p.save();
    p.translate(at);
    p.rotate(angle);
    const QPainterPath leaf = LeafPath(length, length * 0.42);
    QLinearGradient g(-length * 0.3, 0, length * 0.3, 0);
    g.setColorAt(0, color.lighter(125));
    g.setColorAt(1, color.darker(120));
    p.setPen(QPen(color.darker(160), veinWidth));
    p.setBrush(g);
    p.drawPath(leaf);
    p.setPen(QPen(color.lighter(150), veinWidth));
    p.drawLine(QPointF(0, -length * 0.45), QPointF(0, length * 0.62));
    for (int i = -2; i <= 1; ++i) {
        const qreal y = i * length * 0.16;
        p.drawLine(QPointF(0, y + length * 0.06), QPointF(length * 0.22, y - length * 0.06));
        p.drawLine(QPointF(0, y + length * 0.06), QPointF(-length * 0.22, y - length * 0.06));
    }
    p.restore();
}

void ArtBeach(QPainter& p, qreal H) {
    const qreal horizon = H * 0.46, shore = H * 0.74;
    FillVertical(p, QRectF(0, 0, 100, horizon + 1), QColor(52, 146, 230), QColor(176, 222, 255));
    // sun with rays
    const QPointF sun(70, horizon * 0.42);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 70, 210));
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(sun);
        p.rotate(i * 30);
        QPolygonF ray;
        ray << QPointF(-2.2, -15) << QPointF(0, -24) << QPointF(2.2, -15);
        p.drawPolygon(ray);
        p.restore();
    }
    QRadialGradient sg(sun, 13);
    sg.setColorAt(0, QColor(255, 252, 200));
    sg.setColorAt(0.6, QColor(255, 220, 70));
    sg.setColorAt(1, QColor(255, 170, 30));
    p.setBrush(sg);
    p.drawEllipse(sun, 12, 12);
    Cloud(p, QPointF(24, horizon * 0.28), 1.0);
    Cloud(p, QPointF(40, horizon * 0.7), 0.6);
    // gulls
    p.setPen(QPen(QColor(60, 60, 70), 1.1, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (QPointF g : {QPointF(18, horizon * 0.62), QPointF(27, horizon * 0.55), QPointF(86, horizon * 0.78)}) {
        QPainterPath m;
        m.moveTo(g + QPointF(-4, 0));
        m.quadTo(g + QPointF(-2, -2.5), g);
        m.quadTo(g + QPointF(2, -2.5), g + QPointF(4, 0));
        p.drawPath(m);
    }
    // sea
    QLinearGradient sea(0, horizon, 0, shore);
    sea.setColorAt(0, QColor(20, 96, 180));
    sea.setColorAt(0.6, QColor(36, 150, 210));
    sea.setColorAt(1, QColor(90, 200, 220));
    p.fillRect(QRectF(0, horizon, 100, shore - horizon + 6), sea);
    // sun glitter
    p.setPen(QPen(QColor(255, 244, 200, 200), 1.2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i) {
        const qreal y = horizon + 3 + i * 4.5, half = 9 - i * 1.5;
        p.drawLine(QPointF(sun.x() - half, y), QPointF(sun.x() + half, y));
    }
    // sailboat on the horizon
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    QPolygonF sail;
    sail << QPointF(42, horizon - 1) << QPointF(42, horizon - 12) << QPointF(49, horizon - 1);
    p.drawPolygon(sail);
    p.setBrush(QColor(200, 60, 50));
    QPolygonF hull;
    hull << QPointF(38, horizon - 1) << QPointF(51, horizon - 1) << QPointF(49, horizon + 1.5)
         << QPointF(40, horizon + 1.5);
    p.drawPolygon(hull);
    // waves
    p.setBrush(Qt::NoBrush);
    int row = 0;
    for (qreal y = horizon + 7; y < shore - 2; y += 6, ++row) {
        QPainterPath wave;
        const qreal amp = 0.8 + row * 0.3;
        for (qreal x = -4; x <= 104; x += 2) {
            const qreal yy = y + amp * std::sin(x * 0.25 + row * 1.7);
            if (x < -3)
                wave.moveTo(x, yy);
            else
                wave.lineTo(x, yy);
        }
        p.setPen(QPen(QColor(255, 255, 255, 90 + row * 20), 0.9 + row * 0.15));
        p.drawPath(wave);
    }
    // sand with foam along the shoreline
    QPainterPath sand;
    sand.moveTo(-2, shore);
    for (qreal x = -2; x <= 102; x += 2) sand.lineTo(x, shore + 2.5 * std::sin(x * 0.09 + 0.5));
    QPainterPath foam = sand;
    sand.lineTo(102, H + 2);
    sand.lineTo(-2, H + 2);
    sand.closeSubpath();
    QLinearGradient sg2(0, shore, 0, H);
    sg2.setColorAt(0, QColor(248, 224, 170));
    sg2.setColorAt(1, QColor(226, 184, 110));
    p.setPen(Qt::NoPen);
    p.setBrush(sg2);
    p.drawPath(sand);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 230), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(foam);
    // palm tree
    const QPointF top(26, H * 0.56);
    QPainterPath trunk;
    trunk.moveTo(12, H + 2);
    trunk.cubicTo(14, H * 0.8, 24, H * 0.7, top.x(), top.y());
    p.setPen(QPen(QColor(120, 78, 40), 5.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(trunk);
    p.setPen(QPen(QColor(90, 56, 26), 1.0));
    for (int i = 1; i < 9; ++i) {
        const QPointF pt = trunk.pointAtPercent(i / 9.0);
        p.drawLine(pt + QPointF(-2.6, 0.8), pt + QPointF(2.6, -0.8));
    }
    const qreal frondAngles[6] = {-170, -130, -95, -60, -20, 20};
    for (qreal a : frondAngles) {
        p.save();
        p.translate(top);
        p.rotate(a);
        QPainterPath frond;
        frond.moveTo(0, 0);
        frond.cubicTo(8, -5, 18, -4, 24, 4);
        frond.cubicTo(16, 0, 8, 1, 0, 0);
        p.setPen(QPen(QColor(20, 100, 40), 0.8));
        p.setBrush(QColor(46, 150, 60));
        p.drawPath(frond);
        p.restore();
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 70, 30));
    p.drawEllipse(top + QPointF(-2, 2.5), 2.4, 2.4);
    p.drawEllipse(top + QPointF(2.5, 2.5), 2.4, 2.4);
    // starfish
    QPolygonF star;
    const QPointF sc(74, H * 0.88);
    for (int i = 0; i < 10; ++i) {
        const qreal a = qDegreesToRadians(-90 + i * 36.0 + 10);
        const qreal r = i % 2 ? 3.0 : 7.5;
        star << QPointF(sc.x() + r * std::cos(a), sc.y() + r * std::sin(a));
    }
    p.setPen(QPen(QColor(200, 80, 30), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 130, 60));
    p.drawPolygon(star);
    // a shell and pebbles
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 236, 220));
    p.drawEllipse(QPointF(50, H * 0.93), 3.5, 2.5);
    p.setBrush(QColor(200, 170, 120));
    p.drawEllipse(QPointF(88, H * 0.95), 2, 1.4);
    p.drawEllipse(QPointF(40, H * 0.84), 1.6, 1.1);
}

void DrawFish(QPainter& p, QPointF at, qreal length, bool right, const QColor& body, const QColor& fin,
              const QColor& stripe) {
    p.save();
    p.translate(at);
    p.scale((right ? 1 : -1) * length / 40, length / 40);
    const QPen outline(body.darker(170), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(outline);
    p.setBrush(fin);
    QPolygonF tail;
    tail << QPointF(-13, 0) << QPointF(-22, -10) << QPointF(-19, 0) << QPointF(-22, 10);
    p.drawPolygon(tail);
    QPainterPath dorsal;
    dorsal.moveTo(-7, -8);
    dorsal.quadTo(0, -17, 8, -8.5);
    dorsal.closeSubpath();
    p.drawPath(dorsal);
    QPainterPath fish;
    fish.moveTo(17, 0);
    fish.cubicTo(13, -12, -8, -12, -15, 0);
    fish.cubicTo(-8, 12, 13, 12, 17, 0);
    QLinearGradient g(0, -10, 0, 10);
    g.setColorAt(0, body.lighter(135));
    g.setColorAt(1, body.darker(115));
    p.setBrush(g);
    p.drawPath(fish);
    p.save();
    p.setClipPath(fish);
    p.setPen(QPen(stripe, 2.6));
    p.setBrush(Qt::NoBrush);
    for (qreal x : {3.0, -5.0}) {
        QPainterPath s;
        s.moveTo(x, -12);
        s.quadTo(x - 3, 0, x, 12);
        p.drawPath(s);
    }
    p.restore();
    p.setBrush(fin);
    p.drawEllipse(QPointF(-1, 4), 3.8, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(10, -2.5), 2.8, 2.8);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(10.7, -2.5), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(11.2, -3.1), 0.5, 0.5);
    p.restore();
}

void Bubbles(QPainter& p, QPointF from, int count, qreal size) {
    p.setPen(QPen(QColor(255, 255, 255, 200), 0.7));
    p.setBrush(QColor(255, 255, 255, 50));
    for (int i = 0; i < count; ++i) {
        const qreal r = size * (0.6 + i * 0.25);
        from += QPointF((i % 2 ? 1.5 : -1.0), -r * 3.2);
        p.drawEllipse(from, r, r);
    }
}

void ArtFish1(QPainter& p, qreal H) {
    FillVertical(p, QRectF(0, 0, 100, H), QColor(80, 180, 236), QColor(10, 52, 112));
    // light shafts
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 22));
    for (int i = 0; i < 4; ++i) {
        QPolygonF ray;
        const qreal x = 8 + i * 26;
        ray << QPointF(x, 0) << QPointF(x + 10, 0) << QPointF(x + 30, H * 0.8) << QPointF(x + 12, H * 0.8);
        p.drawPolygon(ray);
    }
    // sea floor and weed
    QPainterPath floor;
    floor.moveTo(-2, H - 12);
    floor.cubicTo(30, H - 20, 60, H - 6, 102, H - 16);
    floor.lineTo(102, H + 2);
    floor.lineTo(-2, H + 2);
    floor.closeSubpath();
    p.setBrush(QColor(214, 190, 130));
    p.drawPath(floor);
    p.setBrush(Qt::NoBrush);
    TLcg rng(7);
    for (qreal x : {10.0, 18.0, 80.0, 90.0, 58.0}) {
        QPainterPath weed;
        const qreal base = H - 12, height = rng.Range(24, 40);
        weed.moveTo(x, base);
        weed.cubicTo(x - 6, base - height * 0.35, x + 6, base - height * 0.65, x - 2, base - height);
        p.setPen(QPen(QColor(40, 140, 70), 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(weed);
    }
    // small pebbles
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 140, 100));
    p.drawEllipse(QPointF(34, H - 8), 3, 2);
    p.drawEllipse(QPointF(70, H - 6), 2.2, 1.5);
    DrawFish(p, QPointF(36, H * 0.2), 36, true, QColor(255, 140, 26), QColor(255, 100, 20), Qt::white);
    DrawFish(p, QPointF(68, H * 0.42), 30, false, QColor(255, 214, 40), QColor(60, 120, 220), QColor(60, 120, 220));
    DrawFish(p, QPointF(34, H * 0.63), 32, true, QColor(236, 60, 80), QColor(255, 200, 60), Qt::white);
    DrawFish(p, QPointF(72, H * 0.8), 22, false, QColor(150, 90, 220), QColor(255, 220, 60), QColor(255, 220, 60));
    Bubbles(p, QPointF(52, H * 0.2), 3, 1.5);
    Bubbles(p, QPointF(54, H * 0.42), 3, 1.3);
    Bubbles(p, QPointF(50, H * 0.63), 3, 1.4);
}

void ArtFish2(QPainter& p, qreal H) {
    QRadialGradient bg(QPointF(50, H / 2), H * 0.7);
    bg.setColorAt(0, QColor(40, 190, 180));
    bg.setColorAt(1, QColor(8, 90, 110));
    p.fillRect(QRectF(0, 0, 100, H), bg);
    // a school in rows swimming in turn left and right, mirrored about the
    // centre so the back reads the same either way up
    const QColor bodies[3] = {QColor(255, 210, 50), QColor(255, 110, 80), QColor(240, 248, 255)};
    const QColor fins[3] = {QColor(255, 150, 30), QColor(255, 220, 90), QColor(60, 150, 230)};
    const qreal rowStep = 20;
    const int rows = int(H / 2 / rowStep) + 1;
    for (int half = 0; half < 2; ++half) {
        p.save();
        if (half == 1) {
            p.translate(100, H);
            p.rotate(180);
        }
        p.setClipRect(QRectF(-1, -1, 102, H / 2 + 1));
        for (int r = 0; r < rows; ++r) {
            const qreal y = 10 + r * rowStep;
            const bool right = r % 2 == 0;
            for (int i = -1; i < 4; ++i) {
                const qreal x = 12 + i * 34 + (r % 2) * 17;
                const int k = (r + i + 3) % 3;
                DrawFish(p, QPointF(x, y), 22, right, bodies[k], fins[k], bodies[k].darker(130));
            }
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 90));
            for (int i = 0; i < 4; ++i) p.drawEllipse(QPointF(4 + i * 34 + (r % 2) * 17, y + 10), 1.2, 1.2);
        }
        p.restore();
    }
    // wavy band at the centre
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.2));
    p.setBrush(Qt::NoBrush);
    for (qreal dy : {-2.0, 2.0}) {
        QPainterPath w;
        w.moveTo(-2, H / 2 + dy);
        for (qreal x = -2; x <= 102; x += 2) w.lineTo(x, H / 2 + dy + 1.5 * std::sin(x * 0.3));
        p.drawPath(w);
    }
}

void ArtLeaves1(QPainter& p, qreal H) {
    FillVertical(p, QRectF(0, 0, 100, H), QColor(236, 246, 220), QColor(206, 230, 180));
    const QColor greens[4] = {QColor(60, 140, 56), QColor(96, 170, 70), QColor(40, 110, 60), QColor(130, 190, 80)};
    TLcg rng(11);
    int row = 0;
    for (qreal y = -6; y < H + 14; y += 18, ++row) {
        for (qreal x = (row % 2) * 12 - 6; x < 110; x += 24) {
            const qreal angle = (row % 2 ? 40 : -40) + rng.Range(-15, 15);
            const int shade = ((row * 3 + int(std::floor(x / 12))) % 4 + 4) % 4;
            DrawLeaf(p, QPointF(x, y), angle, rng.Range(20, 25), greens[shade], 0.7);
        }
    }
    // berries
    p.setPen(Qt::NoPen);
    row = 0;
    for (qreal y = 3; y < H; y += 36, ++row) {
        for (qreal x = 18 + (row % 2) * 24; x < 100; x += 48) {
            p.setBrush(QColor(200, 40, 50));
            p.drawEllipse(QPointF(x, y), 2.2, 2.2);
            p.drawEllipse(QPointF(x + 3, y + 2), 2.2, 2.2);
            p.setBrush(QColor(255, 255, 255, 160));
            p.drawEllipse(QPointF(x - 0.7, y - 0.7), 0.6, 0.6);
        }
    }
}

QPainterPath MapleLeafPath(qreal size) {
    // five lobes: top, two upper sides, two lower sides
    const qreal angles[5] = {-90, -90 - 58, -90 + 58, -90 - 118, -90 + 118};
    const qreal lengths[5] = {1.0, 0.88, 0.88, 0.56, 0.56};
    const int order[5] = {3, 1, 0, 2, 4};  // anticlockwise from lower left
    QPolygonF poly;
    poly << QPointF(0, 0.18);
    for (int k = 0; k < 5; ++k) {
        const int i = order[k];
        const qreal a = qDegreesToRadians(angles[i]);
        const qreal l = lengths[i];
        auto polar = [&](qreal ang, qreal r) { return QPointF(r * std::cos(ang), r * std::sin(ang)); };
        const qreal spread = qDegreesToRadians(16.0);
        poly << polar(a - spread * 1.6, l * 0.42);
        poly << polar(a - spread, l * 0.7);
        poly << polar(a - spread * 0.5, l * 0.66);
        poly << polar(a, l);
        poly << polar(a + spread * 0.5, l * 0.66);
        poly << polar(a + spread, l * 0.7);
        poly << polar(a + spread * 1.6, l * 0.42);
    }
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    QTransform t;
    t.scale(size / 2, size / 2);
    return t.map(path);
}

void ArtLeaves2(QPainter& p, qreal H) {
    QRadialGradient bg(QPointF(50, H / 2), H * 0.75);
    bg.setColorAt(0, QColor(120, 60, 24));
    bg.setColorAt(1, QColor(58, 26, 10));
    p.fillRect(QRectF(0, 0, 100, H), bg);
    const QColor autumn[5] = {QColor(232, 90, 28), QColor(200, 40, 30), QColor(246, 180, 50), QColor(176, 80, 30),
                              QColor(220, 130, 40)};
    TLcg rng(23);
    int row = 0;
    for (qreal y = 0; y < H + 16; y += 22, ++row) {
        for (qreal x = (row % 2) * 16; x < 112; x += 32) {
            const QPointF at(x + rng.Range(-4, 4), y + rng.Range(-4, 4));
            const qreal angle = rng.Range(-40, 40) + (row % 2 ? 180 : 0);
            const qreal size = rng.Range(22, 28);
            const QColor col = autumn[int(rng.Next() * 5) % 5];
            p.save();
            p.translate(at);
            p.rotate(angle);
            p.setPen(QPen(col.darker(150), 0.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(0, 0), QPointF(0, size * 0.52));
            const QPainterPath leaf = MapleLeafPath(size);
            QRadialGradient g(QPointF(0, 0), size * 0.55);
            g.setColorAt(0, col.lighter(125));
            g.setColorAt(1, col.darker(115));
            p.setPen(QPen(col.darker(160), 0.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(g);
            p.drawPath(leaf);
            p.setPen(QPen(col.lighter(145), 0.6));
            for (qreal a : {-90.0, -148.0, -32.0, -208.0, 28.0}) {
                const qreal r = qDegreesToRadians(a);
                p.drawLine(QPointF(0, 0), QPointF(std::cos(r) * size * 0.38, std::sin(r) * size * 0.38));
            }
            p.restore();
        }
    }
}

}  // namespace canasta::art
