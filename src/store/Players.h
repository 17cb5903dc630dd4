// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The human players with their match wins and losses; one is the current player.
#include <memory>
#include <string>
#include <vector>

#include "model/Settings.h"
#include "store/Statistics.h"

namespace canasta {

struct TWinRatio {
    TWinRatio(int wins = 0, int losses = 0) : Wins(wins), Losses(losses) {}
    int Wins, Losses;
};

struct TPlayer {
    std::string Name;
    // Shared between the live list and a dialog's working copy.
    std::shared_ptr<TWinRatio> Ratio;
    std::shared_ptr<TPlayerStatistics> Stats = std::make_shared<TPlayerStatistics>();
};

class TPlayers {
public:
    std::vector<TPlayer> List;
    int Current = -1;
    // Whose games count while no player is chosen; the table calls them "Player".
    TPlayer Default{"Player", std::make_shared<TWinRatio>()};

    const TPlayer* CurrentPlayer() const {
        return Current >= 0 && Current < int(List.size()) ? &List[static_cast<size_t>(Current)] : nullptr;
    }
    std::string CurrentName() const { return CurrentPlayer() ? CurrentPlayer()->Name : std::string(); }
    int IndexOf(const std::string& name) const;

    // The player the games count for: the current one, else the default player.
    const TPlayer& Playing() const { return CurrentPlayer() ? *CurrentPlayer() : Default; }
    // Whether p is the default player rather than one of the list.
    bool IsDefault(const TPlayer& p) const { return &p == &Default; }

    // The players with their statistics, and the default player's.
    void Load(ISettingsStore* store);
    // Writes the current player as number 1, then the others in list order.
    void Save(ISettingsStore* store) const;
    // Deletes the stored list and the named players' statistics first
    // (entries may have gone, names changed), then saves both.
    void Rewrite(ISettingsStore* store) const;
    // Counts a finished match in the win ratio of the current player (or of
    // the default player) and saves it.
    void RecordMatchResult(ISettingsStore* store, int playerTotal, int opponentTotal);

    // Statistics of the playing player, saved at once.
    void RecordHand(ISettingsStore* store, const std::string& opponent, int own, int other);
    void RecordMatch(ISettingsStore* store, const std::string& opponent, int own, int other);
    // Sets a player's wins, losses and statistics back to zero, in memory
    // and in the store (a named player's win ratio is written by the caller,
    // with the list).
    void ResetStatistics(ISettingsStore* store, const TPlayer& player) const;
    void SaveStatistics(ISettingsStore* store, const TPlayer& player, const std::string* opponent = nullptr) const;
};

// "75%", "33%", "?" for a player without matches.
std::string RatioText(const TWinRatio& r);
// Names may not contain a comma: the stored form separates fields with it.
bool IsValidPlayerName(const std::string& name);

}  // namespace canasta
