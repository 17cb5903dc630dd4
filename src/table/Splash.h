// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up window shown until the table is ready.
#include <QWidget>

namespace canasta {

class TfmSplash : public QWidget {
    Q_OBJECT
public:
    explicit TfmSplash(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* e) override;
};

// The program's icon: a small fan of cards, drawn by code.
QImage ProgramIconImage(int size);

}  // namespace canasta
