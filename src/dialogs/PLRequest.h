// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialog that asks by e-mail to be put on (or changed or removed from)
// the Internet player list, sent through the player's own mail server.
#include <QDialog>
#include <QString>

#include "mail/SendMail.h"
#include "model/Settings.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace canasta {

class TfmPLRequest : public QDialog {
public:
    // nickName: the current player's name, empty when there is none.
    TfmPLRequest(ISettingsStore* store, const QString& nickName, QWidget* parent = nullptr);
    ~TfmPLRequest() override;

    QLineEdit* edNickName;
    QLineEdit* edEmail;
    QLineEdit* edSMTP;
    // The list service's address, asked for while none is configured.
    QLineEdit* edListAddress;
    QGroupBox* rgAction;
    QRadioButton* rbAction[3];  // add, change, remove
    QGroupBox* rgListType;
    QRadioButton* rbListType[2];  // recreational, competition
    QPushButton* bnSend;
    QPushButton* bnCancel;
    QComboBox* cbUIN;
    QLabel* lbExplain;

    mail::TSendMail& Mail() { return *SendMail; }
    // Whether a request has been sent successfully (what closing stores).
    bool Issued() const { return RequestIssued; }
    int ActionIndex() const;
    int ListTypeIndex() const;
    // The four lines of the mail.
    QStringList BodyLines() const;

    void bnSendClick();

    // Closing by any means stores whether the request was issued.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void ActionChanged();
    void MailInfo(int info, const QString& addinfo);
    void MailError(int error, const QString& addinfo);
    void Waiting(bool on);

    ISettingsStore* Store;
    mail::TSendMail* SendMail;
    bool RequestIssued = false;
    bool SentNow = false;  // this dialog's own request went through
    bool WaitCursor = false;
    bool Centred = false;
    bool AskForAddress = false;  // no list service configured
};

// The "Request &Listing" item of the Network menu.
void RequestListing(QWidget* parent, ISettingsStore* store, const QString& nickName);

}  // namespace canasta
