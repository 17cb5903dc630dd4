// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table drawn at any size: the layout of the 640x480 table scaled to the
// area the window gives it, cards as large as the height and width allow,
// the columns spread over the whole width.
#include "store/TableLayout.h"

namespace canasta {

// The area the 640x480 table draws in (the window without its menu and
// bottom bar), which a scale of 1 reproduces.
inline constexpr int kReferenceTableWidth = 640;
inline constexpr int kReferenceTableHeight = 440;
// Below this the cards would be too small to tell apart.
inline constexpr int kMinimumTableWidth = 440;
inline constexpr int kMinimumTableHeight = 300;

// The layout for a table area of width x height (logical pixels). Its
// SizeIndex is the largest of the four sizes the area holds (what a saved
// game records).
TableLayout FitLayout(int width, int height);

// The size of the pile counts' type: 8 points on the 640x480 table, growing
// with the table.
int PileCountPoints(const TableLayout& layout);

// The pitch of the opponent's hand row for the row setting (10, or 12 with
// the cards shown) at the layout's scale.
int RowPitch(const TableLayout& layout, int cardSpacing);

}  // namespace canasta
