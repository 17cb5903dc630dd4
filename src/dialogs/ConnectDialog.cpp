// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ConnectDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "Version.h"
#include "dialogs/Modal.h"
#include "help/HelpContexts.h"
#include "help/HelpWindow.h"
#include "net/Role.h"
#include "net/Session.h"
#include "net/Sockets.h"
#include "store/SettingsCatalog.h"

namespace canasta {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }
QString Title() { return QString::fromLatin1(kReleaseTitle); }
}  // namespace

TfmConnect::TfmConnect(ISettingsStore* store, TNetSession& session, const std::string& playerName, QWidget* parent)
    : QDialog(parent), Store(store), Session(session) {
    setObjectName(QStringLiteral("fmConnect"));
    setWindowTitle(QStringLiteral("Connect to Opponent"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);

    auto* layout = new QVBoxLayout(this);
    auto* play = new QGroupBox(QStringLiteral("Play over"), this);
    auto* playRow = new QHBoxLayout(play);
    rbInternet = new QRadioButton(QStringLiteral("Internet"), play);
    rbLAN = new QRadioButton(QStringLiteral("LAN"), play);
    playRow->addWidget(rbInternet);
    playRow->addWidget(rbLAN);
    layout->addWidget(play);

    auto* opponent = new QGroupBox(QStringLiteral("IP number of your opponent"), this);
    auto* oppRow = new QHBoxLayout(opponent);
    cbOpponent = new QComboBox(opponent);
    cbOpponent->setObjectName(QStringLiteral("cbOpponent"));
    cbOpponent->setEditable(true);
    cbOpponent->setInsertPolicy(QComboBox::NoInsert);
    cbOpponent->setMaxVisibleItems(10);
    cbOpponent->setMinimumWidth(160);
    bnPaste = new QPushButton(QStringLiteral("Paste from clipboard"), opponent);
    oppRow->addWidget(cbOpponent, 1);
    oppRow->addWidget(bnPaste);
    layout->addWidget(opponent);

    auto* own = new QGroupBox(QStringLiteral("Your own IP Numbers"), this);
    auto* ownRow = new QHBoxLayout(own);
    lbOwnIPs = new QListWidget(own);
    lbOwnIPs->setObjectName(QStringLiteral("lbOwnIPs"));
    lbOwnIPs->setMaximumHeight(70);
    auto* ownButtons = new QVBoxLayout;
    bnCopy = new QPushButton(QStringLiteral("Copy to clipboard"), own);
    bnRefresh = new QPushButton(QStringLiteral("Refresh"), own);
    ownButtons->addWidget(bnCopy);
    ownButtons->addWidget(bnRefresh);
    ownButtons->addStretch(1);
    ownRow->addWidget(lbOwnIPs, 1);
    ownRow->addLayout(ownButtons);
    layout->addWidget(own);

    auto* server = new QGroupBox(QStringLiteral("Internet Identification Server"), this);
    auto* serverRow = new QHBoxLayout(server);
    edIDServer = new QLineEdit(server);
    edIDServer->setObjectName(QStringLiteral("edIDServer"));
    serverRow->addWidget(edIDServer);
    layout->addWidget(server);

    auto* buttons = new QHBoxLayout;
    bnConnect = new QPushButton(QStringLiteral("Connect"), this);
    bnConnect->setDefault(true);
    bnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bnHelp = new QPushButton(QStringLiteral("&Help"), this);
    buttons->addStretch(1);
    buttons->addWidget(bnConnect);
    buttons->addWidget(bnCancel);
    buttons->addWidget(bnHelp);
    layout->addLayout(buttons);

    InstallDialogHelp(this, hcConnectDialog);
    InstallHelpContext(play, hcConnectPlayOver);
    InstallHelpContext(rbInternet, hcConnectInternet);
    InstallHelpContext(rbLAN, hcConnectLan);
    InstallHelpContext(cbOpponent, hcConnectOpponent);
    InstallHelpContext(bnPaste, hcConnectPaste);
    InstallHelpContext(lbOwnIPs, hcConnectOwnIps);
    InstallHelpContext(bnCopy, hcConnectCopy);
    InstallHelpContext(bnRefresh, hcConnectRefresh);
    InstallHelpContext(edIDServer, hcConnectIdServer);
    InstallHelpContext(bnConnect, hcConnectConnect);
    InstallHelpContext(bnCancel, hcConnectCancel);
    InstallHelpContext(opponent, hcConnectOpponent);
    InstallHelpContext(own, hcConnectOwnIps);
    InstallHelpContext(server, hcConnectIdServer);
    OnHelp = [](int topic) { ShowHelpTopic(topic); };

    Addresses = [] { return LocalIPv4Addresses(); };
    DetectAddress = [this](const std::string& name, std::function<void(const std::string&)> found) {
        ResolveHostAsync(name, this, [found](const std::string& address, int) {
            found(address.empty() ? std::string() : SourceAddressTowards(address, 7));
        });
    };
    ResolveName = [this](const std::string& name, std::function<void(const std::string&)> found) {
        ResolveHostAsync(name, this, [found](const std::string& address, int) { found(address); });
    };

    // Opening: the history, this connection's name, the stored fields.
    for (int n = 0;; ++n) {
        const std::string h = ReadString(Store, settings::LANHist.Path(n), "");
        if (h.empty()) break;
        cbOpponent->addItem(Q(h));
    }
    PlayerNetName = playerName.empty() ? "Opponent" : playerName;
    cbOpponent->setEditText(Q(Read(Store, settings::LANAddress)));
    edIDServer->setText(Q(Read(Store, settings::IDServer)));
    (Read(Store, settings::LANorInternet) ? rbLAN : rbInternet)->setChecked(true);
    UpdateConnectEnabled();
    // The Help button's topic follows the kind of network chosen.
    InstallHelpContext(bnHelp, HelpTopic());
    connect(rbInternet, &QRadioButton::toggled, this, [this] { InstallHelpContext(bnHelp, HelpTopic()); });

    connect(cbOpponent, &QComboBox::editTextChanged, this, [this] { UpdateConnectEnabled(); });
    connect(rbInternet, &QRadioButton::clicked, this, [this] { Refresh(); });
    connect(rbLAN, &QRadioButton::clicked, this, [this] { Refresh(); });
    connect(bnRefresh, &QPushButton::clicked, this, [this] { Refresh(); });
    connect(bnCopy, &QPushButton::clicked, this, [this] { CopyClick(); });
    connect(bnPaste, &QPushButton::clicked, this, [this] { PasteClick(); });
    connect(bnHelp, &QPushButton::clicked, this, [this] { HelpClick(); });
    connect(bnCancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(bnConnect, &QPushButton::clicked, this, [this] { ConnectClick(); });
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

TfmConnect::~TfmConnect() {
    if (RefreshPending || Busy) QApplication::restoreOverrideCursor();
}

void TfmConnect::UpdateConnectEnabled() { bnConnect->setEnabled(!Busy && !cbOpponent->currentText().isEmpty()); }

int TfmConnect::HelpTopic() const { return rbInternet->isChecked() ? hcConnectHelpInternet : hcConnectHelpLan; }

void TfmConnect::Refresh() {
    const std::vector<std::string> all = Addresses ? Addresses() : std::vector<std::string>{};
    ++RefreshGeneration;
    if (all.empty()) {
        FinishRefresh(all, {});
        ShowInformation(this, Title(),
                        QStringLiteral("Canasta did not detect an IP address. Please connect to the network first"));
        return;
    }
    if (all.size() == 1) {
        FinishRefresh(all, {});
        return;
    }
    // Several: the one the Internet is reached from is told apart.
    const std::string server = S(edIDServer->text());
    if (server.empty() || !DetectAddress) {
        FinishRefresh(all, {});
        return;
    }
    if (!RefreshPending) QApplication::setOverrideCursor(Qt::WaitCursor);
    RefreshPending = true;
    const unsigned generation = RefreshGeneration;
    DetectAddress(server, [this, all, generation](const std::string& detected) {
        if (generation != RefreshGeneration) return;
        FinishRefresh(all, detected);
    });
}

void TfmConnect::FinishRefresh(const std::vector<std::string>& all, const std::string& detected) {
    if (RefreshPending) QApplication::restoreOverrideCursor();
    RefreshPending = false;
    std::vector<std::string> shown = all;
    if (all.size() > 1) {
        if (rbInternet->isChecked()) {
            shown.clear();
            if (std::find(all.begin(), all.end(), detected) != all.end()) shown.push_back(detected);
        } else if (!detected.empty()) {
            shown.erase(std::remove(shown.begin(), shown.end(), detected), shown.end());
        }
    }
    lbOwnIPs->clear();
    for (const std::string& a : shown) lbOwnIPs->addItem(Q(a));
    if (AfterRefresh) {
        auto next = std::move(AfterRefresh);
        AfterRefresh = nullptr;
        next();
    }
}

void TfmConnect::CopyClick() {
    if (lbOwnIPs->count() == 1) lbOwnIPs->setCurrentRow(0);
    QListWidgetItem* item = lbOwnIPs->currentItem();
    QApplication::clipboard()->setText(item && item->isSelected() ? item->text() : QString());
}

void TfmConnect::PasteClick() { cbOpponent->setEditText(QApplication::clipboard()->text()); }

void TfmConnect::HelpClick() {
    if (OnHelp) OnHelp(HelpTopic());
}

void TfmConnect::ConnectClick(std::function<void(bool)> done) {
    if (Busy) return;
    if (RefreshPending) {
        // The own addresses are still being worked out: connect once they are.
        AfterRefresh = [this, done] { ConnectClick(done); };
        return;
    }
    Busy = true;
    UpdateConnectEnabled();
    auto stop = [this, done] {
        Busy = false;
        UpdateConnectEnabled();
        if (done) done(false);
    };
    const std::string field = S(cbOpponent->currentText());
    if (!IsValidOpponentField(field)) {
        ShowError(this, Title(),
                  QStringLiteral("The IP Number of your opponent may only contain letters, digits and dots."));
        stop();
        return;
    }
    if (!IsHostName(field)) {
        ContinueConnect(field, done);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ResolveName(field, [this, done, stop](const std::string& address) {
        QApplication::restoreOverrideCursor();
        if (address.empty() || address == "0.0.0.0") {
            ShowInformation(this, Title(), QStringLiteral("Canasta could not resolve the opponent name."));
            stop();
            return;
        }
        ContinueConnect(address, done);
    });
}

void TfmConnect::ContinueConnect(const std::string& typed, std::function<void(bool)> done) {
    std::vector<std::string> ownList;
    for (int i = 0; i < lbOwnIPs->count(); ++i) ownList.push_back(S(lbOwnIPs->item(i)->text()));
    std::string own, partner = typed;
    if (ownList.empty()) {
        if (!AskYesNo(this, Title(),
                      QStringLiteral("Canasta did not detect an IP address. Do you want to connect to another instance "
                                     "of Canasta on your computer?"))) {
            Busy = false;
            UpdateConnectEnabled();
            if (done) done(false);
            return;
        }
        own = partner = "127.0.0.1";
    } else {
        own = ownList.front();
    }
    Session.PlayerNetName = PlayerNetName;
    Session.Connect(own, partner, ownList);
    Busy = false;
    UpdateConnectEnabled();
    if (done) done(true);
    if (isVisible()) accept();
}

void TfmConnect::SaveFields() {
    if (Saved) return;
    Saved = true;
    WriteBool(Store, settings::LANorInternet.Path, rbLAN->isChecked());
    const QString field = cbOpponent->currentText();
    WriteString(Store, settings::LANAddress.Path, S(field));
    WriteString(Store, settings::IDServer.Path, S(edIDServer->text()));
    if (!field.isEmpty() && cbOpponent->findText(field, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0)
        cbOpponent->insertItem(0, field);
    while (cbOpponent->count() > settings::LANHistMax) cbOpponent->removeItem(cbOpponent->count() - 1);
    for (int n = 0; n < cbOpponent->count(); ++n)
        WriteString(Store, settings::LANHist.Path(n), S(cbOpponent->itemText(n)));
    Session.PlayerNetName = PlayerNetName;
}

void TfmConnect::done(int result) {
    SaveFields();
    QDialog::done(result);
}

}  // namespace canasta
