// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three computer levels of one game, installed into its level table.
#include <memory>

#include "ai/Advanced.h"
#include "ai/Beginner.h"
#include "ai/Expert.h"

namespace canasta {

// Owns the levels of one game (the Advanced and the Expert share one
// TExpertState, as the game keeps one). Each TGame needs its own owner: the
// levels keep state between turns. Installs itself on construction and takes
// itself out of the game's level table on destruction; must not outlive the game.
class TComputerLevels {
public:
    explicit TComputerLevels(TGame& game);
    ~TComputerLevels();
    TComputerLevels(const TComputerLevels&) = delete;
    TComputerLevels& operator=(const TComputerLevels&) = delete;

    TExpertState State;
    TBeginner Beginner;
    TAdvanced Advanced;
    TExpert Expert;

private:
    TGame& Game;
};

// Installs Beginner, Advanced and Expert as game.Levels[0..2]; keep the result
// as long as the game lives.
std::unique_ptr<TComputerLevels> InstallComputerLevels(TGame& game);

}  // namespace canasta
