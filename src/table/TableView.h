// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The client area of the table window: hands painting, mouse and focus to
// the window, which owns the game.
#include <QWidget>

namespace canasta {

class TfmCanMain;

class TTableView : public QWidget {
    Q_OBJECT
public:
    explicit TTableView(TfmCanMain& owner);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool event(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    TfmCanMain& Owner;
    // What's This explained the spot being clicked: its release is no move.
    bool ReleaseExplained = false;
};

}  // namespace canasta
