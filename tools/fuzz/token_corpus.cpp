// SPDX-License-Identifier: GPL-3.0-or-later
// Writes seed inputs for fuzz_tokens: real games, recorded from the other
// side of the harness's game (a bot playing against it), one chunk per turn.
#include <fstream>
#include <memory>
#include <string>

#include "TokenHarness.h"

using namespace canasta;

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    const int files = argc > 2 ? std::atoi(argv[2]) : 24;
    for (int n = 0; n < files; ++n) {
        fuzz::TFuzzSide local;
        fuzz::TQuietEvents events;
        struct TRemoteHost : THeadlessHost {
            std::string Out;
            const TGame* Game = nullptr;
            void MoveMade(const TMoveReport& m) override {
                const auto [t, d] = MoveToken(m, *Game);
                Out += BuildFrame(t, d);
            }
        } host;
        TGame remote(host);
        host.Game = &remote;
        remote.Config.Networked = true;
        remote.Config.MeldDelay = 0;
        TProtocol remoteIn(remote, events);
        local.Host.Sent = [&](const std::string& bytes) {
            remoteIn.Append(bytes);
            remoteIn.ProcessTokens();
        };
        auto bot = MakePlayerBot(n % 3 == 0 ? "greedy" : "random");
        bot->Seed(static_cast<uint32_t>(n + 1));
        local.Deal();
        std::string input;
        const uint32_t firstHand = local.G.HandNumber;
        for (int step = 0; step < 20000 && local.G.HandNumber < firstHand + 1 + n % 3; ++step) {
            if (!IsPlayersMove(remote)) break;
            while (IsPlayersMove(remote) && bot->Step(remote).Kind != TMoveType::None) {}
            // The remote turn is over: its bytes reach the local side as one chunk.
            input += host.Out;
            input += '\0';
            local.Chunk(host.Out.data(), host.Out.size());
            host.Out.clear();
        }
        std::ofstream(dir + "/game" + std::to_string(n), std::ios::binary) << input;
    }
    return 0;
}
