// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The receiving side of the token protocol: the receive buffer, the split into
// tokens, and their application. Game moves go to the opponent seat of the
// game (TOpponentMirror); greeting, chat, rules and unknown names go to the
// connection that owns the protocol (IProtocolEvents).
#include <cstddef>
#include <string>
#include <vector>

#include "model/Game.h"
#include "net/OpponentMoves.h"

namespace canasta {

class IProtocolEvents {
public:
    virtual ~IProtocolEvents() = default;
    // "CHAT": one line, as received (Windows-1252 bytes).
    virtual void OnChat(const std::string& text) = 0;
    // "PLAYERID": the opponent's name and protocol version as received.
    // Returns false when the connection was reset (the rest is dropped).
    virtual bool OnGreeting(const std::string& name, const std::string& version) = 0;
    // "RULES": the received rule string (its fields joined by 0xFE).
    virtual void OnRules(const std::string& rules) = 0;
    // A name that is not in the table.
    virtual void OnUnknownToken(const std::string& name) = 0;
    // A move that was not applied, and why (for the log).
    virtual void OnRefused(const std::string& token, const std::string& why) {}
};

class TProtocol {
public:
    // Bytes after the last token end that are still no token: past this the
    // peer is not speaking the protocol.
    static constexpr size_t kMaxPartial = 64 * 1024;
    // Everything kept unapplied (held tokens included).
    static constexpr size_t kMaxBuffered = 1024 * 1024;

    TProtocol(TGame& game, IProtocolEvents& events);

    // Appends received bytes. False (nothing appended) when a limit would be
    // passed; the caller then drops the connection.
    bool Append(const char* data, size_t size);
    bool Append(const std::string& bytes) { return Append(bytes.data(), bytes.size()); }

    // Applies the complete tokens in order, unless tokens are held. Not
    // re-entered: tokens arriving while one is applied wait for the loop.
    void ProcessTokens();

    // While moves must wait for an action of this side to end (a message box
    // of it open): the chat lines at the head of the buffer are shown anyway.
    // Nothing passes tokens that are held.
    void ProcessLeadingChats();

    // Set by the owner while tokens must wait (besides the end of a hand,
    // which holds them until its windows are closed and the next deal made:
    // TGame::HandEndPending).
    bool HoldTokens = false;
    bool Held() const { return HoldTokens || Game.HandEndPending; }
    bool HasCompleteToken() const;

    // A reset keeps complete tokens but drops an unfinished one: its rest
    // will never come on a new connection.
    void DropPartialToken();
    void Clear() { ReceiveBuffer.clear(); }
    const std::string& Buffer() const { return ReceiveBuffer; }

    TOpponentMirror& Mirror() { return Moves; }

private:
    // Applies one message (one token when well formed); false stops the loop.
    bool ApplyMessage(std::string message);

    TGame& Game;
    IProtocolEvents& Events;
    TOpponentMirror Moves;
    std::string ReceiveBuffer;
    bool Processing = false;
};

}  // namespace canasta
