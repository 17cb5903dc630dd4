// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fingerprint of one seat of the game, the same on both copies of a network
// game when they agree: this side's player seat must give the digest the other
// side computes for its opponent seat. Positions on the screen (the two
// windows may have different sizes) and the deck a card came from (a move
// names only the card's face) do not enter it.
#include <cstdint>
#include <string>

#include "model/Game.h"

namespace canasta {

// The seat's hand and table (as card faces, the table by column), its
// canastas, its match total, and the shared stock and discard pile in order.
uint64_t SeatDigest(const TGame& game, TSeat seat);
std::string DigestHex(uint64_t digest);

// "hand N: <own total> <opponent total> <own-seat digest> <opponent-seat digest>"
std::string HandLine(const TGame& game, int handNumber);

}  // namespace canasta
