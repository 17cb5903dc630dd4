// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for computer-turn tests on hand-built tables.
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "ai/ComputerTurn.h"
#include "support/TestTable.h"

namespace canasta::test {

// Puts the named cards on top of the stock, the last one on top.
inline void StockTop(TestTable& t, std::initializer_list<const char*> names) {
    for (const char* n : names) {
        TCard c = t.Take(n);
        c.FaceUp = false;
        AddCard(t.G.Stock, c);
    }
    t.G.SetStockExhausted(t.G.Stock.Empty());
}

// Only these cards stay in the stock (the rest goes under the discard pile).
inline void StockOnly(TestTable& t, std::initializer_list<const char*> names) {
    std::vector<TCard> cards;
    for (const char* n : names) cards.push_back(t.Take(n));
    t.StockDownTo(0);
    for (TCard c : cards) {
        c.FaceUp = false;
        AddCard(t.G.Stock, c);
    }
    t.G.SetStockExhausted(t.G.Stock.Empty());
}

// The player has just discarded: the computer is next.
inline void ComputerToMove(TestTable& t) { t.DrawPhase(); }

// The computer's table follows the meld rules the human's table is held to.
inline void ExpectValidOpponentMelds(const TGame& g) {
    for (int c = 3; c < kColumns; ++c) {
        int cards = 0, wilds = 0;
        for (const TCard& card : g.Seat(TSeat::Opponent).Melds)
            if (card.Column == c) {
                ++cards;
                wilds += IsWild(card);
            }
        EXPECT_TRUE(cards == 0 || cards >= 3) << "column " << c;
        EXPECT_LE(wilds, cards - wilds) << "column " << c;
    }
}

inline std::vector<std::string> Names(const TCardList& list) {
    std::vector<std::string> out;
    for (const TCard& c : list) out.push_back(CardShortName(c.Id));
    return out;
}

// A computer level without strategy: each step does what the test says.
class ScriptLevel : public TComputerTurn {
public:
    bool Take = false;
    std::function<void(ScriptLevel&)> OnGoOut;
    std::function<TDiscardChoice(ScriptLevel&)> OnDiscard;
    int TakenTop = 0, ForcedTop = 0;
    int Turns = 0;

    using TComputerTurn::CanTakePile;
    using TComputerTurn::FindInHand;
    using TComputerTurn::Game;
    using TComputerTurn::MeldFromHand;

protected:
    void BeginTurn() override { ++Turns; }
    bool TakeDecision() override { return Take; }
    void MeldAfterTake(const TCard& top) override { TakenTop = top.Id; }
    void MeldAfterForcedTake(const TCard& top) override {
        ForcedTop = top.Id;
        MeldFromHand(HandSize() - 1);
    }
    void InitialMeld() override {}
    void AddToMelds() override {}
    void GoOut() override {
        if (OnGoOut) OnGoOut(*this);
    }
    TDiscardChoice ChooseDiscard() override { return OnDiscard ? OnDiscard(*this) : TDiscardChoice{0}; }
};

}  // namespace canasta::test
