// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Card.h"

#include "model/CardList.h"

namespace canasta {

int RankOf(int id) {
    if (id == kJokerId) return kRankJoker;
    if (id < 1 || id > kJokerId) throw InternalError("RankOf: card identity " + std::to_string(id) + " out of range");
    int r = id % 13;
    return r == 0 ? 13 : r;
}

int CardPoints(int id) {
    int rank = RankOf(id);
    if (rank == kRankJoker) return 50;
    if (rank == kRankTwo || rank == kRankAce) return 20;
    if (rank == kRankThree) return IsRedThreeId(id) ? 0 : 5;
    if (rank <= 6) return 5;  // four to seven
    return 10;                // eight to king
}

static const char* const kSuitWords[4] = {"spade", "club", "diamond", "heart"};
static const char* const kRankWords[13] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "b", "v", "h", "a"};

TMadeCard MakeCard(int suit, int rankIndex) {
    if (suit < 0 || suit > 3 || rankIndex < 0 || rankIndex > 12)
        throw InternalError("MakeCard: suit or rank index out of range");
    return {std::string(kSuitWords[suit]) + kRankWords[rankIndex], suit * 13 + rankIndex + 1};
}

std::string CardImageName(int id) {
    if (id == kJokerId) return "joker";
    if (!IsValidId(id)) throw InternalError("CardImageName: card identity out of range");
    return MakeCard((id - 1) / 13, (id - 1) % 13).Name;
}

TCard NewCard(int id, int deck) {
    TCard c;
    c.Id = static_cast<uint8_t>(id);
    c.Rank = static_cast<uint8_t>(RankOf(id));
    c.Points = static_cast<uint8_t>(CardPoints(id));
    c.Deck = static_cast<uint8_t>(deck);
    return c;
}

std::string CardShortName(int id) {
    if (id == kJokerId) return "JK";
    if (!IsValidId(id)) return "??";
    static const char* const ranks[13] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
    static const char suits[4] = {'S', 'C', 'D', 'H'};
    return std::string(ranks[(id - 1) % 13]) + suits[(id - 1) / 13];
}

}  // namespace canasta
