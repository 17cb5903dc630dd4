// SPDX-License-Identifier: GPL-3.0-or-later
// The searching level: it decides from what its seat can see, replays
// exactly, and can be asked for a decision on a copy from another thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "ai/Levels.h"
#include "ai/Master.h"
#include "rules/Consistency.h"
#include "rules/Driver.h"

using namespace canasta;

namespace {

// A game of its own with the host it reports to.
struct TPosition {
    THeadlessHost Host;
    TGame G;
    explicit TPosition(const TGame& from) : G(Host, from) { G.Levels = {}; }
};

// Positions at the start of the opponent seat's turns, from Expert against
// Expert games under the given rules, a few turns into each hand so the pile
// has grown and cards have been taken from it.
std::vector<std::unique_ptr<TPosition>> TurnStarts(uint32_t seed, int wanted, TRuleOptions rules = {}) {
    std::vector<std::unique_ptr<TPosition>> out;
    THeadlessHost host;
    TGame g(host, rules);
    g.FixedSeed = true;
    g.Rng.Seed = seed;
    TExpertState opponentState, playerState;
    TExpert opponent, player;
    opponent.ShareState(opponentState);
    player.ShareState(playerState);
    TGameDriver driver(g);
    g.NewGame();
    int turn = 0;
    while (static_cast<int>(out.size()) < wanted && turn < 5000) {
        if (g.HandEndPending) {
            if (g.Seat(TSeat::Player).Score >= 5000 || g.Seat(TSeat::Opponent).Score >= 5000)
                g.Seat(TSeat::Player).Score = g.Seat(TSeat::Opponent).Score = 0;
            g.HandEndPending = false;
            g.DealHand();
            opponentState.Clear();
            playerState.Clear();
            continue;
        }
        const TSeat mover = g.OpponentsTurn ? TSeat::Opponent : TSeat::Player;
        if (mover == TSeat::Opponent && ++turn % 3 == 0 && g.Stock.Count > 10)
            out.push_back(std::make_unique<TPosition>(g));
        (mover == TSeat::Opponent ? opponent : player).PlayTurn(g, mover);
    }
    return out;
}

// The same position with the hidden cards elsewhere: the player's hand
// keeps the cards the opponent saw it take, its other cards change places
// with cards of the stock, and the stock is turned over.
void MoveHiddenCards(TGame& g, int shift) {
    TSeatState& hand = g.Seat(TSeat::Player);
    std::vector<TCard> known, unknown;
    for (const TCard& c : hand.Hand) {
        bool seen = false;
        for (const TCard& p : hand.PickedUp) seen = seen || p.Id == c.Id;
        (seen ? known : unknown).push_back(c);
    }
    std::vector<TCard> stock(g.Stock.begin(), g.Stock.end());
    std::reverse(stock.begin(), stock.end());
    for (size_t i = 0; i < unknown.size() && i < stock.size(); i += 2)
        std::swap(unknown[i], stock[(i * 7 + static_cast<size_t>(shift)) % stock.size()]);
    hand.Hand = TCardList{};
    for (TCard c : known) g.AddToHand(TSeat::Player, c, {TArea::Stock}, false);
    for (TCard c : unknown) g.AddToHand(TSeat::Player, c, {TArea::Stock}, false);
    g.Stock = TCardList{};
    for (TCard c : stock) {
        c.FaceUp = false;
        ClearColumn(c);
        AddCard(g.Stock, c);
    }
    g.CountColumns();
}

struct TDecisions {
    bool Take = false;
    TDiscardChoice Discard;
    long Searches = 0;
};

TDecisions Decide(TGame& g, const TMasterBudget& budget) {
    TMaster master;
    master.Budget = budget;
    master.Attach(g, TSeat::Opponent);
    TDecisions d;
    d.Take = master.TakeDecision();
    d.Discard = master.ChooseDiscard();
    d.Searches = master.Stats.TakeSearches + master.Stats.DiscardSearches;
    return d;
}

TMasterBudget SmallBudget() {
    TMasterBudget b;
    b.Samples = 12;
    b.Seed = 77;
    return b;
}

TEST(MasterFairness, HiddenCardsElsewhereGiveTheSameDecisions) {
    long takeSearches = 0, compared = 0;
    for (uint32_t seed : {5u, 17u}) {
        for (const auto& p : TurnStarts(seed, 12)) {
            TPosition moved(p->G);
            MoveHiddenCards(moved.G, static_cast<int>(compared));
            ASSERT_EQ(CheckConsistency(moved.G), "");
            ASSERT_NE(moved.G.Seat(TSeat::Player).Hand, p->G.Seat(TSeat::Player).Hand);
            TPosition original(p->G);
            const TDecisions a = Decide(original.G, SmallBudget());
            const TDecisions b = Decide(moved.G, SmallBudget());
            EXPECT_EQ(a.Take, b.Take) << "seed " << seed << ", position " << compared;
            EXPECT_EQ(a.Discard.Position, b.Discard.Position) << "seed " << seed << ", position " << compared;
            EXPECT_EQ(a.Discard.FromMelds, b.Discard.FromMelds);
            EXPECT_EQ(a.Searches, b.Searches);
            takeSearches += a.Searches;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 24);
    // The positions made it search, not just follow the Expert.
    EXPECT_GT(takeSearches, 24);
}

// The Expert's freeze test counts the jokers, twos and threes in the other
// hand; the Master counts on what it can see.
struct TCountingMaster : TMaster {
    using TMaster::HumanWildsAndThrees;
};
struct TCountingExpert : TExpert {
    using TExpert::HumanWildsAndThrees;
};

TEST(MasterFairness, TheOtherHandsWildCardsAreEstimatedNotCounted) {
    int differing = 0, shift = 0;
    for (const auto& p : TurnStarts(13, 10)) {
        TPosition moved(p->G);
        MoveHiddenCards(moved.G, ++shift);
        TCountingMaster master;
        TCountingExpert expert;
        master.Attach(p->G, TSeat::Opponent);
        const int before = master.HumanWildsAndThrees();
        master.Attach(moved.G, TSeat::Opponent);
        EXPECT_EQ(master.HumanWildsAndThrees(), before);
        EXPECT_LE(before, p->G.Seat(TSeat::Player).Hand.Count);
        expert.Attach(p->G, TSeat::Opponent);
        const int seen = expert.HumanWildsAndThrees();
        expert.Attach(moved.G, TSeat::Opponent);
        differing += expert.HumanWildsAndThrees() != seen;
    }
    // The hidden cards did move where it matters.
    EXPECT_GT(differing, 0);
}

TEST(MasterFairness, ARedealKeepsWhatTheSeatSeesAndMovesWhatItDoesNot) {
    const auto positions = TurnStarts(9, 8);
    ASSERT_EQ(positions.size(), 8u);
    int knownCards = 0, handsChanged = 0;
    for (const auto& p : positions) {
        TPosition dealt(p->G);
        RedealHiddenCards(dealt.G, TSeat::Opponent, 4242);
        const TGame& before = p->G;
        const TGame& after = dealt.G;
        EXPECT_EQ(CheckConsistency(after), "");
        EXPECT_EQ(after.Seat(TSeat::Opponent).Hand, before.Seat(TSeat::Opponent).Hand);
        EXPECT_EQ(after.Seat(TSeat::Opponent).Melds, before.Seat(TSeat::Opponent).Melds);
        EXPECT_EQ(after.Seat(TSeat::Player).Melds, before.Seat(TSeat::Player).Melds);
        EXPECT_EQ(after.DiscardPile, before.DiscardPile);
        EXPECT_EQ(after.Seat(TSeat::Player).Hand.Count, before.Seat(TSeat::Player).Hand.Count);
        EXPECT_EQ(after.Stock.Count, before.Stock.Count);
        // Every card it saw taken is still in that hand.
        for (const TCard& c : before.Seat(TSeat::Player).PickedUp) {
            EXPECT_GE(FindFirstById(after.Seat(TSeat::Player).Hand, c.Id), 0);
            ++knownCards;
        }
        handsChanged += after.Seat(TSeat::Player).Hand != before.Seat(TSeat::Player).Hand;
    }
    EXPECT_GT(knownCards, 0);
    EXPECT_GE(handsChanged, 7);
}

// A person melds by gestures and its seat record keeps no melded points; the
// level playing that seat in the rollouts must know it has melded, or it
// plays a first meld again and reads the pile as frozen for it.
TEST(MasterFairness, ARedealGivesAPersonsTableItsMeldedPoints) {
    THeadlessHost host;
    TGame g(host);
    g.FixedSeed = true;
    g.Rng.Seed = 3;
    g.NewGame();
    TSeatState& person = g.Seat(TSeat::Player);
    int laid = 0;
    for (int rank = kRankAce; rank >= 4 && laid == 0; --rank) {
        std::vector<int> at;
        for (int i = 0; i < g.Stock.Count; ++i)
            if (g.Stock.Cards[static_cast<size_t>(i)].Rank == rank) at.push_back(i);
        if (at.size() < 3) continue;
        for (int k = 2; k >= 0; --k) {
            TCard c;
            RemoveCardAt(g.Stock, at[static_cast<size_t>(k)], c, true, 0);
            c.FaceUp = true;
            c.Column = static_cast<uint8_t>(rank);
            PlaceInColumn(person.Melds, true, c);
            AddCard(person.Melds, c);
            ++laid;
        }
    }
    ASSERT_EQ(laid, 3);
    g.CountColumns();
    ASSERT_EQ(person.MeldedPoints, 0);
    const int onTable = g.MeldedPoints(TSeat::Player, false);
    ASSERT_GT(onTable, 0);
    TPosition dealt(g);
    RedealHiddenCards(dealt.G, TSeat::Opponent, 5);
    EXPECT_EQ(dealt.G.Seat(TSeat::Player).MeldedPoints, onTable);
    // A level's own record is left as it is.
    EXPECT_EQ(dealt.G.Seat(TSeat::Opponent).MeldedPoints, g.Seat(TSeat::Opponent).MeldedPoints);
}

TEST(MasterSearch, KeepsTheDefaultUnlessTheGainIsClear) {
    std::vector<std::vector<double>> values;
    for (int s = 0; s < 40; ++s) {
        const double base = (s % 5) * 0.1;
        const double noise = (s % 2 ? 0.02 : -0.02);
        values.push_back({base, base + 0.001 + noise, base + 0.03 + noise / 4, base - 0.05});
    }
    EXPECT_EQ(PickCandidate(values, 2.0), 2);
    // The same small gain on fewer samples is noise.
    values.resize(6);
    EXPECT_EQ(PickCandidate(values, 2.0), 0);
    // A candidate only even with the default stays out.
    std::vector<std::vector<double>> even;
    for (int s = 0; s < 40; ++s) even.push_back({0.5, s % 2 ? 0.6 : 0.4});
    EXPECT_EQ(PickCandidate(even, 2.0), 0);
}

TEST(MasterSearch, TheValueIsTheRaceToFiveThousand) {
    EXPECT_DOUBLE_EQ(MatchValue(5100, 4900), 1.0);
    EXPECT_DOUBLE_EQ(MatchValue(4900, 5100), 0.0);
    EXPECT_DOUBLE_EQ(MatchValue(2000, 2000), 0.5);
    EXPECT_NEAR(MatchValue(3000, 2000) + MatchValue(2000, 3000), 1.0, 1e-12);
    EXPECT_GT(MatchValue(2600, 2000), MatchValue(2500, 2000));
    // The same lead counts for more near the end.
    EXPECT_GT(MatchValue(4500, 4000), MatchValue(1000, 500));
    // Crossing to a higher first-meld minimum costs a little.
    EXPECT_LT(MatchValue(1500, 1000) - MatchValue(1490, 1000), 0.0);
}

TEST(MasterSearch, ThreadsAndCopiesGiveTheSameDecision) {
    const auto positions = TurnStarts(23, 6);
    ASSERT_EQ(positions.size(), 6u);
    for (const auto& p : positions) {
        TPosition here(p->G);
        const TDecisions one = Decide(here.G, SmallBudget());
        // On another copy, from a worker thread, searching on two threads.
        TDecisions other;
        std::thread worker([&] {
            TPosition copy(p->G);
            TMasterBudget b = SmallBudget();
            b.Threads = 2;
            other = Decide(copy.G, b);
        });
        worker.join();
        EXPECT_EQ(one.Take, other.Take);
        EXPECT_EQ(one.Discard.Position, other.Discard.Position);
        EXPECT_EQ(one.Discard.FromMelds, other.Discard.FromMelds);
    }
}

TEST(MasterSearch, AWallClockBudgetKeepsToItsTime) {
    const auto positions = TurnStarts(31, 3);
    ASSERT_EQ(positions.size(), 3u);
    for (const auto& p : positions) {
        TPosition here(p->G);
        TMaster master;
        master.Budget.ThinkMs = 60;
        master.Budget.Threads = 2;
        const auto start = std::chrono::steady_clock::now();
        master.PlayTurn(here.G, TSeat::Opponent);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        // The budget and one sample's overrun per thread, with room for a loaded machine.
        EXPECT_LT(ms, 60 + 250);
        EXPECT_EQ(CheckConsistency(here.G), "");
        EXPECT_GT(master.Stats.Samples, 0);
    }
}

// Thinking on a worker thread: a copy of the level plans the turn on a copy
// of the game; the game's own turn then plays exactly that turn.
TEST(MasterLevels, APlanMadeOnACopyIsTheTurnPlayed) {
    const auto positions = TurnStarts(41, 6);
    ASSERT_EQ(positions.size(), 6u);
    int followed = 0;
    for (const auto& p : positions) {
        TPosition real(p->G);
        TMaster master;
        // A wall-clock budget: a second search would not find the same again.
        master.Budget.ThinkMs = 20;
        master.Budget.Threads = 2;
        TMasterPlan plan;
        TPosition copy(real.G);
        std::thread worker([&] {
            TMaster thinker = master;
            plan = thinker.PlanTurn(copy.G, TSeat::Opponent);
        });
        worker.join();
        master.FollowPlan(plan);
        EXPECT_TRUE(master.HasPlan());
        master.PlayTurn(real.G, TSeat::Opponent);
        EXPECT_FALSE(master.HasPlan());
        EXPECT_EQ(master.Stats.TakeSearches + master.Stats.DiscardSearches, 0);
        EXPECT_EQ(real.G.Seat(TSeat::Opponent).Hand, copy.G.Seat(TSeat::Opponent).Hand);
        EXPECT_EQ(real.G.Seat(TSeat::Opponent).Melds, copy.G.Seat(TSeat::Opponent).Melds);
        EXPECT_EQ(real.G.DiscardPile, copy.G.DiscardPile);
        EXPECT_EQ(real.G.Stock.Count, copy.G.Stock.Count);
        EXPECT_EQ(real.G.Rng.Seed, copy.G.Rng.Seed);
        EXPECT_EQ(CheckConsistency(real.G), "");
        followed += !plan.Discards.empty();
    }
    EXPECT_GT(followed, 0);
}

TEST(MasterLevels, ACopyOfALevelKeepsItsOwnState) {
    TMaster master;
    master.State().PlanRank = 7;
    TMaster copy = master;
    copy.State().PlanRank = 9;
    EXPECT_EQ(master.State().PlanRank, 7);
    // A level sharing the game's record still shares it when copied.
    TExpertState shared;
    TExpert expert;
    expert.ShareState(shared);
    TExpert other = expert;
    other.State().PlanRank = 4;
    EXPECT_EQ(shared.PlanRank, 4);
}

TEST(MasterLevels, MasterIsTheHighestInstalledLevel) {
    THeadlessHost host;
    TGame g(host);
    {
        TComputerLevels levels(g);
        EXPECT_EQ(g.Levels[3], &levels.Master);
        EXPECT_GT(levels.Master.Budget.ThinkMs, 0);
        EXPECT_EQ(levels.Master.Budget.Threads, 2);
    }
    EXPECT_EQ(g.Levels[3], nullptr);
}

// Level 3 through the driver plays whole hands in the opponent seat.
TEST(MasterLevels, TheDriverPlaysTheMaster) {
    THeadlessHost host;
    TGame g(host);
    g.FixedSeed = true;
    g.Rng.Seed = 8;
    TComputerLevels levels(g), player;
    levels.Master.Budget = SmallBudget();
    g.Config.Level = 3;
    TGameDriver driver(g);
    g.NewGame();
    driver.Run();
    const uint32_t hands = g.HandNumber + 2;
    for (int turns = 0; g.HandNumber < hands && turns < 1000; ++turns) {
        ASSERT_FALSE(g.OpponentsTurn);
        player.Expert.PlayTurn(g, TSeat::Player);
        driver.Run();
        ASSERT_EQ(CheckConsistency(g), "");
    }
    EXPECT_EQ(g.HandNumber, hands);
    EXPECT_GT(levels.Master.Stats.DiscardSearches, 0);
}

}  // namespace
