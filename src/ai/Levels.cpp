// SPDX-License-Identifier: GPL-3.0-or-later
#include "ai/Levels.h"

namespace canasta {

TComputerLevels::TComputerLevels() {
    Advanced.ShareState(State);
    Expert.ShareState(State);
    Master.Budget = DefaultMasterBudget();
}

TComputerLevels::TComputerLevels(TGame& game) : TComputerLevels() { Install(game); }

TComputerLevels::~TComputerLevels() { Withdraw(); }

void TComputerLevels::Install(TGame& game) {
    Withdraw();
    Game = &game;
    Game->Levels = {&Beginner, &Advanced, &Expert, &Master};
}

void TComputerLevels::Withdraw() {
    if (!Game) return;
    for (IComputerLevel*& level : Game->Levels)
        if (level == &Beginner || level == &Advanced || level == &Expert || level == &Master) level = nullptr;
    Game = nullptr;
}

std::unique_ptr<TComputerLevels> InstallComputerLevels(TGame& game) { return std::make_unique<TComputerLevels>(game); }

}  // namespace canasta
