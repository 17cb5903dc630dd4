// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Deck.h"

#include <chrono>
#include <ctime>

namespace canasta {

uint32_t TimeOfDaySeed() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return static_cast<uint32_t>(((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec) * 1000 + ms);
}

namespace {

// Calls f(id, deck) for the 108 cards in the order they are made.
template <typename F>
void ForEachCardInMakeOrder(F f) {
    for (int deck = 0; deck < 2; ++deck) {
        for (int suit = 0; suit < 4; ++suit)
            for (int r = 0; r < 13; ++r) f(MakeCard(suit, r).Id, deck);
        f(kJokerId, deck);
        f(kJokerId, deck);
    }
}

void StoreAt(TCardList& stock, int slot, int id, int deck) {
    TCard c = NewCard(id, deck);
    c.FaceUp = false;
    stock.Cards[static_cast<size_t>(slot)] = c;
}

}  // namespace

TDealPositions ShuffleDeck(TCardList& stock, TRandom& rng) {
    std::array<bool, kDeckSize> used{};
    TDealPositions positions{};
    stock.Count = kDeckSize;
    int n = 0;
    ForEachCardInMakeOrder([&](int id, int deck) {
        uint32_t slot;
        do {
            slot = rng.Next(kDeckSize);
        } while (used[slot]);
        used[slot] = true;
        positions[static_cast<size_t>(n++)] = static_cast<uint8_t>(slot);
        StoreAt(stock, static_cast<int>(slot), id, deck);
    });
    return positions;
}

bool BuildStockFromPositions(TCardList& stock, const TDealPositions& positions) {
    std::array<bool, kDeckSize> used{};
    for (uint8_t p : positions) {
        if (p >= kDeckSize || used[p]) return false;
        used[p] = true;
    }
    TCardList built = stock;
    built.Count = kDeckSize;
    int n = 0;
    ForEachCardInMakeOrder([&](int id, int deck) { StoreAt(built, positions[static_cast<size_t>(n++)], id, deck); });
    stock = built;
    return true;
}

std::string MakeDealRecord(bool dealerDrawsFirst, const TDealPositions& positions) {
    std::string s(1, dealerDrawsFirst ? '1' : '0');
    for (uint8_t p : positions) s.push_back(static_cast<char>(p + 1));
    return s;
}

bool ParseDealRecord(const std::string& record, bool& dealerDrawsFirst, TDealPositions& positions) {
    if (record.size() != kDeckSize + 1 || (record[0] != '0' && record[0] != '1')) return false;
    TDealPositions p{};
    for (size_t i = 0; i < kDeckSize; ++i) {
        int v = static_cast<unsigned char>(record[i + 1]);
        if (v < 1 || v > kDeckSize) return false;
        p[i] = static_cast<uint8_t>(v - 1);
    }
    dealerDrawsFirst = record[0] == '1';
    positions = p;
    return true;
}

}  // namespace canasta
