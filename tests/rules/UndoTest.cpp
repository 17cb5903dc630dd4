// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "support/TestTable.h"

using namespace canasta;
using namespace canasta::test;

TEST(Undo, SeventhCardOfACanastaBreaksItAndSpreadsTheColumn) {
    TestTable t;
    t.Hand({"KH", "5S", "6S"});
    t.Meld(12, {"KS", "KC", "KD", "KS", "KC", "KD"});
    t.G.MeldCard(t.HandIndex("KH"));
    ASSERT_EQ(t.G.Seat(TSeat::Player).MeldState.Canastas, 1);
    t.G.UndoMeld();
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.Canastas, 0);
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.CanastaKind[12], ckNone);
    EXPECT_EQ(t.ColumnCount(12), 6);
    EXPECT_EQ(t.G.Seat(TSeat::Player).Melds.Depths[12], 6);
    EXPECT_EQ(t.G.Seat(TSeat::Player).Hand.Count, 3);
    EXPECT_EQ(t.G.Seat(TSeat::Player).PickedUp.Count, 1);  // the opponent has seen it
    EXPECT_FALSE(t.Host.UndoEnabled);
    EXPECT_EQ(t.Consistent(), "");
}

TEST(Undo, EighthCardLeavesACanastaCountedOnce) {
    TestTable t;
    t.Hand({"KH", "5S", "6S"});
    t.Meld(12, {"KS", "KC", "KD", "KS", "KC", "KD", "JK"});
    t.G.MeldCard(t.HandIndex("KH"));
    t.G.UndoMeld();
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.Canastas, 1);
    EXPECT_EQ(t.ColumnCount(12), 7);
    EXPECT_EQ(t.Consistent(), "");
}

TEST(Undo, UndoAllRestoresTheTableOfTheTurnStart) {
    TestTable t;
    t.Hand({"QS", "QC", "QD", "QH", "QS", "QC", "QD", "JK", "9S", "9C"});
    t.Meld(6, {"7S", "7C", "7D"});
    const TCardList melds = t.G.Seat(TSeat::Player).Melds;
    const TCardList hand = t.G.Seat(TSeat::Player).Hand;
    t.G.MeldCardGesture(t.HandIndex("QS"), true, false);
    t.G.AddWildcardGesture(6, false);
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.Canastas, 1);
    t.G.UndoAll();
    EXPECT_EQ(t.G.Seat(TSeat::Player).Melds, melds);
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.Canastas, 0);
    EXPECT_EQ(t.G.Seat(TSeat::Player).Hand.Count, hand.Count);
    // A wild card returns to its own column of the hand.
    const int joker = FindFirstById(t.G.Seat(TSeat::Player).Hand, kJokerId);
    ASSERT_GE(joker, 0);
    EXPECT_EQ(t.G.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(joker)].Column, 0);
    EXPECT_EQ(t.Consistent(), "");
}

TEST(Undo, NaturalLeavingAnEightCardCanastaThatNoLongerQualifies) {
    // Four naturals and four wild cards; taking a natural back leaves three
    // naturals and four wild cards, which is no canasta.
    TestTable t;
    t.Hand({"5S", "6S", "9D"});
    t.Meld(8, {"9S", "9C", "9H", "JK", "JK", "2S", "2H"});
    ASSERT_EQ(t.G.Seat(TSeat::Player).MeldState.Canastas, 0);
    t.G.MeldCard(t.HandIndex("9D"));
    ASSERT_EQ(t.G.Seat(TSeat::Player).MeldState.Canastas, 1);
    t.G.UndoMeld();
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.Canastas, 0);
    EXPECT_EQ(t.Consistent(), "");
}

TEST(Undo, DiscardEndsWhatCanBeUndone) {
    TestTable t;
    DrawDiscardLevel level;
    t.G.Levels = {&level, &level, &level};
    t.Hand({"QS", "QC", "QD", "9S", "9C"});
    t.Pile({"5C"});
    t.G.MeldCardGesture(t.HandIndex("QS"), true, false);
    t.G.Seat(TSeat::Player).MinimumMeld = 30;
    ASSERT_TRUE(t.Host.UndoEnabled);
    t.G.DiscardCard(t.HandIndex("9S"));
    EXPECT_FALSE(t.Host.UndoEnabled);
    EXPECT_TRUE(t.G.UndoStack.empty());
    t.G.UndoMeld();  // nothing to undo
    EXPECT_EQ(t.ColumnCount(11), 3);
}
