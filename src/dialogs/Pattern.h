// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Select Card Back Pattern": the ten built-in backs in two rows of five.
#include <QDialog>
#include <QWidget>

namespace canasta {

class TPatternGrid : public QWidget {
    Q_OBJECT
public:
    explicit TPatternGrid(int selected, QWidget* parent = nullptr);
    int Selected() const { return Index; }
    void Select(int index);
    // The rectangle of thumbnail i.
    static QRect ThumbRect(int i);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    int Index;
};

class TfmPattern : public QDialog {
    Q_OBJECT
public:
    explicit TfmPattern(int pattern, QWidget* parent = nullptr);
    int Selected() const { return Grid->Selected(); }
    TPatternGrid* Grid;
};

}  // namespace canasta
