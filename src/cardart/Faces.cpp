// SPDX-License-Identifier: GPL-3.0-or-later
// The face layout, the corner indices, the pips and the aces.
#include "cardart/Drawing.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace canasta::art {

// ---------------------------------------------------------------------------
// Face layout. The index is what the player reads when cards overlap.

TFaceLayout LayoutFor(QSizeF s) {
    TFaceLayout L;
    L.W = s.width();
    L.H = s.height();
    // Cards in a column overlap every 12 pixels, so the rank must sit in the
    // top 12 pixels at every size; on the smallest card that makes it big.
    L.MarginX = std::max(1.5, L.W * 0.035);
    L.MarginY = 2.0 + std::max(0.0, L.W - 42) * 0.02;
    L.CapH = std::clamp(L.W * 0.215, 7.0, 9.2);
    L.IndexWidth = L.CapH * 1.05;
    L.IndexPipH = L.CapH * 0.74;
    L.IndexGap = L.CapH * 0.16;
    const qreal gap = std::max(1.0, L.W * 0.02);
    const qreal areaLeft = L.MarginX + L.IndexWidth + gap;
    const qreal areaRight = L.W - areaLeft;
    L.PipH = std::min(L.W * 0.2, (areaRight - areaLeft) * 0.45);
    const qreal halfPip = L.PipH * 0.47;
    L.XL = areaLeft + halfPip;
    L.XR = areaRight - halfPip;
    L.XC = L.W / 2;
    L.YTop = L.H * 0.1 + L.PipH / 2;
    L.YBottom = L.H - L.YTop;
    const qreal frameTop = L.H * 0.055;
    L.Frame = QRectF(areaLeft - gap * 0.3, frameTop, areaRight - areaLeft + gap * 0.6, L.H - 2 * frameTop);
    return L;
}

void DrawIndices(QPainter& p, const TFaceLayout& L, int suit, int rankIndex) {
    const QColor color = SuitColor(suit);
    const QString label = QString::fromLatin1(kRankLabels[rankIndex]);
    for (int corner = 0; corner < 2; ++corner) {
        p.save();
        if (corner == 1) {
            p.translate(L.W, L.H);
            p.rotate(180);
        }
        const qreal cx = L.MarginX + L.IndexWidth / 2;
        DrawGlyph(p, label, cx, L.MarginY, L.CapH, L.IndexWidth * 1.04, color);
        const qreal pipTop = L.MarginY + L.CapH + L.IndexGap;
        FillSuit(p, suit, QPointF(cx, pipTop + L.IndexPipH / 2), L.IndexPipH, false, color);
        p.restore();
    }
}

// Standard pip positions: column -1/0/1 and fraction of the way down the pip area.
struct TPipSpot {
    int Column;
    double Row;
};

std::vector<TPipSpot> PipSpots(int count) {
    const double t = 1.0 / 3, tt = 2.0 / 3;
    switch (count) {
        case 2: return {{0, 0}, {0, 1}};
        case 3: return {{0, 0}, {0, 0.5}, {0, 1}};
        case 4: return {{-1, 0}, {1, 0}, {-1, 1}, {1, 1}};
        case 5: return {{-1, 0}, {1, 0}, {0, 0.5}, {-1, 1}, {1, 1}};
        case 6: return {{-1, 0}, {1, 0}, {-1, 0.5}, {1, 0.5}, {-1, 1}, {1, 1}};
        case 7: return {{-1, 0}, {1, 0}, {0, 0.25}, {-1, 0.5}, {1, 0.5}, {-1, 1}, {1, 1}};
        case 8: return {{-1, 0}, {1, 0}, {0, 0.25}, {-1, 0.5}, {1, 0.5}, {0, 0.75}, {-1, 1}, {1, 1}};
        case 9: return {{-1, 0}, {1, 0}, {-1, t}, {1, t}, {0, 0.5}, {-1, tt}, {1, tt}, {-1, 1}, {1, 1}};
        case 10:
            return {{-1, 0}, {1, 0}, {0, 1.0 / 6}, {-1, t}, {1, t}, {-1, tt}, {1, tt}, {0, 5.0 / 6}, {-1, 1}, {1, 1}};
        default: return {};
    }
}

void DrawPips(QPainter& p, const TFaceLayout& L, int suit, int count) {
    const QColor color = SuitColor(suit);
    // the nine and ten fit four rows plus a centre pip between two of them
    const qreal size = count >= 9 ? std::min(L.PipH, (L.YBottom - L.YTop) / 3 * 0.52) : L.PipH;
    for (const TPipSpot& s : PipSpots(count)) {
        const qreal x = s.Column < 0 ? L.XL : s.Column > 0 ? L.XR : L.XC;
        const qreal y = L.YTop + (L.YBottom - L.YTop) * s.Row;
        FillSuit(p, suit, QPointF(x, y), size, s.Row > 0.5 + 1e-9, color);
    }
}

void DrawAce(QPainter& p, const TFaceLayout& L, int suit) {
    const QPointF c(L.W / 2, L.H / 2);
    if (suit != kSpade) {
        FillSuit(p, suit, c, L.H * 0.3, false, SuitColor(suit));
        return;
    }
    // The ace of spades carries the maker's flourish: a large spade with an
    // inlaid outline, a small inner spade and scrolls either side of the stem.
    const qreal h = std::min(L.H * 0.42, (L.W - 2 * (L.MarginX + L.IndexWidth)) * 1.02);
    p.save();
    p.translate(c);
    const qreal u = h;  // one unit = the spade's height
    // scrolls
    QPen scroll(kBlack, std::max(0.6, u * 0.022), Qt::SolidLine, Qt::RoundCap);
    p.setPen(scroll);
    p.setBrush(Qt::NoBrush);
    for (int side = -1; side <= 1; side += 2) {
        QPainterPath s;
        s.moveTo(side * 0.06 * u, 0.44 * u);
        s.cubicTo(side * 0.3 * u, 0.5 * u, side * 0.5 * u, 0.42 * u, side * 0.52 * u, 0.26 * u);
        s.cubicTo(side * 0.54 * u, 0.14 * u, side * 0.42 * u, 0.12 * u, side * 0.4 * u, 0.2 * u);
        p.drawPath(s);
        p.setBrush(kBlack);
        p.drawEllipse(QPointF(side * 0.4 * u, 0.2 * u), 0.025 * u, 0.025 * u);
        p.setBrush(Qt::NoBrush);
    }
    p.scale(u, u);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlack);
    p.drawPath(SuitPath(kSpade));
    // inlaid outline
    p.save();
    p.translate(0, -0.015);
    p.scale(0.8, 0.8);
    p.setPen(QPen(Qt::white, 0.022));
    p.setBrush(Qt::NoBrush);
    p.drawPath(SuitPath(kSpade));
    p.restore();
    // a small red spade at the heart of the design
    p.save();
    p.translate(0, 0.02);
    p.scale(0.28, 0.28);
    p.setPen(QPen(Qt::white, 0.06));
    p.setBrush(QColor(200, 30, 40));
    p.drawPath(SuitPath(kSpade));
    p.restore();
    p.restore();
}

}  // namespace canasta::art
