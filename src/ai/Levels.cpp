// SPDX-License-Identifier: GPL-3.0-or-later
#include "ai/Levels.h"

namespace canasta {

TComputerLevels::TComputerLevels(TGame& game) : Game(game) {
    Advanced.ShareState(State);
    Expert.ShareState(State);
    Game.Levels = {&Beginner, &Advanced, &Expert};
}

TComputerLevels::~TComputerLevels() {
    for (IComputerLevel*& level : Game.Levels)
        if (level == &Beginner || level == &Advanced || level == &Expert) level = nullptr;
}

std::unique_ptr<TComputerLevels> InstallComputerLevels(TGame& game) { return std::make_unique<TComputerLevels>(game); }

}  // namespace canasta
