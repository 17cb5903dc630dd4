// SPDX-License-Identifier: GPL-3.0-or-later
// The court cards: jacks, queens and kings of each suit.
#include "cardart/Drawing.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace canasta::art {

// ---------------------------------------------------------------------------
// Court cards. The figure is drawn in a design space 100 units wide whose
// bottom edge (y = H) is the divider; the lower half is the same drawing
// turned round, as on a double-headed card.

struct TCourtPalette {
    QColor Robe, RobeDark, Band, Hair;
};

TCourtPalette CourtPalette(int suit, int rankIndex) {
    TCourtPalette c;
    switch (suit) {
        case kSpade:
            c.Robe = QColor(36, 58, 140);
            c.Band = QColor(200, 32, 44);
            break;
        case kClub:
            c.Robe = QColor(34, 34, 40);
            c.Band = QColor(40, 110, 60);
            break;
        case kDiamond:
            c.Robe = QColor(206, 40, 40);
            c.Band = QColor(36, 70, 160);
            break;
        default:
            c.Robe = QColor(196, 24, 48);
            c.Band = QColor(238, 186, 44);
            break;
    }
    c.RobeDark = c.Robe.darker(140);
    switch (rankIndex) {
        case kKingIndex: c.Hair = QColor(236, 236, 228); break;
        case kQueenIndex:
            c.Hair = suit == kClub || suit == kDiamond ? QColor(120, 70, 30) : QColor(236, 176, 48);
            break;
        default: c.Hair = suit == kSpade || suit == kHeart ? QColor(150, 90, 40) : QColor(236, 176, 48); break;
    }
    return c;
}

void DrawHand(QPainter& p, QPointF at, const QPen& line, const QColor& cuff) {
    p.setPen(line);
    p.setBrush(cuff);
    p.drawRoundedRect(QRectF(at.x() - 8, at.y() - 11, 16, 5), 1.5, 1.5);
    p.setBrush(kSkin);
    p.drawEllipse(at, 6.5, 5.5);
}

// `margin` is the extra width left and right of the 100 units.
void DrawCourtFigure(QPainter& p, int suit, int rankIndex, qreal halfHeight, qreal margin, qreal lineWidth) {
    const TCourtPalette c = CourtPalette(suit, rankIndex);
    const bool king = rankIndex == kKingIndex, queen = rankIndex == kQueenIndex;
    // suit emblem in the upper corner opposite the held item
    FillSuit(p, suit, QPointF(king ? 88 + margin : 12 - margin, 12), 15, false, SuitColor(suit));
    // The body is drawn a little lower and the head enlarged about the neck,
    // so the face reads at small card sizes; a tall narrow frame (the
    // smallest card) gets a still larger head.
    const qreal headScale = 1.25 * std::clamp(halfHeight / 136, 1.0, 1.2);
    const qreal drop = 14 + (headScale - 1.25) * 65;
    p.translate(0, drop);
    const qreal H = halfHeight - drop;
    const QPen line(kInk, lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const qreal handY = std::min(H - 14, 100.0);
    const QPointF hand(king ? 22 : 78, handY);

    // robe
    QPainterPath robe;
    robe.moveTo(-2 - margin, H + 2);
    robe.lineTo(-2 - margin, 104);
    robe.lineTo(-2, 100);
    robe.cubicTo(2, 86, 14, 79, 34, 76);
    robe.lineTo(66, 76);
    robe.cubicTo(86, 79, 98, 86, 102, 100);
    robe.lineTo(102 + margin, 104);
    robe.lineTo(102 + margin, H + 2);
    robe.closeSubpath();
    p.setPen(line);
    p.setBrush(c.Robe);
    p.drawPath(robe);
    // folds
    p.setPen(QPen(c.RobeDark, lineWidth * 1.2, Qt::SolidLine, Qt::RoundCap));
    for (qreal x : {14.0, 28.0, 72.0, 86.0}) {
        QPainterPath fold;
        fold.moveTo(x, 96);
        fold.quadTo(x + (x < 50 ? -3 : 3), (96 + H) / 2, x, H);
        p.drawPath(fold);
    }
    // central band with small suit pips
    p.setPen(line);
    p.setBrush(c.Band);
    p.drawRect(QRectF(42, 80, 16, H - 78));
    p.setPen(QPen(kGold, 1.6));
    p.drawLine(QPointF(43.2, 82), QPointF(43.2, H + 1));
    p.drawLine(QPointF(56.8, 82), QPointF(56.8, H + 1));
    const QColor pipColor = c.Band == kGold ? SuitColor(suit) : QColor(255, 246, 220);
    for (qreal y = 94; y < H - 4; y += 16) FillSuit(p, suit, QPointF(50, y), 9, false, pipColor);

    // collar
    p.setPen(line);
    if (king) {
        QPainterPath ermine;
        ermine.moveTo(22, 80);
        ermine.quadTo(50, 70, 78, 80);
        ermine.lineTo(70, 96);
        ermine.quadTo(50, 86, 30, 96);
        ermine.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(ermine);
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        for (QPointF s :
             {QPointF(30, 84), QPointF(40, 80), QPointF(60, 80), QPointF(70, 84), QPointF(36, 89), QPointF(64, 89)})
            p.drawEllipse(s, 1.4, 2.0);
    } else if (queen) {
        QPainterPath lace;
        lace.moveTo(26, 80);
        for (int i = 0; i <= 8; ++i) {
            const qreal x = 26 + i * 6;
            lace.quadTo(x + 3, 92 - std::abs(i - 4) * 1.2, x + 6, 80);
        }
        lace.quadTo(50, 72, 26, 80);
        p.setBrush(QColor(255, 252, 240));
        p.drawPath(lace);
        p.setBrush(kGold);
        for (int i = 0; i < 7; ++i) {
            const qreal t = (i - 3) / 3.0;
            p.drawEllipse(QPointF(50 + t * 14, 80 + (1 - t * t) * 6), 1.8, 1.8);
        }
        p.setBrush(QColor(200, 30, 60));
        p.drawEllipse(QPointF(50, 87.5), 2.6, 2.6);
    } else {
        QPainterPath ruff;
        ruff.moveTo(28, 80);
        ruff.quadTo(50, 72, 72, 80);
        ruff.lineTo(66, 90);
        ruff.quadTo(50, 84, 34, 90);
        ruff.closeSubpath();
        p.setBrush(kGold);
        p.drawPath(ruff);
        p.setPen(QPen(c.RobeDark, 1.2));
        for (int i = 1; i < 8; ++i) {
            const qreal x = 28 + i * 5.5;
            p.drawLine(QPointF(x, 79 - (i == 4 ? 2 : 1)), QPointF(x + (x - 50) * 0.15, 88));
        }
    }

    // arm and hand holding the item
    p.setPen(line);
    p.setBrush(c.Band == kGold ? c.RobeDark : c.Band);
    QPainterPath sleeve;
    const qreal sx = king ? 30 : 70, dir = king ? -1 : 1;
    sleeve.moveTo(sx, 82);
    sleeve.quadTo(sx + dir * 10, hand.y() - 30, hand.x() - 8, hand.y() - 9);
    sleeve.lineTo(hand.x() + 8, hand.y() - 9);
    sleeve.quadTo(sx + dir * 16, hand.y() - 30, sx + dir * -8, 86);
    sleeve.closeSubpath();
    p.drawPath(sleeve);
    // the held item, in front of the robe
    p.setPen(line);
    if (king) {
        // sceptre with an orb and cross
        p.setBrush(kGold);
        p.drawRect(QRectF(20, 20, 4, H - 10));
        p.drawEllipse(QPointF(22, 17), 5, 5);
        p.drawRect(QRectF(21, 6, 2, 7));
        p.drawRect(QRectF(18.5, 8, 7, 2));
    } else if (queen) {
        // a flower on a long stem
        QPainterPath stem;
        stem.moveTo(hand);
        stem.cubicTo(hand.x() + 6, 80, 84, 50, 80, 32);
        p.setPen(QPen(QColor(40, 120, 50), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(stem);
        p.setPen(line);
        QPainterPath leaf;
        leaf.moveTo(83, 62);
        leaf.quadTo(94, 54, 96, 44);
        leaf.quadTo(86, 48, 83, 62);
        p.setBrush(QColor(60, 150, 60));
        p.drawPath(leaf);
        p.setBrush(suit >= kDiamond ? QColor(236, 80, 110) : QColor(220, 40, 50));
        for (int i = 0; i < 5; ++i) {
            const qreal a = qDegreesToRadians(-90 + i * 72.0);
            p.drawEllipse(QPointF(80 + 6 * std::cos(a), 28 + 6 * std::sin(a)), 5, 5);
        }
        p.setBrush(kGold);
        p.drawEllipse(QPointF(80, 28), 3.5, 3.5);
    } else {
        // halberd
        p.setBrush(QColor(140, 90, 40));
        p.drawRect(QRectF(76.5, 14, 3, H - 4));
        QPainterPath blade;
        blade.moveTo(78, 2);
        blade.lineTo(81, 14);
        blade.lineTo(79.5, 16);
        blade.lineTo(76.5, 16);
        blade.lineTo(75, 14);
        blade.closeSubpath();
        QPainterPath axe;
        axe.moveTo(79, 18);
        axe.cubicTo(90, 14, 96, 20, 96, 30);
        axe.cubicTo(90, 28, 84, 30, 79, 32);
        axe.closeSubpath();
        p.setBrush(QColor(214, 220, 228));
        p.drawPath(blade);
        p.drawPath(axe);
        p.drawRect(QRectF(73, 30, 10, 3));
    }

    DrawHand(p, hand, line, kGold);

    p.save();
    p.translate(50, 77);
    p.scale(headScale, headScale);
    p.translate(-50, -77);
    // neck
    p.setBrush(kSkin);
    p.drawRect(QRectF(45, 66, 10, 11));

    // hair behind the face
    p.setBrush(c.Hair);
    if (queen) {
        QPainterPath hair;
        hair.moveTo(50, 34);
        hair.cubicTo(30, 34, 33, 60, 27, 84);
        hair.quadTo(34, 88, 41, 80);
        hair.lineTo(59, 80);
        hair.quadTo(66, 88, 73, 84);
        hair.cubicTo(67, 60, 70, 34, 50, 34);
        p.drawPath(hair);
    } else {
        p.drawEllipse(QPointF(50, 50), 17, 15);
    }

    // face
    p.setBrush(kSkin);
    p.drawEllipse(QPointF(50, 54), 13, 15.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 130, 120, 110));
    p.drawEllipse(QPointF(42.5, 59), 3, 2);
    p.drawEllipse(QPointF(57.5, 59), 3, 2);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(45, 52), 1.7, 1.3);
    p.drawEllipse(QPointF(55, 52), 1.7, 1.3);
    p.setPen(QPen(kInk, 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(42, 48.5), QPointF(47.5, 48));
    p.drawLine(QPointF(52.5, 48), QPointF(58, 48.5));
    QPainterPath nose;
    nose.moveTo(50, 52);
    nose.lineTo(48.3, 59);
    nose.lineTo(51, 59.5);
    p.setBrush(Qt::NoBrush);
    p.drawPath(nose);

    if (king) {
        // beard and moustache
        QPainterPath beard;
        beard.moveTo(37, 55);
        beard.cubicTo(37, 74, 44, 86, 50, 89);
        beard.cubicTo(56, 86, 63, 74, 63, 55);
        beard.cubicTo(60, 62, 56, 61.5, 50, 61.5);
        beard.cubicTo(44, 61.5, 40, 62, 37, 55);
        p.setPen(line);
        p.setBrush(c.Hair);
        p.drawPath(beard);
        p.setPen(QPen(c.Hair.darker(125), 1.0));
        for (qreal x : {44.0, 50.0, 56.0}) p.drawLine(QPointF(x, 68), QPointF(x + (x - 50) * 0.2, 80));
        p.setPen(line);
        QPainterPath moustache;
        moustache.moveTo(50, 61);
        moustache.cubicTo(46, 59, 42, 61, 40, 64);
        moustache.cubicTo(44, 63, 47, 63.5, 50, 63);
        moustache.cubicTo(53, 63.5, 56, 63, 60, 64);
        moustache.cubicTo(58, 61, 54, 59, 50, 61);
        p.drawPath(moustache);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(190, 40, 50));
        p.drawEllipse(QPointF(50, 65.5), 2.4, 1.1);
    } else {
        p.setPen(QPen(QColor(190, 40, 50), 1.4, Qt::SolidLine, Qt::RoundCap));
        QPainterPath mouth;
        mouth.moveTo(46.5, 63.5);
        mouth.quadTo(50, 66, 53.5, 63.5);
        p.drawPath(mouth);
    }

    // headgear
    p.setPen(line);
    if (king) {
        p.setBrush(c.Band == kGold ? c.Robe : c.Band);
        p.drawEllipse(QPointF(50, 34), 14, 10);
        QPainterPath crown;
        crown.moveTo(34, 42);
        crown.lineTo(34, 24);
        crown.lineTo(38.5, 31);
        crown.lineTo(42, 19);
        crown.lineTo(46, 30);
        crown.lineTo(50, 13);
        crown.lineTo(54, 30);
        crown.lineTo(58, 19);
        crown.lineTo(61.5, 31);
        crown.lineTo(66, 24);
        crown.lineTo(66, 42);
        crown.closeSubpath();
        p.setBrush(kGold);
        p.drawPath(crown);
        p.drawRoundedRect(QRectF(33, 36, 34, 7), 1.5, 1.5);
        for (QPointF tip : {QPointF(34, 23), QPointF(42, 18), QPointF(50, 12), QPointF(58, 18), QPointF(66, 23)})
            p.drawEllipse(tip, 1.9, 1.9);
        p.setPen(Qt::NoPen);
        int k = 0;
        for (qreal x : {38.0, 44.0, 50.0, 56.0, 62.0}) {
            p.setBrush(k++ % 2 ? QColor(40, 90, 200) : QColor(210, 30, 40));
            p.drawEllipse(QPointF(x, 39.5), 1.8, 2.0);
        }
    } else if (queen) {
        QPainterPath tiara;
        tiara.moveTo(38, 41);
        tiara.quadTo(50, 34, 62, 41);
        tiara.lineTo(60, 35);
        tiara.lineTo(56, 33.5);
        tiara.lineTo(53, 28);
        tiara.lineTo(50, 22);
        tiara.lineTo(47, 28);
        tiara.lineTo(44, 33.5);
        tiara.lineTo(40, 35);
        tiara.closeSubpath();
        p.setBrush(kGold);
        p.drawPath(tiara);
        p.setBrush(QColor(210, 30, 60));
        p.drawEllipse(QPointF(50, 32), 2.6, 3.2);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(43, 36), 1.4, 1.4);
        p.drawEllipse(QPointF(57, 36), 1.4, 1.4);
        // a flower tucked in the hair
        p.setBrush(Qt::white);
        for (int i = 0; i < 5; ++i) {
            const qreal a = qDegreesToRadians(i * 72.0);
            p.drawEllipse(QPointF(33 + 3.2 * std::cos(a), 44 + 3.2 * std::sin(a)), 2.4, 2.4);
        }
        p.setBrush(kGold);
        p.drawEllipse(QPointF(33, 44), 1.6, 1.6);
    } else {
        QPainterPath feather;
        feather.moveTo(60, 32);
        feather.cubicTo(65, 20, 74, 13, 84, 11);
        feather.cubicTo(80, 18, 72, 27, 62, 36);
        feather.closeSubpath();
        p.setBrush(suit >= kDiamond ? QColor(250, 250, 250) : QColor(250, 210, 60));
        p.drawPath(feather);
        QPainterPath cap;
        cap.moveTo(33, 45);
        cap.cubicTo(28, 30, 42, 22, 55, 24);
        cap.cubicTo(70, 26, 74, 38, 68, 45);
        cap.quadTo(50, 39, 33, 45);
        cap.closeSubpath();
        p.setBrush(c.Band == kGold ? c.RobeDark : c.Band);
        p.drawPath(cap);
        QPainterPath brim;
        brim.moveTo(33, 45);
        brim.quadTo(50, 39, 68, 45);
        p.setPen(QPen(kGold, 3.0, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(brim);
    }
    p.restore();
}

void DrawCourt(QPainter& p, const TFaceLayout& L, int suit, int rankIndex) {
    const QRectF f = L.Frame;
    // The figure needs about 136 units of height per half; a frame that is
    // wide for its height gets the figure centred with the robe widened.
    const qreal s = std::min(f.width() / 100, f.height() / 2 / 136);
    const qreal halfH = f.height() / 2 / s;
    const qreal margin = (f.width() / s - 100) / 2;
    const qreal lineWidth = std::max(1.0, 0.5 / s);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 251, 236));
    p.drawRect(f);
    for (int half = 0; half < 2; ++half) {
        p.save();
        if (half == 1) {
            p.translate(f.center());
            p.rotate(180);
            p.translate(-f.center());
        }
        p.setClipRect(QRectF(f.left(), f.top(), f.width(), f.height() / 2));
        p.translate(f.topLeft());
        p.scale(s, s);
        p.translate(margin, 0);
        DrawCourtFigure(p, suit, rankIndex, halfH, margin, lineWidth);
        p.restore();
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(SuitColor(suit), std::max(0.6, L.W * 0.012)));
    p.drawRect(f);
    p.setPen(QPen(kInk, std::max(0.5, L.W * 0.008)));
    p.drawLine(QPointF(f.left(), f.center().y()), QPointF(f.right(), f.center().y()));
}

}  // namespace canasta::art
