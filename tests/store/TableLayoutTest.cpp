// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "store/TableLayout.h"

using namespace canasta;

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

TEST(TableLayout, PlacesAreDrawnOnTheirColumnsAndSteps) {
    for (int i = 0; i < kSizeCount; ++i) {
        const TableLayout t = ComputeLayout(i);
        EXPECT_EQ(t.PointOf({TArea::Stock}, 10), (TPoint{t.TableLeft, t.StockTop}));
        EXPECT_EQ(t.PointOf({TArea::DiscardPile}, 10), (TPoint{t.TableLeft, t.DiscardTop}));
        EXPECT_EQ(t.PointOf(RowSlot(4), 12), (TPoint{t.TableLeft + 48, t.HandRowTop}));
        EXPECT_EQ(t.PointOf({TArea::PlayerHand, 3, 2, 0}, 10), (TPoint{t.ColumnX(3), t.PlayerHandBase + 24}));
        EXPECT_EQ(t.PointOf({TArea::PlayerMelds, 13, 1, 0}, 10), (TPoint{t.ColumnX(13), t.PlayerMeldBase + 12}));
        // The opponent's columns grow upward.
        EXPECT_EQ(t.PointOf({TArea::OpponentMelds, 7, 3, 0}, 10), (TPoint{t.ColumnX(7), t.OpponentMeldBase - 36}));
    }
}
