// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/BrkApart.h"

#include <gtest/gtest.h>

namespace canasta {
namespace {

using Pieces = std::vector<std::string>;

Pieces Split(const std::string& base, const std::string& brk, bool allowEmpty) {
    TBrkApart b{base, brk, allowEmpty, {"left over"}};
    b.Split();
    return b.StringList;
}

TEST(BrkApartTest, Split) {
    EXPECT_EQ(Split("\\Settings\\\\Sound\\", "\\", false), (Pieces{"Settings", "Sound"}));
    EXPECT_EQ(Split("\\Settings\\\\Sound\\", "\\", true), (Pieces{"", "Settings", "", "Sound", ""}));
    EXPECT_EQ(Split("", ",", false), Pieces{});
    EXPECT_EQ(Split("a::b:c::", "::", true), (Pieces{"a", "b:c", ""}));
    EXPECT_EQ(Split("abc", "", false), Pieces{"abc"});  // an empty separator must not loop
}

}  // namespace
}  // namespace canasta
