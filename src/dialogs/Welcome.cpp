// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/Welcome.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "help/HelpContexts.h"
#include "help/HelpWindow.h"
#include "store/SettingsCatalog.h"

namespace canasta {

namespace {

// The keys a new player needs first; the help has the rest.
constexpr const char* kKeys[][2] = {
    {"F1", "Help"},
    {"F6", "Draw from the stock"},
    {"F7", "Take the discard pile"},
    {"H", "A hint: what the strongest computer level would play"},
    {"Ctrl+Z", "Take back your last meld"},
    {"Ctrl+N", "New game"},
    {"Ctrl+S", "Save the game"},
    {"Ctrl+Q", "Exit"},
};

}  // namespace

bool WelcomeWanted(ISettingsStore* store) { return Read(store, settings::ShowWelcome); }

TfmWelcome::TfmWelcome(ISettingsStore* store, QWidget* parent) : QDialog(parent), Store(store) {
    setObjectName(QStringLiteral("fmWelcome"));
    setWindowTitle(QStringLiteral("Welcome to Canasta"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* main = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral(
        "Your first hand is dealt. New to Canasta, or to this program? \"Your first game\" walks you through a "
        "hand step by step."));
    intro->setWordWrap(true);
    main->addWidget(intro);
    bnFirstGame = new QPushButton(QStringLiteral("Your first game"));
    auto* firstRow = new QHBoxLayout;
    firstRow->addWidget(bnFirstGame);
    firstRow->addStretch();
    main->addLayout(firstRow);

    auto* gbKeys = new QGroupBox(QStringLiteral("Keys"));
    auto* kl = new QVBoxLayout(gbKeys);
    QString rows;
    for (const auto& key : kKeys)
        rows += QStringLiteral("<tr><td><b>%1</b>&nbsp;&nbsp;</td><td>%2</td></tr>")
                    .arg(QLatin1String(key[0]), QLatin1String(key[1]));
    lbKeys = new QLabel(QStringLiteral("<table>") + rows +
                        QStringLiteral("</table><p>Click a card to meld it, right-click it to discard it, or drag it "
                                       "where it should go.</p>"));
    lbKeys->setTextFormat(Qt::RichText);
    lbKeys->setWordWrap(true);
    kl->addWidget(lbKeys);
    main->addWidget(gbKeys);

    ckDontShow = new QCheckBox(QStringLiteral("Don't show this again"));
    ckDontShow->setChecked(!WelcomeWanted(Store));
    auto* bnClose = new QPushButton(QStringLiteral("Close"));
    bnClose->setDefault(true);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ckDontShow);
    bottom->addStretch();
    bottom->addWidget(bnClose);
    main->addLayout(bottom);

    connect(bnFirstGame, &QPushButton::clicked, this, [] { ShowHelpPage(QStringLiteral("quickstart.html")); });
    // Kept at once: the program may be ended with the window still open.
    connect(ckDontShow, &QCheckBox::toggled, this,
            [this](bool dontShow) { WriteBool(Store, settings::ShowWelcome.Path, !dontShow); });
    connect(bnClose, &QPushButton::clicked, this, &QDialog::close);

    InstallDialogHelp(this, hcWelcome);
    InstallHelpContext(bnFirstGame, hcWelcomeFirstGame);
    InstallHelpContext(gbKeys, hcWelcomeKeys);
    InstallHelpContext(ckDontShow, hcWelcomeDontShow);
    InstallHelpContext(bnClose, hcWelcomeClose);
}

}  // namespace canasta
