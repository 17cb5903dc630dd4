// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small window shown while the connection is being made.
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace canasta {

class TfmTryConnect : public QWidget {
    Q_OBJECT
public:
    TfmTryConnect(const QString& partner, std::function<void()> onCancel, QWidget* parent = nullptr);
    void SetProgress(int value);

    QLabel* lbTrying = nullptr;
    QProgressBar* pbProgress = nullptr;
    QPushButton* bnCancel = nullptr;
};

}  // namespace canasta
