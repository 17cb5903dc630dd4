// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The remote player's moves, read from their tokens, played as moves of the
// opponent seat of this side's copy of the game (PlayMove checks each against
// the opponent's turn as far as it got, and changes nothing when it refuses
// one); and the mirrored deal.
#include <string>
#include <vector>

#include "model/Game.h"

namespace canasta {

// This side's copy of a hand the other side dealt: the stock from the record's
// positions, the first fifteen cards to this side's hand (the dealer dealt its
// opponent first), the next fifteen to the opponent's. False (the game
// untouched) for a malformed record.
bool ApplyMirroredDeal(TGame& game, const std::string& record);

class TOpponentMirror {
public:
    explicit TOpponentMirror(TGame& game);

    // Applies one received move (a token index of net/Framing.h with its
    // fields) as the opponent seat's move (PlayMove). Returns an empty string
    // when it was applied, otherwise why it was refused; a refused move
    // changes nothing.
    std::string Apply(int token, const std::vector<std::string>& fields);

    // The opponent's take of the pile is provisional (completed by
    // "DRAWPILEREST" or given back by "UNDOPILE").
    bool TakePending() const;

private:
    TGame& G;
};

}  // namespace canasta
