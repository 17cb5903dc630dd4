// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The eight top-ten lists of winning margins: per level (Beginner, Advanced,
// Expert, network game) and per kind (single hand, whole match).
#include <array>
#include <cstdint>
#include <string>

#include "model/Settings.h"

namespace canasta {

struct THighScoreEntry {
    int32_t Score = 0;
    std::string Date;
    std::string Name;
    friend bool operator==(const THighScoreEntry&, const THighScoreEntry&) = default;
};

using THighScoreList = std::array<THighScoreEntry, 10>;

enum THighScoreKind { hsHand = 0, hsMatch = 1 };
constexpr int kHighScoreLevels = 5;  // 0 Beginner, 1 Advanced, 2 Expert, 3 network game, 4 Master

// "Beginner", "Advanced", "Expert", "NetworkGame", "Master".
const char* HighScoreLevelName(int level);
// The settings sub-key of a list: level name + "" or "Match".
std::string HighScoreSubKey(int level, int kind);

// What entering a high score needs from the window.
class IHighScoreUi {
public:
    virtual ~IHighScoreUi() = default;
    virtual bool ShowHighScores() = 0;  // the "Show highscores" setting
    virtual void PlayHighScoreSound() = 0;
    // Input box; returns false when cancelled.
    virtual bool AskName(const std::string& caption, const std::string& prompt, std::string& name) = 0;
    // The Hall of Fame dialog on that level and kind with one row in bold (1..10).
    virtual void ShowHallOfFame(int level, int kind, int boldRow) = 0;
    virtual std::string Today() = 0;
};

class THighScores {
public:
    std::array<std::array<THighScoreList, kHighScoreLevels>, 2> Tables{};  // [kind][level]

    void Load(ISettingsStore* store);
    void SaveList(ISettingsStore* store, int level, int kind) const;
    // Empties a list in memory and deletes its stored sub-key.
    void Clear(ISettingsStore* store, int level, int kind);

    // Offers a margin (human side minus opponent) to a list. Returns the row
    // entered (1..10) or 0. nameAsked / playerName carry the name asked for
    // during one game-over from the hand entry to the match entry.
    int Enter(ISettingsStore* store, IHighScoreUi& ui, int level, int kind, int margin, std::string& playerName,
              const std::string& opponentName, bool& nameAsked);
};

}  // namespace canasta
