// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/Statistics.h"

#include <algorithm>
#include <charconv>

#include "store/SettingsCatalog.h"

namespace canasta {

namespace {

constexpr const char* kVersus = "Versus";
constexpr const char* kHandScoreSum = "Hand Score Sum";
constexpr const char* kBestHand = "Best Hand";
constexpr const char* kBestMatch = "Best Match";
constexpr const char* kStreak = "Streak";
constexpr const char* kLongestStreak = "Longest Streak";

template <class T>
T ParseNumber(const std::string& s, bool& ok) {
    T v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    ok = ec == std::errc() && p == s.data() + s.size();
    return ok ? v : 0;
}

// "hands played,hands won,matches played,matches won". A count that does not
// read as a count, or more won than played, leaves the whole tally out.
std::optional<TTally> ParseTally(const std::string& text) {
    int32_t n[4] = {};
    size_t from = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t comma = text.find(',', from);
        if ((i < 3) != (comma != std::string::npos)) return std::nullopt;
        bool ok = false;
        n[i] = ParseNumber<int32_t>(text.substr(from, i < 3 ? comma - from : std::string::npos), ok);
        if (!ok || n[i] < 0) return std::nullopt;
        from = comma + 1;
    }
    if (n[1] > n[0] || n[3] > n[2]) return std::nullopt;
    return TTally{n[0], n[1], n[2], n[3]};
}

std::string TallyText(const TTally& t) {
    return std::to_string(t.HandsPlayed) + "," + std::to_string(t.HandsWon) + "," + std::to_string(t.MatchesPlayed) +
           "," + std::to_string(t.MatchesWon);
}

std::optional<int32_t> ReadOptionalInt(ISettingsStore* store, const std::string& path) {
    if (!store) return std::nullopt;
    return ValueToInt(store->ReadValue(path, std::monostate{}));
}

}  // namespace

void TPlayerStatistics::RecordHand(const std::string& opponent, int32_t own, int32_t other) {
    TTally& t = ByOpponent[opponent];
    ++t.HandsPlayed;
    if (own > other) ++t.HandsWon;
    HandScoreSum += own;
    BestHand = BestHand ? std::max(*BestHand, own) : own;
}

void TPlayerStatistics::RecordMatch(const std::string& opponent, int32_t own, int32_t other) {
    TTally& t = ByOpponent[opponent];
    ++t.MatchesPlayed;
    if (own > other) {
        ++t.MatchesWon;
        LongestStreak = std::max(LongestStreak, ++Streak);
    } else {
        Streak = 0;
    }
    BestMatch = BestMatch ? std::max(*BestMatch, own) : own;
}

TTally TPlayerStatistics::Total() const {
    TTally sum;
    for (const auto& [name, t] : ByOpponent) {
        sum.HandsPlayed += t.HandsPlayed;
        sum.HandsWon += t.HandsWon;
        sum.MatchesPlayed += t.MatchesPlayed;
        sum.MatchesWon += t.MatchesWon;
    }
    return sum;
}

std::optional<double> TPlayerStatistics::AverageHandScore() const {
    const int32_t hands = Total().HandsPlayed;
    if (hands <= 0) return std::nullopt;
    return static_cast<double>(HandScoreSum) / hands;
}

void TPlayerStatistics::Load(ISettingsStore* store, const std::string& subKey) {
    *this = {};
    if (!store) return;
    const std::string versus = subKey + "\\" + kVersus;
    const std::vector<std::string> known = KnownOpponents();
    for (const std::string& listed : store->ListNames(versus)) {
        const auto t = ParseTally(ReadString(store, versus + "\\" + listed, ""));
        if (!t) continue;
        // Names come back in the store's spelling; a known opponent keeps its own.
        std::string name = listed;
        for (const std::string& k : known)
            if (LowerAscii(k) == LowerAscii(listed)) name = k;
        ByOpponent[name] = *t;
    }
    bool ok = false;
    HandScoreSum = ParseNumber<int64_t>(ReadString(store, subKey + "\\" + kHandScoreSum, "0"), ok);
    BestHand = ReadOptionalInt(store, subKey + "\\" + kBestHand);
    BestMatch = ReadOptionalInt(store, subKey + "\\" + kBestMatch);
    Streak = std::max(0, ReadInt(store, subKey + "\\" + kStreak, 0));
    LongestStreak = std::max(Streak, ReadInt(store, subKey + "\\" + kLongestStreak, 0));
}

void TPlayerStatistics::Save(ISettingsStore* store, const std::string& subKey, const std::string* opponent) const {
    if (!store) return;
    // Each write is a transaction of its own: after a game only its opponent's counts changed.
    for (const auto& [name, t] : ByOpponent)
        if (!opponent || name == *opponent) WriteString(store, subKey + "\\" + kVersus + "\\" + name, TallyText(t));
    WriteString(store, subKey + "\\" + kHandScoreSum, std::to_string(HandScoreSum));
    if (BestHand) WriteInt(store, subKey + "\\" + kBestHand, *BestHand);
    if (BestMatch) WriteInt(store, subKey + "\\" + kBestMatch, *BestMatch);
    WriteInt(store, subKey + "\\" + kStreak, Streak);
    WriteInt(store, subKey + "\\" + kLongestStreak, LongestStreak);
}

std::vector<std::string> KnownOpponents() {
    std::vector<std::string> names(settings::LevelNames.begin(), settings::LevelNames.end());
    names.emplace_back(kNetworkOpponent);
    return names;
}

std::string OpponentKey(int level, bool networked) {
    if (networked) return kNetworkOpponent;
    const int last = static_cast<int>(settings::LevelNames.size()) - 1;
    return settings::LevelNames[static_cast<size_t>(std::clamp(level, 0, last))];
}

std::string NamedStatisticsKey() { return std::string(settings::StatisticsKey) + "\\Named"; }

std::string StatisticsSubKey(const std::string* playerName) {
    if (!playerName) return std::string(settings::StatisticsKey) + "\\Default";
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string key = NamedStatisticsKey() + "\\";
    for (const unsigned char c : *playerName) {
        key += kHex[c >> 4];
        key += kHex[c & 15];
    }
    return key;
}

}  // namespace canasta
