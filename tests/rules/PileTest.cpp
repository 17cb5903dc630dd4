// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "support/TestTable.h"

using namespace canasta;
using namespace canasta::test;

namespace {
struct Pile : ::testing::Test {
    TestTable T;
    DrawDiscardLevel Level;
    Pile() { T.G.Levels = {&Level, &Level, &Level}; }
};
}  // namespace

TEST_F(Pile, WildOrThreeOnTopBlocksThePile) {
    for (const char* top : {"2H", "JK", "3S", "3C"}) {
        T.Clear();
        T.Hand({"9S", "9C", "2C", "2D", "3H"});
        T.Pile({"9D", top});
        T.G.PileFrozen = false;
        T.DrawPhase();
        EXPECT_FALSE(T.G.MayTakePile(TSeat::Player, true)) << top;
        T.G.TakePile();
        EXPECT_EQ(T.Host.LastError, "Taking the discard pile is not possible now because you cannot meld the top card");
        EXPECT_EQ(T.G.DiscardPile.Count, 2);
    }
}

TEST_F(Pile, FrozenPileNeedsANaturalPairAndCompletesAfterTwoMoreCards) {
    T.Hand({"KS", "JK", "5H", "6H", "7H"});
    T.Pile({"9D", "KD"});
    T.G.PileFrozen = true;
    T.DrawPhase();
    EXPECT_FALSE(T.G.MayTakePile(TSeat::Player, true));  // one king and a joker is not enough when frozen

    T.Clear();
    T.Hand({"KS", "KC", "QS", "QC", "QD", "5H"});
    T.Pile({"9D", "8C", "KD"});
    T.G.PileFrozen = true;
    T.DrawPhase();
    T.G.TakePile();
    EXPECT_EQ(T.G.TurnPhase, TTurnPhase::PileTaken);
    EXPECT_TRUE(T.G.PileTakeUndoable);
    EXPECT_TRUE(T.G.TopCardPending);
    EXPECT_EQ(T.ColumnCount(12), 1);
    EXPECT_EQ(T.G.DiscardPile.Count, 2);  // the rest waits
    EXPECT_EQ(T.Consistent(), "");
    // Discarding is refused while the take is pending.
    T.G.DiscardCard(T.HandIndex("5H"));
    EXPECT_EQ(T.Host.LastError.rfind("Discarding is not possible now: ", 0), 0u);
    EXPECT_EQ(T.G.Seat(TSeat::Player).Hand.Count, 6);
    T.G.MeldCard(T.HandIndex("KS"));
    EXPECT_TRUE(T.G.PileTakeUndoable);
    T.G.MeldCard(T.HandIndex("KC"));  // 30 points: below the minimum of 50
    EXPECT_TRUE(T.G.PileTakeUndoable);
    T.G.MeldCardGesture(T.HandIndex("QS"), true, false);  // +30
    EXPECT_FALSE(T.G.PileTakeUndoable);
    EXPECT_FALSE(T.G.PileFrozen);
    EXPECT_EQ(T.G.TurnPhase, TTurnPhase::MeldOrDiscard);
    EXPECT_TRUE(T.G.DiscardPile.Empty());
    EXPECT_EQ(T.G.Seat(TSeat::Player).PickedUp.Count, 2);
    EXPECT_TRUE(T.G.UndoStack.empty());  // melds of the take are final
    EXPECT_FALSE(T.Host.UndoEnabled);
    EXPECT_EQ(T.Consistent(), "");
}

TEST_F(Pile, ExistingMeldTakesAtOnceAndACanastaNeedsAddToCanasta) {
    T.Hand({"5H", "6H", "7H"});
    T.Meld(11, {"QS", "QC", "QD", "QH", "QS"});
    T.Pile({"9D", "8C", "QD"});
    T.G.PileFrozen = false;
    T.G.Seat(TSeat::Player).PointsBeforeTurn = 50;
    T.DrawPhase();
    T.G.TakePile();
    EXPECT_EQ(T.G.TurnPhase, TTurnPhase::MeldOrDiscard);
    EXPECT_FALSE(T.G.PileTakeUndoable);
    EXPECT_EQ(T.G.Seat(TSeat::Player).Hand.Count, 5);
    EXPECT_EQ(T.ColumnCount(11), 6);
    EXPECT_EQ(T.Consistent(), "");

    TestTable c;
    c.G.Rules.AddToCanasta = false;
    c.Hand({"5H", "6H", "7H"});
    c.Meld(11, {"QS", "QC", "QD", "QH", "QS", "QC", "QH"});
    c.Pile({"9D", "QD"});
    c.DrawPhase();
    EXPECT_FALSE(c.G.MayTakePile(TSeat::Player, true));
    c.G.Rules.AddToCanasta = true;
    EXPECT_TRUE(c.G.MayTakePile(TSeat::Player, true));
}

TEST_F(Pile, PairForExistingMeldMakesEveryTakeProvisional) {
    T.G.Rules.PairForExistingMeld = true;
    T.Hand({"QS", "QC", "5H", "6H"});
    T.Meld(11, {"QS", "QC", "QD"});
    T.Pile({"9D", "QH"});
    T.G.PileFrozen = false;
    T.DrawPhase();
    T.G.TakePile();
    EXPECT_TRUE(T.G.PileTakeUndoable);
    EXPECT_EQ(T.G.TopColumnCountBefore, 3);
    T.G.MeldCard(T.HandIndex("QS"));
    EXPECT_TRUE(T.G.PileTakeUndoable);
    T.G.MeldCard(T.HandIndex("QC"));
    EXPECT_FALSE(T.G.PileTakeUndoable);
}

TEST_F(Pile, TopCardNotCountingRaisesTheMinimumUntilUndone) {
    T.G.Rules.TopCardCounts = false;
    T.Hand({"AS", "AC", "5H", "6H", "7H"});
    T.Pile({"9D", "AD"});
    T.DrawPhase();
    T.G.TakePile();
    EXPECT_EQ(T.G.Seat(TSeat::Player).MinimumMeld, 70);
    const int score = T.G.Seat(TSeat::Player).Score;
    T.G.MeldCard(T.HandIndex("AS"));  // the automatic wild card is not available: no wild cards
    T.G.TakePile();                   // a click on the pile undoes the take
    EXPECT_EQ(T.G.Seat(TSeat::Player).MinimumMeld, 50);
    EXPECT_EQ(T.G.Seat(TSeat::Player).Score, score - 50);
    EXPECT_EQ(T.G.DiscardPile.Count, 2);
    EXPECT_EQ(T.G.DiscardPile.Last().Id, CardId("AD"));
    EXPECT_EQ(T.G.Seat(TSeat::Player).Hand.Count, 5);  // the melded ace came back
    EXPECT_EQ(T.G.Seat(TSeat::Player).Melds.Count, 0);
    EXPECT_TRUE(T.G.UndoStack.empty());
    EXPECT_EQ(T.G.TurnPhase, TTurnPhase::Draw);
    EXPECT_TRUE(T.G.TurnStart);
    EXPECT_EQ(T.Consistent(), "");
}

TEST_F(Pile, UndoingATakeOntoACanasta) {
    // The top card is the seventh of a frozen-pile take: undoing it must not
    // leave a six-card column counted as a canasta.
    T.Hand({"KS", "KC", "5H"});
    T.Meld(12, {"KD", "KH", "KS", "KC", "JK", "2S"});
    T.Pile({"9D", "KD"});
    T.G.PileFrozen = true;
    T.DrawPhase();
    T.G.TakePile();
    EXPECT_EQ(T.G.Seat(TSeat::Player).MeldState.Canastas, 1);
    T.G.TakePile();
    EXPECT_EQ(T.G.Seat(TSeat::Player).MeldState.Canastas, 0);
    EXPECT_EQ(T.ColumnCount(12), 6);
    EXPECT_EQ(T.Consistent(), "");

    // Onto a canasta that stands without it: the canasta stays, its label
    // counts the naturals it had before.
    TestTable c;
    c.Hand({"KS", "KC", "5H"});
    c.Meld(12, {"KD", "KH", "KS", "KC", "JK", "2S", "2H"});
    ASSERT_EQ(c.G.Seat(TSeat::Player).MeldState.CanastaNaturals[12], 4);
    c.Pile({"9D", "KD"});
    c.G.PileFrozen = true;
    c.DrawPhase();
    c.G.TakePile();
    EXPECT_EQ(c.G.Seat(TSeat::Player).MeldState.CanastaNaturals[12], 5);
    c.G.TakePile();
    EXPECT_EQ(c.G.Seat(TSeat::Player).MeldState.Canastas, 1);
    EXPECT_EQ(c.G.Seat(TSeat::Player).MeldState.CanastaKind[12], ckMixed);
    EXPECT_EQ(c.G.Seat(TSeat::Player).MeldState.CanastaNaturals[12], 4);
    EXPECT_EQ(c.ColumnCount(12), 7);
    EXPECT_EQ(c.Consistent(), "");
}

TEST_F(Pile, OneCardPileWithOneCardInHand) {
    T.Hand({"9S"});
    T.Meld(8, {"9C", "9D", "9H"});
    T.Pile({"9C"});
    T.DrawPhase();
    T.G.TakePile();
    EXPECT_EQ(T.Host.LastError, "You cannot take a pile with one card if you only have one card in hand");
}

TEST_F(Pile, EndHandIsRefusedWhileForcedAndEndsTheHandOtherwise) {
    T.Hand({"5H", "6H"});
    T.Meld(4, {"5S", "5C", "5D", "5S"});
    T.Pile({"9D", "8C", "5C"});
    T.StockDownTo(0);
    T.G.PileFrozen = false;
    T.DrawPhase();
    T.G.EndHandClicked();
    EXPECT_EQ(T.Host.LastInform,
              "You cannot end this hand now, because you must \n\rmeld the top card of the pile. (You are 'forced').");
    EXPECT_TRUE(T.Host.Hands.empty());

    TestTable u;
    u.G.Levels = {&Level, &Level, &Level};
    u.Hand({"5H", "6H"});
    u.OppHand({"9H"});
    u.Meld(12, {"KS", "KC", "KD"});
    u.Pile({"9D", "8C", "5C"});
    u.StockDownTo(0);
    u.G.Seat(TSeat::Player).PointsBeforeTurn = 30;
    u.DrawPhase();
    u.G.EndHandClicked();
    ASSERT_EQ(u.Host.Hands.size(), 1u);
    EXPECT_EQ(u.Host.Hands[0].Player.FinishBonus, 0);
    EXPECT_EQ(u.Host.Hands[0].Opponent.FinishBonus, 0);
    EXPECT_EQ(u.G.WentOut, woNobody);
}

TEST_F(Pile, ForcedOnlyTakeLeavesTheRestOfThePile) {
    // Frozen per player (nothing melded counts: the meld of the top card's rank
    // is two cards short of a legal column), stock empty: only forced.
    T.G.Rules.PairForExistingMeld = true;
    T.Hand({"5H", "6H", "7C"});
    T.Meld(4, {"5S", "5C", "5D"});
    T.Pile({"9D", "8C", "5C"});
    T.StockDownTo(0);
    T.G.PileFrozen = false;
    T.DrawPhase();
    ASSERT_TRUE(T.G.MayTakePile(TSeat::Player, true));
    ASSERT_FALSE(T.G.MayTakePile(TSeat::Player, false));
    const int pile = T.G.DiscardPile.Count;
    T.G.TakePile();
    EXPECT_EQ(T.G.TurnPhase, TTurnPhase::MeldOrDiscard);
    EXPECT_FALSE(T.G.PileTakeUndoable);
    EXPECT_EQ(T.G.DiscardPile.Count, pile - 1);
    EXPECT_EQ(T.ColumnCount(4), 4);
    EXPECT_EQ(T.G.Seat(TSeat::Player).Hand.Count, 3);
    EXPECT_EQ(T.Consistent(), "");
}

TEST_F(Pile, FrozenPerPlayerUntilThatSideHasMelded) {
    T.Hand({"QS", "JK", "5H", "6H", "7H"});
    T.Pile({"9D", "QD"});
    T.G.PileFrozen = false;
    T.G.Rules.NaturalPair = false;
    T.DrawPhase();
    EXPECT_TRUE(T.G.PileFrozenForMover());  // the player has not melded
    EXPECT_FALSE(T.G.MayTakePile(TSeat::Player, true));
    T.G.Rules.FrozenPerPlayer = false;
    EXPECT_TRUE(T.G.MayTakePile(TSeat::Player, true));
}

TEST_F(Pile, DiscardsFreezeAndEndTheTurn) {
    T.Hand({"2C", "9S", "9C", "8D"});
    T.Pile({"5D"});
    T.G.PileFrozen = false;
    T.DrawPhase();
    T.G.DiscardCard(0);
    EXPECT_EQ(T.Host.LastError, StatusErrorText(TRefusal::DiscardBeforeDraw, ""));
    T.Melding();
    T.G.DiscardCard(T.HandIndex("2C"));
    EXPECT_TRUE(T.G.PileFrozen);
    EXPECT_EQ(T.G.TurnPhase, TTurnPhase::OpponentTurn);  // handed over, not played
    EXPECT_EQ(Level.Turns, 0);
    Drive(T.G);
    EXPECT_EQ(Level.Turns, 1);
    EXPECT_EQ(T.G.TurnPhase, TTurnPhase::Draw);
    EXPECT_EQ(T.G.Seat(TSeat::Player).Discards[1], 1);
    EXPECT_EQ(T.Consistent(), "");

    TestTable b;
    b.G.Levels = {&Level, &Level, &Level};
    b.Hand({"3S", "9S", "9C", "8D"});
    b.Pile({"5D"});
    b.G.PileFrozen = false;
    b.G.DiscardCard(b.HandIndex("3S"));
    EXPECT_FALSE(b.G.PileFrozen);  // a black three blocks but does not freeze

    TestTable r;  // a red three from the table, only with the freezing rule
    r.G.Levels = {&Level, &Level, &Level};
    r.Hand({"9S", "9C", "8D"});
    r.Meld(2, {"3D"});
    r.Pile({"5D"});
    r.DrawPhase();
    EXPECT_FALSE(r.G.DiscardRedThreeFromTable(0));
    r.G.Rules.RedThreeFreezes = true;
    EXPECT_TRUE(r.G.DiscardRedThreeFromTable(0));
    EXPECT_TRUE(r.G.PileFrozen);
    EXPECT_EQ(r.G.Seat(TSeat::Player).Melds.Count, 0);
    EXPECT_EQ(r.Consistent(), "");
}

TEST_F(Pile, OneCardRulePassesUnlessTheCardCompletesACanasta) {
    TestTable m;
    DrawDiscardLevel level;
    m.G.Levels = {&level, &level, &level};
    m.Hand({"KH", "QS", "QC", "QD"});
    m.Meld(12, {"KS", "KC", "KD", "KS", "KC", "KD"});
    m.Pile({"5C"});
    m.G.MeldCardGesture(m.HandIndex("QS"), true, false);  // one king left that completes the canasta
    EXPECT_EQ(level.Turns, 0);
    EXPECT_FALSE(m.G.MustPass(TSeat::Player, m.G.TopCardPending));

    TestTable p;
    p.G.Levels = {&level, &level, &level};
    p.Hand({"8H", "QS", "QC", "QD"});
    p.Meld(12, {"KS", "KC", "KD", "KS"});
    p.Pile({"5C"});
    p.G.MeldCardGesture(p.HandIndex("QS"), true, false);
    Drive(p.G);
    EXPECT_EQ(level.Turns, 1);  // forced to pass
    EXPECT_EQ(p.Host.LastNotice,
              "You only have one card left, and not enough Canastas to go out. You have to pass the discard.");
    EXPECT_EQ(p.Host.InformCount, 0) << "no window to close every turn";
}
