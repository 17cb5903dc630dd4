// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/Digest.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace canasta {

namespace {

struct TFnv {
    uint64_t H = 1469598103934665603ull;
    void Byte(uint8_t b) {
        H ^= b;
        H *= 1099511628211ull;
    }
    void Int(int32_t v) {
        const auto u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) Byte(static_cast<uint8_t>(u >> (8 * i)));
    }
};

}  // namespace

uint64_t SeatDigest(const TGame& g, TSeat seat) {
    const bool player = seat == TSeat::Player;
    const TCardList& hand = player ? g.Seat(TSeat::Player).Hand : g.Seat(TSeat::Opponent).Hand;
    const TCardList& table = player ? g.Seat(TSeat::Player).Melds : g.Seat(TSeat::Opponent).Melds;
    const TMeldState& ms = player ? g.Seat(TSeat::Player).MeldState : g.Seat(TSeat::Opponent).MeldState;
    TFnv f;
    std::vector<int> ids;
    for (const TCard& c : hand) ids.push_back(c.Id);
    std::sort(ids.begin(), ids.end());
    f.Int(static_cast<int>(ids.size()));
    for (int id : ids) f.Byte(static_cast<uint8_t>(id));
    ids.clear();
    for (const TCard& c : table) ids.push_back(c.Column * 256 + c.Id);
    std::sort(ids.begin(), ids.end());
    f.Int(static_cast<int>(ids.size()));
    for (int v : ids) f.Int(v);
    f.Int(ms.Canastas);
    for (uint8_t k : ms.CanastaKind) f.Byte(k);
    // The naturals a canasta's label shows.
    for (size_t c = 0; c < ms.CanastaKind.size(); ++c)
        if (ms.CanastaKind[c] != 0) f.Byte(ms.CanastaNaturals[c]);
    f.Int(player ? g.Seat(TSeat::Player).Score : g.Seat(TSeat::Opponent).Score);
    f.Int(g.Stock.Count);
    for (const TCard& c : g.Stock) f.Byte(c.Id);
    f.Int(g.DiscardPile.Count);
    for (const TCard& c : g.DiscardPile) f.Byte(c.Id);
    f.Byte(g.PileFrozen ? 1 : 0);
    return f.H;
}

std::string DigestHex(uint64_t d) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(d));
    return buf;
}

std::string HandLine(const TGame& g, int handNumber) {
    return "hand " + std::to_string(handNumber) + ": " + std::to_string(g.Seat(TSeat::Player).Score) + " " +
           std::to_string(g.Seat(TSeat::Opponent).Score) + " " + DigestHex(SeatDigest(g, TSeat::Player)) + " " +
           DigestHex(SeatDigest(g, TSeat::Opponent));
}

}  // namespace canasta
