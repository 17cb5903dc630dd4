// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every modal window of the program is run through ExecModal, so that a test
// can answer it (inspect it, press its buttons) instead of the user.
#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace canasta {

// Runs the dialog modally and returns its result code.
int ExecModal(QDialog& dialog);

// Replaces the modal loop: the handler gets the dialog and returns the result
// code the dialog would have closed with. An empty handler restores exec().
using TModalHandler = std::function<int(QDialog&)>;
void SetModalHandler(TModalHandler handler);
// Whether a modal window would wait for a person who cannot see it: no
// handler answers it and the program runs without a screen (offscreen).
bool NobodyToAnswer();

// For a program told to end (a signal): every modal window open now is closed
// as if cancelled, and every one opened later returns at once with its
// cancelling answer; a message box's text goes to stderr instead. With false,
// modal windows are shown again (for tests that go on afterwards).
void EndModalWindows(bool end = true);
bool ModalWindowsEnded();

// Message boxes through ExecModal. Texts may carry Windows line ends.
void ShowInformation(QWidget* parent, const QString& title, const QString& text);
void ShowWarning(QWidget* parent, const QString& title, const QString& text);
void ShowError(QWidget* parent, const QString& title, const QString& text);
bool AskYesNo(QWidget* parent, const QString& title, const QString& text);
// Save, Don't Save or Cancel, Save the default (a program told to end cancels).
enum class TSaveAnswer { Save, DontSave, Cancel };
TSaveAnswer AskToSave(QWidget* parent, const QString& title, const QString& text);

// "\r\n", "\n\r" and a lone "\r" become "\n".
QString NormalizeLineEnds(const QString& text);

}  // namespace canasta
