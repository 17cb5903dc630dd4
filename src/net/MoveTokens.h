// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The token that tells the other copy of a network game about a move of
// this copy's player seat.
#include <string>
#include <utility>

#include "model/Game.h"

namespace canasta {

// The token's name and data for a move; a deal's record comes from the game's
// last shuffle.
std::pair<std::string, std::string> MoveToken(const TMoveReport& move, const TGame& game);

}  // namespace canasta
