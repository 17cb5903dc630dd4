// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds game states card by card for tests: every card comes out of the
// stock, so the 108 cards stay complete and the consistency check applies.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "model/Game.h"
#include "rules/Consistency.h"
#include "rules/Driver.h"

namespace canasta::test {

// "KS", "10H", "2C", "3D", "JK" (joker) -> card identity.
inline int CardId(const std::string& name) {
    if (name == "JK") return kJokerId;
    const std::string rank = name.substr(0, name.size() - 1);
    const char suit = name.back();
    static const char* const ranks[13] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
    int r = -1;
    for (int i = 0; i < 13; ++i)
        if (rank == ranks[i]) r = i;
    const std::string suits = "SCDH";
    const auto s = suits.find(suit);
    if (r < 0 || s == std::string::npos) throw std::invalid_argument("bad card name " + name);
    return static_cast<int>(s) * 13 + r + 1;
}

struct TestTable {
    THeadlessHost Host;
    TGame G;

    explicit TestTable(TRuleOptions rules = {}) : G(Host, rules) {
        G.FixedSeed = true;
        G.Rng.Seed = 1;
        Host.Record = true;
        Clear();
    }

    // An empty table in the player's melding phase with every card in the stock.
    void Clear() {
        TRandom rng(12345);
        ShuffleDeck(G.Stock, rng);
        G.DiscardPile = G.Seat(TSeat::Opponent).Hand = G.Seat(TSeat::Player).Hand = G.Seat(TSeat::Opponent).Melds =
            G.Seat(TSeat::Player).Melds = G.Seat(TSeat::Player).PickedUp = {};
        G.Seat(TSeat::Player).MeldState = G.Seat(TSeat::Opponent).MeldState = {};
        G.UndoStack.clear();
        G.PileFrozen = false;
        G.StockExhausted = false;
        G.Seat(TSeat::Player).Score = G.Seat(TSeat::Opponent).Score = 0;
        G.Seat(TSeat::Player).MinimumMeld = 50;
        G.Seat(TSeat::Opponent).MeldedPoints = 0;
        Melding();
    }

    TCard Take(const std::string& name) {
        const int id = CardId(name);
        const int i = FindLastById(G.Stock, id);
        if (i < 0) throw std::runtime_error("no " + name + " left in the stock");
        TCard c;
        RemoveCardAt(G.Stock, i, c, true, 0);
        c.FaceUp = true;
        return c;
    }

    void Hand(std::initializer_list<const char*> names) {
        for (const char* n : names) {
            TCard c = Take(n);
            PlaceInColumn(G.Seat(TSeat::Player).Hand, false, c);
            AddCard(G.Seat(TSeat::Player).Hand, c);
        }
    }

    // Cards onto the player's table in the given column (wild cards included).
    void Meld(int column, std::initializer_list<const char*> names) {
        for (const char* n : names) {
            TCard c = Take(n);
            c.Column = static_cast<uint8_t>(column);
            c.Depth = ++G.Seat(TSeat::Player).Melds.Depths[static_cast<size_t>(column)];
            AddCard(G.Seat(TSeat::Player).Melds, c);
        }
        G.CheckCanasta(TSeat::Player, column);
    }

    void OppHand(std::initializer_list<const char*> names) {
        for (const char* n : names) {
            AddCard(G.Seat(TSeat::Opponent).Hand, Take(n));
        }
    }

    void OppMeld(int column, std::initializer_list<const char*> names) {
        for (const char* n : names) {
            TCard c = Take(n);
            c.Column = static_cast<uint8_t>(column);
            c.Depth = ++G.Seat(TSeat::Opponent).Melds.Depths[static_cast<size_t>(column)];
            AddCard(G.Seat(TSeat::Opponent).Melds, c);
        }
        G.CheckCanasta(TSeat::Opponent, column);
    }

    // Cards onto the discard pile, the last one on top.
    void Pile(std::initializer_list<const char*> names) {
        for (const char* n : names) AddCard(G.DiscardPile, Take(n));
    }

    // Leaves only the top n cards in the stock; the others go under the
    // discard pile so the top card stays what the test chose.
    void StockDownTo(int n) {
        while (G.Stock.Count > n) {
            TCard c;
            RemoveCardAt(G.Stock, 0, c, true, 0);
            c.FaceUp = true;
            AddCard(G.DiscardPile, c);
            for (int i = G.DiscardPile.Count - 1; i > 0; --i)
                std::swap(G.DiscardPile.Cards[static_cast<size_t>(i)], G.DiscardPile.Cards[static_cast<size_t>(i - 1)]);
        }
        G.SetStockExhausted(G.Stock.Empty());
    }

    // The player is to draw.
    void DrawPhase() {
        G.OpponentsTurn = false;
        G.TurnStart = true;
        G.HasDrawn = false;
        G.TopCardPending = G.PileTakeUndoable = false;
        G.SetTurnPhase(TTurnPhase::Draw);
        G.SaveTurnSnapshot();
    }

    // The player has drawn and may meld and discard.
    void Melding() {
        G.OpponentsTurn = false;
        G.TurnStart = false;
        G.HasDrawn = true;
        G.TopCardPending = G.PileTakeUndoable = false;
        G.SetTurnPhase(TTurnPhase::MeldOrDiscard);
        G.SaveTurnSnapshot();
    }

    int HandIndex(const std::string& name) const { return FindFirstById(G.Seat(TSeat::Player).Hand, CardId(name)); }
    int ColumnCount(int column) const { return CountInColumn(G.Seat(TSeat::Player).Melds, column); }
    std::string Consistent() const { return CheckConsistency(G); }
};

// The opponent seat's turn played through the driver, with what follows it
// (the end of the hand, the next deal, a first turn of the computer's there).
inline void PlayOpponentTurn(TGame& g) {
    g.HandTurnToOpponent();
    TGameDriver(g).Run();
}

// Runs what the driver has pending (after a move that ended the turn or the hand).
inline void Drive(TGame& g) { TGameDriver(g).Run(); }

// An opponent seat that draws one card and discards it, for tests that need
// the turn to come back without any computer strategy.
class DrawDiscardLevel : public IComputerLevel {
public:
    int Turns = 0;
    void PlayTurn(TGame& g, TSeat) override {
        ++Turns;
        g.OpponentsTurn = true;
        if (!g.Stock.Empty()) {
            TCard c = g.DrawFromStock();
            c.FaceUp = true;
            if (IsWild(c) || IsRedThree(c)) g.PileFrozen = true;
            AddCard(g.DiscardPile, c);
        } else {
            g.EndHandRequested = true;
            if (g.EndHandIfOver()) return;
        }
        g.OpponentsTurn = false;
        g.SetTurnPhase(TTurnPhase::Draw);
    }
};

}  // namespace canasta::test
