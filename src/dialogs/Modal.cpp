// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/Modal.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <utility>

namespace canasta {

namespace {
TModalHandler& Handler() {
    static TModalHandler handler;
    return handler;
}

bool& Ended() {
    static bool ended = false;
    return ended;
}

// The answer that takes nothing further: No, Cancel, or the only button.
int CancellingAnswer(QDialog& dialog) {
    auto* box = qobject_cast<QMessageBox*>(&dialog);
    if (!box) return QDialog::Rejected;
    std::fprintf(stderr, "canasta: [%s] %s\n", box->windowTitle().toLocal8Bit().constData(),
                 box->text().toLocal8Bit().constData());
    for (QMessageBox::StandardButton b : {QMessageBox::No, QMessageBox::Cancel, QMessageBox::Ok})
        if (box->standardButtons() & b) return b;
    return QMessageBox::NoButton;
}

int Box(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton def) {
    QMessageBox box(icon, title, NormalizeLineEnds(text), buttons, parent);
    box.setDefaultButton(def);
    return ExecModal(box);
}
}  // namespace

int ExecModal(QDialog& dialog) {
    if (Ended()) return CancellingAnswer(dialog);
    if (Handler()) return Handler()(dialog);
    return dialog.exec();
}

void SetModalHandler(TModalHandler handler) { Handler() = std::move(handler); }

bool NobodyToAnswer() {
    if (Handler()) return false;
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

void EndModalWindows(bool end) {
    Ended() = end;
    if (!end) return;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(w);
        if (!dialog || !dialog->isVisible() || !dialog->isModal()) continue;
        dialog->done(CancellingAnswer(*dialog));
    }
}

bool ModalWindowsEnded() { return Ended(); }

QString NormalizeLineEnds(const QString& text) {
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

void ShowInformation(QWidget* parent, const QString& title, const QString& text) {
    Box(parent, QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void ShowWarning(QWidget* parent, const QString& title, const QString& text) {
    Box(parent, QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void ShowError(QWidget* parent, const QString& title, const QString& text) {
    Box(parent, QMessageBox::Critical, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool AskYesNo(QWidget* parent, const QString& title, const QString& text) {
    return Box(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

TSaveAnswer AskToSave(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, NormalizeLineEnds(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    // Said plainly: some styles call this button "Close without Saving".
    box.button(QMessageBox::Discard)->setText(QStringLiteral("Do&n't Save"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (ExecModal(box)) {
        case QMessageBox::Save: return TSaveAnswer::Save;
        case QMessageBox::Discard: return TSaveAnswer::DontSave;
        default: return TSaveAnswer::Cancel;
    }
}

}  // namespace canasta
