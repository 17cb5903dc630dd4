// SPDX-License-Identifier: GPL-3.0-or-later
// The network windows: chat, rule differences, the connect dialog and the
// table window's Network menu, on the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <memory>

#include "dialogs/Modal.h"
#include "dialogs/Chat.h"
#include "dialogs/ConnectDialog.h"
#include "dialogs/RuleDifferences.h"
#include "net/Framing.h"
#include "net/Session.h"
#include "dialogs/TryConnect.h"
#include "store/SettingsCatalog.h"
#include "support/TestWindow.h"
#include "table/CanMain.h"
#include "table/CanMainNet.h"

namespace canasta::test {
namespace {

// Modal windows are answered here: message boxes recorded and answered from a list.
struct ModalScript {
    std::vector<QString> Texts;
    std::vector<int> Answers;  // QMessageBox buttons, front first; Yes when empty
    ModalScript() {
        SetModalHandler([this](QDialog& d) -> int {
            if (auto* box = qobject_cast<QMessageBox*>(&d)) {
                Texts.push_back(box->text());
                if (Answers.empty()) return QMessageBox::Yes;
                const int a = Answers.front();
                Answers.erase(Answers.begin());
                return a;
            }
            d.accept();
            return d.result();
        });
    }
    ~ModalScript() { SetModalHandler({}); }
};

struct TQuietUi : INetUi {
    bool Ask(const std::string&) override { return true; }
    void Inform(const std::string&) override {}
    void Warn(const std::string&) override {}
    void ShowError(const std::string&) override {}
    void Notice(const std::string&) override {}
    void NetworkChanged() override {}
    void OpenTryConnect(const std::string&) override {}
    void StepTryConnect(int) override {}
    void CloseTryConnect() override {}
    void OpenChat() override {}
    void CloseChat() override {}
    void AddChatLine(const std::string&, bool) override {}
    void NewRuleWindow() override {}
    void ShowRuleDifferences(const std::vector<TRuleDifference>&) override {}
    void CloseRuleWindow() override {}
    void RunGameAction(const std::function<void()>& a) override { a(); }
    bool MayApplyTokens() override { return true; }
    void ScheduleTokens() override {}
    void GameChanged() override {}
};

// ---------------------------------------------------------------- chat

TEST(ChatWindow, TheLineAfterAFullHistoryPushesTheFirstOut) {
    TMemorySettings store;
    TfmChat chat(&store, nullptr, false, {});
    const int full = TfmChat::kMaxLines + 1;
    for (int i = 1; i <= full + 1; ++i) chat.AddChatLine(QStringLiteral("line %1").arg(i));
    ASSERT_EQ(chat.Lines().size(), full);
    EXPECT_EQ(chat.Lines().first(), QStringLiteral("line 2"));
    EXPECT_EQ(chat.Lines().last(), QStringLiteral("line %1").arg(full + 1));
    EXPECT_EQ(chat.mmChat->toPlainText().count(QLatin1Char('\n')), full - 1);
}

TEST(ChatWindow, AFloodKeepsTheHistoryBoundedAndTheWorkPerLineConstant) {
    TMemorySettings store;
    TfmChat chat(&store, nullptr, false, {});
    chat.show();
    QTextDocument* doc = chat.mmChat->document();
    // The characters the area is given and takes away for each line.
    qsizetype touched = 0;
    QObject::connect(doc, &QTextDocument::contentsChange, &chat,
                     [&](int, int removed, int added) { touched += removed + added; });
    const QString body(240, QLatin1Char('x'));
    qsizetype most = 0;
    for (int i = 0; i < 5000; ++i) {
        const QString line = QStringLiteral("Pat: %1 ").arg(i, 4, 10, QLatin1Char('0')) + body;
        touched = 0;
        chat.AddChatLine(line);
        most = std::max(most, touched);
    }
    // Adding a line costs the same after 5000 lines as after one: that line
    // in, the oldest out.
    const qsizetype lineLength = 10 + body.size();
    EXPECT_LE(most, 2 * (lineLength + 1));
    EXPECT_EQ(doc->blockCount(), TfmChat::kMaxLines + 1);
    EXPECT_LE(doc->characterCount(), (TfmChat::kMaxLines + 1) * (lineLength + 1));
    ASSERT_EQ(chat.Lines().size(), TfmChat::kMaxLines + 1);
    EXPECT_EQ(chat.Lines().last(), QStringLiteral("Pat: 4999 ") + body);
    EXPECT_EQ(doc->firstBlock().text(),
              QStringLiteral("Pat: %1 ").arg(5000 - (TfmChat::kMaxLines + 1), 4, 10, QLatin1Char('0')) + body);
    EXPECT_EQ(doc->lastBlock().text(), chat.Lines().last());
    // The newest line is in view.
    EXPECT_EQ(chat.mmChat->verticalScrollBar()->value(), chat.mmChat->verticalScrollBar()->maximum());
}

TEST(ChatWindow, EmptyLinesKeepTheirPlace) {
    TMemorySettings store;
    TfmChat chat(&store, nullptr, false, {});
    chat.AddChatLine(QString());
    chat.AddChatLine(QStringLiteral("two"));
    chat.AddChatLine(QString());
    EXPECT_EQ(chat.mmChat->toPlainText(), QStringLiteral("\ntwo\n"));
    EXPECT_EQ(chat.Lines(), (QStringList{QString(), QStringLiteral("two"), QString()}));
}

TEST(ChatWindow, EnterSendsTheTypedLineEvenWhenEmpty) {
    TMemorySettings store;
    std::vector<QString> sent;
    TfmChat chat(&store, nullptr, false, [&](const QString& t) { sent.push_back(t); });
    chat.show();
    QTest::keyClicks(chat.edChat, QStringLiteral("hello"));
    QTest::keyClick(chat.edChat, Qt::Key_Return);
    QTest::keyClick(chat.edChat, Qt::Key_Return);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], QStringLiteral("hello"));
    EXPECT_EQ(sent[1], QString());
    EXPECT_TRUE(chat.edChat->text().isEmpty());
}

TEST(ChatWindow, TheInputLineFollowsTheFontHeight) {
    EXPECT_EQ(TfmChat::InputHeight(-11), 20);
    EXPECT_EQ(TfmChat::InputHeight(-20), 29);
    TMemorySettings store;
    TfmChat chat(&store, nullptr, false, {});
    chat.resize(429, 108);
    EXPECT_EQ(chat.edChat->height(), 20);
    QFont big = chat.mmChat->font();
    big.setPixelSize(20);
    chat.ApplyChosenFont(big);
    EXPECT_EQ(chat.edChat->height(), 29);
    EXPECT_EQ(chat.mmChat->height(), 108 - 29);
    EXPECT_EQ(ReadInt(&store, "Chat\\Font.Height", 0), -20);
    // The next window opens with the stored font.
    TfmChat again(&store, nullptr, false, {});
    again.resize(429, 108);
    EXPECT_EQ(again.edChat->height(), 29);
}

TEST(ChatWindow, APlaceOffTheScreenFallsBackToTheTableWindow) {
    TMemorySettings store;
    WriteInt(&store, "Chat\\Left", 5000);
    WriteInt(&store, "Chat\\Top", 40);
    QWidget table;
    table.move(17, 23);
    {
        TfmChat chat(&store, &table, false, {});
        EXPECT_EQ(chat.x(), 17);
        EXPECT_EQ(chat.y(), 40);
        EXPECT_EQ(chat.width(), 429);
        EXPECT_EQ(chat.height(), 108);
        chat.move(30, 50);
    }
    // Written when the window goes.
    EXPECT_EQ(ReadInt(&store, "Chat\\Left", 0), 30);
    EXPECT_EQ(ReadInt(&store, "Chat\\Top", 0), 50);
}

TEST(ChatWindow, AReceivedLineIsHighlightedBriefly) {
    TMemorySettings store;
    TfmChat chat(&store, nullptr, false, {});
    chat.Highlight();
    EXPECT_TRUE(chat.Highlighted());
    EXPECT_EQ(chat.mmChat->palette().color(QPalette::Base), QColor(255, 255, 128));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !chat.Highlighted(); }, 10000)) << "the highlight never ends";
    EXPECT_NE(chat.mmChat->palette().color(QPalette::Base), QColor(255, 255, 128));
}

TEST(ChatWindow, ClosingItOnlyHidesIt) {
    TMemorySettings store;
    TfmChat chat(&store, nullptr, false, {});
    chat.show();
    chat.close();
    EXPECT_FALSE(chat.isVisible());
    chat.AddChatLine(QStringLiteral("still here"));
    EXPECT_EQ(chat.Lines().size(), 1);
}

// ---------------------------------------------------------------- rule differences

TEST(RuleDifferencesWindow, RowsSortedAndTheButtons) {
    int used = 0;
    TfmRuleDifferences w([&] { ++used; });
    std::string opponentRules;
    TRuleOptions mine, theirs = StandardRules();
    w.SetRows(CompareRules(BuildRulesString(mine), BuildRulesString(theirs), opponentRules));
    ASSERT_GT(w.RowCount(), 2);
    for (int i = 1; i < w.RowCount(); ++i) EXPECT_LT(w.Cell(i - 1, 0), w.Cell(i, 0));
    w.show();
    QTest::mouseClick(w.bnUse, Qt::LeftButton);
    EXPECT_EQ(used, 1);
    EXPECT_FALSE(w.isVisible());
    w.show();
    QTest::mouseClick(w.bnHide, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(used, 1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Rule Differences"));
}

// ---------------------------------------------------------------- connect dialog

struct ConnectDialog : ::testing::Test {
    THeadlessHost Host;
    TGame G{Host};
    TMemorySettings Store;
    TQuietUi Ui;
    TNetSession Net{G, &Store, Ui};
    ModalScript Modal;
    std::unique_ptr<TfmConnect> Make(std::vector<std::string> own = {"192.168.1.20"}) {
        auto d = std::make_unique<TfmConnect>(&Store, Net, "", nullptr);
        d->Addresses = [own] { return own; };
        d->DetectAddress = [](const std::string&, std::function<void(const std::string&)> found) {
            found("192.168.1.20");
        };
        d->ResolveName = [](const std::string& name, std::function<void(const std::string&)> found) {
            found(name == "friend" ? "10.1.2.3" : "");
        };
        d->Refresh();
        return d;
    }
    void TearDown() override { Net.ResetNetwork(); }
};

TEST_F(ConnectDialog, AnUnderscoreIsRefused) {
    auto d = Make();
    d->cbOpponent->setEditText(QStringLiteral("host_1"));
    bool started = true;
    d->ConnectClick([&](bool s) { started = s; });
    EXPECT_FALSE(started);
    ASSERT_EQ(Modal.Texts.size(), 1u);
    EXPECT_EQ(Modal.Texts[0],
              QStringLiteral("The IP Number of your opponent may only contain letters, digits and dots."));
    EXPECT_EQ(Net.NetworkRole, TNetSession::nrNone);
    EXPECT_TRUE(d->bnConnect->isEnabled());
}

TEST_F(ConnectDialog, ConnectIsEnabledOnlyWithAnOpponent) {
    auto d = Make();
    d->cbOpponent->setEditText(QString());
    EXPECT_FALSE(d->bnConnect->isEnabled());
    d->cbOpponent->setEditText(QStringLiteral("1"));
    EXPECT_TRUE(d->bnConnect->isEnabled());
}

TEST_F(ConnectDialog, CancelStillStoresTheFieldsAndTheHistory) {
    for (int n = 0; n < 10; ++n)
        WriteString(&Store, "Network\\LANHist" + std::to_string(n), "10.0.0." + std::to_string(n));
    auto d = Make();
    EXPECT_EQ(d->cbOpponent->count(), 10);
    d->cbOpponent->setEditText(QStringLiteral("172.16.0.1"));
    d->rbLAN->setChecked(true);
    d->edIDServer->setText(QStringLiteral("id.example.org"));
    d->reject();
    EXPECT_TRUE(ReadBool(&Store, "Network\\LANorInternet", false));
    EXPECT_EQ(ReadString(&Store, "Network\\LANAddress", ""), "172.16.0.1");
    EXPECT_EQ(ReadString(&Store, "Network\\ID Server", ""), "id.example.org");
    EXPECT_EQ(ReadString(&Store, "Network\\LANHist0", ""), "172.16.0.1");
    EXPECT_EQ(ReadString(&Store, "Network\\LANHist9", ""), "10.0.0.8");  // the eleventh dropped
    EXPECT_EQ(Net.NetworkRole, TNetSession::nrNone);
    // Opening again: the stored fields come back.
    auto e = Make();
    EXPECT_EQ(e->cbOpponent->currentText(), QStringLiteral("172.16.0.1"));
    EXPECT_TRUE(e->rbLAN->isChecked());
    EXPECT_EQ(e->cbOpponent->itemText(0), QStringLiteral("172.16.0.1"));
}

TEST_F(ConnectDialog, AHostNameIsResolvedAndAFailureReported) {
    auto d = Make();
    d->cbOpponent->setEditText(QStringLiteral("nowhere"));
    bool started = true;
    d->ConnectClick([&](bool s) { started = s; });
    EXPECT_FALSE(started);
    ASSERT_EQ(Modal.Texts.size(), 1u);
    EXPECT_EQ(Modal.Texts[0], QStringLiteral("Canasta could not resolve the opponent name."));
    d->cbOpponent->setEditText(QStringLiteral("friend"));
    d->ConnectClick([&](bool s) { started = s; });
    EXPECT_TRUE(started);
    EXPECT_EQ(Net.PartnerIP, "10.1.2.3");
    EXPECT_EQ(Net.OwnIP, "192.168.1.20");
    EXPECT_EQ(Net.OpponentName, "<none>");
    EXPECT_EQ(Net.PlayerNetName, "Opponent");
}

TEST_F(ConnectDialog, WithoutOwnAddressesItOffersThisComputer) {
    auto d = Make({});
    ASSERT_EQ(Modal.Texts.size(), 1u);
    EXPECT_EQ(Modal.Texts[0],
              QStringLiteral("Canasta did not detect an IP address. Please connect to the network first"));
    d->cbOpponent->setEditText(QStringLiteral("10.9.9.9"));
    Modal.Answers = {QMessageBox::No};
    bool started = true;
    d->ConnectClick([&](bool s) { started = s; });
    EXPECT_FALSE(started);
    EXPECT_EQ(Modal.Texts.back(),
              QStringLiteral("Canasta did not detect an IP address. Do you want to connect to another "
                             "instance of Canasta on your computer?"));
    Modal.Answers = {QMessageBox::Yes, QMessageBox::Yes};  // and then: be the server
    d->ConnectClick([&](bool s) { started = s; });
    EXPECT_TRUE(started);
    EXPECT_EQ(Net.OwnIP, "127.0.0.1");
    EXPECT_EQ(Net.PartnerIP, "127.0.0.1");
}

TEST_F(ConnectDialog, InternetShowsTheDetectedAddressAndLANTheOthers) {
    auto d = Make({"10.0.0.2", "192.168.1.20", "172.17.0.1"});
    d->rbInternet->setChecked(true);
    d->Refresh();
    ASSERT_EQ(d->lbOwnIPs->count(), 1);
    EXPECT_EQ(d->lbOwnIPs->item(0)->text(), QStringLiteral("192.168.1.20"));
    d->rbLAN->setChecked(true);
    d->Refresh();
    ASSERT_EQ(d->lbOwnIPs->count(), 2);
    EXPECT_EQ(d->lbOwnIPs->item(0)->text(), QStringLiteral("10.0.0.2"));
    // Copy: nothing selected of two gives an empty text; one entry is taken.
    d->CopyClick();
    EXPECT_EQ(QApplication::clipboard()->text(), QString());
    d->rbInternet->setChecked(true);
    d->Refresh();
    d->CopyClick();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("192.168.1.20"));
    QApplication::clipboard()->setText(QStringLiteral("10.20.30.40"));
    d->PasteClick();
    EXPECT_EQ(d->cbOpponent->currentText(), QStringLiteral("10.20.30.40"));
}

// ---------------------------------------------------------------- the table window's Network menu

// The table window as it is after the start-up step, at the smallest size.
struct TStartedTable {
    ModalScript Modal;
    TMemorySettings Store;
    TTestWindow Opened;
    std::unique_ptr<TfmCanMain>& Window = Opened.Window;
    explicit TStartedTable(const std::function<void(TMemorySettings&)>& settings = {}) {
        if (settings) settings(Store);
        TStartOptions options;
        options.SplashMs = 0;
        options.ForcedSize = 0;
        Opened.Open(Store, options);
        Window->PauseScale = 0;
        Window->show();
        Window->tmSplashTimer();
    }
};

TEST(NetworkMenu, ItemsAndTheirStates) {
    TStartedTable started([](TMemorySettings& s) { WriteBool(&s, "Network\\Chat on Top", false); });
    ModalScript& modal = started.Modal;
    TfmCanMain& w = *started.Window;
    TTableNetwork& net = w.Network();
    QMenu* menu = net.NetworkMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QStringLiteral("&Network"));
    QStringList items;
    for (QAction* a : menu->actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, (QStringList{"&Connect to Opponent...", "&Rule Differences...", "&Disconnect", "Request &Listing",
                                  "-", "&Chat window always on top"}));
    EXPECT_TRUE(net.ConnectAction()->isEnabled());
    EXPECT_FALSE(net.DisconnectAction()->isEnabled());
    EXPECT_FALSE(net.RuleDifferencesAction()->isEnabled());
    EXPECT_FALSE(net.ChatOnTopAction()->isEnabled());
    EXPECT_FALSE(net.ChatOnTopAction()->isChecked());
    EXPECT_EQ(net.ConnectAction()->statusTip(), QStringLiteral("Connect to another player over a network"));
    // The Network menu comes before Help.
    const QList<QAction*> bar = w.menuBar()->actions();
    EXPECT_EQ(bar.at(bar.size() - 2)->menu(), menu);

    // Waiting for the other instance: the status bar says so, the menu follows.
    net.Session().Port = "0";
    net.Session().SameAddressAnswer = true;
    net.Session().BeginConnectDialog();
    net.Session().Connect("127.0.0.1", "127.0.0.1", {});
    net.Session().EndConnectDialog(true);
    EXPECT_EQ(w.StatusText(), QStringLiteral("Waiting for connection..."));
    w.Game().SetTurnPhase(w.Game().TurnPhase);
    EXPECT_EQ(w.StatusText(), QStringLiteral("Waiting for connection..."));
    EXPECT_FALSE(net.ConnectAction()->isEnabled());
    EXPECT_TRUE(net.DisconnectAction()->isEnabled());
    EXPECT_TRUE(net.RuleDifferencesAction()->isEnabled());
    EXPECT_NE(net.TryWindow(), nullptr);
    // Meanwhile the table takes no moves.
    const int stock = w.Game().Stock.Count;
    w.Game().OpponentsTurn = false;
    w.Game().SetTurnPhase(TTurnPhase::Draw);
    QTest::keyClick(w.centralWidget(), Qt::Key_F6);
    const TableLayout& L = w.TableGeometry();
    QTest::mouseClick(w.centralWidget(), Qt::LeftButton, Qt::NoModifier, QPoint(L.TableLeft + 5, L.StockTop + 5));
    EXPECT_EQ(w.Game().Stock.Count, stock);
    EXPECT_FALSE(w.Game().HasDrawn);
    // Cancelled from the try-connect window: back to no connection.
    net.mnDisconnectClick();
    EXPECT_EQ(w.StatusText(), QStringLiteral("Not connected"));
    EXPECT_TRUE(net.ConnectAction()->isEnabled());
    EXPECT_FALSE(net.DisconnectAction()->isEnabled());
    EXPECT_TRUE(modal.Texts.empty());
    QTest::keyClick(w.centralWidget(), Qt::Key_F6);
    // The draw goes through now (a red three drawn brings one more card).
    EXPECT_TRUE(w.Game().HasDrawn);
    EXPECT_LT(w.Game().Stock.Count, stock);
}

TEST(NetworkMenu, KeysTypedOnTheTableGoToTheChat) {
    EXPECT_TRUE(TypedIntoChat(Qt::Key_H));
    EXPECT_TRUE(TypedIntoChat(Qt::Key_5));
    EXPECT_TRUE(TypedIntoChat(Qt::Key_Question));
    EXPECT_TRUE(TypedIntoChat(Qt::Key_Home));
    for (int key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Shift,
                    Qt::Key_Control})
        EXPECT_FALSE(TypedIntoChat(key)) << key;

    TStartedTable started([](TMemorySettings& s) { WriteBool(&s, "Settings\\Show Turns", false); });
    TfmCanMain& w = *started.Window;
    TTableNetwork& net = w.Network();
    QWidget* table = w.centralWidget();
    ASSERT_NE(table, nullptr);

    // Without a connection the letters stay on the table.
    QTest::keyClicks(table, QStringLiteral("hi"));
    EXPECT_EQ(net.Chat(), nullptr);
    EXPECT_TRUE(w.LoadAction()->isEnabled());

    // Connected: the chat is open, loading a game is not possible.
    net.Session().Connected = true;
    w.Game().Config.Networked = true;
    net.OpenChat();
    net.NetworkChanged();
    ASSERT_NE(net.Chat(), nullptr);
    EXPECT_FALSE(w.LoadAction()->isEnabled());
    net.Chat()->hide();

    w.Game().OpponentsTurn = false;
    w.Game().SetTurnPhase(TTurnPhase::Draw);
    QTest::keyClicks(table, QStringLiteral("Hi!"));
    EXPECT_EQ(net.Chat()->edChat->text(), QStringLiteral("Hi!"));
    EXPECT_TRUE(net.Chat()->isVisible());

    // The table's command keys stay with the table; a card key acts on the
    // table (here: not before the draw) and is typed into the chat as well.
    net.Chat()->edChat->clear();
    QTest::keyClick(table, Qt::Key_F8);
    EXPECT_EQ(w.Game().TurnPhase, TTurnPhase::KeyMeld);
    EXPECT_EQ(net.Chat()->edChat->text(), QString());
    TGame& g = w.Game();
    int rank = -1;
    for (const TCard& c : g.Seat(TSeat::Player).Hand)
        if (c.Rank >= 3 && c.Rank <= 8) rank = c.Rank;
    ASSERT_GE(rank, 3) << "a dealt hand of 15 holds a four to a nine";
    const QChar digit = QChar('0' + rank + 1);
    QTest::keyClick(table, static_cast<Qt::Key>(Qt::Key_0 + rank + 1));
    EXPECT_TRUE(w.StatusText().startsWith(QStringLiteral("You cannot meld before drawing")))
        << w.StatusText().toStdString();
    EXPECT_EQ(net.Chat()->edChat->text(), QString(digit));
    QTest::keyClick(table, Qt::Key_Space);
    EXPECT_EQ(net.Chat()->edChat->text(), QString(digit));

    // After the connection the letters stay on the table again.
    net.Session().Connected = false;
    w.Game().Config.Networked = false;
    net.CloseChat();
    net.NetworkChanged();
    EXPECT_TRUE(w.LoadAction()->isEnabled());
    QTest::keyClicks(table, QStringLiteral("ok"));
    EXPECT_EQ(net.Chat(), nullptr);
}

TEST(NetworkMenu, AListeningTableTellsOfADroppedPeerWithoutABoxAndListensAgain) {
    TStartedTable started;
    TfmCanMain& w = *started.Window;
    TTableNetwork& net = w.Network();
    net.Session().Port = "0";
    net.Session().SameAddressAnswer = true;
    net.Session().BeginConnectDialog();
    net.Session().Connect("127.0.0.1", "127.0.0.1", {});
    net.Session().EndConnectDialog(true);
    const int port = net.Session().Socket().ListeningPort();
    ASSERT_GT(port, 0);

    // A peer of another version connects and greets.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(static_cast<uint16_t>(port));
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    QTRY_VERIFY(net.Session().Connected);
    const std::string hello = BuildFrame("PLAYERID", JoinFields({"Old", "412"}));
    ASSERT_EQ(::send(fd, hello.data(), hello.size(), 0), static_cast<ssize_t>(hello.size()));
    QTRY_VERIFY(!net.Session().Connected);
    QTest::qWait(50);
    ::close(fd);

    // No box to answer: the try-connect window says why, the table waits on.
    EXPECT_TRUE(started.Modal.Texts.empty());
    ASSERT_NE(net.TryWindow(), nullptr);
    EXPECT_TRUE(net.TryWindow()->isVisible());
    EXPECT_TRUE(net.TryWindow()->lbNotice->isVisible());
    EXPECT_EQ(
        net.TryWindow()->lbNotice->text(),
        QStringLiteral("You have version 41301 and your opponent has another version. Please use the same version."));
    EXPECT_GE(net.TryWindow()->height(), net.TryWindow()->layout()->totalHeightForWidth(net.TryWindow()->width()));
    EXPECT_EQ(w.StatusText(), QStringLiteral("Waiting for connection..."));
    EXPECT_GE(net.Session().Socket().ListeningSocket(), 0);
    EXPECT_EQ(net.Chat(), nullptr);
    EXPECT_TRUE(net.DisconnectAction()->isEnabled());
    EXPECT_FALSE(net.ConnectAction()->isEnabled());
    net.mnDisconnectClick();
    EXPECT_EQ(w.StatusText(), QStringLiteral("Not connected"));
}

}  // namespace
}  // namespace canasta::test
