// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The random generator and the shuffle of the 108 cards into the stock.
#include <array>
#include <cstdint>
#include <string>

#include "model/CardList.h"

namespace canasta {

// Linear congruential generator: seed <- seed * 134775813 + 1 (mod 2^32);
// a draw in 0..n-1 is the high 32 bits of seed * n.
class TRandom {
public:
    explicit TRandom(uint32_t seed = 0) : Seed(seed) {}
    uint32_t Next(uint32_t n) {
        Seed = Seed * 134775813u + 1u;
        return static_cast<uint32_t>((static_cast<uint64_t>(Seed) * n) >> 32);
    }
    uint32_t Seed;
};

// ((hours * 60 + minutes) * 60 + seconds) * 1000 + milliseconds, local time.
uint32_t TimeOfDaySeed();

// Slot drawn for each card, in the order the cards are made (deck 1 suits
// spade..heart ranks two..ace, its two jokers, then deck 2 likewise).
using TDealPositions = std::array<uint8_t, kDeckSize>;

// Shuffles the 108 cards into the stock (all face down) using rng; returns the
// slot drawn for each card.
TDealPositions ShuffleDeck(TCardList& stock, TRandom& rng);

// Builds the stock from positions received from the dealing side. Returns false
// (stock untouched) unless the positions are a permutation of 0..107.
bool BuildStockFromPositions(TCardList& stock, const TDealPositions& positions);

// The 109-byte deal record: "1" or "0" (whether the dealing side's player draws
// first) followed by each position plus one.
std::string MakeDealRecord(bool dealerDrawsFirst, const TDealPositions& positions);
// Parses a deal record; false when it is not exactly 109 bytes of the right form.
bool ParseDealRecord(const std::string& record, bool& dealerDrawsFirst, TDealPositions& positions);

}  // namespace canasta
