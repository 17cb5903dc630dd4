// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/PLRequest.h"

#include "help/HelpContexts.h"
#include "help/HelpWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "dialogs/Modal.h"
#include "store/SettingsCatalog.h"

namespace canasta {

namespace {
const char* const kActions[3] = {"Add me to the list", "Change my listing", "Remove me from the list"};
const char* const kLists[2] = {"Recreational", "Competition"};
const char* const kBoxTitle = "Canasta";
}  // namespace

TfmPLRequest::TfmPLRequest(ISettingsStore* store, const QString& nickName, QWidget* parent)
    : QDialog(parent), Store(store) {
    setWindowTitle(QStringLiteral("Request Internet Player Listing"));
    setModal(true);

    const QString address = QString::fromStdString(Read(store, settings::PLMaintainerAddress));
    const QString name = QString::fromStdString(Read(store, settings::PLMaintainerName));
    const QString page = QString::fromStdString(Read(store, settings::PLWebPage));

    AskForAddress = address.trimmed().isEmpty();
    QString explain;
    if (AskForAddress)
        explain = QStringLiteral(
            "No player list service is configured. Enter the e-mail address of a list "
            "service below: this sends it an automated e-mail asking for a listing on its "
            "Internet player list, where you can find opponents for a network game. The "
            "mail goes out through your own mail server.");
    else if (page.trimmed().isEmpty())
        explain = QStringLiteral(
                      "This sends an automated e-mail to %1 <%2> asking for a listing on the Internet "
                      "player list, where you can find opponents for a network game. The mail goes "
                      "out through your own mail server.")
                      .arg(name, address);
    else
        explain = QStringLiteral(
                      "This sends an automated e-mail to %1 <%2> asking for a listing on the Internet "
                      "player list, kept on the web page %3, where you can find opponents for a network "
                      "game. The mail goes out through your own mail server.")
                      .arg(name, address, page);
    lbExplain = new QLabel(explain, this);
    lbExplain->setWordWrap(true);
    lbExplain->setTextFormat(Qt::PlainText);

    edNickName = new QLineEdit(nickName, this);
    edEmail = new QLineEdit(this);
    edSMTP = new QLineEdit(QStringLiteral("mail"), this);
    edSMTP->setFocusPolicy(Qt::ClickFocus);
    edListAddress = new QLineEdit(this);
    // There is no ICQ registry to read here: the number is typed, if at all.
    cbUIN = new QComboBox(this);
    cbUIN->setEditable(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Your (nick) name:"), edNickName);
    form->addRow(QStringLiteral("Your email address:"), edEmail);
    form->addRow(QStringLiteral("Use this mailserver:"), edSMTP);
    form->addRow(QStringLiteral("Your ICQ number (UIN):"), cbUIN);
    if (AskForAddress)
        form->addRow(QStringLiteral("List service address:"), edListAddress);
    else
        edListAddress->hide();

    rgAction = new QGroupBox(QStringLiteral("Your request"), this);
    auto* actionLayout = new QVBoxLayout(rgAction);
    for (int i = 0; i < 3; ++i) {
        rbAction[i] = new QRadioButton(QString::fromLatin1(kActions[i]), rgAction);
        actionLayout->addWidget(rbAction[i]);
        connect(rbAction[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on) ActionChanged();
        });
    }
    rgListType = new QGroupBox(QStringLiteral("Which list?"), this);
    auto* listLayout = new QVBoxLayout(rgListType);
    for (int i = 0; i < 2; ++i) {
        rbListType[i] = new QRadioButton(QString::fromLatin1(kLists[i]), rgListType);
        listLayout->addWidget(rbListType[i]);
    }
    rbListType[0]->setChecked(true);

    bnSend = new QPushButton(QStringLiteral("Send Request"), this);
    bnSend->setDefault(true);
    bnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(bnSend, &QPushButton::clicked, this, [this] { bnSendClick(); });
    connect(bnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* groups = new QHBoxLayout;
    groups->addWidget(rgAction);
    groups->addWidget(rgListType);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bnSend);
    buttons->addWidget(bnCancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(lbExplain);
    top->addLayout(form);
    top->addLayout(groups);
    top->addLayout(buttons);

    setTabOrder(edNickName, edEmail);
    setTabOrder(edEmail, edListAddress);
    setTabOrder(edListAddress, rbAction[0]);
    setTabOrder(rbAction[0], rbListType[0]);
    setTabOrder(rbListType[0], bnSend);
    setTabOrder(bnSend, bnCancel);
    setTabOrder(bnCancel, cbUIN);

    InstallDialogHelp(this, hcListingDialog);
    InstallHelpContext(edNickName, hcListingNick);
    InstallHelpContext(edEmail, hcListingEmail);
    InstallHelpContext(edSMTP, hcListingServer);
    InstallHelpContext(edListAddress, hcListingService);
    InstallHelpContext(rgAction, hcListingRequest);
    InstallHelpContext(rgListType, hcListingWhichList);
    InstallHelpContext(cbUIN, hcListingUin);
    InstallHelpContext(bnSend, hcListingSend);
    InstallHelpContext(bnCancel, hcListingCancel);

    // Starting from the stored state: cancelling must not forget an earlier success.
    RequestIssued = Read(store, settings::PLRequestIssued);
    rbAction[RequestIssued ? 1 : 0]->setChecked(true);
    ActionChanged();

    SendMail = new mail::TSendMail(this);
    SendMail->TO_Address = address;
    SendMail->TO_Name = name;
    SendMail->Subject = QStringLiteral("Canasta Player List Request");
    SendMail->SMTP_Port = 25;
    SendMail->KeepConnectionOpen = false;
    SendMail->TimeoutConnect = 30;
    SendMail->TimeoutArp = 30;
    SendMail->OnMailInfo = [this](int info, const QString& addinfo) { MailInfo(info, addinfo); };
    SendMail->OnMailError = [this](int error, const QString& addinfo) { MailError(error, addinfo); };
}

TfmPLRequest::~TfmPLRequest() { Waiting(false); }

int TfmPLRequest::ActionIndex() const {
    for (int i = 0; i < 3; ++i)
        if (rbAction[i]->isChecked()) return i;
    return 0;
}

int TfmPLRequest::ListTypeIndex() const { return rbListType[1]->isChecked() ? 1 : 0; }

QStringList TfmPLRequest::BodyLines() const {
    return {QStringLiteral("Action=") + QString::fromLatin1(kActions[ActionIndex()]),
            QStringLiteral("Nickname=") + edNickName->text(),
            QStringLiteral("List=") + QString::fromLatin1(kLists[ListTypeIndex()]),
            QStringLiteral("UIN=") + cbUIN->currentText()};
}

void TfmPLRequest::ActionChanged() { rgListType->setEnabled(ActionIndex() != 2); }

void TfmPLRequest::Waiting(bool on) {
    if (on == WaitCursor) return;
    WaitCursor = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TfmPLRequest::bnSendClick() {
    if (edNickName->text().isEmpty() || edEmail->text().isEmpty() || edSMTP->text().isEmpty() ||
        (AskForAddress && edListAddress->text().trimmed().isEmpty())) {
        ShowError(this, kBoxTitle, QStringLiteral("Please enter all fields."));
        return;
    }
    bnSend->setEnabled(false);
    Waiting(true);
    SendMail->SetAction(mail::TMailAction::None);
    SendMail->SMTP_Server = edSMTP->text();
    SendMail->FROM_Address = edEmail->text();
    SendMail->MailText = BodyLines();
    if (AskForAddress) SendMail->TO_Address = edListAddress->text().trimmed();
    SendMail->SetAction(mail::TMailAction::Send_Mail);
}

void TfmPLRequest::MailInfo(int info, const QString&) {
    if (info == mail::miAccepted) {
        Waiting(false);
        RequestIssued = true;
        SentNow = true;
        // The service took the request: it is the one to use from now on.
        if (AskForAddress) WriteString(Store, settings::PLMaintainerAddress.Path, SendMail->TO_Address.toStdString());
        ShowInformation(this, kBoxTitle, QStringLiteral("The request was sent successfully."));
    } else if (info == mail::miClosed && SentNow) {
        // Only after success: a server that hangs up early gets its error box
        // with the dialog still open for another try.
        accept();
    }
}

void TfmPLRequest::MailError(int, const QString& addinfo) {
    Waiting(false);
    bnSend->setEnabled(true);
    RequestIssued = false;
    ShowError(this, kBoxTitle, QStringLiteral("An error occurred while sending the request: ") + addinfo);
}

void TfmPLRequest::done(int result) {
    SendMail->SetAction(mail::TMailAction::None);
    Waiting(false);
    WriteBool(Store, settings::PLRequestIssued.Path, RequestIssued);
    QDialog::done(result);
}

void TfmPLRequest::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (Centred) return;
    Centred = true;
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void RequestListing(QWidget* parent, ISettingsStore* store, const QString& nickName) {
    TfmPLRequest dialog(store, nickName, parent);
    ExecModal(dialog);
}

}  // namespace canasta
