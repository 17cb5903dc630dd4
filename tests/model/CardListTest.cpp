// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/CardList.h"
#include "model/TableLayout.h"

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
TCard At(int id, int x, int y) {
    TCard c = NewCard(id, 0, x, y);
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
    EXPECT_THROW(RemoveCardAt(l, 1, 107, out, true, 0), InternalError);
    EXPECT_THROW(RemoveCardAt(l, 1, -1, out, true, 0), InternalError);
}

TEST(CardList, RemoveByIdTakesTheLowerIndexAndIgnoresAbsentCards) {
    TCardList l;
    TCard a = At(5, 10, 0), b = At(7, 20, 0), c = At(5, 30, 0);
    c.Deck = 1;
    AddCard(l, a);
    AddCard(l, b);
    AddCard(l, c);
    EXPECT_TRUE(RemoveCardById(l, c));  // only the identity counts
    ASSERT_EQ(l.Count, 2);
    EXPECT_EQ(l.Cards[0].X, 20);
    EXPECT_EQ(l.Cards[1].X, 30);
    EXPECT_FALSE(RemoveCardById(l, At(9, 0, 0)));
    EXPECT_EQ(l.Count, 2);
}

TEST(CardList, RemoveAtClosesTheColumnInEitherDirection) {
    // A downward column of four at x=48 and a card in another column.
    TCardList down;
    down.Anchors[1] = {48, 100};
    for (int i = 0; i < 4; ++i) {
        TCard c = At(1, 0, 0);
        PlaceInColumn(down, true, false, c);
        AddCard(down, c);
    }
    AddCard(down, At(9, 93, 112));
    ASSERT_EQ(down.Anchors[1].Y, 148);
    TCard out;
    RemoveCardAt(down, +1, 1, out, false, 1);  // the second card, y=124
    EXPECT_EQ(out.Y, 124);
    EXPECT_EQ(down.Anchors[1].Y, 136);
    EXPECT_EQ(down.Cards[0].Y, 112);  // above: unchanged
    EXPECT_EQ(down.Cards[1].Y, 124);  // below: moved up one step
    EXPECT_EQ(down.Cards[2].Y, 136);
    EXPECT_EQ(down.Cards[3].Y, 112);  // other column untouched

    // An upward column: removing moves the cards above it down.
    TCardList up;
    up.Anchors[4] = {10, 200};
    for (int i = 0; i < 3; ++i) {
        TCard c = At(4, 0, 0);
        PlaceInColumn(up, false, false, c);
        AddCard(up, c);
    }
    ASSERT_EQ(up.Anchors[4].Y, 164);
    RemoveCardAt(up, -1, 0, out, false, 4);
    EXPECT_EQ(out.Y, 188);
    EXPECT_EQ(up.Cards[0].Y, 188);
    EXPECT_EQ(up.Cards[1].Y, 176);
    EXPECT_EQ(up.Anchors[4].Y, 176);

    // The keep flag leaves a stacked canasta and its anchor alone.
    TCardList stacked;
    stacked.Anchors[5] = {10, 112};
    for (int i = 0; i < 7; ++i) AddCard(stacked, At(5, 10, 112));
    RemoveCardAt(stacked, +1, 3, out, true, 5);
    EXPECT_EQ(stacked.Count, 6);
    EXPECT_EQ(stacked.Anchors[5].Y, 112);
}

TEST(CardList, PlaceInColumnUsesTheRankColumnAndKeepFlag) {
    TCardList l;
    l.Anchors[13] = {500, 300};
    TCard ace = At(13, 0, 0);
    PlaceInColumn(l, true, false, ace);
    EXPECT_EQ(ace.X, 500);
    EXPECT_EQ(ace.Y, 312);
    PlaceInColumn(l, true, true, ace);
    EXPECT_EQ(ace.Y, 312);
    EXPECT_EQ(l.Anchors[13].Y, 312);
    EXPECT_EQ(l.Count, 0);  // placing does not add
}

TEST(TableLayout, FourSizes) {
    const int columnWidths[4] = {45, 57, 73, 91};
    for (int i = 0; i < kSizeCount; ++i) {
        TableLayout t = ComputeLayout(i);
        EXPECT_EQ(t.ColumnWidth, columnWidths[i]) << i;
        EXPECT_EQ(t.CentreLine, WindowSizeOf(i).Height / 2 - 38);
        EXPECT_EQ(t.StockTop, t.CentreLine - t.CardHeight - 2);
        EXPECT_EQ(t.DiscardTop, t.CentreLine + 2);
        EXPECT_EQ(t.PlayerHandBase, t.CentreLine + t.CardHeight + 56);
        EXPECT_EQ(t.OpponentMeldBase, t.CentreLine - t.CardHeight + 9);
        for (int c = 0; c < kColumns; ++c) {
            EXPECT_EQ(t.ColumnOf(t.ColumnX(c)), c);
            EXPECT_EQ(t.ColumnOf(t.ColumnX(c) + t.ColumnWidth - 1), c);
        }
    }
    EXPECT_EQ(ComputeLayout(3).CardWidth, 67);  // the largest size reuses the 1024 cards
    EXPECT_EQ(SizeIndexOfName("1280x1024"), 3);
    EXPECT_EQ(SizeIndexOfName("1280x1000"), -1);
    EXPECT_THROW(ComputeLayout(4), InternalError);
}
