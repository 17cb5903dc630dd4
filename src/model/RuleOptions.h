// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The thirteen rule switches, their stored names and defaults.
#include <string>

#include "model/Settings.h"

namespace canasta {

struct TRuleOptions {
    bool CanastaRequired = false;
    int CanastasToGoOut = 1;  // 1 or 2
    int CardsDrawn = 1;       // 1 or 2
    bool AddToCanasta = true;
    bool TopCardCounts = true;
    bool InitiallyFrozen = true;
    bool NaturalPair = true;
    bool PairForExistingMeld = false;
    bool RedThreeDrawsExtra = true;
    bool RedThreeFreezes = false;
    bool BonusCounts = false;
    bool FrozenPerPlayer = true;
    bool WildCanastaAllowed = true;

    friend bool operator==(const TRuleOptions&, const TRuleOptions&) = default;
};

namespace rulekeys {
inline constexpr const char* CanastaRequired = "Settings\\Canasta Required";
inline constexpr const char* CanastasToGoOut = "Settings\\Number of Canastas";
inline constexpr const char* CardsDrawn = "Settings\\Number of Cards";
inline constexpr const char* AddToCanasta = "Settings\\Add to Canasta";
inline constexpr const char* TopCardCounts = "Settings\\Top Card Counts";
inline constexpr const char* InitiallyFrozen = "Settings\\Initial Block";
inline constexpr const char* NaturalPair = "Settings\\Natural Pair";
inline constexpr const char* PairForExistingMeld = "Settings\\Add Existing Meld";
inline constexpr const char* RedThreeDrawsExtra = "Settings\\Draw Extra";
inline constexpr const char* RedThreeFreezes = "Settings\\Three Block";
inline constexpr const char* BonusCounts = "Settings\\Bonus Counts";
inline constexpr const char* FrozenPerPlayer = "Settings\\Initial Block for Both";
inline constexpr const char* WildCanastaAllowed = "Settings\\Wildcard Canasta";
}  // namespace rulekeys

// The standard rules preset of the Rules dialog.
TRuleOptions StandardRules();

// Every switch drawn at random, always in this order (the simulator and the
// tests play each game under its own variant); next(n) gives 0 .. n-1.
template <class TNext>
TRuleOptions RandomRuleOptions(TNext&& next) {
    TRuleOptions o;
    o.CanastaRequired = next(2) != 0;
    o.CanastasToGoOut = 1 + static_cast<int>(next(2));
    o.CardsDrawn = 1 + static_cast<int>(next(2));
    o.AddToCanasta = next(2) != 0;
    o.TopCardCounts = next(2) != 0;
    o.InitiallyFrozen = next(2) != 0;
    o.NaturalPair = next(2) != 0;
    o.PairForExistingMeld = next(2) != 0;
    o.RedThreeDrawsExtra = next(2) != 0;
    o.RedThreeFreezes = next(2) != 0;
    o.BonusCounts = next(2) != 0;
    o.FrozenPerPlayer = next(2) != 0;
    o.WildCanastaAllowed = next(2) != 0;
    return o;
}

// Reads all thirteen values (defaults when absent; a null store gives the defaults).
TRuleOptions LoadRuleOptions(ISettingsStore* store);
// Writes all thirteen values, the two counts as 1 or 2.
void SaveRuleOptions(ISettingsStore* store, const TRuleOptions& options);

}  // namespace canasta
