// SPDX-License-Identifier: GPL-3.0-or-later
#include "cardart/CardArt.h"

#include <algorithm>

#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QPalette>

#include <map>
#include <tuple>

#include "cardart/Drawing.h"

namespace canasta {

using namespace art;

namespace {

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
    if (rank <= 8)
        DrawPips(p, L, suit, rank + 2);
    else if (rank == kAceIndex)
        DrawAce(p, L, suit);
    else
        DrawCourt(p, L, suit, rank);
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

TCacheKey Key(int what, QSize size, qreal dpr) { return {what, size.width(), size.height(), qRound64(dpr * 1000)}; }

// A window sized freely meets many card sizes: the caches keep the sizes
// used most recently, enough to go back and forth between a few.
constexpr size_t kCachedSizes = 6;

template <typename T>
void ForgetOldest(std::map<TCacheKey, T>& cache, std::vector<TCacheKey>& order, const TCacheKey& used, size_t keep) {
    order.erase(std::remove(order.begin(), order.end(), used), order.end());
    order.push_back(used);
    while (order.size() > keep) {
        cache.erase(order.front());
        order.erase(order.begin());
    }
}

std::vector<QImage> CachedFaces(QSize size, qreal dpr) {
    static std::map<TCacheKey, std::vector<QImage>> cache;
    static std::vector<TCacheKey> order;
    const TCacheKey key = Key(0, size, dpr);
    auto [it, fresh] = cache.try_emplace(key);
    if (fresh) {
        it->second.reserve(kFaceImageCount);
        for (int i = 0; i < kFaceImageCount; ++i) it->second.push_back(RenderFace(i, size, dpr));
    }
    std::vector<QImage> faces = it->second;
    ForgetOldest(cache, order, key, kCachedSizes);
    return faces;
}

QImage CachedPattern(int index, QSize size, qreal dpr) {
    static std::map<TCacheKey, QImage> cache;
    static std::vector<TCacheKey> order;
    const TCacheKey key = Key(index, size, dpr);
    auto [it, fresh] = cache.try_emplace(key);
    if (fresh) it->second = RenderPattern(index, size, dpr);
    QImage image = it->second;
    ForgetOldest(cache, order, key, kCachedSizes * kPatternCount);
    return image;
}

QImage BackFor(const TBackSetting& setting, QSize size, qreal dpr) {
    if (setting.Type == kBackPattern) return CachedPattern(setting.Pattern % kPatternCount, size, dpr);
    return RenderBack(setting, size, dpr);
}

}  // namespace

void TCardImages::Build(int sizeIndex, const TBackSetting& deck0, const TBackSetting& deck1, qreal dpr) {
    Build(CardSizeForIndex(sizeIndex), deck0, deck1, dpr);
    SizeIndex_ = sizeIndex;
}

void TCardImages::Build(QSize size, const TBackSetting& deck0, const TBackSetting& deck1, qreal dpr) {
    if (dpr <= 0) dpr = 1;
    size = size.expandedTo(QSize(8, 12));
    // A file back is read again on every build: the user may have replaced the file.
    const bool anyFile = deck0.Type == kBackFile || deck1.Type == kBackFile;
    if (IsBuilt() && !anyFile && size == CardSize_ && qFuzzyCompare(dpr, Dpr_) && Backs_[0] == deck0 &&
        Backs_[1] == deck1)
        return;
    std::vector<QImage> images = CachedFaces(size, dpr);
    images.push_back(BackFor(deck0, size, dpr));
    images.push_back(BackFor(deck1, size, dpr));
    Images_ = std::move(images);
    SizeIndex_ = -1;
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
