// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table window: owns the game, paints the table, turns mouse and keys into
// game operations, and shows what the game core asks for (status texts,
// animations, message boxes, result windows).
#include <QFont>
#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "Version.h"
#include "ai/Hint.h"
#include "ai/Levels.h"
#include "model/Game.h"
#include "model/GameHost.h"
#include "model/Settings.h"
#include "rules/Driver.h"
#include "rules/Moves.h"
#include "rules/TurnAccount.h"
#include "store/HighScores.h"
#include "store/Players.h"
#include "store/SavedGame.h"
#include "store/SettingsCatalog.h"
#include "cardart/CardArt.h"

class QAction;
class QLabel;
class QThread;
class QMenu;
class QPushButton;

namespace canasta {

class TSoundSystem;
class TfmSplash;
class TfmMoveLog;
class TfmWhoseTurn;
class TTableView;
class TTableNetwork;

inline constexpr const char* kProgramTitle = kReleaseTitle;

struct TStartOptions {
    // A size index that wins over the stored one and over the screen's size
    // class (for screenshots); -1 = use the stored size.
    int ForcedSize = -1;
    // Save the window as PNG once the first hand is painted, then quit.
    QString ScreenshotFile;
    // Start-up step after the splash; tests run it themselves.
    int SplashMs = 2000;
    // The program's parameters: a saved game (".can") to load instead of the automatic save.
    QStringList Arguments;
    // The welcome window may open after the first deal (when the player has
    // not turned it off). Off unless asked for, so that tests, screenshots
    // and scripted runs never meet it; a saved game named in Arguments or a
    // screenshot keeps it closed too.
    bool Welcome = false;
};

// What the table window works with but does not own: the program builds it
// before the window, from the settings read at start-up, and keeps it after.
struct TTableParts {
    ISettingsStore& Store;
    // The game, and the relay it reports through: the window attaches itself
    // while it lives.
    TGame& Game;
    TGameHostRelay& GameRelay;
    TAppSettings& Settings;
    TComputerLevels& ComputerLevels;
    TPlayers& Players;
    THighScores& HighScores;
    TSoundSystem& Sound;
};

// The automatic save in the data folder.
QString AutosaveFile();

// Screen size class of a screen width: 4 for wider than 1280, else the size
// index the screen just holds (a narrower screen than 640 keeps 0).
int ScreenSizeClassOf(int screenWidth);

// Parsed "Settings\Resolution" value.
struct TResolution {
    int Left = 0, Top = 0, SizeIndex = 0;
};
// Reads "left,top,size name": positions outside the screen class's window
// size become 0, an unknown name is size 0, an index above the class is lowered.
// For class 4 the limits are the screen's own width and height.
TResolution ParseResolution(const std::string& text, int screenClass, int screenWidth, int screenHeight);

// How long a card's move over that distance takes at a card speed (0 slow ..
// 10 fast, the default) in milliseconds; 0 for a move too short to show.
// A move across the table takes about 300 ms at the default, 1.2 s at the
// slowest; shorter moves take less, longer ones a little more.
int MoveDurationMs(double distance, int cardSpeed);
// Where a moving card is at time t (0..1) of its move: it starts and ends
// gently, so the eye can follow it.
double EaseInOut(double t);

// What the moves shown so far took (for measuring the pace).
struct TMovePace {
    int Moves = 0;
    int Frames = 0;
    int64_t Milliseconds = 0;
};

// Font of the canasta labels for a table size, card width and table scale.
QFont CanastaLabelFont(int sizeIndex, int cardWidth, double scale = 1.0);
// Font of the pile counts for a layout.
QFont PileCountFont(const TableLayout& layout);

class TfmCanMain : public QMainWindow, public GameHost {
    Q_OBJECT
public:
    explicit TfmCanMain(const TTableParts& parts, TStartOptions options = {}, QWidget* parent = nullptr);
    ~TfmCanMain() override;

    TGame& Game() { return G; }
    const TAppSettings& AppSettings() const { return Settings; }
    QWidget* Table() const;
    QPushButton* EndHandButton() const { return bnEndHand; }
    const TCardImages& CardImages() const { return Images; }
    int SizeIndex() const { return AppliedSize; }
    // The table's geometry at the current window size, and the pitch of the
    // opponent's hand row (the CardSpacing setting, 10 or 12).
    const TableLayout& TableGeometry() const { return Geometry; }
    int OpponentHandPitch() const { return CardSpacing; }
    // Top-left corner of a card of that area as the table draws it.
    TPoint CardPoint(TArea area, const TCard& card) const;
    int ScreenClass() const { return ScreenSizeClass; }
    // Still showing what the game did (a card moving, a pause, a result
    // window): the table takes no moves until it is done.
    bool IsBusy() const { return Presenting(); }
    const TMovePace& MovePace() const { return Pace; }

    // Status bar as shown.
    QString StatusText() const;
    QLabel* StatusLabel() const { return lbStatus; }
    // The labels of the score panel: each side's name (with the arrow of the
    // side to move) and the target.
    QString SideLabel(bool player) const;
    bool StatusIsError() const;
    bool HintIsShown() const { return HintShown; }
    QString PanelText(int panel) const;  // 0 player score, 1 player meld, 2 opponent score, 3 opponent meld

    QAction* NewAction() const { return mnNew; }
    QAction* UndoMeldAction() const { return mnUndoMeld; }
    QAction* UndoAllAction() const { return mnUndoAll; }
    QAction* RulesAction() const { return mnRules; }
    QAction* DecksAction() const { return mnDecks; }
    QAction* LoadAction() const { return mnLoad; }
    QAction* SaveAction() const { return mnSave; }
    QAction* HiscoresAction() const { return mnHiscores; }
    QAction* WinRatioAction() const { return mnWinRatio; }
    QAction* CustomizeAction() const { return mnCustomize; }
    QAction* SoundAction() const { return mnSound; }
    QAction* ExitAction() const { return mnExit; }
    QAction* FullScreenAction() const { return mnFullScreen; }
    QAction* AboutAction() const { return mnAbout; }
    QAction* HelpTopicsAction() const { return mnHelpTopics; }
    QAction* HintAction() const { return mnHint; }

    // ---- drag and drop, and the hint (DragDrop.cpp) ----
    // Where a card of the hand dropped at a point would go: the move it
    // makes (None for a place that takes no card), whether the rules take
    // it, and why not.
    struct TDropTarget {
        enum class TKind { None, Pile, Column, NewMeld, WrongColumn } Kind = TKind::None;
        TMove Move;
        int Column = 0;
        bool Legal = false;
        QString Why;
    };
    TDropTarget DropTargetAt(int handIndex, QPoint at, Qt::KeyboardModifiers mods) const;
    // The mouse on the table: a press on a card of the hand may become a
    // drag once it moves past the drag distance; a release that is no drop
    // is a click, as it always was.
    void FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y);
    // Returns true when the move belonged to a drag.
    bool FormDragMove(Qt::KeyboardModifiers mods, int x, int y);
    // Returns true when the release ended a drag (a drop).
    bool FormDrop(Qt::KeyboardModifiers mods, int x, int y);
    bool Dragging() const { return Drag.Active; }
    // The card being dragged goes home untouched (Esc, or the table moved on).
    void CancelDrag();
    bool SpringingBack() const { return Spring.Active; }
    // The places lit while dragging (valid targets) and the hovered one.
    std::vector<QRect> DragTargetRects() const;
    std::optional<TDropTarget> HoveredTarget() const;
    // Where a column of the player's table is lit (its cards, or the place of
    // its first card).
    QRect ColumnRectOf(int column) const { return ColumnRect(column); }
    // Asks for the hint (H): computed off the GUI thread on a copy; shown
    // when it comes back unless the position changed meanwhile.
    void RequestHint();
    bool HintPending() const;
    // The hint on the table now (until the player acts), if any.
    std::optional<THint> ShownHint() const;
    // Waits for a hint being computed and shows it (tests).
    void WaitForHint();

    // ---- the other side's turn told and marked, the move log (TurnReport.cpp) ----
    // What the computer's (or the network opponent's) last turn did, in words.
    QString LastTurnAccount() const;
    // The places of the cards that turn melded and discarded, marked on the
    // table until the player's next action.
    std::vector<TCardPlace> HighlightedPlaces() const;
    // The move log of this hand, one line per turn of either side.
    QStringList MoveLogLines() const;
    QAction* MoveLogAction() const { return mnMoveLog; }
    TfmMoveLog* MoveLogWindow() const;

    TSoundSystem& Sound() { return *SoundSys; }
    TPlayers& Players() { return PlayerList; }
    THighScores& HighScores() { return HighScoreTables; }
    QColor TableColour() const { return TableColor; }
    // Set by a load, cleared by the next deal: the computer's hand stays hidden.
    bool GameLoaded() const { return LoadedGame && G.HandNumber == LoadedHandNumber; }
    // Level index of the high-score lists: the computer level, 3 in a network game.
    int HighScoreLevel() const;

    // ---- table ----
    void FormPaint(QPainter& p);
    // What a click at x, y hits; index is the card's list index.
    enum class THitArea { None, Stock, Pile, NaturalInHand, TableCard, ThreesColumn, WildInHand };
    THitArea HitTest(int x, int y, int& index);
    void FormMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y);
    void FormMouseMove();
    // What a card key of the keyboard selection stands for, as a click at that
    // column would find it.
    THitArea KeyTarget(int column, int& index);
    // Returns whether the key was used.
    // What a key did on the table: nothing, a card key of the keyboard
    // selection, or one of the table's command keys (F5 to F11, Esc).
    enum TKeyUse { kuNone, kuCardKey, kuCommand };
    TKeyUse FormKeyDown(int key, Qt::KeyboardModifiers mods);
    // Sets the window to one of the four preset sizes (the Customize dialog's choice).
    void ApplySizeIndex(int sizeIndex);
    // The table's area changed size: the layout follows, the card images are
    // drawn afresh at the new card size once the size has settled.
    void TableResized();
    void FitMessageArea();
    void ToggleFullScreen();
    void ApplyCardBacks(const TBackSetting& deck0, const TBackSetting& deck1);
    // While cards are chosen by keyboard a card key is a card key, Ctrl
    // included: Ctrl+Q melds up to three queens there, it does not quit.
    bool CardKeyWins(int key) const;
    const std::array<TBackSetting, 2>& Backs() const { return CardBacks; }
    // The opponent's hand row position of a card of Seat(TSeat::Opponent).Hand (sorted by rank).
    int OpponentRowX(const TCard& card) const;

    // The start-up step after the splash: layout, card images, first deal.
    void tmSplashTimer();
    // Why the pile is frozen for the player (empty when it is not).
    QString FrozenReason(const TGame& game) const;
    // The tooltip of the table at that point: the stock, the pile and why it
    // is frozen, or nothing.
    QString TableToolTip(QPoint at) const;
    // The areas of the table, for its tooltips and What's This.
    enum class TTableArea { None, Stock, Pile, Hand, Melds, RedThrees, OpponentMelds, OpponentRedThrees, OpponentHand };
    TTableArea TableAreaAt(QPoint at) const;
    // The What's This text of the table at that point (rich text with a link
    // to the help), empty off the areas.
    QString TableWhatsThis(QPoint at) const;
    // The welcome window while it is open.
    QWidget* WelcomeWindow() const;
    // Runs one action of the player (or a timer's game step), then shows what
    // it did and lets the driver run what follows, until a person must act.
    void RunAction(const std::function<void()>& action);
    // Keyboard selection mode: 0 meld, 1 discard, 2 add wild card.
    int KeyboardMode() const { return KeyMode; }

    // Scales every pause (animation frames, flash, melding delay); tests use 0.
    double PauseScale = 1.0;
    // A searching level is thinking about its turn on a worker thread.
    bool Thinking() const { return static_cast<bool>(Thought); }

    // ---- GameHost ----
    void ShowStatus(const std::string& text) override;
    void ShowStatusError(const std::string& text) override;
    void Beep() override;
    void Inform(const std::string& text, TMsgKind kind) override;
    void Notice(const std::string& text) override;
    void AnimateMove(const TCard& card, TCardPlace from, TCardPlace to) override;
    void Invalidate(TRegion region) override;
    void Wait(int milliseconds) override;
    bool Presenting() const override;
    void PlaySound(TSoundEvent event) override;
    void MoveMade(const TMoveReport& move) override;
    void SetUndoEnabled(bool enabled) override;
    void SetEndHandVisible(bool visible) override;
    void SetEndHandEnabled(bool enabled) override;
    void SetRulesHint(const std::string& hint) override;
    void ShowWhoseTurn(const std::string& text) override;
    void ShowHandResult(const THandResult& result) override;
    void HandFinished(const THandResult& result) override;
    std::optional<bool> ShowMatchResult(const TMatchResult& result) override;
    void MatchFinished(const TMatchResult& result) override;

    bool WhoseTurnShown() const;
    // A Yes/No question of the window.
    bool Ask(const std::string& question);

    // A settings problem (a failed write, a damaged file) for the user: shown
    // once the table is up, at once afterwards.
    void ReportSettingsProblem(const QString& message);
    // The program was told to end (SIGTERM and the like): it ends as if the
    // window were closed, without asking anything, and leaves the event loop.
    void QuitBySignal();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void FormCreate();
    void CreateMenus();
    void CreateStatusBar();
    bool FormCloseQuery();
    void FormDestroy();
    void PlaceEndHandButton();
    // The card images at the layout's card size and the screen's pixel ratio.
    void BuildCardImages();
    // Puts the window where the last free size left it; false when none is stored.
    bool RestoreWindowPlace(const std::string& place);
    std::string WindowPlaceText() const;
    void UpdateScorePanels();
    void DisplayHint(const QString& hint);

    void tmLEDTimer();
    void tmWhoseTurnTimer();
    void bnEndHandClick();
    void mnNewClick();
    void mnUndoMeldClick();
    void mnUndoAllClick();
    void mnRulesClick();
    void mnDecksClick();
    void mnAboutClick();
    void mnLoadClick();
    void mnSaveClick();
    void mnHiscoresClick();
    void mnWinRatioClick();
    void mnCustomizeClick();
    void mnSoundClick();
    void SaveScreenshot();

    // Saved games. The automatic save writes autosave.can without a dialog or
    // a refusal for a provisional pile take; it is skipped when the melds are wrong.
    // A write error of the automatic save is put into failure.
    bool SaveGame(bool automatic, std::string* failure = nullptr);
    // A match in progress is not thrown away unasked: offers to save it first
    // (when it can be saved now). True to go on and do (e.g. "start a new
    // game"), false to keep playing.
    bool MatchMayEnd(const QString& doing);
    // The automatic save of closing: false when it failed and the player
    // chose to stay.
    bool SaveOnExit();
    // Removes autosave.can, but only one this run loaded or wrote: another
    // file there is a game this run knows nothing about.
    void ForgetAutosave();
    void ShowSettingsProblems();
    // The game with the melds of this turn taken back, if that makes a game
    // that can be saved.
    bool MeldsTakenBack(TSavedGame& out) const;
    // Whether the file is a saved game (a missing file quietly is not); makes it the pending load.
    bool TestSavedGame(const QString& path);
    // Loads the pending file, or asks for one; true when a game was put on the table.
    bool LoadGame();
    // Offers a margin to a high-score list of the current level; true when
    // the "Highscore" sound was played for it.
    bool EnterHighScore(int kind, int margin, const std::string& opponentName);
    // Largest window size whose outer size fits the screen's available area.
    int LargestSize() const;

    // Runs a call into the game core; what escapes from it is reported and a
    // fresh hand dealt.
    void Guarded(const std::function<void()>& action);
    void RecoverFromError(const QString& message, TMsgKind kind, bool dealAgain);
    // Shows the queued steps and runs the driver between them, until a person
    // must act or a step takes time (its end calls this again).
    void Advance();
    void AfterAction();
    void SetBusyCursor(bool busy);

    void DiscardGesture(int index);
    void KeyClick(int column, Qt::KeyboardModifiers mods);
    TTurnPhase PhaseOutsideKeyModes() const;
    void ToggleOpponentHand();
    void ShowDetails(const THandResult& result);
    // ---- presentation: what the game reported, shown in order ----
    // One thing to show. Moves, pauses and windows keep a copy of the table as
    // it stood when reported: the table paints that copy until the step is
    // over, while the game itself has moved on.
    struct TShowStep {
        enum class TKind { Now, Move, Pause, Window } Kind = TKind::Now;
        std::function<void()> Do;  // Now and Window
        std::shared_ptr<TGame> Table;
        TCard Card{};  // Move
        TCardPlace From{}, To{};
        bool Flash = false;
        int Ms = 0;  // Pause
    };
    void Present(TShowStep step);
    // Reports to the window at once when nothing is being shown, else in turn.
    void PresentNow(std::function<void()> action);
    // Runs queued steps until one takes time; true when the queue is empty.
    bool ShowQueued();
    // A move's frames; false when there is nothing to animate.
    bool StartMove(const TShowStep& step);
    void tmShowTimer();
    void EndTimedStep();
    // Ends the move, flash or pause being shown, without going on.
    void StopTimedStep();
    std::shared_ptr<TGame> TableCopy() const;
    // The table to paint: the copy of the step being shown, or the game.
    TGame& Shown() const;
    // Drops what is still to be shown (the game itself is complete).
    void ClearPresentation();
    // Shows the rest at once and runs the game on to a person's move.
    void FinishPresentation();

    // Painting helpers.
    void DrawCard(QPainter& p, const TCard& card, int x, int y, bool face);
    void DrawCardImage(QPainter& p, const QImage& img, QPoint at) const;
    bool HiddenWhileMoving(const TCard& card, const TCardPlace& place) const;
    // The player's gesture on what target finds (a click's hit test, a key's
    // card or pile), unless the table takes no gestures now.
    void Gesture(Qt::MouseButton button, Qt::KeyboardModifiers mods, const std::function<THitArea(int& index)>& target);
    void PaintPileBox(QPainter& p);
    // A frozen pile wears a frame of ice and a snowflake, so nobody draws
    // blindly past the card the take wanted.
    void PaintFrozenMark(QPainter& p);
    void PaintCanastaLabels(QPainter& p);
    // A turn that the table has shown in full goes into the log; the other
    // side's is told on the status line and its cards marked.
    void NoteTurns();
    void PaintHighlights(QPainter& p);
    void ClearHighlights();
    // Rounded frames around the rects, in the colour, with a dark edge so
    // they show on any table colour.
    void PaintFrames(QPainter& p, const std::vector<QRect>& frames, QColor colour) const;
    // Rect of a card at the place.
    QRect PlaceRect(const TCardPlace& place) const;
    // The drag's cards, the lit targets and the hint's marks.
    void PaintDrag(QPainter& p);
    void PaintHint(QPainter& p);
    bool HiddenWhileDragged(const TCard& card, const TCardPlace& place) const;
    void StartDrag(Qt::KeyboardModifiers mods);
    void EndDrag();
    void SpringBack(QPoint from);
    void tmSpringTimer();
    void ShowHint(const THint& hint);
    void ClearHint();
    void HintComputed();
    // The hand cards a drag of the card at index carries (Shift: every card of
    // its rank, Ctrl: up to three).
    std::vector<int> DragGroup(int index, Qt::KeyboardModifiers mods) const;
    QRect ColumnRect(int column) const;
    QRect PileRect() const;
    void AddNote(const QString& note);
    // The notes and the instruction, the oldest notes left out when they do
    // not all fit.
    void ShowMessageArea();
    void mnMoveLogClick();

    ISettingsStore& Store;
    TStartOptions Options;
    // The game outlives the window; the window is its host while it lives.
    TGame& G;
    TGameHostRelay& GameRelay;
    TGameDriver Driver{G};
    TableLayout Geometry = ComputeLayout(0);
    int CardSpacing = 10;
    // Beginner, Advanced and Expert, installed into G.Levels (withdrawn before G goes).
    TComputerLevels& ComputerLevels;
    TAppSettings& Settings;
    TCardImages Images;
    std::array<TBackSetting, 2> CardBacks;
    QColor TableColor;

    TTableView* View = nullptr;
    QPushButton* bnEndHand = nullptr;
    QLabel* lbStatus = nullptr;
    QLabel* pnPCurrScore = nullptr;
    QLabel* pnPCurrMeld = nullptr;
    QLabel* pnCCurrScore = nullptr;
    QLabel* pnCCurrMeld = nullptr;
    QLabel* lbOpponentName = nullptr;
    QLabel* lbPlayerName = nullptr;
    QWidget* pnBottom = nullptr;
    QLabel* lbTarget = nullptr;
    QAction* mnNew = nullptr;
    QAction* mnUndoMeld = nullptr;
    QAction* mnUndoAll = nullptr;
    QAction* mnRules = nullptr;
    QAction* mnDecks = nullptr;
    QAction* mnExit = nullptr;
    QAction* mnAbout = nullptr;
    QAction* mnHelpTopics = nullptr;
    QAction* mnLoad = nullptr;
    QAction* mnSave = nullptr;
    QAction* mnHiscores = nullptr;
    QAction* mnWinRatio = nullptr;
    QAction* mnCustomize = nullptr;
    QAction* mnSound = nullptr;
    QAction* mnFullScreen = nullptr;
    QAction* mnHint = nullptr;
    QMenu* mnuOptions = nullptr;
    QMenu* mnuHelp = nullptr;

    TSoundSystem* const SoundSys;
    TPlayers& PlayerList;
    THighScores& HighScoreTables;
    // The name asked for in one game-over serves its hand and its match entry.
    std::string HighScoreName;
    bool HighScoreNameAsked = false;
    // A saved game waiting to be loaded (command line, autosave, load dialog).
    bool LoadPending = false;
    QString PendingLoad;
    bool LoadedGame = false;
    // autosave.can holds a game of this run (loaded from it or saved to it).
    bool AutosaveOwned = false;
    // Settings problems waiting for the table to come up.
    QStringList SettingsProblems;
    bool ShowingSettingsProblems = false;
    bool StartedUp = false;
    bool EndingBySignal = false;
    uint32_t LoadedHandNumber = 0;
    int CustomizeTab = 0;

    QTimer tmLED;
    QTimer tmWhoseTurn;
    QTimer tmSplash;
    TfmSplash* fmSplash = nullptr;
    QPointer<TfmWhoseTurn> fmWhoseTurn;
    QPointer<QWidget> fmWelcome;

    int ScreenSizeClass = 0;
    int AppliedSize = -1;
    bool PaintSuppressed = true;
    bool HintShown = false;
    // The window was closed while a window of the presentation was open: it
    // closes when that window has returned.
    bool CloseRequested = false;
    bool StatusError = false;
    bool HourglassShown = false;
    bool PaintErrorPending = false;
    bool FlashDraws = false;  // the player's draw from the stock flashes its card
    int ErrorShown = 0;
    int RulesPage = 0;
    int KeyMode = 0;
    int RightClicksRequired = 0;
    int LastRightClicked = -1;
    TCard ArmedCard{};
    int RightClickCount = 0;

    // The card in flight and the card flashed at its destination.
    struct TMoving {
        bool Active = false;
        QImage Image;
        QPoint Pos;
        TCard Card;  // hidden at its place while it travels
        TCardPlace Place;
    } Moving;
    struct TFlash {
        bool Active = false;
        QImage Image;
        QPoint Pos;
    } Flash;
    std::deque<TShowStep> Shows;
    // A step that takes time is being shown (its frames, its pause, its window).
    bool ShowRunning = false;
    // The Master's search runs on a copy of the game off this thread; the
    // window paints and takes keys meanwhile, and the driver plays the turn
    // it decided once it is done (Thinking.cpp).
    struct TThought;
    std::unique_ptr<TThought> Thought;
    uint32_t ThoughtSerial = 0;
    // Starts the search when the next step is a Master's turn that may be
    // shown; false when the driver should run the step now.
    bool StartThinking();
    // The worker is done: its decisions go to the level and the driver goes on.
    void ThinkingDone(uint32_t serial);
    // Waits for the worker (the window closes, or everything is shown at once).
    void FinishThinking();
    std::shared_ptr<TGame> ShownTable;
    QTimer tmShow;
    QTimer tmImages;
    // The frames of the move being shown.
    struct TFrames {
        bool Moving = false;
        int DurationMs = 0, Count = 0;
        QPoint Start, End;
        QElapsedTimer Clock;
        bool Flash = false;
    } Frames;
    TMovePace Pace;
    TTurnLog TurnLog;
    std::string LastAccount;
    // The message area: notes of what happened since the player last acted
    // (the other side's turn, what the game did on its own) above the
    // instruction of the phase.
    QStringList Notes;
    QString Instruction;
    std::vector<TCardPlace> Highlights;
    uint32_t HighlightsHand = 0;
    QAction* mnMoveLog = nullptr;
    QPointer<TfmMoveLog> fmMoveLog;

    // A press on a hand card, and the drag it became.
    struct TDrag {
        bool Pressed = false;
        bool Active = false;
        QPoint PressAt;
        QPoint Grab;  // the press point within the card
        QPoint At;
        int Index = -1;
        TCard Card{};
        Qt::KeyboardModifiers Mods;
        std::vector<TCard> Cards;  // the group being carried, the pressed card first
        std::vector<TDropTarget> Lit;
        uint64_t Position = 0;  // the game as the drag began
    } Drag;
    // A refused drop flies back to the hand.
    struct TSpring {
        bool Active = false;
        QPoint From, To;
        std::vector<TCard> Cards;
        int DurationMs = 0;
        QElapsedTimer Clock;
        QPoint Pos;
    } Spring;
    QTimer tmSpring;
    // The hint being computed (its own copy of the game) and the one shown.
    struct THintJob;
    std::shared_ptr<THintJob> HintJob;
    QThread* HintThread = nullptr;
    std::optional<THint> Hinted;
    uint64_t HintedPosition = 0;

    friend class TTableView;
    // The network part (menu, connection, scripted play) lives in CanMainNet.cpp.
    friend class TTableNetwork;
    std::unique_ptr<TTableNetwork> Net;

public:
    TTableNetwork& Network() { return *Net; }
};

}  // namespace canasta
