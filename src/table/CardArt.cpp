#include "table/CardArt.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace canasta {

namespace {

const char* const kSuitWords[4] = {"spade", "club", "diamond", "heart"};
const char* const kRankWords[13] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "b", "v", "h", "a"};
const char* const kRankLabels[13] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
const char* const kPatternNames[kPatternCount] = {"beach",    "fish1",    "fish2", "leaves1", "leaves2",
                                                  "pattern1", "pattern2", "robot", "rose",    "shell"};

enum { kSpade, kClub, kDiamond, kHeart };
enum { kJackIndex = 9, kQueenIndex = 10, kKingIndex = 11, kAceIndex = 12 };

const QColor kRed(204, 16, 36);
const QColor kBlack(22, 22, 26);
const QColor kGold(238, 186, 44);
const QColor kSkin(252, 218, 178);
const QColor kInk(34, 30, 36);

// Small deterministic generator so the scattered back designs are the same on
// every run.
struct TLcg {
    uint32_t State;
    explicit TLcg(uint32_t seed) : State(seed) {}
    double Next() {
        State = State * 1664525u + 1013904223u;
        return (State >> 8) / double(1u << 24);
    }
    double Range(double lo, double hi) { return lo + (hi - lo) * Next(); }
};

QImage NewImage(QSize size, qreal dpr) {
    QImage img(qMax(1, qRound(size.width() * dpr)), qMax(1, qRound(size.height() * dpr)),
               QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr);
    img.fill(Qt::transparent);
    return img;
}

void SetupPainter(QPainter& p) {
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
}

qreal CornerRadius(QSizeF s) { return std::max(2.5, s.width() * 0.075); }

QPainterPath CardOutline(QSizeF s, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5, 0.5, s.width() - 1, s.height() - 1), radius, radius);
    return path;
}

void PaintBlank(QPainter& p, QSizeF s, const QColor& fill) {
    p.setPen(QPen(QColor(96, 96, 96), 1));
    p.setBrush(fill);
    p.drawPath(CardOutline(s, CornerRadius(s)));
}

// ---------------------------------------------------------------------------
// Suit symbols, each one unit high and centred on the origin.

QPainterPath MakeSuitPath(int suit) {
    QPainterPath p;
    switch (suit) {
    case kHeart:
        p.moveTo(0, 0.5);
        p.cubicTo(-0.12, 0.34, -0.49, 0.12, -0.49, -0.17);
        p.cubicTo(-0.49, -0.38, -0.35, -0.5, -0.23, -0.5);
        p.cubicTo(-0.1, -0.5, -0.02, -0.42, 0, -0.31);
        p.cubicTo(0.02, -0.42, 0.1, -0.5, 0.23, -0.5);
        p.cubicTo(0.35, -0.5, 0.49, -0.38, 0.49, -0.17);
        p.cubicTo(0.49, 0.12, 0.12, 0.34, 0, 0.5);
        break;
    case kDiamond:
        p.moveTo(0, -0.5);
        p.quadTo(0.17, -0.23, 0.39, 0);
        p.quadTo(0.17, 0.23, 0, 0.5);
        p.quadTo(-0.17, 0.23, -0.39, 0);
        p.quadTo(-0.17, -0.23, 0, -0.5);
        break;
    case kSpade:
        p.moveTo(0, -0.5);
        p.cubicTo(0.1, -0.33, 0.47, -0.15, 0.47, 0.1);
        p.cubicTo(0.47, 0.27, 0.35, 0.35, 0.23, 0.35);
        // the stem's neck stays wide enough to survive a 7-pixel pip
        p.cubicTo(0.14, 0.35, 0.08, 0.31, 0.065, 0.25);
        p.cubicTo(0.07, 0.38, 0.11, 0.46, 0.21, 0.5);
        p.lineTo(-0.21, 0.5);
        p.cubicTo(-0.11, 0.46, -0.07, 0.38, -0.065, 0.25);
        p.cubicTo(-0.08, 0.31, -0.14, 0.35, -0.23, 0.35);
        p.cubicTo(-0.35, 0.35, -0.47, 0.27, -0.47, 0.1);
        p.cubicTo(-0.47, -0.15, -0.1, -0.33, 0, -0.5);
        break;
    default: {  // club
        QPainterPath leaves;
        leaves.setFillRule(Qt::WindingFill);
        const qreal r = 0.225;
        leaves.addEllipse(QPointF(0, -0.275), r, r);
        leaves.addEllipse(QPointF(-0.25, 0.09), r, r);
        leaves.addEllipse(QPointF(0.25, 0.09), r, r);
        leaves.addEllipse(QPointF(0, 0.0), 0.13, 0.13);
        QPainterPath stem;
        stem.moveTo(0.04, 0.0);
        stem.cubicTo(0.045, 0.36, 0.1, 0.45, 0.21, 0.5);
        stem.lineTo(-0.21, 0.5);
        stem.cubicTo(-0.1, 0.45, -0.045, 0.36, -0.04, 0.0);
        stem.closeSubpath();
        p = leaves.united(stem);
        break;
    }
    }
    p.closeSubpath();
    return p;
}

const QPainterPath& SuitPath(int suit) {
    static const QPainterPath paths[4] = {MakeSuitPath(0), MakeSuitPath(1), MakeSuitPath(2), MakeSuitPath(3)};
    return paths[suit];
}

QColor SuitColor(int suit) { return suit >= kDiamond ? kRed : kBlack; }

void FillSuit(QPainter& p, int suit, QPointF centre, qreal height, bool flip, const QColor& color) {
    p.save();
    p.translate(centre);
    if (flip) p.rotate(180);
    p.scale(height, height);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(SuitPath(suit));
    p.restore();
}

// ---------------------------------------------------------------------------
// Index glyphs as outlines, normalised so the capital height is one unit and
// the cap line is at y = 0; they scale to any size without font hinting.

const QPainterPath& GlyphPath(const QString& text) {
    static QHash<QString, QPainterPath> cache;
    auto it = cache.find(text);
    if (it != cache.end()) return *it;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(200);
    font.setBold(true);
    QFontMetricsF fm(font);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF b = path.boundingRect();
    const qreal cap = fm.capHeight() > 0 ? fm.capHeight() : b.height();
    QTransform t;
    t.scale(1 / cap, 1 / cap);
    t.translate(-b.left(), cap);
    return *cache.insert(text, t.map(path));
}

// Draws text with its cap height `capH`, top at `top`, centred on `centreX`,
// squeezed horizontally if wider than `maxWidth`.
void DrawGlyph(QPainter& p, const QString& text, qreal centreX, qreal top, qreal capH, qreal maxWidth,
               const QColor& color) {
    const QPainterPath& g = GlyphPath(text);
    const qreal natural = g.boundingRect().width() * capH;
    const qreal squeeze = natural > maxWidth ? maxWidth / natural : 1.0;
    p.save();
    p.translate(centreX - natural * squeeze / 2, top);
    p.scale(capH * squeeze, capH);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(g);
    p.restore();
}

// ---------------------------------------------------------------------------
// Face layout. The index is what the player reads when cards overlap.

struct TFaceLayout {
    qreal W, H;
    qreal MarginX, MarginY;
    qreal CapH, IndexWidth, IndexPipH, IndexGap;
    qreal PipH;
    qreal XL, XC, XR, YTop, YBottom;
    QRectF Frame;  // picture area of court cards and the joker
};

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
    case kSpade: c.Robe = QColor(36, 58, 140); c.Band = QColor(200, 32, 44); break;
    case kClub: c.Robe = QColor(34, 34, 40); c.Band = QColor(40, 110, 60); break;
    case kDiamond: c.Robe = QColor(206, 40, 40); c.Band = QColor(36, 70, 160); break;
    default: c.Robe = QColor(196, 24, 48); c.Band = QColor(238, 186, 44); break;
    }
    c.RobeDark = c.Robe.darker(140);
    switch (rankIndex) {
    case kKingIndex: c.Hair = QColor(236, 236, 228); break;
    case kQueenIndex: c.Hair = suit == kClub || suit == kDiamond ? QColor(120, 70, 30) : QColor(236, 176, 48); break;
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
        for (QPointF s : {QPointF(30, 84), QPointF(40, 80), QPointF(60, 80), QPointF(70, 84), QPointF(36, 89),
                          QPointF(64, 89)})
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
            d << QPointF(x, y - dh / 2) << QPointF(x + dw / 2, y) << QPointF(x, y + dh / 2)
              << QPointF(x - dw / 2, y);
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
        {{38, cy - 22}, {38, cy - 50}, {44, cy - 70}, {60, cy - 76}, {52, cy - 60}, {60, cy - 44}, {62, cy - 22}, green},
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
    hull << QPointF(38, horizon - 1) << QPointF(51, horizon - 1) << QPointF(49, horizon + 1.5) << QPointF(40, horizon + 1.5);
    p.drawPolygon(hull);
    // waves
    p.setBrush(Qt::NoBrush);
    int row = 0;
    for (qreal y = horizon + 7; y < shore - 2; y += 6, ++row) {
        QPainterPath wave;
        const qreal amp = 0.8 + row * 0.3;
        for (qreal x = -4; x <= 104; x += 2) {
            const qreal yy = y + amp * std::sin(x * 0.25 + row * 1.7);
            if (x < -3) wave.moveTo(x, yy);
            else wave.lineTo(x, yy);
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
        if (i == 0) spiral.moveTo(pt);
        else spiral.lineTo(pt);
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
        if (i == 0) swirl.moveTo(pt);
        else swirl.lineTo(pt);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 230, 200));
    p.drawEllipse(s, 6.2, 5);
    p.setPen(QPen(QColor(170, 110, 70), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(swirl);
}

using TArt = void (*)(QPainter&, qreal);
const TArt kPatternArt[kPatternCount] = {ArtBeach,    ArtFish1,    ArtFish2, ArtLeaves1, ArtLeaves2,
                                         ArtPattern1, ArtPattern2, ArtRobot, ArtRose,    ArtShell};

// ---------------------------------------------------------------------------

struct TSystemColor {
    int Role;  // QPalette::ColorRole or -1
    QRgb Default;
};

// Windows system colour numbers 0..30 and their classic default values.
const TSystemColor kSystemColors[] = {
    {-1, 0xC8C8C8},
    {-1, 0x000000},
    {-1, 0x99B4D1},
    {-1, 0xBFCDDB},
    {QPalette::Window, 0xF0F0F0},
    {QPalette::Base, 0xFFFFFF},
    {-1, 0x646464},
    {QPalette::WindowText, 0x000000},
    {QPalette::Text, 0x000000},
    {-1, 0x000000},
    {-1, 0xB4B4B4},
    {-1, 0xF4F7FC},
    {-1, 0xABABAB},
    {QPalette::Highlight, 0x0078D7},
    {QPalette::HighlightedText, 0xFFFFFF},
    {QPalette::Button, 0xF0F0F0},
    {QPalette::Mid, 0xA0A0A0},
    {-1, 0x6D6D6D},
    {QPalette::ButtonText, 0x000000},
    {-1, 0x434E54},
    {QPalette::Light, 0xFFFFFF},
    {QPalette::Shadow, 0x696969},
    {QPalette::Midlight, 0xE3E3E3},
    {QPalette::ToolTipText, 0x000000},
    {QPalette::ToolTipBase, 0xFFFFE1},
    {-1, 0xB5B5B5},
    {-1, 0x0066CC},
    {-1, 0xB9D1EA},
    {-1, 0xD7E4F2},
    {QPalette::Highlight, 0x3399FF},
    {QPalette::Window, 0xF0F0F0},
};

}  // namespace

// ---------------------------------------------------------------------------

QSize CardSizeForIndex(int sizeIndex) {
    switch (sizeIndex) {
    case 0: return {42, 65};
    case 1: return {53, 81};
    default: return {67, 104};
    }
}

QString FaceName(int imageIndex) {
    if (imageIndex == kJokerImage) return QStringLiteral("joker");
    if (imageIndex < 0 || imageIndex > kJokerImage) return {};
    return QString::fromLatin1(kSuitWords[imageIndex / 13]) + QString::fromLatin1(kRankWords[imageIndex % 13]);
}

int FaceImageIndex(QStringView name) {
    for (int i = 0; i < kFaceImageCount; ++i)
        if (name == FaceName(i)) return i;
    return -1;
}

QString PatternName(int index) {
    if (index < 0 || index >= kPatternCount) return {};
    return QString::fromLatin1(kPatternNames[index]);
}

int PatternIndex(QStringView name) {
    for (int i = 0; i < kPatternCount; ++i)
        if (name.compare(QLatin1String(kPatternNames[i]), Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QColor ColorFromColorRef(uint32_t colorRef) {
    const uint32_t high = colorRef >> 24;
    if (high == 0x80 || high == 0xFF) {
        const uint32_t n = colorRef & 0xFF;
        if (n < std::size(kSystemColors)) {
            const TSystemColor& sc = kSystemColors[n];
            if (sc.Role >= 0 && qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
                return QGuiApplication::palette().color(QPalette::ColorRole(sc.Role));
            return QColor::fromRgb(sc.Default);
        }
        return Qt::black;
    }
    return QColor(int(colorRef & 0xFF), int((colorRef >> 8) & 0xFF), int((colorRef >> 16) & 0xFF));
}

uint32_t ColorRefFromColor(const QColor& color) {
    const QColor c = color.toRgb();
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

QImage RenderFace(int imageIndex, QSize size, qreal dpr) {
    QImage img = NewImage(size, dpr);
    if (imageIndex < 0 || imageIndex > kJokerImage) return img;
    QPainter p(&img);
    SetupPainter(p);
    PaintBlank(p, size, Qt::white);
    const TFaceLayout L = LayoutFor(size);
    if (imageIndex == kJokerImage) {
        DrawJoker(p, L);
        return img;
    }
    const int suit = imageIndex / 13, rank = imageIndex % 13;
    if (rank <= 8) DrawPips(p, L, suit, rank + 2);
    else if (rank == kAceIndex) DrawAce(p, L, suit);
    else DrawCourt(p, L, suit, rank);
    DrawIndices(p, L, suit, rank);
    return img;
}

QImage RenderPattern(int index, QSize size, qreal dpr) {
    QImage img = NewImage(size, dpr);
    if (index < 0 || index >= kPatternCount) index = 0;
    QPainter p(&img);
    SetupPainter(p);
    DrawBackFrame(p, size, kPatternArt[index]);
    return img;
}

QImage RenderSolidBack(const QColor& color, QSize size, qreal dpr) {
    QImage img = NewImage(size, dpr);
    QPainter p(&img);
    SetupPainter(p);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(color);
    // a 6x6 corner ellipse, i.e. radius 3, with the pen inside the card
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 3, 3);
    return img;
}

bool LoadFileBack(const QString& path, QSize size, qreal dpr, QImage& out) {
    if (path.isEmpty()) return false;
    QImageReader reader(path);
    QImage src = reader.read();
    if (src.isNull()) return false;
    QImage img = NewImage(size, dpr);
    QPainter p(&img);
    SetupPainter(p);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(size)), src);
    p.end();
    out = img;
    return true;
}

QImage RenderBack(const TBackSetting& setting, QSize size, qreal dpr) {
    if (setting.Type == kBackPattern) return RenderPattern(setting.Pattern % kPatternCount, size, dpr);
    if (setting.Type == kBackFile) {
        QImage img;
        if (LoadFileBack(QString::fromStdString(setting.FileName), size, dpr, img)) return img;
    }
    return RenderSolidBack(ColorFromColorRef(setting.Color), size, dpr);
}

// ---------------------------------------------------------------------------

namespace {

using TCacheKey = std::tuple<int, int, int, qint64>;  // what, width, height, dpr in thousandths

TCacheKey Key(int what, QSize size, qreal dpr) {
    return {what, size.width(), size.height(), qRound64(dpr * 1000)};
}

const std::vector<QImage>& CachedFaces(QSize size, qreal dpr) {
    static std::map<TCacheKey, std::vector<QImage>> cache;
    auto [it, fresh] = cache.try_emplace(Key(0, size, dpr));
    if (fresh) {
        it->second.reserve(kFaceImageCount);
        for (int i = 0; i < kFaceImageCount; ++i) it->second.push_back(RenderFace(i, size, dpr));
    }
    return it->second;
}

QImage CachedPattern(int index, QSize size, qreal dpr) {
    static std::map<TCacheKey, QImage> cache;
    auto [it, fresh] = cache.try_emplace(Key(index, size, dpr));
    if (fresh) it->second = RenderPattern(index, size, dpr);
    return it->second;
}

QImage BackFor(const TBackSetting& setting, QSize size, qreal dpr) {
    if (setting.Type == kBackPattern) return CachedPattern(setting.Pattern % kPatternCount, size, dpr);
    return RenderBack(setting, size, dpr);
}

}  // namespace

void TCardImages::Build(int sizeIndex, const TBackSetting& deck0, const TBackSetting& deck1, qreal dpr) {
    if (dpr <= 0) dpr = 1;
    // A file back is read again on every build: the user may have replaced the file.
    const bool anyFile = deck0.Type == kBackFile || deck1.Type == kBackFile;
    if (IsBuilt() && !anyFile && sizeIndex == SizeIndex_ && qFuzzyCompare(dpr, Dpr_) && Backs_[0] == deck0 &&
        Backs_[1] == deck1)
        return;
    const QSize size = CardSizeForIndex(sizeIndex);
    std::vector<QImage> images = CachedFaces(size, dpr);
    images.push_back(BackFor(deck0, size, dpr));
    images.push_back(BackFor(deck1, size, dpr));
    Images_ = std::move(images);
    SizeIndex_ = sizeIndex;
    CardSize_ = size;
    Dpr_ = dpr;
    Backs_ = {deck0, deck1};
    SelectedCache_.assign(Images_.size(), QImage());
    DragCache_.assign(Images_.size(), QImage());
}

const QImage& TCardImages::Image(int index) const {
    static const QImage none;
    if (index < 0 || index >= Count()) return none;
    return Images_[index];
}

QImage TCardImages::Selected(int index, const QColor& highlight) const {
    if (index < 0 || index >= Count()) return {};
    QColor color = highlight;
    if (!color.isValid())
        color = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                    ? QGuiApplication::palette().color(QPalette::Highlight)
                    : QColor(0, 120, 215);
    if (color != SelectedColor_) {
        SelectedCache_.assign(Images_.size(), QImage());
        SelectedColor_ = color;
    }
    QImage& out = SelectedCache_[index];
    if (out.isNull()) {
        out = Images_[index].copy();
        QPainter p(&out);
        p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        QColor half = color;
        half.setAlphaF(0.5);
        p.fillRect(QRectF(QPointF(0, 0), QSizeF(CardSize_)), half);
    }
    return out;
}

QImage TCardImages::Dragged(int index) const {
    if (index < 0 || index >= Count()) return {};
    QImage& out = DragCache_[index];
    if (out.isNull()) {
        out = NewImage(CardSize_, Dpr_);
        QPainter p(&out);
        p.setOpacity(0.6);
        p.drawImage(QPointF(0, 0), Images_[index]);
    }
    return out;
}

QImage TCardImages::PatternThumbnail(int index, qreal dpr) {
    if (dpr <= 0) dpr = 1;
    return CachedPattern(index < 0 || index >= kPatternCount ? 0 : index, kThumbnailSize, dpr);
}

}  // namespace canasta
