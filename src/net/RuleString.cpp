// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/RuleString.h"

#include <algorithm>

#include "net/Framing.h"

namespace canasta {

namespace {

constexpr const char* kTitles[kRuleFields] = {
    "Canasta Required for Positive Score",      "Number of Canastas required to go out",
    "Number of Cards drawn each turn",          "Add top card to Canasta",
    "Top card counts for initial meld",         "Discard Pile initially frozen",
    "Natural pair required for taking pile",    "Draw extra card for Red Three",
    "Discarding Red Three freezes pile",        "Canasta Bonus counts for initial meld",
    "Initial Freeze separate for both players", "Wildcard Canasta allowed",
    "Don't add top card to existing meld",
};

bool IsCount(int field) { return field == 1 || field == 2; }

std::string Shown(int field, const std::string& value) {
    if (IsCount(field)) return value == "1" ? "One" : "Two";
    return value == "T" ? "Yes" : "No";
}

std::string Flag(bool b) { return b ? "T" : "F"; }

}  // namespace

const char* RuleTitle(int field) { return field >= 0 && field < kRuleFields ? kTitles[field] : ""; }

std::string BuildRulesString(const TRuleOptions& r) {
    return JoinFields({Flag(r.CanastaRequired), std::to_string(r.CanastasToGoOut), std::to_string(r.CardsDrawn),
                       Flag(r.AddToCanasta), Flag(r.TopCardCounts), Flag(r.InitiallyFrozen), Flag(r.NaturalPair),
                       Flag(r.RedThreeDrawsExtra), Flag(r.RedThreeFreezes), Flag(r.BonusCounts),
                       Flag(r.FrozenPerPlayer), Flag(r.WildCanastaAllowed), Flag(r.PairForExistingMeld)});
}

std::vector<TRuleDifference> CompareRules(const std::string& own, const std::string& received,
                                          std::string& opponentRules) {
    std::vector<TRuleDifference> rows;
    opponentRules.clear();
    std::string a = own, b = received;
    for (int i = 0; i < kRuleFields; ++i) {
        const std::string mine = NextField(a);
        const std::string theirs = NextField(b);
        std::string piece = theirs + kFieldSep;
        if (opponentRules.size() < kMaxFrame) opponentRules += piece.substr(0, kMaxFrame - opponentRules.size());
        if (mine != theirs) rows.push_back({kTitles[i], Shown(i, mine), Shown(i, theirs)});
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const TRuleDifference& x, const TRuleDifference& y) { return x.Rule < y.Rule; });
    return rows;
}

TRuleOptions RulesFromString(const std::string& s, const TRuleOptions& fallback) {
    std::string rest = s;
    std::string f[kRuleFields];
    for (std::string& field : f) field = NextField(rest);
    auto count = [](const std::string& v, int keep) { return v == "1" ? 1 : v == "2" ? 2 : keep; };
    TRuleOptions r = fallback;
    r.CanastaRequired = f[0] == "T";
    r.CanastasToGoOut = count(f[1], fallback.CanastasToGoOut);
    r.CardsDrawn = count(f[2], fallback.CardsDrawn);
    r.AddToCanasta = f[3] == "T";
    r.TopCardCounts = f[4] == "T";
    r.InitiallyFrozen = f[5] == "T";
    r.NaturalPair = f[6] == "T";
    r.RedThreeDrawsExtra = f[7] == "T";
    r.RedThreeFreezes = f[8] == "T";
    r.BonusCounts = f[9] == "T";
    r.FrozenPerPlayer = f[10] == "T";
    r.WildCanastaAllowed = f[11] == "T";
    r.PairForExistingMeld = f[12] == "T";
    return r;
}

}  // namespace canasta
