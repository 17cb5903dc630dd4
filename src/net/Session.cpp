// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/Session.h"

#include <algorithm>
#include <cstdio>

#include "Version.h"
#include "net/Tokens.h"
#include "net/Codepage.h"
#include "net/Framing.h"
#include "net/Role.h"

namespace canasta {

namespace {
constexpr const char* kNone = "<none>";
// Unknown names from one peer shown as boxes; the rest only go to the log.
constexpr int kUnknownBoxes = 5;
}  // namespace

TNetSession::TNetSession(TGame& game, ISettingsStore* store, INetUi& ui, QObject* parent)
    : QObject(parent), G(game), Store(store), Ui(ui), Sock1(this), Protocol(game, *this) {
    tmTryConnect.setInterval(kTryConnectMs);
    connect(&tmTryConnect, &QTimer::timeout, this, [this] { tmTryConnectTimer(); });
    tmGreeting.setSingleShot(true);
    connect(&tmGreeting, &QTimer::timeout, this, [this] { GreetingTimedOut(); });
    Sock1.OnSessionAvailable = [this](TSockets&, int) { SessionAvailable(); };
    Sock1.OnSessionConnected = [this](TSockets&, int) { SessionConnected(); };
    Sock1.OnSessionClosed = [this](TSockets&, int) { SessionClosed(); };
    Sock1.OnDataAvailable = [this](TSockets&, int socket) { DataAvailable(socket); };
    Sock1.OnErrorOccurred = [this](TSockets&, int, int error, const std::string& msg) { ErrorOccurred(error, msg); };
    Sock1.OnMessage = [this](const std::string& text, const std::string&) { Ui.ShowError(text); };
}

TNetSession::~TNetSession() = default;

std::string TNetSession::StatusText() const {
    switch (NetworkStatus) {
        case nsWaiting: return "Waiting for connection...";
        case nsConnected: return "Connection established with " + OpponentName;
        default: return "Not connected";
    }
}

// ---- connection set-up ----

void TNetSession::BeginConnectDialog() {
    SavedNetworked = G.Config.Networked;
    SavedLevel = G.Config.Level;
    ConnectPending = true;
}

void TNetSession::EndConnectDialog(bool connect) {
    if (connect && ConnectPending) {
        NetworkStatus = nsWaiting;
        Ui.NetworkChanged();
        return;
    }
    tmTryConnect.stop();
    ResetNetwork();
}

void TNetSession::Connect(const std::string& own, const std::string& partner, const std::vector<std::string>& ownList) {
    OwnIPList = ownList;
    OwnIP = own;
    PartnerIP = partner;
    OpponentName = kNone;
    StartConnection(own, partner);
}

void TNetSession::StartConnection(const std::string& own, const std::string& partner) {
    tmTryConnect.stop();
    bool yes = true;
    if (own == partner) {
        yes = SameAddressAnswer ? *SameAddressAnswer
                                : Ui.Ask(
                                      "You and your opponent have the same IP address. Should this instance of "
                                      "Canasta be the server?\r\nNote: this means that your opponent must choose "
                                      "'No' here.");
    }
    Progress = 0;
    const bool listen = ShouldListen(own, partner, yes);
    Ui.OpenTryConnect(TryConnectText(listen));
    tmTryConnect.start();
    if (listen)
        StartListening();
    else
        StartConnecting(partner);
}

void TNetSession::StartListening() {
    NetworkRole = nrListening;
    Sock1.Port = Port;
    Sock1.Listen();
}

void TNetSession::StartConnecting(const std::string& address) {
    NetworkRole = nrConnecting;
    Sock1.Port = Port;
    Sock1.IPAddr = address;
    PartnerAddress = address.substr(0, 20);
    if (!address.empty()) Sock1.SConnect();
}

void TNetSession::tmTryConnectTimer() {
    Progress += 5;
    if (Progress > 99) Progress = 0;
    Ui.StepTryConnect(Progress);
    if (NetworkRole == nrConnecting && NetworkStatus == nsWaiting) {
        if (Sock1.ConnectedSocket() >= 0) Sock1.Disconnect();
        StartConnecting(PartnerIP);
    }
}

void TNetSession::ResetNetwork() { Reset(false); }

void TNetSession::Reset(bool keepGame) {
    ResetAllowed = false;
    tmGreeting.stop();
    const bool wasConnected = Connected;
    const bool networkGame = G.Config.Networked;
    if (Sock1.ListeningSocket() >= 0) Sock1.CancelListen();
    if (Sock1.ConnectedSocket() >= 0) Sock1.Disconnect();
    NetworkRole = nrNone;
    NetworkStatus = nsNotConnected;
    // Complete tokens stay for the routine that holds them; a token cut off
    // by the end of the connection would join the next connection's bytes.
    Protocol.DropPartialToken();
    if (wasConnected) {
        Ui.CloseChat();
        Ui.CloseRuleWindow();
    }
    Connected = false;
    if (!keepGame) {
        Reconnecting = false;
        G.Rules = LoadRuleOptions(Store);
        G.RemoteRules.reset();
        G.Config.Networked = SavedNetworked;
        G.Config.Level = SavedLevel;
        const bool stuck =
            G.TurnPhase == TTurnPhase::HandOver || (G.OpponentsTurn && G.TurnPhase == TTurnPhase::OpponentTurn);
        if (networkGame && !G.Config.Networked && !G.QuitRequested && !G.HandEndPending && stuck) {
            // The remote player's turn, or the deal this side waited for,
            // can never come now: the table starts afresh.
            Ui.RunGameAction([this] { G.DealHand(); });
        }
        Ui.GameChanged();
    }
    Ui.NetworkChanged();
    ResetAllowed = true;
}

void TNetSession::DisconnectCommand() {
    tmTryConnect.stop();
    if (Connected && !Ui.Ask("Are you sure you want to disconnect?")) return;
    ResetNetwork();
}

void TNetSession::Shutdown() {
    tmTryConnect.stop();
    tmGreeting.stop();
    Sock1.Flush(2000);
    ResetAllowed = false;
    if (Sock1.ListeningSocket() >= 0) Sock1.CancelListen();
    if (Sock1.ConnectedSocket() >= 0) Sock1.Disconnect();
    if (Connected) {
        Ui.CloseChat();
        Ui.CloseRuleWindow();
    }
    Connected = false;
    NetworkRole = nrNone;
    NetworkStatus = nsNotConnected;
}

void TNetSession::DropConnection(const std::string& why) {
    if (BeforeGreeting()) {
        DropBeforeGreeting("Network Error:  " + why);
        return;
    }
    ConnectPending = false;
    tmTryConnect.stop();
    Reset(false);
    Ui.ShowError("Network Error:  " + why);
}

bool TNetSession::BeforeGreeting() const {
    if (NetworkStatus == nsConnected) return false;
    // The listening side counts as connected from the accept on.
    if (NetworkRole == nrListening) return Connected;
    if (NetworkRole == nrConnecting) return Sock1.ConnectedSocket() >= 0 && !Sock1.IsConnecting();
    return false;
}

void TNetSession::StartGreetingTimer() { tmGreeting.start(GreetingTimeoutMs); }

void TNetSession::GreetingTimedOut() {
    if (!BeforeGreeting()) return;
    // A greeting that has arrived and only waits for a box of this side to
    // close is not the peer's delay.
    if (Protocol.HasCompleteToken()) {
        tmGreeting.start(1000);
        return;
    }
    DropBeforeGreeting("The other side did not greet in time; the connection was closed.");
}

void TNetSession::DropBeforeGreeting(const std::string& why) {
    // A peer that never became the opponent must not take the game off the
    // network: the listening side listens again, the connecting side keeps
    // retrying. A game that waits for its lost peer keeps waiting.
    const bool keepGame = Reconnecting;
    const uint8_t role = NetworkRole;
    Reset(keepGame);
    Reconnecting = keepGame;
    if (!keepGame) {
        OpponentName = kNone;
        // Nothing that peer sent is applied later.
        Protocol.Clear();
    }
    Progress = 0;
    Ui.OpenTryConnect(TryConnectText(role == nrListening));
    tmTryConnect.start();
    if (role == nrListening)
        StartListening();
    else
        NetworkRole = nrConnecting;  // the retry timer connects again
    NetworkStatus = nsWaiting;
    Ui.NetworkChanged();
    std::fprintf(stderr, "canasta: %s\n", why.c_str());
    Ui.Notice(why);
}

// ---- socket events ----

void TNetSession::SessionAvailable() {
    tmTryConnect.stop();
    if (Sock1.Accept() < 0) return;
    Sock1.CancelListen();
    Ui.OpenChat();
    Connected = true;
    UnknownShown = 0;
    StartGreetingTimer();
    SendGreeting();
}

void TNetSession::SessionConnected() {
    tmTryConnect.stop();
    StartGreetingTimer();
}

void TNetSession::SessionClosed() {
    // What the peer sent before closing still counts (its last move): the
    // reset waits until those tokens could be applied.
    if (Protocol.HasCompleteToken() && (Protocol.Held() || Applying || !Ui.MayApplyTokens()) && ++CloseRetries < 1500) {
        const int socket = Sock1.ConnectedSocket();
        QTimer::singleShot(20, this, [this, socket] {
            if (Sock1.ConnectedSocket() == socket && socket >= 0) SessionClosed();
        });
        return;
    }
    CloseRetries = 0;
    ProcessTokens();
    if (BeforeGreeting()) {
        DropBeforeGreeting("The other side closed the connection before the greeting.");
        return;
    }
    ResetNetwork();
    Ui.CloseTryConnect();
    Ui.Warn("Connection to " + OpponentName + " lost. The network game will now terminate.");
}

void TNetSession::ErrorOccurred(int error, const std::string& msg) {
    // The other side is not listening yet: the retry timer tries again.
    if (error == 10061 && NetworkStatus == nsWaiting && NetworkRole == nrConnecting) return;
    if (ResetAllowed && NetworkRole == nrListening && BeforeGreeting()) {
        DropBeforeGreeting("Network Error:  " + msg);
        return;
    }
    ConnectPending = false;
    tmTryConnect.stop();
    const bool peerReset = error == 10054;
    const bool keepGame = peerReset && (G.Config.Networked || Reconnecting);
    if (ResetAllowed) Reset(keepGame);
    if (peerReset) {
        // Both sides go back to listening and connecting with the same
        // addresses; the game waits untouched. Waiting, so that refusals of
        // the connection attempts are retried instead of ending it.
        Reconnecting = keepGame;
        StartConnection(OwnIP, PartnerIP);
        NetworkStatus = nsWaiting;
        Ui.NetworkChanged();
        return;
    }
    Ui.ShowError("Network Error:  " + msg);
}

void TNetSession::DataAvailable(int socket) {
    std::string buffer(static_cast<size_t>(Sock1.MaximumReceiveLength) + 1, '\0');
    const int n = Sock1.SReceive(socket, buffer.data(), Sock1.MaximumReceiveLength);
    if (n > 0 && !Protocol.Append(buffer.data(), static_cast<size_t>(n))) {
        DropConnection("the opponent sent more than 65536 bytes without ending a token; the connection was closed.");
        return;
    }
    ProcessTokens();
}

// ---- tokens ----

void TNetSession::ProcessTokens() {
    if (Protocol.Held() || !Protocol.HasCompleteToken()) return;
    if (!Ui.MayApplyTokens()) {
        // Moves wait for this side's action to end; a chat line need not.
        Protocol.ProcessLeadingChats();
        if (Protocol.HasCompleteToken()) Ui.ScheduleTokens();
        return;
    }
    if (Applying) {
        // Reached from the events the window pumps after applying tokens:
        // the next round starts from the event loop, not inside this one.
        Ui.ScheduleTokens();
        return;
    }
    Applying = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{Applying};
    Ui.RunGameAction([this] { Protocol.ProcessTokens(); });
}

void TNetSession::SendToken(const std::string& token, const std::string& data) {
    if (!Connected) return;
    Sock1.SetText(BuildFrame(token, data));
}

void TNetSession::SendGreeting() {
    // The name is cut so the version after it always fits the frame.
    const std::string version = std::to_string(kProtocolVersion);
    const size_t room = kMaxFrame - std::string(token::PlayerId).size() - 3 - version.size();
    SendToken(token::PlayerId, JoinFields({WireText(PlayerNetName).substr(0, room), version}));
}

std::string TNetSession::TryConnectText(bool listening) const {
    if (listening) return "Waiting for an opponent on port " + Port + "...";
    return (Reconnecting ? "Trying to reconnect to " : "Trying to connect to ") + PartnerIP + "...";
}

void TNetSession::SendChat(const std::string& typed) {
    if (NetworkRole == nrNone) return;
    const size_t room = kMaxFrame - std::string(token::Chat).size() - 2;
    const std::string line = WireText(PlayerNetName + ": " + typed).substr(0, room);
    SendToken(token::Chat, line);
    // The other side reads the name it knows this side by; here the line
    // carries the player's own name ("Player" when none is chosen).
    const size_t prefix = std::min(line.size(), WireText(PlayerNetName + ": ").size());
    Ui.AddChatLine(G.PlayerLabel() + ": " + DisplayText(line.substr(prefix)), false);
}

void TNetSession::SendRules() { SendToken(token::Rules, BuildRulesString(G.Rules)); }

void TNetSession::CompareRules(const std::string& own, const std::string& received) {
    if (!Connected) return;
    const std::vector<TRuleDifference> rows = canasta::CompareRules(own, received, OpponentRules);
    // From here on the other player's moves and hands are judged by its rules.
    G.RemoteRules = RulesFromString(OpponentRules, G.Rules);
    Ui.ShowRuleDifferences(rows);
}

void TNetSession::ShowRuleDifferences() {
    const std::string received = OpponentRules;
    CompareRules(BuildRulesString(G.Rules), received);
}

void TNetSession::UseOpponentRules() {
    G.Rules = RulesFromString(OpponentRules, G.Rules);
    SendRules();
}

void TNetSession::OnChat(const std::string& text) { Ui.AddChatLine(DisplayText(text), true); }

bool TNetSession::OnGreeting(const std::string& name, const std::string& version) {
    const bool fresh = OpponentName == kNone;
    const std::string before = OpponentName;
    Ui.NewRuleWindow();
    OpponentName = DisplayText(name.substr(0, 255));
    if (version != std::to_string(kProtocolVersion)) {
        const std::string text = "You have version " + std::to_string(kReleaseNumber) +
                                 " and your opponent has another version. Please use the same version.";
        if (NetworkRole == nrListening) {
            OpponentName = before;
            DropBeforeGreeting(text);
            Protocol.Clear();
            return false;
        }
        Ui.Inform(text);
        NetworkRole = nrNone;
        ResetNetwork();
        Ui.CloseTryConnect();
        // Nothing more from this peer is applied.
        Protocol.Clear();
        return false;
    }
    tmGreeting.stop();
    NetworkStatus = nsConnected;
    Reconnecting = false;
    G.Config.Networked = true;
    G.Config.OpponentName = OpponentName;
    if (fresh) {
        // Both sides start the match from nothing (the listening side's
        // copy alone would leave the totals different), and the connecting
        // side's table waits for the deal.
        G.Seat(TSeat::Player).Score = G.Seat(TSeat::Opponent).Score = 0;
        G.GameInProgress = false;
        HandsPlayed = 0;
    }
    Ui.NetworkChanged();
    if (NetworkRole == nrConnecting) {
        Ui.OpenChat();
        Connected = true;
        UnknownShown = 0;
        SendGreeting();
        if (fresh) {
            G.OpponentsTurn = false;
            G.SetTurnPhase(TTurnPhase::HandOver);
        }
    } else if (fresh) {
        G.DealHand();
    }
    Ui.GameChanged();
    Ui.AddChatLine("Connection established with " + OpponentName + ". " +
                       "Resize window to see more text, right-click to change font.",
                   false);
    SendRules();
    Ui.CloseTryConnect();
    return true;
}

void TNetSession::OnRules(const std::string& rules) { CompareRules(BuildRulesString(G.Rules), rules); }

void TNetSession::OnUnknownToken(const std::string& name) {
    const std::string shown = DisplayText(name);
    std::fprintf(stderr, "canasta: unknown token \"%s\"\n", shown.c_str());
    // A peer that has not greeted is no player yet: it gets no boxes.
    if (UnknownShown >= kUnknownBoxes || NetworkStatus != nsConnected) return;
    ++UnknownShown;
    Ui.ShowError("Unknown token: " + shown);
}

void TNetSession::OnRefused(const std::string& token, const std::string& why) {
    std::fprintf(stderr, "canasta: %s refused: %s\n", token.c_str(), why.c_str());
}

}  // namespace canasta
