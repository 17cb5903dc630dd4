// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One playing card and the identity scheme of the 108-card Canasta deck.
#include <cstdint>
#include <string>

namespace canasta {

// Identity: suit * 13 + rank index + 1 for suited cards (suits spade, club,
// diamond, heart; rank index 0 = two .. 12 = ace); 53 for every joker.
constexpr int kJokerId = 53;
constexpr int kBlackThreeSpades = 2;
constexpr int kBlackThreeClubs = 15;
constexpr int kRedThreeDiamonds = 28;
constexpr int kRedThreeHearts = 41;
constexpr int kDeckSize = 108;
constexpr int kColumns = 14;

// Rank numbers: 0 joker, 1 two, 2 three, 3 four ... 10 jack, 11 queen, 12 king, 13 ace.
constexpr int kRankJoker = 0;
constexpr int kRankTwo = 1;
constexpr int kRankThree = 2;
constexpr int kRankAce = 13;

// Kept to bytes: the turn snapshot copies every card of the table at once.
struct TCard {
    uint8_t Id = 0;
    uint8_t Rank = 0;
    uint8_t Points = 0;
    bool FaceUp = false;
    uint8_t Deck = 0;
    // Where the card lies in a column area (hand or table); 0 elsewhere. Depth
    // counts the steps from the area's base line: 1 for a column's first card.
    uint8_t Column = 0;
    int8_t Depth = 0;

    friend bool operator==(const TCard&, const TCard&) = default;
};

// Rank of an identity: Id mod 13 with 0 mapped to 13; jokers are 0.
int RankOf(int id);
// Point value of an identity (red threes 0: they are scored as bonuses).
int CardPoints(int id);

inline bool IsWild(int rank) { return rank == kRankJoker || rank == kRankTwo; }
inline bool IsNatural(int rank) { return rank >= kRankThree; }
inline bool IsRedThreeId(int id) { return id == kRedThreeDiamonds || id == kRedThreeHearts; }
inline bool IsBlackThreeId(int id) { return id == kBlackThreeSpades || id == kBlackThreeClubs; }
inline bool IsRedThree(const TCard& c) { return IsRedThreeId(c.Id); }
inline bool IsBlackThree(const TCard& c) { return IsBlackThreeId(c.Id); }
inline bool IsWild(const TCard& c) { return IsWild(c.Rank); }
inline bool IsValidId(int id) { return id >= 1 && id <= kJokerId; }

// Builds the face-image name ("spade2", "diamondb", "heartv" ...) and identity
// of the card of that suit (0..3) and rank index (0 = two .. 12 = ace).
struct TMadeCard {
    std::string Name;
    int Id;
};
TMadeCard MakeCard(int suit, int rankIndex);
// Face-image name of any identity, "joker" for 53.
std::string CardImageName(int id);
// A full card record of the given identity and deck, face down and in no column.
TCard NewCard(int id, int deck);
// Short human-readable name such as "K♠" style but in ASCII: "KS", "10H", "JK".
std::string CardShortName(int id);

}  // namespace canasta
