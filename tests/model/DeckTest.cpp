// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <map>

#include "model/Deck.h"

using namespace canasta;

TEST(Random, GeneratorSequence) {
    TRandom r(0);
    // seed 0 -> 1 -> 134775814: draws are the high half of seed * n.
    EXPECT_EQ(r.Next(108), static_cast<uint32_t>((uint64_t(1) * 108) >> 32));
    EXPECT_EQ(r.Seed, 1u);
    EXPECT_EQ(r.Next(1000), static_cast<uint32_t>((uint64_t(134775814u) * 1000) >> 32));
    TRandom wrap(0xFFFFFFFFu);
    wrap.Next(10);
    EXPECT_EQ(wrap.Seed, 0xFFFFFFFFu * 134775813u + 1u);  // modulo 2^32, no trap
}

TEST(Shuffle, HoldsEveryCardOnceForManySeeds) {
    for (uint32_t seed : {0u, 1u, 42u, 86399999u, 0xFFFFFFFFu}) {
        TCardList stock;
        TRandom rng(seed);
        TDealPositions pos = ShuffleDeck(stock, rng);
        ASSERT_EQ(stock.Count, 108);
        std::map<std::pair<int, int>, int> seen;
        std::map<int, int> ids;
        for (const TCard& c : stock) {
            ++seen[{c.Id, c.Deck}];
            ++ids[c.Id];
            EXPECT_FALSE(c.FaceUp);
            EXPECT_EQ(c.Column, 0);
            EXPECT_EQ(c.Depth, 0);
            EXPECT_EQ(c.Rank, RankOf(c.Id));
            EXPECT_EQ(c.Points, CardPoints(c.Id));
        }
        EXPECT_EQ(ids.size(), 53u);
        for (auto [id, n] : ids) EXPECT_EQ(n, id == 53 ? 4 : 2) << "id " << id;
        for (auto [key, n] : seen) EXPECT_EQ(n, key.first == 53 ? 2 : 1);
        // Positions are a permutation.
        std::array<bool, 108> used{};
        for (uint8_t p : pos) {
            ASSERT_LT(p, 108);
            EXPECT_FALSE(used[p]);
            used[p] = true;
        }
    }
}

TEST(Shuffle, DealRecordRebuildsTheSameStock) {
    TCardList stock;
    TRandom rng(777);
    TDealPositions pos = ShuffleDeck(stock, rng);
    // The first card made (two of spades, deck 0) sits at the first position drawn.
    EXPECT_EQ(stock.Cards[pos[0]].Id, 1);
    EXPECT_EQ(stock.Cards[pos[0]].Deck, 0);
    EXPECT_EQ(stock.Cards[pos[52]].Id, 53);
    EXPECT_EQ(stock.Cards[pos[54]].Id, 1);
    EXPECT_EQ(stock.Cards[pos[54]].Deck, 1);

    std::string record = MakeDealRecord(true, pos);
    ASSERT_EQ(record.size(), 109u);
    EXPECT_EQ(record[0], '1');
    bool first = false;
    TDealPositions back{};
    ASSERT_TRUE(ParseDealRecord(record, first, back));
    EXPECT_TRUE(first);
    TCardList rebuilt;
    ASSERT_TRUE(BuildStockFromPositions(rebuilt, back));
    EXPECT_EQ(rebuilt, stock);
}

TEST(Shuffle, BadDealRecordsAreRefusedWithoutTouchingTheStock) {
    TDealPositions pos{};
    for (int i = 0; i < 108; ++i) pos[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    std::string good = MakeDealRecord(false, pos);
    bool first;
    TDealPositions out;
    EXPECT_FALSE(ParseDealRecord(good.substr(0, 108), first, out));
    EXPECT_FALSE(ParseDealRecord("2" + good.substr(1), first, out));
    std::string zero = good;
    zero[5] = '\0';
    EXPECT_FALSE(ParseDealRecord(zero, first, out));
    std::string high = good;
    high[5] = static_cast<char>(109);
    EXPECT_FALSE(ParseDealRecord(high, first, out));

    TDealPositions dup = pos;
    dup[3] = dup[4];
    TCardList stock;
    stock.Count = 7;
    EXPECT_FALSE(BuildStockFromPositions(stock, dup));
    EXPECT_EQ(stock.Count, 7);
}
