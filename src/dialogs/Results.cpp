// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/Results.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "help/HelpContexts.h"
#include "help/HelpWindow.h"

namespace canasta {

namespace {

QLabel* Heading(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.5);
    l->setFont(f);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QLabel* Number(int value, QWidget* parent) {
    auto* l = new QLabel(QString::number(value), parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(50);
    return l;
}

QLabel* Bold(QLabel* l) {
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TfmScore::TfmScore(const THandResult& r, std::function<void()> onDetails, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmScore"));
    setWindowTitle(QStringLiteral("Scoring Results"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Heading(QStringLiteral("Hand Finished"), this));
    auto* grid = new QGridLayout();
    grid->setColumnStretch(0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Your Score:"), this), 0, 0);
    lbPlayerScore = Number(r.Player.Total, this);
    grid->addWidget(lbPlayerScore, 0, 1);
    lbOpponentCaption = new QLabel(Q(r.OpponentName) + QStringLiteral("'s Score:"), this);
    grid->addWidget(lbOpponentCaption, 1, 0);
    lbOpponentScore = Number(r.Opponent.Total, this);
    grid->addWidget(lbOpponentScore, 1, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    grid->addWidget(line, 2, 0, 1, 2);
    grid->addWidget(Bold(new QLabel(QStringLiteral("Difference:"), this)), 3, 0);
    lbDifference = Bold(Number(r.Difference, this));
    grid->addWidget(lbDifference, 3, 1);
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout();
    bnOK = new QPushButton(QStringLiteral("OK"), this);
    bnOK->setDefault(true);
    bnDetails = new QPushButton(QStringLiteral("&Details >>"), this);
    buttons->addStretch(1);
    buttons->addWidget(bnOK);
    buttons->addWidget(bnDetails);
    layout->addLayout(buttons);
    connect(bnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bnDetails, &QPushButton::clicked, this, [onDetails] {
        if (onDetails) onDetails();
    });
    layout->setContentsMargins(16, 12, 16, 12);
    InstallDialogHelp(this, hcScoreWindow);
    InstallHelpContext(bnOK, hcScoreWindow);
    InstallHelpContext(bnDetails, hcScoreDetailsButton);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

TfmDetails::TfmDetails(const THandResult& r, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmDetails"));
    setWindowTitle(QStringLiteral("Detailed Scoring Results"));
    auto* layout = new QHBoxLayout();
    const THandScore* scores[2] = {&r.Player, &r.Opponent};
    Titles[0] = Q(r.PlayerName);
    Titles[1] = Q(r.OpponentName);
    const char* rows[6] = {"Cards on the Table", "Cards in Hand", "Canastas", "Red Threes", "Finish Bonus", "TOTAL"};
    for (int side = 0; side < 2; ++side) {
        const THandScore& s = *scores[side];
        auto* box = new QGroupBox(Titles[side], this);
        InstallHelpContext(box, hcDetailsWindow);
        auto* grid = new QGridLayout(box);
        grid->setHorizontalSpacing(14);
        grid->addWidget(Bold(new QLabel(QStringLiteral("Number"), box)), 0, 1, Qt::AlignRight);
        grid->addWidget(Bold(new QLabel(QStringLiteral("Value"), box)), 0, 2, Qt::AlignRight);
        const int numbers[6] = {s.TableCount, s.HandCount, s.CanastaCount, s.RedThreeCount, 0, 0};
        const int values[6] = {s.TableValue, s.HandValue, s.CanastaValue, s.RedThreeValue, s.FinishBonus, s.Total};
        for (int row = 0; row < 6; ++row) {
            auto* caption = new QLabel(QString::fromLatin1(rows[row]), box);
            const int gridRow = row + 1 + (row == 5 ? 1 : 0);
            if (row == 5) {
                auto* line = new QFrame(box);
                line->setFrameShape(QFrame::HLine);
                line->setFrameShadow(QFrame::Sunken);
                grid->addWidget(line, 6, 0, 1, 3);
                Bold(caption);
            }
            grid->addWidget(caption, gridRow, 0);
            // The finish bonus and the total have a value only.
            if (row < 4) {
                Cells[side][row][0] = Number(numbers[row], box);
                grid->addWidget(Cells[side][row][0], gridRow, 1);
            }
            Cells[side][row][1] = Number(values[row], box);
            if (row == 5) Bold(Cells[side][row][1]);
            grid->addWidget(Cells[side][row][1], gridRow, 2);
        }
        layout->addWidget(box);
    }
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(layout);
    auto* buttons = new QHBoxLayout();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    outer->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    InstallDialogHelp(this, hcDetailsWindow);
    InstallHelpContext(ok, hcDetailsWindow);
    setFixedSize(sizeHint());
}

QString TfmDetails::Cell(int side, int row, int column) const {
    const QLabel* l = Cells[side][row][column];
    return l ? l->text() : QString();
}

QString TfmDetails::BlockTitle(int side) const { return Titles[side]; }

TfmGameOver::TfmGameOver(const TMatchResult& m, bool networked, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmGameOver"));
    setWindowTitle(QStringLiteral("Canasta"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Heading(QStringLiteral("Game Over"), this));
    lbComment = new QLabel(Q(m.Comment), this);
    lbComment->setWordWrap(true);
    lbComment->setAlignment(Qt::AlignCenter);
    layout->addWidget(lbComment);
    auto* grid = new QGridLayout();
    grid->setColumnStretch(0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Your Score:"), this), 0, 0);
    grid->addWidget(Number(m.PlayerScore, this), 0, 1);
    lbOpponentCaption = new QLabel(Q(m.OpponentName) + QStringLiteral("'s score:"), this);
    grid->addWidget(lbOpponentCaption, 1, 0);
    grid->addWidget(Number(m.OpponentScore, this), 1, 1);
    grid->addWidget(Bold(new QLabel(QStringLiteral("Difference:"), this)), 2, 0);
    grid->addWidget(Bold(Number(m.Difference, this)), 2, 1);
    layout->addLayout(grid);
    lbQuestion = new QLabel(
        networked ? QStringLiteral("Press OK to continue.") : QStringLiteral("Do you want to play another game?"),
        this);
    lbQuestion->setAlignment(Qt::AlignCenter);
    layout->addWidget(lbQuestion);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    if (networked) {
        bnOK = new QPushButton(QStringLiteral("&OK"), this);
        bnOK->setDefault(true);
        buttons->addWidget(bnOK);
        connect(bnOK, &QPushButton::clicked, this, &QDialog::accept);
    } else {
        bnYes = new QPushButton(QStringLiteral("&Yes"), this);
        bnNo = new QPushButton(QStringLiteral("&No"), this);
        bnYes->setDefault(true);
        buttons->addWidget(bnYes);
        buttons->addWidget(bnNo);
        connect(bnYes, &QPushButton::clicked, this, &QDialog::accept);
        connect(bnNo, &QPushButton::clicked, this, [this] { done(No); });
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    InstallDialogHelp(this, hcGameOver);
    for (QPushButton* b : {bnOK, bnYes, bnNo})
        if (b) InstallHelpContext(b, hcGameOver);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

bool IsResultWindow(const QWidget* w) {
    return qobject_cast<const TfmScore*>(w) || qobject_cast<const TfmDetails*>(w) ||
           qobject_cast<const TfmGameOver*>(w);
}

}  // namespace canasta
