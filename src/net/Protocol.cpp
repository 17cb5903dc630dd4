// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/Protocol.h"

#include "net/Framing.h"
#include "net/RuleString.h"

namespace canasta {

TProtocol::TProtocol(TGame& game, IProtocolEvents& events) : Game(game), Events(events), Moves(game) {}

bool TProtocol::Append(const char* data, size_t size) {
    if (size == 0) return true;
    if (ReceiveBuffer.size() + size > kMaxBuffered) return false;
    const std::string_view incoming(data, size);
    const size_t lastEnd = incoming.rfind(kTokenEnd);
    size_t partial = 0;
    if (lastEnd != std::string_view::npos) {
        partial = size - lastEnd - 1;
    } else {
        const size_t before = ReceiveBuffer.rfind(kTokenEnd);
        partial = ReceiveBuffer.size() - (before == std::string::npos ? 0 : before + 1) + size;
    }
    if (partial > kMaxPartial) return false;
    ReceiveBuffer.append(data, size);
    return true;
}

bool TProtocol::HasCompleteToken() const { return ReceiveBuffer.find(kTokenEnd) != std::string::npos; }

void TProtocol::DropPartialToken() {
    const size_t lastEnd = ReceiveBuffer.rfind(kTokenEnd);
    ReceiveBuffer.erase(lastEnd == std::string::npos ? 0 : lastEnd + 1);
}

void TProtocol::ProcessTokens() {
    if (Processing) return;
    Processing = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{Processing};
    while (!Held()) {
        const size_t end = ReceiveBuffer.find(kTokenEnd);
        if (end == std::string::npos) break;
        // A longer frame than the format allows loses its tail.
        std::string message = ReceiveBuffer.substr(0, std::min(end + 1, kMaxFrame));
        ReceiveBuffer.erase(0, end + 1);
        if (!ApplyMessage(std::move(message))) break;
    }
}

void TProtocol::ProcessLeadingChats() {
    while (!Held()) {
        const size_t end = ReceiveBuffer.find(kTokenEnd);
        if (end == std::string::npos) return;
        std::string message = ReceiveBuffer.substr(0, std::min(end + 1, kMaxFrame));
        std::string rest = message;
        if (LookupToken(NextField(rest)) != tkChat) return;
        ReceiveBuffer.erase(0, end + 1);
        Events.OnChat(NextField(rest));
    }
}

bool TProtocol::ApplyMessage(std::string m) {
    while (!m.empty()) {
        const std::string name = NextField(m);
        const int token = LookupToken(name);
        switch (token) {
            case tkOK:
            case tkSendAgain:
            case tkQuit: break;
            case tkChat: Events.OnChat(NextField(m)); break;
            case tkPlayerId: {
                const std::string who = NextField(m);
                const std::string version = NextField(m);
                if (!Events.OnGreeting(who, version)) return false;
                break;
            }
            case tkRules: {
                std::string rules;
                for (int i = 0; i < kRuleFields; ++i) {
                    if (i) rules += kFieldSep;
                    rules += NextField(m);
                }
                Events.OnRules(rules);
                break;
            }
            case tkUnknown:
                // Whatever follows an unknown name cannot be told apart from
                // fields: one report for the message, the rest is dropped.
                Events.OnUnknownToken(name);
                return true;
            default: {
                int fields = 0;
                switch (token) {
                    case tkDeal:
                    case tkMeld:
                    case tkDiscard:
                    case tkDiscardRedThree: fields = 1; break;
                    case tkUndo:
                    case tkMeldWildCard: fields = 2; break;
                    default: fields = 0; break;
                }
                std::vector<std::string> values;
                for (int i = 0; i < fields; ++i) values.push_back(NextField(m));
                const std::string why = Moves.Apply(token, values);
                if (!why.empty()) Events.OnRefused(TokenName(token), why);
                break;
            }
        }
        if (!m.empty() && m[0] == kTokenEnd) m.erase(0, 1);
    }
    return true;
}

}  // namespace canasta
