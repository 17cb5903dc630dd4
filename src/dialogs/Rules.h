// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Rules dialog: the thirteen rule switches on four pages.
#include <QDialog>

#include "model/RuleOptions.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace canasta {

class TfmRules : public QDialog {
    Q_OBJECT
public:
    // The controls start from the options in memory. While a game is in
    // progress nothing can be changed. page is the page shown first.
    TfmRules(ISettingsStore* store, const TRuleOptions& options, bool gameInProgress, int page,
             QWidget* parent = nullptr);

    // The options as the controls show them.
    TRuleOptions Options() const;
    int Page() const;

    // Sets the controls to the standard rules (OK still has to apply them).
    void bnStandardClick();

    QCheckBox* ckAddToCanasta;
    QCheckBox* ckTopCardCounts;
    QCheckBox* ckInitiallyFrozen;
    QCheckBox* ckFrozenPerPlayer;
    QCheckBox* ckNaturalPair;
    QCheckBox* ckPairForExistingMeld;
    QCheckBox* ckDrawExtra;
    QCheckBox* ckThreeFreezes;
    QCheckBox* ckCanastaRequired;
    QCheckBox* ckBonusCounts;
    QCheckBox* ckWildCanasta;
    QGroupBox* rgCanastas;
    QRadioButton* rbCanastasOne;
    QRadioButton* rbCanastasTwo;
    QGroupBox* rgCards;
    QRadioButton* rbCardsOne;
    QRadioButton* rbCardsTwo;
    QPushButton* bnStandard;
    QPushButton* bnOK;
    QPushButton* bnCancel;
    QLabel* lbWarning;
    QTabWidget* pcRules;

    void accept() override;

private:
    void LoadControls(const TRuleOptions& o);
    void UpdateInterlocks();
    void UpdateCanastaCaption();

    ISettingsStore* Store;
    bool InProgress;
};

}  // namespace canasta
