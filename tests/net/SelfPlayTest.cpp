// SPDX-License-Identifier: GPL-3.0-or-later
// Two copies of the game playing whole hands against each other through the
// protocol: after every move both copies must agree, and every hand's line of
// one side must be the other side's with the seats swapped.
#include <cstdlib>
#include <memory>
#include <sstream>

#include "NetPair.h"

namespace canasta::test {
namespace {

void ExpectMirroredLines(const TNetPair& p) {
    ASSERT_EQ(p.A.HandLines.size(), p.B.HandLines.size());
    for (size_t i = 0; i < p.A.HandLines.size(); ++i) EXPECT_EQ(p.A.HandLines[i], Swapped(p.B.HandLines[i]));
}

TEST(SelfPlay, GreedyAgainstGreedyStaysInStep) {
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        TNetPair p("greedy", "greedy", seed);
        ASSERT_TRUE(p.Play(6)) << "seed " << seed << ": " << p.Failure;
        ExpectMirroredLines(p);
    }
}

TEST(SelfPlay, RandomAgainstRandomStaysInStep) {
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        TNetPair p("random", "random", seed);
        ASSERT_TRUE(p.Play(4)) << "seed " << seed << ": " << p.Failure;
        ExpectMirroredLines(p);
    }
}

TEST(SelfPlay, RandomAgainstGreedyUnderOtherRules) {
    TRuleOptions r = StandardRules();  // two cards drawn, two canastas to go out
    r.RedThreeFreezes = true;          // red threes may be discarded from the table
    r.WildCanastaAllowed = true;
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        TNetPair p("random", "greedy", seed, r);
        ASSERT_TRUE(p.Play(3)) << "seed " << seed << ": " << p.Failure;
        ExpectMirroredLines(p);
    }
    TRuleOptions q;
    q.TopCardCounts = false;
    q.BonusCounts = true;
    q.NaturalPair = true;
    q.PairForExistingMeld = true;
    q.CanastaRequired = true;
    q.RedThreeDrawsExtra = false;
    for (uint32_t seed = 11; seed <= 16; ++seed) {
        TNetPair p("greedy", "random", seed, q);
        ASSERT_TRUE(p.Play(3)) << "seed " << seed << ": " << p.Failure;
        ExpectMirroredLines(p);
    }
}

// Rule sets that differ in every switch that judges a move.
std::pair<TRuleOptions, TRuleOptions> DifferentRules(uint32_t seed) {
    TRuleOptions a, b;
    TRandom rng(seed);
    for (TRuleOptions* r : {&a, &b}) {
        r->CanastaRequired = rng.Next(2);
        r->TopCardCounts = rng.Next(2);
        r->BonusCounts = rng.Next(2);
        r->FrozenPerPlayer = rng.Next(2);
    }
    a.CardsDrawn = 2, b.CardsDrawn = 1;
    a.CanastasToGoOut = 1, b.CanastasToGoOut = 2;
    a.NaturalPair = false, b.NaturalPair = true;
    a.AddToCanasta = true, b.AddToCanasta = false;
    a.WildCanastaAllowed = true, b.WildCanastaAllowed = false;
    a.RedThreeFreezes = true, b.RedThreeFreezes = false;
    a.RedThreeDrawsExtra = false, b.RedThreeDrawsExtra = true;
    a.InitiallyFrozen = seed % 2 == 0, b.InitiallyFrozen = seed % 2 == 1;
    a.PairForExistingMeld = seed % 3 == 0, b.PairForExistingMeld = seed % 3 == 1;
    return {a, b};
}

// A computer level in a side's own seat speaks the protocol as a player
// does: the other copy, replaying its moves, agrees after every move.
TEST(SelfPlay, ComputerLevelsInTheirOwnSeatStayInStep) {
    for (int level = 0; level < 3; ++level) {
        for (uint32_t seed = 1; seed <= 3; ++seed) {
            TNetPair p("greedy", "greedy", seed + 10 * static_cast<uint32_t>(level));
            p.UseLevel(static_cast<int>(seed % 2), level);
            if (seed == 3) p.UseLevel(0, 2 - level);  // level against level
            ASSERT_TRUE(p.Play(4)) << "level " << level << " seed " << seed << ": " << p.Failure;
            EXPECT_GT(p.LevelTurns, 8);
            ExpectMirroredLines(p);
        }
    }
    // Every rule switch that judges a move, on both sides alike.
    const int rounds = std::getenv("CANASTA_SELFPLAY_ROUNDS") ? std::atoi(std::getenv("CANASTA_SELFPLAY_ROUNDS")) : 6;
    for (uint32_t seed = 100; seed < 100 + static_cast<uint32_t>(rounds); ++seed) {
        const auto [a, b] = DifferentRules(seed);
        const TRuleOptions rules = seed % 4 < 2 ? a : b;
        TNetPair p("random", "greedy", seed, rules);
        p.UseLevel(0, static_cast<int>(seed % 3));
        if (seed % 2) p.UseLevel(1, 2);
        ASSERT_TRUE(p.Play(3)) << "seed " << seed << ": " << p.Failure;
        ExpectMirroredLines(p);
    }
}

TEST(SelfPlay, PlayersWithDifferentRulesStayInStep) {
    // Each side judges and scores the other's seat by the other's rules, so
    // the copies agree on the cards and on every total.
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        const auto [a, b] = DifferentRules(seed);
        TNetPair p(seed % 2 ? "random" : "greedy", seed % 3 ? "greedy" : "random", seed, a, b);
        ASSERT_TRUE(p.Play(3)) << "seed " << seed << ": " << p.Failure;
        ExpectMirroredLines(p);
    }
}

TEST(SelfPlay, WholeMatchEndsOnBothSidesAndOneSideDealsOn) {
    TNetPair p("greedy", "greedy", 42);
    p.A.Record = p.B.Record = true;
    // Play until a match has been won and the next one has begun.
    ASSERT_TRUE(p.Play(12)) << p.Failure;
    ExpectMirroredLines(p);
    EXPECT_EQ(p.A.Matches.size(), p.B.Matches.size());

    // The same with computer levels in both seats: the Expert here, the Advanced there.
    TNetPair q("greedy", "greedy", 43);
    q.UseLevel(0, 2);
    q.UseLevel(1, 1);
    q.A.Record = q.B.Record = true;
    ASSERT_TRUE(q.Play(14)) << q.Failure;
    ExpectMirroredLines(q);
    ASSERT_GE(q.A.Matches.size(), 1u);
    EXPECT_EQ(q.A.Matches.size(), q.B.Matches.size());
    EXPECT_EQ(q.A.Matches[0].PlayerScore, q.B.Matches[0].OpponentScore);
}

}  // namespace
}  // namespace canasta::test

namespace canasta::test {
namespace {

// The pair of the stress runs for a seed: random rules (every third seed
// different for the two players), the bots by seed, and with levels computer
// levels in some seats.
std::unique_ptr<TNetPair> StressPair(int seed, bool levels) {
    TRandom rng(static_cast<uint32_t>(seed));
    auto draw = [&rng] { return RandomRuleOptions([&rng](uint32_t n) { return rng.Next(n); }); };
    const TRuleOptions r = draw();
    const TRuleOptions other = seed % 3 == 0 ? draw() : r;
    const char* bots[] = {"random", "greedy"};
    auto p = std::make_unique<TNetPair>(bots[seed % 2], bots[(seed / 2) % 2], static_cast<uint32_t>(seed), r, other);
    if (levels) {
        if (seed % 3 != 2) p->UseLevel(0, seed % 3);
        if (seed % 4 != 3) p->UseLevel(1, (seed / 3) % 3);
    }
    return p;
}

void ExpectSameHands(const TNetPair& p, int seed) {
    ASSERT_EQ(p.A.HandLines.size(), p.B.HandLines.size());
    for (size_t i = 0; i < p.A.HandLines.size(); ++i) ASSERT_EQ(p.A.HandLines[i], Swapped(p.B.HandLines[i])) << seed;
}

// Seeds on which a level in its own seat once split the copies: melds that
// emptied its hand without the canastas to go out (484), and the pile's top
// card kept in the hand while a twin of its rank was melded (496).
TEST(SelfPlay, LevelsPlayTheirSeatAsTheOtherCopyReplaysIt) {
    for (int seed : {484, 496}) {
        auto p = StressPair(seed, true);
        ASSERT_TRUE(p->Play(4)) << "seed " << seed << ": " << p->Failure;
        ExpectSameHands(*p, seed);
    }
}

// Many more seeds on demand: CANASTA_NET_STRESS=<seeds>; computer levels in
// a side's own seat with CANASTA_NET_STRESS_LEVELS=1.
TEST(SelfPlay, Stress) {
    const char* env = std::getenv("CANASTA_NET_STRESS");
    const int seeds = env ? std::atoi(env) : 0;
    const char* from = std::getenv("CANASTA_NET_STRESS_FROM");
    const char* handsEnv = std::getenv("CANASTA_NET_STRESS_HANDS");
    const int hands = handsEnv ? std::atoi(handsEnv) : 3;
    const bool levels = std::getenv("CANASTA_NET_STRESS_LEVELS") != nullptr;
    for (int seed = from ? std::atoi(from) : 1; seed <= seeds; ++seed) {
        auto p = StressPair(seed, levels);
        ASSERT_TRUE(p->Play(hands)) << "seed " << seed << ": " << p->Failure;
        ExpectSameHands(*p, seed);
    }
}

}  // namespace
}  // namespace canasta::test
