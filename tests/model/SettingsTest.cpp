// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/RuleOptions.h"
#include "model/Settings.h"

using namespace canasta;

TEST(RuleOptions, DefaultsWithoutStoredValues) {
    TMemorySettings empty;
    TRuleOptions r = LoadRuleOptions(&empty);
    EXPECT_EQ(r, TRuleOptions{});
    EXPECT_EQ(r.CanastasToGoOut, 1);
    EXPECT_EQ(r.CardsDrawn, 1);
    EXPECT_TRUE(r.AddToCanasta && r.TopCardCounts && r.InitiallyFrozen && r.NaturalPair && r.RedThreeDrawsExtra &&
                r.FrozenPerPlayer && r.WildCanastaAllowed);
    EXPECT_FALSE(r.PairForExistingMeld || r.RedThreeFreezes || r.BonusCounts || r.CanastaRequired);
    EXPECT_EQ(LoadRuleOptions(nullptr), TRuleOptions{});
}

TEST(RuleOptions, SaveAndLoadRoundTripWithCaseInsensitiveNames) {
    TMemorySettings store;
    TRuleOptions r = StandardRules();
    r.CanastaRequired = true;
    SaveRuleOptions(&store, r);
    EXPECT_EQ(LoadRuleOptions(&store), r);
    // The loader spells one name differently; both address the same value.
    EXPECT_EQ(ReadBool(&store, "settings\\CANASTA REQUIRED", false), true);
    EXPECT_EQ(ReadInt(&store, "Settings\\Number of Canastas", 0), 2);
}

TEST(RuleOptions, OutOfRangeCountsFallBackToDefaults) {
    TMemorySettings store;
    store.WriteValue("Settings\\Number of Cards", int32_t(7));
    store.WriteValue("Settings\\Number of Canastas", std::string("Two"));
    TRuleOptions r = LoadRuleOptions(&store);
    EXPECT_EQ(r.CardsDrawn, 1);
    EXPECT_EQ(r.CanastasToGoOut, 1);
}

TEST(Settings, ValueConversionsAndPaths) {
    EXPECT_TRUE(ValueToBool(int32_t(5), false));
    EXPECT_FALSE(ValueToBool(int32_t(0), true));
    EXPECT_TRUE(ValueToBool(std::string("Yes"), false));
    EXPECT_FALSE(ValueToBool(std::string("off"), true));
    EXPECT_TRUE(ValueToBool(std::string("banana"), true));  // unknown text: the default decides
    EXPECT_EQ(ValueToInt(std::string(" 42 ")), 42);
    EXPECT_FALSE(ValueToInt(std::string("4x")).has_value());

    TValuePath p = SplitValuePath("\\Settings\\\\Sound\\");
    EXPECT_EQ(p.SubKey, "Settings");
    EXPECT_EQ(p.Name, "Sound");
    p = SplitValuePath("Beginner Match\\Score3");
    EXPECT_EQ(p.SubKey, "Beginner Match");
    EXPECT_EQ(p.Name, "Score3");
    EXPECT_EQ(SplitValuePath("Top").SubKey, "");

    TMemorySettings m;
    m.WriteValue("Player Names\\PlayerName1", std::string("Zoe,1,2"));
    m.WriteValue("Player Names\\PlayerName2", std::string("Adam,0,0"));
    m.WriteValue("Settings\\Sound", int32_t(1));
    EXPECT_EQ(m.ListNames("Player Names").size(), 2u);
    m.DeleteSubKey("player names");
    EXPECT_TRUE(m.ListNames("Player Names").empty());
    EXPECT_EQ(ReadInt(&m, "Settings\\Sound", 0), 1);
    // A string where a number is expected reads back as that string.
    m.WriteValue("Settings\\Delay", std::string("slow"));
    EXPECT_EQ(ReadString(&m, "Settings\\Delay", ""), "slow");
    EXPECT_EQ(ReadInt(&m, "Settings\\Delay", 300), 300);
}
