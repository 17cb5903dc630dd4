// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The welcome window at start-up: where a new player begins (the help page
// "Your first game"), the main keys, and a way never to see it again.
#include <QDialog>

#include "model/Settings.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace canasta {

class TfmWelcome : public QDialog {
    Q_OBJECT
public:
    // Not modal: the table behind it is dealt and playable. The store keeps
    // the "Don't show this again" answer as soon as it is given.
    explicit TfmWelcome(ISettingsStore* store, QWidget* parent = nullptr);

    QPushButton* FirstGameButton() const { return bnFirstGame; }
    QCheckBox* DontShowBox() const { return ckDontShow; }
    QLabel* KeysLabel() const { return lbKeys; }

private:
    ISettingsStore* Store;
    QPushButton* bnFirstGame = nullptr;
    QCheckBox* ckDontShow = nullptr;
    QLabel* lbKeys = nullptr;
};

// Whether the welcome is to open at start-up: the player has not asked
// otherwise.
bool WelcomeWanted(ISettingsStore* store);

}  // namespace canasta
