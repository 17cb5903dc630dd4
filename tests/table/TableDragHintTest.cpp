// SPDX-License-Identifier: GPL-3.0-or-later
// Cards dragged from the hand onto the table and the pile, and the hint, with
// real mouse and key events.
#include <QAction>

#include "ai/Hint.h"
#include "table/TableFixture.h"

namespace canasta::test {
namespace {

class TableDragTest : public TableWindowTest {
protected:
    // A hand with something for every kind of drop; sevens and aces are
    // melded already, the player is to draw.
    void ArrangeHand() {
        TestTable t = Table();
        t.Hand({"KS", "KH", "KC", "7H", "2C", "9S", "5D", "4C", "JD"});
        t.Meld(6, {"7S", "7C", "7D"});
        t.Meld(13, {"AS", "AC", "AD"});
        t.OppHand({"QS", "QH", "8C", "8D", "6S", "10H", "10C"});
        t.Pile({"4H"});
        t.StockDownTo(40);
        t.DrawPhase();
        Arrange(t);
        // The sevens were melded in an earlier turn.
        G().SaveTurnSnapshot();
    }

    QPoint HandCardPoint(const std::string& name) {
        const int i = FindFirstById(G().Seat(TSeat::Player).Hand, CardId(name));
        EXPECT_GE(i, 0) << name << " not in hand";
        const TPoint at = Window->CardPoint(TArea::PlayerHand, G().Seat(TSeat::Player).Hand.At(std::max(0, i)));
        return {at.X + 4, at.Y + 4};
    }
    // The middle of a column of the player's table (empty or not).
    QPoint ColumnPoint(int column) {
        const TableLayout& L = Layout();
        return {L.ColumnX(column) + L.CardWidth / 2, L.DepthY(TArea::PlayerMelds, 1) + L.CardHeight / 2};
    }
    QPoint PilePoint() {
        return {Layout().TableLeft + Layout().CardWidth / 2, Layout().DiscardTop + Layout().CardHeight / 2};
    }

    // Press on the card, move past the drag distance, then to the target and
    // let go there; lit is filled with what was lit on the way.
    void DragTo(const std::string& card, QPoint to, Qt::KeyboardModifiers m = Qt::NoModifier,
                std::vector<QRect>* lit = nullptr, std::optional<TfmCanMain::TDropTarget>* hovered = nullptr) {
        const QPoint from = HandCardPoint(card);
        QTest::mousePress(View(), Qt::LeftButton, m, from);
        QTest::mouseMove(View(), from + QPoint(12, -12));
        ASSERT_TRUE(Window->Dragging()) << card;
        QTest::mouseMove(View(), to);
        if (lit) *lit = Window->DragTargetRects();
        if (hovered) *hovered = Window->HoveredTarget();
        QTest::mouseRelease(View(), Qt::LeftButton, m, to);
        EXPECT_FALSE(Window->Dragging());
    }
};

TEST_F(TableDragTest, AWholeTurnByDragAndDrop) {
    // Two preset sizes and a window sized freely.
    for (int size : {0, 3, -1}) {
        SCOPED_TRACE("size " + std::to_string(size));
        Open(std::max(size, 0));
        if (size < 0) {
            Window->resize(1500, 860);
            QCoreApplication::processEvents();
            ASSERT_EQ(Window->size(), QSize(1500, 860));
        }
        ArrangeHand();

        // Before the draw the pile takes no discard: the card goes home and
        // the message line says why, in the words of a click's refusal.
        const uint64_t before = StateFingerprint(G());
        DragTo("9S", PilePoint());
        EXPECT_EQ(StateFingerprint(G()), before);
        EXPECT_TRUE(Window->StatusIsError());
        const QString refusal = Window->StatusText();
        EXPECT_FALSE(refusal.isEmpty());
        EXPECT_EQ(InHand("9S"), 1);

        ClickStock();  // clicks still draw
        ASSERT_TRUE(G().HasDrawn);
        const int hand = G().Seat(TSeat::Player).Hand.Count;

        // A king on the sevens is refused; nothing changes.
        const uint64_t drawn = StateFingerprint(G());
        std::optional<TfmCanMain::TDropTarget> hovered;
        DragTo("KS", ColumnPoint(6), Qt::NoModifier, nullptr, &hovered);
        ASSERT_TRUE(hovered);
        EXPECT_FALSE(hovered->Legal);
        EXPECT_EQ(StateFingerprint(G()), drawn);
        EXPECT_EQ(Window->StatusText(), QStringLiteral("The K\u2660 can only be melded with the kings."));

        // A new meld: the kings (Shift carries all three) onto an empty place.
        std::vector<QRect> lit;
        const QRect kings = Window->ColumnRectOf(12);
        DragTo("KS", ColumnPoint(9), Qt::ShiftModifier, &lit, &hovered);
        ASSERT_TRUE(hovered);
        EXPECT_TRUE(hovered->Legal);
        EXPECT_EQ(hovered->Kind, TfmCanMain::TDropTarget::TKind::NewMeld);
        // The kings' place lights up, and the pile.
        EXPECT_EQ(lit.size(), 2u);
        EXPECT_TRUE(std::find(lit.begin(), lit.end(), kings) != lit.end());
        EXPECT_EQ(ColumnCount(12), 3);
        EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, hand - 3);

        // A seven let go over an empty place still joins the sevens.
        const int seven = FindFirstById(G().Seat(TSeat::Player).Hand, CardId("7H"));
        const TfmCanMain::TDropTarget elsewhere = Window->DropTargetAt(seven, ColumnPoint(9), Qt::NoModifier);
        EXPECT_EQ(elsewhere.Kind, TfmCanMain::TDropTarget::TKind::Column);
        EXPECT_EQ(elsewhere.Column, 6);
        EXPECT_EQ(elsewhere.Move, (TMove{TMoveType::MeldCard, seven}));

        // Added to a meld: the seven of hearts onto the sevens.
        DragTo("7H", ColumnPoint(6));
        EXPECT_EQ(ColumnCount(6), 4);

        // A wild card onto the kings; every meld lights up for it.
        DragTo("2C", ColumnPoint(12), Qt::NoModifier, &lit);
        EXPECT_EQ(ColumnCount(12), 4);
        EXPECT_GE(lit.size(), 4u);  // sevens, kings, aces, the pile

        // The discard ends the turn.
        DragTo("9S", PilePoint());
        EXPECT_EQ(InHand("9S"), 0);
        EXPECT_EQ(G().DiscardPile.Count >= 1, true);
        EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, hand - 6);
        EXPECT_TRUE(IsPlayersMove(G()));  // the computer has played meanwhile
        EXPECT_EQ(CheckConsistency(G()), "");
        Opened.Close();
    }
}

TEST_F(TableDragTest, AWrongDropFliesHomeAndSaysWhy) {
    Open();
    ArrangeHand();
    ClickStock();
    Window->PauseScale = 1;
    const uint64_t before = StateFingerprint(G());
    // Dropped on the opponent's side: no place for a card.
    DragTo("5D", QPoint(Layout().ColumnX(5), Layout().HandRowTop + 10));
    EXPECT_TRUE(Window->SpringingBack());
    EXPECT_TRUE(Window->StatusIsError());
    EXPECT_TRUE(Window->StatusText().startsWith(QStringLiteral("Drop the card on your table")));
    QTRY_VERIFY_WITH_TIMEOUT(!Window->SpringingBack(), 2000);
    EXPECT_EQ(StateFingerprint(G()), before);
    // A wild card never goes to the threes.
    DragTo("2C", ColumnPoint(kRankThree));
    EXPECT_EQ(Window->StatusText(), QStringLiteral("Wild cards cannot be melded with threes."));
    EXPECT_EQ(StateFingerprint(G()), before);
}

TEST_F(TableDragTest, EscOrAnotherButtonDuringADragChangesNothing) {
    Open();
    ArrangeHand();
    ClickStock();
    const uint64_t before = StateFingerprint(G());
    const QPoint from = HandCardPoint("9S");
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(View(), from + QPoint(12, -12));
    ASSERT_TRUE(Window->Dragging());
    // A right click would discard the card under it: not while one is carried.
    QTest::mouseClick(View(), Qt::RightButton, Qt::NoModifier, HandCardPoint("5D"));
    QTest::mouseClick(View(), Qt::RightButton, Qt::NoModifier, HandCardPoint("5D"));
    EXPECT_TRUE(Window->Dragging());
    EXPECT_EQ(StateFingerprint(G()), before);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Window->Dragging());
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, PilePoint());
    EXPECT_EQ(StateFingerprint(G()), before);
    EXPECT_EQ(InHand("9S"), 1);
}

TEST_F(TableDragTest, APressThatDoesNotMoveFarIsStillAClick) {
    Open();
    ArrangeHand();
    ClickStock();
    const QPoint at = HandCardPoint("7H");
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(View(), at + QPoint(2, 1));
    EXPECT_FALSE(Window->Dragging());
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, at + QPoint(2, 1));
    EXPECT_EQ(ColumnCount(6), 4);  // melded, as a click melds
    // The computer's turn takes no drag.
    TestTable t = Table();
    t.Hand({"KS", "KH"});
    t.OppHand({"QS", "QH"});
    t.Pile({"4H"});
    t.StockDownTo(40);
    t.DrawPhase();
    Arrange(t);
    G().OpponentsTurn = true;
    const QPoint k = HandCardPoint("KS");
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, k);
    QTest::mouseMove(View(), k + QPoint(20, -20));
    EXPECT_FALSE(Window->Dragging());
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, k + QPoint(20, -20));
}

TEST_F(TableDragTest, TheHintShowsTheStrongestLevelsMoveAndMovesNothing) {
    Open();
    ArrangeHand();
    ASSERT_NE(Window->HintAction(), nullptr);
    EXPECT_EQ(Window->HintAction()->shortcut(), QKeySequence(Qt::Key_H));
    ClickStock();
    const uint64_t before = StateFingerprint(G());
    const THint expected = ComputeHint(G());
    ASSERT_NE(expected.Kind, THint::TKind::None) << expected.Why;
    Key(Qt::Key_H);
    Window->WaitForHint();
    const std::optional<THint> shown = Window->ShownHint();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->What, expected.What);
    EXPECT_EQ(shown->Move, expected.Move);
    // A note above the instruction.
    EXPECT_TRUE(Window->StatusText().startsWith(QStringLiteral("Hint: ") + QString::fromStdString(expected.What) +
                                                QLatin1Char(' ') + QString::fromStdString(expected.Why) +
                                                QLatin1Char('\n')))
        << Window->StatusText().toStdString();
    EXPECT_EQ(StateFingerprint(G()), before);
    // The player's next action clears it.
    Window->RunAction([&] { ApplyMove(G(), expected.Move); });
    EXPECT_FALSE(Window->ShownHint());
    EXPECT_FALSE(Window->StatusText().contains(QStringLiteral("Hint: ")));
}

TEST_F(TableDragTest, AHintForAPositionThatHasGoneIsDropped) {
    Open();
    ArrangeHand();
    Window->HintAction()->trigger();
    EXPECT_TRUE(Window->HintPending());
    ClickStock();  // the position changes before the hint is shown
    Window->WaitForHint();
    EXPECT_FALSE(Window->HintPending());
    EXPECT_FALSE(Window->ShownHint());
    EXPECT_FALSE(Window->StatusText().startsWith(QStringLiteral("Hint:")));
}

}  // namespace
}  // namespace canasta::test
