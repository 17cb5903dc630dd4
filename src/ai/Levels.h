// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The computer levels of one game, installed into its level table.
#include <memory>

#include "ai/Advanced.h"
#include "ai/Beginner.h"
#include "ai/Expert.h"
#include "ai/Master.h"

namespace canasta {

// Owns the levels of one game (the Advanced and the Expert share one
// TExpertState, as the game keeps one). Each TGame needs its own owner: the
// levels keep state between turns. Installed into a game, they take themselves
// out of its level table on Withdraw or destruction, whichever comes first; a
// game that goes first must be withdrawn from before.
class TComputerLevels {
public:
    // Levels of no game yet, for an owner built before its game.
    TComputerLevels();
    // Installed into game at once.
    explicit TComputerLevels(TGame& game);
    ~TComputerLevels();
    TComputerLevels(const TComputerLevels&) = delete;
    TComputerLevels& operator=(const TComputerLevels&) = delete;

    TExpertState State;
    TBeginner Beginner;
    TAdvanced Advanced;
    TExpert Expert;
    // Keeps a state of its own: it plays no turn of another level.
    TMaster Master;

    // Makes these game.Levels[0..3], withdrawn first from a game they were installed into.
    void Install(TGame& game);
    // Takes these levels out of the game they were installed into, if any.
    void Withdraw();

private:
    TGame* Game = nullptr;
};

// Installs Beginner, Advanced, Expert and Master as game.Levels[0..3]; keep the result
// as long as the game lives.
std::unique_ptr<TComputerLevels> InstallComputerLevels(TGame& game);

}  // namespace canasta
