// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A scripted player for the human seat. It acts only through the operations the
// table's mouse and keyboard handlers call, one gesture at a time, so whatever
// it does a person at the table could do too.
//
// Two strategies:
//  - greedy: a plain baseline. Takes the pile when the top card can be melded
//    (and, before its first meld, when the take also meets the minimum); melds
//    every group of three or more; makes its first meld as soon as groups of
//    three, and pairs with a wild card, reach the minimum; adds naturals to its
//    melds and completes canastas with wild cards (never more wild cards than
//    naturals); with the canastas needed it melds pairs, wild cards and black
//    threes to go out; discards the least useful card (black threes first,
//    then singles of low value that neither side has melded, wild cards last).
//  - random: random gestures, legal or not, to exercise the refusals of the
//    rules; after a cap of gestures in one turn it finishes the turn greedily.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/Game.h"
#include "rules/Moves.h"

namespace canasta {

class TPlayerBot {
public:
    virtual ~TPlayerBot() = default;
    virtual const char* Name() const = 0;
    virtual void Seed(uint32_t seed) {}

    // The next gesture for the current state; None when it is not the
    // player's move or the bot has nothing left to try.
    TMove Next(const TGame& game);
    // Applies a gesture chosen by Next and remembers it when it changed nothing.
    void Apply(TGame& game, const TMove& gesture);
    // Next and Apply; returns the gesture (None when nothing was done).
    TMove Step(TGame& game);
    // Plays until the turn passes to the opponent or the hand ends. Returns
    // the gestures made, or -1 when the bot got stuck or hit the cap.
    int PlayTurn(TGame& game, int maxGestures = 1000);

    int GesturesThisTurn() const { return Gestures; }

protected:
    virtual TMove Choose(const TGame& game) = 0;
    // Called when a new turn of the player begins.
    virtual void OnNewTurn() {}
    // Whether the gesture was tried in the current state and changed nothing.
    bool Refused(const TMove& gesture) const;
    bool AnyRefused(TMoveType kind) const;

private:
    uint64_t Key(const TGame& game) const;
    void NoteTurn(const TGame& game);
    // Turns of this seat that ended, told from what the bot's own gestures did.
    uint32_t TurnsEnded = 0;
    uint64_t TurnKey = ~uint64_t{0};
    int Gestures = 0;
    std::vector<TMove> RefusedGestures;
};

// What the greedy bot counts of its seat for one decision.
struct TBotSeatView;

class TGreedyBot : public TPlayerBot {
public:
    const char* Name() const override { return "greedy"; }

protected:
    TMove Choose(const TGame& game) override;
    void OnNewTurn() override;

private:
    bool WantPile(const TGame& game, const TBotSeatView& view) const;
    void PileTakenMoves(const TGame& game, const TBotSeatView& view, std::vector<TMove>& moves) const;
    void Repairs(const TGame& game, const TBotSeatView& view, std::vector<TMove>& moves) const;
    void MeldMoves(const TGame& game, const TBotSeatView& view, std::vector<TMove>& moves) const;
    void ExtendMoves(const TGame& game, const TBotSeatView& view, std::vector<TMove>& moves) const;
    std::vector<int> DiscardOrder(const TGame& game, const TBotSeatView& view) const;

    // Set once the bot has taken its melds back this turn: it then only discards.
    bool Retreated = false;
    // Set once it gave a provisional take back this turn: it does not take again.
    bool UndidTake = false;
};

class TRandomBot : public TGreedyBot {
public:
    // Gestures per turn before the bot finishes its turn greedily.
    explicit TRandomBot(int cap = 60) : Cap(cap) {}
    const char* Name() const override { return "random"; }
    void Seed(uint32_t seed) override { Rng.Seed = seed; }

protected:
    TMove Choose(const TGame& game) override;

private:
    int Cap;
    TRandom Rng{1};
};

// "greedy" or "random"; null for another name.
std::unique_ptr<TPlayerBot> MakePlayerBot(const std::string& name);

}  // namespace canasta
