// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Connect to Opponent": LAN or Internet, the opponent's address with its
// history, the machine's own addresses, the identification server.
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "model/Settings.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace canasta {

class TNetSession;

class TfmConnect : public QDialog {
    Q_OBJECT
public:
    // playerName: the current player of the player list, empty when none.
    TfmConnect(ISettingsStore* store, TNetSession& session, const std::string& playerName, QWidget* parent = nullptr);
    ~TfmConnect() override;

    // The "Connect" button. done(started) runs when the steps end (a host name
    // is looked up without stopping the window); started when a connection
    // attempt is running. The dialog itself closes with Accepted then.
    void ConnectClick(std::function<void(bool started)> done = {});
    // Own addresses again ("Refresh", "LAN", "Internet").
    void Refresh();
    void CopyClick();
    void PasteClick();
    void HelpClick();
    bool RefreshRunning() const { return RefreshPending; }

    QRadioButton* rbInternet = nullptr;
    QRadioButton* rbLAN = nullptr;
    QComboBox* cbOpponent = nullptr;
    QPushButton* bnPaste = nullptr;
    QListWidget* lbOwnIPs = nullptr;
    QPushButton* bnCopy = nullptr;
    QPushButton* bnRefresh = nullptr;
    QLineEdit* edIDServer = nullptr;
    QPushButton* bnConnect = nullptr;
    QPushButton* bnCancel = nullptr;
    QPushButton* bnHelp = nullptr;

    // Where the own addresses come from (tests give their own).
    std::function<std::vector<std::string>()> Addresses;
    // Finds the address this machine reaches the identification server from
    // and hands it to found (empty when the test failed).
    std::function<void(const std::string& server, std::function<void(const std::string&)> found)> DetectAddress;
    // Resolves an opponent host name; found gets the address or an empty text.
    std::function<void(const std::string& host, std::function<void(const std::string&)> found)> ResolveName;
    // Help topic 1112 (Internet) or 1113 (LAN).
    std::function<void(int topic)> OnHelp;

    // The name greetings and chat use for this connection.
    const std::string& NetName() const { return PlayerNetName; }

    void done(int result) override;

private:
    int HelpTopic() const;
    void UpdateConnectEnabled();
    void FinishRefresh(const std::vector<std::string>& all, const std::string& detected);
    void ContinueConnect(const std::string& partner, std::function<void(bool)> done);
    void SaveFields();

    ISettingsStore* Store;
    TNetSession& Session;
    std::string PlayerNetName;
    bool RefreshPending = false;
    bool Busy = false;
    bool Saved = false;
    unsigned RefreshGeneration = 0;
    std::function<void()> AfterRefresh;
};

}  // namespace canasta
