// SPDX-License-Identifier: GPL-3.0-or-later
// Basics of the card art: blank cards, the suit symbols and the index glyphs.
#include "cardart/Drawing.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace canasta::art {

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

}  // namespace canasta::art
