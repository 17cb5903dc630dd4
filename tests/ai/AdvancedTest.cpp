// SPDX-License-Identifier: GPL-3.0-or-later
// The Advanced level's decisions on hand-built tables.
#include <gtest/gtest.h>

#include "ai/Advanced.h"
#include "ai/AiTestSupport.h"

using namespace canasta;
using namespace canasta::test;

namespace {

struct Advanced : ::testing::Test {
    TestTable t;
    TAdvanced level;
    TGame& g = t.G;

    Advanced() {
        g.Levels = {&level, &level, &level};
        g.Config.Level = 1;
        g.PlayerDrawsFirst = true;
        ComputerToMove(t);
        t.Hand({"4S", "9H", "QC"});
    }
    void Reset() {
        t.Clear();
        ComputerToMove(t);
        t.Hand({"4S", "9H", "QC"});
    }
    void Attach(int target = 50) {
        g.OpponentsTurn = true;
        level.Attach(g);
        level.MeldTarget = target;
    }
    void MeldedWithNines() {
        t.OppMeld(8, {"9S", "9D", "9C"});
        g.Seat(TSeat::Opponent).MeldedPoints = 30;
    }
    std::string Discard() {
        Attach();
        const TDiscardChoice d = level.ChooseDiscard();
        return CardShortName(g.Seat(TSeat::Opponent).Hand.At(d.Position).Id);
    }
    // Share of n decisions (each from its own generator seed) that say yes.
    template <typename F>
    double Rate(F decide, int n = 2000) {
        int yes = 0;
        for (int i = 0; i < n; ++i) {
            g.Rng.Seed = static_cast<uint32_t>(i * 7919 + 13);
            Attach();
            yes += decide();
        }
        return double(yes) / n;
    }
};

// ---- taking the pile ----

TEST_F(Advanced, FrozenPileNeedsANaturalPairUnfrozenTakesOntoTheMeld) {
    MeldedWithNines();
    t.OppHand({"9H", "JK", "6D", "7S", "JD"});
    t.Pile({"4C", "5H", "6S", "8C", "9S"});
    Attach();
    EXPECT_TRUE(level.TakeDecision());  // onto the meld of nines, seven in sight
    g.PileFrozen = true;
    Attach();
    EXPECT_FALSE(level.TakeDecision());
    t.OppHand({"9D"});
    Attach();
    EXPECT_TRUE(level.TakeDecision());  // a natural pair takes a frozen pile
}

// Keeping seven cards after the first meld counts the pile cards that come
// with the take.
TEST_F(Advanced, TheRestOfThePileCountsTowardTheCardsKept) {
    // Three kings with the top card and three aces: 90 points, 6 cards of 12.
    t.OppHand({"KS", "KH", "AS", "AH", "AD", "4C", "6D", "8S", "9C", "10C", "JD"});
    t.Pile({"KC"});
    Attach();
    EXPECT_FALSE(level.TakeDecision());
    Reset();
    t.OppHand({"KS", "KH", "AS", "AH", "AD", "4C", "6D", "8S", "9C", "10C", "JD"});
    t.Pile({"5C", "7D", "QH", "QS", "KC"});
    Attach();
    EXPECT_TRUE(level.TakeDecision());
}

TEST_F(Advanced, WithoutACanastaProspectThePileSizeDecides) {
    g.Rules.CanastaRequired = true;
    MeldedWithNines();
    t.OppHand({"9H", "5C", "6D", "7S", "JD"});
    t.Pile({"4C", "5H", "6S", "8C", "9S"});
    // 25 / 5² = 1: never.
    EXPECT_EQ(Rate([&] { return level.TakeDecision(); }), 0.0);
    t.Pile({"4D", "5D", "6H", "8D", "9C"});  // ten cards (nine on top): 3 in 4
    EXPECT_NEAR(Rate([&] { return level.TakeDecision(); }), 0.75, 0.04);
}

// ---- initial meld ----

TEST_F(Advanced, InitialMeldPairsDependOnTheMinimum) {
    // 30 points of triples; the pair of aces with a joker makes 120.
    auto hand = [&] {
        Reset();
        t.OppHand({"KS", "KH", "KD", "AS", "AH", "JK", "4C", "5D", "6S", "7H", "8C", "9D", "10H", "JS", "QD", "QS"});
    };
    hand();
    Attach(50);
    EXPECT_FALSE(level.CanMakeInitialMeld().Possible);  // below 90: naturals only
    Attach(90);
    EXPECT_TRUE(level.CanMakeInitialMeld().Possible);  // one pair allowed
    Attach(120);
    EXPECT_TRUE(level.CanMakeInitialMeld().Possible);

    // Seven cards must remain: the same meld from a hand of 9 cards does not go.
    Reset();
    t.OppHand({"KS", "KH", "KD", "AS", "AH", "JK", "4C", "5D", "6S"});
    Attach(90);
    EXPECT_FALSE(level.CanMakeInitialMeld().Possible);
}

// The opening canasta is the lowest rank whose canasta reaches the target;
// the jokers spent on a higher rank are gone for the lower ones.
TEST_F(Advanced, OpensWithAWholeCanastaOfTheTopCard) {
    // The top queen is in the hand, as after taking it.
    t.OppHand({"QS", "QH", "QD", "QC", "JK", "2C", "2D", "5C", "8D", "9S", "10H", "KS", "AS"});
    t.Pile({"4C"});
    Attach(50);
    TAdvanced::TOpening o = level.CanastaOpening();
    EXPECT_TRUE(o.Found);
    EXPECT_EQ(o.Rank, 11);
    level.MeldCanasta(11);
    EXPECT_EQ(CountInColumn(g.Seat(TSeat::Opponent).Melds, 11), 7);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldState.Canastas, 1);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldedPoints, 130);

    // Kings with the joker (100 points), sixes with twos only: 4 x 5 + 60 = 80.
    Reset();
    t.OppHand({"KS", "KH", "KD", "KC", "6S", "6H", "6D", "6C", "JK", "2C", "2D", "5C"});
    Attach(90);
    o = level.CanastaOpening();
    EXPECT_EQ(o.Rank, 12);  // the sixes fall short without the joker
    Attach(80);
    EXPECT_EQ(level.CanastaOpening().Rank, 5);
}

// ---- going out ----

TEST_F(Advanced, GoesOutByChanceOfTheHumansHandSize) {
    t.OppMeld(12, {"KS", "KH", "KD", "KC", "KS", "KH", "KD"});
    g.Seat(TSeat::Opponent).MeldedPoints = 70;
    t.OppHand({"QS", "QH", "JK", "7D", "7C", "7H", "5S"});
    g.Rules.CanastaRequired = false;
    TCardList hand = g.Seat(TSeat::Opponent).Hand, melds = g.Seat(TSeat::Opponent).Melds;
    auto goesOut = [&] {
        g.Seat(TSeat::Opponent).Hand = hand;
        g.Seat(TSeat::Opponent).Melds = melds;
        level.GoOutDecision();
        return g.Seat(TSeat::Opponent).Hand.Count < hand.Count;
    };
    t.Hand({"4D"});  // 4 cards: 16 / 16 = 1
    EXPECT_EQ(Rate(goesOut, 200), 1.0);
    t.Hand({"5H", "6H", "8H", "10D"});  // 8 cards: 1 in 4
    EXPECT_NEAR(Rate(goesOut), 0.25, 0.04);
}

// ---- discard ----

TEST_F(Advanced, ManyWildCardsWithoutTheCanastasThrowATwoFirst) {
    t.OppHand({"JK", "JK", "2C", "2D", "JK", "2S", "5C", "9D", "KS", "8H"});
    EXPECT_EQ(Discard(), "2C");
}

TEST_F(Advanced, BigPileThrowsABlackThreeThenALoneCardTheHumanCannotUse) {
    MeldedWithNines();
    t.Pile({"4C", "5H", "6S", "8C", "10C", "JD"});
    t.Meld(6, {"7S", "7H", "7D"});
    t.OppHand({"7C", "KS", "KH", "6D", "6H", "QS", "3S"});
    EXPECT_EQ(Discard(), "3S");
    Reset();
    MeldedWithNines();
    t.Pile({"4C", "5H", "6S", "8C", "10C", "JD"});
    t.Meld(6, {"7S", "7H", "7D"});
    t.OppHand({"7C", "KS", "KH", "6D", "6H", "QS"});
    EXPECT_EQ(Discard(), "QS");  // the seven would feed the human's meld
}

TEST_F(Advanced, SetsTheBlackThreeFlagWithABigTableAndItsCanastas) {
    t.OppMeld(12, {"KS", "KH", "KD", "KC", "KS", "KH", "KD"});
    t.OppMeld(11, {"QS", "QH", "QD", "QC", "QS", "QH", "QD"});
    t.OppMeld(10, {"JS", "JH", "JD", "JC", "JS", "JH"});
    g.Seat(TSeat::Opponent).MeldedPoints = 190;
    t.OppHand({"3S", "5D"});
    Attach();
    level.State().BlackThreeFlag = false;
    struct Probe : TAdvanced {
        using TAdvanced::BeforeDiscard;
    };
    static_cast<Probe&>(static_cast<TAdvanced&>(level)).BeforeDiscard();
    EXPECT_FALSE(level.State().BlackThreeFlag);  // 20 cards on the table
    t.OppMeld(10, {"JD"});
    Attach();
    static_cast<Probe&>(static_cast<TAdvanced&>(level)).BeforeDiscard();
    EXPECT_TRUE(level.State().BlackThreeFlag);
    g.DealHand();
    EXPECT_FALSE(level.State().BlackThreeFlag);
}

// ---- a turn never ends with an empty hand and too few canastas ----

TEST_F(Advanced, MeldingTheTopCardKeepsALastCard) {
    t.OppMeld(4, {"5C", "5S", "JK"});
    t.OppMeld(3, {"4C", "4S", "4C"});
    g.Seat(TSeat::Opponent).MeldedPoints = 75;
    t.OppHand({"5D", "5S"});
    t.Pile({"5H"});
    PlayOpponentTurn(g);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 1);  // it keeps one five and passes
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldState.Canastas, 0);
    EXPECT_EQ(t.Consistent(), "");
}

}  // namespace
