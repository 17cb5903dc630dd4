// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Card art drawn by code: the 52 faces and the joker, the ten back patterns,
// solid and file backs, and the 55-image list the table paints from.
// Everything is vector drawing into QImages at a device pixel ratio, so the
// cards stay sharp at every card size and on high-DPI screens. Needs a
// QGuiApplication (fonts) but no widgets.
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace canasta {

// Card size of a window-size index: 0 → 42x65, 1 → 53x81, 2 and 3 → 67x104.
QSize CardSizeForIndex(int sizeIndex);

// Image numbers of the card image list.
constexpr int kFaceImageCount = 53;  // 0..51 suited faces, 52 joker
constexpr int kJokerImage = 52;
constexpr int kBackImage0 = 53;
constexpr int kBackImage1 = 54;
constexpr int kCardImageCount = 55;
constexpr int kPatternCount = 10;
constexpr QSize kThumbnailSize{53, 81};

// Face names in image order: "spade2" .. "spadea", "club2" .. "hearta", "joker".
QString FaceName(int imageIndex);
// Image number of a face name (exact, lower case as the game writes them); -1 if unknown.
int FaceImageIndex(QStringView name);

// Pattern names in index order: "beach", "fish1" .. "shell".
QString PatternName(int index);
// Index of a pattern name, ignoring case; -1 if unknown.
int PatternIndex(QStringView name);

// Windows colour values (0x00BBGGRR). System colours (high byte 0x80 or 0xFF,
// low byte the system colour number) map to the application palette where one
// exists, otherwise to the classic Windows defaults.
QColor ColorFromColorRef(uint32_t colorRef);
uint32_t ColorRefFromColor(const QColor& color);

// One deck's card-back setting as the settings store keeps it.
struct TBackSetting {
    uint8_t Type = 0;  // 0 solid colour, 1 pattern, 2 image file
    uint32_t Color = 128;
    std::string FileName;
    uint8_t Pattern = 0;

    friend bool operator==(const TBackSetting&, const TBackSetting&) = default;
};
constexpr uint8_t kBackSolid = 0;
constexpr uint8_t kBackPattern = 1;
constexpr uint8_t kBackFile = 2;

// Single images, all with transparent rounded corners. `size` is in logical
// pixels; the image holds size * dpr physical pixels and carries the ratio.
QImage RenderFace(int imageIndex, QSize size, qreal dpr);
QImage RenderPattern(int index, QSize size, qreal dpr);
QImage RenderSolidBack(const QColor& color, QSize size, qreal dpr);
// Loads and stretches an image file; false (and `out` untouched) if it cannot be read.
bool LoadFileBack(const QString& path, QSize size, qreal dpr, QImage& out);
// The back a setting describes; an unreadable file falls back to the solid colour.
QImage RenderBack(const TBackSetting& setting, QSize size, qreal dpr);

// The 55 card images of one card size: faces in identity order (image of a
// card = Id - 1), the joker, then the backs of deck 0 and deck 1.
class TCardImages {
public:
    // Rebuilds for the size index and backs; returns at once when nothing
    // changed. Faces and pattern backs are cached process-wide per size and
    // dpr, so switching back to a size already seen costs almost nothing.
    void Build(int sizeIndex, const TBackSetting& deck0, const TBackSetting& deck1, qreal dpr);
    // The same for any card size (logical pixels), as a freely sized table needs.
    void Build(QSize size, const TBackSetting& deck0, const TBackSetting& deck1, qreal dpr);

    bool IsBuilt() const { return !Images_.empty(); }
    int Count() const { return static_cast<int>(Images_.size()); }
    int SizeIndex() const { return SizeIndex_; }
    QSize CardSize() const { return CardSize_; }
    qreal DevicePixelRatio() const { return Dpr_; }

    const QImage& Image(int index) const;
    // Face of a card identity 1..53.
    const QImage& Face(int id) const { return Image(id - 1); }
    const QImage& Back(int deck) const { return Image(kBackImage0 + deck); }

    // The image half blended with the highlight colour, as a selected entry of
    // an image list is drawn. An invalid colour means the palette's highlight.
    QImage Selected(int index, const QColor& highlight = QColor()) const;
    // The image semi-transparent, for a card being dragged.
    QImage Dragged(int index) const;

    // A pattern back at the 53x81 thumbnail size of the back picker.
    static QImage PatternThumbnail(int index, qreal dpr);

private:
    std::vector<QImage> Images_;
    mutable std::vector<QImage> SelectedCache_;
    mutable QColor SelectedColor_;
    mutable std::vector<QImage> DragCache_;
    int SizeIndex_ = -1;
    QSize CardSize_;
    qreal Dpr_ = 0;
    std::array<TBackSetting, 2> Backs_;
};

}  // namespace canasta
