// SPDX-License-Identifier: GPL-3.0-or-later
#include "cardart/CardArt.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QTemporaryDir>

#include <map>
#include <set>

using namespace canasta;

namespace {

// Fonts need a QGuiApplication; one for the whole test program.
class TQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!QGuiApplication::instance()) App_ = new QGuiApplication(Argc_, Argv_);
    }
    void TearDown() override { delete App_; }

private:
    int Argc_ = 1;
    char Name_[16] = "cardart_test";
    char* Argv_[2] = {Name_, nullptr};
    QGuiApplication* App_ = nullptr;
};
const auto* const kQtEnv = ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

QImage Plain(const QImage& img) { return img.convertToFormat(QImage::Format_ARGB32); }

bool IsRedInk(QRgb c) { return qAlpha(c) == 255 && qRed(c) > qGreen(c) + 80 && qRed(c) > qBlue(c) + 80; }
bool IsBlackInk(QRgb c) { return qAlpha(c) == 255 && qRed(c) < 70 && qGreen(c) < 70 && qBlue(c) < 70; }

struct TInk {
    int Red = 0, Black = 0;
};

TInk CountInk(const QImage& image, QRect area) {
    const QImage img = Plain(image);
    TInk ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = img.pixel(x, y);
            ink.Red += IsRedInk(c);
            ink.Black += IsBlackInk(c);
        }
    return ink;
}

// Separate blobs of suit ink on a card with the corner indices masked out:
// the number of pips actually drawn. `index` is the top-left index box in
// logical pixels; the pips must keep clear of it.
int CountPips(const QImage& image, QSizeF index) {
    const QImage img = Plain(image);
    const int w = img.width(), h = img.height();
    const qreal iw = index.width() * image.devicePixelRatio(), ih = index.height() * image.devicePixelRatio();
    auto inIndex = [&](int x, int y) { return (x < iw && y < ih) || (x >= w - iw && y >= h - ih); };
    std::vector<char> seen(size_t(w) * h, 0);
    int blobs = 0;
    for (int y0 = 0; y0 < h; ++y0)
        for (int x0 = 0; x0 < w; ++x0) {
            const QRgb c = img.pixel(x0, y0);
            if (seen[y0 * w + x0] || inIndex(x0, y0) || !(IsRedInk(c) || IsBlackInk(c))) continue;
            int size = 0;
            std::vector<QPoint> stack{{x0, y0}};
            seen[y0 * w + x0] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                ++size;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int x = p.x() + dx, y = p.y() + dy;
                        if (x < 0 || y < 0 || x >= w || y >= h || seen[y * w + x] || inIndex(x, y)) continue;
                        const QRgb n = img.pixel(x, y);
                        if (!(IsRedInk(n) || IsBlackInk(n))) continue;
                        seen[y * w + x] = 1;
                        stack.push_back({x, y});
                    }
            }
            if (size >= 4) ++blobs;
        }
    return blobs;
}

TBackSetting Solid(uint32_t color) {
    TBackSetting s;
    s.Type = kBackSolid;
    s.Color = color;
    return s;
}

TBackSetting Pattern(int index) {
    TBackSetting s;
    s.Type = kBackPattern;
    s.Pattern = uint8_t(index);
    return s;
}

TBackSetting File(const QString& path, uint32_t color) {
    TBackSetting s;
    s.Type = kBackFile;
    s.FileName = path.toStdString();
    s.Color = color;
    return s;
}

QPoint Centre(const QImage& img) { return {img.width() / 2, img.height() / 2}; }

}  // namespace

TEST(CardArtNames, FaceNamesFollowTheIdentityOrder) {
    EXPECT_EQ(FaceName(0), "spade2");
    EXPECT_EQ(FaceName(8), "spade10");
    EXPECT_EQ(FaceName(12), "spadea");
    EXPECT_EQ(FaceName(13), "club2");
    EXPECT_EQ(FaceName(2 * 13 + 9), "diamondb");
    EXPECT_EQ(FaceName(3 * 13 + 10), "heartv");
    EXPECT_EQ(FaceName(3 * 13 + 11), "hearth");
    EXPECT_EQ(FaceName(51), "hearta");
    EXPECT_EQ(FaceName(kJokerImage), "joker");
    EXPECT_TRUE(FaceName(53).isEmpty());
    EXPECT_TRUE(FaceName(-1).isEmpty());

    std::set<QString> names;
    for (int i = 0; i < kFaceImageCount; ++i) {
        EXPECT_EQ(FaceImageIndex(FaceName(i)), i) << i;
        names.insert(FaceName(i));
    }
    EXPECT_EQ(names.size(), size_t(kFaceImageCount));
    EXPECT_EQ(FaceImageIndex(u"spade1"), -1);
    EXPECT_EQ(FaceImageIndex(u"heart11"), -1);
    EXPECT_EQ(FaceImageIndex(u""), -1);
}

TEST(CardArtNames, PatternLookupIgnoresCase) {
    const char* expected[kPatternCount] = {"beach",    "fish1",    "fish2", "leaves1", "leaves2",
                                           "pattern1", "pattern2", "robot", "rose",    "shell"};
    for (int i = 0; i < kPatternCount; ++i) {
        EXPECT_EQ(PatternName(i), expected[i]);
        EXPECT_EQ(PatternIndex(PatternName(i).toUpper()), i);
    }
    EXPECT_EQ(PatternIndex(u"Fish2"), 2);
    EXPECT_EQ(PatternIndex(u"sHeLl"), 9);
    EXPECT_EQ(PatternIndex(u"fish"), -1);
    EXPECT_EQ(PatternIndex(u"beach1"), -1);
    EXPECT_TRUE(PatternName(10).isEmpty());
}

TEST(CardArtColors, ColorRefIsBlueGreenRed) {
    EXPECT_EQ(ColorFromColorRef(128), QColor(128, 0, 0));  // the default dark red
    EXPECT_EQ(ColorFromColorRef(16512), QColor(128, 64, 0));
    EXPECT_EQ(ColorFromColorRef(0x00FF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorRefFromColor(QColor(128, 64, 0)), 16512u);
    EXPECT_EQ(ColorRefFromColor(ColorFromColorRef(0x00123456)), 0x00123456u);
    // a system colour (button face) is a palette colour, not near-black
    EXPECT_EQ(ColorFromColorRef(0x8000000F), QGuiApplication::palette().color(QPalette::Button));
    EXPECT_EQ(ColorFromColorRef(0xFF00000F), QGuiApplication::palette().color(QPalette::Button));
}

TEST(CardImages, ListHasFiftyFiveImagesOfTheCardSize) {
    const QSize expected[4] = {{42, 65}, {53, 81}, {67, 104}, {67, 104}};
    for (int size = 0; size < 4; ++size) {
        TCardImages images;
        images.Build(size, Solid(128), Pattern(3), 1.0);
        ASSERT_EQ(images.Count(), kCardImageCount);
        EXPECT_EQ(images.CardSize(), expected[size]);
        for (int i = 0; i < kCardImageCount; ++i) {
            EXPECT_EQ(images.Image(i).size(), expected[size]) << "size " << size << " image " << i;
            EXPECT_EQ(images.Image(i).devicePixelRatio(), 1.0);
        }
    }
    TCardImages images;
    images.Build(0, Solid(128), Solid(128), 1.0);
    EXPECT_TRUE(images.Image(-1).isNull());
    EXPECT_TRUE(images.Image(kCardImageCount).isNull());
    EXPECT_EQ(images.Face(53).cacheKey(), images.Image(kJokerImage).cacheKey());
    EXPECT_EQ(images.Back(1).cacheKey(), images.Image(kBackImage1).cacheKey());
}

TEST(CardImages, HighDpiImagesHaveTwiceThePixels) {
    TCardImages one, two;
    one.Build(1, Pattern(0), Solid(128), 1.0);
    two.Build(1, Pattern(0), Solid(128), 2.0);
    for (int i : {0, 30, kJokerImage, kBackImage0, kBackImage1}) {
        EXPECT_EQ(two.Image(i).size(), one.Image(i).size() * 2);
        EXPECT_EQ(two.Image(i).devicePixelRatio(), 2.0);
        EXPECT_EQ(two.Image(i).deviceIndependentSize(), QSizeF(53, 81));
    }
    const QImage thumb = TCardImages::PatternThumbnail(9, 2.0);
    EXPECT_EQ(thumb.size(), QSize(106, 162));
    EXPECT_EQ(TCardImages::PatternThumbnail(9, 1.0), RenderPattern(9, kThumbnailSize, 1.0));
}

TEST(CardFaces, EverySuitHasItsColourInTheIndex) {
    for (int size = 0; size < 3; ++size) {
        const QSize card = CardSizeForIndex(size);
        // the rank and suit symbol in the top-left corner
        const QRect corner(0, 0, card.width() / 4, card.height() / 4);
        for (int i = 0; i < 52; ++i) {
            const TInk ink = CountInk(RenderFace(i, card, 1.0), corner);
            const bool red = i >= 26;
            if (red) {
                EXPECT_GT(ink.Red, 15) << FaceName(i).toStdString() << " size " << size;
                EXPECT_EQ(ink.Black, 0) << FaceName(i).toStdString() << " size " << size;
            } else {
                EXPECT_GT(ink.Black, 15) << FaceName(i).toStdString() << " size " << size;
                EXPECT_EQ(ink.Red, 0) << FaceName(i).toStdString() << " size " << size;
            }
        }
    }
}

TEST(CardFaces, NumberCardsShowTheirPipCount) {
    for (int size : {0, 2}) {
        const QSize card = CardSizeForIndex(size);
        const QSizeF index = size == 0 ? QSizeF(11.5, 20.5) : QSizeF(12.9, 21.5);
        for (int suit = 0; suit < 4; ++suit) {
            for (int rank = 0; rank <= 8; ++rank) {
                const int i = suit * 13 + rank;
                const QImage face = RenderFace(i, card, 2.0);
                EXPECT_EQ(CountPips(face, index), rank + 2) << FaceName(i).toStdString() << " size " << size;
                // number cards use only their suit's ink
                const TInk ink = CountInk(face, face.rect());
                EXPECT_EQ(suit >= 2 ? ink.Black : ink.Red, 0) << FaceName(i).toStdString();
            }
        }
        EXPECT_EQ(CountPips(RenderFace(3 * 13 + 12, card, 2.0), index), 1) << "ace of hearts";
        EXPECT_EQ(CountPips(RenderFace(2 * 13 + 12, card, 2.0), index), 1) << "ace of diamonds";
    }
}

TEST(CardFaces, RankStaysVisibleAboveTheNextCardInAColumn) {
    // Cards in a column are 12 pixels apart, so the rank in the corner must
    // end above that line (the tail of the Q may dip below).
    for (int size = 0; size < 3; ++size) {
        const QSize card = CardSizeForIndex(size);
        const qreal dpr = 4;
        for (int i = 0; i < 52; ++i) {
            if (i % 13 == 10) continue;
            const QImage face = RenderFace(i, card, dpr);
            const int column = int(11 * dpr);  // the index column, left of any pip or frame
            const TInk above = CountInk(face, QRect(0, 0, column, int(11.75 * dpr)));
            const TInk line = CountInk(face, QRect(0, int(11.75 * dpr), column, 1));
            EXPECT_GT(above.Red + above.Black, 20) << FaceName(i).toStdString() << " size " << size;
            EXPECT_EQ(line.Red + line.Black, 0) << FaceName(i).toStdString() << " size " << size;
        }
    }
}

TEST(CardFaces, CornersAndCourtHalvesAreTurnedCopies) {
    // Turned round, a card shows the same index in the other corner; court
    // cards and some pip layouts are entirely the same either way up.
    auto difference = [](const QImage& a, const QImage& b, QRect area) {
        int worst = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                  std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            }
        return worst;
    };
    for (int size = 0; size < 3; ++size) {
        const QSize card = CardSizeForIndex(size);
        for (int i = 0; i < 52; ++i) {
            // premultiplied, so nearly transparent edge pixels compare as nearly equal
            const QImage face = RenderFace(i, card, 1.0).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            const QImage turned = face.transformed(QTransform().rotate(180));
            const int rank = i % 13;
            const QRect corner(0, 0, card.width() / 4, card.height() / 4);
            EXPECT_LE(difference(face, turned, corner), 40) << FaceName(i).toStdString() << " size " << size;
            // the two, four and ten (the others have an upright middle pip)
            const bool symmetric = rank == 0 || rank == 2 || rank == 8 || (rank >= 9 && rank <= 11);
            if (symmetric) {
                EXPECT_LE(difference(face, turned, face.rect()), 40) << FaceName(i).toStdString() << " size " << size;
            }
        }
    }
}

TEST(CardFaces, AllFacesAndPatternsAreDistinct) {
    for (int size = 0; size < 3; ++size) {
        const QSize card = CardSizeForIndex(size);
        std::vector<QImage> faces;
        for (int i = 0; i < kFaceImageCount; ++i) faces.push_back(RenderFace(i, card, 1.0));
        for (int a = 0; a < kFaceImageCount; ++a)
            for (int b = a + 1; b < kFaceImageCount; ++b)
                EXPECT_NE(faces[a], faces[b]) << FaceName(a).toStdString() << " vs " << FaceName(b).toStdString();
        std::vector<QImage> backs;
        for (int i = 0; i < kPatternCount; ++i) backs.push_back(RenderPattern(i, card, 1.0));
        for (int a = 0; a < kPatternCount; ++a)
            for (int b = a + 1; b < kPatternCount; ++b)
                EXPECT_NE(backs[a], backs[b]) << PatternName(a).toStdString() << " vs " << PatternName(b).toStdString();
    }
}

TEST(CardFaces, CourtCardsAndJokerArePictures) {
    // a picture covers much of the card in several colour families; a card
    // with only letters or pips does not
    auto looksLikePicture = [](const QImage& image) {
        const QImage img = Plain(image);
        int inked = 0;
        std::map<int, int> hues;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = QColor::fromRgba(img.pixel(x, y));
                if (c.alpha() < 255 || c.value() > 235) continue;
                ++inked;
                if (c.hsvSaturation() > 80 && c.value() > 60) ++hues[c.hsvHue() / 30];
            }
        int families = 0;
        for (auto [hue, count] : hues) families += count >= 10;
        return inked > img.width() * img.height() / 4 && families >= 3;
    };
    for (int size = 0; size < 3; ++size) {
        const QSize card = CardSizeForIndex(size);
        for (int suit = 0; suit < 4; ++suit)
            for (int rank = 9; rank <= 11; ++rank)
                EXPECT_TRUE(looksLikePicture(RenderFace(suit * 13 + rank, card, 1.0)))
                    << FaceName(suit * 13 + rank).toStdString() << " size " << size;
        EXPECT_TRUE(looksLikePicture(RenderFace(kJokerImage, card, 1.0))) << "joker size " << size;
        EXPECT_FALSE(looksLikePicture(RenderFace(3 * 13 + 8, card, 1.0))) << "ten of hearts";
    }
}

TEST(CardBacks, CornersAreTransparentAndMiddlesOpaque) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("back.png"));
    QImage blue(8, 8, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(file));
    for (qreal dpr : {1.0, 2.0}) {
        const QSize card = CardSizeForIndex(0);
        std::vector<QImage> all;
        for (int i = 0; i < kPatternCount; ++i) all.push_back(RenderPattern(i, card, dpr));
        all.push_back(RenderSolidBack(Qt::darkGreen, card, dpr));
        all.push_back(RenderFace(0, card, dpr));
        all.push_back(RenderFace(kJokerImage, card, dpr));
        for (size_t k = 0; k < all.size(); ++k) {
            const QImage img = Plain(all[k]);
            const int w = img.width() - 1, h = img.height() - 1;
            for (QPoint corner : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h)})
                EXPECT_EQ(qAlpha(img.pixel(corner)), 0) << "image " << k << " dpr " << dpr;
            EXPECT_EQ(qAlpha(img.pixel(Centre(img))), 255) << "image " << k;
            EXPECT_EQ(qAlpha(img.pixel(w / 2, 1)), 255) << "image " << k;  // the edge is solid
        }
    }
}

TEST(CardBacks, SolidBackIsTheColourWithABlackEdge) {
    const QSize card = CardSizeForIndex(1);
    const QImage img = Plain(RenderBack(Solid(128), card, 1.0));
    EXPECT_EQ(QColor::fromRgba(img.pixel(Centre(img))), QColor(128, 0, 0));
    EXPECT_EQ(QColor::fromRgba(img.pixel(card.width() / 2, 0)), QColor(Qt::black));
    EXPECT_EQ(QColor::fromRgba(img.pixel(0, card.height() / 2)), QColor(Qt::black));
}

TEST(CardBacks, FileBackIsStretchedAndFallsBackToSolid) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("tiny.png"));
    QImage tiny(5, 7, QImage::Format_RGB32);
    tiny.fill(QColor(0, 0, 255));
    ASSERT_TRUE(tiny.save(good));
    const QString junk = dir.filePath(QStringLiteral("junk.bmp"));
    {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BM this is not a bitmap");
    }
    const QString missing = dir.filePath(QStringLiteral("deleted.bmp"));

    TCardImages images;
    images.Build(2, File(good, 128), File(missing, 0x004080), 1.0);
    const QImage loaded = Plain(images.Back(0));
    EXPECT_EQ(loaded.size(), QSize(67, 104));
    EXPECT_EQ(QColor::fromRgba(loaded.pixel(33, 52)), QColor(0, 0, 255));
    EXPECT_EQ(QColor::fromRgba(loaded.pixel(3, 3)), QColor(0, 0, 255));  // stretched over the whole card
    EXPECT_EQ(images.Back(1), RenderSolidBack(QColor(128, 64, 0), QSize(67, 104), 1.0));

    images.Build(2, File(junk, 128), File(QString(), 16512), 1.0);
    EXPECT_EQ(images.Back(0), RenderSolidBack(QColor(128, 0, 0), QSize(67, 104), 1.0));
    EXPECT_EQ(images.Back(1), RenderSolidBack(QColor(128, 64, 0), QSize(67, 104), 1.0));

    QImage untouched;
    EXPECT_FALSE(LoadFileBack(missing, QSize(53, 81), 1.0, untouched));
    EXPECT_TRUE(untouched.isNull());
}

TEST(CardImages, RebuildIsCachedButRereadsAChangedFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("back.png"));
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(path));

    TCardImages images;
    images.Build(2, Pattern(1), File(path, 128), 1.0);
    const qint64 face = images.Image(0).cacheKey(), back0 = images.Back(0).cacheKey();
    EXPECT_EQ(QColor::fromRgba(Plain(images.Back(1)).pixel(30, 50)), QColor(Qt::red));

    img.fill(Qt::green);
    ASSERT_TRUE(img.save(path));
    images.Build(2, Pattern(1), File(path, 128), 1.0);
    EXPECT_EQ(QColor::fromRgba(Plain(images.Back(1)).pixel(30, 50)), QColor(Qt::green));
    EXPECT_EQ(images.Image(0).cacheKey(), face);
    EXPECT_EQ(images.Back(0).cacheKey(), back0);

    // the 1280x1024 window uses the 1024x768 cards
    TCardImages large;
    large.Build(3, Pattern(1), Solid(128), 1.0);
    EXPECT_EQ(large.Image(0).cacheKey(), face);
    EXPECT_EQ(large.Back(0).cacheKey(), back0);
}

TEST(CardImages, BacksFollowTheDeckSettings) {
    TCardImages images;
    images.Build(1, Solid(0x0000FF00), Pattern(7), 1.0);
    EXPECT_EQ(QColor::fromRgba(Plain(images.Back(0)).pixel(26, 40)), QColor(0, 255, 0));
    EXPECT_EQ(images.Back(1), RenderPattern(7, QSize(53, 81), 1.0));
    const qint64 face = images.Image(5).cacheKey();

    // changing one back leaves the faces alone and replaces only that back
    images.Build(1, Solid(0x0000FF00), Pattern(8), 1.0);
    EXPECT_EQ(images.Image(5).cacheKey(), face);
    EXPECT_EQ(images.Back(1), RenderPattern(8, QSize(53, 81), 1.0));
    // an out-of-range stored pattern still gives a back
    images.Build(1, Pattern(200), Pattern(9), 1.0);
    EXPECT_FALSE(images.Back(0).isNull());
}

TEST(CardImages, SelectedBlendsWithHighlightAndDraggedIsSeeThrough) {
    TCardImages images;
    images.Build(0, Solid(128), Solid(128), 1.0);
    const QImage sel = Plain(images.Selected(kJokerImage, QColor(0, 0, 255)));
    const QImage plain = Plain(images.Image(kJokerImage));
    ASSERT_EQ(sel.size(), plain.size());
    // the white margin turns half blue, corners stay transparent
    const QColor margin = QColor::fromRgba(sel.pixel(plain.width() - 4, 4));
    EXPECT_NEAR(margin.red(), 128, 3);
    EXPECT_NEAR(margin.blue(), 255, 3);
    EXPECT_EQ(qAlpha(sel.pixel(0, 0)), 0);
    EXPECT_NE(images.Selected(3, Qt::red), images.Selected(3, Qt::blue));

    const QImage drag = Plain(images.Dragged(kBackImage0));
    EXPECT_EQ(drag.size(), plain.size());
    EXPECT_NEAR(qAlpha(drag.pixel(Centre(drag))), 153, 3);
    EXPECT_EQ(qAlpha(drag.pixel(0, 0)), 0);
}
