// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two copies of a network game wired back to back in memory: what one side
// sends is appended to the other side's receive buffer and applied there.
// Each side's player seat is played by a bot through the table's gestures.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ai/Levels.h"
#include "ai/PlayerBot.h"
#include "model/Game.h"
#include "net/Digest.h"
#include "net/Framing.h"
#include "net/MoveTokens.h"
#include "net/Protocol.h"
#include "rules/Consistency.h"
#include "rules/Driver.h"

namespace canasta::test {

struct TNetSide : THeadlessHost, IProtocolEvents {
    TGame G;
    TProtocol P;
    std::string Out;                // bytes sent and not yet delivered
    std::vector<std::string> Sent;  // token names in order
    std::vector<std::string> HandLines;
    std::vector<std::string> Refusals;
    std::vector<std::string> Chats, Unknown;
    std::vector<std::string> RulesSeen;
    int Greetings = 0;
    // Called inside the end-of-hand window (tokens are held then).
    std::function<void()> DuringHandResult;
    std::string Name;
    std::vector<std::string>* Log = nullptr;

    explicit TNetSide(const std::string& opponentName, uint32_t seed, TRuleOptions rules = {})
        : G(*this, rules), P(G, *this) {
        G.Config.Networked = true;
        G.Config.OpponentName = opponentName;
        G.Config.MeldDelay = 0;
        G.FixedSeed = true;
        G.Rng.Seed = seed;
    }

    void MoveMade(const TMoveReport& move) override {
        if (move.Seat != TSeat::Player) return;
        const auto [token, data] = MoveToken(move, G);
        Out += BuildFrame(token, data);
        Sent.push_back(token);
        if (Log) {
            std::string d = token == "DEAL" ? std::string("...") : data;
            for (char& c : d)
                if (c == kFieldSep) c = ';';
            Log->push_back(Name + " " + token + " " + d);
        }
    }
    void ShowHandResult(const THandResult& r) override {
        THeadlessHost::ShowHandResult(r);
        if (DuringHandResult) DuringHandResult();
    }
    void HandFinished(const THandResult& r) override {
        THeadlessHost::HandFinished(r);
        HandLines.push_back(HandLine(G, static_cast<int>(HandLines.size()) + 1));
    }

    void OnChat(const std::string& text) override { Chats.push_back(text); }
    bool OnGreeting(const std::string&, const std::string&) override {
        ++Greetings;
        return true;
    }
    void OnRules(const std::string& rules) override { RulesSeen.push_back(rules); }
    void OnUnknownToken(const std::string& name) override { Unknown.push_back(name); }
    void OnRefused(const std::string& token, const std::string& why) override {
        Refusals.push_back(token + ": " + why);
    }
};

// "hand N: a b X Y" -> "hand N: b a Y X"
inline std::string Swapped(const std::string& line) {
    std::istringstream in(line);
    std::string hand, n, a, b, x, y;
    in >> hand >> n >> a >> b >> x >> y;
    return hand + " " + n + " " + b + " " + a + " " + y + " " + x;
}

struct TNetPair {
    TNetSide A{"Bea", 1001};
    TNetSide B{"Al", 2002};
    std::unique_ptr<TPlayerBot> BotA, BotB;
    // A computer level playing a side's own seat instead of its bot (its
    // moves reach the other copy as the table's gestures would).
    std::unique_ptr<TComputerLevels> LevelsA, LevelsB;
    IComputerLevel* SeatLevelA = nullptr;
    IComputerLevel* SeatLevelB = nullptr;
    int LevelTurns = 0;
    std::string Failure;
    std::vector<std::string> Log;
    // The last tokens sent, for a failure message.
    std::string Tail(size_t n = 16) const {
        std::string out;
        for (size_t i = Log.size() > n ? Log.size() - n : 0; i < Log.size(); ++i) out += "\n  " + Log[i];
        return out;
    }

    TNetPair(const std::string& botA, const std::string& botB, uint32_t seed, TRuleOptions rules = {})
        : TNetPair(botA, botB, seed, rules, rules) {}
    // Each side with its own rules, each knowing the other's (as after the greeting).
    TNetPair(const std::string& botA, const std::string& botB, uint32_t seed, TRuleOptions rulesA, TRuleOptions rulesB)
        : A("Bea", seed * 2 + 1, rulesA), B("Al", seed * 2 + 2, rulesB) {
        A.G.RemoteRules = rulesB;
        B.G.RemoteRules = rulesA;
        BotA = MakePlayerBot(botA);
        BotB = MakePlayerBot(botB);
        A.Name = "A";
        B.Name = "B";
        A.Log = B.Log = &Log;
        BotA->Seed(seed * 7 + 3);
        BotB->Seed(seed * 11 + 5);
    }

    // What the table does after an action: the driver runs what follows
    // (the end of the hand, the next deal), then tokens held meanwhile pass.
    // Side A (0) or B (1) plays its seat with the computer level of that
    // index (0 Beginner, 1 Advanced, 2 Expert).
    void UseLevel(int side, int level) {
        std::unique_ptr<TComputerLevels>& owned = side == 0 ? LevelsA : LevelsB;
        owned = std::make_unique<TComputerLevels>((side == 0 ? A : B).G);
        IComputerLevel* chosen = level == 0   ? static_cast<IComputerLevel*>(&owned->Beginner)
                                 : level == 1 ? static_cast<IComputerLevel*>(&owned->Advanced)
                                              : static_cast<IComputerLevel*>(&owned->Expert);
        (side == 0 ? SeatLevelA : SeatLevelB) = chosen;
    }

    static void Settle(TNetSide& side) {
        for (int i = 0; i < 8; ++i) {
            TGameDriver(side.G).Run();
            if (side.P.Held() || !side.P.HasCompleteToken()) return;
            side.P.ProcessTokens();
        }
    }
    static void Deliver(TNetSide& from, TNetSide& to) {
        if (!from.Out.empty()) {
            to.P.Append(from.Out);
            from.Out.clear();
        }
        to.P.ProcessTokens();
        Settle(to);
    }
    void DeliverAll() {
        for (int i = 0; i < 8 && (!A.Out.empty() || !B.Out.empty() || A.P.HasCompleteToken() || B.P.HasCompleteToken());
             ++i) {
            Deliver(A, B);
            Deliver(B, A);
        }
    }

    // A deals the first hand; both play until each has finished `hands`
    // hands. Returns false (with Failure set) on a refusal, an inconsistency
    // or a bot that cannot move.
    bool Play(int hands, int maxSteps = 400000) {
        A.G.PlayerDrawsFirst = true;
        A.G.DealHand();
        Settle(A);
        DeliverAll();
        for (int step = 0; step < maxSteps; ++step) {
            if (static_cast<int>(A.HandLines.size()) >= hands && static_cast<int>(B.HandLines.size()) >= hands)
                return Check();
            bool moved = false;
            for (int s = 0; s < 2; ++s) {
                TNetSide& side = s == 0 ? A : B;
                TPlayerBot& bot = s == 0 ? *BotA : *BotB;
                IComputerLevel* level = s == 0 ? SeatLevelA : SeatLevelB;
                if (!IsPlayersMove(side.G)) continue;
                if (level) {
                    level->PlayTurn(side.G, TSeat::Player);
                    ++LevelTurns;
                } else if (bot.Step(side.G).Kind == TMoveType::None) {
                    Failure = std::string(s == 0 ? "A" : "B") + "'s bot cannot move";
                    return false;
                }
                moved = true;
                Settle(side);
                DeliverAll();
                if (!Check()) return false;
            }
            if (!moved) {
                DeliverAll();
                if (!IsPlayersMove(A.G) && !IsPlayersMove(B.G)) {
                    Failure = "neither side can move (A phase " + std::to_string(int(A.G.TurnPhase)) + ", B phase " +
                              std::to_string(int(B.G.TurnPhase)) + ")" + State(A) + State(B) + Tail();
                    return false;
                }
            }
        }
        Failure = "too many steps";
        return false;
    }

    static std::string State(const TNetSide& s) {
        return "\n " + s.Name + ": hands " + std::to_string(s.HandLines.size()) + ", hand number " +
               std::to_string(s.G.HandNumber) + ", sent " + std::to_string(s.Sent.size()) +
               (s.Sent.empty() ? "" : " last " + s.Sent.back()) + ", scores " +
               std::to_string(s.G.Seat(TSeat::Player).Score) + "/" + std::to_string(s.G.Seat(TSeat::Opponent).Score) +
               (s.G.HandEndPending ? ", hand end pending" : "") +
               (s.G.MatchAnswerPending ? ", match answer pending" : "") + (s.G.QuitRequested ? ", quit" : "") +
               (s.P.Held() ? ", tokens held" : "");
    }

    bool Check() {
        for (TNetSide* s : {&A, &B}) {
            if (!s->Refusals.empty()) {
                Failure = std::string(s == &A ? "A" : "B") + " refused " + s->Refusals.front() + Tail();
                return false;
            }
            const std::string c = CheckConsistency(s->G);
            if (!c.empty()) {
                Failure = std::string(s == &A ? "A" : "B") + " inconsistent: " + c;
                return false;
            }
        }
        // Between moves both copies agree on every seat.
        if (A.Out.empty() && B.Out.empty() && !A.P.HasCompleteToken() && !B.P.HasCompleteToken() &&
            A.G.HandNumber > 0 && !A.G.HandEndPending && !B.G.HandEndPending &&
            A.HandLines.size() == B.HandLines.size()) {
            if (SeatDigest(A.G, TSeat::Player) != SeatDigest(B.G, TSeat::Opponent) ||
                SeatDigest(A.G, TSeat::Opponent) != SeatDigest(B.G, TSeat::Player)) {
                Failure = "digests differ" + Tail(40) + "\n A lines:";
                for (auto& l : A.HandLines) Failure += "\n  " + l;
                Failure += "\n B lines:";
                for (auto& l : B.HandLines) Failure += "\n  " + Swapped(l);
                Failure += "\n A: hand " + std::to_string(A.G.Seat(TSeat::Player).Hand.Count) + " opp " +
                           std::to_string(A.G.Seat(TSeat::Opponent).Hand.Count) + " stock " +
                           std::to_string(A.G.Stock.Count) + " pile " + std::to_string(A.G.DiscardPile.Count) +
                           " scores " + std::to_string(A.G.Seat(TSeat::Player).Score) + "/" +
                           std::to_string(A.G.Seat(TSeat::Opponent).Score) + " phase " +
                           std::to_string(int(A.G.TurnPhase));
                Failure += "\n B: hand " + std::to_string(B.G.Seat(TSeat::Player).Hand.Count) + " opp " +
                           std::to_string(B.G.Seat(TSeat::Opponent).Hand.Count) + " stock " +
                           std::to_string(B.G.Stock.Count) + " pile " + std::to_string(B.G.DiscardPile.Count) +
                           " scores " + std::to_string(B.G.Seat(TSeat::Player).Score) + "/" +
                           std::to_string(B.G.Seat(TSeat::Opponent).Score) + " phase " +
                           std::to_string(int(B.G.TurnPhase));
                return false;
            }
        }
        return true;
    }
};

}  // namespace canasta::test

namespace canasta::test {

// Lays a table area out again from its list order: each card at the next
// place of its column, a canasta stacked.
inline void LayOutTable(TCardList& list, const TMeldState& ms) {
    list.Depths = {};
    for (TCard& card : list) {
        int8_t& depth = list.Depths[card.Column];
        if (ms.CanastaKind[card.Column] != ckNone) {
            depth = 1;
        } else {
            ++depth;
        }
        card.Depth = depth;
    }
}

// The other side's copy of a hand-built table: the same cards and list
// orders with the seats exchanged, the turn handed over.
inline void MirrorInto(const TGame& a, TGame& b) {
    static_cast<TGameState&>(b) = a.State();
    std::swap(b.Seat(TSeat::Player).Hand, b.Seat(TSeat::Opponent).Hand);
    std::swap(b.Seat(TSeat::Player).Melds, b.Seat(TSeat::Opponent).Melds);
    std::swap(b.Seat(TSeat::Player).MeldState, b.Seat(TSeat::Opponent).MeldState);
    std::swap(b.Seat(TSeat::Player).Score, b.Seat(TSeat::Opponent).Score);
    std::swap(b.Seat(TSeat::Player).PointsBeforeTurn, b.Seat(TSeat::Opponent).PointsBeforeTurn);
    b.Seat(TSeat::Player).PickedUp = {};
    b.UndoStack.clear();
    b.HandNumber = a.HandNumber;
    // The hand in columns, the opponent's hand in a row.
    TCardList hand = b.Seat(TSeat::Player).Hand;
    b.Seat(TSeat::Player).Hand = {};
    for (TCard c : hand) {
        c.FaceUp = true;
        PlaceInColumn(b.Seat(TSeat::Player).Hand, false, c);
        AddCard(b.Seat(TSeat::Player).Hand, c);
    }
    for (TCard& c : b.Seat(TSeat::Opponent).Hand) ClearColumn(c);
    LayOutTable(b.Seat(TSeat::Player).Melds, b.Seat(TSeat::Player).MeldState);
    LayOutTable(b.Seat(TSeat::Opponent).Melds, b.Seat(TSeat::Opponent).MeldState);
    b.Seat(TSeat::Opponent).MeldedPoints = 0;
    for (const TCard& c : b.Seat(TSeat::Opponent).Melds)
        if (!IsRedThree(c)) b.Seat(TSeat::Opponent).MeldedPoints += c.Points;
    // Whose turn it is, seen from the other side.
    b.OpponentsTurn = !a.OpponentsTurn;
    b.TurnStart = true;
    b.HasDrawn = false;
    b.TopCardPending = b.PileTakeUndoable = false;
    b.DrawsThisTurn = 0;
    b.SetTurnPhase(b.OpponentsTurn ? TTurnPhase::OpponentTurn : TTurnPhase::Draw);
    b.SaveTurnSnapshot();
}

}  // namespace canasta::test
