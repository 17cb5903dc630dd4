// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The moves of a seat, one vocabulary for the mouse, the keys, the bots, the
// hint and the network: in the player's seat each is what one gesture at the
// table does; in the opponent seat each is one step of its turn as the network
// tells it. IsLegal says whether a move would change the game now and, when
// the rules refuse it, why; LegalMoves lists every move that would.
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
    // Steps the player's seat takes on its own (the game completes a take and
    // passes for the player) and the opponent seat's moves name:
    TakePileRest,  // the rest of a pile whose top card is melded
    UndoTake,      // a provisional take of the pile given back
    Pass,          // the one-card rule: the turn ends without a discard
};

struct TMove {
    TMoveType Kind = TMoveType::None;
    int Index = 0;  // hand index, table column or table index, by kind
    bool Shift = false;
    bool Ctrl = false;
    // The card the move plays where the seat names it: the hand index of the
    // wild card of AddWild and MeldWild, the table index of the card UndoMeld
    // takes back. -1: the card the rules pick (the first joker, else the first
    // two; the last meld of the turn).
    int Card = -1;
    friend bool operator==(const TMove&, const TMove&) = default;
};

// "meld 7H shift", "discard KS" ... (reads the card names from the game).
std::string DescribeMove(const TGame& game, const TMove& move);
// Whether the player's seat may act now.
bool IsPlayersMove(const TGame& game);
// Performs a move of the player's seat as the table's handlers do.
void ApplyMove(TGame& game, const TMove& move);
// Plays a move of either seat and says why it was refused (empty when it was
// played; a refused move changes nothing). The player's seat plays it as its
// gestures do. The opponent seat's moves come one at a time (the network):
// each is checked against the opponent's turn as far as it got, and where the
// other copy's rules decided something a move does not say (whether a take is
// only the forced top card, whether an emptied hand goes out), the same rules
// decide here, by the rules the opponent plays by.
std::string PlayMove(TGame& game, TSeat seat, const TMove& move);
// The move of the seat that a report names by its cards (a card the seat
// does not hold where the report says gives a position past the end, which
// the move's checks refuse). Reports of a new game or a deal are no move.
TMove MoveOfReport(const TGame& game, TSeat seat, const TMoveReport& report);
// The opponent seat's part of PlayMove (rules/OpponentTurn.cpp).
std::string PlayOpponentMove(TGame& game, const TMove& move);
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
TLegality IsLegal(const TGame& game, TSeat seat, const TMove& move);
// Every move that would change the game now, in a fixed order (draws and
// takes, melds by hand position, wild cards by column, undos, discards by
// hand position, red threes, passes, end of hand). In the opponent seat one
// AddWild stands for each kind of wild card held (a joker, a two).
std::vector<TMove> LegalMoves(const TGame& game, TSeat seat);

}  // namespace canasta
