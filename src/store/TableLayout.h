// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Table geometry for the four window sizes: where each place of the game is
// drawn, and where the saved-game file puts it.
#include <cstdint>

#include "model/CardList.h"

namespace canasta {

// Cards in one column step this far apart on the table.
constexpr int kColumnStep = 12;

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

constexpr int kSizeCount = 4;

struct TWindowSize {
    int Width, Height;          // outer window size
    int CardWidth, CardHeight;  // one card image
    const char* BitmapSuffix;   // "640", "800", "1024"
    const char* Name;           // "640x480" ...
};

// The size table, by size index 0..3.
const TWindowSize& WindowSizeOf(int sizeIndex);
// Size index of a size name such as "800x600", or -1.
int SizeIndexOfName(const char* name);

struct TableLayout {
    int SizeIndex = 0;
    int TableLeft = 3;
    int CardWidth = 42;
    int CardHeight = 65;
    int ColumnWidth = 45;
    int WindowWidth = 640;
    int WindowHeight = 480;
    int CentreLine = 202;
    int StockTop = 135;
    int DiscardTop = 204;
    int PlayerMeldBase = 196;
    int PlayerHandBase = 323;
    int OpponentMeldBase = 146;
    int HandRowTop = 5;
    // Cards in one column step this far apart (kColumnStep in the four
    // sizes of the saved game; scaled with the table in a free window).
    int ColumnStep = kColumnStep;
    // The table's scale against the 640x480 table (1 for the four sizes).
    double Scale = 1.0;

    // Left edge of column c.
    int ColumnX(int c) const { return TableLeft + c * ColumnWidth; }
    // Column of a table card from its X (truncating, as the table has always done).
    int ColumnOf(int x) const { return (x - TableLeft) / ColumnWidth; }
    // The base line of a column area and the way its columns grow (+1 down, -1 up).
    int BaseOf(TArea area) const;
    static int GrowthOf(TArea area) { return area == TArea::OpponentMelds ? -1 : +1; }
    // Top of a card at that depth of a column area.
    int DepthY(TArea area, int depth) const { return BaseOf(area) + GrowthOf(area) * depth * ColumnStep; }
    // Top-left corner of a card at that place; cardSpacing is the pitch of the
    // opponent's hand row.
    TPoint PointOf(const TCardPlace& place, int cardSpacing) const;
};

// Fills the layout for a size index; clientWidth defaults to the window width
// (the window size here is the client size: menu and status bars included,
// frame excluded).
TableLayout ComputeLayout(int sizeIndex, int clientWidth = -1);

}  // namespace canasta
