// SPDX-License-Identifier: GPL-3.0-or-later
// The Beginner level's decisions on hand-built tables.
#include <gtest/gtest.h>

#include <algorithm>

#include "ai/AiTestSupport.h"
#include "ai/Beginner.h"

using namespace canasta;
using namespace canasta::test;

namespace {

struct Beginner : ::testing::Test {
    TestTable t;
    TBeginner level;
    TGame& g = t.G;

    Beginner() {
        g.Levels = {&level, &level, &level};
        g.PlayerDrawsFirst = true;
        ComputerToMove(t);
        t.Hand({"4S", "9H", "QC"});  // the human holds something
    }
    // Binds the level for a single routine, as in the middle of its turn.
    void Attach(int target = 50) {
        g.OpponentsTurn = true;
        level.Attach(g);
        level.MeldTarget = target;
    }
    int Column(int c) const { return CountInColumn(g.Seat(TSeat::Opponent).Melds, c); }
    std::string Discard() {
        Attach();
        const TDiscardChoice d = level.ChooseDiscard();
        return CardShortName(g.Seat(TSeat::Opponent).Hand.At(d.Position).Id);
    }
    // The computer's table follows the meld rules the human's table is held to.
    void ExpectValidMelds() { ExpectValidOpponentMelds(g); }
};

// ---- taking the pile ----

TEST_F(Beginner, TopCardThatDoesNotCountRaisesTheTargetForTheWholeTurn) {
    // 55 points of triples; the top ten cannot be taken.
    for (bool counts : {true, false}) {
        t.Clear();
        ComputerToMove(t);
        g.Rules.TopCardCounts = counts;
        t.OppHand({"KS", "KH", "KC", "5S", "5H", "5C", "5D", "5S", "9H", "JD"});
        t.Pile({"10D"});
        StockTop(t, {"4C"});
        PlayOpponentTurn(g);
        EXPECT_EQ(level.MeldTarget, counts ? 50 : 60);
        EXPECT_EQ(g.Seat(TSeat::Opponent).MeldedPoints, counts ? 55 : 0) << counts;
    }
}

TEST_F(Beginner, WithTheCanastasItTakesForThreeOfTheRankOrABigPile) {
    t.OppMeld(12, {"KS", "KH", "KD", "KC", "KS", "KH", "KD"});
    t.OppMeld(8, {"9S", "9H", "9D"});
    g.Seat(TSeat::Opponent).MeldedPoints = 100;
    t.OppHand({"8S", "8H", "4C", "6D"});
    t.Pile({"5C", "8D"});
    Attach();
    EXPECT_TRUE(level.TakeDecision());  // three eights with the top card
    t.Clear();
    t.OppMeld(12, {"KS", "KH", "KD", "KC", "KS", "KH", "KD"});
    t.OppMeld(8, {"9S", "9H", "9D"});
    g.Seat(TSeat::Opponent).MeldedPoints = 100;
    t.OppHand({"8S", "8H", "4C", "6D"});
    t.Pile({"5C", "9C"});
    Attach();
    EXPECT_FALSE(level.TakeDecision());  // onto the meld of nines, but only two cards
    t.Pile({"9H"});
    Attach();
    EXPECT_TRUE(level.TakeDecision());
}

TEST_F(Beginner, TakesOnlyWithAMeldAndACanastaInSight) {
    // Four eights with the top card, 40 points: one joker makes the meld.
    t.OppHand({"8S", "8H", "8C", "JK", "5C", "6D", "9S"});
    t.Pile({"4H", "8D"});
    Attach();
    EXPECT_FALSE(level.TakeDecision());  // 4 + 1 wild card do not reach seven
    t.OppHand({"2S", "2H"});
    Attach();
    EXPECT_TRUE(level.TakeDecision());

    t.Clear();  // seven with the wild cards, but only three eights
    t.OppHand({"8S", "8H", "JK", "2S", "2H", "2D", "5C", "6D"});
    t.Pile({"4H", "8D"});
    Attach();
    EXPECT_FALSE(level.TakeDecision());
}

TEST_F(Beginner, WildCardsSpentOnTheMeldCountAgainstThePileCanasta) {
    // Four queens in the pile are the best prospect; one wild card is needed
    // for the first meld, leaving 4 + 2 < 7.
    t.OppHand({"9S", "9H", "2S", "2H", "JK", "5C"});
    t.Pile({"QS", "QH", "QD", "QC", "9D"});
    Attach();
    EXPECT_FALSE(level.TakeDecision());
    t.OppHand({"QS"});
    Attach();
    EXPECT_TRUE(level.TakeDecision());
}

// The take decision counts wild cards on the triple toward the minimum: the
// first meld made with the pile reaches it.
TEST_F(Beginner, FirstMeldFromThePileReachesTheMinimum) {
    g.Seat(TSeat::Opponent).Score = 3500;  // minimum 120
    g.PileFrozen = true;
    t.OppHand({"7S", "QD", "6H", "2S", "7S", "JS", "JK", "5D", "AS", "7D", "8H", "2D", "KC", "10C", "2S"});
    t.Pile({"AD", "3S", "4S", "7C"});
    PlayOpponentTurn(g);
    EXPECT_GE(g.Seat(TSeat::Opponent).MeldedPoints, 120);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldState.Canastas, 1);
    ExpectValidMelds();
    EXPECT_EQ(t.Consistent(), "");
}

// The wild cards that make the first meld must fit on it: three fives hold
// three wild cards, 105 points.
TEST_F(Beginner, FirstMeldCountsOnlyTheWildCardsItsMeldsCanHold) {
    for (int score : {3500, 1600}) {
        t.Clear();
        ComputerToMove(t);
        g.Seat(TSeat::Opponent).Score = score;
        t.OppHand({"5D", "5H", "JK", "2C", "2H", "2C", "2S", "JD", "QD", "3S", "8S", "10S", "7H", "KS", "6C"});
        t.Pile({"5H", "KH", "4S", "5C"});
        PlayOpponentTurn(g);
        if (score == 3500) {
            EXPECT_EQ(g.Seat(TSeat::Opponent).MeldedPoints, 0);  // minimum 120: not taken
            EXPECT_EQ(g.DiscardPile.Count, 5);
        } else {
            EXPECT_GE(g.Seat(TSeat::Opponent).MeldedPoints, 90);
            ExpectValidMelds();
        }
    }
}

// Found by level-against-level play: with a pile of one card nothing comes
// in after the meld, so the joker is the only card left to discard and cannot
// count toward the first meld.
TEST_F(Beginner, WildCardsCountOnlyWhileACardIsLeftToDiscard) {
    g.Seat(TSeat::Opponent).Score = 3500;  // minimum 120
    t.OppHand({"4D", "4D", "5D", "7S", "5C", "7H", "4H", "7H", "4C", "5S", "5S", "7S", "4S", "5C", "JK"});
    t.Pile({"5D"});
    StockTop(t, {"9C"});
    PlayOpponentTurn(g);
    EXPECT_TRUE(g.Seat(TSeat::Opponent).MeldedPoints == 0 || g.Seat(TSeat::Opponent).MeldedPoints >= 120)
        << g.Seat(TSeat::Opponent).MeldedPoints;
    EXPECT_GT(g.Seat(TSeat::Opponent).Hand.Count, 0);
    ExpectValidMelds();
}

// The take counted both twos on the triples (jacks and sevens, 120 points);
// the meld after it must not spend one on the pair of fours instead.
TEST_F(Beginner, FirstMeldFromAOneCardPileKeepsItsWildCardsForTheTriples) {
    g.Seat(TSeat::Opponent).Score = 3500;  // minimum 120
    t.OppHand({"JD", "7H", "JC", "2C", "7D", "JD", "4D", "4H", "JH", "7C", "7D", "JS", "2H"});
    t.Pile({"JH"});
    PlayOpponentTurn(g);
    EXPECT_GE(g.Seat(TSeat::Opponent).MeldedPoints, 120);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 1);  // a four, after discarding the other
    ExpectValidMelds();
}

// Three kings would be the whole hand: they stay in it rather than leave a
// meld of two behind.
TEST_F(Beginner, NoMeldOfTwoWhenTheLastCardIsHeldBack) {
    g.Seat(TSeat::Opponent).Score = 3500;
    t.OppHand({"5H", "10H", "5C", "KH", "5C", "5S", "10D", "10C", "7C", "10H", "KS", "7C", "2C", "KD", "10S"});
    t.Pile({"10D"});
    PlayOpponentTurn(g);
    EXPECT_GE(g.Seat(TSeat::Opponent).MeldedPoints, 120);
    EXPECT_GT(g.Seat(TSeat::Opponent).Hand.Count, 0);
    ExpectValidMelds();
}

// Melding the top card must not empty the hand without the canastas needed.
TEST_F(Beginner, MeldingThePileKeepsACardWithoutTheCanastas) {
    g.Rules.CanastasToGoOut = 2;
    t.OppMeld(8, {"9D", "9S", "9H", "2C", "2S", "2D", "9C"});
    g.Seat(TSeat::Opponent).MeldedPoints = 100;
    t.OppHand({"4H", "4C", "4D", "4S"});
    t.Pile({"4H"});
    PlayOpponentTurn(g);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 1);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldState.Canastas, 1);
    EXPECT_EQ(t.Consistent(), "");
}

// ---- initial meld ----

TEST_F(Beginner, PairWithAJokerOpensWhenACardRemains) {
    t.OppHand({"KS", "KH", "JK", "7C"});
    Attach();
    const auto check = level.CanMakeInitialMeld();
    EXPECT_TRUE(check.Possible);
    EXPECT_EQ(check.Pairs, 1);
    level.MakeInitialMeld();
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldedPoints, 70);
    EXPECT_EQ(Column(12), 3);
    EXPECT_EQ(Names(g.Seat(TSeat::Opponent).Hand), (std::vector<std::string>{"7C"}));

    t.Clear();
    t.OppHand({"KS", "KH", "JK"});
    Attach();
    EXPECT_FALSE(level.CanMakeInitialMeld().Possible);
}

// ---- adding to melds and going out ----

TEST_F(Beginner, CompletesACanastaOnlyWithACardLeftOver) {
    t.OppMeld(4, {"5S", "5H", "5D"});
    g.Seat(TSeat::Opponent).MeldedPoints = 15;
    t.OppHand({"QS", "QH", "QD", "QC", "JK", "2S", "2H"});
    Attach();
    level.CompleteCanastas();
    EXPECT_EQ(Column(11), 0);

    t.OppHand({"8D"});
    Attach();
    level.CompleteCanastas();
    EXPECT_EQ(Column(11), 7);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldState.Canastas, 1);
    EXPECT_EQ(Names(g.Seat(TSeat::Opponent).Hand), (std::vector<std::string>{"8D"}));
    ExpectValidMelds();
}

TEST_F(Beginner, CompletingNeedsRoomForTheWildCards) {
    t.OppMeld(9, {"10S", "10H", "JK", "2S"});
    g.Seat(TSeat::Opponent).MeldedPoints = 120;
    t.OppHand({"10D", "JK", "2H", "2D", "5C"});
    Attach();
    level.CompleteCanastas();  // 3 naturals would need 2 more wild cards: 4 in all
    EXPECT_EQ(Column(9), 4);
}

TEST_F(Beginner, MeldDownKeepsTheLastCardOfTheBudget) {
    t.OppMeld(12, {"KS", "KH", "KD", "KC", "KS", "KH", "KD"});
    g.Seat(TSeat::Opponent).MeldedPoints = 70;
    t.OppHand({"AS", "AH", "AC", "6S", "6H", "6D"});
    Attach();
    level.MeldDown();
    EXPECT_EQ(Column(13), 3);
    EXPECT_EQ(Column(5), 0);  // two sixes would be left for a new meld
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 3);

    t.OppMeld(5, {"6C", "6S", "6H"});
    Attach();
    level.MeldDown();
    EXPECT_EQ(Column(5), 5);  // onto the meld, one six held back
    EXPECT_EQ(Names(g.Seat(TSeat::Opponent).Hand), (std::vector<std::string>{"6D"}));
}

TEST_F(Beginner, GoesOutWithAPairAndItsWildCards) {
    t.OppMeld(12, {"KS", "KH", "KD", "KC", "KS", "KH", "KD"});
    g.Seat(TSeat::Opponent).MeldedPoints = 70;
    t.OppHand({"QS", "QH", "JK", "2C", "7D"});
    t.Pile({"5H"});
    StockTop(t, {"7S"});
    const uint32_t hand = g.HandNumber;
    PlayOpponentTurn(g);
    EXPECT_EQ(g.HandNumber, hand + 1);
    ASSERT_EQ(t.Host.Hands.size(), 1u);
    EXPECT_GT(t.Host.Hands[0].Opponent.FinishBonus, 0);
}

// A meld takes wild cards only while its naturals are at least as many; the
// rest go onto a canasta.
TEST_F(Beginner, WildCardsPlacedWhenGoingOutKeepEveryMeldValid) {
    t.OppMeld(12, {"KS", "KH", "KD", "KC", "KS", "KH", "KD"});
    t.OppMeld(4, {"5S", "5H", "5D", "2S"});
    g.Seat(TSeat::Opponent).MeldedPoints = 105;
    t.OppHand({"JK", "2C", "2D", "8C"});
    Attach();
    level.MeldPairsAndWilds();
    EXPECT_EQ(Column(4), 6);
    EXPECT_EQ(Column(12), 8);
    EXPECT_EQ(Names(g.Seat(TSeat::Opponent).Hand), (std::vector<std::string>{"8C"}));
    ExpectValidMelds();
}

// ---- discard ----

TEST_F(Beginner, FreezesThePileAgainstAnAlmostCompleteMeld) {
    t.Meld(6, {"7S", "7H", "7D", "7C", "7S", "7H"});
    g.Seat(TSeat::Opponent).MeldedPoints = 30;
    t.OppHand({"KS", "7D", "9C", "2C", "KH"});
    EXPECT_EQ(Discard(), "2C");
    t.OppHand({"3S"});
    EXPECT_EQ(Discard(), "3S");
    g.PileFrozen = true;  // already frozen: an ordinary discard
    EXPECT_EQ(Discard(), "9C");
}

TEST_F(Beginner, OnlyWildCardsAndThreesDiscardAThreeFirst) {
    t.OppHand({"JK", "2C", "3S"});
    EXPECT_EQ(Discard(), "3S");
    t.Clear();
    t.OppHand({"JK", "2C"});
    EXPECT_EQ(Discard(), "2C");
}

TEST_F(Beginner, DiscardsTheLowestSingleTheHumanCannotUse) {
    t.Meld(3, {"4S", "4H", "4C"});
    t.OppHand({"KS", "9C", "KH", "4D"});
    EXPECT_EQ(Discard(), "9C");  // the four would feed a meld of three
}

TEST_F(Beginner, BlackThreeReplacesAPairButNotASingle) {
    t.OppHand({"9C", "9D", "3S", "5H", "5D"});
    EXPECT_EQ(Discard(), "3S");
    t.Clear();
    t.OppHand({"9C", "3S", "5H", "5D", "KS", "KS"});
    EXPECT_EQ(Discard(), "9C");
    t.Clear();
    t.OppHand({"3S", "9C"});  // one card besides the three
    EXPECT_EQ(Discard(), "3S");
}

}  // namespace
