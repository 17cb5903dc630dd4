// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/Chat.h"

#include <QCloseEvent>
#include <QFontDialog>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

#include "dialogs/Modal.h"
#include "help/HelpContexts.h"
#include "help/HelpWindow.h"
#include "store/SettingsCatalog.h"

namespace canasta {

namespace {

// 0x00BBGGRR as the settings keep colours.
QColor FromColorRef(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return QColor(u & 0xFF, (u >> 8) & 0xFF, (u >> 16) & 0xFF);
}
int32_t ToColorRef(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

}  // namespace

QPoint DefaultChatPlace(const QRect& table, const QSize& chat, const QRect& screen) {
    const int gap = 8;
    // Beside the table, right or left, level with its top.
    const int top = std::clamp(table.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - chat.height()));
    if (table.right() + gap + chat.width() <= screen.right() + 1) return {table.right() + 1 + gap, top};
    if (table.left() - gap - chat.width() >= screen.left()) return {table.left() - gap - chat.width(), top};
    // Below the table.
    const int left =
        std::clamp(table.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - chat.width()));
    if (table.bottom() + gap + chat.height() <= screen.bottom() + 1) return {left, table.bottom() + 1 + gap};
    // No room outside: over the lower right of the table, away from the menu
    // and the opponent's hand at its top.
    return {std::max(screen.left(), table.right() - gap - chat.width()),
            std::max(screen.top(), table.bottom() - gap - chat.height())};
}

TfmChat::TfmChat(ISettingsStore* store, QWidget* table, bool onTop, std::function<void(const QString&)> onSend)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Store(store),
      OnSend(std::move(onSend)) {
    setObjectName(QStringLiteral("fmChat"));
    setWindowTitle(QStringLiteral("Canasta Chat"));
    setAttribute(Qt::WA_QuitOnClose, false);
    mmChat = new QPlainTextEdit(this);
    mmChat->setObjectName(QStringLiteral("mmChat"));
    mmChat->setReadOnly(true);
    mmChat->setMaximumBlockCount(kMaxLines + 1);
    mmChat->setUndoRedoEnabled(false);
    mmChat->setFocusPolicy(Qt::NoFocus);
    mmChat->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmChat->setToolTip(QStringLiteral("This area shows the messages that your partner sent you."));
    edChat = new QLineEdit(this);
    edChat->setObjectName(QStringLiteral("edChat"));
    for (QWidget* w : {static_cast<QWidget*>(mmChat), static_cast<QWidget*>(edChat)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint& at) { ContextMenu(w, at); });
    }
    connect(edChat, &QLineEdit::returnPressed, this, [this] {
        const QString typed = edChat->text();
        edChat->clear();
        if (OnSend) OnSend(typed);
    });
    // F1 and Shift+F1 work here too; a tool window shows no "?" button.
    InstallDialogHelp(this, hcChatWindow);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    InstallHelpContext(mmChat, hcChatMessages);
    InstallHelpContext(edChat, hcChatInput);
    tmMessage.setSingleShot(true);
    tmMessage.setInterval(200);
    connect(&tmMessage, &QTimer::timeout, this, [this] {
        tmMessage.stop();
        QPalette p;
        p.setColor(QPalette::Text, TextColor);
        mmChat->setPalette(p);
    });

    // Opening: empty areas, on top as chosen, the stored font, place and size.
    mmChat->clear();
    edChat->clear();
    SetOnTop(onTop);
    LoadFont();
    const QRect screen =
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect(0, 0, 1024, 768);
    resize(std::max(80, Read(Store, settings::ChatWidth)), std::max(40, Read(Store, settings::ChatHeight)));
    const QPoint place =
        DefaultChatPlace(table ? table->frameGeometry() : QRect(0, 0, 640, 480), frameGeometry().size(), screen);
    int top = ReadInt(Store, settings::ChatTop, place.y());
    if (top < 0 || top > screen.height()) top = place.y();
    int left = ReadInt(Store, settings::ChatLeft, place.x());
    if (left < 0 || left > screen.width()) left = place.x();
    move(left, top);
    LayOut();
    edChat->setFocus();
}

TfmChat::~TfmChat() {
    WriteInt(Store, settings::ChatTop, y());
    WriteInt(Store, settings::ChatHeight.Path, height());
    WriteInt(Store, settings::ChatWidth.Path, width());
    WriteInt(Store, settings::ChatLeft, x());
}

void TfmChat::SetOnTop(bool onTop) {
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible) show();
}

void TfmChat::LoadFont() {
    using namespace settings;
    TextColor = FromColorRef(Read(Store, ChatFontColor));
    FontHeight = Read(Store, ChatFontHeight);
    QFont f;
    const std::string name = Read(Store, ChatFontName);
    // The old default face stands for the desktop's own sans font.
    if (name != ChatFontName.Default && !name.empty()) f.setFamily(QString::fromStdString(name));
    const int pitch = Read(Store, ChatFontPitch);
    if (pitch == 2) f.setFixedPitch(true);
    if (FontHeight < 0)
        f.setPixelSize(-FontHeight);
    else if (FontHeight > 0)
        f.setPixelSize(FontHeight);
    else
        f.setPointSize(std::max(1, Read(Store, ChatFontSize)));
    f.setBold(Read(Store, ChatFontBold));
    f.setItalic(Read(Store, ChatFontItalic));
    f.setUnderline(Read(Store, ChatFontUnderline));
    f.setStrikeOut(Read(Store, ChatFontStrikeOut));
    for (QWidget* w : {static_cast<QWidget*>(mmChat), static_cast<QWidget*>(edChat)}) {
        w->setFont(f);
        QPalette p = w->palette();
        p.setColor(QPalette::Text, TextColor);
        w->setPalette(p);
    }
}

void TfmChat::ApplyChosenFont(const QFont& chosen) {
    using namespace settings;
    QFont f = chosen;
    const int pixels = f.pixelSize() > 0 ? f.pixelSize() : QFontInfo(f).pixelSize();
    FontHeight = -pixels;
    for (QWidget* w : {static_cast<QWidget*>(mmChat), static_cast<QWidget*>(edChat)}) w->setFont(f);
    WriteInt(Store, ChatFontColor.Path, ToColorRef(TextColor));
    WriteInt(Store, ChatFontHeight.Path, FontHeight);
    WriteString(Store, ChatFontName.Path, f.family().toStdString());
    WriteInt(Store, ChatFontPitch.Path, QFontInfo(f).fixedPitch() ? 2 : 0);
    WriteInt(Store, ChatFontSize.Path, f.pointSize() > 0 ? f.pointSize() : (pixels * 72 + 48) / 96);
    WriteBool(Store, ChatFontBold.Path, f.bold());
    WriteBool(Store, ChatFontItalic.Path, f.italic());
    WriteBool(Store, ChatFontUnderline.Path, f.underline());
    WriteBool(Store, ChatFontStrikeOut.Path, f.strikeOut());
    LayOut();
}

void TfmChat::SetFont1() {
    QFontDialog dialog(mmChat->font(), this);
    dialog.setObjectName(QStringLiteral("dlgChatFont"));
    if (ExecModal(dialog) == QDialog::Accepted) ApplyChosenFont(dialog.selectedFont());
}

void TfmChat::ContextMenu(QWidget* on, const QPoint& at) {
    QMenu menu(this);
    QAction* font = menu.addAction(QStringLiteral("Change &Font..."), this, [this] { SetFont1(); });
    font->setWhatsThis(WhatsThisText(hcChatFont));
    menu.exec(on->mapToGlobal(at));
}

void TfmChat::LayOut() {
    const int input = InputHeight(FontHeight);
    edChat->setGeometry(0, height() - input, width(), input);
    mmChat->setGeometry(0, 0, width(), std::max(0, height() - input));
}

void TfmChat::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    LayOut();
}

void TfmChat::closeEvent(QCloseEvent* e) {
    // Closed by the user it only hides; the connection's end destroys it.
    e->ignore();
    hide();
}

void TfmChat::AddChatLine(const QString& text) {
    while (ChatLines.size() > kMaxLines) ChatLines.removeFirst();
    ChatLines.append(text);
    // One paragraph added at the end, the oldest dropped by the document's
    // block limit: the work per line does not depend on what is held.
    QTextCursor end(mmChat->document());
    end.movePosition(QTextCursor::End);
    if (ChatLines.size() > 1) end.insertBlock();
    end.insertText(text);
    mmChat->verticalScrollBar()->setValue(mmChat->verticalScrollBar()->maximum());
}

void TfmChat::Highlight() {
    show();
    raise();
    QPalette p = mmChat->palette();
    p.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0x80));
    mmChat->setPalette(p);
    tmMessage.start();
}

}  // namespace canasta
