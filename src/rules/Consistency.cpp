// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Consistency.h"

#include <algorithm>
#include <array>
#include <vector>

namespace canasta {

namespace {

struct Checker {
    const TGame& G;
    std::string Failure;

    bool Fail(const std::string& what) {
        if (Failure.empty()) Failure = what;
        return false;
    }

    bool Cards() {
        // (id, deck) -> count; jokers appear twice per deck.
        std::array<std::array<int, 2>, kJokerId + 1> seen{};
        const TCardList* areas[] = {&G.Stock,
                                    &G.DiscardPile,
                                    &G.Seat(TSeat::Opponent).Hand,
                                    &G.Seat(TSeat::Player).Hand,
                                    &G.Seat(TSeat::Opponent).Melds,
                                    &G.Seat(TSeat::Player).Melds};
        const char* names[] = {"Stock", "DiscardPile", "OpponentHand", "PlayerHand", "OpponentMelds", "PlayerMelds"};
        int total = 0;
        for (int a = 0; a < 6; ++a) {
            for (const TCard& c : *areas[a]) {
                if (!IsValidId(c.Id) || c.Deck > 1)
                    return Fail(std::string(names[a]) + " holds an impossible card id " + std::to_string(c.Id));
                if (c.Rank != RankOf(c.Id) || c.Points != CardPoints(c.Id))
                    return Fail(std::string(names[a]) + " holds card " + CardShortName(c.Id) +
                                " with wrong rank or points");
                ++seen[c.Id][c.Deck];
                ++total;
            }
        }
        if (total != kDeckSize) return Fail(std::to_string(total) + " cards in play instead of 108");
        for (int id = 1; id <= kJokerId; ++id)
            for (int d = 0; d < 2; ++d)
                if (seen[static_cast<size_t>(id)][static_cast<size_t>(d)] != (id == kJokerId ? 2 : 1))
                    return Fail("card " + CardShortName(id) + " of deck " + std::to_string(d) + " present " +
                                std::to_string(seen[static_cast<size_t>(id)][static_cast<size_t>(d)]) + " times");
        // Cards the other seat saw taken must still be in the hand.
        for (const TSeatState& seat : G.Seats) {
            std::array<int, kJokerId + 1> inHand{}, known{};
            for (const TCard& c : seat.Hand) ++inHand[c.Id];
            for (const TCard& c : seat.PickedUp) ++known[c.Id];
            for (int id = 1; id <= kJokerId; ++id)
                if (known[static_cast<size_t>(id)] > inHand[static_cast<size_t>(id)])
                    return Fail("PickedUp lists " + CardShortName(id) + " more often than the hand holds it");
        }
        return true;
    }

    // Column layout: every card on a column; a spread column's cards one step
    // apart from the base with the column's depth on the last; a canasta stacked.
    bool Columns(const TCardList& list, const char* name, bool handColumns, const TMeldState* ms, bool strictDepth) {
        std::array<std::vector<int>, kColumns> depths;
        for (const TCard& card : list) {
            const int c = card.Column;
            if (c >= kColumns) return Fail(std::string(name) + ": " + CardShortName(card.Id) + " is not on a column");
            if (handColumns) {
                if (c != card.Rank)
                    return Fail(std::string(name) + ": " + CardShortName(card.Id) + " in the wrong column");
            } else if (IsWild(card)) {
                if (c < 1 || c == kRankThree)
                    return Fail(std::string(name) + ": wild card in column " + std::to_string(c));
            } else if (c != card.Rank) {
                return Fail(std::string(name) + ": " + CardShortName(card.Id) + " in column " + std::to_string(c));
            }
            depths[static_cast<size_t>(c)].push_back(card.Depth);
        }
        if (!strictDepth) return true;
        for (int c = 0; c < kColumns; ++c) {
            auto& col = depths[static_cast<size_t>(c)];
            const int last = list.Depths[static_cast<size_t>(c)];
            const bool stacked = ms && ms->CanastaKind[static_cast<size_t>(c)] != ckNone;
            if (stacked) {
                for (int d : col)
                    if (d != 1)
                        return Fail(std::string(name) + ": canasta in column " + std::to_string(c) + " not stacked");
                if (last != 1) return Fail(std::string(name) + ": canasta depth of column " + std::to_string(c));
                continue;
            }
            std::sort(col.begin(), col.end());
            for (size_t k = 0; k < col.size(); ++k)
                if (col[k] != static_cast<int>(k + 1))
                    return Fail(std::string(name) + ": gap or overlap in column " + std::to_string(c));
            if (last != static_cast<int>(col.size()))
                return Fail(std::string(name) + ": depth of column " + std::to_string(c) + " is off its last card");
        }
        return true;
    }

    bool Canastas(const TMeldState& ms, const char* side) {
        int kinds = 0;
        for (uint8_t k : ms.CanastaKind) {
            if (k > ckWild) return Fail(std::string(side) + " has an impossible canasta kind");
            kinds += k != ckNone;
        }
        if (kinds != ms.Canastas) return Fail(std::string(side) + " canasta count differs from the recorded kinds");
        return true;
    }

    bool Flags() {
        if (G.StockExhausted != G.Stock.Empty()) return Fail("StockExhausted disagrees with the stock");
        if (G.TopCardPending != G.PileTakeUndoable) return Fail("TopCardPending and PileTakeUndoable disagree");
        if (!G.UndoStack.empty() && !G.HasDrawn) return Fail("undo entries outside the melding phase");
        const TTurnPhase p = G.TurnPhase;
        if (p == TTurnPhase::HandOver) return true;
        if (G.OpponentsTurn != (p == TTurnPhase::OpponentTurn)) return Fail("OpponentsTurn disagrees with the phase");
        if (p == TTurnPhase::Draw && (!G.TurnStart || G.HasDrawn)) return Fail("draw phase after the draw");
        if (p == TTurnPhase::DrawSecond && (G.TurnStart || G.HasDrawn))
            return Fail("second-draw phase with wrong flags");
        const bool melding = p == TTurnPhase::MeldOrDiscard || p == TTurnPhase::MeldOrDiscardTwice ||
                             p == TTurnPhase::PileTaken || p == TTurnPhase::KeyMeld || p == TTurnPhase::KeyDiscard ||
                             p == TTurnPhase::KeyWild;
        if (melding && (!G.HasDrawn || G.TurnStart)) return Fail("melding phase before the draw");
        if (G.HasDrawn && !melding) return Fail("HasDrawn outside the melding phases");
        if (G.PileTakeUndoable && !(p == TTurnPhase::PileTaken || p == TTurnPhase::KeyMeld ||
                                    p == TTurnPhase::KeyDiscard || p == TTurnPhase::KeyWild))
            return Fail("provisional take outside its phase");
        return true;
    }
};

}  // namespace

std::string CheckConsistency(const TGame& game) {
    Checker c{game, {}};
    c.Cards() && c.Canastas(game.Seat(TSeat::Player).MeldState, "player") &&
        c.Canastas(game.Seat(TSeat::Opponent).MeldState, "opponent") &&
        c.Columns(game.Seat(TSeat::Player).Hand, "PlayerHand", true, nullptr, true) &&
        c.Columns(game.Seat(TSeat::Player).Melds, "PlayerMelds", false, &game.Seat(TSeat::Player).MeldState, true) &&
        c.Columns(game.Seat(TSeat::Opponent).Melds, "OpponentMelds", false, &game.Seat(TSeat::Opponent).MeldState,
                  false) &&
        c.Flags();
    return c.Failure;
}

}  // namespace canasta
