// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chat window beside the table while a connection stands.
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "model/Settings.h"

class QLineEdit;
class QPlainTextEdit;

namespace canasta {

// Where the chat opens when no place is stored: beside the table window
// (right, else left, else below), else over the table's lower right corner,
// so it covers neither the menu nor the opponent's hand. All in screen
// coordinates, frames included.
QPoint DefaultChatPlace(const QRect& table, const QSize& chat, const QRect& screen);

class TfmChat : public QWidget {
    Q_OBJECT
public:
    // The history keeps the last 2,000 lines: enough to scroll back through a
    // long evening, bounded against a peer that floods.
    static constexpr int kMaxLines = 1999;

    // table: the window the default position comes from. onSend gets the
    // typed text when Enter is pressed.
    TfmChat(ISettingsStore* store, QWidget* table, bool onTop, std::function<void(const QString&)> onSend);
    // Writes the window's place and size.
    ~TfmChat() override;

    // Appends one line; the oldest go while more than 100 are held.
    void AddChatLine(const QString& text);
    // A received line: to the front, the message area light yellow for 200 ms.
    void Highlight();
    void SetOnTop(bool onTop);
    // The font dialog's result: both areas, the store, the layout.
    void ApplyChosenFont(const QFont& font);

    QStringList Lines() const { return ChatLines; }
    bool Highlighted() const { return tmMessage.isActive(); }
    QPlainTextEdit* mmChat = nullptr;
    QLineEdit* edChat = nullptr;
    QTimer tmMessage;

    // The input line's height for a font height (negative: pixels): 9 - height.
    static int InputHeight(int fontHeight) { return 9 - fontHeight; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void LoadFont();
    void LayOut();
    void SetFont1();
    void ContextMenu(QWidget* on, const QPoint& at);

    ISettingsStore* Store;
    std::function<void(const QString&)> OnSend;
    QStringList ChatLines;
    int FontHeight = -11;
    QColor TextColor = Qt::black;
};

}  // namespace canasta
