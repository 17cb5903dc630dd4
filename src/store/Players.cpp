// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/Players.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "store/SettingsCatalog.h"

namespace canasta {

static constexpr const char* kPlayerKey = "Player Names";

int TPlayers::IndexOf(const std::string& name) const {
    for (size_t i = 0; i < List.size(); ++i)
        if (List[i].Name == name) return static_cast<int>(i);
    return -1;
}

static int ParseCount(const std::string& s) {
    int v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && v >= 0 ? v : 0;
}

void TPlayers::Load(ISettingsStore* store) {
    List.clear();
    Current = -1;
    for (int n = 1;; ++n) {
        const std::string value = ReadString(store, std::string(kPlayerKey) + "\\PlayerName" + std::to_string(n), "");
        if (value.empty()) break;
        const size_t a = value.find(',');
        const std::string name = value.substr(0, a);
        std::string rest = a == std::string::npos ? "" : value.substr(a + 1);
        const size_t b = rest.find(',');
        const int wins = ParseCount(rest.substr(0, b));
        const int losses = b == std::string::npos ? 0 : ParseCount(rest.substr(b + 1));
        List.push_back({name, std::make_shared<TWinRatio>(wins, losses)});
    }
    if (!List.empty()) Current = 0;
    for (const TPlayer& p : List) p.Stats->Load(store, StatisticsSubKey(&p.Name));
    Default.Stats->Load(store, StatisticsSubKey(nullptr));
    *Default.Ratio = TWinRatio(std::max(0, ReadInt(store, settings::DefaultPlayerWins, 0)),
                               std::max(0, ReadInt(store, settings::DefaultPlayerLosses, 0)));
}

void TPlayers::Save(ISettingsStore* store) const {
    if (List.empty()) return;
    auto text = [](const TPlayer& p) {
        return p.Name + "," + std::to_string(p.Ratio->Wins) + "," + std::to_string(p.Ratio->Losses);
    };
    // The current player comes first; with none chosen the list starts at
    // the first name all the same, or a load would find no player at all.
    int n = 1;
    if (const TPlayer* c = CurrentPlayer())
        WriteString(store, std::string(kPlayerKey) + "\\PlayerName" + std::to_string(n++), text(*c));
    for (size_t i = 0; i < List.size(); ++i) {
        if (static_cast<int>(i) == Current) continue;
        WriteString(store, std::string(kPlayerKey) + "\\PlayerName" + std::to_string(n++), text(List[i]));
    }
}

void TPlayers::Rewrite(ISettingsStore* store) const {
    if (store) {
        store->DeleteSubKey(kPlayerKey);
        store->DeleteSubKey(NamedStatisticsKey());
    }
    Save(store);
    for (const TPlayer& p : List) SaveStatistics(store, p);
}

void TPlayers::RecordMatchResult(ISettingsStore* store, int playerTotal, int opponentTotal) {
    const TPlayer& p = Playing();
    if (playerTotal > opponentTotal) ++p.Ratio->Wins;
    if (playerTotal < opponentTotal) ++p.Ratio->Losses;
    if (IsDefault(p)) {
        WriteInt(store, settings::DefaultPlayerWins, p.Ratio->Wins);
        WriteInt(store, settings::DefaultPlayerLosses, p.Ratio->Losses);
    } else {
        Save(store);
    }
}

void TPlayers::RecordHand(ISettingsStore* store, const std::string& opponent, int own, int other) {
    Playing().Stats->RecordHand(opponent, own, other);
    SaveStatistics(store, Playing(), &opponent);
}

void TPlayers::RecordMatch(ISettingsStore* store, const std::string& opponent, int own, int other) {
    Playing().Stats->RecordMatch(opponent, own, other);
    SaveStatistics(store, Playing(), &opponent);
}

void TPlayers::SaveStatistics(ISettingsStore* store, const TPlayer& player, const std::string* opponent) const {
    player.Stats->Save(store, StatisticsSubKey(IsDefault(player) ? nullptr : &player.Name), opponent);
}

void TPlayers::ResetStatistics(ISettingsStore* store, const TPlayer& player) const {
    *player.Ratio = TWinRatio();
    *player.Stats = TPlayerStatistics();
    // The default player's wins and losses go with its sub-key.
    if (store) store->DeleteSubKey(StatisticsSubKey(IsDefault(player) ? nullptr : &player.Name));
}

std::string RatioText(const TWinRatio& r) {
    const int games = r.Wins + r.Losses;
    if (games <= 0) return "?";
    return std::to_string(static_cast<int>(std::lround(100.0 * r.Wins / games))) + "%";
}

bool IsValidPlayerName(const std::string& name) { return !name.empty() && name.find(',') == std::string::npos; }

}  // namespace canasta
