// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/Rules.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "help/HelpContexts.h"
#include "help/HelpWindow.h"

namespace canasta {

namespace {

QCheckBox* Check(const char* caption, QWidget* parent, QVBoxLayout* layout, bool indented = false) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    if (indented) {
        auto* row = new QHBoxLayout();
        row->addSpacing(20);
        row->addWidget(box);
        layout->addLayout(row);
    } else {
        layout->addWidget(box);
    }
    return box;
}

// A page holding one group box; returns the group's layout.
QVBoxLayout* AddPage(QTabWidget* tabs, const char* title, const char* group) {
    auto* page = new QWidget(tabs);
    auto* outer = new QVBoxLayout(page);
    auto* box = new QGroupBox(QString::fromUtf8(group), page);
    outer->addWidget(box);
    outer->addStretch(1);
    tabs->addTab(page, QString::fromUtf8(title));
    return new QVBoxLayout(box);
}

}  // namespace

TfmRules::TfmRules(ISettingsStore* store, const TRuleOptions& options, bool gameInProgress, int page, QWidget* parent)
    : QDialog(parent), Store(store), InProgress(gameInProgress) {
    setObjectName(QStringLiteral("fmRules"));
    setWindowTitle(QStringLiteral("Rules"));
    auto* layout = new QVBoxLayout(this);
    pcRules = new QTabWidget(this);
    layout->addWidget(pcRules);

    QVBoxLayout* pile = AddPage(pcRules, "Discard Pile", "Discard Pile options");
    QWidget* pileBox = pile->parentWidget();
    ckAddToCanasta = Check("&Add top card to Canasta", pileBox, pile);
    ckTopCardCounts = Check("&Top card counts for initial meld", pileBox, pile);
    ckInitiallyFrozen = Check("&Initially frozen", pileBox, pile);
    ckFrozenPerPlayer = Check("&Separately frozen for each player", pileBox, pile, true);
    ckNaturalPair = Check("&Natural pair required", pileBox, pile);
    ckPairForExistingMeld = Check("Also when adding to existing meld", pileBox, pile, true);

    QVBoxLayout* threes = AddPage(pcRules, "Red Threes", "Red Three options");
    QWidget* threesBox = threes->parentWidget();
    ckDrawExtra = Check("&Draw extra card", threesBox, threes);
    ckThreeFreezes = Check("&Freeze discard pile", threesBox, threes);
    threes->addStretch(1);

    QVBoxLayout* canastas = AddPage(pcRules, "Canastas", "Canasta options");
    QWidget* canastasBox = canastas->parentWidget();
    ckCanastaRequired = Check("&Canasta(s) required for positive score", canastasBox, canastas);
    ckBonusCounts = Check("Canasta &bonus counts for initial meld", canastasBox, canastas);
    ckWildCanasta = Check("Wildcard Canasta is allowed", canastasBox, canastas);
    rgCanastas = new QGroupBox(QStringLiteral("&Number of Canastas needed to go out"), canastasBox);
    auto* canastaRow = new QHBoxLayout(rgCanastas);
    rbCanastasOne = new QRadioButton(QStringLiteral("&One"), rgCanastas);
    rbCanastasTwo = new QRadioButton(QStringLiteral("&Two"), rgCanastas);
    canastaRow->addWidget(rbCanastasOne);
    canastaRow->addWidget(rbCanastasTwo);
    canastaRow->addStretch(1);
    canastas->addWidget(rgCanastas);

    QVBoxLayout* other = AddPage(pcRules, "Other", "Other options");
    QWidget* otherBox = other->parentWidget();
    rgCards = new QGroupBox(QStringLiteral("Number of &Cards drawn each turn"), otherBox);
    auto* cardsRow = new QHBoxLayout(rgCards);
    rbCardsOne = new QRadioButton(QStringLiteral("On&e"), rgCards);
    rbCardsTwo = new QRadioButton(QStringLiteral("T&wo"), rgCards);
    cardsRow->addWidget(rbCardsOne);
    cardsRow->addWidget(rbCardsTwo);
    cardsRow->addStretch(1);
    other->addWidget(rgCards);
    other->addStretch(1);

    lbWarning = new QLabel(
        QStringLiteral(
            "The rules cannot be changed now, because a game is in progress. Press OK and then F2 to start a "
            "new game. The current game will be aborted."),
        this);
    lbWarning->setWordWrap(true);
    QPalette red = lbWarning->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lbWarning->setPalette(red);
    layout->addWidget(lbWarning);

    auto* buttons = new QHBoxLayout();
    bnStandard = new QPushButton(QStringLiteral("Standard &Rules"), this);
    bnStandard->setToolTip(QStringLiteral("Set the switches to the standard rules of Canasta"));
    bnOK = new QPushButton(QStringLiteral("OK"), this);
    bnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bnOK->setDefault(true);
    buttons->addWidget(bnStandard);
    buttons->addStretch(1);
    buttons->addWidget(bnOK);
    buttons->addWidget(bnCancel);
    layout->addLayout(buttons);

    connect(bnOK, &QPushButton::clicked, this, &TfmRules::accept);
    connect(bnCancel, &QPushButton::clicked, this, &TfmRules::reject);
    connect(bnStandard, &QPushButton::clicked, this, &TfmRules::bnStandardClick);
    connect(ckNaturalPair, &QCheckBox::toggled, this, [this] { UpdateInterlocks(); });
    connect(ckInitiallyFrozen, &QCheckBox::toggled, this, [this] { UpdateInterlocks(); });
    connect(rbCanastasOne, &QRadioButton::toggled, this, [this] { UpdateCanastaCaption(); });

    InstallDialogHelp(this, hcRulesDialog);
    InstallHelpContext(pcRules, hcRulesPages);
    for (QWidget* box : {pileBox, threesBox, canastasBox, otherBox}) InstallHelpContext(box, hcRulesPages);
    InstallHelpContext(ckAddToCanasta, hcRulesAddToCanasta);
    InstallHelpContext(ckTopCardCounts, hcRulesTopCardCounts);
    InstallHelpContext(ckInitiallyFrozen, hcRulesInitiallyFrozen);
    InstallHelpContext(ckFrozenPerPlayer, hcRulesFrozenPerPlayer);
    InstallHelpContext(ckNaturalPair, hcRulesNaturalPair);
    InstallHelpContext(ckPairForExistingMeld, hcRulesPairForExistingMeld);
    InstallHelpContext(ckDrawExtra, hcRulesDrawExtra);
    InstallHelpContext(ckThreeFreezes, hcRulesThreeFreezes);
    InstallHelpContext(ckCanastaRequired, hcRulesCanastaRequired);
    InstallHelpContext(ckBonusCounts, hcRulesBonusCounts);
    InstallHelpContext(ckWildCanasta, hcRulesWildCanasta);
    InstallHelpContext(rgCanastas, hcRulesCanastasToGoOut);
    InstallHelpContext(rgCards, hcRulesCardsDrawn);
    InstallHelpContext(lbWarning, hcRulesWarning);
    InstallHelpContext(bnStandard, hcRulesStandard);
    InstallHelpContext(bnOK, hcRulesOk);
    InstallHelpContext(bnCancel, hcRulesCancel);

    LoadControls(options);
    lbWarning->setVisible(InProgress);
    for (QWidget* w : std::initializer_list<QWidget*>{ckAddToCanasta, ckTopCardCounts, ckInitiallyFrozen, ckNaturalPair,
                                                      ckDrawExtra, ckThreeFreezes, ckCanastaRequired, ckBonusCounts,
                                                      ckWildCanasta, rgCanastas, rgCards, bnStandard})
        w->setEnabled(!InProgress);
    UpdateInterlocks();
    pcRules->setCurrentIndex(std::clamp(page, 0, pcRules->count() - 1));
    setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
}

void TfmRules::LoadControls(const TRuleOptions& o) {
    ckAddToCanasta->setChecked(o.AddToCanasta);
    ckTopCardCounts->setChecked(o.TopCardCounts);
    ckInitiallyFrozen->setChecked(o.InitiallyFrozen);
    ckFrozenPerPlayer->setChecked(o.FrozenPerPlayer);
    ckNaturalPair->setChecked(o.NaturalPair);
    ckPairForExistingMeld->setChecked(o.PairForExistingMeld);
    ckDrawExtra->setChecked(o.RedThreeDrawsExtra);
    ckThreeFreezes->setChecked(o.RedThreeFreezes);
    ckCanastaRequired->setChecked(o.CanastaRequired);
    ckBonusCounts->setChecked(o.BonusCounts);
    ckWildCanasta->setChecked(o.WildCanastaAllowed);
    (o.CanastasToGoOut == 2 ? rbCanastasTwo : rbCanastasOne)->setChecked(true);
    (o.CardsDrawn == 2 ? rbCardsTwo : rbCardsOne)->setChecked(true);
    UpdateCanastaCaption();
}

void TfmRules::UpdateInterlocks() {
    ckPairForExistingMeld->setEnabled(ckNaturalPair->isChecked() && !InProgress);
    ckFrozenPerPlayer->setEnabled(ckInitiallyFrozen->isChecked() && !InProgress);
}

void TfmRules::UpdateCanastaCaption() {
    ckCanastaRequired->setText(rbCanastasTwo->isChecked()
                                   ? QStringLiteral("At least two Canastas required for positive score")
                                   : QStringLiteral("At least one Canasta required for positive score"));
}

void TfmRules::bnStandardClick() { LoadControls(StandardRules()); }

TRuleOptions TfmRules::Options() const {
    TRuleOptions o;
    o.AddToCanasta = ckAddToCanasta->isChecked();
    o.TopCardCounts = ckTopCardCounts->isChecked();
    o.InitiallyFrozen = ckInitiallyFrozen->isChecked();
    o.FrozenPerPlayer = ckFrozenPerPlayer->isChecked();
    o.NaturalPair = ckNaturalPair->isChecked();
    o.PairForExistingMeld = ckPairForExistingMeld->isChecked();
    o.RedThreeDrawsExtra = ckDrawExtra->isChecked();
    o.RedThreeFreezes = ckThreeFreezes->isChecked();
    o.CanastaRequired = ckCanastaRequired->isChecked();
    o.BonusCounts = ckBonusCounts->isChecked();
    o.WildCanastaAllowed = ckWildCanasta->isChecked();
    o.CanastasToGoOut = rbCanastasTwo->isChecked() ? 2 : 1;
    o.CardsDrawn = rbCardsTwo->isChecked() ? 2 : 1;
    return o;
}

int TfmRules::Page() const { return pcRules->currentIndex(); }

void TfmRules::accept() {
    SaveRuleOptions(Store, Options());
    QDialog::accept();
}

}  // namespace canasta
