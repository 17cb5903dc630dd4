// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The network side of the table window: the game connection (Sock1), who
// listens and who connects, retrying, the greeting, sending and receiving
// tokens, chat lines and rule strings, and the reset to the unconnected state.
// Everything a person sees goes through INetUi, so the whole flow can run
// headless in tests.
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/Game.h"
#include "model/Settings.h"
#include "net/Protocol.h"
#include "net/RuleString.h"
#include "net/Sockets.h"

namespace canasta {

class INetUi {
public:
    virtual ~INetUi() = default;
    virtual bool Ask(const std::string& question) = 0;  // Yes / No
    virtual void Inform(const std::string& text) = 0;
    virtual void Warn(const std::string& text) = 0;
    virtual void ShowError(const std::string& text) = 0;
    // A message that must not stop anything (no box to answer): a peer was
    // dropped before it greeted and the game waits for the next one.
    virtual void Notice(const std::string& text) = 0;
    // NetworkStatus or the connection changed: status bar and menu items.
    virtual void NetworkChanged() = 0;
    // The try-connect window: created and shown, stepped by the retry timer, released.
    // The window that shows the connection being made; text says what this
    // side is doing (waiting on its port, or connecting to the partner).
    virtual void OpenTryConnect(const std::string& text) = 0;
    virtual void StepTryConnect(int progress) = 0;
    virtual void CloseTryConnect() = 0;
    virtual void OpenChat() = 0;
    virtual void CloseChat() = 0;
    // received: brought to the front with its short flash.
    virtual void AddChatLine(const std::string& text, bool received) = 0;
    // A fresh hidden, empty rule-differences window.
    virtual void NewRuleWindow() = 0;
    // Shows the rows, or (none) replaces the window by a hidden empty one.
    virtual void ShowRuleDifferences(const std::vector<TRuleDifference>& rows) = 0;
    virtual void CloseRuleWindow() = 0;
    // Runs a step that changes the game inside the window's error boundary.
    virtual void RunGameAction(const std::function<void()>& action) = 0;
    // Whether received tokens may be applied now (no action of the player
    // running); when not, the window calls ProcessTokens once it is idle.
    virtual bool MayApplyTokens() = 0;
    virtual void ScheduleTokens() = 0;
    // The game was changed outside an action (scores zeroed, a new local hand).
    virtual void GameChanged() = 0;
};

class TNetSession : public QObject, public IProtocolEvents {
    Q_OBJECT
public:
    enum : uint8_t { nrConnecting = 0, nrListening = 1, nrNone = 2 };
    enum : uint8_t { nsNotConnected = 0, nsWaiting = 1, nsConnected = 2 };
    static constexpr int kTryConnectMs = 2000;
    // A peer that has not greeted by then is dropped.
    static constexpr int kGreetingTimeoutMs = 30000;

    TNetSession(TGame& game, ISettingsStore* store, INetUi& ui, QObject* parent = nullptr);
    ~TNetSession() override;

    // ---- state shared with the window ----
    uint8_t NetworkRole = nrNone;
    uint8_t NetworkStatus = nsNotConnected;
    bool Connected = false;
    std::string OwnIP, PartnerIP;
    std::vector<std::string> OwnIPList;
    std::string PartnerAddress;  // last address handed to SConnect, at most 20 bytes
    std::string PlayerNetName = "Opponent";
    std::string OpponentName;   // "<none>" from "Connect" until the first greeting
    std::string OpponentRules;  // as received, each field followed by 0xFE
    bool ConnectPending = false;
    bool ResetAllowed = true;
    // The game's port; tests use another.
    std::string Port = "31415";
    // Set from the command line: the answer to the same-address question.
    std::optional<bool> SameAddressAnswer;
    // Hands finished since the connection was made (for the hand lines).
    int HandsPlayed = 0;
    // How long a new connection may take to greet; tests use less.
    int GreetingTimeoutMs = kGreetingTimeoutMs;

    TSockets& Socket() { return Sock1; }
    TProtocol& Tokens() { return Protocol; }
    QTimer& TryConnectTimer() { return tmTryConnect; }
    std::string StatusText() const;
    // The game belongs to a peer that is gone for the moment (waiting for
    // the reconnection after a reset by the peer): the table takes no input.
    bool WaitingForPeer() const { return Reconnecting && !Connected; }

    // ---- connection set-up ----
    // "Connect to Opponent": before the dialog (the opponent kind is kept)...
    void BeginConnectDialog();
    // ...and after it: whether it ended with "Connect".
    void EndConnectDialog(bool connect);
    // The dialog's Connect: own and partner addresses chosen.
    void Connect(const std::string& own, const std::string& partner, const std::vector<std::string>& ownList);
    void StartConnection(const std::string& own, const std::string& partner);
    void StartListening();
    void StartConnecting(const std::string& address);
    void ResetNetwork();
    // "&Disconnect" and the try-connect window's "&Cancel".
    void DisconnectCommand();
    // The program ends: what is queued is sent, the connection closed.
    void Shutdown();

    // ---- tokens ----
    void SendToken(const std::string& token, const std::string& data);
    // The chat's Enter: the line is sent and shown.
    void SendChat(const std::string& typed);
    // What the connection window says while this side listens or connects.
    std::string TryConnectText(bool listening) const;
    void SendRules();
    // The menu item: compares the last received rules again.
    void ShowRuleDifferences();
    void UseOpponentRules();
    // Applies received tokens (held ones included once they may run).
    void ProcessTokens();

    // ---- IProtocolEvents ----
    void OnChat(const std::string& text) override;
    bool OnGreeting(const std::string& name, const std::string& version) override;
    void OnRules(const std::string& rules) override;
    void OnUnknownToken(const std::string& name) override;
    void OnRefused(const std::string& token, const std::string& why) override;

private:
    void SendGreeting();
    void CompareRules(const std::string& own, const std::string& received);
    void tmTryConnectTimer();
    void SessionAvailable();
    void SessionConnected();
    void SessionClosed();
    void ErrorOccurred(int error, const std::string& msg);
    void DataAvailable(int socket);
    void Reset(bool keepGame);
    void DropConnection(const std::string& why);
    void StartGreetingTimer();
    void GreetingTimedOut();
    // A connection whose greeting has not completed yet.
    bool BeforeGreeting() const;
    // Such a connection failed: it is closed, and the listening side waits
    // for the next peer on its port, the connecting side tries again.
    void DropBeforeGreeting(const std::string& why);

    TGame& G;
    ISettingsStore* Store;
    INetUi& Ui;
    TSockets Sock1;
    TProtocol Protocol;
    QTimer tmTryConnect;
    QTimer tmGreeting;
    int Progress = 0;
    // Received tokens are being applied; the window pumps events after
    // each action, and a read arriving then must not start another round
    // inside this one (a flood would nest without end).
    bool Applying = false;
    bool SavedNetworked = false;
    int SavedLevel = 0;
    // A reset by the peer (10054) keeps the game for the reconnection.
    bool Reconnecting = false;
    int UnknownShown = 0;
    int CloseRetries = 0;
};

}  // namespace canasta
