// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The human players with their match wins and losses; one is the current player.
#include <memory>
#include <string>
#include <vector>

#include "model/Settings.h"

namespace canasta {

struct TWinRatio {
    TWinRatio(int wins = 0, int losses = 0) : Wins(wins), Losses(losses) {}
    int Wins, Losses;
};

struct TPlayer {
    std::string Name;
    // Shared between the live list and a dialog's working copy.
    std::shared_ptr<TWinRatio> Ratio;
};

class TPlayers {
public:
    std::vector<TPlayer> List;
    int Current = -1;

    const TPlayer* CurrentPlayer() const {
        return Current >= 0 && Current < int(List.size()) ? &List[static_cast<size_t>(Current)] : nullptr;
    }
    std::string CurrentName() const { return CurrentPlayer() ? CurrentPlayer()->Name : std::string(); }
    int IndexOf(const std::string& name) const;

    void Load(ISettingsStore* store);
    // Writes the current player as number 1, then the others in list order.
    void Save(ISettingsStore* store) const;
    // Deletes the stored list first (entries may have gone), then saves.
    void Rewrite(ISettingsStore* store) const;
    // Counts a finished match for the current player and saves.
    void RecordMatchResult(ISettingsStore* store, int playerTotal, int opponentTotal);
};

// "75%", "33%", "?" for a player without matches.
std::string RatioText(const TWinRatio& r);
// Names may not contain a comma: the stored form separates fields with it.
bool IsValidPlayerName(const std::string& name);

}  // namespace canasta
