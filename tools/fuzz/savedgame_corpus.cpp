// SPDX-License-Identifier: GPL-3.0-or-later
// Writes seed inputs for fuzz_savedgame: saved games of hands played some way
// in, at every window size, with pending pile takes, canastas and scores.
#include <fstream>
#include <string>

#include "ai/Beginner.h"
#include "model/Game.h"
#include "rules/Consistency.h"
#include "store/SavedGame.h"

using namespace canasta;

namespace {

struct TLcg {
    uint64_t s;
    uint32_t operator()(uint32_t n) {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>((s >> 33) % n);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    const int files = argc > 2 ? std::atoi(argv[2]) : 24;
    TBeginner level;
    for (int n = 0; n < files; ++n) {
        TLcg r{static_cast<uint64_t>(n) * 977 + 1};
        THeadlessHost host;
        TGame g(host);
        g.Levels = {&level, &level, &level};
        g.FixedSeed = true;
        g.Rng.Seed = static_cast<uint32_t>(n + 1);
        g.DealHand();
        for (int i = 0, actions = static_cast<int>(r(200)); i < actions && g.TurnPhase != TTurnPhase::HandOver; ++i) {
            switch (r(6)) {
                case 0: g.DrawClicked(); break;
                case 1: g.TakePile(); break;
                case 2:
                case 3:
                    if (g.Seat(TSeat::Player).Hand.Count) {
                        const int k = static_cast<int>(r(g.Seat(TSeat::Player).Hand.Count));
                        if (!IsWild(g.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(k)]))
                            g.MeldCardGesture(k, r(2), false);
                    }
                    break;
                case 4:
                    if (g.Seat(TSeat::Player).Hand.Count)
                        g.DiscardCard(static_cast<int>(r(g.Seat(TSeat::Player).Hand.Count)));
                    break;
                case 5: g.UndoMeld(); break;
            }
        }
        g.Seat(TSeat::Player).Score = static_cast<int>(r(9000)) - 1000;
        g.Seat(TSeat::Opponent).Score = static_cast<int>(r(5000));
        if (!CheckConsistency(g).empty()) continue;
        std::ofstream(dir + "/saved" + std::to_string(n) + ".can", std::ios::binary)
            << FormatSavedGame(CaptureSavedGame(g, n % kSizeCount), [&] { return static_cast<int>(r(1000)); });
    }
    return 0;
}
