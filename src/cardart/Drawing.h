// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing kit the card art files share: names, colours, the suit symbols,
// the index glyphs and the face layout, and what each file draws for the
// others. Internal to the card art.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <cstdint>

#include "cardart/CardArt.h"

namespace canasta::art {

inline constexpr const char* kSuitWords[4] = {"spade", "club", "diamond", "heart"};
inline constexpr const char* kRankWords[13] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "b", "v", "h", "a"};
inline constexpr const char* kRankLabels[13] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
inline constexpr const char* kPatternNames[kPatternCount] = {"beach",    "fish1",    "fish2", "leaves1", "leaves2",
                                                             "pattern1", "pattern2", "robot", "rose",    "shell"};

enum { kSpade, kClub, kDiamond, kHeart };
enum { kJackIndex = 9, kQueenIndex = 10, kKingIndex = 11, kAceIndex = 12 };

inline const QColor kRed(204, 16, 36);
inline const QColor kBlack(22, 22, 26);
inline const QColor kGold(238, 186, 44);
inline const QColor kSkin(252, 218, 178);
inline const QColor kInk(34, 30, 36);

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

// Face layout. The index is what the player reads when cards overlap.
struct TFaceLayout {
    qreal W, H;
    qreal MarginX, MarginY;
    qreal CapH, IndexWidth, IndexPipH, IndexGap;
    qreal PipH;
    qreal XL, XC, XR, YTop, YBottom;
    QRectF Frame;  // picture area of court cards and the joker
};

// Basics and the suit symbols and index glyphs (Drawing.cpp).
QImage NewImage(QSize size, qreal dpr);
void SetupPainter(QPainter& p);
qreal CornerRadius(QSizeF s);
void PaintBlank(QPainter& p, QSizeF s, const QColor& fill);
// A suit symbol one unit high, centred on the origin.
const QPainterPath& SuitPath(int suit);
QColor SuitColor(int suit);
void FillSuit(QPainter& p, int suit, QPointF centre, qreal height, bool flip, const QColor& color);
// Draws text with its cap height `capH`, top at `top`, centred on `centreX`,
// squeezed horizontally if wider than `maxWidth`.
void DrawGlyph(QPainter& p, const QString& text, qreal centreX, qreal top, qreal capH, qreal maxWidth,
               const QColor& color);

// Faces (Faces.cpp, Courts.cpp, Joker.cpp).
TFaceLayout LayoutFor(QSizeF s);
void DrawIndices(QPainter& p, const TFaceLayout& L, int suit, int rankIndex);
void DrawPips(QPainter& p, const TFaceLayout& L, int suit, int count);
void DrawAce(QPainter& p, const TFaceLayout& L, int suit);
void DrawCourt(QPainter& p, const TFaceLayout& L, int suit, int rankIndex);
void DrawJoker(QPainter& p, const TFaceLayout& L);

// Backs (BacksNature.cpp, BacksFigures.cpp): the frame around a design, the
// pieces both files use, and the ten designs, each drawn into a card H high.
void DrawBackFrame(QPainter& p, QSizeF s, void (*art)(QPainter&, qreal));
void FillVertical(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom);
void DrawLeaf(QPainter& p, QPointF at, qreal angle, qreal length, const QColor& color, qreal veinWidth);
void Bubbles(QPainter& p, QPointF from, int count, qreal size);
void ArtBeach(QPainter& p, qreal H);
void ArtFish1(QPainter& p, qreal H);
void ArtFish2(QPainter& p, qreal H);
void ArtLeaves1(QPainter& p, qreal H);
void ArtLeaves2(QPainter& p, qreal H);
void ArtPattern1(QPainter& p, qreal H);
void ArtPattern2(QPainter& p, qreal H);
void ArtRobot(QPainter& p, qreal H);
void ArtRose(QPainter& p, qreal H);
void ArtShell(QPainter& p, qreal H);

}  // namespace canasta::art
