// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/CardList.h"

using namespace canasta;

TEST(Cards, RankAndPointsOfIdentities) {
    EXPECT_EQ(RankOf(1), 1);    // two of spades
    EXPECT_EQ(RankOf(13), 13);  // ace of spades
    EXPECT_EQ(RankOf(14), 1);   // two of clubs
    EXPECT_EQ(RankOf(52), 13);  // ace of hearts
    EXPECT_EQ(RankOf(53), 0);   // joker
    EXPECT_EQ(RankOf(26), 13);
    EXPECT_EQ(RankOf(27), 1);
    EXPECT_THROW(RankOf(0), InternalError);
    EXPECT_THROW(RankOf(54), InternalError);

    EXPECT_EQ(CardPoints(2), 5);  // black threes
    EXPECT_EQ(CardPoints(15), 5);
    EXPECT_EQ(CardPoints(28), 0);  // red threes score only as bonuses
    EXPECT_EQ(CardPoints(41), 0);
    EXPECT_EQ(CardPoints(53), 50);
    EXPECT_EQ(CardPoints(1), 20);   // two
    EXPECT_EQ(CardPoints(13), 20);  // ace
    EXPECT_EQ(CardPoints(3), 5);    // four
    EXPECT_EQ(CardPoints(6), 5);    // seven
    EXPECT_EQ(CardPoints(7), 10);   // eight
    EXPECT_EQ(CardPoints(12), 10);  // king
}

TEST(Cards, MakeCardNamesAndIdentities) {
    EXPECT_EQ(MakeCard(2, 9).Name, "diamondb");
    EXPECT_EQ(MakeCard(2, 9).Id, 36);
    EXPECT_EQ(MakeCard(0, 12).Name, "spadea");
    EXPECT_EQ(MakeCard(3, 8).Name, "heart10");
    EXPECT_EQ(MakeCard(1, 11).Name, "clubh");
    EXPECT_EQ(MakeCard(3, 10).Name, "heartv");
    EXPECT_EQ(CardImageName(53), "joker");
    for (int id = 1; id <= 52; ++id) EXPECT_EQ(CardImageName(id), MakeCard((id - 1) / 13, (id - 1) % 13).Name);
}

namespace {
TCard At(int id, int column, int depth) {
    TCard c = NewCard(id, 0);
    c.Column = static_cast<uint8_t>(column);
    c.Depth = static_cast<int8_t>(depth);
    return c;
}
}  // namespace

TEST(CardList, AddTakeAndBoundsAreChecked) {
    TCardList l;
    EXPECT_THROW(TakeLastCard(l), InternalError);
    EXPECT_THROW(l.At(0), InternalError);
    for (int i = 0; i < kDeckSize; ++i) AddCard(l, At(1 + i % 53, 0, 0));
    EXPECT_THROW(AddCard(l, At(1, 0, 0)), InternalError);
    EXPECT_EQ(l.Count, kDeckSize);
    EXPECT_EQ(TakeLastCard(l).Id, 1 + 107 % 53);
    EXPECT_EQ(l.Count, 107);
    TCard out;
    EXPECT_THROW(RemoveCardAt(l, 107, out, true, 0), InternalError);
    EXPECT_THROW(RemoveCardAt(l, -1, out, true, 0), InternalError);
}

TEST(CardList, RemoveByIdTakesTheLowerIndexAndIgnoresAbsentCards) {
    TCardList l;
    TCard a = At(5, 1, 0), b = At(7, 2, 0), c = At(5, 3, 0);
    c.Deck = 1;
    AddCard(l, a);
    AddCard(l, b);
    AddCard(l, c);
    EXPECT_TRUE(RemoveCardById(l, c));  // only the identity counts
    ASSERT_EQ(l.Count, 2);
    EXPECT_EQ(l.Cards[0].Column, 2);
    EXPECT_EQ(l.Cards[1].Column, 3);
    EXPECT_FALSE(RemoveCardById(l, At(9, 0, 0)));
    EXPECT_EQ(l.Count, 2);
}

TEST(CardList, RemoveAtClosesTheColumn) {
    // A column of four twos and a card in another column.
    TCardList list;
    for (int i = 0; i < 4; ++i) {
        TCard c = At(1, 0, 0);
        PlaceInColumn(list, false, c);
        AddCard(list, c);
    }
    AddCard(list, At(9, 8, 1));
    ASSERT_EQ(list.Depths[1], 4);
    TCard out;
    RemoveCardAt(list, 1, out, false, 1);  // the second card
    EXPECT_EQ(out.Depth, 2);
    EXPECT_EQ(list.Depths[1], 3);
    EXPECT_EQ(list.Cards[0].Depth, 1);  // nearer the base: unchanged
    EXPECT_EQ(list.Cards[1].Depth, 2);  // further out: one step back
    EXPECT_EQ(list.Cards[2].Depth, 3);
    EXPECT_EQ(list.Cards[3].Depth, 1);  // other column untouched
    EXPECT_EQ(list.Cards[3].Column, 8);

    // The keep flag leaves a stacked canasta and its depth alone.
    TCardList stacked;
    stacked.Depths[5] = 1;
    for (int i = 0; i < 7; ++i) AddCard(stacked, At(6, 5, 1));
    RemoveCardAt(stacked, 3, out, true, 5);
    EXPECT_EQ(stacked.Count, 6);
    EXPECT_EQ(stacked.Depths[5], 1);
    for (const TCard& c : stacked) EXPECT_EQ(c.Depth, 1);
}

TEST(CardList, PlaceInColumnUsesTheRankColumnAndKeepFlag) {
    TCardList l;
    l.Depths[13] = 2;
    TCard ace = At(13, 0, 0);
    PlaceInColumn(l, false, ace);
    EXPECT_EQ(ace.Column, 13);
    EXPECT_EQ(ace.Depth, 3);
    PlaceInColumn(l, true, ace);
    EXPECT_EQ(ace.Depth, 3);
    EXPECT_EQ(l.Depths[13], 3);
    EXPECT_EQ(l.Count, 0);  // placing does not add
    EXPECT_EQ(CountInColumn(l, 13), 0);
    AddCard(l, ace);
    EXPECT_EQ(CountInColumn(l, 13), 1);
}

TEST(Cards, ACardRecordStaysSmall) {
    // The turn snapshot and every copy of a table area move 108 of them.
    EXPECT_LE(sizeof(TCard), 8u);
}
