// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The windows at the end of a hand and of a match.
#include <QDialog>

#include <functional>

#include "model/GameHost.h"

class QLabel;
class QPushButton;

namespace canasta {

// "Scoring Results": both totals and the difference, with "&Details >>".
class TfmScore : public QDialog {
    Q_OBJECT
public:
    TfmScore(const THandResult& result, std::function<void()> onDetails, QWidget* parent = nullptr);
    QLabel* lbPlayerScore;
    QLabel* lbOpponentCaption;
    QLabel* lbOpponentScore;
    QLabel* lbDifference;
    QPushButton* bnOK;
    QPushButton* bnDetails;
};

// "Detailed Scoring Results": the score records of both sides.
class TfmDetails : public QDialog {
    Q_OBJECT
public:
    TfmDetails(const THandResult& result, QWidget* parent = nullptr);
    // The text in a cell of a side's block: row 0..5 (table, hand, canastas,
    // red threes, finish bonus, total), column 0 number, 1 value.
    QString Cell(int side, int row, int column) const;
    QString BlockTitle(int side) const;

private:
    QLabel* Cells[2][6][2] = {};
    QString Titles[2];
};

// The Game Over window. In a local game it asks for another game: Yes closes
// with Accepted, No with TfmGameOver::No; closing it otherwise plays on.
class TfmGameOver : public QDialog {
    Q_OBJECT
public:
    enum { No = 2 };
    TfmGameOver(const TMatchResult& result, bool networked, QWidget* parent = nullptr);
    QLabel* lbComment;
    QLabel* lbOpponentCaption;
    QLabel* lbQuestion;
    QPushButton* bnYes = nullptr;
    QPushButton* bnNo = nullptr;
    QPushButton* bnOK = nullptr;
};

// Whether the widget is one of the windows above (brought to the front when
// the whose-turn window closes).
bool IsResultWindow(const QWidget* w);

}  // namespace canasta
