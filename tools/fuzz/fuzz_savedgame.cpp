// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the saved-game loader against a dealt game: the
// loader must refuse or load, never crash, and a refused file must leave the
// game exactly as it was.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/Game.h"
#include "rules/Consistency.h"
#include "store/SavedGame.h"

using namespace canasta;

namespace {
class NullLevel : public IComputerLevel {
public:
    void PlayTurn(TGame& g, TSeat) override {
        g.OpponentsTurn = false;
        g.SetTurnPhase(TTurnPhase::Draw);
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NullLevel level;
    THeadlessHost host;
    TGame game(host);
    game.Levels = {&level, &level, &level};
    game.FixedSeed = true;
    game.Rng.Seed = 1234;
    game.PlayerDrawsFirst = true;
    game.DealHand();
    const TGameState before = game.State();
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TLoadResult r = LoadSavedGame(game, bytes);
    if (r.Status == TLoadStatus::Ok) {
        if (!CheckConsistency(game).empty()) std::abort();
        // Whatever loads must survive being saved and loaded again.
        std::string again = FormatSavedGame(CaptureSavedGame(game, 1), [] { return 7; });
        THeadlessHost host2;
        TGame other(host2);
        if (LoadSavedGame(other, again).Status != TLoadStatus::Ok) std::abort();
    } else {
        const TGameState& now = game.State();
        if (!(now.Seat(TSeat::Player).Hand == before.Seat(TSeat::Player).Hand && now.Stock == before.Stock &&
              now.DiscardPile == before.DiscardPile &&
              now.Seat(TSeat::Player).Melds == before.Seat(TSeat::Player).Melds &&
              now.Seat(TSeat::Opponent).Hand == before.Seat(TSeat::Opponent).Hand &&
              now.Seat(TSeat::Player).Score == before.Seat(TSeat::Player).Score && now.TurnPhase == before.TurnPhase))
            std::abort();
    }
    return 0;
}
