// SPDX-License-Identifier: GPL-3.0-or-later
// The socket component and the connection over real loopback sockets: the
// events and their error codes, partial sends, the role rule, retries, the
// greeting, resets by the peer, and hostile peers.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <deque>
#include <functional>
#include <memory>
#include <thread>

#include "net/Codepage.h"
#include "net/Digest.h"
#include "net/Framing.h"
#include "net/MoveTokens.h"
#include "net/Role.h"
#include "net/RuleString.h"
#include "net/Session.h"
#include "net/Sockets.h"

namespace canasta::test {
namespace {

bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void Pump(int ms) {
    WaitFor([] { return false; }, ms);
}

// A port nothing listens on right now.
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

// A server of the test's own on the loopback port; -1 when that fails.
int ListenOn(int port, int flags) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | flags, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(static_cast<uint16_t>(port));
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A peer under the test's control: plain blocking POSIX calls.
struct TRawPeer {
    int Fd = -1;
    ~TRawPeer() { Close(); }
    bool Connect(int port) {
        Fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return ::connect(Fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    void Send(const std::string& bytes) const {
        ASSERT_EQ(::send(Fd, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
    }
    std::string ReadAvailable() const {
        std::string out;
        char buf[65536];
        for (;;) {
            const ssize_t n = ::recv(Fd, buf, sizeof buf, MSG_DONTWAIT);
            if (n <= 0) break;
            out.append(buf, static_cast<size_t>(n));
        }
        return out;
    }
    // Gone as a crashed program goes: a reset, no orderly end.
    void Abort() {
        linger l{1, 0};
        setsockopt(Fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
        Close();
    }
    void Close() {
        if (Fd >= 0) ::close(Fd);
        Fd = -1;
    }
};

struct TFakeUi : INetUi {
    TNetSession* Session = nullptr;
    std::deque<bool> Answers;
    std::vector<std::string> Asked, Informed, Warned, Errors, Notices, ChatLines, TryTexts;
    std::vector<std::vector<TRuleDifference>> RuleShows;
    int NewRuleWindows = 0, TryOpened = 0, TryClosed = 0, ChatOpened = 0, ChatClosed = 0, Changes = 0;
    bool ChatOpen = false;
    // As the table window does: events are pumped after every action.
    bool PumpAfterAction = false;
    int ActionDepth = 0, DeepestAction = 0;

    bool Ask(const std::string& q) override {
        Asked.push_back(q);
        if (Answers.empty()) return true;
        const bool a = Answers.front();
        Answers.pop_front();
        return a;
    }
    void Inform(const std::string& t) override { Informed.push_back(t); }
    void Warn(const std::string& t) override { Warned.push_back(t); }
    void ShowError(const std::string& t) override { Errors.push_back(t); }
    void Notice(const std::string& t) override { Notices.push_back(t); }
    void NetworkChanged() override { ++Changes; }
    void OpenTryConnect(const std::string& text) override {
        ++TryOpened;
        TryTexts.push_back(text);
    }
    void StepTryConnect(int) override {}
    void CloseTryConnect() override { ++TryClosed; }
    void OpenChat() override {
        ++ChatOpened;
        ChatOpen = true;
    }
    void CloseChat() override {
        ++ChatClosed;
        ChatOpen = false;
    }
    void AddChatLine(const std::string& text, bool) override { ChatLines.push_back(text); }
    void NewRuleWindow() override { ++NewRuleWindows; }
    void ShowRuleDifferences(const std::vector<TRuleDifference>& rows) override { RuleShows.push_back(rows); }
    void CloseRuleWindow() override {}
    void RunGameAction(const std::function<void()>& action) override {
        DeepestAction = std::max(DeepestAction, ++ActionDepth);
        action();
        if (PumpAfterAction) QCoreApplication::processEvents();
        --ActionDepth;
    }
    bool MayApplyTokens() override { return true; }
    void ScheduleTokens() override {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [s = Session] { s->ProcessTokens(); }, Qt::QueuedConnection);
    }
    void GameChanged() override {}
};

// One instance of the program, as far as the network sees it.
struct TInstance {
    THeadlessHost Host;
    TGame G{Host};
    TMemorySettings Store;
    TFakeUi Ui;
    TNetSession Net{G, &Store, Ui};
    explicit TInstance(int port, const std::string& name = "Ann") {
        Ui.Session = &Net;
        Net.Port = std::to_string(port);
        Net.PlayerNetName = name;
        G.Config.PlayerName = name;  // as the window sets both
        Net.TryConnectTimer().setInterval(100);
        G.FixedSeed = true;
        G.Rng.Seed = 77;
        G.Config.MeldDelay = 0;
        Host.RecordMoves = true;
    }
    // Host.MoveMade must reach the session, as the window's does.
    void Wire() {}
    void Listen() {
        Net.SameAddressAnswer = true;
        Net.BeginConnectDialog();
        Net.Connect("127.0.0.1", "127.0.0.1", {});
        Net.EndConnectDialog(true);
    }
    void ConnectTo() {
        Net.SameAddressAnswer = false;
        Net.BeginConnectDialog();
        Net.Connect("127.0.0.1", "127.0.0.1", {});
        Net.EndConnectDialog(true);
    }
};

// The game's tokens go out through the session, as the table window sends them.
struct TWiredHost : THeadlessHost {
    TNetSession* Net = nullptr;
    const TGame* Game = nullptr;
    void MoveMade(const TMoveReport& m) override {
        if (!Net || !Game) return;
        const auto [t, d] = MoveToken(m, *Game);
        Net->SendToken(t, d);
    }
};

struct TWiredInstance {
    TWiredHost Host;
    TGame G{Host};
    TMemorySettings Store;
    TFakeUi Ui;
    TNetSession Net{G, &Store, Ui};
    explicit TWiredInstance(int port, const std::string& name) {
        Host.Net = &Net;
        Host.Game = &G;
        Ui.Session = &Net;
        Net.Port = std::to_string(port);
        Net.PlayerNetName = name;
        G.Config.PlayerName = name;  // as the window sets both
        Net.TryConnectTimer().setInterval(100);
        G.FixedSeed = true;
        G.Rng.Seed = 99;
        G.Config.MeldDelay = 0;
    }
    void Start(bool listen) {
        Net.SameAddressAnswer = listen;
        Net.BeginConnectDialog();
        Net.Connect("127.0.0.1", "127.0.0.1", {});
        Net.EndConnectDialog(true);
    }
};

std::string Greeting(const std::string& name, const std::string& version = "413") {
    return BuildFrame("PLAYERID", JoinFields({name, version}));
}

// ---------------------------------------------------------------- socket component

TEST(Sockets, ErrorCodesAndTexts) {
    EXPECT_EQ(WinsockCodeOfErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(WinsockCodeOfErrno(ECONNRESET), 10054);
    EXPECT_EQ(WinsockCodeOfErrno(EADDRINUSE), 10048);
    EXPECT_EQ(WinsockCodeOfErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(WinsockErrorText(10061), "Connection refused");
    EXPECT_EQ(WinsockErrorText(10054), "Connection reset by peer");
    EXPECT_EQ(WinsockErrorText(11001), "Host not found");
    EXPECT_EQ(WinsockErrorText(10035), "Operation would block");
    EXPECT_EQ(WinsockErrorText(12345), "Not a WinSock error");
}

TEST(Sockets, ReceiveOnNoSocketReturnsMinusOne) {
    TSockets s;
    char buf[4];
    EXPECT_EQ(s.SReceive(-1, buf, 4), -1);
}

TEST(Sockets, ARefusedConnectArrivesLaterAsAConnectError) {
    TSockets s;
    int code = 0;
    std::string function;
    s.OnErrorOccurred = [&](TSockets&, int, int error, const std::string& msg) {
        code = error;
        function = msg;
    };
    s.IPAddr = "127.0.0.1";
    s.Port = std::to_string(FreePort());
    s.SConnect();
    EXPECT_EQ(code, 0);  // nothing reported from the call itself
    ASSERT_TRUE(WaitFor([&] { return code != 0; }));
    EXPECT_EQ(code, 10061);
    EXPECT_EQ(function, "Connection refused");
}

TEST(Sockets, AnErrorWithoutHandlerIsReportedAndTheProgramGoesOn) {
    TSockets s;
    std::vector<std::string> messages;
    s.OnMessage = [&](const std::string& text, const std::string& caption) {
        messages.push_back(caption + ": " + text);
    };
    s.IPAddr = "127.0.0.1";
    s.Port = std::to_string(FreePort());
    s.SConnect();
    ASSERT_TRUE(WaitFor([&] { return !messages.empty(); }));
    EXPECT_EQ(messages[0], "WINSOCK ERROR: Error 10061 in function FD_CONNECT\r\nConnection refused");
    s.Port.clear();
    s.Listen();
    EXPECT_EQ(messages.back(), "WINSOCK ERROR: No Port Specified");
    s.Port = "1";
    s.IPAddr.clear();
    s.SConnect();
    EXPECT_EQ(messages.back(), "WINSOCK ERROR: No IP Address Specified");
}

TEST(Sockets, AnUnknownHostIsReportedWithoutFreezing) {
    TSockets s;
    std::vector<std::string> messages;
    s.OnMessage = [&](const std::string& text, const std::string&) { messages.push_back(text); };
    s.IPAddr = "no-such-host.invalid";
    s.Port = "31415";
    s.SConnect();
    EXPECT_TRUE(messages.empty());  // the lookup runs on a helper thread
    ASSERT_TRUE(WaitFor([&] { return !messages.empty(); }, 20000));
    EXPECT_EQ(messages[0], "Cannot convert host address");
}

TEST(Sockets, APartialSendIsFinishedLaterNotDropped) {
    TSockets listener;
    listener.Port = "0";
    listener.Listen();
    const int port = listener.ListeningPort();
    ASSERT_GT(port, 0);
    listener.OnSessionAvailable = [](TSockets& s, int) { s.Accept(); };
    TRawPeer peer;
    ASSERT_TRUE(peer.Connect(port));
    int small = 4096;
    ASSERT_TRUE(WaitFor([&] { return listener.ConnectedSocket() >= 0; }));
    setsockopt(listener.ConnectedSocket(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    // Far more than the socket buffers hold while the peer does not read.
    std::string sent;
    for (int i = 0; i < 40000; ++i) sent += BuildFrame("CHAT", "line " + std::to_string(i) + std::string(40, '.'));
    listener.SetText(sent);
    EXPECT_GT(listener.Queued(), 0u);
    std::string received;
    ASSERT_TRUE(WaitFor(
        [&] {
            received += peer.ReadAvailable();
            return received.size() >= sent.size();
        },
        20000));
    EXPECT_EQ(received, sent);
    EXPECT_EQ(listener.Queued(), 0u);
}

TEST(Sockets, AnOrderlyCloseAndAResetAreToldApart) {
    for (bool reset : {false, true}) {
        TSockets listener;
        listener.Port = "0";
        listener.Listen();
        listener.OnSessionAvailable = [](TSockets& s, int) { s.Accept(); };
        bool closed = false;
        int error = 0;
        listener.OnSessionClosed = [&](TSockets&, int) { closed = true; };
        listener.OnErrorOccurred = [&](TSockets&, int, int e, const std::string&) { error = e; };
        TRawPeer peer;
        ASSERT_TRUE(peer.Connect(listener.ListeningPort()));
        ASSERT_TRUE(WaitFor([&] { return listener.ConnectedSocket() >= 0; }));
        if (reset)
            peer.Abort();
        else
            peer.Close();
        ASSERT_TRUE(WaitFor([&] { return closed || error != 0; }));
        EXPECT_EQ(closed, !reset);
        EXPECT_EQ(error, reset ? 10054 : 0);
    }
}

TEST(Sockets, TheBlockingModeWaitsForEachCallAndGivesUpAfterTheTimeout) {
    struct TError {
        int Socket, Code;
        std::string Msg;
    };
    std::vector<TError> errors;
    auto record = [&](TSockets&, int socket, int code, const std::string& msg) {
        errors.push_back({socket, code, msg});
    };
    bool anyEvent = false;
    auto event = [&](TSockets&, int) { anyEvent = true; };

    TSockets server;
    server.NonBlocking = false;
    server.Timeout = 1;
    server.Port = "0";
    server.OnErrorOccurred = record;
    server.OnSessionAvailable = server.OnDataAvailable = event;
    server.Listen();
    const int port = server.ListeningPort();
    ASSERT_GT(port, 0);

    // Nobody comes: the accept gives up after the timeout.
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(server.Accept(), -1);
    EXPECT_GE(clock.elapsed(), 900);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].Code, 10060);
    EXPECT_EQ(errors[0].Msg, "Blocking call timed out");

    // The connect returns connected, without an event.
    TSockets client;
    client.NonBlocking = false;
    client.Timeout = 1;
    client.OnErrorOccurred = record;
    client.OnSessionConnected = client.OnDataAvailable = event;
    client.IPAddr = "127.0.0.1";
    client.Port = std::to_string(port);
    client.SConnect();
    EXPECT_GE(client.ConnectedSocket(), 0);
    EXPECT_FALSE(client.IsConnecting());
    const int data = server.Accept();
    ASSERT_GE(data, 0);
    EXPECT_EQ(server.ConnectedSocket(), data);

    // A send larger than the socket buffers waits until the peer has read it all.
    const std::string big(4 << 20, 'x');
    std::thread reader([&] {
        TSockets& s = server;
        std::string got;
        std::vector<char> buf(65536);
        while (got.size() < big.size()) {
            const int n = s.SReceive(data, buf.data(), static_cast<int>(buf.size()));
            if (n <= 0) break;
            got.append(buf.data(), static_cast<size_t>(n));
        }
        EXPECT_EQ(got.size(), big.size());
    });
    client.SetText(big);
    reader.join();
    client.SetText("hello");
    char buf[64] = {};
    EXPECT_EQ(server.SReceive(data, buf, sizeof buf), 5);
    EXPECT_EQ(std::string(buf, 5), "hello");
    Pump(50);
    EXPECT_FALSE(anyEvent);
    EXPECT_EQ(errors.size(), 1u);

    // Nothing to read: the receive gives up, reported on the data socket.
    EXPECT_EQ(server.SReceive(data, buf, sizeof buf), -1);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1].Code, 10060);
    EXPECT_EQ(errors[1].Socket, data);

    // Without an error handler the cancelled call is shown and the program goes on.
    std::vector<std::string> messages;
    server.OnErrorOccurred = nullptr;
    server.OnMessage = [&](const std::string& text, const std::string& caption) {
        messages.push_back(caption + ": " + text);
    };
    EXPECT_EQ(server.SReceive(data, buf, sizeof buf), -1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "WINSOCK CALL CANCELED: Error 10060\r\nBlocking call timed out");

    // A refused connect is reported by the call itself.
    TSockets refused;
    refused.NonBlocking = false;
    refused.OnErrorOccurred = record;
    refused.IPAddr = "127.0.0.1";
    refused.Port = std::to_string(FreePort());
    refused.SConnect();
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[2].Code, 10061);
}

// ---------------------------------------------------------------- connection set-up

TEST(Connection, TheRoleRule) {
    // "5" sorts after "1": this side connects and the other listens.
    EXPECT_FALSE(ShouldListen("10.0.0.5", "10.0.0.12", true));
    EXPECT_TRUE(ShouldListen("10.0.0.12", "10.0.0.5", true));
    EXPECT_TRUE(ShouldListen("192.168.0.10", "192.168.0.9", false));
    EXPECT_TRUE(ShouldListen("127.0.0.1", "127.0.0.1", true));
    EXPECT_FALSE(ShouldListen("127.0.0.1", "127.0.0.1", false));
    TInstance a(FreePort());
    a.Net.StartConnection("10.0.0.5", "10.0.0.12");
    EXPECT_EQ(a.Net.NetworkRole, TNetSession::nrConnecting);
    EXPECT_EQ(a.Net.PartnerAddress, "10.0.0.12");
    a.Net.ResetNetwork();
    a.Net.StartConnection("10.0.0.12", "10.0.0.5");
    EXPECT_EQ(a.Net.NetworkRole, TNetSession::nrListening);
    a.Net.ResetNetwork();
}

TEST(Connection, TheSameAddressIsDecidedByTheQuestion) {
    TInstance a(FreePort());
    a.Ui.Answers = {false};
    a.Net.StartConnection("127.0.0.1", "127.0.0.1");
    ASSERT_EQ(a.Ui.Asked.size(), 1u);
    EXPECT_EQ(a.Ui.Asked[0],
              "You and your opponent have the same IP address. Should this instance of Canasta be the server?\r\n"
              "Note: this means that your opponent must choose 'No' here.");
    EXPECT_EQ(a.Net.NetworkRole, TNetSession::nrConnecting);
    a.Net.ResetNetwork();
}

TEST(Connection, OpponentFieldAllowsLettersDigitsAndDotsOnly) {
    EXPECT_TRUE(IsValidOpponentField("192.168.0.9"));
    EXPECT_TRUE(IsValidOpponentField("myhost.example.org"));
    EXPECT_FALSE(IsValidOpponentField("host_1"));
    EXPECT_FALSE(IsValidOpponentField("a b"));
    EXPECT_FALSE(IsValidOpponentField("h\xC3\xA9"));
    EXPECT_TRUE(IsHostName("host1"));
    EXPECT_FALSE(IsHostName("10.0.0.1"));
}

TEST(Connection, RefusalsAreRetriedSilentlyUntilTheOtherSideListens) {
    const int port = FreePort();
    TWiredInstance a(port, "Ann");
    a.Start(false);  // connecting side, first
    EXPECT_EQ(a.Net.NetworkStatus, TNetSession::nsWaiting);
    Pump(600);  // several refused attempts
    EXPECT_TRUE(a.Ui.Errors.empty());
    EXPECT_EQ(a.Net.NetworkRole, TNetSession::nrConnecting);
    EXPECT_EQ(a.Net.NetworkStatus, TNetSession::nsWaiting);
    ASSERT_FALSE(a.Ui.TryTexts.empty());
    EXPECT_EQ(a.Ui.TryTexts.front(), "Trying to connect to 127.0.0.1...");
    TWiredInstance b(port, "Bob");
    b.Start(true);
    // The waiting side says what it waits for, and where.
    ASSERT_FALSE(b.Ui.TryTexts.empty());
    EXPECT_EQ(b.Ui.TryTexts.front(), "Waiting for an opponent on port " + std::to_string(port) + "...");
    ASSERT_TRUE(WaitFor([&] {
        return a.Net.NetworkStatus == TNetSession::nsConnected && b.Net.NetworkStatus == TNetSession::nsConnected;
    }));
    EXPECT_TRUE(a.Ui.Errors.empty());
    EXPECT_EQ(a.Net.OpponentName, "Bob");
    EXPECT_EQ(b.Net.OpponentName, "Ann");
}

TEST(Connection, TheGreetingDealsOnceAndBothCopiesAgree) {
    const int port = FreePort();
    TWiredInstance a(port, "Ann"), b(port, "Bob");
    a.G.Seat(TSeat::Player).Score = 900;  // a local game's total is not carried into the match
    b.Start(true);
    a.Start(false);
    ASSERT_TRUE(WaitFor([&] {
        return a.G.HandNumber > 0 && b.G.HandNumber > 0 && !a.Net.Tokens().HasCompleteToken() && a.Net.Connected &&
               b.Net.Connected && a.Ui.ChatOpened > 0 && b.Ui.ChatOpened > 0;
    }));
    EXPECT_TRUE(a.Net.Connected && b.Net.Connected);
    EXPECT_TRUE(a.G.Config.Networked && b.G.Config.Networked);
    EXPECT_EQ(a.G.Config.OpponentName, "Bob");
    EXPECT_EQ(a.G.Seat(TSeat::Player).Score, 0);
    EXPECT_EQ(a.Ui.ChatOpened, 1);
    EXPECT_EQ(b.Ui.ChatOpened, 1);
    EXPECT_EQ(a.Ui.ChatLines.at(0),
              "Connection established with Bob. Resize window to see more text, right-click to change font.");
    EXPECT_EQ(SeatDigest(a.G, TSeat::Player), SeatDigest(b.G, TSeat::Opponent));
    EXPECT_EQ(SeatDigest(a.G, TSeat::Opponent), SeatDigest(b.G, TSeat::Player));
    // Equal rules: both compared and found nothing to show.
    ASSERT_FALSE(a.Ui.RuleShows.empty());
    EXPECT_TRUE(a.Ui.RuleShows.back().empty());
    // Chat both ways.
    a.Net.SendChat("hi \xC3\xBE");  // "þ" cannot travel as it is
    ASSERT_TRUE(WaitFor([&] { return b.Ui.ChatLines.size() >= 2; }));
    EXPECT_EQ(b.Ui.ChatLines.back(), "Ann: hi th");
    EXPECT_EQ(a.Ui.ChatLines.back(), "Ann: hi th");
    // Without a chosen player this side is "Opponent" to the other, but its
    // own lines carry its own name.
    a.G.Config.PlayerName.clear();
    a.Net.PlayerNetName = "Opponent";
    a.Net.SendChat("again");
    ASSERT_TRUE(WaitFor([&] { return b.Ui.ChatLines.back() == "Opponent: again"; }));
    EXPECT_EQ(a.Ui.ChatLines.back(), "Player: again");
    // A normal disconnect: the other side is told the connection is lost.
    a.Ui.Answers = {true};
    a.Net.DisconnectCommand();
    EXPECT_EQ(a.Net.NetworkStatus, TNetSession::nsNotConnected);
    ASSERT_TRUE(WaitFor([&] { return !b.Ui.Warned.empty(); }));
    EXPECT_EQ(b.Ui.Warned[0], "Connection to Ann lost. The network game will now terminate.");
    EXPECT_FALSE(b.G.Config.Networked);
    EXPECT_EQ(b.Ui.ChatClosed, 1);
    EXPECT_TRUE(b.Ui.Errors.empty());
}

TEST(Connection, DifferentRulesAreListedAndAdoptedForTheConnectionOnly) {
    const int port = FreePort();
    TWiredInstance a(port, "Ann"), b(port, "Bob");
    TRuleOptions two;
    two.CardsDrawn = 2;
    SaveRuleOptions(&b.Store, two);
    a.G.Rules = TRuleOptions{};
    b.G.Rules = two;
    b.Start(true);
    a.Start(false);
    ASSERT_TRUE(WaitFor([&] { return !a.Ui.RuleShows.empty() && !b.Ui.RuleShows.empty(); }));
    ASSERT_EQ(a.Ui.RuleShows.back().size(), 1u);
    EXPECT_EQ(a.Ui.RuleShows.back()[0], (TRuleDifference{"Number of Cards drawn each turn", "One", "Two"}));
    // Until they agree, each side judges the other's moves by the other's rules.
    ASSERT_TRUE(a.G.RemoteRules && b.G.RemoteRules);
    EXPECT_EQ(a.G.OpponentSeatRules().CardsDrawn, 2);
    EXPECT_EQ(b.G.OpponentSeatRules().CardsDrawn, 1);
    a.Net.UseOpponentRules();
    EXPECT_EQ(a.G.Rules.CardsDrawn, 2);
    ASSERT_TRUE(WaitFor([&] { return b.Ui.RuleShows.size() >= 2; }));
    EXPECT_TRUE(b.Ui.RuleShows.back().empty());
    // Taken over for this connection only.
    a.Ui.Answers = {true};
    a.Net.DisconnectCommand();
    EXPECT_EQ(a.G.Rules.CardsDrawn, 1);
    EXPECT_FALSE(a.G.RemoteRules);
}

struct ListeningInstance : ::testing::Test {
    int Port = FreePort();
    TWiredInstance A{Port, "Ann"};
    TRawPeer Peer;
    void SetUp() override {
        A.Start(true);
        ASSERT_EQ(A.Net.NetworkRole, TNetSession::nrListening);
        ASSERT_TRUE(Peer.Connect(Port));
        ASSERT_TRUE(WaitFor([&] { return A.Net.Connected; }));
        std::string hello;
        ASSERT_TRUE(WaitFor([&] {
            hello += Peer.ReadAvailable();
            return hello.find('\xFF') != std::string::npos;
        }));
        EXPECT_EQ(hello.substr(0, hello.find('\xFF') + 1), Greeting("Ann"));
    }
};

TEST_F(ListeningInstance, AGreetingWithAnotherVersionClosesWithoutComparingRules) {
    Peer.Send(Greeting("Old", "412") + BuildFrame("RULES", BuildRulesString(StandardRules())));
    ASSERT_TRUE(WaitFor([&] { return !A.Ui.Notices.empty(); }));
    EXPECT_EQ(A.Ui.Notices[0],
              "You have version 41301 and your opponent has another version. Please use the same version.");
    EXPECT_TRUE(A.Ui.Informed.empty());  // nothing to answer while waiting for the next peer
    Pump(100);
    EXPECT_FALSE(A.Net.Connected);
    EXPECT_EQ(A.Net.NetworkStatus, TNetSession::nsWaiting);
    EXPECT_EQ(A.Net.NetworkRole, TNetSession::nrListening);
    EXPECT_TRUE(A.Ui.RuleShows.empty());
    EXPECT_EQ(A.G.HandNumber, 0u);  // no deal either
    EXPECT_FALSE(A.G.Config.Networked);
}

TEST_F(ListeningInstance, TwoTokensInOneReadAndOneSplitAcrossReads) {
    Peer.Send(Greeting("Pat"));
    ASSERT_TRUE(WaitFor([&] { return A.Net.NetworkStatus == TNetSession::nsConnected; }));
    const size_t lines = A.Ui.ChatLines.size();
    Peer.Send(BuildFrame("CHAT", "Pat: one") + BuildFrame("CHAT", "Pat: two"));
    ASSERT_TRUE(WaitFor([&] { return A.Ui.ChatLines.size() == lines + 2; }));
    EXPECT_EQ(A.Ui.ChatLines[lines], "Pat: one");
    EXPECT_EQ(A.Ui.ChatLines[lines + 1], "Pat: two");
    const std::string frame = BuildFrame("CHAT", "Pat: three");
    Peer.Send(frame.substr(0, 6));
    Pump(150);
    EXPECT_EQ(A.Ui.ChatLines.size(), lines + 2);
    Peer.Send(frame.substr(6));
    ASSERT_TRUE(WaitFor([&] { return A.Ui.ChatLines.size() == lines + 3; }));
    EXPECT_EQ(A.Ui.ChatLines.back(), "Pat: three");
}

TEST_F(ListeningInstance, AResetByThePeerRestartsTheConnectionAndDoesNotDealAgain) {
    Peer.Send(Greeting("Pat"));
    ASSERT_TRUE(WaitFor([&] { return A.G.HandNumber == 1; }));  // the fresh connection's deal
    A.G.Seat(TSeat::Player).Score = 1234;
    const uint64_t before = SeatDigest(A.G, TSeat::Player);
    // The peer's program crashes.
    Peer.Abort();
    ASSERT_TRUE(WaitFor([&] { return !A.Net.Connected; }));
    Pump(100);
    EXPECT_TRUE(A.Ui.Errors.empty());
    EXPECT_TRUE(A.Ui.Warned.empty());
    EXPECT_EQ(A.Net.NetworkRole, TNetSession::nrListening);
    EXPECT_EQ(A.Net.NetworkStatus, TNetSession::nsWaiting);
    EXPECT_TRUE(A.Net.WaitingForPeer());
    EXPECT_TRUE(A.G.Config.Networked);  // the game waits untouched
    EXPECT_EQ(SeatDigest(A.G, TSeat::Player), before);
    // The peer comes back: no second deal, the totals stay.
    TRawPeer again;
    ASSERT_TRUE(again.Connect(Port));
    ASSERT_TRUE(WaitFor([&] { return A.Net.Connected; }));
    again.Send(Greeting("Pat"));
    ASSERT_TRUE(WaitFor([&] { return A.Net.NetworkStatus == TNetSession::nsConnected; }));
    Pump(100);
    EXPECT_EQ(A.G.HandNumber, 1u);
    EXPECT_EQ(A.G.Seat(TSeat::Player).Score, 1234);
    EXPECT_EQ(SeatDigest(A.G, TSeat::Player), before);
    EXPECT_FALSE(A.Net.WaitingForPeer());
}

TEST_F(ListeningInstance, APeerThatNeverEndsATokenIsDisconnected) {
    Peer.Send(Greeting("Pat"));
    ASSERT_TRUE(WaitFor([&] { return A.Net.NetworkStatus == TNetSession::nsConnected; }));
    const std::string junk(8192, 'j');
    for (int i = 0; i < 9; ++i) {
        if (!A.Net.Connected) break;
        Peer.Send(junk);
        Pump(30);
    }
    ASSERT_TRUE(WaitFor([&] { return !A.Ui.Errors.empty(); }));
    EXPECT_NE(A.Ui.Errors[0].find("65536 bytes without ending a token"), std::string::npos);
    EXPECT_EQ(A.Ui.Errors[0].rfind("Network Error:  ", 0), 0u);
    EXPECT_FALSE(A.Net.Connected);
    EXPECT_LE(A.Net.Tokens().Buffer().size(), TProtocol::kMaxPartial);
}

TEST_F(ListeningInstance, UnknownNamesShowABoxAFewTimesOnly) {
    Peer.Send(Greeting("Pat"));
    ASSERT_TRUE(WaitFor([&] { return A.Net.NetworkStatus == TNetSession::nsConnected; }));
    std::string many;
    for (int i = 0; i < 50; ++i) many += BuildFrame("BOGUS" + std::to_string(i), "");
    // A chat line after them tells when all fifty have been read.
    Peer.Send(many + BuildFrame("CHAT", "Pat: done"));
    ASSERT_TRUE(WaitFor([&] { return !A.Ui.ChatLines.empty() && A.Ui.ChatLines.back() == "Pat: done"; }));
    ASSERT_EQ(A.Ui.Errors.size(), 5u);
    EXPECT_EQ(A.Ui.Errors[0], "Unknown token: BOGUS0");
    EXPECT_TRUE(A.Net.Connected);
}

TEST_F(ListeningInstance, ControlCharactersInANameAreNotShown) {
    Peer.Send(Greeting("Pa\nt\x01"));
    ASSERT_TRUE(WaitFor([&] { return A.Net.NetworkStatus == TNetSession::nsConnected; }));
    EXPECT_EQ(A.Net.OpponentName, "Pa t ");
    // A long line of this side's is cut to one frame.
    A.Net.PlayerNetName = std::string(400, 'x');
    A.Net.SendChat("");
    std::string got;
    ASSERT_TRUE(WaitFor([&] {
        got += Peer.ReadAvailable();
        return got.find("CHAT") != std::string::npos && got.back() == '\xFF';
    }));
    EXPECT_LE(got.size() - got.find("CHAT"), kMaxFrame);
}

TEST(Connection, ALostPeerNeverLeavesTheTableWaitingForNothing) {
    // Connected and greeted, this side waits for the other side's deal; the
    // other side goes away first: a local hand is dealt instead.
    const int port = FreePort();
    TRawPeer server;
    const int fd = ListenOn(port, 0);
    ASSERT_GE(fd, 0);
    TWiredInstance a(port, "Ann");
    a.G.Levels = {nullptr, nullptr, nullptr};
    a.G.PlayerDrawsFirst = true;
    a.Start(false);
    ASSERT_TRUE(WaitFor([&] { return a.Net.Socket().ConnectedSocket() >= 0 && !a.Net.Socket().IsConnecting(); }));
    server.Fd = ::accept(fd, nullptr, nullptr);
    ::close(fd);
    server.Send(Greeting("Pat"));
    ASSERT_TRUE(WaitFor([&] { return a.Net.NetworkStatus == TNetSession::nsConnected; }));
    EXPECT_EQ(a.G.TurnPhase, TTurnPhase::HandOver);  // waiting for the deal
    const uint32_t hand = a.G.HandNumber;
    // Closing over unread bytes would be a reset: read the answer to the
    // greeting (its name and rules) first.
    std::string answer;
    ASSERT_TRUE(WaitFor([&] {
        answer += server.ReadAvailable();
        const size_t rules = answer.find("RULES");
        return rules != std::string::npos && answer.find('\xFF', rules) != std::string::npos;
    }));
    server.Close();
    ASSERT_TRUE(WaitFor([&] { return !a.Ui.Warned.empty(); }));
    EXPECT_FALSE(a.G.Config.Networked);
    EXPECT_EQ(a.G.HandNumber, hand + 1);
    EXPECT_EQ(a.G.TurnPhase, TTurnPhase::Draw);
}

TEST(Connection, ALongNameStillLeavesTheVersionInTheGreeting) {
    const int port = FreePort();
    TWiredInstance a(port, std::string(400, 'n') + "\xC3\xBF");
    a.Start(true);
    TRawPeer peer;
    ASSERT_TRUE(peer.Connect(port));
    std::string hello;
    ASSERT_TRUE(WaitFor([&] {
        hello += peer.ReadAvailable();
        return hello.find('\xFF') != std::string::npos;
    }));
    std::string m = hello.substr(0, hello.find('\xFF') + 1);
    EXPECT_LE(m.size(), kMaxFrame);
    EXPECT_EQ(NextField(m), "PLAYERID");
    EXPECT_EQ(NextField(m).size(), kMaxFrame - 8 - 3 - 3);
    EXPECT_EQ(NextField(m), "413");
}

// ---------------------------------------------------------------- peers that never become the opponent

bool ClosedByTheOtherSide(const TRawPeer& peer, int ms = 5000) {
    return WaitFor(
        [&] {
            char buf[4096];
            const ssize_t n = ::recv(peer.Fd, buf, sizeof buf, MSG_DONTWAIT);
            return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
        },
        ms);
}

// A listening instance and a raw peer that has connected and read the
// greeting, but not answered it yet.
struct BeforeTheGreeting : ::testing::Test {
    int Port = FreePort();
    int Limit = TNetSession::kGreetingTimeoutMs;
    std::unique_ptr<TWiredInstance> A;
    TRawPeer Peer;
    void SetUp() override {
        A = std::make_unique<TWiredInstance>(Port, "Ann");
        A->Net.GreetingTimeoutMs = Limit;
        A->Start(true);
        ASSERT_TRUE(Peer.Connect(Port));
        std::string hello;
        ASSERT_TRUE(WaitFor([&] {
            hello += Peer.ReadAvailable();
            return hello.find('\xFF') != std::string::npos;
        }));
        ASSERT_TRUE(A->Net.Connected);
    }
    // The peer is gone, the player told once without a box to answer, and
    // the instance listens on its port again.
    void ExpectListeningAgain(const std::string& notice) {
        ASSERT_TRUE(WaitFor([&] { return !A->Ui.Notices.empty(); }, Limit + 5000));
        EXPECT_TRUE(ClosedByTheOtherSide(Peer));
        Pump(50);
        ASSERT_EQ(A->Ui.Notices.size(), 1u);
        EXPECT_NE(A->Ui.Notices[0].find(notice), std::string::npos) << A->Ui.Notices[0];
        EXPECT_TRUE(A->Ui.Informed.empty());
        EXPECT_TRUE(A->Ui.Warned.empty());
        EXPECT_TRUE(A->Ui.Errors.empty());
        EXPECT_FALSE(A->Net.Connected);
        EXPECT_FALSE(A->Ui.ChatOpen);
        EXPECT_EQ(A->Net.NetworkRole, TNetSession::nrListening);
        EXPECT_EQ(A->Net.NetworkStatus, TNetSession::nsWaiting);
        EXPECT_GE(A->Net.Socket().ListeningSocket(), 0);
        EXPECT_EQ(A->Net.OpponentName, "<none>");
        EXPECT_FALSE(A->G.Config.Networked);
        EXPECT_EQ(A->G.HandNumber, 0u);
    }
    // Another instance of the program connects: greeted, dealt, in step.
    void ExpectTheNextPeerServed() {
        TWiredInstance b(Port, "Bob");
        b.Start(false);
        ASSERT_TRUE(WaitFor(
            [&] {
                return A->Net.NetworkStatus == TNetSession::nsConnected &&
                       b.Net.NetworkStatus == TNetSession::nsConnected && b.G.HandNumber > 0 &&
                       !b.Net.Tokens().HasCompleteToken();
            },
            10000));
        Pump(100);
        EXPECT_EQ(A->Net.OpponentName, "Bob");
        EXPECT_EQ(A->G.HandNumber, 1u);
        EXPECT_TRUE(A->G.Config.Networked);
        EXPECT_EQ(SeatDigest(A->G, TSeat::Player), SeatDigest(b.G, TSeat::Opponent));
        EXPECT_EQ(SeatDigest(A->G, TSeat::Opponent), SeatDigest(b.G, TSeat::Player));
        EXPECT_EQ(A->Ui.Notices.size(), 1u);
        EXPECT_TRUE(A->Ui.Errors.empty());
    }
};

TEST_F(BeforeTheGreeting, AnotherVersionIsDroppedAndTheNextPeerServed) {
    Peer.Send(Greeting("Old", "412"));
    ExpectListeningAgain("You have version 41301 and your opponent has another version.");
    ExpectTheNextPeerServed();
}

TEST_F(BeforeTheGreeting, BytesPastTheBufferLimitAreDroppedAndTheNextPeerServed) {
    const std::string junk(8192, 'j');
    for (int i = 0; i < 9 && A->Ui.Notices.empty(); ++i) {
        Peer.Send(junk);
        Pump(20);
    }
    ExpectListeningAgain("65536 bytes without ending a token");
    ExpectTheNextPeerServed();
}

TEST_F(BeforeTheGreeting, AnOrderlyCloseIsFollowedByListeningAgain) {
    Peer.Close();
    ASSERT_TRUE(WaitFor([&] { return !A->Ui.Notices.empty(); }));
    EXPECT_EQ(A->Ui.Notices[0], "The other side closed the connection before the greeting.");
    EXPECT_TRUE(A->Ui.Warned.empty());
    EXPECT_EQ(A->Net.NetworkRole, TNetSession::nrListening);
    EXPECT_GE(A->Net.Socket().ListeningSocket(), 0);
    ExpectTheNextPeerServed();
}

TEST_F(BeforeTheGreeting, UnknownNamesBeforeTheGreetingShowNoBox) {
    std::string many;
    for (int i = 0; i < 3; ++i) many += BuildFrame("BOGUS" + std::to_string(i), "");
    Peer.Send(many + Greeting("Pat"));
    ASSERT_TRUE(WaitFor([&] { return A->Net.NetworkStatus == TNetSession::nsConnected; }));
    EXPECT_TRUE(A->Ui.Errors.empty());
    // Once greeted, the peer is the opponent: its unknown names are shown.
    Peer.Send(BuildFrame("BOGUS", ""));
    ASSERT_TRUE(WaitFor([&] { return !A->Ui.Errors.empty(); }));
    EXPECT_EQ(A->Ui.Errors[0], "Unknown token: BOGUS");
}

struct ASilentPeer : BeforeTheGreeting {
    ASilentPeer() { Limit = 400; }
};

TEST_F(ASilentPeer, IsDroppedAfterTheTimeLimitAndTheNextPeerServed) {
    Pump(Limit / 2);
    EXPECT_TRUE(A->Net.Connected);  // not before its time
    EXPECT_TRUE(A->Ui.Notices.empty());
    ExpectListeningAgain("did not greet in time");
    ExpectTheNextPeerServed();
}

TEST_F(ASilentPeer, WhileALostOpponentIsAwaitedLeavesTheGameWaiting) {
    Peer.Send(Greeting("Pat"));
    ASSERT_TRUE(WaitFor([&] { return A->G.HandNumber == 1; }));
    A->G.Seat(TSeat::Player).Score = 321;
    const uint64_t before = SeatDigest(A->G, TSeat::Player);
    Peer.Abort();  // the opponent's program crashes
    ASSERT_TRUE(WaitFor([&] { return A->Net.WaitingForPeer() && A->Net.Socket().ListeningSocket() >= 0; }));
    TRawPeer silent;
    ASSERT_TRUE(silent.Connect(Port));
    ASSERT_TRUE(WaitFor([&] { return !A->Ui.Notices.empty(); }, 5000));
    EXPECT_TRUE(ClosedByTheOtherSide(silent));
    EXPECT_TRUE(A->Net.WaitingForPeer());
    EXPECT_TRUE(A->G.Config.Networked);
    EXPECT_EQ(A->Net.NetworkRole, TNetSession::nrListening);
    EXPECT_EQ(SeatDigest(A->G, TSeat::Player), before);
    // The opponent comes back: the game goes on, no second deal.
    TRawPeer again;
    ASSERT_TRUE(again.Connect(Port));
    ASSERT_TRUE(WaitFor([&] { return A->Net.Connected; }));
    again.Send(Greeting("Pat"));
    ASSERT_TRUE(WaitFor([&] { return A->Net.NetworkStatus == TNetSession::nsConnected; }));
    Pump(50);
    EXPECT_EQ(A->G.HandNumber, 1u);
    EXPECT_EQ(A->G.Seat(TSeat::Player).Score, 321);
    EXPECT_TRUE(A->Ui.Errors.empty());
    EXPECT_TRUE(A->Ui.Warned.empty());
}

TEST(Connection, AConnectingSideDropsASilentServerAndTriesAgain) {
    const int port = FreePort();
    const int fd = ListenOn(port, SOCK_NONBLOCK);
    ASSERT_GE(fd, 0);
    TWiredInstance a(port, "Ann");
    a.Net.GreetingTimeoutMs = 300;
    a.Start(false);
    TRawPeer first, second;
    ASSERT_TRUE(WaitFor([&] { return (first.Fd = ::accept(fd, nullptr, nullptr)) >= 0; }));
    ASSERT_TRUE(WaitFor([&] { return !a.Ui.Notices.empty(); }));
    EXPECT_EQ(a.Ui.Notices[0], "The other side did not greet in time; the connection was closed.");
    EXPECT_TRUE(ClosedByTheOtherSide(first));
    EXPECT_EQ(a.Net.NetworkRole, TNetSession::nrConnecting);
    EXPECT_EQ(a.Net.NetworkStatus, TNetSession::nsWaiting);
    // The retry timer connects again; this time the server greets.
    ASSERT_TRUE(WaitFor([&] { return (second.Fd = ::accept(fd, nullptr, nullptr)) >= 0; }));
    ::close(fd);
    second.Send(Greeting("Pat"));
    ASSERT_TRUE(WaitFor([&] { return a.Net.NetworkStatus == TNetSession::nsConnected; }));
    EXPECT_EQ(a.Net.OpponentName, "Pat");
    EXPECT_TRUE(a.Ui.Errors.empty());
    EXPECT_TRUE(a.Ui.Warned.empty());
    EXPECT_EQ(a.Ui.Notices.size(), 1u);
}

// ---------------------------------------------------------------- a flood of chat lines

TEST(Connection, AFloodOfChatLinesIsAppliedWithoutNestingTheReads) {
    const int port = FreePort();
    TWiredInstance a(port, "Ann");
    a.Ui.PumpAfterAction = true;
    a.Start(true);
    TRawPeer peer;
    ASSERT_TRUE(peer.Connect(port));
    ASSERT_TRUE(WaitFor([&] { return a.Net.Connected; }));
    peer.Send(Greeting("Pat"));
    ASSERT_TRUE(WaitFor([&] { return a.Net.NetworkStatus == TNetSession::nsConnected; }));
    Pump(50);
    a.Ui.DeepestAction = 0;
    const size_t before = a.Ui.ChatLines.size();
    // Long lines, far more than one read takes, as fast as the socket allows.
    constexpr int kLines = 4000;
    std::string flood;
    for (int i = 0; i < kLines; ++i) {
        std::string line = "Pat: " + std::to_string(i) + " ";
        line.resize(247, 'x');
        flood += BuildFrame("CHAT", line);
    }
    std::thread sender([&] {
        size_t sent = 0;
        while (sent < flood.size()) {
            const ssize_t n = ::send(peer.Fd, flood.data() + sent, flood.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<size_t>(n);
        }
    });
    const bool all = WaitFor([&] { return a.Ui.ChatLines.size() >= before + kLines; }, 60000);
    sender.join();
    ASSERT_TRUE(all) << a.Ui.ChatLines.size() - before << " lines arrived";
    // Every read was applied from the event loop, none inside another.
    EXPECT_EQ(a.Ui.DeepestAction, 1);
    for (int i = 0; i < kLines; i += 997)
        EXPECT_EQ(a.Ui.ChatLines[before + static_cast<size_t>(i)].rfind("Pat: " + std::to_string(i) + " ", 0), 0u);
    EXPECT_TRUE(a.Net.Connected);
    EXPECT_TRUE(a.Ui.Errors.empty());
}

}  // namespace
}  // namespace canasta::test
