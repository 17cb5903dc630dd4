// SPDX-License-Identifier: GPL-3.0-or-later
// The player-list request dialog: its fields, the mail it sends through a
// scripted server, and what it stores after success and failure.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "MailRun.h"
#include "ScriptedServer.h"
#include "dialogs/Modal.h"
#include "dialogs/PLRequest.h"
#include "store/SettingsCatalog.h"

using namespace canasta;
using namespace canasta::test;

namespace {

// Answers every message box with OK and keeps its text.
struct Boxes {
    QStringList Seen;
    std::function<int(QDialog&)> Other;
    Boxes() {
        SetModalHandler([this](QDialog& d) -> int {
            if (auto* box = qobject_cast<QMessageBox*>(&d)) {
                Seen << box->text();
                return QMessageBox::Ok;
            }
            return Other ? Other(d) : int(QDialog::Rejected);
        });
    }
    ~Boxes() { SetModalHandler({}); }
};

bool Issued(TMemorySettings& store) { return ReadBool(&store, "Settings\\PL Request Issued", false); }

// A list service the player has set up.
void Configure(TMemorySettings& store) {
    WriteString(&store, "Network\\Player List Address", "players@canasta.example.org");
}

void Fill(TfmPLRequest& d, const QString& server, uint16_t port) {
    d.edEmail->setText("ann@home.example");
    d.edSMTP->setText(server);
    d.Mail().SMTP_Port = port;
}

std::string Message(const std::string& received) {
    const size_t start = received.find("DATA\r\n");
    const size_t end = received.find("\r\n.\r\n", start);
    if (start == std::string::npos || end == std::string::npos) return {};
    return received.substr(start + 6, end + 2 - (start + 6));
}

}  // namespace

TEST(PLRequestDialog, OpensWithItsFieldsAndDefaults) {
    TMemorySettings store;
    WriteString(&store, "Network\\Player List Address", "list@games.example");
    WriteString(&store, "Network\\Player List Page", "https://games.example/list");
    TfmPLRequest d(&store, "Ann");
    EXPECT_EQ(d.windowTitle(), "Request Internet Player Listing");
    EXPECT_EQ(d.edNickName->text(), "Ann");
    EXPECT_EQ(d.edEmail->text(), "");
    EXPECT_EQ(d.edSMTP->text(), "mail");
    EXPECT_FALSE(d.edSMTP->focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(d.rbAction[0]->isChecked());
    EXPECT_TRUE(d.rbListType[0]->isChecked());
    EXPECT_TRUE(d.rgListType->isEnabled());
    EXPECT_EQ(d.rgAction->title(), "Your request");
    EXPECT_EQ(d.rgListType->title(), "Which list?");
    EXPECT_EQ(d.bnSend->text(), "Send Request");
    EXPECT_TRUE(d.bnSend->isDefault());
    EXPECT_EQ(d.bnCancel->text(), "Cancel");
    // No ICQ registry here: the list is empty but a number can be typed.
    EXPECT_EQ(d.cbUIN->count(), 0);
    EXPECT_TRUE(d.cbUIN->isEditable());
    EXPECT_TRUE(d.lbExplain->text().contains("list@games.example"));
    EXPECT_TRUE(d.lbExplain->text().contains("https://games.example/list"));
    EXPECT_TRUE(d.lbExplain->text().contains("Canasta Player List"));
    EXPECT_FALSE(d.edListAddress->isVisibleTo(&d));
    EXPECT_EQ(d.Mail().TO_Address, "list@games.example");
    EXPECT_EQ(d.Mail().Subject, "Canasta Player List Request");
    EXPECT_EQ(d.Mail().SMTP_Port, 25);
    EXPECT_FALSE(d.Mail().KeepConnectionOpen);

    TfmPLRequest nobody(&store, "");
    EXPECT_EQ(nobody.edNickName->text(), "");
}

TEST(PLRequestDialog, RemovingDisablesWhichListButItsChoiceIsStillSent) {
    TMemorySettings store;
    TfmPLRequest d(&store, "Ann");
    d.rbListType[1]->setChecked(true);
    d.rbAction[2]->setChecked(true);
    EXPECT_FALSE(d.rgListType->isEnabled());
    d.cbUIN->setEditText("");
    EXPECT_EQ(d.BodyLines(),
              (QStringList{"Action=Remove me from the list", "Nickname=Ann", "List=Competition", "UIN="}));
    d.rbAction[1]->setChecked(true);
    EXPECT_TRUE(d.rgListType->isEnabled());
}

TEST(PLRequestDialog, MissingFieldsAreRefusedBeforeAnythingIsSent) {
    Boxes boxes;
    TMemorySettings store;
    TScriptedServer server({Say("220 hi\r\n"), Hang()});
    TfmPLRequest d(&store, "");
    Fill(d, "127.0.0.1", server.Port());
    d.bnSendClick();
    EXPECT_EQ(boxes.Seen, QStringList{"Please enter all fields."});
    EXPECT_TRUE(d.bnSend->isEnabled());
    EXPECT_FALSE(d.Mail().Busy());
    Spin(100);
    EXPECT_FALSE(server.Accepted());
}

TEST(PLRequestDialog, SuccessfulRequestSendsTheFourLinesClosesAndIsRemembered) {
    Boxes boxes;
    TMemorySettings store;
    Configure(store);
    TScriptedServer server(AcceptingScript());
    {
        TfmPLRequest d(&store, "Ann");
        d.show();
        Fill(d, "127.0.0.1", server.Port());
        d.rbListType[1]->setChecked(true);
        d.cbUIN->setEditText("12345678");
        d.bnSend->click();
        EXPECT_FALSE(d.bnSend->isEnabled());
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        ASSERT_TRUE(SpinUntil([&] { return !d.isVisible(); }));
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(boxes.Seen, QStringList{"The request was sent successfully."});
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    SpinUntil([&] { return server.Finished(); }, 5000);
    EXPECT_EQ(Message(server.Received()),
              "From:  <ann@home.example>\r\n"
              "To: Canasta Player List <players@canasta.example.org>\r\n"
              "Subject: Canasta Player List Request\r\n"
              "Mime-Version: 1.0\r\n"
              "Content-Type: text/plain; charset=\"us-ascii\"\r\n"
              "\r\n"
              "Action=Add me to the list\r\n"
              "Nickname=Ann\r\n"
              "List=Competition\r\n"
              "UIN=12345678\r\n");
    EXPECT_NE(server.Received().find("RCPT TO:<players@canasta.example.org>\r\n"), std::string::npos);
    EXPECT_TRUE(Issued(store));

    TfmPLRequest again(&store, "Ann");
    EXPECT_TRUE(again.rbAction[1]->isChecked());
    EXPECT_EQ(again.BodyLines().first(), "Action=Change my listing");
}

TEST(PLRequestDialog, UnknownMailServerKeepsTheDialogOpenAndStoresNotIssued) {
    Boxes boxes;
    TMemorySettings store;
    WriteBool(&store, "Settings\\PL Request Issued", true);
    Configure(store);
    TfmPLRequest d(&store, "Ann");
    d.show();
    Fill(d, "no-such-host.invalid", 25);
    d.bnSend->click();
    ASSERT_TRUE(SpinUntil([&] { return !boxes.Seen.isEmpty(); }, 40000));
    Spin(50);
    EXPECT_EQ(boxes.Seen, QStringList{"An error occurred while sending the request: Address resolution error"});
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.bnSend->isEnabled());
    EXPECT_FALSE(d.Issued());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    d.reject();
    EXPECT_FALSE(Issued(store));
}

TEST(PLRequestDialog, ServerHangingUpEarlyShowsTheErrorWithTheDialogStillOpen) {
    Boxes boxes;
    TMemorySettings store;
    Configure(store);
    TScriptedServer server({Say("220 hi\r\n"), AwaitLine(), Close()});
    TfmPLRequest d(&store, "Ann");
    d.show();
    Fill(d, "127.0.0.1", server.Port());
    d.bnSend->click();
    ASSERT_TRUE(SpinUntil([&] { return !boxes.Seen.isEmpty(); }));
    EXPECT_EQ(boxes.Seen, QStringList{"An error occurred while sending the request: Prematurely Disconnected"});
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.bnSend->isEnabled());
}

TEST(PLRequestDialog, WithoutAListServiceItSaysSoAndAsksForTheAddress) {
    Boxes boxes;
    TMemorySettings store;
    TScriptedServer server(AcceptingScript());
    {
        TfmPLRequest d(&store, "Ann");
        d.show();
        // No made-up address is offered as if it were real.
        EXPECT_TRUE(d.lbExplain->text().startsWith("No player list service is configured."));
        EXPECT_FALSE(d.lbExplain->text().contains("example"));
        EXPECT_TRUE(d.edListAddress->isVisibleTo(&d));
        EXPECT_EQ(d.edListAddress->text(), "");
        Fill(d, "127.0.0.1", server.Port());
        d.bnSendClick();
        EXPECT_EQ(boxes.Seen, QStringList{"Please enter all fields."});
        Spin(100);
        EXPECT_FALSE(server.Accepted());

        boxes.Seen.clear();
        d.edListAddress->setText(" list@games.example ");
        d.bnSend->click();
        ASSERT_TRUE(SpinUntil([&] { return !d.isVisible(); }));
        EXPECT_EQ(boxes.Seen, QStringList{"The request was sent successfully."});
    }
    SpinUntil([&] { return server.Finished(); }, 5000);
    // Exactly the request of a configured service, sent to the address given.
    EXPECT_NE(server.Received().find("RCPT TO:<list@games.example>\r\n"), std::string::npos);
    EXPECT_EQ(Message(server.Received()),
              "From:  <ann@home.example>\r\n"
              "To: Canasta Player List <list@games.example>\r\n"
              "Subject: Canasta Player List Request\r\n"
              "Mime-Version: 1.0\r\n"
              "Content-Type: text/plain; charset=\"us-ascii\"\r\n"
              "\r\n"
              "Action=Add me to the list\r\n"
              "Nickname=Ann\r\n"
              "List=Recreational\r\n"
              "UIN=\r\n");
    // Remembered once the service took it.
    EXPECT_EQ(ReadString(&store, "Network\\Player List Address", ""), "list@games.example");
    TfmPLRequest again(&store, "Ann");
    EXPECT_FALSE(again.edListAddress->isVisibleTo(&again));
    EXPECT_TRUE(again.lbExplain->text().contains("<list@games.example>"));
    EXPECT_FALSE(again.lbExplain->text().contains("web page"));
}

TEST(PLRequestDialog, AnAddressThatCannotBeSentIsRefusedAndNotRemembered) {
    Boxes boxes;
    TMemorySettings store;
    TScriptedServer server({Say("220 hi\r\n"), Hang()});
    TfmPLRequest d(&store, "Ann");
    d.show();
    Fill(d, "127.0.0.1", server.Port());
    d.edListAddress->setText(QString::fromUtf8("łista@games.example"));
    d.bnSend->click();
    ASSERT_TRUE(SpinUntil([&] { return !boxes.Seen.isEmpty(); }));
    ASSERT_EQ(boxes.Seen.size(), 1);
    EXPECT_TRUE(boxes.Seen[0].startsWith("An error occurred while sending the request: Invalid address specified"))
        << boxes.Seen[0].toStdString();
    EXPECT_TRUE(d.bnSend->isEnabled());
    EXPECT_FALSE(server.Accepted());
    d.reject();
    EXPECT_EQ(ReadString(&store, "Network\\Player List Address", ""), "");
}

TEST(PLRequestDialog, ABadAnswerToQuitAfterAcceptanceIsStillASuccess) {
    Boxes boxes;
    TMemorySettings store;
    Configure(store);
    std::vector<TServerStep> script = AcceptingScript();
    script.resize(script.size() - 2);  // no "221 bye" and hang-up
    script.push_back(Say("500 unrecognised command\r\n"));
    script.push_back(Hang());
    TScriptedServer server(script);
    TfmPLRequest d(&store, "Ann");
    d.show();
    Fill(d, "127.0.0.1", server.Port());
    d.bnSend->click();
    ASSERT_TRUE(SpinUntil([&] { return !d.isVisible(); }));
    Spin(50);
    EXPECT_EQ(boxes.Seen, QStringList{"The request was sent successfully."});
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(Issued(store));
}

TEST(PLRequestDialog, CancellingKeepsAnEarlierSuccess) {
    TMemorySettings store;
    WriteBool(&store, "Settings\\PL Request Issued", true);
    TfmPLRequest d(&store, "Ann");
    d.reject();
    EXPECT_TRUE(Issued(store));
    TfmPLRequest fresh(&store, "Ann");
    fresh.reject();
    EXPECT_TRUE(Issued(store));
}

TEST(PLRequestDialog, MenuCallOpensTheDialogModallyWithThePlayersName) {
    Boxes boxes;
    TMemorySettings store;
    QString nick, title;
    boxes.Other = [&](QDialog& d) {
        title = d.windowTitle();
        if (auto* r = dynamic_cast<TfmPLRequest*>(&d)) nick = r->edNickName->text();
        return int(QDialog::Rejected);
    };
    RequestListing(nullptr, &store, "Bea");
    EXPECT_EQ(title, "Request Internet Player Listing");
    EXPECT_EQ(nick, "Bea");
}

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("CANASTA_HOME", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
