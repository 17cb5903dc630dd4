// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window keeps of a search running on a worker thread: its own copy
// of the game and of the level, and the decisions it comes back with.
#include <memory>
#include <thread>

#include "ai/Master.h"
#include "table/CanMain.h"

namespace canasta {

struct TfmCanMain::TThought {
    // The level that plays the turn once the search is done.
    TMaster* Level = nullptr;
    // Where the game stood: a plan is followed only on that same position.
    uint64_t Position = 0;
    THeadlessHost Host;
    std::unique_ptr<TGame> Copy;
    std::unique_ptr<TMaster> Thinker;
    TMasterPlan Plan;
    bool Planned = false;
    std::thread Worker;
};

}  // namespace canasta
