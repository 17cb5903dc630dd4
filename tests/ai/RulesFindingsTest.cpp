// SPDX-License-Identifier: GPL-3.0-or-later
// Faults of the player-side rules found by the simulator's random player,
// reduced to hand-built tables.
#include <gtest/gtest.h>

#include "support/TestTable.h"

using namespace canasta;
using namespace canasta::test;

// Undo takes back the card melded this turn, not an earlier card of the same
// identity (the jokers, and the two decks' twins, share identities).
TEST(RulesFindings, UndoOfAWildCardOnACanastaLeavesTheOlderJokerAlone) {
    TestTable t;
    t.Meld(12, {"KS", "KH", "KD", "KC", "KS", "KH", "KD"});
    t.Meld(9, {"10S", "10H", "JK"});
    t.Hand({"JK", "5C", "6C"});
    t.Melding();
    // The canasta shows a red king on top, so the new joker is swapped to an
    // earlier slot than the tens' joker.
    t.G.AddWildcardGesture(12, false);
    ASSERT_EQ(t.ColumnCount(12), 8);
    t.G.UndoMeld();
    EXPECT_EQ(t.ColumnCount(9), 3);
    EXPECT_EQ(t.ColumnCount(12), 7);
    EXPECT_GE(t.HandIndex("JK"), 0);
    EXPECT_EQ(t.Consistent(), "");
}

// Black threes melded during a provisional take, then the last cards melded:
// completing the take on the momentarily empty hand would bring the rest of
// the pile in and clear the undo stack, stranding the threes on the table with
// a full hand. The take stays provisional instead, and the threes can go back.
TEST(RulesFindings, CompletedTakeDoesNotStrandBlackThreesOnTheTable) {
    TestTable t;
    t.Meld(12, {"KS", "KH", "KD", "KC", "KS", "KH", "KD"});
    t.Hand({"3S", "3C", "3S", "9S", "9H"});
    t.Pile({"5C", "7D", "9D"});
    t.G.PileFrozen = true;
    t.DrawPhase();
    // Set earlier in the hand, when the hand held the threes and one card; it
    // stays set for the rest of the hand.
    t.G.GoingOutWithThrees = true;
    t.G.TakePile();
    ASSERT_TRUE(t.G.PileTakeUndoable);
    t.G.MeldCardGesture(t.HandIndex("3S"), true, false);
    t.G.MeldCardGesture(t.HandIndex("9S"), true, false);
    EXPECT_TRUE(t.G.PileTakeUndoable);
    EXPECT_TRUE(t.G.ValidateTurnMelds(TSeat::Player, t.G.TopCardPending, 1) || !t.G.UndoStack.empty())
        << t.G.ValidationMessage;
}
