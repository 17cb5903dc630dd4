// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/HelpWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>
#include <QWhatsThisClickedEvent>

#include "help/HelpContexts.h"

namespace canasta {

namespace {

const char* const kHelpContextProperty = "helpContext";

QPointer<TfmHelp> gHelp;
QPointer<QWidget> gOwner;

// "rules" -> "rules.html"; splits off the anchor.
void SplitTarget(const QString& target, QString& page, QString& anchor) {
    const qsizetype hash = target.indexOf(QLatin1Char('#'));
    page = hash < 0 ? target : target.left(hash);
    anchor = hash < 0 ? QString() : target.mid(hash + 1);
    if (!page.isEmpty() && !page.endsWith(QLatin1String(".html"))) page += QLatin1String(".html");
}

// Moves the help window to a new parent (null: a window of its own) and keeps
// its place, size and visibility.
void Reparent(QWidget* parent) {
    if (!gHelp || gHelp->parentWidget() == parent) return;
    const bool visible = gHelp->isVisible();
    const QRect geometry = gHelp->geometry();
    gHelp->setParent(parent, gHelp->windowFlags() | Qt::Window);
    gHelp->setGeometry(geometry);
    if (visible) gHelp->show();
}

// Lends the help window to a modal dialog while the dialog is up, so that the
// dialog's modality does not block it; gives it back when the dialog hides.
class TModalLender : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && gHelp && gHelp->parentWidget() == watched) {
            watched->removeEventFilter(this);
            // Back to the dialog below, when dialogs were stacked, else home.
            QWidget* next = QApplication::activeModalWidget();
            if (next == watched || (next && !next->isVisible())) next = nullptr;
            Reparent(next ? next : gOwner.data());
            if (next) next->installEventFilter(this);
        }
        return false;
    }
};

TModalLender& Lender() {
    static TModalLender lender;
    return lender;
}

TfmHelp* EnsureHelpWindow() {
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* parent = modal ? modal : gOwner.data();
    if (!gHelp) {
        gHelp = new TfmHelp(parent);
    } else {
        Reparent(parent);
    }
    if (modal) modal->installEventFilter(&Lender());
    return gHelp;
}

void Present(TfmHelp* help) {
    help->show();
    if (help->isMinimized()) help->showNormal();
    help->raise();
    help->activateWindow();
}

// The right-click menu and the link of the "What's This?" pop-ups.
class THelpEventFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        if (event->type() == QEvent::WhatsThisClicked) {
            ShowHelpPage(static_cast<QWhatsThisClickedEvent*>(event)->href());
            return true;
        }
        if (event->type() == QEvent::ContextMenu && widget->contextMenuPolicy() == Qt::DefaultContextMenu) {
            const int context = HelpContextOf(widget);
            const QString text = WhatsThisText(context);
            if (text.isEmpty()) return false;
            const QPoint global = static_cast<QContextMenuEvent*>(event)->globalPos();
            QMenu* menu = nullptr;
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                menu = edit->createStandardContextMenu();
                menu->addSeparator();
            } else {
                menu = new QMenu(widget);
            }
            menu->setAttribute(Qt::WA_DeleteOnClose);
            QPointer<QWidget> target(widget);
            QAction* whatsThis = menu->addAction(QStringLiteral("What's This?"));
            QObject::connect(whatsThis, &QAction::triggered, widget, [target, global, text] {
                if (target) QWhatsThis::showText(global, text, target);
            });
            menu->popup(global);
            return true;
        }
        return false;
    }
};

THelpEventFilter& HelpFilter() {
    static THelpEventFilter filter;
    return filter;
}

}  // namespace

// ---------------------------------------------------------------- TfmHelp

TfmHelp::TfmHelp(QWidget* parent) : QMainWindow(parent, Qt::Window) {
    setObjectName(QStringLiteral("fmHelp"));
    setWindowTitle(QStringLiteral("Canasta Help"));
    tbPage = new QTextBrowser(this);
    tbPage->setObjectName(QStringLiteral("tbPage"));
    tbPage->setOpenExternalLinks(true);
    tbPage->setSearchPaths({HelpFolder()});
    setCentralWidget(tbPage);

    QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    acContents = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("&Contents"), this,
                                [this] { ShowContents(); });
    acContents->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    acBack = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("&Back"), tbPage,
                            &QTextBrowser::backward);
    acBack->setShortcut(QKeySequence::Back);
    acBack->setEnabled(false);
    acForward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("&Forward"), tbPage,
                               &QTextBrowser::forward);
    acForward->setShortcut(QKeySequence::Forward);
    acForward->setEnabled(false);
    auto* close = new QAction(QStringLiteral("Close"), this);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);

    connect(tbPage, &QTextBrowser::backwardAvailable, acBack, &QAction::setEnabled);
    connect(tbPage, &QTextBrowser::forwardAvailable, acForward, &QAction::setEnabled);
    connect(tbPage, &QTextBrowser::sourceChanged, this, [this] { UpdateTitle(); });

    resize(760, 640);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(qMin(760, area.width() - 40), qMin(640, area.height() - 60));
        move(area.right() - width() - 20, area.top() + 30);
    }
}

bool TfmHelp::ShowPage(const QString& target) {
    QString page, anchor;
    SplitTarget(target, page, anchor);
    if (page.isEmpty() || page.contains(QLatin1Char('/'))) return false;
    const QString file = QDir(HelpFolder()).filePath(page);
    if (!QFileInfo(file).isFile()) return false;
    QUrl url = QUrl::fromLocalFile(file);
    if (!anchor.isEmpty()) url.setFragment(anchor);
    tbPage->setSource(url);
    if (!anchor.isEmpty()) tbPage->scrollToAnchor(anchor);
    UpdateTitle();
    return true;
}

void TfmHelp::ShowContents() {
    if (ShowPage(QStringLiteral("index.html"))) return;
    tbPage->setHtml(QStringLiteral("<h1>Canasta Help</h1><p>The help pages were not found in %1.</p>")
                        .arg(HelpFolder().toHtmlEscaped()));
    UpdateTitle();
}

QString TfmHelp::CurrentPage() const { return QFileInfo(tbPage->source().path()).fileName(); }

QString TfmHelp::CurrentAnchor() const { return tbPage->source().fragment(); }

void TfmHelp::UpdateTitle() {
    const QString title = tbPage->documentTitle();
    setWindowTitle(title.isEmpty() || title == QLatin1String("Canasta Help")
                       ? QStringLiteral("Canasta Help")
                       : QStringLiteral("Canasta Help - %1").arg(title));
}

// ---------------------------------------------------------------- opening help

void ShowHelpContents() {
    TfmHelp* help = EnsureHelpWindow();
    help->ShowContents();
    Present(help);
}

bool ShowHelpTopic(int context) {
    const THelpContext* c = HelpContexts().Find(context);
    if (!c) {
        ShowHelpContents();
        return false;
    }
    return ShowHelpPage(c->Anchor.isEmpty() ? c->Page : c->Page + QLatin1Char('#') + c->Anchor);
}

bool ShowHelpPage(const QString& target) {
    TfmHelp* help = EnsureHelpWindow();
    const bool found = help->ShowPage(target);
    if (!found) help->ShowContents();
    Present(help);
    return found;
}

TfmHelp* HelpWindow() { return gHelp.data(); }

void CloseHelp() {
    if (!gHelp) return;
    gHelp->close();
    delete gHelp.data();
}

void SetHelpOwner(QWidget* owner) {
    gOwner = owner;
    if (gHelp && !QApplication::activeModalWidget()) Reparent(owner);
}

// ---------------------------------------------------------------- What's This?

QString WhatsThisText(int context) {
    const THelpContext* c = HelpContexts().Find(context);
    if (!c) return QString();
    const QString target = c->Anchor.isEmpty() ? c->Page : c->Page + QLatin1Char('#') + c->Anchor;
    return QStringLiteral("<p>%1</p><p><a href=\"%2\">More about this</a></p>")
        .arg(c->Text.toHtmlEscaped(), target.toHtmlEscaped());
}

void InstallHelpContext(QWidget* widget, int context) {
    if (!widget) return;
    widget->setProperty(kHelpContextProperty, context);
    widget->setWhatsThis(WhatsThisText(context));
    widget->removeEventFilter(&HelpFilter());
    widget->installEventFilter(&HelpFilter());
    // The line edit of an editable combo box takes the right clicks itself.
    if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit()) {
        combo->lineEdit()->removeEventFilter(&HelpFilter());
        combo->lineEdit()->installEventFilter(&HelpFilter());
    }
}

int HelpContextOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const int context = w->property(kHelpContextProperty).toInt();
        if (context != 0) return context;
        if (w->isWindow()) break;
    }
    return 0;
}

void InstallDialogHelp(QWidget* dialog, int context) {
    if (!dialog) return;
    if (context != 0) InstallHelpContext(dialog, context);
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    QAction* whatsThis = QWhatsThis::createAction(dialog);
    whatsThis->setShortcutContext(Qt::WindowShortcut);
    dialog->addAction(whatsThis);
    auto* help = new QAction(QStringLiteral("Help"), dialog);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    QPointer<QWidget> owner(dialog);
    QObject::connect(help, &QAction::triggered, dialog, [owner] {
        if (!owner) return;
        QWidget* focus = QApplication::focusWidget();
        int number = (focus && owner->isAncestorOf(focus)) ? HelpContextOf(focus) : 0;
        if (number == 0) number = HelpContextOf(owner);
        if (number == 0)
            ShowHelpContents();
        else
            ShowHelpTopic(number);
    });
    dialog->addAction(help);
}

}  // namespace canasta
