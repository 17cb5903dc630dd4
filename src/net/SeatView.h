// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The opponent's seat seen as a player seat: a scratch copy of the game with
// the two seats exchanged. The receiver asks it the questions the sender's
// own rules asked (may the pile be taken, do the melds allow going out), so
// both copies decide with the same code.
#include <memory>

#include "model/Game.h"

namespace canasta {

class TOpponentView {
public:
    // topCardPending: the opponent's take of the pile is still provisional.
    TOpponentView(const TGame& game, bool topCardPending);
    ~TOpponentView();
    TOpponentView(const TOpponentView&) = delete;
    TOpponentView& operator=(const TOpponentView&) = delete;

    TGame& Game() { return *View; }

private:
    THeadlessHost Host;
    std::unique_ptr<TGame> View;
};

}  // namespace canasta
