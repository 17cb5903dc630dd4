// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/MoveLog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "help/HelpContexts.h"
#include "help/HelpWindow.h"

namespace canasta {

TfmMoveLog::TfmMoveLog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmMoveLog"));
    setWindowTitle(QStringLiteral("Move Log"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    lbMoves = new QListWidget(this);
    lbMoves->setObjectName(QStringLiteral("lbMoves"));
    lbMoves->setAccessibleName(QStringLiteral("Moves of this hand"));
    lbMoves->setWordWrap(true);
    lbMoves->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(lbMoves);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    bnClose = new QPushButton(QStringLiteral("Close"), this);
    bnClose->setDefault(true);
    buttons->addWidget(bnClose);
    layout->addLayout(buttons);
    connect(bnClose, &QPushButton::clicked, this, [this] { hide(); });
    InstallDialogHelp(this, hcMoveLog);
    InstallHelpContext(lbMoves, hcMoveLogList);
    InstallHelpContext(bnClose, hcMoveLogClose);
    resize(460, 320);
}

void TfmMoveLog::SetLines(const QStringList& lines) {
    if (lines == Lines()) return;
    // A log that only grew keeps the reader's place unless it was at the end.
    const int current = lbMoves->currentRow();
    const bool atEnd = current < 0 || current == lbMoves->count() - 1;
    const bool grew = lines.size() >= lbMoves->count() && lines.mid(0, lbMoves->count()) == Lines();
    lbMoves->clear();
    lbMoves->addItems(lines);
    if (lines.isEmpty()) return;
    lbMoves->setCurrentRow(grew && !atEnd ? current : static_cast<int>(lines.size()) - 1);
    lbMoves->scrollToItem(lbMoves->currentItem());
}

QStringList TfmMoveLog::Lines() const {
    QStringList out;
    for (int i = 0; i < lbMoves->count(); ++i) out << lbMoves->item(i)->text();
    return out;
}

}  // namespace canasta
