// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "model/Game.h"

namespace canasta {

// Checks the invariants that hold between two actions: all 108 cards present
// exactly once across the card areas, the columns and their depths agreeing with the
// cards, canasta counts agreeing with the recorded kinds, and the turn flags
// agreeing with the phase. Returns an empty string when all hold, else what failed.
std::string CheckConsistency(const TGame& game);

}  // namespace canasta
