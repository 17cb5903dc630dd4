// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rule options as the thirteen fields of a "RULES" token, and the
// comparison with the opponent's.
#include <string>
#include <vector>

#include "model/RuleOptions.h"

namespace canasta {

inline constexpr int kRuleFields = 13;

// Row titles of the thirteen fields, in field order.
const char* RuleTitle(int field);

// Flags "T"/"F", the two counts as decimal, joined by 0xFE without a trailing separator.
std::string BuildRulesString(const TRuleOptions& rules);

struct TRuleDifference {
    std::string Rule;   // row title
    std::string Yours;  // "Yes"/"No" or "One"/"Two"
    std::string Opponents;
    friend bool operator==(const TRuleDifference&, const TRuleDifference&) = default;
};

// Compares field by field (missing fields compare as empty texts); the rows
// are sorted by title. opponentRules receives each received field followed by
// 0xFE, at most 255 bytes.
std::vector<TRuleDifference> CompareRules(const std::string& own, const std::string& received,
                                          std::string& opponentRules);

// The options a rule string stands for: a flag is true exactly when its field
// is "T"; a count takes the field's value when it is 1 or 2 and keeps the
// fallback's otherwise (a garbled count must not set an impossible rule).
TRuleOptions RulesFromString(const std::string& rules, const TRuleOptions& fallback);

}  // namespace canasta
