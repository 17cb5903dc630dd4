// SPDX-License-Identifier: GPL-3.0-or-later
// The Expert level's decisions on hand-built tables.
#include <gtest/gtest.h>

#include "ai/AiTestSupport.h"
#include "ai/Expert.h"
#include "ai/Levels.h"

using namespace canasta;
using namespace canasta::test;

namespace {

struct Expert : ::testing::Test {
    TestTable t;
    TExpert level;
    TGame& g = t.G;
    TExpertState& s = level.State();

    Expert() {
        g.Levels = {&level, &level, &level};
        g.Config.Level = 2;
        g.PlayerDrawsFirst = true;
        ComputerToMove(t);
        t.Hand({"4S", "9H", "QC"});
    }
    void Reset() {
        t.Clear();
        ComputerToMove(t);
        s.Clear();
        t.Hand({"4S", "9H", "QC"});
    }
    // Binds the level for a single routine, as in the middle of its turn.
    void Attach() {
        g.OpponentsTurn = true;
        level.Attach(g);
    }
    // The computer has made its first meld (so the pile is not frozen for it).
    void Melded() {
        t.OppMeld(12, {"KS", "KH", "KD"});
        g.Seat(TSeat::Opponent).MeldedPoints = 30;
    }
    std::string Discard() {
        Attach();
        const TDiscardChoice d = level.ChooseDiscard();
        if (d.FromMelds) return "table " + CardShortName(g.Seat(TSeat::Opponent).Melds.At(d.Position).Id);
        return CardShortName(g.Seat(TSeat::Opponent).Hand.At(d.Position).Id);
    }
    // Moves n cards from the stock (no red threes) into a hand.
    void Deal(TCardList& hand, int n, bool player) {
        for (int i = g.Stock.Count - 1; n > 0; --i) {
            TCard c = g.Stock.At(i);
            if (IsRedThree(c)) continue;
            RemoveCardAt(g.Stock, i, c, true, 0);
            if (player) PlaceInColumn(hand, false, c);
            AddCard(hand, c);
            --n;
        }
        g.SetStockExhausted(g.Stock.Empty());
    }
    void ExpectValidMelds() { ExpectValidOpponentMelds(g); }
};

// ---- per-turn values ----

TEST_F(Expert, AggressiveTurnFollowsTheAggressionAndTheStock) {
    t.StockDownTo(40);
    g.Config.Aggression = 100;  // 70 > every roll below 40
    Attach();
    for (int i = 0; i < 200; ++i) {
        level.RollAggressiveTurn();
        ASSERT_TRUE(s.AggressiveTurn);
    }
    Reset();
    t.StockDownTo(80);
    g.Config.Aggression = 0;  // 10 > roll: 10 chances in 80
    Attach();
    int set = 0;
    for (int i = 0; i < 8000; ++i) {
        level.RollAggressiveTurn();
        set += s.AggressiveTurn;
    }
    EXPECT_NEAR(set / 8000.0, 10.0 / 80, 0.02);
}

TEST_F(Expert, HoldBackNeedsALateHandABusyHumanAndNoMeld) {
    // Stock and pile 61 cards: the human needs (77 - 61) / 2 + 21 = 29 cards.
    auto setUp = [&](int humanCards, int stockAndPile) {
        t.Clear();
        ComputerToMove(t);
        Deal(g.Seat(TSeat::Player).Hand, humanCards, true);
        Deal(g.Seat(TSeat::Opponent).Hand, 108 - stockAndPile - humanCards, false);
        t.StockDownTo(30);
        Attach();
        level.ComputeHoldBack();
        return s.HoldBack;
    };
    EXPECT_TRUE(setUp(29, 61));
    EXPECT_FALSE(setUp(28, 61));
    EXPECT_FALSE(setUp(40, 62));
    EXPECT_FALSE(setUp(29, 59));  // (77 - 59) / 2 + 21 = 30
    EXPECT_TRUE(setUp(30, 59));
    g.Seat(TSeat::Opponent).MeldedPoints = 50;  // melded: nothing to hold back
    level.ComputeHoldBack();
    EXPECT_FALSE(s.HoldBack);
}

// ---- initial-meld estimate ----

TEST_F(Expert, InitialMeldPlanSpendingFewerWildCardsIsChosen) {
    g.Rules.CanastasToGoOut = 2;  // no wild-card allowance to pass
    // 120 points: three fours with three wild cards (plan 1) or two pairs with
    // a joker each (plan 2).
    t.OppHand({"4S", "4H", "4D", "JK", "JK", "2C", "KS", "KH", "QS", "QH", "8C"});
    Attach();
    s.MeldTarget = 125;
    const TExpert::TEstimate e = level.InitialMeldEstimate(0, false, false);
    EXPECT_TRUE(e.Yes);
    EXPECT_EQ(s.InitialMeldPlan, 2);
    EXPECT_EQ(e.Wilds, 2);

    // Without the queens, plan 2 spends two wild cards like plan 1: plan 1 stands.
    Reset();
    g.Rules.CanastasToGoOut = 2;
    t.OppHand({"4S", "4H", "4D", "JK", "JK", "KS", "KH", "8C"});
    Attach();
    s.MeldTarget = 95;
    const TExpert::TEstimate e2 = level.InitialMeldEstimate(0, false, false);
    EXPECT_TRUE(e2.Yes);
    EXPECT_EQ(s.InitialMeldPlan, 1);
    EXPECT_EQ(e2.Wilds, 2);

    // Nothing reaches the target: plan 0.
    s.MeldTarget = 300;
    EXPECT_FALSE(level.InitialMeldEstimate(0, false, false).Yes);
    EXPECT_EQ(s.InitialMeldPlan, 0);
}

// Without the full check the estimate allows 5 points of slack; with it the
// hand must keep room for the rest of the hand.
TEST_F(Expert, EstimateSlackAndHandRoom) {
    g.Rules.CanastasToGoOut = 2;
    t.OppHand({"KS", "KH", "KD", "AS", "AH", "AD", "5C", "6C", "7D", "8D"});  // 90 points
    Attach();
    s.MeldTarget = 95;
    EXPECT_TRUE(level.InitialMeldEstimate(0, false, false).Yes);
    EXPECT_FALSE(level.InitialMeldEstimate(0, false, true).Yes);
    s.MeldTarget = 90;
    // Full check: 10 in hand + 1 in the pile - 9 - 6 < 6 cards used.
    t.Pile({"9C"});
    EXPECT_FALSE(level.InitialMeldEstimate(0, false, true).Yes);
    t.Pile({"9D", "9S", "9C", "10C", "10D", "10S", "10H", "JS", "JD"});  // 10 + 10 - 15 < 6
    EXPECT_FALSE(level.InitialMeldEstimate(0, false, true).Yes);
    t.Pile({"JH"});  // 10 + 11 - 15 >= 6
    EXPECT_TRUE(level.InitialMeldEstimate(0, false, true).Yes);
}

// ---- taking the pile ----

TEST_F(Expert, FrozenPileNeedsANaturalPair) {
    Melded();
    t.OppMeld(8, {"9S", "9D", "9C"});
    g.Seat(TSeat::Opponent).MeldedPoints = 60;
    t.OppHand({"9H", "JK", "5C", "6D", "7S", "8H"});
    t.Pile({"4C", "5H", "6S", "8C", "10C", "9S"});
    Deal(g.Seat(TSeat::Player).Hand, 23, true);  // 26 human cards: no point in freezing
    t.StockDownTo(50);
    g.PileFrozen = true;
    Attach();
    EXPECT_FALSE(level.TakeDecision());  // one nine and a wild card
    t.OppHand({"9D"});
    Attach();
    EXPECT_TRUE(level.TakeDecision());  // two nines
}

TEST_F(Expert, UnfrozenPileGoesOntoAnExistingMeld) {
    g.Rules.InitiallyFrozen = false;
    Melded();
    t.OppMeld(8, {"9S", "9D", "9C"});
    g.Seat(TSeat::Opponent).MeldedPoints = 60;
    t.OppHand({"5C", "6D", "7S", "8H", "JD"});
    t.Pile({"4C", "5H", "6S", "9C"});
    Deal(g.Seat(TSeat::Player).Hand, 23, true);
    t.StockDownTo(50);
    Attach();
    EXPECT_TRUE(level.TakeDecision());  // the meld of nines takes the top card; 4 cards
    g.PileFrozen = true;
    Attach();
    EXPECT_FALSE(level.TakeDecision());
}

TEST_F(Expert, NoTakeEarlyInTheHandWithOneCanastaRequired) {
    g.Rules.InitiallyFrozen = false;
    Melded();
    t.OppMeld(8, {"9S", "9D", "9C"});
    g.Seat(TSeat::Opponent).MeldedPoints = 60;
    t.OppHand({"5C", "6D", "7S"});
    t.Pile({"4C", "5H", "6S", "9C"});
    Deal(g.Seat(TSeat::Player).Hand, 23, true);
    t.StockDownTo(68);
    ASSERT_GE(g.DiscardPile.Count, 4);
    Attach();
    EXPECT_FALSE(level.TakeDecision());
    t.StockDownTo(67);
    Attach();
    EXPECT_TRUE(level.TakeDecision());
}

// A pile taken before the first meld: the meld reaches the minimum with the
// plan the take decision chose (the freeze look-ahead must not replace it).
TEST_F(Expert, FirstMeldAfterTakingThePileReachesTheMinimum) {
    t.Clear();
    ComputerToMove(t);
    g.Seat(TSeat::Opponent).Score = 3200;  // minimum 120
    t.Hand({"JS", "JH", "2S", "8D", "2S", "2H", "JS", "8S", "JK"});
    t.Meld(2, {"3D"});
    t.Meld(13, {"AH", "AD", "2D"});
    t.Meld(9, {"10S", "10D", "10H"});
    t.OppMeld(2, {"3D", "3H"});
    t.OppHand({"QH", "2C", "QH", "KD", "9H", "7H", "7S", "9D", "KH", "QD", "9C", "9S", "7D", "8C", "4D"});
    t.StockDownTo(51);
    t.Pile({"QC"});
    g.PileFrozen = true;
    g.Seat(TSeat::Opponent).MinimumMeld = 120;
    Attach();
    EXPECT_EQ(level.ExpertPickUp(), TExpert::TPickUp::Took);
    EXPECT_GE(g.Seat(TSeat::Opponent).MeldedPoints, 120);
    ExpectValidMelds();
}

// ---- plan carried between turns ----

TEST_F(Expert, PlanRankCarriesOverAndClearsAtTheDeal) {
    Melded();
    t.OppHand({"QS", "QH", "5C", "5D", "5H", "8S", "8H", "8D", "JK"});
    Attach();
    s.PlanRank = 11;
    EXPECT_EQ(Discard(), "QS");

    // Before the first meld it stops when the queen is needed for it.
    Reset();
    t.OppHand({"QS", "QH", "QD", "AS", "AH", "AD", "KS", "KD", "6C"});
    Attach();
    s.MeldTarget = 100;  // three aces and three queens: 90 points, with slack 95
    s.PlanRank = 11;
    EXPECT_NE(Discard(), "QS");
    EXPECT_NE(Discard(), "QD");

    // A whole turn keeps the plan; the next deal clears it.
    Reset();
    Melded();
    g.Rules.InitiallyFrozen = false;
    t.OppHand({"QS", "QH", "5C", "5D", "5H", "8S", "8H", "8D", "JK"});
    StockTop(t, {"6D"});
    t.Pile({"4C", "10D"});  // a pile of one card would drop the plan
    s.PlanRank = 11;
    s.BlackThreeFlag = true;
    PlayOpponentTurn(g);
    EXPECT_EQ(CardShortName(g.DiscardPile.Last().Id), "QS");
    EXPECT_EQ(s.PlanRank, 11);
    g.DealHand();
    EXPECT_EQ(s.PlanRank, 0);
    EXPECT_FALSE(s.BlackThreeFlag);
}

TEST_F(Expert, MainSearchStartsAPlan) {
    Melded();
    g.Rules.InitiallyFrozen = false;
    t.OppHand({"9S", "9D", "5C", "5D", "5H", "6D", "8S", "8H", "8D"});
    EXPECT_EQ(Discard(), "6D");  // the single
    EXPECT_EQ(s.PlanRank, 5);
}

// ---- discard ----

TEST_F(Expert, RedThreeFromTheTableFreezesThePile) {
    g.Rules.RedThreeFreezes = true;
    g.Rules.CanastasToGoOut = 2;
    t.OppMeld(2, {"3D", "3H"});
    t.OppHand({"KS", "9C", "KH", "4D", "7C"});
    EXPECT_EQ(Discard(), "table 3D");

    // Whole turn: the red three leaves the table for the pile, which freezes.
    StockTop(t, {"6S"});
    t.Pile({"5C"});
    PlayOpponentTurn(g);
    EXPECT_TRUE(IsRedThree(g.DiscardPile.Last()));
    EXPECT_TRUE(g.PileFrozen);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 6);
    int redThrees = 0;
    for (const TCard& c : g.Seat(TSeat::Opponent).Melds) redThrees += IsRedThree(c);
    EXPECT_EQ(redThrees, 1);
    EXPECT_EQ(t.Consistent(), "");

    for (int variant = 0; variant < 3; ++variant) {
        Reset();
        g.Rules.RedThreeFreezes = variant != 0;
        g.Rules.CanastasToGoOut = variant == 1 ? 1 : 2;
        t.OppMeld(2, {"3D"});
        t.OppHand({"KS", "9C", "KH", "4D", "7C"});
        if (variant == 2) {  // melded already
            t.OppMeld(8, {"9S", "9H", "9D"});
            g.Seat(TSeat::Opponent).MeldedPoints = 30;
        }
        EXPECT_EQ(Discard().rfind("table", 0), std::string::npos) << variant;
    }
}

TEST_F(Expert, DiscardsWhatTheHumanCannotTakeThePileWith) {
    Melded();
    g.Rules.InitiallyFrozen = false;
    t.Meld(12, {"KS", "KH", "KC"});  // the human melded kings
    t.OppHand({"KD", "9C", "9D", "9H", "7S", "7D", "7H", "4C"});
    EXPECT_EQ(Discard(), "4C");
    Reset();
    Melded();
    g.Rules.InitiallyFrozen = false;
    t.Meld(12, {"KS", "KH", "KC"});
    t.OppHand({"KD", "9C", "9D", "9H", "7S", "7D", "7H"});
    t.Hand({"6S"});
    EXPECT_NE(Discard(), "KD");  // no single that is safe: a group card rather than the king

    // Two jacks known in the human's hand: the jack is passed over even on a
    // frozen pile; the six is safe.
    Reset();
    Melded();
    t.Hand({"JS", "JH"});
    g.Seat(TSeat::Player).PickedUp = {};
    AddCard(g.Seat(TSeat::Player).PickedUp, g.Seat(TSeat::Player).Hand.At(t.HandIndex("JS")));
    AddCard(g.Seat(TSeat::Player).PickedUp, g.Seat(TSeat::Player).Hand.At(t.HandIndex("JH")));
    g.PileFrozen = true;
    t.OppHand({"JD", "6C", "9C", "9D", "9H", "AS", "AD", "AH"});
    EXPECT_EQ(Discard(), "6C");
    t.Clear();
}

TEST_F(Expert, ManyWildCardsOnAFrozenPileThrowATwoMostly) {
    g.PileFrozen = true;
    t.OppHand({"2S", "2H", "2D", "JK", "JK", "5C", "9D"});
    int twos = 0;
    for (int i = 0; i < 400; ++i) twos += Discard()[0] == '2';
    EXPECT_NEAR(twos / 400.0, 0.8, 0.07);
}

TEST_F(Expert, LastCheckAvoidsTheHumansMeldWhenItHoldsOneCard) {
    t.Clear();
    ComputerToMove(t);
    Melded();
    g.Rules.InitiallyFrozen = false;
    t.Hand({"8C"});
    t.Meld(5, {"6S", "6H", "6D"});
    t.Meld(9, {"10S", "10H", "10D"});
    t.OppHand({"6C", "10C", "JD", "JH", "JS"});
    EXPECT_EQ(Discard(), "JD");
}

// ---- melding ----

// The nines need one wild card, the queens two: with two wild cards the
// nines come first (the queens, higher, would come first by rank).
TEST_F(Expert, CompletesCanastasWithFewestWildCardsFirstAndKeepsMeldsValid) {
    Melded();
    g.Seat(TSeat::Opponent).MeldedPoints = 30;
    s.AggressiveTurn = true;
    t.OppMeld(8, {"9S", "9H", "9C", "9C"});
    t.OppHand({"9S", "9D", "JK", "2C", "QS", "QH", "QD", "QC", "QS", "5C"});
    Attach();
    level.ExpertCompleteCanastas();
    EXPECT_EQ(CountInColumn(g.Seat(TSeat::Opponent).Melds, 8), 7);
    EXPECT_EQ(CountInColumn(g.Seat(TSeat::Opponent).Melds, 11), 0);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldState.Canastas, 1);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 7);
    ExpectValidMelds();
}

// Completing a canasta is no way to open below the minimum.
TEST_F(Expert, NoOpeningCanastaBelowTheMinimum) {
    g.Seat(TSeat::Opponent).Score = 1600;  // minimum 90
    s.AggressiveTurn = true;
    t.OppHand({"5S", "5H", "5D", "5C", "5S", "5H", "2C", "JS", "6H", "8D"});
    Attach();
    s.MeldTarget = 90;
    level.ExpertCompleteCanastas();  // 6 fives and a two: 50 points
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldedPoints, 0);
    level.ExpertMeldDown(0);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldedPoints, 0);
}

TEST_F(Expert, GoOutEstimateCountsPairsWildCardsAndLeftovers) {
    Melded();
    t.OppHand({"KC", "7S", "7H", "JK", "9C"});
    Attach();
    TExpert::TGoOut e = level.GoOutEstimate();
    EXPECT_TRUE(e.Now);  // king on the meld, pair of sevens with the joker, nine left
    EXPECT_EQ(e.Distance, 1);
    t.OppHand({"4D"});
    Attach();
    e = level.GoOutEstimate();
    EXPECT_FALSE(e.Now);
    EXPECT_EQ(e.Distance, 2);
}

// ---- installation ----

TEST(ComputerLevels, EachGameOwnsItsLevelsAndTheirSharedRecord) {
    THeadlessHost host1, host2;
    TGame a(host1), b(host2);
    {
        auto la = InstallComputerLevels(a);
        auto lb = InstallComputerLevels(b);
        ASSERT_NE(a.Levels[2], nullptr);
        EXPECT_NE(a.Levels[2], b.Levels[2]);
        EXPECT_EQ(a.Levels[0], &la->Beginner);
        EXPECT_EQ(a.Levels[1], &la->Advanced);
        la->Advanced.State().BlackThreeFlag = true;
        EXPECT_TRUE(la->Expert.State().BlackThreeFlag);
        EXPECT_FALSE(lb->Expert.State().BlackThreeFlag);
        la->Expert.State().PlanRank = 7;
        a.FixedSeed = true;
        a.PlayerDrawsFirst = true;
        a.DealHand();
        EXPECT_EQ(la->State.PlanRank, 0);
        EXPECT_FALSE(la->State.BlackThreeFlag);
    }
    EXPECT_EQ(a.Levels[0], nullptr);
    EXPECT_EQ(a.Levels[2], nullptr);
}

// The program builds the levels before the game and keeps them after it.
TEST(ComputerLevels, LevelsBuiltBeforeTheGameMoveBetweenGames) {
    TComputerLevels levels;
    THeadlessHost host1, host2;
    TGame b(host2);
    {
        TGame a(host1);
        levels.Install(a);
        EXPECT_EQ(a.Levels[0], &levels.Beginner);
        EXPECT_EQ(a.Levels[2], &levels.Expert);
        // Installed into another game, they leave the first one.
        levels.Install(b);
        EXPECT_EQ(a.Levels[1], nullptr);
        EXPECT_EQ(b.Levels[1], &levels.Advanced);
        levels.Install(a);
        levels.Withdraw();
        EXPECT_EQ(a.Levels[2], nullptr);
    }
    // Back in the first game they had left the second; withdrawn before the
    // first game went, their own end touches no game.
    EXPECT_EQ(b.Levels[1], nullptr);
}

}  // namespace
