// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The moves of the current hand, one line per turn of either side. It stays
// open beside the table and follows the game while it is open.
#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace canasta {

class TfmMoveLog : public QDialog {
    Q_OBJECT
public:
    explicit TfmMoveLog(QWidget* parent = nullptr);
    // Shows these lines; the newest stays in view.
    void SetLines(const QStringList& lines);
    QStringList Lines() const;

    QListWidget* lbMoves = nullptr;
    QPushButton* bnClose = nullptr;
};

}  // namespace canasta
