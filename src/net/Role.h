// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which of two connecting instances listens, and what the opponent field may hold.
#include <string>

namespace canasta {

inline constexpr const char* kGamePort = "31415";

// Both instances apply this to the same pair of addresses, so exactly one
// listens: the one whose own address is smaller in byte-wise comparison
// ("192.168.0.10" < "192.168.0.9"); on equal addresses the one whose player
// answered the same-address question with Yes.
bool ShouldListen(const std::string& own, const std::string& partner, bool sameAddressAnswer);

// Only letters A-Z and a-z, digits and dots.
bool IsValidOpponentField(const std::string& text);
// At least one letter: a host name to be resolved.
bool IsHostName(const std::string& text);

}  // namespace canasta
