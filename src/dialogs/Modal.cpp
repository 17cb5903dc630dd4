#include "dialogs/Modal.h"

#include <QDialog>
#include <QMessageBox>

#include <utility>

namespace canasta {

namespace {
TModalHandler& Handler() {
    static TModalHandler handler;
    return handler;
}

int Box(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton def) {
    QMessageBox box(icon, title, NormalizeLineEnds(text), buttons, parent);
    box.setDefaultButton(def);
    return ExecModal(box);
}
}  // namespace

int ExecModal(QDialog& dialog) {
    if (Handler()) return Handler()(dialog);
    return dialog.exec();
}

void SetModalHandler(TModalHandler handler) { Handler() = std::move(handler); }

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

}  // namespace canasta
