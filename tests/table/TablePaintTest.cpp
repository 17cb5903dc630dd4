// SPDX-License-Identifier: GPL-3.0-or-later
// What the table paints, checked on rendered images at all four sizes, and the
// carry-over of the cards when the window size changes.
#include <QFontMetrics>
#include <QImage>
#include <QPushButton>

#include "table/TableFixture.h"
#include "table/TableGeometry.h"

using namespace canasta;
using namespace canasta::test;

namespace {

const QRgb kTable = qRgb(0, 128, 0);  // the default table colour
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kYellow = qRgb(255, 255, 0);

// Bounding box of the pixels that are not table colour inside a region.
QRect InkBox(const QImage& img, const QRect& region) {
    QRect box;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (img.pixel(x, y) != kTable) box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

class TablePaintTest : public TableWindowTest, public ::testing::WithParamInterface<int> {
protected:
    QImage Render() { return View()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // The height of the pile box above the centre line, found on the left edge.
    int BoxHalfHeight(const QImage& img) {
        const int c = Layout().CentreLine;
        for (int y = c - 1; y > 0; --y)
            if (img.pixel(0, y) != kTable) return c - y;
        return -1;
    }
};

TEST_P(TablePaintTest, PileBoxIsEngravedAroundBothPiles) {
    Open(GetParam());
    const TableLayout& L = Layout();
    const QImage img = Render();
    const int c = L.CentreLine;
    const int h = BoxHalfHeight(img);
    const int r = L.TableLeft + L.CardWidth + 4;
    const int W = img.width();
    ASSERT_EQ(W, WindowSizeOf(GetParam()).Width);
    // h = card height + 5 + the height of the count text (its type grows with the table).
    const int text = QFontMetrics(PileCountFont(L)).height();
    EXPECT_GE(h - L.CardHeight - 5, text - 3);
    EXPECT_LE(h - L.CardHeight - 5, text + 3);

    // Top edge: white above black, the black line stopping one short of the corner.
    EXPECT_EQ(img.pixel(0, c - h), kBlack);
    EXPECT_EQ(img.pixel(r - 2, c - h), kBlack);
    EXPECT_EQ(img.pixel(r - 1, c - h), kWhite);
    EXPECT_EQ(img.pixel(0, c - h - 1), kWhite);
    EXPECT_EQ(img.pixel(r - 1, c - h - 1), kWhite);
    // Right edge of the upper half: black outside, white inside.
    EXPECT_EQ(img.pixel(r, c - h - 1), kBlack);
    EXPECT_EQ(img.pixel(r, c - 1), kBlack);
    EXPECT_EQ(img.pixel(r - 1, c - 1), kWhite);
    // The centre line: white on the line, black below, out to the right edge.
    EXPECT_EQ(img.pixel(r, c), kWhite);
    EXPECT_EQ(img.pixel(W - 1, c), kWhite);
    EXPECT_EQ(img.pixel(r + 1, c + 1), kBlack);
    EXPECT_EQ(img.pixel(W - 1, c + 1), kBlack);
    // Lower half and bottom edge.
    EXPECT_EQ(img.pixel(r, c + h), kBlack);
    EXPECT_EQ(img.pixel(r - 1, c + h - 1), kWhite);
    EXPECT_EQ(img.pixel(r - 1, c + h), kWhite);
    EXPECT_EQ(img.pixel(1, c + h), kWhite);
    EXPECT_EQ(img.pixel(r, c + h + 1), kBlack);
    EXPECT_EQ(img.pixel(1, c + h + 1), kBlack);
    // Lines end before their end points: the left ends of the bottom lines stay open.
    EXPECT_EQ(img.pixel(0, c + h), kTable);
    EXPECT_EQ(img.pixel(0, c + h + 1), kTable);
}

TEST_P(TablePaintTest, PileCountsSitCentredUnderAndAboveThePiles) {
    Open(GetParam());
    const TableLayout& L = Layout();
    TestTable t = Table();
    t.Hand({"5S"});
    t.Pile({"4C", "5C", "6C", "7C", "8C", "9C", "10C", "JC", "QC", "KC", "AC", "4D"});
    t.DrawPhase();
    Arrange(t);
    G().PileFrozen = false;
    View()->repaint();
    QImage img = Render();
    const int c = L.CentreLine;
    const int h = BoxHalfHeight(img);
    const int T = h - L.CardHeight - 5;
    const int r = L.TableLeft + L.CardWidth + 4;
    const int centre = L.TableLeft + L.CardWidth / 2;

    // Discard count "12": from c + card height + 3, within one text height.
    const QRect below = InkBox(img, QRect(0, c + L.CardHeight + 2, r - 2, h - L.CardHeight - 2));
    ASSERT_FALSE(below.isNull());
    EXPECT_GE(below.top(), c + L.CardHeight + 3);
    EXPECT_LE(below.bottom(), c + L.CardHeight + 3 + T);
    EXPECT_LE(std::abs(below.center().x() - centre), 2);
    // Stock count: ends above the stock card, starts at c - card height - 3 - T.
    const QRect above = InkBox(img, QRect(0, c - h + 1, r - 2, h - L.CardHeight - 5));
    ASSERT_FALSE(above.isNull());
    EXPECT_GE(above.top(), c - L.CardHeight - 3 - T);
    EXPECT_LE(above.bottom(), c - L.CardHeight - 3);
    EXPECT_LE(std::abs(above.center().x() - centre), 2);

    // Frozen: an asterisk before the count widens the text to the left.
    G().PileFrozen = true;
    View()->repaint();
    img = Render();
    const QRect frozen = InkBox(img, QRect(0, c + L.CardHeight + 2, r - 2, h - L.CardHeight - 2));
    EXPECT_LT(frozen.left(), below.left());
    EXPECT_GT(frozen.width(), below.width() + 2);
}

TEST_P(TablePaintTest, EmptyStockDrawsNothingButItsCount) {
    Open(GetParam());
    const TableLayout& L = Layout();
    TestTable t = Table();
    t.Hand({"5S"});
    t.StockDownTo(0);
    t.DrawPhase();
    Arrange(t);
    const QImage img = Render();
    EXPECT_EQ(img.pixel(L.TableLeft + L.CardWidth / 2, L.StockTop + L.CardHeight / 2), kTable);
    const int h = BoxHalfHeight(img);
    const QRect count = InkBox(img, QRect(0, L.CentreLine - h + 1, L.TableLeft + L.CardWidth, h - L.CardHeight - 5));
    EXPECT_FALSE(count.isNull()) << "the stock count shows 0";
}

TEST_P(TablePaintTest, CanastaLabelsBelowAndAboveTheFirstCard) {
    Open(GetParam());
    const TableLayout& L = Layout();
    TestTable t = Table();
    t.Hand({"5S", "9H"});
    t.Meld(5, {"6S", "6C", "6H", "6D", "6S", "6C", "6H"});
    t.OppMeld(9, {"10S", "10C", "10H", "10D", "2S", "10S", "JK"});
    Arrange(t);
    ASSERT_EQ(G().Seat(TSeat::Player).MeldState.CanastaKind[5], ckNatural);
    ASSERT_EQ(G().Seat(TSeat::Opponent).MeldState.CanastaKind[9], ckMixed);
    const QImage img = Render();
    const int T = QFontMetrics(CanastaLabelFont(L.SizeIndex, L.CardWidth, L.Scale)).height();

    // The player's label: one card wide, 2T + 5 high, 3 below the stacked canasta (15 below the slot at 640 x 480).
    const int px = L.TableLeft + 5 * L.ColumnWidth;
    const int py1 = L.PlayerMeldBase + L.CardHeight + L.ColumnStep + 3;
    const int py2 = py1 + 2 * T + 5;
    EXPECT_EQ(img.pixel(px, py1), kBlack);
    EXPECT_EQ(img.pixel(px + L.CardWidth - 1, py2 - 1), kBlack);
    EXPECT_EQ(img.pixel(px + 1, py1 + 1), kYellow);
    EXPECT_EQ(img.pixel(px + L.CardWidth - 2, py2 - 2), kYellow);
    EXPECT_NE(img.pixel(px + L.CardWidth, py1 + 1), kBlack) << "the box is exactly one card wide";
    EXPECT_NE(img.pixel(px + 1, py2), kYellow);

    // The opponent's label ends 3 above the stacked canasta (15 above its meld base at 640 x 480).
    const int ox = L.TableLeft + 9 * L.ColumnWidth;
    const int oy2 = L.OpponentMeldBase - L.ColumnStep - 3;
    const int oy1 = oy2 - 2 * T - 5;
    EXPECT_EQ(img.pixel(ox, oy1), kBlack);
    EXPECT_EQ(img.pixel(ox + L.CardWidth - 1, oy2 - 1), kBlack);
    EXPECT_EQ(img.pixel(ox + 1, oy2 - 2), kYellow);
    EXPECT_NE(img.pixel(ox + 1, oy1 - 1), kYellow);
}

TEST_P(TablePaintTest, FiveCardColumnShowsFourStripsAndOneWholeCard) {
    Open(GetParam());
    const TableLayout& L = Layout();
    TestTable t = Table();
    t.Hand({"8S", "8C", "8H", "8D", "8S", "KD", "4C"});
    Arrange(t);
    ClickHand("8S", Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(ColumnCount(7), 5);
    int first = 1 << 30, last = 0;
    for (const TCard& c : G().Seat(TSeat::Player).Melds) {
        first = std::min<int>(first, Window->CardPoint(TArea::PlayerMelds, c).Y);
        last = std::max<int>(last, Window->CardPoint(TArea::PlayerMelds, c).Y);
    }
    EXPECT_EQ(first, L.PlayerMeldBase + L.ColumnStep);
    EXPECT_EQ(last - first, 4 * L.ColumnStep);
    const QImage img = Render();
    const int x = L.ColumnX(7) + L.CardWidth / 2;
    EXPECT_NE(img.pixel(x, last + L.CardHeight - 3), kTable) << "the last card is shown whole";
    EXPECT_EQ(img.pixel(x, last + L.CardHeight + 2), kTable);
    // Each strip is a hit on its own card.
    int index = -1;
    EXPECT_EQ(Window->HitTest(L.ColumnX(7) + 5, first + 5, index), TfmCanMain::THitArea::TableCard);
    EXPECT_EQ(G().Seat(TSeat::Player).Melds.At(index).Depth, 1);
    EXPECT_EQ(Window->HitTest(L.ColumnX(7) + 5, first + 2 * L.ColumnStep + 5, index), TfmCanMain::THitArea::TableCard);
    EXPECT_EQ(G().Seat(TSeat::Player).Melds.At(index).Depth, 3) << "a covered card is hit only on its strip";
    EXPECT_EQ(Window->HitTest(L.ColumnX(7) + 5, last + L.CardHeight - 2, index), TfmCanMain::THitArea::TableCard);
    EXPECT_EQ(G().Seat(TSeat::Player).Melds.At(index).Depth, 5);
}

INSTANTIATE_TEST_SUITE_P(AllSizes, TablePaintTest, ::testing::Values(0, 1, 2, 3));

TEST_F(TableWindowTest, LabelFontIsRegularOnTheSmallTableAndFitsTheCard) {
    const QFont small = CanastaLabelFont(0, 42);
    EXPECT_FALSE(small.bold());
    EXPECT_LE(QFontMetrics(small).horizontalAdvance("Natural"), 38);
    const QFont large = CanastaLabelFont(2, 67);
    EXPECT_TRUE(large.bold());
    EXPECT_LE(QFontMetrics(large).horizontalAdvance("Natural"), 63);
}

TEST_F(TableWindowTest, HitAreasOfPilesHandAndTable) {
    Open();
    const TableLayout& L = Layout();
    TestTable t = Table();
    t.Hand({"5S", "5C", "JK", "KD"});
    t.Meld(2, {"3D"});
    t.Meld(9, {"10S", "10C", "10H"});
    t.Pile({"4C"});
    Arrange(t);
    int i = -1;
    EXPECT_EQ(Window->HitTest(L.TableLeft, L.StockTop, i), TfmCanMain::THitArea::Stock);
    EXPECT_EQ(Window->HitTest(L.TableLeft + L.CardWidth, L.StockTop + L.CardHeight, i), TfmCanMain::THitArea::Stock)
        << "bounds are inclusive";
    EXPECT_EQ(Window->HitTest(L.TableLeft + L.CardWidth + 1, L.StockTop, i), TfmCanMain::THitArea::None);
    EXPECT_EQ(Window->HitTest(L.TableLeft + 2, L.DiscardTop + 2, i), TfmCanMain::THitArea::Pile);
    const TPoint joker = Window->CardPoint(
        TArea::PlayerHand, G().Seat(TSeat::Player).Hand.At(FindFirstById(G().Seat(TSeat::Player).Hand, kJokerId)));
    EXPECT_EQ(Window->HitTest(joker.X + 2, joker.Y + 2, i), TfmCanMain::THitArea::WildInHand);
    const TPoint five = Window->CardPoint(
        TArea::PlayerHand, G().Seat(TSeat::Player).Hand.At(FindFirstById(G().Seat(TSeat::Player).Hand, CardId("5S"))));
    EXPECT_EQ(Window->HitTest(five.X + 2, five.Y + 2, i), TfmCanMain::THitArea::NaturalInHand);
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.At(i).Id, CardId("5S"));
    EXPECT_EQ(Window->HitTest(L.ColumnX(2) + 2, L.PlayerMeldBase + 14, i), TfmCanMain::THitArea::ThreesColumn);
    EXPECT_EQ(Window->HitTest(L.ColumnX(9) + 2, L.PlayerMeldBase + 14, i), TfmCanMain::THitArea::TableCard);

    // Nothing while the hand is over; the stock is gone once exhausted.
    G().TurnPhase = TTurnPhase::HandOver;
    EXPECT_EQ(Window->HitTest(L.TableLeft + 2, L.StockTop + 2, i), TfmCanMain::THitArea::None);
    G().TurnPhase = TTurnPhase::Draw;
    G().StockExhausted = true;
    EXPECT_EQ(Window->HitTest(L.TableLeft + 2, L.StockTop + 2, i), TfmCanMain::THitArea::None);
}

namespace {

// The card lists of a game and what goes with them, for comparing two games;
// the turn snapshot too unless told otherwise.
void ExpectSameCards(const TGameState& a, const TGameState& b, bool snapshot = true) {
    EXPECT_EQ(a.Stock, b.Stock);
    EXPECT_EQ(a.DiscardPile, b.DiscardPile);
    EXPECT_EQ(a.Seat(TSeat::Opponent).Hand, b.Seat(TSeat::Opponent).Hand);
    EXPECT_EQ(a.Seat(TSeat::Player).Hand, b.Seat(TSeat::Player).Hand);
    EXPECT_EQ(a.Seat(TSeat::Opponent).Melds, b.Seat(TSeat::Opponent).Melds);
    EXPECT_EQ(a.Seat(TSeat::Player).Melds, b.Seat(TSeat::Player).Melds);
    EXPECT_EQ(a.Seat(TSeat::Player).PickedUp, b.Seat(TSeat::Player).PickedUp);
    EXPECT_EQ(a.Seat(TSeat::Player).MeldState, b.Seat(TSeat::Player).MeldState);
    EXPECT_EQ(a.Seat(TSeat::Opponent).MeldState, b.Seat(TSeat::Opponent).MeldState);
    EXPECT_EQ(a.UndoStack, b.UndoStack);
    if (!snapshot) return;
    EXPECT_EQ(a.SavedPlayerHand, b.SavedPlayerHand);
    EXPECT_EQ(a.SavedPlayerMelds, b.SavedPlayerMelds);
    EXPECT_EQ(a.SavedDiscardPile, b.SavedDiscardPile);
    EXPECT_EQ(a.SavedPlayerMeldState, b.SavedPlayerMeldState);
}

}  // namespace

TEST_F(TableWindowTest, SizeChangeKeepsEveryCardInItsColumnAndDepth) {
    Open(1);
    TestTable t = Table();
    t.Hand({"5S", "5C", "5H", "9D", "9C", "KD", "KS", "QH", "JK", "2C"});
    t.Meld(6, {"7S", "7C", "7H"});
    t.Meld(12, {"KC", "KH", "KD", "KS", "KC", "KH", "2D"});
    t.OppMeld(8, {"9S", "9H", "9D", "2S"});
    t.Pile({"4C", "8D"});
    Arrange(t);
    // A meld of this turn, so the undo stack holds an entry made at 800 x 600.
    ClickHand("9D");
    ASSERT_EQ(G().UndoStack.size(), 1u);
    const TGameState before = G().State();

    Window->ApplySizeIndex(2);
    const TableLayout& after = Layout();
    EXPECT_EQ(Window->width(), 1024);
    EXPECT_EQ(Window->height(), 768);
    EXPECT_EQ(Window->CardImages().CardSize(), QSize(after.CardWidth, after.CardHeight));
    EXPECT_GE(after.CardHeight, 100) << "cards about as large as the classic 1024 x 768 cards";
    // Only the drawing follows the size: the game is as it was, and every card
    // is drawn on its column and step of the new table.
    ExpectSameCards(G().State(), before);
    for (const TCard& c : G().Seat(TSeat::Player).Hand)
        EXPECT_EQ(Window->CardPoint(TArea::PlayerHand, c),
                  (TPoint{after.ColumnX(c.Column), after.PlayerHandBase + after.ColumnStep * c.Depth}));
    for (const TCard& c : G().Seat(TSeat::Player).Melds)
        EXPECT_EQ(Window->CardPoint(TArea::PlayerMelds, c),
                  (TPoint{after.ColumnX(c.Column), after.PlayerMeldBase + after.ColumnStep * c.Depth}));
    for (const TCard& c : G().Seat(TSeat::Opponent).Melds)
        EXPECT_EQ(Window->CardPoint(TArea::OpponentMelds, c),
                  (TPoint{after.ColumnX(c.Column), after.OpponentMeldBase - after.ColumnStep * c.Depth}));
    EXPECT_EQ(Window->CardPoint(TArea::DiscardPile, G().DiscardPile.Last()),
              (TPoint{after.TableLeft, after.DiscardTop}));
    EXPECT_EQ(Window->CardPoint(TArea::Stock, G().Stock.Last()), (TPoint{after.TableLeft, after.StockTop}));
    EXPECT_EQ(CheckConsistency(G()), "");

    // The undo entry made at the other size still finds its card.
    Key(Qt::Key_Delete);
    EXPECT_EQ(FindFirstById(G().Seat(TSeat::Player).Hand, CardId("9D")) >= 0, true);
    EXPECT_EQ(ColumnCount(8), 0);
    EXPECT_EQ(CheckConsistency(G()), "");
}

TEST_F(TableWindowTest, SizeChangesDuringAProvisionalTakeLeaveItsUndoWhole) {
    Open(0);
    TestTable t = Table();
    t.Hand({"KS", "KD", "4H", "QS", "9D"});
    t.Meld(6, {"7H", "7D", "7C"});
    t.Meld(12, {"KC", "KH", "KD", "KS", "KC", "2D", "JK"});  // a canasta the top card joins
    t.Pile({"5D", "KH"});
    t.DrawPhase();
    Arrange(t);
    G().GameInProgress = true;
    G().PileFrozen = true;  // the take needs the pair from the hand: it stays provisional
    const TGameState beforeTake = G().State();

    ClickPile();
    ASSERT_TRUE(G().PileTakeUndoable);
    ASSERT_EQ(ColumnCount(12), 8);
    const TGameState taken = G().State();
    Window->ApplySizeIndex(3);
    EXPECT_EQ(CheckConsistency(G()), "");
    Window->ApplySizeIndex(0);
    ExpectSameCards(G().State(), taken);
    ClickPile();  // takes the take back

    ASSERT_FALSE(G().PileTakeUndoable);
    EXPECT_TRUE(G().TurnStart);
    // Every card is back where it was before the take (the turn snapshot is
    // taken afresh by the next draw).
    ExpectSameCards(G().State(), beforeTake, false);
    EXPECT_EQ(G().Seat(TSeat::Player).Score, beforeTake.Seat(TSeat::Player).Score - 50)
        << "the penalty for taking the pile back";
    EXPECT_EQ(G().Seat(TSeat::Player).MinimumMeld, beforeTake.Seat(TSeat::Player).MinimumMeld);
    EXPECT_EQ(G().PileFrozen, beforeTake.PileFrozen);
    EXPECT_EQ(CheckConsistency(G()), "");
}

TEST_F(TableWindowTest, WindowSizesIncludeMenuAndStatusBar) {
    for (int s = 0; s < kSizeCount; ++s) {
        TfmCanMain& w = Open(s);
        EXPECT_EQ(w.size(), QSize(WindowSizeOf(s).Width, WindowSizeOf(s).Height));
        EXPECT_EQ(w.Table()->width(), WindowSizeOf(s).Width);
        EXPECT_LT(w.minimumSize().width(), w.maximumSize().width()) << "the user may resize the window";
        // The End Hand button sits 10 pixels left of the right edge, 8 from the top.
        EXPECT_EQ(w.EndHandButton()->geometry().right() + 1, WindowSizeOf(s).Width - 10);
        EXPECT_EQ(w.EndHandButton()->y(), 8);
        Window.reset();
    }
}

namespace {

// Every card of the game drawn inside the table area at the window's layout.
void ExpectEveryCardInside(TfmCanMain& w, const TGame& g) {
    const TableLayout& L = w.TableGeometry();
    const QRect table = w.Table()->rect();
    auto inside = [&](TArea area, const TCard& c) {
        const TPoint at = w.CardPoint(area, c);
        return table.contains(QRect(at.X, at.Y, L.CardWidth, L.CardHeight));
    };
    for (const TCard& c : g.Seat(TSeat::Player).Hand) EXPECT_TRUE(inside(TArea::PlayerHand, c)) << CardShortName(c.Id);
    for (const TCard& c : g.Seat(TSeat::Player).Melds)
        EXPECT_TRUE(inside(TArea::PlayerMelds, c)) << CardShortName(c.Id);
    for (const TCard& c : g.Seat(TSeat::Opponent).Melds)
        EXPECT_TRUE(inside(TArea::OpponentMelds, c)) << CardShortName(c.Id);
    for (const TCard& c : g.Seat(TSeat::Opponent).Hand)
        EXPECT_TRUE(inside(TArea::OpponentHand, c)) << CardShortName(c.Id);
    if (!g.DiscardPile.Empty()) {
        EXPECT_TRUE(inside(TArea::DiscardPile, g.DiscardPile.Last()));
    }
}

}  // namespace

TEST_F(TableWindowTest, TheTableFillsAWindowOfAnySizeAndTheGameStaysAsItWas) {
    TfmCanMain& w = Open(0);
    TestTable t = Table();
    t.Hand({"5S", "5C", "5H", "9D", "9C", "KD", "KS", "QH", "JK", "2C"});
    t.Meld(6, {"7S", "7C", "7H"});
    t.Meld(12, {"KC", "KH", "KD", "KS", "KC", "KH", "2D"});
    t.OppMeld(8, {"9S", "9H", "9D", "2S"});
    t.OppHand({"4S", "4H", "6D", "AC", "AD"});
    t.Pile({"4C", "8D"});
    Arrange(t);
    const TGameState before = G().State();
    ExpectEveryCardInside(w, G());
    QCoreApplication::processEvents();  // the bottom area laid out for this width
    const QSize small = w.Table()->size();

    w.resize(1920, 1080);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.size(), QSize(1920, 1080));
    const TableLayout& big = w.TableGeometry();
    EXPECT_GT(big.CardHeight, 2 * 65) << "the cards grow with the window";
    EXPECT_GE(big.ColumnWidth * kColumns, w.Table()->width() - big.ColumnWidth) << "the columns use the width";
    ExpectSameCards(G().State(), before);
    ExpectEveryCardInside(w, G());
    // Once the size has settled the card images are drawn at the new size.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return w.CardImages().CardSize() == QSize(big.CardWidth, big.CardHeight); }, 5000));

    w.resize(640, 480);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.Table()->size(), small);
    EXPECT_EQ(w.TableGeometry().CardHeight, FitLayout(w.Table()->width(), w.Table()->height()).CardHeight)
        << "back at the 640 x 480 table";
    EXPECT_GE(w.TableGeometry().CardHeight, 55) << "cards still large enough to read";
    ExpectSameCards(G().State(), before);
    ExpectEveryCardInside(w, G());
}

TEST_F(TableWindowTest, F11TogglesFullScreenAndEscLeavesIt) {
    TfmCanMain& w = Open(0);
    EXPECT_EQ(w.FullScreenAction()->shortcut(), QKeySequence(Qt::Key_F11)) << "shown in the menu";
    Key(Qt::Key_F11);
    EXPECT_TRUE(w.isFullScreen());
    EXPECT_TRUE(w.FullScreenAction()->isChecked());
    Key(Qt::Key_F11);
    EXPECT_FALSE(w.isFullScreen());
    w.FullScreenAction()->trigger();
    EXPECT_TRUE(w.isFullScreen());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(w.isFullScreen());
    EXPECT_FALSE(w.FullScreenAction()->isChecked());
}

TEST_F(TableWindowTest, AFreeWindowSizeIsRememberedUnderItsOwnName) {
    {
        TfmCanMain& w = Open(1);
        w.resize(760, 560);
        QCoreApplication::processEvents();
        ASSERT_TRUE(w.close());  // closing writes the settings
        Window.reset();
    }
    const auto place = Store.ReadValue("Settings\\Window Place", std::monostate{});
    ASSERT_TRUE(std::holds_alternative<std::string>(place));
    EXPECT_NE(std::get<std::string>(place).find(",760,560,0"), std::string::npos) << std::get<std::string>(place);

    // The next start takes it up again; a preset size chosen later clears it.
    TStartOptions options;
    TfmCanMain& again = Start(options);
    EXPECT_EQ(again.size(), QSize(760, 560));
    again.ApplySizeIndex(0);
    EXPECT_EQ(again.size(), QSize(640, 480));
    ASSERT_TRUE(again.close());
    Window.reset();
    EXPECT_EQ(std::get<std::string>(Store.ReadValue("Settings\\Window Place", std::monostate{})), "");
}

// At 640 x 480 every instruction and every refusal can be read whole: the
// message line wraps within the room the window keeps for it.
TEST_F(TableWindowTest, NoMessageIsCutAt640x480) {
    TfmCanMain& w = Open(0);
    ASSERT_EQ(w.size(), QSize(640, 480));
    QLabel* status = w.StatusLabel();
    std::vector<std::string> texts;
    for (int p = 0; p <= static_cast<int>(TTurnPhase::HandOver); ++p)
        for (bool exhausted : {false, true})
            texts.push_back(PhaseStatusText(static_cast<TTurnPhase>(p), exhausted, true, "Bartholomew"));
    const char* validations[] = {
        "your first meld must be at least 120 points (currently 115 points)",
        "every column on the table must contain at least three cards",
        "you need at least two Canastas to go out",
        "a Red Three cannot be discarded with the current rules",
    };
    for (int r = 1; r <= static_cast<int>(TRefusal::OneCardPileWithOneCardHand); ++r)
        for (const char* v : validations) texts.push_back(StatusErrorText(static_cast<TRefusal>(r), v));
    // The account of the computer's turn above the instruction that follows it.
    texts.push_back(
        "Took the pile (23 cards), melded three kings and two wild cards, completed a natural canasta of sevens, "
        "discarded the 7\u2663\nStock exhausted; take discard pile or end hand");
    for (const std::string& text : texts) {
        for (bool refusal : {false, true}) {
            if (refusal)
                w.ShowStatusError(text);
            else
                w.ShowStatus(text);
            EXPECT_LE(status->heightForWidth(status->contentsRect().width()), status->contentsRect().height())
                << (refusal ? "refusal: " : "instruction: ") << text;
        }
    }
}

// The scores say what they are, the target is in view, and so is whose turn it is.
TEST_F(TableWindowTest, TheScorePanelIsLabelledAndShowsWhoseTurnItIs) {
    TfmCanMain& w = Open(0);
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    t.DrawPhase();
    Arrange(t);
    w.Table()->repaint();
    EXPECT_TRUE(w.SideLabel(true).startsWith(QStringLiteral("\u25B6"))) << w.SideLabel(true).toStdString();
    EXPECT_EQ(w.SideLabel(false), QStringLiteral("Computer"));
    bool target = false, melded = false;
    for (QLabel* l : w.findChildren<QLabel*>()) {
        target = target || l->text() == QStringLiteral("game to 5,000");
        melded = melded || l->text() == QStringLiteral("melded");
    }
    EXPECT_TRUE(target && melded);
    G().OpponentsTurn = true;
    G().SetTurnPhase(TTurnPhase::OpponentTurn);
    w.Table()->repaint();
    EXPECT_EQ(w.SideLabel(true), QStringLiteral("You"));
    EXPECT_TRUE(w.SideLabel(false).startsWith(QStringLiteral("\u25B6")));
}

// A frozen pile shows on the table itself (a frame of ice and a snowflake) and
// says why in its tooltip; the mark goes when the pile thaws.
TEST_F(TableWindowTest, TheFrozenPileIsMarkedOnTheTable) {
    TfmCanMain& w = Open(0);
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    t.Meld(6, {"7S", "7C", "7H"});  // melded: the pile is not frozen for the player by the rules
    t.Pile({"4C", "2D", "8C"});
    t.DrawPhase();
    Arrange(t);
    const TableLayout& L = Layout();
    const QPoint pile(L.TableLeft + 5, L.DiscardTop + 5);
    const QColor ice(80, 170, 255);
    // Pixels of the ice colour on the pile's card.
    auto icy = [&] {
        const QImage img = View()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int n = 0;
        for (int y = L.DiscardTop; y < L.DiscardTop + L.CardHeight; ++y)
            for (int x = L.TableLeft; x < L.TableLeft + L.CardWidth; ++x) n += QColor(img.pixel(x, y)) == ice;
        return n;
    };

    G().PileFrozen = true;
    EXPECT_GT(icy(), 2 * (L.CardWidth + L.CardHeight)) << "the frame and the snowflake";
    EXPECT_EQ(w.TableToolTip(pile).toStdString().rfind("The discard pile is frozen: a wild card lies in it.", 0), 0u);

    G().PileFrozen = false;
    EXPECT_EQ(icy(), 0);
    EXPECT_EQ(w.TableToolTip(pile).toStdString(), "The discard pile: 3 cards. Click it (or press F7) to take it.");
}
