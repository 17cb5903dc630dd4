// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/WhoseTurn.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "help/HelpContexts.h"
#include "help/HelpWindow.h"

namespace canasta {

TfmWhoseTurn::TfmWhoseTurn(const QString& text, QWidget* table)
    : QWidget(table, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus) {
    // It only informs: the table keeps the focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(317, 28);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(0, 0, 0, 0);
    lbText = new QLabel(text, panel);
    QFont f = lbText->font();
    f.setBold(true);
    lbText->setFont(f);
    lbText->setAlignment(Qt::AlignCenter);
    inner->addWidget(lbText);
    layout->addWidget(panel);
    InstallHelpContext(this, hcWhoseTurn);
    const QRect area = table->frameGeometry();
    move(area.center() - rect().center());
}

QString TfmWhoseTurn::Text() const { return lbText->text(); }

}  // namespace canasta
