// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small window that says who draws first in a new hand.
#include <QWidget>

class QLabel;

namespace canasta {

class TfmWhoseTurn : public QWidget {
    Q_OBJECT
public:
    TfmWhoseTurn(const QString& text, QWidget* table);
    QString Text() const;

private:
    QLabel* lbText;
};

}  // namespace canasta
