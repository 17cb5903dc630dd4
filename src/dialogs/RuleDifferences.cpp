// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/RuleDifferences.h"

#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "help/HelpContexts.h"
#include "help/HelpWindow.h"

namespace canasta {

TfmRuleDifferences::TfmRuleDifferences(std::function<void()> onUse, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      OnUse(std::move(onUse)) {
    setObjectName(QStringLiteral("fmRuleDifferences"));
    setWindowTitle(QStringLiteral("Rule Differences"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto text = [&](const char* t) {
        auto* l = new QLabel(QString::fromUtf8(t), this);
        l->setWordWrap(true);
        layout->addWidget(l);
    };
    text(
        "The following differences in rules exists between you and your opponent. Resolve these before starting to "
        "play by changing them in the Options | Rules dialog.");
    text("If you agree to use your opponent's rules, press Use Opponent's Rules.");
    text("If your opponent agrees to use your rules, (s)he should press Use Opponent's Rules.");
    lvRules = new QTreeWidget(this);
    lvRules->setObjectName(QStringLiteral("lvRules"));
    lvRules->setColumnCount(3);
    lvRules->setHeaderLabels(
        {QStringLiteral("Rule"), QStringLiteral("Your Setting"), QStringLiteral("Opponent's Setting")});
    lvRules->setColumnWidth(0, 200);
    lvRules->setColumnWidth(1, 70);
    lvRules->setColumnWidth(2, 105);
    lvRules->setRootIsDecorated(false);
    lvRules->setSelectionMode(QAbstractItemView::NoSelection);
    lvRules->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvRules->header()->setSectionsClickable(false);
    lvRules->setSortingEnabled(true);
    lvRules->sortByColumn(0, Qt::AscendingOrder);
    layout->addWidget(lvRules);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    bnHide = new QPushButton(QStringLiteral("Hide"), this);
    bnHide->setDefault(true);
    bnUse = new QPushButton(QStringLiteral("Use Opponent's Rules"), this);
    buttons->addWidget(bnHide);
    buttons->addWidget(bnUse);
    layout->addLayout(buttons);
    connect(bnHide, &QPushButton::clicked, this, [this] { hide(); });
    connect(bnUse, &QPushButton::clicked, this, [this] {
        if (OnUse) OnUse();
        hide();
    });
    InstallDialogHelp(this, hcDiffWindow);
    InstallHelpContext(lvRules, hcDiffList);
    InstallHelpContext(bnHide, hcDiffHide);
    InstallHelpContext(bnUse, hcDiffUseOpponents);
    setFixedSize(420, 300);
}

void TfmRuleDifferences::SetRows(const std::vector<TRuleDifference>& rows) {
    lvRules->clear();
    for (const TRuleDifference& r : rows)
        new QTreeWidgetItem(lvRules, {QString::fromStdString(r.Rule), QString::fromStdString(r.Yours),
                                      QString::fromStdString(r.Opponents)});
    lvRules->sortByColumn(0, Qt::AscendingOrder);
}

int TfmRuleDifferences::RowCount() const { return lvRules->topLevelItemCount(); }

QString TfmRuleDifferences::Cell(int row, int column) const {
    const QTreeWidgetItem* item = lvRules->topLevelItem(row);
    return item ? item->text(column) : QString();
}

}  // namespace canasta
