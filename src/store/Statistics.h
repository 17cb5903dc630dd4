// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a player's hands and matches came to: counts per opponent (each
// computer level by its stored name, and network games), the hand scores,
// the best hand and match, and the winning streaks of matches.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/Settings.h"

namespace canasta {

struct TTally {
    int32_t HandsPlayed = 0, HandsWon = 0;
    int32_t MatchesPlayed = 0, MatchesWon = 0;
    friend bool operator==(const TTally&, const TTally&) = default;
};

class TPlayerStatistics {
public:
    // Keyed by opponent: a level's name as the settings store it, or
    // kNetworkOpponent. A level added later needs no change here.
    std::map<std::string, TTally> ByOpponent;
    // Sum of the player's own totals over every hand counted.
    int64_t HandScoreSum = 0;
    // The player's best own total of a hand and of a match.
    std::optional<int32_t> BestHand, BestMatch;
    // Matches won in a row, now and at most.
    int32_t Streak = 0, LongestStreak = 0;

    // A hand is won when the player's total beats the opponent's.
    void RecordHand(const std::string& opponent, int32_t own, int32_t other);
    // A draw or a loss ends the streak.
    void RecordMatch(const std::string& opponent, int32_t own, int32_t other);
    TTally Total() const;
    // Nothing when no hand was counted.
    std::optional<double> AverageHandScore() const;
    bool Empty() const { return Total() == TTally{} && Streak == 0 && LongestStreak == 0; }

    // Under a sub-key of the settings store (see StatisticsSubKey). Load
    // reads what is there and forgets the rest; Save writes every value, or
    // of the counts only those against one opponent.
    void Load(ISettingsStore* store, const std::string& subKey);
    void Save(ISettingsStore* store, const std::string& subKey, const std::string* opponent = nullptr) const;

    friend bool operator==(const TPlayerStatistics&, const TPlayerStatistics&) = default;
};

// The opponent key of network games.
inline constexpr const char* kNetworkOpponent = "Network";
// The opponent keys in the order they are shown: the computer levels of the
// settings, then network games.
std::vector<std::string> KnownOpponents();
// The opponent key of a computer level index (an unknown index counts as the
// strongest level), or of a network game.
std::string OpponentKey(int level, bool networked);

// Where a player's statistics are stored: the default player (no player
// chosen) has one sub-key, each named player one under "Named", spelled in
// hexadecimal so that any name (letter case, backslashes) gets a key of its
// own in a store whose paths ignore case.
std::string StatisticsSubKey(const std::string* playerName);
std::string NamedStatisticsKey();

}  // namespace canasta
