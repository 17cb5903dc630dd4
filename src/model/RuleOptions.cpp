// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/RuleOptions.h"

namespace canasta {

TRuleOptions StandardRules() {
    TRuleOptions r;
    r.AddToCanasta = false;
    r.TopCardCounts = true;
    r.InitiallyFrozen = true;
    r.FrozenPerPlayer = true;
    r.NaturalPair = false;
    r.PairForExistingMeld = false;
    r.RedThreeDrawsExtra = true;
    r.RedThreeFreezes = false;
    r.CanastaRequired = false;
    r.BonusCounts = false;
    r.WildCanastaAllowed = false;
    r.CanastasToGoOut = 2;
    r.CardsDrawn = 2;
    return r;
}

static int OneOrTwo(int v, int def) { return v == 1 || v == 2 ? v : def; }

TRuleOptions LoadRuleOptions(ISettingsStore* store) {
    TRuleOptions d;
    TRuleOptions r;
    r.CanastaRequired = ReadBool(store, "Settings\\Canasta required", d.CanastaRequired);
    r.CanastasToGoOut = OneOrTwo(ReadInt(store, rulekeys::CanastasToGoOut, d.CanastasToGoOut), d.CanastasToGoOut);
    r.CardsDrawn = OneOrTwo(ReadInt(store, rulekeys::CardsDrawn, d.CardsDrawn), d.CardsDrawn);
    r.AddToCanasta = ReadBool(store, rulekeys::AddToCanasta, d.AddToCanasta);
    r.TopCardCounts = ReadBool(store, rulekeys::TopCardCounts, d.TopCardCounts);
    r.InitiallyFrozen = ReadBool(store, rulekeys::InitiallyFrozen, d.InitiallyFrozen);
    r.NaturalPair = ReadBool(store, rulekeys::NaturalPair, d.NaturalPair);
    r.PairForExistingMeld = ReadBool(store, rulekeys::PairForExistingMeld, d.PairForExistingMeld);
    r.RedThreeDrawsExtra = ReadBool(store, rulekeys::RedThreeDrawsExtra, d.RedThreeDrawsExtra);
    r.RedThreeFreezes = ReadBool(store, rulekeys::RedThreeFreezes, d.RedThreeFreezes);
    r.BonusCounts = ReadBool(store, rulekeys::BonusCounts, d.BonusCounts);
    r.FrozenPerPlayer = ReadBool(store, rulekeys::FrozenPerPlayer, d.FrozenPerPlayer);
    r.WildCanastaAllowed = ReadBool(store, rulekeys::WildCanastaAllowed, d.WildCanastaAllowed);
    return r;
}

void SaveRuleOptions(ISettingsStore* store, const TRuleOptions& o) {
    WriteBool(store, rulekeys::CanastaRequired, o.CanastaRequired);
    WriteInt(store, rulekeys::CanastasToGoOut, o.CanastasToGoOut);
    WriteInt(store, rulekeys::CardsDrawn, o.CardsDrawn);
    WriteBool(store, rulekeys::AddToCanasta, o.AddToCanasta);
    WriteBool(store, rulekeys::TopCardCounts, o.TopCardCounts);
    WriteBool(store, rulekeys::InitiallyFrozen, o.InitiallyFrozen);
    WriteBool(store, rulekeys::NaturalPair, o.NaturalPair);
    WriteBool(store, rulekeys::PairForExistingMeld, o.PairForExistingMeld);
    WriteBool(store, rulekeys::RedThreeDrawsExtra, o.RedThreeDrawsExtra);
    WriteBool(store, rulekeys::RedThreeFreezes, o.RedThreeFreezes);
    WriteBool(store, rulekeys::BonusCounts, o.BonusCounts);
    WriteBool(store, rulekeys::FrozenPerPlayer, o.FrozenPerPlayer);
    WriteBool(store, rulekeys::WildCanastaAllowed, o.WildCanastaAllowed);
}

}  // namespace canasta
