// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "support/TestTable.h"

using namespace canasta;
using namespace canasta::test;

TEST(Validation, ColumnShapes) {
    TestTable t;
    t.G.Seat(TSeat::Player).MinimumMeld = 15;
    t.Hand({"4S", "5S"});
    t.Meld(7, {"8S", "8C", "2D"});  // 2 naturals + 1 wild: valid
    EXPECT_TRUE(t.G.ValidateMelds(TSeat::Player));

    TestTable u;
    u.Hand({"4S", "5S"});
    u.Meld(7, {"8S", "2C", "2D"});
    EXPECT_FALSE(u.G.ValidateMelds(TSeat::Player));
    EXPECT_EQ(u.G.ValidationMessage, "there are too many wildcards within one column");

    TestTable v;
    v.Hand({"4S", "5S"});
    v.Meld(9, {"10S", "10C", "10D", "10H", "2C", "2D", "JK", "JK"});  // 4 + 4: valid, a mixed canasta
    EXPECT_TRUE(v.G.ValidateMelds(TSeat::Player));
    EXPECT_EQ(v.G.Seat(TSeat::Player).MeldState.CanastaKind[9], ckMixed);

    TestTable w;
    w.Hand({"4S", "5S"});
    w.Meld(12, {"KS", "KC"});
    EXPECT_FALSE(w.G.ValidateMelds(TSeat::Player));
    EXPECT_EQ(w.G.ValidationMessage, "every column on the table must contain at least three cards");

    TestTable x;
    x.Hand({"4S", "5S"});
    x.Meld(1, {"JK", "JK", "2S", "2C", "2D", "2H"});
    EXPECT_FALSE(x.G.ValidateMelds(TSeat::Player));
    EXPECT_EQ(x.G.ValidationMessage, "wildcards must be melded as a canasta");
}

TEST(Validation, FirstMeldMinimumAndItsExemptions) {
    TestTable t;
    t.Hand({"4S", "5S", "6S"});
    t.Meld(12, {"KS", "KC", "KD"});  // 30
    t.Meld(4, {"5C", "5D", "5H"});   // 15
    EXPECT_FALSE(t.G.ValidateMelds(TSeat::Player));
    EXPECT_EQ(t.G.ValidationMessage, "your first meld must be at least 50 points (currently 45 points)");
    // Discarding the last card means going out, which needs no minimum but a canasta.
    TestTable g;
    g.Hand({"4S"});
    g.Meld(12, {"KS", "KC", "KD", "KH", "KS", "KC", "KD"});  // natural canasta, 70
    g.G.Seat(TSeat::Player).MinimumMeld = 120;
    EXPECT_FALSE(g.G.ValidateMelds(TSeat::Player));
    EXPECT_TRUE(g.G.ValidateMelds(TSeat::Player, 1));
    // A canasta meets the minimum when the bonus counts.
    g.G.Rules.BonusCounts = true;
    EXPECT_TRUE(g.G.ValidateMelds(TSeat::Player));
    // Red threes alone are worth nothing and need no minimum.
    TestTable r;
    r.Hand({"4S", "5S"});
    r.Meld(2, {"3D", "3H"});
    EXPECT_TRUE(r.G.ValidateMelds(TSeat::Player));
}

TEST(Validation, GoingOutNeedsCanastasAndBlackThreesAtTheEnd) {
    TestTable t;
    t.Hand({"9S"});
    t.Meld(12, {"KS", "KC", "KD"});
    EXPECT_FALSE(t.G.ValidateMelds(TSeat::Player, 1));
    EXPECT_EQ(t.G.ValidationMessage, "you need at least one Canasta to go out");
    t.G.Rules.CanastasToGoOut = 2;
    EXPECT_FALSE(t.G.ValidateMelds(TSeat::Player, 1));
    EXPECT_EQ(t.G.ValidationMessage, "you need at least two Canastas to go out");

    TestTable b;
    b.Hand({"9S"});
    b.Meld(11, {"QS", "QC", "QD", "QH", "QS", "QC", "QD"});
    b.Meld(2, {"3S", "3C"});
    EXPECT_FALSE(b.G.ValidateMelds(TSeat::Player, 1));
    EXPECT_EQ(b.G.ValidationMessage, "the Black Threes have not been melded correctly");
    b.Clear();
    b.Hand({"9S"});
    b.Meld(11, {"QS", "QC", "QD", "QH", "QS", "QC", "QD"});
    b.Meld(2, {"3S", "3C", "3S"});
    EXPECT_TRUE(b.G.ValidateMelds(TSeat::Player, 1));
    EXPECT_FALSE(b.G.ValidateMelds(TSeat::Player, 0));  // not while cards remain in hand
}

TEST(Melding, BlackThreesOnlyWhenGoingOut) {
    TestTable t;
    t.Hand({"3S", "3C", "3S", "9H", "9D"});
    t.Meld(11, {"QS", "QC", "QD", "QH", "QS", "QC", "QD"});
    t.G.MeldCard(t.HandIndex("3S"));
    EXPECT_EQ(t.Host.LastError, "Black Threes can only be melded as the last cards when going out");
    EXPECT_EQ(t.G.Seat(TSeat::Player).Hand.Count, 5);
    EXPECT_FALSE(t.G.GoingOutWithThrees);

    TestTable g;
    g.Hand({"3S", "3C", "3S", "9H"});
    g.Meld(11, {"QS", "QC", "QD", "QH", "QS", "QC", "QD"});
    g.G.MeldCardGesture(g.HandIndex("3S"), true, false);
    EXPECT_TRUE(g.G.GoingOutWithThrees);
    EXPECT_EQ(g.ColumnCount(2), 3);
    EXPECT_EQ(g.G.Seat(TSeat::Player).Hand.Count, 1);
    EXPECT_EQ(g.Consistent(), "");
}

TEST(Melding, AutomaticWildCardAfterTheSecondCardOfARank) {
    TestTable t;
    t.Hand({"KS", "KC", "JK", "2D", "5H", "6H"});
    t.G.MeldCard(t.HandIndex("KS"));
    EXPECT_EQ(t.ColumnCount(12), 1);
    t.G.MeldCard(t.HandIndex("KC"));
    // No king left in hand: a joker joins the column at once.
    EXPECT_EQ(t.ColumnCount(12), 3);
    EXPECT_EQ(FindFirstById(t.G.Seat(TSeat::Player).Hand, kJokerId), -1);
    EXPECT_NE(FindFirstById(t.G.Seat(TSeat::Player).Hand, CardId("2D")), -1);
    EXPECT_EQ(t.G.UndoStack.size(), 3u);
    EXPECT_TRUE(t.Host.UndoEnabled);
    EXPECT_EQ(t.Consistent(), "");
    // The card played for the player is named, with the way back.
    EXPECT_EQ(t.Host.LastNotice, "Your Joker went onto the kings to complete the meld. Undo takes it back.");

    // Without a joker a two comes; with a king left in hand nothing comes, and nothing is said.
    TestTable v;
    v.Hand({"KS", "KC", "2D", "5H", "6H"});
    v.G.MeldCard(v.HandIndex("KS"));
    v.G.MeldCard(v.HandIndex("KC"));
    EXPECT_EQ(v.ColumnCount(12), 3);
    EXPECT_EQ(v.Host.LastNotice, "Your 2\u2666 went onto the kings to complete the meld. Undo takes it back.");
    TestTable u;
    u.Hand({"KS", "KC", "KD", "2D", "5H"});
    u.G.MeldCard(u.HandIndex("KS"));
    u.G.MeldCard(u.HandIndex("KC"));
    EXPECT_EQ(u.ColumnCount(12), 2);
    EXPECT_EQ(u.Host.LastNotice, "");
}

TEST(Melding, ShiftAndCtrlCounts) {
    TestTable t;  // Ctrl on a seven with one on the table and four in hand melds two
    t.Hand({"7S", "7C", "7D", "7H", "9S", "9C"});
    t.Meld(6, {"7S"});
    t.G.MeldCardGesture(t.HandIndex("7C"), false, true);
    EXPECT_EQ(t.ColumnCount(6), 3);
    EXPECT_EQ(t.G.Seat(TSeat::Player).Hand.Count, 4);

    TestTable s;  // Shift keeps one card back when the hand would empty without a canasta
    s.Hand({"8S", "8C", "8D", "8H"});
    s.G.MeldCardGesture(s.HandIndex("8S"), true, false);
    EXPECT_EQ(s.ColumnCount(7), 3);
    EXPECT_EQ(s.G.Seat(TSeat::Player).Hand.Count, 1);
}

TEST(Melding, WildCardGesturesAndWildcardCanastas) {
    TestTable t;  // Shift on a column of five with two wild cards completes the canasta
    t.Hand({"JK", "2C", "9H", "9D"});
    t.Meld(5, {"6S", "6C", "6D", "6H", "6S"});
    t.G.AddWildcardGesture(5, true);
    EXPECT_EQ(t.ColumnCount(5), 7);
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.Canastas, 1);
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.CanastaKind[5], ckMixed);

    TestTable one;  // ... with one wild card nothing happens
    one.Hand({"JK", "9H", "9D"});
    one.Meld(5, {"6S", "6C", "6D", "6H", "6S"});
    one.G.AddWildcardGesture(5, true);
    EXPECT_EQ(one.ColumnCount(5), 5);

    TestTable w;
    w.Hand({"JK", "JK", "2S", "2C", "2D", "2H", "JK", "9S", "9C"});
    w.G.Rules.WildCanastaAllowed = false;
    w.G.MeldWildGesture(true, false);
    EXPECT_EQ(w.Host.LastError, "Wildcard Canastas are not allowed with the current rules");
    w.G.Rules.WildCanastaAllowed = true;
    w.G.MeldWildGesture(true, false);
    EXPECT_EQ(w.ColumnCount(1), 7);
    EXPECT_EQ(w.G.Seat(TSeat::Player).MeldState.CanastaKind[1], ckWild);

    TestTable few;
    few.Hand({"JK", "2S", "2C", "9S", "9C"});
    few.G.MeldWildGesture(false, false);
    EXPECT_EQ(few.Host.LastError, "You need at least seven wildcards to create a wildcard Canasta");
    EXPECT_EQ(few.ColumnCount(1), 0);
}

TEST(Canasta, KindsAndDisplay) {
    TestTable t;
    t.Hand({"4S", "4C"});
    t.Meld(10, {"JS", "JC", "JD", "JH", "2C", "2D", "JK"});
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.CanastaKind[10], ckMixed);
    // Mixed canasta shows a black natural on top.
    const TCard& top = t.G.Seat(TSeat::Player).Melds.Last();
    EXPECT_LE(top.Id, 26);
    EXPECT_TRUE(IsNatural(top.Rank));
    for (const TCard& c : t.G.Seat(TSeat::Player).Melds) EXPECT_EQ(c.Depth, 1);

    t.Meld(9, {"10S", "10C", "10D", "10H", "10S", "10C", "10D"});
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.CanastaKind[9], ckNatural);
    EXPECT_GE(t.G.Seat(TSeat::Player).Melds.Last().Id, 29);  // a red natural on top
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.Canastas, 2);

    // Three naturals and four wild cards: seven cards but no canasta.
    t.Meld(8, {"9S", "9C", "9D", "JK", "JK", "2S", "2H"});
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.CanastaKind[8], ckNone);
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.Canastas, 2);
    // ... until a fourth natural arrives at eight cards: counted then.
    t.Meld(8, {"9H"});
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.CanastaKind[8], ckMixed);
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.Canastas, 3);

    // A natural canasta keeps its kind when a wild card joins it.
    t.Meld(9, {"JK"});
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.CanastaKind[9], ckNatural);
    EXPECT_EQ(t.G.Seat(TSeat::Player).MeldState.Canastas, 3);
    EXPECT_EQ(t.Consistent(), "");
}

TEST(Canasta, MeldingTheLastCardIntoACanastaGoesOut) {
    TestTable t;
    DrawDiscardLevel level;
    t.G.Levels = {&level, &level, &level};
    t.Hand({"KD"});
    t.Meld(12, {"KS", "KC", "KH", "KS", "KC", "KH"});
    t.G.Seat(TSeat::Player).PointsBeforeTurn = 60;
    const uint32_t hand = t.G.HandNumber;
    t.G.MeldCard(0);
    // Scored; the next deal is the driver's step.
    EXPECT_EQ(t.G.TurnPhase, TTurnPhase::HandOver);
    EXPECT_TRUE(t.G.HandEndPending);
    EXPECT_EQ(t.G.HandNumber, hand);
    Drive(t.G);
    EXPECT_NE(t.G.HandNumber, hand);
    EXPECT_FALSE(t.G.HandEndPending);
    ASSERT_EQ(t.Host.Hands.size(), 1u);
    EXPECT_EQ(t.Host.Hands[0].Player.FinishBonus, 100);
    EXPECT_EQ(t.Host.Hands[0].Player.CanastaValue, 500);
}
