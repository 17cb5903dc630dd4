// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "model/Game.h"

namespace canasta {

// Moves every card and column anchor of the game from one table geometry to
// another so that each card keeps its column and its depth in the column:
// the hand and table areas, the turn snapshot of them, the stock, the pile and
// the top card of a pending take. Undo entries keep their own column width.
void CarryOverLayout(TGame& game, const TableLayout& from, const TableLayout& to);

}  // namespace canasta
