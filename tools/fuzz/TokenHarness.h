// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One side of a network game for the token fuzz target and its seed corpus:
// a dealt hand with the opponent to move first, this side's seat played by
// the greedy bot. The received byte stream comes in chunks (split at 0x00,
// a byte no token carries); after each chunk this side plays if it may.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "ai/PlayerBot.h"
#include "model/Game.h"
#include "net/Framing.h"
#include "net/MoveTokens.h"
#include "net/Protocol.h"
#include "net/RuleString.h"
#include "rules/Consistency.h"
#include "rules/Driver.h"

namespace canasta::fuzz {

struct TQuietEvents : IProtocolEvents {
    // Received rules become the other seat's rules, as in a real connection.
    TGame* Game = nullptr;
    void OnChat(const std::string&) override {}
    bool OnGreeting(const std::string&, const std::string&) override { return true; }
    void OnRules(const std::string& rules) override {
        if (Game) Game->RemoteRules = RulesFromString(rules, Game->Rules);
    }
    void OnUnknownToken(const std::string&) override {}
};

struct TSendingHost : THeadlessHost {
    std::function<void(const std::string&)> Sent;
    const TGame* Game = nullptr;
    void MoveMade(const TMoveReport& move) override {
        if (!Sent || !Game) return;
        const auto [token, data] = MoveToken(move, *Game);
        Sent(BuildFrame(token, data));
    }
};

struct TFuzzSide {
    TSendingHost Host;
    TGame G{Host};
    TQuietEvents Events;
    TProtocol P{G, Events};
    TGreedyBot Bot;

    TFuzzSide() {
        G.Config.Networked = true;
        G.Config.OpponentName = "Fuzz";
        G.Config.MeldDelay = 0;
        G.FixedSeed = true;
        G.Rng.Seed = 4711;
        G.PlayerDrawsFirst = false;
        Events.Game = &G;
        Host.Game = &G;
    }
    void Deal() { G.DealHand(); }

    void Check() const {
        const std::string failure = CheckConsistency(G);
        if (!failure.empty()) {
            std::fprintf(stderr, "inconsistent game: %s\n", failure.c_str());
            std::abort();
        }
    }

    void Chunk(const char* data, size_t size) {
        // A peer past the buffer's limit would lose its connection.
        if (!P.Append(data, size)) P.Clear();
        Settle();
        for (int i = 0; i < 400 && IsPlayersMove(G) && !G.QuitRequested; ++i) {
            if (Bot.Step(G).Kind == TMoveType::None) break;
            Check();
            Settle();
        }
    }
    // As the window does after each action: tokens, then what the driver has
    // pending (the end of a hand releases the tokens held meanwhile).
    void Settle() {
        for (int i = 0; i < 8; ++i) {
            P.ProcessTokens();
            Check();
            TGameDriver(G).Run();
            Check();
            if (P.Held() || !P.HasCompleteToken()) return;
        }
    }
};

}  // namespace canasta::fuzz
