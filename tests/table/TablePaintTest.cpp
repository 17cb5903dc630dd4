// SPDX-License-Identifier: GPL-3.0-or-later
// What the table paints, checked on rendered images at all four sizes, and the
// carry-over of the cards when the window size changes.
#include <QFontMetrics>
#include <QImage>
#include <QPushButton>

#include "table/TableFixture.h"

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
    // h = card height + 5 + the height of the count text.
    EXPECT_GE(h - L.CardHeight - 5, 9);
    EXPECT_LE(h - L.CardHeight - 5, 20);

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
    const int T = QFontMetrics(CanastaLabelFont(L.SizeIndex, L.CardWidth)).height();

    // The player's label: one card wide, 2T + 5 high, 15 below the first card's slot.
    const int px = L.TableLeft + 5 * L.ColumnWidth;
    const int py1 = L.PlayerMeldBase + L.CardHeight + 15;
    const int py2 = py1 + 2 * T + 5;
    EXPECT_EQ(img.pixel(px, py1), kBlack);
    EXPECT_EQ(img.pixel(px + L.CardWidth - 1, py2 - 1), kBlack);
    EXPECT_EQ(img.pixel(px + 1, py1 + 1), kYellow);
    EXPECT_EQ(img.pixel(px + L.CardWidth - 2, py2 - 2), kYellow);
    EXPECT_NE(img.pixel(px + L.CardWidth, py1 + 1), kBlack) << "the box is exactly one card wide";
    EXPECT_NE(img.pixel(px + 1, py2), kYellow);

    // The opponent's label ends 15 above its meld base.
    const int ox = L.TableLeft + 9 * L.ColumnWidth;
    const int oy2 = L.OpponentMeldBase - 15;
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
    EXPECT_EQ(first, L.PlayerMeldBase + 12);
    EXPECT_EQ(last - first, 48);
    const QImage img = Render();
    const int x = L.ColumnX(7) + L.CardWidth / 2;
    EXPECT_NE(img.pixel(x, last + L.CardHeight - 3), kTable) << "the last card is shown whole";
    EXPECT_EQ(img.pixel(x, last + L.CardHeight + 2), kTable);
    // Each strip is a hit on its own card.
    int index = -1;
    EXPECT_EQ(Window->HitTest(L.ColumnX(7) + 5, first + 5, index), TfmCanMain::THitArea::TableCard);
    EXPECT_EQ(G().Seat(TSeat::Player).Melds.At(index).Depth, 1);
    EXPECT_EQ(Window->HitTest(L.ColumnX(7) + 5, first + 24 + 5, index), TfmCanMain::THitArea::TableCard);
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
    EXPECT_EQ(Window->CardImages().CardSize(), QSize(67, 104));
    // Only the drawing follows the size: the game is as it was, and every card
    // is drawn on its column and step of the new table.
    ExpectSameCards(G().State(), before);
    for (const TCard& c : G().Seat(TSeat::Player).Hand)
        EXPECT_EQ(Window->CardPoint(TArea::PlayerHand, c),
                  (TPoint{after.ColumnX(c.Column), after.PlayerHandBase + 12 * c.Depth}));
    for (const TCard& c : G().Seat(TSeat::Player).Melds)
        EXPECT_EQ(Window->CardPoint(TArea::PlayerMelds, c),
                  (TPoint{after.ColumnX(c.Column), after.PlayerMeldBase + 12 * c.Depth}));
    for (const TCard& c : G().Seat(TSeat::Opponent).Melds)
        EXPECT_EQ(Window->CardPoint(TArea::OpponentMelds, c),
                  (TPoint{after.ColumnX(c.Column), after.OpponentMeldBase - 12 * c.Depth}));
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
        EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "the user cannot resize the window";
        // The End Hand button sits 10 pixels left of the right edge, 8 from the top.
        EXPECT_EQ(w.EndHandButton()->geometry().right() + 1, WindowSizeOf(s).Width - 10);
        EXPECT_EQ(w.EndHandButton()->y(), 8);
        Window.reset();
    }
}
