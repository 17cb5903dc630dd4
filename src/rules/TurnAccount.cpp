// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/TurnAccount.h"

#include <algorithm>
#include <array>
#include <map>
#include <tuple>

namespace canasta {

namespace {

TArea HandOf(TSeat seat) { return seat == TSeat::Player ? TArea::PlayerHand : TArea::OpponentHand; }
TArea MeldsOf(TSeat seat) { return seat == TSeat::Player ? TArea::PlayerMelds : TArea::OpponentMelds; }

// Singular rank names by rank number (0 joker, 1 two, 2 three .. 13 ace).
constexpr std::array<const char*, 14> kRankNames = {"joker", "two",  "three", "four", "five",  "six",  "seven",
                                                    "eight", "nine", "ten",   "jack", "queen", "king", "ace"};

std::string WithArticle(const std::string& noun) {
    const bool vowel = !noun.empty() && std::string("aeiou").find(noun[0]) != std::string::npos;
    return (vowel ? "an " : "a ") + noun;
}

// "a king", "three kings", "a wild card", "two black threes".
std::string Counted(int n, const std::string& singular, const std::string& plural) {
    return n == 1 ? WithArticle(singular) : CountWord(n) + " " + plural;
}

std::string Join(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (const std::string& p : parts) {
        if (!out.empty()) out += separator;
        out += p;
    }
    return out;
}

// What one column of the seat's table received this turn.
struct TColumnGain {
    int Column = 0;
    int Naturals = 0, Wilds = 0, BlackThrees = 0;
};

std::string ColumnCards(const TColumnGain& g) {
    std::vector<std::string> parts;
    if (g.Naturals > 0 && g.Column >= kRankThree)
        parts.push_back(Counted(g.Naturals, kRankNames[static_cast<size_t>(g.Column)], RankPlural(g.Column)));
    if (g.BlackThrees > 0) parts.push_back(Counted(g.BlackThrees, "black three", "black threes"));
    if (g.Wilds > 0) parts.push_back(Counted(g.Wilds, "wild card", "wild cards"));
    return Join(parts, " and ");
}

std::string CanastaPhrase(int kind, int column) {
    switch (kind) {
        case ckNatural: return "completed a natural canasta of " + RankPlural(column);
        case ckMixed: return "completed a mixed canasta of " + RankPlural(column);
        default: return "completed a canasta of wild cards";
    }
}

}  // namespace

TSeatTable SeatTableOf(const TGameState& state, TSeat seat) {
    return {state.Seat(seat).Melds, state.Seat(seat).MeldState};
}

std::string CardName(int id) {
    if (id == kJokerId) return "Joker";
    if (!IsValidId(id)) return "?";
    static const char* const ranks[13] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
    static const char* const suits[4] = {"\u2660", "\u2663", "\u2666", "\u2665"};
    return std::string(ranks[(id - 1) % 13]) + suits[(id - 1) / 13];
}

std::string CountWord(int n) {
    static const char* const words[11] = {"no",  "one",   "two",   "three", "four", "five",
                                          "six", "seven", "eight", "nine",  "ten"};
    if (n >= 0 && n <= 10) return words[n];
    return std::to_string(n);
}

std::string RankPlural(int rank) {
    if (rank < 0 || rank > kRankAce) return "cards";
    if (IsWild(rank)) return "wild cards";
    const std::string name = kRankNames[static_cast<size_t>(rank)];
    return name == "six" ? "sixes" : name + "s";
}

TTurnSummary SummarizeTurn(const TTurnRecord& turn) {
    TTurnSummary s;
    const TArea hand = HandOf(turn.Seat), melds = MeldsOf(turn.Seat);
    auto ofSeat = [&](TArea a) { return a == hand || a == melds; };
    int fromStock = 0, redThreesFromStock = 0, fromPile = 0, toPile = 0;
    for (const TCardMove& m : turn.Moves) {
        if (m.From.Area == TArea::Stock && ofSeat(m.To.Area)) {
            ++fromStock;
            // A red three drawn is laid down and replaced: the replacement is the draw.
            if (IsRedThree(m.Card)) ++redThreesFromStock;
        }
        if (m.From.Area == TArea::DiscardPile && ofSeat(m.To.Area)) ++fromPile;
        if (m.To.Area == TArea::DiscardPile && ofSeat(m.From.Area)) ++toPile;
    }
    if (!turn.Moves.empty()) {
        const TCardMove& last = turn.Moves.back();
        if (last.To.Area == TArea::DiscardPile && ofSeat(last.From.Area)) {
            s.Discard = last.Card;
            --toPile;
        }
    }
    s.Drawn = std::max(0, fromStock - redThreesFromStock);
    // Cards that went back to the pile (a take undone) were not taken.
    s.PileTaken = std::max(0, fromPile - toPile);

    // The table after the turn less the table before it; equal cards (two
    // decks, four jokers) are matched by count within their column.
    std::map<std::tuple<int, int, int>, int> before;
    for (const TCard& c : turn.Before.Melds) ++before[{c.Id, c.Deck, c.Column}];
    for (const TCard& c : turn.After.Melds) {
        int& n = before[{c.Id, c.Deck, c.Column}];
        if (n > 0)
            --n;
        else
            s.Added.push_back(c);
    }
    s.WentOut = turn.WentOut;
    s.Passed = !turn.HandOver && !s.Discard && !turn.Moves.empty();
    return s;
}

std::vector<std::string> TurnPhrases(const TTurnRecord& turn) {
    const TTurnSummary s = SummarizeTurn(turn);
    std::vector<std::string> phrases;
    if (s.PileTaken > 0)
        phrases.push_back("took the pile (" + CountWord(s.PileTaken) + (s.PileTaken == 1 ? " card)" : " cards)"));
    if (s.Drawn > 0) phrases.push_back("drew " + Counted(s.Drawn, "card", "cards"));

    int redThrees = 0;
    std::vector<TColumnGain> gains;  // in the order the columns were first melded on
    for (const TCard& c : s.Added) {
        if (IsRedThree(c)) {
            ++redThrees;
            continue;
        }
        auto g = std::find_if(gains.begin(), gains.end(), [&](const TColumnGain& x) { return x.Column == c.Column; });
        if (g == gains.end()) {
            gains.push_back({c.Column});
            g = gains.end() - 1;
        }
        if (IsWild(c))
            ++g->Wilds;
        else if (IsBlackThree(c))
            ++g->BlackThrees;
        else
            ++g->Naturals;
    }
    if (redThrees > 0) phrases.push_back("laid down " + Counted(redThrees, "red three", "red threes"));
    for (const TColumnGain& g : gains) {
        const bool existed = CountInColumn(turn.Before.Melds, g.Column) > 0;
        if (existed)
            phrases.push_back("added " + ColumnCards(g) + " to the " + RankPlural(g.Column));
        else
            phrases.push_back("melded " + ColumnCards(g));
    }
    for (int column = 0; column < kColumns; ++column) {
        const auto i = static_cast<size_t>(column);
        const int kind = turn.After.MeldState.CanastaKind[i];
        if (turn.Before.MeldState.CanastaKind[i] == ckNone && kind != ckNone)
            phrases.push_back(CanastaPhrase(kind, column));
    }
    if (s.Discard) phrases.push_back("discarded the " + CardName(s.Discard->Id));
    if (s.WentOut) phrases.push_back("went out");
    if (s.Passed) phrases.push_back("passed the discard");
    return phrases;
}

namespace {

// "a, b, c and went out": the turn's end closes the list.
std::string Sentence(const TTurnRecord& turn) {
    std::vector<std::string> phrases = TurnPhrases(turn);
    if (phrases.empty()) return {};
    const TTurnSummary s = SummarizeTurn(turn);
    std::string closing;
    if ((s.WentOut || s.Passed) && phrases.size() > 1) {
        closing = phrases.back();
        phrases.pop_back();
    }
    std::string text = Join(phrases, ", ");
    if (!closing.empty()) text += " and " + closing;
    return text;
}

}  // namespace

std::string TurnAccount(const TTurnRecord& turn) {
    std::string text = Sentence(turn);
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::string TurnLogLine(const std::string& who, const TTurnRecord& turn) {
    const std::string text = Sentence(turn);
    return text.empty() ? text : who + ": " + text;
}

std::vector<TCardPlace> TurnHighlights(const TTurnRecord& turn) {
    const TTurnSummary s = SummarizeTurn(turn);
    std::vector<TCardPlace> places;
    for (const TCard& c : s.Added) places.push_back(PlaceOf(MeldsOf(turn.Seat), c));
    if (s.Discard) places.push_back({TArea::DiscardPile});
    return places;
}

// ---- the log of the hand ----

void TTurnLog::Record(const TGame& game, const TCard& card, TCardPlace from, TCardPlace to) {
    // Moves of a deal belong to no turn: the next Sync starts the hand afresh.
    if (!Open || !Started || game.HandNumber != Hand) return;
    Open->Moves.push_back({card, from, to});
}

void TTurnLog::Reset() {
    Started = false;
    Open.reset();
    LogLines.clear();
}

std::optional<TTurnRecord> TTurnLog::Sync(const TGame& game) {
    if (!Started || game.HandNumber != Hand) {
        Reset();
        Started = true;
        Hand = game.HandNumber;
    }
    const bool over = game.TurnPhase == TTurnPhase::HandOver || game.HandEndPending;
    std::optional<TSeat> toMove;
    if (!over) toMove = game.OpponentsTurn ? TSeat::Opponent : TSeat::Player;

    std::optional<TTurnRecord> closed;
    if (Open && (!toMove || *toMove != Open->Seat)) {
        TTurnRecord& turn = *Open;
        turn.After = SeatTableOf(game, turn.Seat);
        turn.HandOver = over;
        turn.WentOut = over && game.WentOut == (turn.Seat == TSeat::Player ? woPlayer : woOpponent);
        const std::string line = TurnLogLine(turn.Seat == TSeat::Player ? "You" : game.OpponentLabel(), turn);
        // A turn that did nothing (a hand given up at once) is not told.
        if (!line.empty()) {
            LogLines.push_back(line);
            closed = std::move(turn);
        }
        Open.reset();
    }
    if (!Open && toMove) {
        Open.emplace();
        Open->Seat = *toMove;
        Open->Before = SeatTableOf(game, *toMove);
    }
    return closed;
}

}  // namespace canasta
