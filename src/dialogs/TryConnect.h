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
    // text: what the window says is going on.
    TfmTryConnect(const QString& text, std::function<void()> onCancel, QWidget* parent = nullptr);
    void SetProgress(int value);
    // A line under the progress bar: why the last peer was dropped.
    void SetNotice(const QString& text);

    QLabel* lbTrying = nullptr;
    QLabel* lbNotice = nullptr;
    QProgressBar* pbProgress = nullptr;
    QPushButton* bnCancel = nullptr;
};

}  // namespace canasta
