// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TryConnect.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "help/HelpContexts.h"
#include "help/HelpWindow.h"

namespace canasta {

TfmTryConnect::TfmTryConnect(const QString& text, std::function<void()> onCancel, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("fmTryConnect"));
    setWindowTitle(QStringLiteral("Network Canasta"));
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    lbTrying = new QLabel(text, this);
    lbTrying->setObjectName(QStringLiteral("lbTrying"));
    pbProgress = new QProgressBar(this);
    pbProgress->setRange(0, 99);
    pbProgress->setValue(0);
    pbProgress->setTextVisible(false);
    lbNotice = new QLabel(this);
    lbNotice->setObjectName(QStringLiteral("lbNotice"));
    lbNotice->setWordWrap(true);
    lbNotice->hide();
    bnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    layout->addWidget(lbTrying);
    layout->addWidget(pbProgress);
    layout->addWidget(lbNotice);
    layout->addWidget(bnCancel, 0, Qt::AlignHCenter);
    connect(bnCancel, &QPushButton::clicked, this, [onCancel = std::move(onCancel)] {
        if (onCancel) onCancel();
    });
    // F1 and Shift+F1 work here too; a tool window shows no "?" button.
    InstallDialogHelp(this, hcTryConnect);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    InstallHelpContext(bnCancel, hcTryConnectCancel);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

void TfmTryConnect::SetProgress(int value) { pbProgress->setValue(value); }

void TfmTryConnect::SetNotice(const QString& text) {
    lbNotice->setText(text);
    lbNotice->setVisible(!text.isEmpty());
    setFixedHeight(layout()->totalHeightForWidth(width()));
}

}  // namespace canasta
