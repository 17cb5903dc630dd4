// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The moves of the player's seat, one vocabulary for the mouse, the keys, the
// bots and the hint: each is what one gesture at the table does. IsLegal says
// whether a move would change the game now and, when the rules refuse it,
// why; LegalMoves lists every move that would.
#include <cstdint>
#include <string>
#include <vector>

#include "model/Game.h"

namespace canasta {

enum class TMoveType {
    None,
    Draw,             // the stock (a left click, F6)
    TakePile,         // the discard pile (F7); also gives a provisional take back
    MeldCard,         // a natural of the hand to its column (Shift: all of the rank, Ctrl: up to three)
    AddWild,          // a wild card to a column of the table (Shift: up to seven)
    MeldWild,         // the wild cards of the hand as a canasta of wild cards (Shift / Ctrl)
    UndoMeld,         // the last meld of this turn back to the hand
    UndoAll,          // every meld of this turn back
    Discard,          // a card of the hand to the pile
    DiscardRedThree,  // a red three of the table to the pile (when the rules allow)
    EndHand,          // end the hand once the stock is exhausted
};

struct TMove {
    TMoveType Kind = TMoveType::None;
    int Index = 0;  // hand index, table column or table index, by kind
    bool Shift = false;
    bool Ctrl = false;
    friend bool operator==(const TMove&, const TMove&) = default;
};

// "meld 7H shift", "discard KS" ... (reads the card names from the game).
std::string DescribeMove(const TGame& game, const TMove& move);
// Whether the player's seat may act now.
bool IsPlayersMove(const TGame& game);
// Performs the move as the table's handlers do.
void ApplyMove(TGame& game, const TMove& move);
// A hash of everything a move of the player's seat can change.
uint64_t StateFingerprint(const TGame& game);

struct TLegality {
    bool Legal = false;
    // Why the rules refuse it (None when it is legal, or when it simply does
    // nothing, such as a wild card for an empty column).
    TRefusal Reason = TRefusal::None;
    std::string Why;  // the refusal as the message line shows it
};
// Tried on a copy of the game that reports to nobody: the game is untouched.
// Only the player's seat has moves; the other seat's come from its computer
// level or the network.
TLegality IsLegal(const TGame& game, TSeat seat, const TMove& move);
// Every move that would change the game now, in a fixed order (draws and
// takes, melds by hand position, wild cards by column, undos, discards by
// hand position, red threes, end of hand).
std::vector<TMove> LegalMoves(const TGame& game, TSeat seat);

}  // namespace canasta
