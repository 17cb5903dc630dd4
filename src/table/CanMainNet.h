// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table window's network part: the "&Network" menu, the game connection
// with its chat, try-connect and rule-differences windows, and scripted play
// from the command line (a bot in the player's seat, the connection made
// without questions, a line per finished hand on stdout).
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>

#include "model/GameHost.h"
#include "net/Session.h"

class QAction;
class QKeyEvent;
class QMenu;

namespace canasta {

class TfmCanMain;
class TfmChat;
class TfmRuleDifferences;
class TfmTryConnect;
class TPlayerBot;

// Whether a key typed on the table also goes to the chat's input line.
bool TypedIntoChat(int qtKey);

struct TNetStartOptions {
    QString Autoplay;     // "greedy" or "random": the bot plays this seat
    bool Listen = false;  // wait for the other instance
    QString ConnectTo;    // connect to the instance at this address
    QString IpArgument;   // a first parameter "/ip:ADDRESS"
    bool QuitAfterMatch = false;
    int QuitAfterHands = 0;  // 0: no limit
    QString Port;            // the game's port when not 31415
    // A fixed seed for the deals and the bot instead of the clock and the
    // process id, so that a scripted run can be replayed.
    std::optional<uint32_t> Seed;
};

class TTableNetwork : public QObject, public INetUi {
    Q_OBJECT
public:
    explicit TTableNetwork(TfmCanMain& window);
    ~TTableNetwork() override;

    void Configure(const TNetStartOptions& options);
    TNetSession& Session() { return Net; }
    bool Autoplaying() const { return Bot != nullptr; }

    // ---- hooks of the table window ----
    // After the first deal: the connection and the bot from the command line.
    void AfterSplash();
    void SendToken(const std::string& token, const std::string& data);
    void HandFinished(const THandResult& result);
    // An action of the player ended: tokens that waited are applied.
    void AfterAction();
    // The Rules dialog was closed with OK.
    void RulesChanged();
    // During a network game a key the table did not use as a command is
    // typed into the chat's input line, and the chat comes to the front.
    bool ForwardKeyToChat(const QKeyEvent& key);
    // Letters typed on the table go to the chat (connected, the chat open).
    bool TypesIntoChat() const;
    // The status-bar text for a phase (the waiting text while waiting).
    std::string StatusFor(const std::string& phaseText) const;
    void Shutdown();

    // ---- menu ----
    QMenu* NetworkMenu() const { return mnuNetwork; }
    QAction* ConnectAction() const { return mnConnect; }
    QAction* DisconnectAction() const { return mnDisconnect; }
    QAction* RuleDifferencesAction() const { return mnRuleDifferences; }
    QAction* ChatOnTopAction() const { return mnChatOnTop; }
    QAction* RequestListingAction() const { return mnRequestListing; }
    void mnConnectClick();
    void mnDisconnectClick();
    void mnRuleDifferencesClick();
    void mnChatOnTopClick();

    TfmChat* Chat() const;
    TfmRuleDifferences* RuleWindow() const;
    TfmTryConnect* TryWindow() const;

    // ---- INetUi ----
    bool Ask(const std::string& question) override;
    void Inform(const std::string& text) override;
    void Warn(const std::string& text) override;
    void ShowError(const std::string& text) override;
    void Notice(const std::string& text) override;
    void NetworkChanged() override;
    void OpenTryConnect(const std::string& text) override;
    void StepTryConnect(int progress) override;
    void CloseTryConnect() override;
    void OpenChat() override;
    void CloseChat() override;
    void AddChatLine(const std::string& text, bool received) override;
    void NewRuleWindow() override;
    void ShowRuleDifferences(const std::vector<TRuleDifference>& rows) override;
    void CloseRuleWindow() override;
    void RunGameAction(const std::function<void()>& action) override;
    bool MayApplyTokens() override;
    void ScheduleTokens() override;
    void GameChanged() override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void CreateMenu();
    void UpdateMenu();
    void StartFromCommandLine();
    void StartAutoplay();
    void AutoStep();
    std::string NetName() const;

    TfmCanMain& W;
    TNetSession Net;
    TNetStartOptions Start;
    QMenu* mnuNetwork = nullptr;
    QAction* mnConnect = nullptr;
    QAction* mnRuleDifferences = nullptr;
    QAction* mnDisconnect = nullptr;
    QAction* mnRequestListing = nullptr;
    QAction* mnChatOnTop = nullptr;
    QPointer<TfmChat> ChatWindow;
    QPointer<TfmRuleDifferences> RuleDiffWindow;
    QPointer<TfmTryConnect> TryConnectWindow;
    QTimer TokenTimer;
    QTimer AutoTimer;  // a slow fallback
    QTimer AutoNext;   // the next move right after the last action
    QTimer PaintTimer;
    std::unique_ptr<TPlayerBot> Bot;
    int LocalHands = 0;
    int StuckSteps = 0;
};

}  // namespace canasta
