// SPDX-License-Identifier: GPL-3.0-or-later
// The turn skeleton shared by the computer levels, the opponent-seat
// operations and the hand analysis.
#include <gtest/gtest.h>

#include <functional>

#include "ai/AiTestSupport.h"

using namespace canasta;
using namespace canasta::test;

namespace {

struct Turn : ::testing::Test {
    TestTable t;
    ScriptLevel level;
    TGame& g = t.G;

    Turn() {
        g.Levels = {&level, &level, &level};
        ComputerToMove(t);
    }
    bool CanTake() {
        level.Attach(g);
        CountCards(g, TSeat::Opponent, level.C);
        return canasta::CanTakePile(g, TSeat::Opponent, level.C, g.DiscardPile.Last());
    }
    int Column(const TCardList& list, int c) const { return CountInColumn(list, c); }
};

// ---- the pile test ----

TEST_F(Turn, OneCardPileIsNeverTakenWithOneCardInHand) {
    t.OppMeld(6, {"7H", "7D", "7C"});
    t.OppHand({"7S"});
    t.Pile({"7H"});
    EXPECT_FALSE(CanTake());
    t.Pile({"7D"});  // a second card on the pile: now it may add to its meld
    EXPECT_TRUE(CanTake());
}

TEST_F(Turn, WildOrThreeOnTopIsNeverTakenEvenWhenForced) {
    for (const char* top : {"JK", "2H", "3S", "3D"}) {
        t.Clear();
        ComputerToMove(t);
        t.OppHand({"9C", "9D", "KS"});
        t.Pile({"8C", top});
        t.StockDownTo(0);
        EXPECT_FALSE(CanTake()) << top;
    }
}

TEST_F(Turn, PileTestFollowsFreezeAndPairRules) {
    t.OppHand({"KS", "JK", "5C", "6C"});
    t.Pile({"9D", "KD"});
    EXPECT_FALSE(CanTake());  // one king and a wild card with the natural pair required
    g.Rules.NaturalPair = false;
    EXPECT_TRUE(CanTake());
    g.PileFrozen = true;  // frozen: only a natural pair will do
    EXPECT_FALSE(CanTake());
    t.OppHand({"KH"});
    EXPECT_TRUE(CanTake());
}

TEST_F(Turn, NewMeldFromPileMustLeaveACardToDiscard) {
    t.OppHand({"KS", "KH"});
    t.Pile({"KD"});
    EXPECT_FALSE(CanTake());  // 2 + 1 cards
    t.Clear();
    ComputerToMove(t);
    t.OppHand({"KS", "KH"});
    t.Pile({"5C", "KD"});
    EXPECT_TRUE(CanTake());
}

TEST_F(Turn, ExhaustedStockAllowsTheForcedTakeOnly) {
    g.Rules.NaturalPair = g.Rules.PairForExistingMeld = true;  // an existing meld alone does not pair
    t.OppMeld(8, {"9S", "9H", "9C"});
    t.OppHand({"KS", "5C"});
    t.Pile({"4C", "9D"});
    EXPECT_FALSE(CanTake());
    t.StockDownTo(0);
    EXPECT_TRUE(CanTake());
}

// ---- the skeleton ----

TEST_F(Turn, OpeningAndClosingBookkeeping) {
    t.Meld(12, {"KS", "KH", "KD"});
    t.Meld(2, {"3D"});
    g.Seat(TSeat::Opponent).Score = 1600;
    t.OppMeld(5, {"6S", "6H", "6D"});
    g.Seat(TSeat::Opponent).MeldedPoints = 15;
    t.OppHand({"9C", "QS"});
    t.Pile({"5H"});
    PlayOpponentTurn(g);
    EXPECT_EQ(level.Turns, 1);
    EXPECT_EQ(g.Seat(TSeat::Player).PointsBeforeTurn, 30);  // red three left out
    EXPECT_EQ(g.Seat(TSeat::Opponent).MinimumMeld, 90);
    EXPECT_EQ(g.Seat(TSeat::Opponent).PointsBeforeTurn, 15);
    EXPECT_FALSE(g.OpponentsTurn);
    EXPECT_EQ(g.TurnPhase, TTurnPhase::Draw);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 2);  // drew one, discarded one
    EXPECT_EQ(g.DiscardPile.Count, 2);
    EXPECT_EQ(t.Consistent(), "");
}

TEST_F(Turn, TakingThePileBringsTopCardFirstThenTheRest) {
    level.Take = true;
    g.PileFrozen = true;
    t.OppHand({"QS", "QH", "4C"});
    t.Pile({"5S", "8D", "QD"});
    level.OnDiscard = [](ScriptLevel& l) { return TDiscardChoice{l.FindInHand(3)}; };
    PlayOpponentTurn(g);
    EXPECT_EQ(level.TakenTop, CardId("QD"));
    EXPECT_FALSE(g.PileFrozen);
    EXPECT_EQ(Names(g.Seat(TSeat::Opponent).Hand), (std::vector<std::string>{"QS", "QH", "QD", "8D", "5S"}));
    EXPECT_EQ(Names(g.DiscardPile), (std::vector<std::string>{"4C"}));
    EXPECT_EQ(t.Consistent(), "");
}

TEST_F(Turn, DrawnRedThreeIsReplacedUntilTheStockRunsOut) {
    t.OppHand({"9C", "QS"});
    t.Pile({"5H"});
    StockOnly(t, {"5C", "3H", "3D"});
    PlayOpponentTurn(g);
    EXPECT_EQ(Column(g.Seat(TSeat::Opponent).Melds, 2), 2);  // both red threes laid
    EXPECT_EQ(g.Stock.Count, 0);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 2);  // 9C QS 5C, one discarded

    t.Clear();
    ComputerToMove(t);
    t.OppHand({"9C", "QS"});
    t.Pile({"5H"});
    StockOnly(t, {"3H", "3D"});
    PlayOpponentTurn(g);
    EXPECT_EQ(Column(g.Seat(TSeat::Opponent).Melds, 2), 2);
    EXPECT_TRUE(g.StockExhausted);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 1);
    EXPECT_EQ(t.Consistent(), "");
}

TEST_F(Turn, RedThreeCountsAsTheDrawWithoutTheExtraDraw) {
    g.Rules.RedThreeDrawsExtra = false;
    t.OppHand({"9C", "QS"});
    t.Pile({"5H"});
    StockTop(t, {"5C", "3D"});
    PlayOpponentTurn(g);
    EXPECT_EQ(Column(g.Seat(TSeat::Opponent).Melds, 2), 1);
    EXPECT_EQ(FindFirstById(g.Seat(TSeat::Opponent).Hand, CardId("5C")), -1);
    EXPECT_EQ(g.Stock.Last().Id, CardId("5C"));
}

TEST_F(Turn, ForcedTakeAtTheEndOfTheStockTakesTheTopCardAlone) {
    t.OppMeld(8, {"9S", "9H", "9C"});
    g.Seat(TSeat::Opponent).MeldedPoints = 30;
    t.OppHand({"KS", "5C"});
    t.Pile({"4C", "8H", "9D"});
    t.StockDownTo(0);
    auto below = Names(g.DiscardPile);
    below.pop_back();
    PlayOpponentTurn(g);
    EXPECT_EQ(level.ForcedTop, CardId("9D"));
    EXPECT_EQ(Column(g.Seat(TSeat::Opponent).Melds, 8), 4);
    // The rest of the pile stayed; the computer discarded on top of it.
    auto pile = Names(g.DiscardPile);
    pile.pop_back();
    EXPECT_EQ(pile, below);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 1);
    EXPECT_EQ(t.Consistent(), "");
}

TEST_F(Turn, EmptyStockWithoutForcedTakeEndsTheHand) {
    g.PlayerDrawsFirst = true;
    t.OppHand({"KS", "5C"});
    t.Pile({"4C", "9D"});
    t.StockDownTo(0);
    const uint32_t hand = g.HandNumber;
    PlayOpponentTurn(g);
    EXPECT_EQ(g.HandNumber, hand + 1);
    ASSERT_EQ(t.Host.Hands.size(), 1u);
    EXPECT_EQ(t.Host.Hands[0].Opponent.FinishBonus, 0);
    EXPECT_EQ(g.TurnPhase, TTurnPhase::Draw);  // the new hand, the player first
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 15);
    EXPECT_EQ(t.Consistent(), "");
}

class DiscardFreeze : public Turn, public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(DiscardFreeze, WildAndRedThreeFreezeBlackThreeDoesNot) {
    const auto [card, freezes] = GetParam();
    t.OppHand({"9C", card, "QS"});
    t.Pile({"5H"});
    StockTop(t, {"6C"});
    level.OnDiscard = [card = card](ScriptLevel& l) {
        return TDiscardChoice{FindFirstById(l.Game().Seat(TSeat::Opponent).Hand, CardId(card))};
    };
    PlayOpponentTurn(g);
    EXPECT_EQ(g.DiscardPile.Last().Id, CardId(card));
    EXPECT_EQ(g.PileFrozen, freezes);
}

INSTANTIATE_TEST_SUITE_P(Cards, DiscardFreeze,
                         ::testing::Values(std::pair{"JK", true}, std::pair{"2C", true}, std::pair{"3S", false},
                                           std::pair{"7H", false}));

TEST_F(Turn, RedThreeDiscardedFromTheTableFreezesAndClosesTheColumn) {
    t.OppMeld(2, {"3D", "3H"});
    t.OppHand({"9C", "QS"});
    t.Pile({"5H"});
    StockTop(t, {"6C"});
    level.OnDiscard = [](ScriptLevel&) { return TDiscardChoice{0, true}; };
    PlayOpponentTurn(g);
    EXPECT_EQ(g.DiscardPile.Last().Id, CardId("3D"));
    EXPECT_TRUE(g.PileFrozen);
    ASSERT_EQ(g.Seat(TSeat::Opponent).Melds.Count, 1);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Melds.Cards[0].Depth, 1);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Melds.Depths[2], 1);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 3);
}

TEST_F(Turn, PassesWithOneCardAndTooFewCanastas) {
    t.OppHand({"KS"});
    t.Pile({"5H"});
    StockTop(t, {"8C"});
    level.OnGoOut = [](ScriptLevel& l) { l.MeldFromHand(0); };
    PlayOpponentTurn(g);
    // The account of the turn tells of the pass: no window to close.
    EXPECT_EQ(t.Host.InformCount, 0);
    EXPECT_EQ(g.DiscardPile.Count, 1);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 1);
    EXPECT_EQ(g.TurnPhase, TTurnPhase::Draw);
    EXPECT_FALSE(g.OpponentsTurn);
    EXPECT_EQ(t.Consistent(), "");
}

// Going out deals the next hand inside the turn; what the closing steps would
// write belongs to the finished hand and must not reach the new one.
TEST_F(Turn, GoingOutLeavesTheNextHandAlone) {
    g.PlayerDrawsFirst = true;
    t.Hand({"4S", "9H"});
    t.OppMeld(12, {"KS", "KH", "KD", "KC", "KS", "KH", "KD"});
    g.Seat(TSeat::Opponent).MeldedPoints = 70;
    t.Pile({"5H"});
    StockTop(t, {"8C"});
    const uint32_t hand = g.HandNumber;
    PlayOpponentTurn(g);
    EXPECT_EQ(g.HandNumber, hand + 1);
    ASSERT_EQ(t.Host.Hands.size(), 1u);
    EXPECT_EQ(t.Host.Hands[0].Opponent.FinishBonus, 200);
    EXPECT_EQ(g.Seat(TSeat::Opponent).PointsBeforeTurn, 0);
    EXPECT_EQ(g.TurnPhase, TTurnPhase::Draw);
    EXPECT_EQ(t.Consistent(), "");
}

// The same at the end of a match the player does not want to continue: the
// table stays closed.
TEST_F(Turn, GoingOutAtGameOverLeavesTheTableClosed) {
    t.Host.Answers = {false};
    g.Seat(TSeat::Opponent).Score = 4900;
    t.Hand({"4S", "9H"});
    t.OppMeld(12, {"KS", "KH", "KD", "KC", "KS", "KH", "KD"});
    g.Seat(TSeat::Opponent).MeldedPoints = 70;
    t.Pile({"5H"});
    StockTop(t, {"8C"});
    PlayOpponentTurn(g);
    EXPECT_TRUE(g.QuitRequested);
    EXPECT_EQ(g.TurnPhase, TTurnPhase::HandOver);
    EXPECT_TRUE(g.OpponentsTurn);
}

TEST_F(Turn, GoingOutWhenTheNextHandStartsWithTheComputer) {
    g.PlayerDrawsFirst = false;
    g.FixedSeed = true;
    g.Rng.Seed = 99;
    t.OppMeld(12, {"KS", "KH", "KD", "KC", "KS", "KH", "KD"});
    g.Seat(TSeat::Opponent).MeldedPoints = 70;
    t.Pile({"5H"});
    StockTop(t, {"8C"});
    PlayOpponentTurn(g);
    EXPECT_EQ(level.Turns, 2);  // the next hand's first turn ran inside
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 15);
    EXPECT_EQ(g.TurnPhase, TTurnPhase::Draw);
    EXPECT_FALSE(g.OpponentsTurn);
    EXPECT_EQ(t.Consistent(), "");
}

// ---- opponent-seat operations ----

TEST_F(Turn, CardsJoinTheHandRowAtItsRightEnd) {
    g.Config.ShowOpponentCards = true;
    g.AddToHand(TSeat::Opponent, t.Take("5C"), {TArea::Stock}, false);
    EXPECT_TRUE(g.Seat(TSeat::Opponent).Hand.Cards[0].FaceUp);
    g.Config.ShowOpponentCards = false;
    TCard six = t.Take("6C");
    six.Column = 5;  // where it lay before: the row has no columns
    six.Depth = 2;
    g.AddToHand(TSeat::Opponent, six, {TArea::PlayerMelds, 5, 2, 0}, true);
    EXPECT_EQ(Names(g.Seat(TSeat::Opponent).Hand), (std::vector<std::string>{"5C", "6C"}));
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Cards[1].Column, 0);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Cards[1].Depth, 0);
    EXPECT_FALSE(g.Seat(TSeat::Opponent).Hand.Cards[1].FaceUp);
}

TEST_F(Turn, RemovingACardClosesTheRow) {
    t.OppHand({"5C", "6C", "7C", "8C"});
    g.RemoveFromHand(TSeat::Opponent, 1);
    EXPECT_EQ(Names(g.Seat(TSeat::Opponent).Hand), (std::vector<std::string>{"5C", "7C", "8C"}));
}

// A broken hand position gives the hand up, in words for the player; the
// caller that runs the game (the table window) reports it and deals anew.
void ExpectAbandoned(const std::function<void()>& action) {
    try {
        action();
        ADD_FAILURE() << "the hand went on";
    } catch (const THandAbandoned& e) {
        EXPECT_STREQ(e.what(), "Error removing card from computer's hand");
        EXPECT_EQ(e.Kind, TMsgKind::Error);
    }
}

TEST_F(Turn, BadHandPositionAbandonsTheHand) {
    t.OppHand({"5C"});
    t.Pile({"5H"});
    ExpectAbandoned([&] { g.RemoveFromHand(TSeat::Opponent, 3); });
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand.Count, 1);  // nothing moved, no new deal
    EXPECT_EQ(t.Consistent(), "");
}

TEST_F(Turn, BadDiscardInsideATurnStopsTheTurn) {
    g.PlayerDrawsFirst = true;
    t.OppHand({"5C", "9D"});
    t.Pile({"5H"});
    level.OnDiscard = [](ScriptLevel&) { return TDiscardChoice{7}; };
    const uint32_t hand = g.HandNumber;
    ExpectAbandoned([&] { PlayOpponentTurn(g); });
    EXPECT_EQ(g.HandNumber, hand);
    EXPECT_EQ(t.Consistent(), "");
}

TEST_F(Turn, MeldsGrowUpwardAndACanastaStacks) {
    t.OppHand({"8S", "8H", "3D", "8D", "8C", "8S", "8H", "8D", "8C"});
    g.MeldFromHand(TSeat::Opponent, 0);
    g.MeldFromHand(TSeat::Opponent, 1);  // the red three
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldedPoints, 10);
    EXPECT_EQ(Column(g.Seat(TSeat::Opponent).Melds, 2), 1);
    g.MeldFromHand(TSeat::Opponent, 0);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Melds.Cards[0].Depth, 1);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Melds.Cards[2].Depth, 2);
    for (int i = 0; i < 5; ++i) g.MeldFromHand(TSeat::Opponent, 0);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldState.Canastas, 1);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldState.CanastaKind[7], ckNatural);
    for (const TCard& c : g.Seat(TSeat::Opponent).Melds) {
        if (c.Rank == 7) {
            EXPECT_EQ(c.Depth, 1);
        }
    }
    g.MeldFromHand(TSeat::Opponent, 0);  // an eighth card lands on the stack
    EXPECT_EQ(g.Seat(TSeat::Opponent).Melds.Last().Depth, 1);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldedPoints, 80);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldState.Canastas, 1);
}

TEST_F(Turn, WildCardPrefersAJokerAndReportsWhenThereIsNone) {
    t.OppMeld(9, {"10S", "10H", "10D"});
    t.OppHand({"2C", "5D", "JK"});
    g.MeldWildCard(TSeat::Opponent, 9);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Melds.Last().Id, kJokerId);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Melds.Last().Depth, 4);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldedPoints, 50);
    g.MeldWildCard(TSeat::Opponent, 9);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Melds.Last().Id, CardId("2C"));
    const TGameState before = g.State();
    g.MeldWildCard(TSeat::Opponent, 9);
    EXPECT_EQ(t.Host.LastInform, "Meld error: Wildcard not found.");
    EXPECT_EQ(g.Seat(TSeat::Opponent).Melds, before.Seat(TSeat::Opponent).Melds);
    EXPECT_EQ(g.Seat(TSeat::Opponent).Hand, before.Seat(TSeat::Opponent).Hand);
}

TEST_F(Turn, LayRedThreesLaysEveryOne) {
    t.OppHand({"3D", "9C", "3H", "KS"});
    EXPECT_TRUE(g.LayRedThrees(TSeat::Opponent));
    EXPECT_EQ(Names(g.Seat(TSeat::Opponent).Hand), (std::vector<std::string>{"9C", "KS"}));
    EXPECT_EQ(Column(g.Seat(TSeat::Opponent).Melds, 2), 2);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldedPoints, 0);
    EXPECT_FALSE(g.LayRedThrees(TSeat::Opponent));
}

TEST_F(Turn, CountCardsByColumnAndByRank) {
    t.OppMeld(6, {"7S", "7H", "JK"});
    t.Meld(9, {"10S", "10H", "2C"});
    t.OppHand({"7D", "2S", "2H"});
    t.Pile({"10D", "7C"});
    AddCard(g.Seat(TSeat::Player).PickedUp, t.Take("QS"));
    level.Attach(g);
    CountCards(g, TSeat::Opponent, level.C);
    const TCardCounts& c = level.C;
    EXPECT_EQ(c.MeldSize[6], 3);
    EXPECT_EQ(c.MeldByRank[6], 2);
    EXPECT_EQ(c.MeldByRank[0], 1);
    EXPECT_EQ(c.OppMeldSize[9], 3);
    EXPECT_EQ(c.OppMeldByRank[1], 1);
    EXPECT_EQ(c.HandByRank[6], 1);
    EXPECT_EQ(c.Wilds(), 2);
    EXPECT_EQ(c.PileByRank[9] + c.PileByRank[6], 2);
    EXPECT_EQ(c.KnownOppByRank[11], 1);
    EXPECT_EQ(WildsInMeld(g, TSeat::Opponent, 6), 1);
    EXPECT_EQ(WildsInMeld(g, TSeat::Opponent, 9), 0);  // the human's wild card is not the computer's

    // Seen from the player seat, mine and the other's trade places.
    TCardCounts p;
    CountCards(g, TSeat::Player, p);
    EXPECT_EQ(p.MeldSize, c.OppMeldSize);
    EXPECT_EQ(p.OppMeldSize, c.MeldSize);
    EXPECT_EQ(p.MeldByRank, c.OppMeldByRank);
    EXPECT_EQ(p.OppMeldByRank, c.MeldByRank);
    EXPECT_EQ(p.PileByRank, c.PileByRank);
    EXPECT_EQ(p.KnownOppByRank, TCounts{});  // the computer took nothing from the pile
    EXPECT_EQ(WildsInMeld(g, TSeat::Player, 9), 1);
    EXPECT_EQ(WildsInMeld(g, TSeat::Player, 6), 0);
}

}  // namespace
