// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What happens next. The operations of TGame change the state and return: a
// discard hands the turn over, a hand that is over is scored, and that is all.
// The driver runs the steps that follow and need no one's input: the
// computer's turn, the end of a hand (the Game Over question at the end of a
// match) and the next deal. The table window, the simulator, the tests and
// network play all run the game through it.
#include "model/Game.h"

namespace canasta {

class TGameDriver {
public:
    explicit TGameDriver(TGame& game) : G(game) {}

    // Runs the pending steps until a person or the remote side is to move,
    // the Game Over answer is awaited, or the host is still presenting what
    // earlier steps did (then the host runs the driver again when it is done).
    void Run();
    // Runs one pending step; false when there was none to run now.
    bool Step();
    // The answer to the Game Over window's question; false ends the program.
    void AnswerAnotherMatch(bool again);

    // Whether the driver has a step to run once the host is done presenting.
    bool HasPendingStep() const;

private:
    void PlayComputerTurn();
    // After a scored hand: the match end, then the next deal (if this side deals).
    // False while the Game Over answer is awaited.
    bool FinishHandEnd();
    void DealNextIfOurs();

    TGame& G;
};

}  // namespace canasta
