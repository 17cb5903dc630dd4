// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The list of rule options in which the two players differ.
#include <QDialog>

#include <functional>
#include <vector>

#include "net/RuleString.h"

class QTreeWidget;
class QPushButton;

namespace canasta {

class TfmRuleDifferences : public QDialog {
    Q_OBJECT
public:
    explicit TfmRuleDifferences(std::function<void()> onUseOpponentsRules, QWidget* parent = nullptr);
    void SetRows(const std::vector<TRuleDifference>& rows);
    int RowCount() const;
    // Row r, column c (0 rule, 1 yours, 2 opponent's), in the sorted order shown.
    QString Cell(int row, int column) const;

    QTreeWidget* lvRules = nullptr;
    QPushButton* bnHide = nullptr;
    QPushButton* bnUse = nullptr;

private:
    std::function<void()> OnUse;
};

}  // namespace canasta
