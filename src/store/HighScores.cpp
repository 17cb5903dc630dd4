// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/HighScores.h"

#include "store/SettingsCatalog.h"

namespace canasta {

const char* HighScoreLevelName(int level) {
    return settings::HighScoreLevels[static_cast<size_t>(level >= 0 && level < kHighScoreLevels ? level : 2)];
}

std::string HighScoreSubKey(int level, int kind) { return settings::HighScoreKey(level, kind == hsMatch); }

void THighScores::Load(ISettingsStore* store) {
    for (int kind = 0; kind < 2; ++kind)
        for (int level = 0; level < kHighScoreLevels; ++level) {
            const bool match = kind == hsMatch;
            for (int n = 1; n <= 10; ++n) {
                THighScoreEntry& e =
                    Tables[static_cast<size_t>(kind)][static_cast<size_t>(level)][static_cast<size_t>(n - 1)];
                e.Score = ReadInt(store, settings::HighScoreScorePath(level, match, n), 0);
                e.Name = ReadString(store, settings::HighScoreNamePath(level, match, n), "");
                e.Date = ReadString(store, settings::HighScoreDatePath(level, match, n), "");
            }
        }
}

void THighScores::SaveList(ISettingsStore* store, int level, int kind) const {
    const bool match = kind == hsMatch;
    const THighScoreList& list = Tables[static_cast<size_t>(kind)][static_cast<size_t>(level)];
    for (int n = 1; n <= 10; ++n) {
        const THighScoreEntry& e = list[static_cast<size_t>(n - 1)];
        WriteInt(store, settings::HighScoreScorePath(level, match, n), e.Score);
        WriteString(store, settings::HighScoreNamePath(level, match, n), e.Name);
        WriteString(store, settings::HighScoreDatePath(level, match, n), e.Date);
    }
}

void THighScores::Clear(ISettingsStore* store, int level, int kind) {
    Tables[static_cast<size_t>(kind)][static_cast<size_t>(level)] = {};
    if (store) store->DeleteSubKey(HighScoreSubKey(level, kind));
}

int THighScores::Enter(ISettingsStore* store, IHighScoreUi& ui, int level, int kind, int margin,
                       std::string& playerName, const std::string& opponentName, bool& nameAsked) {
    if (level < 0 || level >= kHighScoreLevels) level = 2;
    THighScoreList& list = Tables[static_cast<size_t>(kind)][static_cast<size_t>(level)];
    const int m = margin < 0 ? -margin : margin;
    if (m <= list[9].Score) return 0;
    // Equal scores stay above the newcomer.
    int row = 10;
    while (row > 1 && list[static_cast<size_t>(row - 2)].Score < m) --row;
    for (int i = 9; i > row - 1; --i) list[static_cast<size_t>(i)] = list[static_cast<size_t>(i - 1)];
    THighScoreEntry& e = list[static_cast<size_t>(row - 1)];
    e = {};
    e.Score = m;
    e.Date = ui.Today();
    const bool show = ui.ShowHighScores();
    if (margin < 1) {
        e.Name = opponentName;
    } else {
        if (show) {
            ui.PlayHighScoreSound();
            if (!nameAsked) {
                std::string name = playerName;
                if (ui.AskName(kind == hsHand ? "Hand Score in Highscore List" : "Match Score in Highscore List",
                               "Enter your name:", name))
                    playerName = name;
                nameAsked = true;
            }
        }
        e.Name = playerName;
    }
    if (e.Name.size() > 255) e.Name.resize(255);
    if (show) ui.ShowHallOfFame(level, kind, row);
    SaveList(store, level, kind);
    return row;
}

}  // namespace canasta
