// SPDX-License-Identifier: GPL-3.0-or-later
// The table window's network part.
#include "table/CanMainNet.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>

#include <cstdio>

#include "ai/PlayerBot.h"
#include "dialogs/Modal.h"
#include "dialogs/Results.h"
#include "help/HelpContexts.h"
#include "help/HelpWindow.h"
#include "dialogs/PLRequest.h"
#include "dialogs/Chat.h"
#include "dialogs/ConnectDialog.h"
#include "net/Digest.h"
#include "net/Role.h"
#include "dialogs/RuleDifferences.h"
#include "media/SoundSystem.h"
#include "dialogs/TryConnect.h"
#include "store/SettingsCatalog.h"
#include "table/CanMain.h"
#include "table/TableView.h"

namespace canasta {

namespace {

QString Title() { return QString::fromLatin1(kProgramTitle); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

void CentreOn(QWidget* w, const QRect& area) {
    w->adjustSize();
    w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
}

}  // namespace

bool TypedIntoChat(int key) {
    // Printable keys, except the space bar.
    if (key > Qt::Key_Space && key < 0x01000000) return true;
    switch (key) {
        // Editing and moving keys, and the function keys the table leaves alone.
        case Qt::Key_Insert:
        case Qt::Key_Delete:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_F1:
        case Qt::Key_F2:
        case Qt::Key_F3:
        case Qt::Key_F4:
        case Qt::Key_F12: return true;
        default:
            // Enter, Tab, Backspace, Esc, the space bar and the modifier and
            // lock keys on their own do not bring the chat up.
            return false;
    }
}

TTableNetwork::TTableNetwork(TfmCanMain& window) : QObject(&window), W(window), Net(window.G, &window.Store, *this) {
    TokenTimer.setSingleShot(true);
    TokenTimer.setInterval(0);
    connect(&TokenTimer, &QTimer::timeout, this, [this] { Net.ProcessTokens(); });
    AutoTimer.setInterval(20);
    connect(&AutoTimer, &QTimer::timeout, this, [this] { AutoStep(); });
    AutoNext.setSingleShot(true);
    AutoNext.setInterval(0);
    connect(&AutoNext, &QTimer::timeout, this, [this] { AutoStep(); });
    // A bot's game is painted a few times a second, not after every move:
    // painting the table would take most of the time otherwise.
    PaintTimer.setInterval(250);
    connect(&PaintTimer, &QTimer::timeout, this, [this] {
        W.View->setUpdatesEnabled(true);
        W.View->repaint();
        W.View->setUpdatesEnabled(false);
    });
    CreateMenu();
    // Ahead of the table's own filter: input waits while the peer is gone.
    qApp->installEventFilter(this);
}

TTableNetwork::~TTableNetwork() {
    qApp->removeEventFilter(this);
    delete ChatWindow;
    delete RuleDiffWindow;
    delete TryConnectWindow;
}

void TTableNetwork::Configure(const TNetStartOptions& options) {
    Start = options;
    if (!Start.Port.isEmpty()) Net.Port = Start.Port.toStdString();
    if (Start.Seed) {
        W.G.FixedSeed = true;
        W.G.Rng.Seed = *Start.Seed;
        W.G.PlayerDrawsFirst = (*Start.Seed >> 16) & 1;
    }
}

TfmChat* TTableNetwork::Chat() const { return ChatWindow; }
TfmRuleDifferences* TTableNetwork::RuleWindow() const { return RuleDiffWindow; }
TfmTryConnect* TTableNetwork::TryWindow() const { return TryConnectWindow; }

std::string TTableNetwork::NetName() const {
    return W.G.Config.PlayerName.empty() ? std::string("Opponent") : W.G.Config.PlayerName;
}

// ---- menu ----

void TTableNetwork::CreateMenu() {
    mnuNetwork = new QMenu(QStringLiteral("&Network"), &W);
    mnConnect = mnuNetwork->addAction(QStringLiteral("&Connect to Opponent..."), this, [this] { mnConnectClick(); });
    mnConnect->setStatusTip(QStringLiteral("Connect to another player over a network"));
    mnRuleDifferences =
        mnuNetwork->addAction(QStringLiteral("&Rule Differences..."), this, [this] { mnRuleDifferencesClick(); });
    mnRuleDifferences->setStatusTip(
        QStringLiteral("Shows the differences in rule settings between you and your opponent, if there are any"));
    mnDisconnect = mnuNetwork->addAction(QStringLiteral("&Disconnect"), this, [this] { mnDisconnectClick(); });
    mnDisconnect->setStatusTip(QStringLiteral("Cancel network connection"));
    // Sending the player list by mail belongs to the mail part.
    mnRequestListing = mnuNetwork->addAction(QStringLiteral("Request &Listing"), this, [this] {
        RequestListing(&W, &W.Store, QString::fromStdString(W.G.Config.PlayerName));
    });
    mnRequestListing->setObjectName(QStringLiteral("mnRequestListing"));
    mnuNetwork->addSeparator();
    mnChatOnTop =
        mnuNetwork->addAction(QStringLiteral("&Chat window always on top"), this, [this] { mnChatOnTopClick(); });
    mnChatOnTop->setStatusTip(QStringLiteral("Check this to keep the chat window visible at all times"));
    mnChatOnTop->setWhatsThis(WhatsThisText(hcChatOnTop));
    mnChatOnTop->setCheckable(true);
    mnChatOnTop->setChecked(Read(&W.Store, settings::ChatOnTop));

    // Before "&Help", after the menus of the game.
    QAction* before = nullptr;
    for (QAction* a : W.menuBar()->actions())
        if (a->text() == QStringLiteral("&Help")) before = a;
    if (before)
        W.menuBar()->insertMenu(before, mnuNetwork);
    else
        W.menuBar()->addMenu(mnuNetwork);
    Net.TryConnectTimer().stop();
    UpdateMenu();
}

void TTableNetwork::UpdateMenu() {
    const bool none = Net.NetworkRole == TNetSession::nrNone && !Net.Connected && !Net.WaitingForPeer();
    mnConnect->setEnabled(none);
    mnDisconnect->setEnabled(!none);
    mnRuleDifferences->setEnabled(!none);
    mnChatOnTop->setEnabled(!none);
    // A loaded game would exist on this side only: the other copy would go
    // on with the game it holds.
    W.mnLoad->setEnabled(!W.G.Config.Networked);
}

void TTableNetwork::mnConnectClick() {
    if (W.Presenting()) return;
    // A network game starts a match of its own.
    if (!W.G.Config.Networked && !W.MatchMayEnd(QStringLiteral("connect to an opponent"))) return;
    Net.BeginConnectDialog();
    bool connect = false;
    {
        TfmConnect dialog(&W.Store, Net, W.G.Config.PlayerName, &W);
        dialog.Refresh();
        connect = ExecModal(dialog) == QDialog::Accepted;
    }
    Net.EndConnectDialog(connect);
}

void TTableNetwork::mnDisconnectClick() { Net.DisconnectCommand(); }

void TTableNetwork::mnRuleDifferencesClick() { Net.ShowRuleDifferences(); }

void TTableNetwork::mnChatOnTopClick() {
    const bool on = mnChatOnTop->isChecked();
    WriteBool(&W.Store, settings::ChatOnTop.Path, on);
    if (ChatWindow) ChatWindow->SetOnTop(on);
}

// ---- hooks ----

void TTableNetwork::SendToken(const std::string& token, const std::string& data) { Net.SendToken(token, data); }

void TTableNetwork::HandFinished(const THandResult&) {
    const bool networked = W.G.Config.Networked;
    if (!networked && !Bot) return;
    const int n = networked ? ++Net.HandsPlayed : ++LocalHands;
    // Scripted play reads these lines; nothing else goes to stdout.
    std::printf("%s\n", HandLine(W.G, n).c_str());
    std::fflush(stdout);
    if (Start.QuitAfterHands > 0 && n >= Start.QuitAfterHands) W.G.QuitRequested = true;
}

void TTableNetwork::AfterAction() {
    if (Net.Tokens().HasCompleteToken()) ScheduleTokens();
    if (Bot) AutoNext.start();
}

void TTableNetwork::RulesChanged() { Net.SendRules(); }

std::string TTableNetwork::StatusFor(const std::string& phaseText) const {
    return Net.NetworkStatus == TNetSession::nsWaiting ? Net.StatusText() : phaseText;
}

void TTableNetwork::Shutdown() {
    AutoTimer.stop();
    AutoNext.stop();
    PaintTimer.stop();
    TokenTimer.stop();
    Net.Shutdown();
}

void TTableNetwork::AfterSplash() {
    if (!Start.Autoplay.isEmpty()) StartAutoplay();
    StartFromCommandLine();
}

void TTableNetwork::StartFromCommandLine() {
    if (Start.Listen || !Start.ConnectTo.isEmpty()) {
        // The connection questions are answered by the command line: the
        // listening instance is the server of the two.
        const std::string address = Start.Listen ? "127.0.0.1" : Start.ConnectTo.toStdString();
        auto go = [this](const std::string& dotted) {
            Net.SameAddressAnswer = Start.Listen;
            Net.BeginConnectDialog();
            Net.PlayerNetName = NetName();
            Net.Connect(dotted, dotted, {});
            Net.EndConnectDialog(true);
        };
        if (Start.Listen || !IsHostName(address)) {
            go(address);
        } else {
            ResolveHostAsync(address, this, [this, go](const std::string& dotted, int) {
                if (dotted.empty()) {
                    ShowError("Canasta could not resolve the opponent name.");
                    return;
                }
                go(dotted);
            });
        }
        return;
    }
    if (Start.IpArgument.isEmpty()) return;
    // "/ip:": the connect dialog's Connect action with that address, unseen.
    Net.BeginConnectDialog();
    auto* dialog = new TfmConnect(&W.Store, Net, W.G.Config.PlayerName, &W);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->Refresh();
    dialog->cbOpponent->setEditText(Start.IpArgument);
    QPointer<TfmConnect> guard(dialog);
    dialog->ConnectClick([this, guard](bool started) {
        if (guard) {
            guard->done(started ? QDialog::Accepted : QDialog::Rejected);
            guard->deleteLater();
        }
        Net.EndConnectDialog(started);
    });
}

// ---- scripted play ----

void TTableNetwork::StartAutoplay() {
    // The random bot tries fewer wrong gestures per turn than in the
    // simulator before it finishes the turn: a scripted game keeps moving.
    if (Start.Autoplay == QStringLiteral("random"))
        Bot = std::make_unique<TRandomBot>(20);
    else
        Bot = MakePlayerBot(Start.Autoplay.toStdString());
    if (!Bot) {
        std::fprintf(stderr, "canasta: unknown --autoplay strategy \"%s\"\n", Start.Autoplay.toLocal8Bit().constData());
        return;
    }
    Bot->Seed(Start.Seed ? *Start.Seed ^ 0x5BD1E995u : static_cast<uint32_t>(QCoreApplication::applicationPid()));
    // Nothing waits for a person: no pauses, no melding delay, every window answered.
    W.PauseScale = 0;
    W.G.Config.MeldDelay = 0;
    W.View->setUpdatesEnabled(false);
    PaintTimer.start();
    // Silent too, for this run only (nothing is written to the settings).
    TMusicSettings quiet = W.SoundSys->Music;
    quiet.SoundEnabled = quiet.MusicEnabled = false;
    W.SoundSys->ApplyMusicSettings(quiet);
    const bool quitAfterMatch = Start.QuitAfterMatch;
    SetModalHandler([quitAfterMatch](QDialog& d) -> int {
        if (auto* box = qobject_cast<QMessageBox*>(&d)) {
            std::fprintf(stderr, "canasta: [%s] %s\n", d.windowTitle().toLocal8Bit().constData(),
                         box->text().toLocal8Bit().constData());
            return (box->standardButtons() & QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
        }
        if (qobject_cast<TfmGameOver*>(&d) && quitAfterMatch) return TfmGameOver::No;
        d.accept();
        return d.result();
    });
    AutoTimer.start();
}

void TTableNetwork::AutoStep() {
    TGame& g = W.G;
    if (!Bot || W.Presenting() || W.PaintSuppressed || g.HandEndPending) return;
    const bool networkStart = Start.Listen || !Start.ConnectTo.isEmpty() || !Start.IpArgument.isEmpty();
    // A scripted network game plays only the network game.
    if (networkStart && (!Net.Connected || !g.Config.Networked)) return;
    if (Net.Tokens().HasCompleteToken()) return;
    if (!IsPlayersMove(g)) return;
    TMove gesture;
    W.RunAction([&] { gesture = Bot->Step(g); });
    if (gesture.Kind != TMoveType::None) {
        StuckSteps = 0;
        return;
    }
    if (++StuckSteps == 50) std::fprintf(stderr, "canasta: the %s bot finds no move\n", Bot->Name());
}

// ---- INetUi ----

bool TTableNetwork::Ask(const std::string& question) { return AskYesNo(&W, Title(), Q(question)); }
void TTableNetwork::Inform(const std::string& text) { ShowInformation(&W, Title(), Q(text)); }
void TTableNetwork::Warn(const std::string& text) { ShowWarning(&W, Title(), Q(text)); }
void TTableNetwork::ShowError(const std::string& text) { canasta::ShowError(&W, Title(), Q(text)); }

void TTableNetwork::Notice(const std::string& text) {
    // On the window that shows the waiting, which stays up without a box.
    if (TryConnectWindow)
        TryConnectWindow->SetNotice(Q(text));
    else
        W.DisplayHint(Q(text));
}

void TTableNetwork::NetworkChanged() {
    UpdateMenu();
    W.DisplayHint(Q(Net.StatusText()));
    // The waiting text stays; the others give way to the phase at the next mouse move.
    W.HintShown = Net.NetworkStatus != TNetSession::nsWaiting;
    W.UpdateScorePanels();
    W.View->update();
}

void TTableNetwork::OpenTryConnect(const std::string& text) {
    delete TryConnectWindow;
    TryConnectWindow = new TfmTryConnect(Q(text), [this] {
        Net.DisconnectCommand();
        CloseTryConnect();
    });
    CentreOn(TryConnectWindow, W.frameGeometry());
    TryConnectWindow->show();
}

void TTableNetwork::StepTryConnect(int progress) {
    if (TryConnectWindow) TryConnectWindow->SetProgress(progress);
}

void TTableNetwork::CloseTryConnect() {
    if (TryConnectWindow) TryConnectWindow->deleteLater();
    TryConnectWindow = nullptr;
}

void TTableNetwork::OpenChat() {
    delete ChatWindow;
    ChatWindow = new TfmChat(&W.Store, &W, mnChatOnTop->isChecked(),
                             [this](const QString& typed) { Net.SendChat(typed.toStdString()); });
    ChatWindow->show();
}

bool TTableNetwork::TypesIntoChat() const { return Net.Connected && ChatWindow; }

bool TTableNetwork::ForwardKeyToChat(const QKeyEvent& key) {
    if (!Net.Connected || !ChatWindow || !TypedIntoChat(key.key())) return false;
    ChatWindow->show();
    ChatWindow->raise();
    ChatWindow->activateWindow();
    ChatWindow->edChat->setFocus(Qt::OtherFocusReason);
    QKeyEvent copy(key.type(), key.key(), key.modifiers(), key.text(), key.isAutoRepeat(),
                   static_cast<quint16>(key.count()));
    QCoreApplication::sendEvent(ChatWindow->edChat, &copy);
    return true;
}

void TTableNetwork::CloseChat() {
    delete ChatWindow;
    ChatWindow = nullptr;
}

void TTableNetwork::AddChatLine(const std::string& text, bool received) {
    if (!ChatWindow) return;
    if (received) ChatWindow->Highlight();
    ChatWindow->AddChatLine(Q(text));
}

void TTableNetwork::NewRuleWindow() {
    delete RuleDiffWindow;
    RuleDiffWindow = new TfmRuleDifferences([this] { Net.UseOpponentRules(); }, nullptr);
}

void TTableNetwork::ShowRuleDifferences(const std::vector<TRuleDifference>& rows) {
    if (rows.empty()) {
        NewRuleWindow();
        return;
    }
    if (!RuleDiffWindow) NewRuleWindow();
    RuleDiffWindow->SetRows(rows);
    if (QScreen* s = QGuiApplication::primaryScreen()) CentreOn(RuleDiffWindow, s->geometry());
    RuleDiffWindow->show();
}

void TTableNetwork::CloseRuleWindow() {
    delete RuleDiffWindow;
    RuleDiffWindow = nullptr;
}

void TTableNetwork::RunGameAction(const std::function<void()>& action) { W.RunAction(action); }

bool TTableNetwork::MayApplyTokens() { return !W.Presenting(); }

void TTableNetwork::ScheduleTokens() {
    // Held by a message box or a card move: look again a little later (the
    // end of the action looks at once), not in a loop that keeps a core busy.
    TokenTimer.start(MayApplyTokens() ? 0 : 50);
}

void TTableNetwork::GameChanged() {
    W.UpdateScorePanels();
    W.View->update();
}

bool TTableNetwork::eventFilter(QObject* watched, QEvent* e) {
    // While a connection is being made, or a lost one waits for its peer,
    // the table takes no moves: the connection brings its own game.
    const bool waiting = Net.WaitingForPeer() || Net.TryConnectTimer().isActive();
    if (!waiting || !watched->isWidgetType()) return false;
    switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* w = static_cast<QWidget*>(watched);
            // The menus stay usable.
            return w->window() == &W && !qobject_cast<QMenuBar*>(w) && !qobject_cast<QMenu*>(w);
        }
        default: return false;
    }
}

}  // namespace canasta
