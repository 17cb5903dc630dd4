// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help window: the help pages in a browser with Contents, Back and
// Forward, opened at the contents, at a page or at a help context number;
// and the "What's This?" help of the controls in the dialogs.
//
// There is one help window for the program. It is a window of its own, kept
// usable while a modal dialog is open (it is lent to that dialog while the
// dialog is up), and closes with the program.
#include <QMainWindow>
#include <QString>

class QAction;
class QTextBrowser;
class QWidget;

namespace canasta {

class TfmHelp : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmHelp(QWidget* parent = nullptr);

    // Opens a page of the help folder: "rules.html#natural-pair", "rules.html"
    // or "rules". False, with nothing changed, when there is no such page.
    bool ShowPage(const QString& target);
    void ShowContents();

    QTextBrowser* Browser() const { return tbPage; }
    // The file name and anchor shown ("rules.html", "natural-pair").
    QString CurrentPage() const;
    QString CurrentAnchor() const;

    QAction* acContents = nullptr;
    QAction* acBack = nullptr;
    QAction* acForward = nullptr;

private:
    void UpdateTitle();
    QTextBrowser* tbPage = nullptr;
};

// F1 and "Help Topics": the help window at its contents page.
void ShowHelpContents();
// The page of a help context number. An unknown number shows the contents and
// gives false.
bool ShowHelpTopic(int context);
// A page by name, as TfmHelp::ShowPage; false (and the contents) when missing.
bool ShowHelpPage(const QString& target);
// The help window while it exists, else null.
TfmHelp* HelpWindow();
// Closes the help window; the table window calls this when the program ends.
void CloseHelp();
// The window the help window belongs to when no dialog borrows it (the table
// window): it stays in front of it and is destroyed with it.
void SetHelpOwner(QWidget* owner);

// The "What's This?" pop-up of a help context number (rich text ending with a
// link to the page), empty for an unknown number.
QString WhatsThisText(int context);
// Gives a control its help context number: stored as the dynamic property
// "helpContext", its whatsThis set from the table, and a right-click menu
// "What's This?" (a line edit gets it below its usual items). Children
// without a number of their own use the nearest parent's.
void InstallHelpContext(QWidget* widget, int context);
// The help context number of the control or of its nearest parent within the
// same window that has one; 0 when none has.
int HelpContextOf(const QWidget* widget);
// The help of a dialog, called before the dialog is shown: the "?" button in
// the title bar, Shift+F1 for "What's This?" mode, and F1 for the page of the
// control with the focus. A non-zero context is the dialog's own number.
void InstallDialogHelp(QWidget* dialog, int context = 0);

}  // namespace canasta
