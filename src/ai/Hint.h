// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hint: the move the strongest computer level would make in the player's
// seat, judged from what the player can see. The level plays the player's
// seat on a copy of the game whose hidden cards (the opponent's hand, except
// the cards it was seen taking from the pile, and the stock) are dealt afresh
// from the cards the player cannot see; the first move of that turn is the
// hint. The game itself is never touched.
#include <cstdint>
#include <string>
#include <vector>

#include "model/Game.h"
#include "rules/Moves.h"

namespace canasta {

struct THint {
    enum class TKind { None, Draw, TakePile, Meld, AddWild, Discard, DiscardRedThree, EndHand };
    TKind Kind = TKind::None;
    // The player's cards the move uses (hand cards; the red three of the
    // table for DiscardRedThree), as they lie now.
    std::vector<TCard> Cards;
    // The column of the player's table the cards go to (Meld, AddWild).
    int Column = 0;
    // The gesture that starts the move (the click or drop to make).
    TMove Move;
    // What to do and why, one line each.
    std::string What;
    std::string Why;
    // The level that was asked (its index in the game's level table), -1 when none.
    int Level = -1;
};

// The seed of the fresh deal of the hidden cards: the same position always
// gives the same deal (and so the same hint), it reads nothing hidden, and
// it stays the same while the player's cards only move between the hand and
// the table, so the whole of a turn is judged on one deal.
uint32_t HintSeed(const TGame& game);

// The game as the player's seat knows it: a copy reporting to host, with the
// hidden cards dealt afresh (seeded by seed) into the places they take.
// The copy's levels are the game's; the caller installs others before playing.
void DealHiddenCards(TGame& copy, uint32_t seed);

// The index of the strongest installed level (the highest one), -1 when none.
int StrongestLevel(const TGame& game);

// Makes copy the position the level is asked about, as it will see it: a
// provisional take of the pile given back (a level takes the pile whole), the
// melds of this turn taken back (it plans the turn's melding whole), the
// hidden cards dealt afresh with the seed of that position, the player's
// melded points where a level keeps them. False when the player has no move.
bool PrepareHintPosition(TGame& copy);

// Whether the hint's level plays the turn from its pick-up (the player has
// neither drawn nor taken the pile) on a copy made by PrepareHintPosition.
bool HintFromTurnStart(const TGame& copy);

// The hint for the player's seat of game; Kind None (with a reason in Why)
// when the player has no move now or no level is installed.
THint ComputeHint(const TGame& game);

}  // namespace canasta
