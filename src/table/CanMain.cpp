// SPDX-License-Identifier: GPL-3.0-or-later
// The table window: creation and start-up, menus, status bar, timers, the
// game host operations, and shut-down. Painting is in TablePaint.cpp, mouse
// and keys in TableControls.cpp.
#include "table/CanMain.h"
#include "table/Thinking.h"
#include "table/TableGeometry.h"

#include <QAction>
#include <QApplication>
#include <QThread>
#include <QCloseEvent>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QFrame>
#include <QStatusTipEvent>
#include <QStringList>
#include <QVBoxLayout>
#include <QWhatsThis>

#include <chrono>
#include <cstdio>
#include <cmath>

#include "dialogs/Deck.h"
#include "dialogs/Modal.h"
#include "dialogs/PlayerDialogs.h"
#include "dialogs/Welcome.h"
#include "dialogs/Results.h"
#include "dialogs/Rules.h"
#include "dialogs/SoundHelp.h"
#include "help/HelpContexts.h"
#include "help/HelpWindow.h"
#include "media/SoundDialog.h"
#include "media/SoundSystem.h"
#include "net/MoveTokens.h"
#include "store/Paths.h"
#include "store/SavedGame.h"
#include "table/CanMainNet.h"
#include "table/Splash.h"
#include "table/TableView.h"
#include "table/WhoseTurn.h"

namespace canasta {

namespace {

// Menu hints are "short|long": the status bar shows the long part.
QString LongHint(const std::string& hint) {
    const QString h = QString::fromStdString(hint);
    const int bar = h.indexOf(QLatin1Char('|'));
    return bar < 0 ? h : h.mid(bar + 1);
}

QString Title() { return QString::fromLatin1(kProgramTitle); }

const QString kGameFilter = QStringLiteral("Canasta Games (*.can);;All Files (*)");

// A list block's scrambling number: the tick count times a random fraction.
int ScrambleNumber() {
    const auto ticks =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    const double r = std::nearbyint(std::fabs(double(ticks) * QRandomGenerator::global()->generateDouble()));
    return static_cast<int>(std::fmod(r, 1000.0));
}

}  // namespace

QString AutosaveFile() { return QDir(QString::fromStdString(DataFolder())).filePath(QStringLiteral("autosave.can")); }

namespace {
bool IsAutosave(const QString& path) {
    const QFileInfo a(path), b(AutosaveFile());
    return a.absoluteFilePath() == b.absoluteFilePath() ||
           (!a.canonicalFilePath().isEmpty() && a.canonicalFilePath() == b.canonicalFilePath());
}
}  // namespace

int ScreenSizeClassOf(int w) {
    if (w >= 1281) return 4;
    if (w == 1280) return 3;
    if (w >= 1024) return 2;
    if (w >= 800) return 1;
    return 0;
}

TResolution ParseResolution(const std::string& text, int screenClass, int screenWidth, int screenHeight) {
    const QStringList fields = QString::fromStdString(text).split(QLatin1Char(','));
    TResolution r;
    const QString name = fields.size() > 2 ? fields[2].trimmed() : QString();
    const int named = SizeIndexOfName(name.toStdString().c_str());
    r.SizeIndex = named < 0 ? 0 : named;
    if (r.SizeIndex > screenClass) r.SizeIndex = screenClass;
    int maxLeft = 0, maxTop = 0;
    if (screenClass <= 3) {
        maxLeft = WindowSizeOf(screenClass).Width;
        maxTop = WindowSizeOf(screenClass).Height;
    } else {
        // Wider screens have no size of their own: keep the whole window on the screen.
        maxLeft = std::max(0, screenWidth - WindowSizeOf(r.SizeIndex).Width);
        maxTop = std::max(0, screenHeight - WindowSizeOf(r.SizeIndex).Height);
    }
    bool ok = false;
    const int left = fields.value(0).trimmed().toInt(&ok);
    r.Left = ok && left >= 0 && left <= maxLeft ? left : 0;
    const int top = fields.value(1).trimmed().toInt(&ok);
    r.Top = ok && top >= 0 && top <= maxTop ? top : 0;
    return r;
}

TfmCanMain::TfmCanMain(const TTableParts& parts, TStartOptions options, QWidget* parent)
    : QMainWindow(parent),
      Store(parts.Store),
      Options(std::move(options)),
      G(parts.Game),
      GameRelay(parts.GameRelay),
      ComputerLevels(parts.ComputerLevels),
      Settings(parts.Settings),
      SoundSys(&parts.Sound),
      PlayerList(parts.Players),
      HighScoreTables(parts.HighScores) {
    setObjectName(QStringLiteral("fmCanMain"));
    GameRelay.Attach(this);
    FormCreate();
}

TfmCanMain::~TfmCanMain() {
    FinishThinking();
    // A hint still being computed works on its own copy; it is waited for.
    if (HintThread) {
        HintThread->wait();
        delete HintThread;
    }
    Net.reset();
    ComputerLevels.Withdraw();
    qApp->removeEventFilter(this);
    if (HourglassShown) QApplication::restoreOverrideCursor();
    delete fmSplash;
    GameRelay.Attach(nullptr);
}

QWidget* TfmCanMain::Table() const { return View; }

void TfmCanMain::FormCreate() {
    // The splash shows while the table is prepared.
    if (Options.SplashMs > 0) {
        fmSplash = new TfmSplash();
        fmSplash->show();
        fmSplash->repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    // The table above, the scores and the message line below it. Hints go to
    // the message line; until the first phase the network state shows.
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    View = new TTableView(*this);
    column->addWidget(View, 1);
    setCentralWidget(central);
    SetHelpOwner(this);
    CreateMenus();
    CreateStatusBar();
    // The network part's filter, installed after this one, sees input first:
    // it holds the table while a connection is being made.
    qApp->installEventFilter(this);
    Net = std::make_unique<TTableNetwork>(*this);
    lbStatus->setText(QStringLiteral("Not connected"));
    HintShown = false;

    // Screen width.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenArea = screen ? screen->geometry() : QRect(0, 0, 640, 480);
    SetBusyCursor(true);

    // Display defaults and the discard-click memory.
    CardSpacing = 10;
    G.Config.ShowOpponentCards = false;
    G.Seat(TSeat::Player).Score = G.Seat(TSeat::Opponent).Score = 0;
    LastRightClicked = -1;
    RightClickCount = 0;

    // Temporary files of saves that were killed half-way are of no use to anyone.
    RemoveAtomicWriteLeftovers(DataFolder());
    for (const QString& argument : Options.Arguments)
        if (argument.contains(QLatin1String(".can"), Qt::CaseInsensitive))
            RemoveAtomicWriteLeftovers(QFile::encodeName(QFileInfo(argument).absolutePath()).toStdString());

    // The settings, players and high scores were read before the window was built.
    TableColor = ColorFromColorRef(static_cast<uint32_t>(Settings.BackgroundColor));
    // Screen size class; a forced size stands for itself.
    ScreenSizeClass = Options.ForcedSize >= 0 ? 4 : ScreenSizeClassOf(screenArea.width());

    RightClicksRequired = Settings.SingleRightClick() ? 0 : 1;
    G.Rules = Settings.Rules;
    G.Config.DoubleRightClick = !Settings.SingleRightClick();
    G.Config.MeldDelay = Settings.Delay;
    G.Config.Level = Settings.LevelIndex();
    ComputerLevels.Install(G);
    G.Config.Level = std::clamp(G.Config.Level, 0, 3);
    G.Config.Aggression = Settings.Aggression;
    G.Config.ShowTurns = Settings.ShowTurns;
    G.Config.PlayerName = PlayerList.CurrentName();
    for (int d = 0; d < 2; ++d) {
        TBackSetting& b = CardBacks[static_cast<size_t>(d)];
        b.Type = static_cast<uint8_t>(Settings.CardbackType[static_cast<size_t>(d)]);
        b.Color = static_cast<uint32_t>(Settings.CardbackColor[static_cast<size_t>(d)]);
        b.FileName = Settings.CardbackFilename[static_cast<size_t>(d)];
        b.Pattern =
            static_cast<uint8_t>(std::clamp(Settings.CardbackPattern[static_cast<size_t>(d)], 0, kPatternCount - 1));
    }
    pnBottom->setVisible(Settings.ShowStatusbar);

    // Background music starts once the event loop runs (not for a screenshot).
    if (Options.ScreenshotFile.isEmpty()) SoundSys->StartMusic();

    // Position and size.
    const TResolution res =
        ParseResolution(Settings.Resolution, ScreenSizeClass, screenArea.width(), screenArea.height());
    const int size = Options.ForcedSize >= 0 ? std::clamp(Options.ForcedSize, 0, kSizeCount - 1) : res.SizeIndex;
    // The window takes any size; the four sizes are presets. A size the user
    // gave the window last time comes back, unless a size is asked for.
    setMinimumSize(kMinimumTableWidth, kMinimumTableHeight + 60);
    AppliedSize = size;
    Geometry = ComputeLayout(size);
    if (Options.ForcedSize >= 0 || !RestoreWindowPlace(Settings.WindowPlace)) {
        move(res.Left, res.Top);
        const TWindowSize& ws = WindowSizeOf(size);
        resize(ws.Width, ws.Height);
        if (size == ScreenSizeClass) setWindowState(Qt::WindowMaximized);
    }
    tmImages.setSingleShot(true);
    tmImages.setInterval(80);
    connect(&tmImages, &QTimer::timeout, this, [this] {
        BuildCardImages();
        View->update();
    });

    // End Hand button.
    bnEndHand = new QPushButton(QStringLiteral("End Hand"), View);
    bnEndHand->setObjectName(QStringLiteral("bnEndHand"));
    bnEndHand->setToolTip(QStringLiteral("End this hand now that the stock is exhausted"));
    bnEndHand->hide();
    InstallHelpContext(bnEndHand, hcEndHand);
    connect(bnEndHand, &QPushButton::clicked, this, [this] { bnEndHandClick(); });
    PlaceEndHandButton();

    // Nothing is painted until the splash has gone.
    PaintSuppressed = true;
    G.Config.Networked = false;
    setWindowTitle(Title());
    setWindowIcon(QIcon(QPixmap::fromImage(ProgramIconImage(64))));

    // Who draws first in the first hand.
    G.PlayerDrawsFirst = QRandomGenerator::global()->bounded(2) == 0;

    // Timers.
    tmLED.setInterval(600);
    connect(&tmLED, &QTimer::timeout, this, [this] { tmLEDTimer(); });
    tmWhoseTurn.setInterval(1500);
    connect(&tmWhoseTurn, &QTimer::timeout, this, [this] { tmWhoseTurnTimer(); });
    connect(&tmShow, &QTimer::timeout, this, [this] { tmShowTimer(); });
    connect(&tmSpring, &QTimer::timeout, this, [this] { tmSpringTimer(); });
    tmSplash.setSingleShot(true);
    tmSplash.setInterval(Options.SplashMs);
    connect(&tmSplash, &QTimer::timeout, this, [this] { tmSplashTimer(); });

    // The splash stays up until the first deal.
    SetBusyCursor(false);
    if (Options.SplashMs > 0) tmSplash.start();
}

void TfmCanMain::CreateMenus() {
    QMenu* game = menuBar()->addMenu(QStringLiteral("&Game"));
    mnNew = game->addAction(QStringLiteral("&New"), this, [this] { mnNewClick(); });
    // The standard keys first (the menus show them), the old F-keys beside them.
    mnNew->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::Key_F2)});
    mnNew->setStatusTip(QStringLiteral("Start a new game"));
    mnLoad = game->addAction(QStringLiteral("&Load..."), this, [this] { mnLoadClick(); });
    mnLoad->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence(Qt::Key_F3)});
    mnLoad->setStatusTip(QStringLiteral("Continue a saved game"));
    mnSave = game->addAction(QStringLiteral("&Save..."), this, [this] { mnSaveClick(); });
    mnSave->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::Key_F4)});
    mnSave->setStatusTip(QStringLiteral("Save this game to continue it later"));
    game->addSeparator();
    mnUndoMeld = game->addAction(QStringLiteral("&Undo Meld"), this, [this] { mnUndoMeldClick(); });
    mnUndoMeld->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::Key_Delete)});
    mnUndoMeld->setStatusTip(LongHint("|Undo the last meld, if any"));
    mnUndoMeld->setEnabled(false);
    mnUndoAll = game->addAction(QStringLiteral("Undo &All"), this, [this] { mnUndoAllClick(); });
    mnUndoAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    mnUndoAll->setStatusTip(LongHint("|Undo all melds since your last discard or taking of the discard pile, if any"));
    mnUndoAll->setEnabled(false);
    mnHint = game->addAction(QStringLiteral("Hin&t"), this, [this] { RequestHint(); });
    mnHint->setObjectName(QStringLiteral("mnHint"));
    mnHint->setShortcut(QKeySequence(Qt::Key_H));
    mnHint->setStatusTip(QStringLiteral("Show the move the strongest computer level would make now"));
    game->addSeparator();
    mnDecks = game->addAction(QStringLiteral("&Decks..."), this, [this] { mnDecksClick(); });
    mnDecks->setStatusTip(LongHint("|Select a color or image for the backside of the cards"));
    game->addSeparator();
    mnHiscores = game->addAction(QStringLiteral("&Hiscores..."), this, [this] { mnHiscoresClick(); });
    mnHiscores->setStatusTip(LongHint("|Show the Top Ten highscores"));
    mnWinRatio = game->addAction(QStringLiteral("&Statistics..."), this, [this] { mnWinRatioClick(); });
    mnWinRatio->setStatusTip(LongHint("|Show the player's statistics: wins and losses, hands, scores and streaks"));
    mnMoveLog = game->addAction(QStringLiteral("Move &Log..."), this, [this] { mnMoveLogClick(); });
    mnMoveLog->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    mnMoveLog->setStatusTip(QStringLiteral("Show what both sides did in each turn of this hand"));
    mnMoveLog->setWhatsThis(WhatsThisText(hcMoveLog));
    game->addSeparator();
    mnExit = game->addAction(QStringLiteral("E&xit"), this, [this] { close(); });
    mnExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnExit->setStatusTip(QStringLiteral("Quit Canasta"));

    mnuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    mnCustomize = mnuOptions->addAction(QStringLiteral("&Customize..."), this, [this] { mnCustomizeClick(); });
    mnCustomize->setStatusTip(LongHint("|Create players, set the computer level and change the window size and color"));
    mnSound = mnuOptions->addAction(QStringLiteral("&Sound..."), this, [this] { mnSoundClick(); });
    mnSound->setStatusTip(LongHint("|Enable or disable sound and music, and select sound effects and melodies"));
    mnRules = mnuOptions->addAction(QStringLiteral("&Rules..."), this, [this] { mnRulesClick(); });
    mnRules->setStatusTip(LongHint(kRulesHintOpen));
    mnuOptions->addSeparator();
    mnFullScreen = mnuOptions->addAction(QStringLiteral("&Full Screen"), this, [this] { ToggleFullScreen(); });
    mnFullScreen->setObjectName(QStringLiteral("mnFullScreen"));
    mnFullScreen->setCheckable(true);
    mnFullScreen->setShortcut(Qt::Key_F11);
    mnFullScreen->setStatusTip(QStringLiteral("Show the table on the whole screen (F11 or Esc to leave)"));

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnHelpTopics = mnuHelp->addAction(QStringLiteral("&Help Topics"), this, [this] {
        SoundSys->PlayHelpSound();
        ShowHelpContents();
    });
    mnHelpTopics->setShortcut(Qt::Key_F1);
    mnHelpTopics->setStatusTip(QStringLiteral("Open the help contents"));
    mnuHelp->addAction(QWhatsThis::createAction(this));
    mnuHelp->addSeparator();
    mnAbout = mnuHelp->addAction(QStringLiteral("&About..."), this, [this] { mnAboutClick(); });
    mnAbout->setStatusTip(QStringLiteral("Show the program's version and licences"));
}

void TfmCanMain::CreateStatusBar() {
    // Two rows below the table: the scores, labelled, with who is to move;
    // below them the message line, with room enough that no instruction or
    // refusal is cut.
    auto* area = new QFrame(centralWidget());
    pnBottom = area;
    area->setObjectName(QStringLiteral("pnBottom"));
    area->setFrameShape(QFrame::StyledPanel);
    area->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* rows = new QVBoxLayout(area);
    rows->setContentsMargins(2, 1, 2, 1);
    rows->setSpacing(1);
    auto* strip = new QHBoxLayout;
    strip->setSpacing(3);
    rows->addLayout(strip);
    auto panel = [area, strip](const char* name, const QString& tip) {
        auto* l = new QLabel(area);
        l->setObjectName(QString::fromLatin1(name));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumWidth(34);
        l->setToolTip(tip);
        strip->addWidget(l);
        return l;
    };
    auto caption = [area, strip](const QString& text, const QString& tip) {
        auto* l = new QLabel(text, area);
        // Labels are never cut: the gaps between the groups give way first.
        l->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
        l->setToolTip(tip);
        strip->addWidget(l);
        return l;
    };
    lbPlayerName = caption(QStringLiteral("You"), QStringLiteral("Your side; the arrow shows whose turn it is"));
    caption(QStringLiteral("score"), QStringLiteral("Your score in this game"));
    pnPCurrScore = panel("pnPCurrScore", QStringLiteral("Your score"));
    caption(QStringLiteral("melded"), QStringLiteral("Points you have melded in this hand"));
    pnPCurrMeld = panel("pnPCurrMeld",
                        QStringLiteral("Points you have melded in this hand (with the minimum of your first meld)"));
    strip->addStretch(1);
    lbOpponentName =
        caption(QStringLiteral("Computer"), QStringLiteral("Your opponent; the arrow shows whose turn it is"));
    caption(QStringLiteral("score"), QStringLiteral("Your opponent's score in this game"));
    pnCCurrScore = panel("pnCCurrScore", QStringLiteral("Your opponent's score"));
    caption(QStringLiteral("melded"), QStringLiteral("Points your opponent has melded in this hand"));
    pnCCurrMeld = panel("pnCCurrMeld", QStringLiteral("Points your opponent has melded in this hand"));
    strip->addStretch(1);
    lbTarget =
        caption(QStringLiteral("game to 5,000"), QStringLiteral("The first side to reach 5,000 points wins the game"));
    pnPCurrMeld->setMinimumWidth(50);

    lbStatus = new QLabel(area);
    lbStatus->setObjectName(QStringLiteral("lbStatus"));
    lbStatus->setTextFormat(Qt::PlainText);
    lbStatus->setWordWrap(true);
    lbStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A long instruction wraps instead of widening the window.
    lbStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    FitMessageArea();
    rows->addWidget(lbStatus);
    static_cast<QVBoxLayout*>(centralWidget()->layout())->addWidget(area);
    lbStatus->setToolTip(
        QStringLiteral("What to do next, what your opponent did, or in red why a move is not allowed"));
    InstallHelpContext(lbStatus, hcStatusText);
    for (QLabel* p : {pnPCurrScore, pnPCurrMeld, pnCCurrScore, pnCCurrMeld, lbPlayerName, lbOpponentName, lbTarget})
        InstallHelpContext(p, hcScorePanels);
    // The captions between the panels and the gaps of the strip answer too.
    InstallHelpContext(area, hcScorePanels);
}

QString TfmCanMain::StatusText() const { return lbStatus->text(); }

QString TfmCanMain::SideLabel(bool player) const { return (player ? lbPlayerName : lbOpponentName)->text(); }
bool TfmCanMain::StatusIsError() const { return StatusError; }

QString TfmCanMain::PanelText(int panel) const {
    switch (panel) {
        case 0: return pnPCurrScore->text();
        case 1: return pnPCurrMeld->text();
        case 2: return pnCCurrScore->text();
        default: return pnCCurrMeld->text();
    }
}

void TfmCanMain::PlaceEndHandButton() {
    const QSize hint = bnEndHand->sizeHint();
    const int w = std::max(75, hint.width());
    const int h = std::max(25, hint.height());
    bnEndHand->resize(w, h);
    bnEndHand->move(View->width() - w - 10, 8);
}

void TfmCanMain::BuildCardImages() {
    tmImages.stop();
    Images.Build(QSize(Geometry.CardWidth, Geometry.CardHeight), CardBacks[0], CardBacks[1], devicePixelRatioF());
}

void TfmCanMain::FitMessageArea() {
    // Room for the account of the computer's turn above the instruction: a
    // narrow window wraps them into three lines, a wide one needs two. The
    // height follows the width only, so a new message never moves the table.
    QFont bold;
    bold.setBold(true);
    const int lines = (View ? View->width() : width()) < 1000 ? 3 : 2;
    const int height = lines * QFontMetrics(bold).lineSpacing() + 2;
    if (lbStatus->height() != height) lbStatus->setFixedHeight(height);
}

void TfmCanMain::TableResized() {
    if (!View) return;
    FitMessageArea();
    // Only the drawing changes: the cards keep their columns and depths.
    Geometry = FitLayout(View->width(), View->height());
    // What a saved game records: the largest preset the window holds.
    Geometry.SizeIndex = 0;
    for (int i = kSizeCount - 1; i > 0; --i)
        if (width() >= WindowSizeOf(i).Width && height() >= WindowSizeOf(i).Height) {
            Geometry.SizeIndex = i;
            break;
        }
    if (bnEndHand) PlaceEndHandButton();
    if (!Images.IsBuilt())
        BuildCardImages();
    else if (Images.CardSize() != QSize(Geometry.CardWidth, Geometry.CardHeight))
        tmImages.start();
    View->update();
}

void TfmCanMain::ToggleFullScreen() {
    if (isFullScreen())
        setWindowState(windowState() & ~Qt::WindowFullScreen);
    else
        setWindowState(windowState() | Qt::WindowFullScreen);
    mnFullScreen->setChecked(isFullScreen());
}

bool TfmCanMain::RestoreWindowPlace(const std::string& place) {
    const QStringList parts = QString::fromStdString(place).split(QLatin1Char(','));
    if (parts.size() != 5) return false;
    std::array<int, 5> v{};
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        v[static_cast<size_t>(i)] = parts[i].trimmed().toInt(&ok);
        if (!ok) return false;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // A size from a larger screen is cut to this one, a place off it moved onto it.
    const int w = std::clamp(v[2], minimumWidth(), std::max(minimumWidth(), area.width()));
    const int h = std::clamp(v[3], minimumHeight(), std::max(minimumHeight(), area.height()));
    const int x = std::clamp(v[0], area.left(), std::max(area.left(), area.right() + 1 - w));
    const int y = std::clamp(v[1], area.top(), std::max(area.top(), area.bottom() + 1 - h));
    move(x, y);
    resize(w, h);
    if (v[4] == 1) setWindowState(Qt::WindowMaximized);
    if (v[4] == 2) setWindowState(Qt::WindowFullScreen);
    return true;
}

std::string TfmCanMain::WindowPlaceText() const {
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    const int state = isFullScreen() ? 2 : isMaximized() ? 1 : 0;
    return QStringLiteral("%1,%2,%3,%4,%5")
        .arg(normal.x())
        .arg(normal.y())
        .arg(normal.width())
        .arg(normal.height())
        .arg(state)
        .toStdString();
}

void TfmCanMain::ApplySizeIndex(int s) {
    s = std::clamp(s, 0, kSizeCount - 1);
    const TWindowSize& ws = WindowSizeOf(s);
    if (s != AppliedSize || size() != QSize(ws.Width, ws.Height) || isFullScreen()) {
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
        resize(ws.Width, ws.Height);
        if (s != ScreenSizeClass) {
            if (QScreen* screen = this->screen()) {
                const QRect area = screen->availableGeometry();
                QPoint at = pos();
                const QSize outer = frameGeometry().size().expandedTo(QSize(ws.Width, ws.Height));
                if (at.x() + outer.width() > area.right() + 1)
                    at.setX(std::max(area.left(), area.right() + 1 - outer.width()));
                if (at.y() + outer.height() > area.bottom() + 1)
                    at.setY(std::max(area.top(), area.bottom() + 1 - outer.height()));
                if (at != pos()) move(at);
            }
        } else {
            setWindowState(Qt::WindowMaximized);
        }
        mnFullScreen->setChecked(false);
    }
    pnBottom->setVisible(Settings.ShowStatusbar);
    AppliedSize = s;
    // Only the drawing changes: the cards keep their columns and depths.
    TableResized();
    BuildCardImages();
    View->update();
}

void TfmCanMain::ApplyCardBacks(const TBackSetting& deck0, const TBackSetting& deck1) {
    CardBacks = {deck0, deck1};
    BuildCardImages();
    View->update();
}

void TfmCanMain::UpdateScorePanels() {
    TGame& S = Shown();
    // Whose turn it is stays in view: an arrow and bold type on that side.
    const bool going = S.TurnPhase != TTurnPhase::HandOver;
    const bool mine = going && !S.OpponentsTurn, theirs = going && S.OpponentsTurn;
    auto name = [](QLabel* l, const QString& text, bool toMove) {
        l->setText(toMove ? QStringLiteral("\u25B6 ") + text : text);
        QFont f = l->font();
        f.setBold(toMove);
        l->setFont(f);
    };
    name(lbPlayerName, QStringLiteral("You"), mine);
    name(lbOpponentName, QString::fromStdString(S.OpponentLabel()), theirs);
    pnPCurrScore->setText(QString::number(S.Seat(TSeat::Player).Score));
    pnCCurrScore->setText(QString::number(S.Seat(TSeat::Opponent).Score));
    pnCCurrMeld->setText(QString::number(S.Seat(TSeat::Opponent).MeldedPoints));
    const int counted = S.MeldedPoints(TSeat::Player, false);
    if (counted < S.Seat(TSeat::Player).MinimumMeld)
        pnPCurrMeld->setText(QStringLiteral("%1 (%2)").arg(counted).arg(S.Seat(TSeat::Player).MinimumMeld));
    else
        pnPCurrMeld->setText(QString::number(S.MeldedPoints(TSeat::Player, true)));
}

// ---- start-up and shut-down ----

void TfmCanMain::tmSplashTimer() {
    tmSplash.stop();
    if (fmSplash) {
        fmSplash->close();
        fmSplash->deleteLater();
        fmSplash = nullptr;
    }
    pnBottom->setVisible(Settings.ShowStatusbar);
    TableResized();
    BuildCardImages();
    // A saved game named on the command line, else the automatic save.
    LoadPending = false;
    const QString first = Options.Arguments.value(0);
    if (first.isEmpty()) {
        if (Settings.AutoSave) TestSavedGame(AutosaveFile());
    } else if (!first.contains(QLatin1String("/ip:")) && first != QLatin1String("/setup") &&
               first.contains(QLatin1String(".can"), Qt::CaseInsensitive)) {
        TestSavedGame(first);
    }
    PaintSuppressed = false;
    View->update();
    RunAction([this] {
        if (LoadPending) {
            PlaySound(TSoundEvent::Start);
            // A file that cannot be loaded leaves no table: a new one is dealt.
            if (!LoadGame()) G.DealHand();
        } else {
            G.DealHand(TSoundEvent::Start);
        }
    });
    Net->AfterSplash();
    StartedUp = true;
    ShowSettingsProblems();
    if (!Options.ScreenshotFile.isEmpty()) QTimer::singleShot(0, this, [this] { SaveScreenshot(); });
    // A saved game named on the command line is a player who knows the way.
    if (Options.Welcome && Options.ScreenshotFile.isEmpty() && Options.Arguments.isEmpty() && WelcomeWanted(&Store)) {
        auto* welcome = new TfmWelcome(&Store, this);
        fmWelcome = welcome;
        // In the top right corner of the table, where the opponent's side
        // stays empty in the first turns, not over the player's cards.
        welcome->adjustSize();
        const QPoint corner = View->mapToGlobal(QPoint(View->width(), 0));
        welcome->move(std::max(0, corner.x() - welcome->width() - 16), corner.y() + 8);
        welcome->show();
    }
}

QWidget* TfmCanMain::WelcomeWindow() const { return fmWelcome; }

void TfmCanMain::ReportSettingsProblem(const QString& message) {
    if (EndingBySignal) {
        std::fprintf(stderr, "canasta: %s\n", message.toLocal8Bit().constData());
        return;
    }
    SettingsProblems << message;
    if (StartedUp) ShowSettingsProblems();
}

void TfmCanMain::ShowSettingsProblems() {
    // A write failing while the box is up waits for it instead of stacking boxes.
    if (ShowingSettingsProblems) return;
    ShowingSettingsProblems = true;
    while (!SettingsProblems.isEmpty()) {
        const QString problem = SettingsProblems.takeFirst();
        // A screenshot run or a run without a screen must not wait on a box.
        if (NobodyToAnswer() || !Options.ScreenshotFile.isEmpty())
            std::fprintf(stderr, "canasta: %s\n", problem.toLocal8Bit().constData());
        else
            ShowWarning(this, Title(), problem);
    }
    ShowingSettingsProblems = false;
}

void TfmCanMain::QuitBySignal() {
    if (EndingBySignal) return;
    EndingBySignal = true;
    // What is moving finishes at once, open windows give way, nothing asks.
    PauseScale = 0;
    SoundSys->ExitWaitLimitMs = std::min(SoundSys->ExitWaitLimitMs, 500);
    EndModalWindows();
    for (const QString& problem : SettingsProblems)
        std::fprintf(stderr, "canasta: %s\n", problem.toLocal8Bit().constData());
    SettingsProblems.clear();
    // Closed from the event loop, once the windows that were open have returned.
    QTimer::singleShot(0, this, [this] { close(); });
}

void TfmCanMain::SaveScreenshot() {
    if (fmWhoseTurn) fmWhoseTurn->close();
    View->repaint();
    const bool ok = grab().save(Options.ScreenshotFile, "PNG");
    QCoreApplication::exit(ok ? 0 : 1);
}

bool TfmCanMain::FormCloseQuery() {
    if (G.Config.Networked) return Ask("You have a network game running. Are you sure you want to quit?");
    return true;
}

void TfmCanMain::closeEvent(QCloseEvent* e) {
    // A close that arrives while a window of the game is open waits for it;
    // cards still moving are put in place at once, and the game runs on to a
    // person's move, so what is saved is a whole turn.
    if (ShowRunning && !tmShow.isActive()) {
        CloseRequested = true;
        e->ignore();
        return;
    }
    if (Presenting() || Driver.HasPendingStep()) FinishPresentation();
    if (!EndingBySignal && !FormCloseQuery()) {
        e->ignore();
        return;
    }
    if (!SaveOnExit()) {
        e->ignore();
        return;
    }
    FormDestroy();
    e->accept();
    // Windows of their own (help, chat) must not keep the program alive.
    if (EndingBySignal) QCoreApplication::quit();
}

bool TfmCanMain::SaveOnExit() {
    // Closed before the table came up, the previous automatic save is still
    // the game to come back to. A game with a remote player is not kept: it
    // would come back as a game against the computer, holding the other
    // player's cards.
    if (PaintSuppressed) return true;
    if (!(Settings.AutoSave && G.GameInProgress && !G.QuitRequested && !G.Config.Networked)) {
        ForgetAutosave();
        return true;
    }
    std::string failure;
    // Melds that are not valid are not saved, silently: the previous file stays.
    if (SaveGame(true, &failure) || failure.empty()) return true;
    const QString text = QStringLiteral(
                             "Your game could not be saved for the next start:\n%1\n\n"
                             "Quit without saving, or stay and save the game elsewhere with Save...?")
                             .arg(QString::fromStdString(failure));
    if (EndingBySignal) {
        std::fprintf(stderr, "canasta: %s\n", text.toLocal8Bit().constData());
        return true;
    }
    QMessageBox box(QMessageBox::Warning, Title(), text, QMessageBox::Yes | QMessageBox::No, this);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Quit Without Saving"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Stay"));
    box.setDefaultButton(QMessageBox::No);
    return ExecModal(box) == QMessageBox::Yes;
}

void TfmCanMain::ForgetAutosave() {
    if (AutosaveOwned) QFile::remove(AutosaveFile());
    AutosaveOwned = false;
}

void TfmCanMain::FormDestroy() {
    tmSplash.stop();
    tmLED.stop();
    if (tmWhoseTurn.isActive()) tmWhoseTurnTimer();
    Net->Shutdown();
    SoundSys->BeginShutdown();
    CloseHelp();
    const int sizeIndex = AppliedSize < 0 ? Geometry.SizeIndex : AppliedSize;
    const QString resolution =
        QStringLiteral("%1,%2,%3").arg(x()).arg(y()).arg(QString::fromLatin1(WindowSizeOf(sizeIndex).Name));
    WriteString(&Store, settings::Resolution.Path, resolution.toStdString());
    // A window the user sized freely comes back as it was; a preset size as the preset.
    const TWindowSize& preset = WindowSizeOf(sizeIndex);
    const bool atPreset = !isFullScreen() && (size() == QSize(preset.Width, preset.Height) ||
                                              (sizeIndex == ScreenSizeClass && isMaximized()));
    WriteString(&Store, settings::WindowPlace.Path, atPreset ? std::string() : WindowPlaceText());
    SoundSys->FinishShutdown();
}

// ---- actions and the error boundary ----

void TfmCanMain::RunAction(const std::function<void()>& action) {
    ClearHighlights();
    ClearHint();
    Guarded(action);
    Advance();
}

void TfmCanMain::Guarded(const std::function<void()>& action) {
    QString message;
    TMsgKind kind = TMsgKind::Error;
    bool failed = false, abandoned = false;
    try {
        action();
    } catch (const THandAbandoned& e) {
        message = QString::fromUtf8(e.what());
        kind = e.Kind;
        failed = abandoned = true;
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
        failed = true;
    }
    if (!failed) return;
    // A hand given up says so in its own words; anything else gets the
    // notice that a new hand comes.
    RecoverFromError(abandoned ? message : message + QStringLiteral("\n\nA new hand will be dealt."), kind, true);
}

void TfmCanMain::RecoverFromError(const QString& message, TMsgKind kind, bool dealAgain) {
    ClearPresentation();
    FlashDraws = false;
    SetBusyCursor(false);
    Inform(message.toStdString(), kind);
    // The message is shown before the table changes.
    ShowQueued();
    if (!dealAgain) return;
    try {
        G.DealHand();
    } catch (const std::exception& e) {
        ShowError(this, Title(), QString::fromUtf8(e.what()));
    }
    View->update();
}

void TfmCanMain::AfterAction() {
    // "No" to another game, or a close that had to wait for a window.
    if (G.QuitRequested || CloseRequested) {
        CloseRequested = false;
        QTimer::singleShot(0, this, [this] { close(); });
    }
    Net->AfterAction();
}

// ---- status bar ----

void TfmCanMain::ShowStatus(const std::string& text) {
    PresentNow([this, text] {
        ErrorShown = 0;
        StatusError = false;
        lbStatus->setFont(QFont());
        lbStatus->setPalette(QPalette());
        Instruction = QString::fromStdString(Net ? Net->StatusFor(text) : text);
        ShowMessageArea();
        tmLED.stop();
    });
}

void TfmCanMain::ShowStatusError(const std::string& text) {
    PresentNow([this, text] {
        ErrorShown = 1;
        Beep();
        StatusError = true;
        QFont bold;
        bold.setBold(true);
        lbStatus->setFont(bold);
        QPalette red = lbStatus->palette();
        red.setColor(QPalette::WindowText, Qt::red);
        lbStatus->setPalette(red);
        lbStatus->setText(QString::fromStdString(text));
        tmLED.start();
    });
}

void TfmCanMain::tmLEDTimer() {
    tmLED.stop();
    if (!StatusError) return;
    StatusError = false;
    lbStatus->setFont(QFont());
    lbStatus->setPalette(QPalette());
}

void TfmCanMain::DisplayHint(const QString& hint) {
    lbStatus->setFont(QFont());
    lbStatus->setPalette(QPalette());
    StatusError = false;
    tmLED.stop();
    // The connection's state is news of its own: what happened at the table before is past.
    Notes.clear();
    Instruction = hint;
    lbStatus->setText(hint);
    HintShown = true;
}

bool TfmCanMain::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        // Leaving a menu item sends an empty tip: the hint stays until the
        // mouse is back over the table.
        const QString tip = static_cast<QStatusTipEvent*>(e)->tip();
        if (!tip.isEmpty()) DisplayHint(tip);
        return true;
    }
    return QMainWindow::event(e);
}

namespace {

bool IsEscapeKey(const QEvent* e) {
    return (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease ||
            e->type() == QEvent::ShortcutOverride) &&
           static_cast<const QKeyEvent*>(e)->key() == Qt::Key_Escape;
}

}  // namespace

bool TfmCanMain::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        if (CardKeyWins(static_cast<QKeyEvent*>(e)->key())) {
            e->accept();
            return true;
        }
        // While connected, letters are typed into the chat: H is a letter there.
        const auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_H && k->modifiers() == Qt::NoModifier && Net && Net->TypesIntoChat()) {
            e->accept();
            return true;
        }
    }
    switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
            // Input meant for a table that is still being shown is dropped:
            // it was aimed at cards that have moved since. While the Master
            // only thinks nothing has moved, and Esc still leaves full screen.
            if (Presenting() && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this &&
                !(Thinking() && !ShowRunning && Shows.empty() && IsEscapeKey(e))) {
                // A card being dragged goes home.
                if (e->type() == QEvent::MouseButtonRelease) CancelDrag();
                return true;
            }
            break;
        default: break;
    }
    if (e->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->window() == this) {
            auto* k = static_cast<QKeyEvent*>(e);
            const TKeyUse use = FormKeyDown(k->key(), k->modifiers());
            // In a network game the other keys, card keys too, are typed
            // into the chat as well.
            if (use != kuCommand && Net && Net->ForwardKeyToChat(*k)) return true;
            if (use != kuNone) return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

// ---- game host ----

void TfmCanMain::Beep() { QApplication::beep(); }

void TfmCanMain::Inform(const std::string& text, TMsgKind kind) {
    TShowStep step;
    step.Kind = TShowStep::TKind::Window;
    step.Table = TableCopy();
    step.Do = [this, t = QString::fromStdString(text), kind] {
        switch (kind) {
            case TMsgKind::Information: ShowInformation(this, Title(), t); break;
            case TMsgKind::Warning: ShowWarning(this, Title(), t); break;
            case TMsgKind::Error: ShowError(this, Title(), t); break;
        }
    };
    Present(std::move(step));
}

void TfmCanMain::Notice(const std::string& text) {
    PresentNow([this, t = QString::fromStdString(text)] { AddNote(t); });
}

bool TfmCanMain::Ask(const std::string& question) { return AskYesNo(this, Title(), QString::fromStdString(question)); }

void TfmCanMain::Invalidate(TRegion) {
    // The whole table is cheap to paint; the score panels follow the paint.
    View->update();
}

void TfmCanMain::SetBusyCursor(bool busy) {
    if (busy && !HourglassShown) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        HourglassShown = true;
    } else if (!busy && HourglassShown) {
        QApplication::restoreOverrideCursor();
        HourglassShown = false;
    }
}

void TfmCanMain::PlaySound(TSoundEvent event) {
    PresentNow([this, event] { SoundSys->PlaySoundEvent(event); });
}

// The other side hears of a move at once, whatever this side still shows.
void TfmCanMain::MoveMade(const TMoveReport& move) {
    if (move.Seat != TSeat::Player) return;
    const auto [token, fields] = MoveToken(move, G);
    Net->SendToken(token, fields);
}

void TfmCanMain::SetUndoEnabled(bool enabled) {
    PresentNow([this, enabled] {
        mnUndoMeld->setEnabled(enabled);
        mnUndoAll->setEnabled(enabled);
    });
}

void TfmCanMain::SetEndHandVisible(bool visible) {
    PresentNow([this, visible] { bnEndHand->setVisible(visible); });
}
void TfmCanMain::SetEndHandEnabled(bool enabled) {
    PresentNow([this, enabled] { bnEndHand->setEnabled(enabled); });
}
void TfmCanMain::SetRulesHint(const std::string& hint) {
    PresentNow([this, hint] { mnRules->setStatusTip(LongHint(hint)); });
}

void TfmCanMain::ShowWhoseTurn(const std::string& text) {
    PresentNow([this, text] {
        if (!isActiveWindow()) return;
        if (tmWhoseTurn.isActive()) tmWhoseTurnTimer();
        fmWhoseTurn = new TfmWhoseTurn(QString::fromStdString(text), this);
        fmWhoseTurn->show();
        tmWhoseTurn.start();
    });
}

bool TfmCanMain::WhoseTurnShown() const { return fmWhoseTurn && fmWhoseTurn->isVisible(); }

void TfmCanMain::tmWhoseTurnTimer() {
    tmWhoseTurn.stop();
    if (fmWhoseTurn) fmWhoseTurn->close();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && IsResultWindow(w)) w->raise();
}

void TfmCanMain::ShowHandResult(const THandResult& result) {
    TShowStep step;
    step.Kind = TShowStep::TKind::Window;
    step.Table = TableCopy();
    step.Do = [this, result] {
        TfmScore dialog(
            result, [this, &result] { ShowDetails(result); }, this);
        ExecModal(dialog);
    };
    Present(std::move(step));
}

void TfmCanMain::ShowDetails(const THandResult& result) {
    // In a local game the computer's hand is laid open while the details show.
    TGame& shown = Shown();
    std::array<bool, kDeckSize> faceUp{};
    const bool reveal = !shown.Config.Networked;
    if (reveal) {
        for (int i = 0; i < shown.Seat(TSeat::Opponent).Hand.Count; ++i) {
            faceUp[static_cast<size_t>(i)] = shown.Seat(TSeat::Opponent).Hand.Cards[static_cast<size_t>(i)].FaceUp;
            shown.Seat(TSeat::Opponent).Hand.Cards[static_cast<size_t>(i)].FaceUp = true;
        }
        View->repaint();
    }
    TfmDetails details(result, this);
    ExecModal(details);
    if (reveal) {
        for (int i = 0; i < shown.Seat(TSeat::Opponent).Hand.Count; ++i)
            shown.Seat(TSeat::Opponent).Hand.Cards[static_cast<size_t>(i)].FaceUp = faceUp[static_cast<size_t>(i)];
        View->repaint();
    }
}

void TfmCanMain::HandFinished(const THandResult& result) {
    // Counted when the game says so, not when the result is shown: a window
    // closed meanwhile does not lose the hand. A bot's games are not the player's.
    if (!Net->Autoplaying())
        PlayerList.RecordHand(&Store, OpponentKey(G.Config.Level, G.Config.Networked), result.Player.Total,
                              result.Opponent.Total);
    TShowStep step;
    step.Kind = TShowStep::TKind::Window;
    step.Do = [this, result] {
        Net->HandFinished(result);
        // A new game-over: the name is asked for at most once for the hand and the match.
        HighScoreNameAsked = false;
        HighScoreName = result.PlayerName;
        EnterHighScore(hsHand, result.Difference, result.OpponentName);
    };
    Present(std::move(step));
}

std::optional<bool> TfmCanMain::ShowMatchResult(const TMatchResult& result) {
    TShowStep step;
    step.Kind = TShowStep::TKind::Window;
    step.Do = [this, result] {
        TfmGameOver dialog(result, G.Config.Networked, this);
        // Only "No" ends the program; closing the window plays on.
        const bool again = ExecModal(dialog) != TfmGameOver::No;
        if (!again) ForgetAutosave();
        Guarded([this, again] { Driver.AnswerAnotherMatch(again); });
    };
    Present(std::move(step));
    return std::nullopt;
}

void TfmCanMain::MatchFinished(const TMatchResult& result) {
    if (!Net->Autoplaying())
        PlayerList.RecordMatch(&Store, OpponentKey(G.Config.Level, G.Config.Networked), result.PlayerScore,
                               result.OpponentScore);
    TShowStep step;
    step.Kind = TShowStep::TKind::Window;
    step.Do = [this, result] {
        EnterHighScore(hsMatch, result.Difference, result.OpponentName);
        PlayerList.RecordMatchResult(&Store, result.PlayerScore, result.OpponentScore);
    };
    Present(std::move(step));
}

int TfmCanMain::HighScoreLevel() const {
    if (G.Config.Networked) return 3;
    return G.Config.Level == 3 ? 4 : std::clamp(G.Config.Level, 0, 2);
}

bool TfmCanMain::EnterHighScore(int kind, int margin, const std::string& opponentName) {
    class TUi : public IHighScoreUi {
    public:
        explicit TUi(TfmCanMain& w) : W(w) {}
        bool ShowHighScores() override { return W.Settings.ShowHighscores; }
        void PlayHighScoreSound() override {
            W.PlaySound(TSoundEvent::Highscore);
            SoundPlayed = true;
        }
        bool AskName(const std::string& caption, const std::string& prompt, std::string& name) override {
            QString text = QString::fromStdString(name);
            // An emptied box keeps the name it showed.
            if (!AskText(&W, QString::fromStdString(caption), QString::fromStdString(prompt), text, hcHallNameBox) ||
                text.trimmed().isEmpty())
                return false;
            name = text.trimmed().toStdString();
            return true;
        }
        void ShowHallOfFame(int level, int kind, int boldRow) override {
            TfmHighScores dialog(W.HighScoreTables, &W.Store, level, kind, boldRow, &W);
            ExecModal(dialog);
        }
        std::string Today() override {
            return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
        }

        bool SoundPlayed = false;

    private:
        TfmCanMain& W;
    } ui(*this);
    HighScoreTables.Enter(&Store, ui, HighScoreLevel(), kind, margin, HighScoreName, opponentName, HighScoreNameAsked);
    return ui.SoundPlayed;
}

// ---- menu items ----

void TfmCanMain::mnNewClick() {
    if (Presenting()) return;
    if (G.Config.Networked) {
        if (!Ask("You have a network game running. Are you sure you want to start a new game?")) return;
    } else if (!MatchMayEnd(QStringLiteral("start a new game"))) {
        return;
    }
    RunAction([this] { G.NewGame(); });
}

bool TfmCanMain::MatchMayEnd(const QString& doing) {
    if (!G.GameInProgress) return true;
    // The scores as the panels show them.
    const QString standing =
        QStringLiteral("A match is in progress: you have %1 points, %2 has %3.")
            .arg(QString::number(G.Seat(TSeat::Player).Score), QString::fromStdString(G.OpponentLabel()),
                 QString::number(G.Seat(TSeat::Opponent).Score));
    // Between the turns of the other side or hands a saved file could not be
    // played on: then the only choice is to go on or not.
    if (G.OpponentsTurn || G.TurnPhase == TTurnPhase::HandOver)
        return AskYesNo(this, Title(), standing + QStringLiteral("\nDo you want to end it and %1?").arg(doing));
    switch (AskToSave(this, Title(), standing + QStringLiteral("\nDo you want to save it before you %1?").arg(doing))) {
        case TSaveAnswer::DontSave: return true;
        case TSaveAnswer::Cancel: return false;
        case TSaveAnswer::Save: return SaveGame(false);
    }
    return false;
}

void TfmCanMain::mnUndoMeldClick() {
    if (Presenting()) return;
    RunAction([this] { ApplyMove(G, {TMoveType::UndoMeld}); });
}

void TfmCanMain::mnUndoAllClick() {
    if (Presenting()) return;
    RunAction([this] { ApplyMove(G, {TMoveType::UndoAll}); });
}

void TfmCanMain::bnEndHandClick() {
    if (Presenting() || G.OpponentsTurn) return;
    RunAction([this] { ApplyMove(G, {TMoveType::EndHand}); });
}

void TfmCanMain::mnRulesClick() {
    TfmRules dialog(&Store, G.Rules, G.GameInProgress, RulesPage, this);
    const int result = ExecModal(dialog);
    RulesPage = dialog.Page();
    if (result != QDialog::Accepted) return;
    const TRuleOptions chosen = dialog.Options();
    const bool frozenChanged = chosen.InitiallyFrozen != G.Rules.InitiallyFrozen;
    G.Rules = chosen;
    Settings.Rules = chosen;
    Net->RulesChanged();
    // In a network game the pile belongs to both copies: it stays as dealt.
    if (frozenChanged && !G.Config.Networked) {
        G.PileFrozen = chosen.InitiallyFrozen;
        View->update();
    }
}

void TfmCanMain::mnDecksClick() {
    TfmDeck dialog(
        &Store, CardBacks, [this](const TBackSetting& a, const TBackSetting& b) { ApplyCardBacks(a, b); }, this);
    if (ExecModal(dialog) == QDialog::Accepted) ApplyCardBacks(dialog.Back(0), dialog.Back(1));
}

void TfmCanMain::mnAboutClick() {
    SoundSys->PlayFile("about.wav");
    QMessageBox box(
        QMessageBox::NoIcon, QStringLiteral("About Canasta"),
        QStringLiteral("<b>Canasta</b><br>Version ") + QLatin1String(kReleaseVersion) +
            QStringLiteral("<br><br>Two-handed Canasta with two decks and four jokers, "
                           "played to 5000 points.<br>Written by the Canasta team.<br><br>"
                           "Canasta is free software: you may share and change it under the GNU General Public "
                           "License, version 3 or later (GPL-3.0-or-later), with no warranty. Its card art, icons, "
                           "sounds, music and help are the team's own work under the same licence.<br><br>"
                           "This program uses:<br>"
                           "Qt 6 &ndash; GNU Lesser General Public License 3.0 (LGPL-3.0)<br>"
                           "SDL2_mixer &ndash; zlib licence<br>"
                           "TimGM6mb sound font &ndash; GNU General Public License 2.0 (GPL-2.0)<br>"
                           "SQLite &ndash; public domain"),
        QMessageBox::Ok, this);
    box.setIconPixmap(QPixmap::fromImage(ProgramIconImage(64)));
    ExecModal(box);
}

void TfmCanMain::mnHiscoresClick() {
    TfmHighScores dialog(HighScoreTables, &Store, HighScoreLevel(), hsHand, 0, this);
    ExecModal(dialog);
}

void TfmCanMain::mnWinRatioClick() { ShowWinRatio(this, PlayerList, &Store); }

void TfmCanMain::mnSoundClick() {
    TfmSound dialog(*SoundSys, this);
    InstallSoundDialogHelp(dialog);
    ExecModal(dialog);
}

int TfmCanMain::LargestSize() const {
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return 0;
    const QRect area = s->availableGeometry();
    // The frame around the window (title bar, borders) needs room too.
    const QSize frame = isVisible() ? frameGeometry().size() - geometry().size() : QSize(0, 0);
    for (int i = kSizeCount - 1; i > 0; --i) {
        const TWindowSize& ws = WindowSizeOf(i);
        if (ws.Width + frame.width() <= area.width() && ws.Height + frame.height() <= area.height()) return i;
    }
    return 0;
}

void TfmCanMain::mnCustomizeClick() {
    if (Presenting()) return;
    TPreferences prefs;
    prefs.BackgroundColor = static_cast<uint32_t>(Settings.BackgroundColor);
    prefs.SizeIndex = AppliedSize < 0 ? Geometry.SizeIndex : AppliedSize;
    prefs.ShowStatusbar = Settings.ShowStatusbar;
    prefs.ShowTurns = Settings.ShowTurns;
    prefs.ShowHighscores = Settings.ShowHighscores;
    prefs.Level = Settings.LevelIndex();
    prefs.Aggression = Settings.Aggression;
    prefs.DoubleRightClick = !Settings.SingleRightClick();
    prefs.Delay = Settings.Delay;
    prefs.CardMovement = Settings.CardMovement;
    prefs.CardSpeed = Settings.CardSpeed;
    prefs.AutoSave = Settings.AutoSave;

    TfmCustomize::TContext context;
    context.Store = &Store;
    context.LargestSize = LargestSize();
    context.GameInProgress = G.GameInProgress;
    context.Networked = G.Config.Networked;
    context.AutosavePath = AutosaveFile().toStdString();
    context.ActiveTab = &CustomizeTab;
    // OK and Apply have stored everything: the table takes the values over.
    context.Relayout = [this, &prefs] {
        Settings.BackgroundColor = static_cast<int32_t>(prefs.BackgroundColor);
        TableColor = ColorFromColorRef(prefs.BackgroundColor);
        Settings.ShowStatusbar = prefs.ShowStatusbar;
        Settings.ShowTurns = prefs.ShowTurns;
        Settings.ShowHighscores = prefs.ShowHighscores;
        Settings.Level = settings::LevelNames[static_cast<size_t>(std::clamp(prefs.Level, 0, 3))];
        Settings.Aggression = prefs.Aggression;
        Settings.MouseOptions = prefs.DoubleRightClick ? settings::DoubleRightClick : settings::SingleRightClick;
        Settings.Delay = prefs.Delay;
        Settings.CardMovement = prefs.CardMovement;
        Settings.CardSpeed = prefs.CardSpeed;
        Settings.AutoSave = prefs.AutoSave;

        if (!G.Config.Networked && G.Levels[static_cast<size_t>(std::clamp(prefs.Level, 0, 3))])
            G.Config.Level = std::clamp(prefs.Level, 0, 3);
        G.Config.Aggression = prefs.Aggression;
        G.Config.MeldDelay = prefs.Delay;
        G.Config.ShowTurns = prefs.ShowTurns;
        if (G.Config.DoubleRightClick != prefs.DoubleRightClick) {
            LastRightClicked = -1;
            RightClickCount = 0;
        }
        G.Config.DoubleRightClick = prefs.DoubleRightClick;
        RightClicksRequired = prefs.DoubleRightClick ? 1 : 0;
        G.Config.PlayerName = PlayerList.CurrentName();

        ApplySizeIndex(prefs.SizeIndex);
        pnBottom->setVisible(Settings.ShowStatusbar);
        UpdateScorePanels();
        View->update();
    };
    TfmCustomize dialog(prefs, PlayerList, context, this);
    ExecModal(dialog);
}

// ---- saved games ----

void TfmCanMain::mnSaveClick() {
    if (Presenting() || PaintSuppressed || G.OpponentsTurn || G.TurnPhase == TTurnPhase::HandOver) return;
    SaveGame(false);
}

void TfmCanMain::mnLoadClick() {
    if (Presenting() || PaintSuppressed || G.Config.Networked) return;
    if (!MatchMayEnd(QStringLiteral("load another game"))) return;
    LoadPending = false;
    RunAction([this] { LoadGame(); });
}

bool TfmCanMain::SaveGame(bool automatic, std::string* failure) {
    if (!automatic && G.PileTakeUndoable) {
        ShowInformation(this, Title(), QStringLiteral("A game cannot be saved while taking the discard pile"));
        return false;
    }
    TSavedGame saved = CaptureSavedGame(G, Geometry.SizeIndex, CardSpacing);
    // The automatic save leaves the previous file as it was.
    if (!G.ValidateTurnMelds(TSeat::Player, G.TopCardPending)) {
        if (!automatic)
            ShowInformation(this, Title(),
                            QStringLiteral("This game cannot be saved now because your meld is incorrect"));
        // Told to end in the middle of a turn, nobody can put the melds
        // right: the game is kept with this turn's melds taken back.
        if (!automatic || !EndingBySignal || !MeldsTakenBack(saved)) return false;
    }
    QString path;
    if (automatic) {
        path = AutosaveFile();
    } else {
        QFileDialog dialog(this, QStringLiteral("Save Canasta Game"), QString::fromStdString(DataFolder()),
                           kGameFilter);
        dialog.setObjectName(QStringLiteral("SaveDialog1"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("can"));
        dialog.selectFile(QString::fromStdString(ProposedSaveName(G.Config.PlayerName)));
        if (ExecModal(dialog) != QDialog::Accepted) return false;
        path = dialog.selectedFiles().value(0);
        if (path.isEmpty()) return false;
    }
    const std::string bytes = FormatSavedGame(saved, ScrambleNumber);
    std::string error;
    if (!WriteFileAtomically(QFile::encodeName(path).toStdString(), bytes, error)) {
        if (!automatic) ShowError(this, Title(), QString::fromStdString(error));
        if (failure) *failure = error;
        return false;
    }
    if (IsAutosave(path)) AutosaveOwned = true;
    LoadPending = false;
    return true;
}

bool TfmCanMain::MeldsTakenBack(TSavedGame& out) const {
    THeadlessHost host;
    TGame scratch(host, G.Rules, G.Config);
    static_cast<TGameState&>(scratch) = G.State();
    scratch.HandNumber = G.HandNumber;
    try {
        scratch.UndoAll();
        // A take of the pile still waiting for its top card's meld is kept
        // as it is: taking it back would cost the player 50 points.
        if (!scratch.ValidateTurnMelds(TSeat::Player, scratch.TopCardPending) && !scratch.PileTakeUndoable)
            return false;
    } catch (const std::exception&) {
        return false;
    }
    out = CaptureSavedGame(scratch, Geometry.SizeIndex, CardSpacing);
    // Checked as a load would check it.
    return CheckSavedGame(out, G).Status == TLoadStatus::Ok;
}

bool TfmCanMain::TestSavedGame(const QString& path) {
    // Read without ever blocking: a named pipe or a device is refused unread.
    std::string bytes;
    const TFileRead read = ReadSavedGameFile(QFile::encodeName(path).toStdString(), bytes);
    if (read == TFileRead::Missing) return false;
    if (read != TFileRead::Ok || !HasSavedGameHeader(bytes)) {
        ShowInformation(this, Title(), path.toUpper() + QStringLiteral(" : this file is not a Canasta saved game"));
        return false;
    }
    PendingLoad = path;
    LoadPending = true;
    return true;
}

bool TfmCanMain::LoadGame() {
    if (!LoadPending) {
        QFileDialog dialog(this, QStringLiteral("Load Canasta Game"), QString::fromStdString(DataFolder()),
                           kGameFilter);
        dialog.setObjectName(QStringLiteral("OpenDialog1"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(QStringLiteral("can"));
        if (ExecModal(dialog) != QDialog::Accepted) return false;
        const QString chosen = dialog.selectedFiles().value(0);
        if (chosen.isEmpty()) return false;
        if (!TestSavedGame(chosen)) return false;
    }
    LoadPending = false;
    const QString path = PendingLoad;
    std::string bytes;
    TLoadResult result;
    TSavedGame loaded;
    if (!ReadWholeFile(QFile::encodeName(path).toStdString(), bytes))
        result = {TLoadStatus::Corrupt, "the file cannot be read"};
    else
        result = LoadSavedGame(G, bytes, &loaded);
    switch (result.Status) {
        case TLoadStatus::Ok: break;
        case TLoadStatus::NotASavedGame:
            ShowInformation(this, Title(), path.toUpper() + QStringLiteral(" : this file is not a Canasta saved game"));
            return false;
        case TLoadStatus::WrongVersion:
            ShowError(this, Title(), QStringLiteral("Version error. This file cannot be read by Canasta."));
            return false;
        case TLoadStatus::Corrupt:
            // The table stays as it was.
            ShowError(
                this, Title(),
                QStringLiteral("This file is damaged and cannot be loaded: ") + QString::fromStdString(result.Detail));
            return false;
    }
    if (IsAutosave(path)) AutosaveOwned = true;
    CardSpacing = loaded.OpponentHandPitch;
    // What the window and the computer kept about the previous table goes.
    for (IComputerLevel* level : G.Levels)
        if (level) level->NewHand(G);
    LoadedGame = true;
    LoadedHandNumber = G.HandNumber;
    TurnLog.Reset();
    KeyMode = 0;
    LastRightClicked = -1;
    RightClickCount = 0;
    if (tmWhoseTurn.isActive()) tmWhoseTurnTimer();
    SetRulesHint(G.GameInProgress ? kRulesHintLocked : kRulesHintOpen);
    UpdateScorePanels();
    if (!PaintSuppressed) View->update();
    return true;
}

}  // namespace canasta
