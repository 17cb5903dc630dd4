// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/Role.h"

namespace canasta {

bool ShouldListen(const std::string& own, const std::string& partner, bool sameAddressAnswer) {
    if (own == partner) return sameAddressAnswer;
    return own < partner;  // std::string compares as unsigned bytes via char_traits<char>::lt
}

static bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsValidOpponentField(const std::string& text) {
    for (char c : text)
        if (!IsLetter(c) && !(c >= '0' && c <= '9') && c != '.') return false;
    return true;
}

bool IsHostName(const std::string& text) {
    for (char c : text)
        if (IsLetter(c)) return true;
    return false;
}

}  // namespace canasta
