// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Customize dialog with its Players tab, the Hall of Fame and the Statistics window.
#include <QDialog>

#include <functional>
#include <string>

#include "model/Settings.h"
#include "store/HighScores.h"
#include "store/Players.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QTableWidget;
class QWidget;

namespace canasta {

// Input box through the program's modal runner; false when cancelled.
// A non-zero helpContext gives the box and its controls that help context.
bool AskText(QWidget* parent, const QString& title, const QString& prompt, QString& text, int helpContext = 0);

// The live preferences the Customize dialog edits.
struct TPreferences {
    uint32_t BackgroundColor = 32768;  // 0x00BBGGRR
    int SizeIndex = 0;
    bool ShowStatusbar = true;
    bool ShowTurns = true;
    bool ShowHighscores = true;
    int Level = 0;  // 0 Beginner, 1 Advanced, 2 Expert
    int Aggression = 50;
    bool DoubleRightClick = false;
    int Delay = 300;  // ms, 0..3000
    bool CardMovement = true;
    int CardSpeed = 10;
    bool AutoSave = true;
    friend bool operator==(const TPreferences&, const TPreferences&) = default;
};

// Trackbar position of a melding delay and back (Slow at 0, Fast at 10).
int DelayToPosition(int delayMs);
int PositionToDelay(int position);

class TfmCustomize : public QDialog {
    Q_OBJECT
public:
    struct TContext {
        ISettingsStore* Store = nullptr;
        int LargestSize = 3;  // largest window size the screen holds
        bool GameInProgress = false;
        bool Networked = false;
        std::string AutosavePath;  // deleted when autosave is switched off
        int* ActiveTab = nullptr;  // remembered between openings
        // Called after OK or Apply stored everything: the table re-lays itself out.
        std::function<void()> Relayout;
    };

    TfmCustomize(TPreferences& live, TPlayers& players, TContext context, QWidget* parent = nullptr);
    ~TfmCustomize() override;

    void bnApplyClick();
    void bnOkClick();

    // Players tab, by name (tests drive these too).
    void bnNewClick();
    void bnRenameClick();
    void bnDeleteClick();
    void bnSetCurrentClick();
    void bnResetStatsClick();

    QTabWidget* Tabs() const { return pcTabs; }
    QPushButton* ApplyButton() const { return bnApply; }
    QListWidget* PlayerList() const { return lbPlayers; }
    QLabel* CurrentPlayerLabel() const { return lbCurrent; }
    QRadioButton* SizeButton(int i) const { return rbSize[i]; }
    QRadioButton* LevelButton(int i) const { return rbLevel[i]; }
    QSlider* AggressionBar() const { return tbAggression; }
    QSlider* DelayBar() const { return tbDelay; }
    QSlider* SpeedBar() const { return tbSpeed; }
    QCheckBox* NoAnimationBox() const { return ckNoAnimation; }
    QCheckBox* AutoSaveBox() const { return ckAutoSave; }
    QLabel* LevelWarning() const { return lbWarning; }

protected:
    bool event(QEvent* e) override;

private:
    void LoadControls();
    void StoreAll();
    void Changed();
    void RefreshPlayerList(const QString& select = {});
    void UpdatePlayerButtons();
    QString SelectedName() const;
    void ShowColour();
    // The Expert rolls its aggressiveness, and the Master plays on the Expert's steps.
    bool AggressionApplies() const;

    TPreferences& Live;
    TPlayers& LivePlayers;
    TContext Ctx;
    TPlayers Copy;        // working copy; win records shared with the live list
    QString CurrentName;  // the name shown as current player
    uint32_t Colour = 0;

    QTabWidget* pcTabs = nullptr;
    QPushButton* bnApply = nullptr;
    QRadioButton* rbSize[4] = {};
    QLabel* shColour = nullptr;
    QCheckBox* ckStatusbar = nullptr;
    QCheckBox* ckTurns = nullptr;
    QCheckBox* ckHighscores = nullptr;
    QListWidget* lbPlayers = nullptr;
    QLabel* lbCurrent = nullptr;
    QPushButton* bnRename = nullptr;
    QPushButton* bnDelete = nullptr;
    QPushButton* bnSetCurrent = nullptr;
    QPushButton* bnResetStats = nullptr;
    QRadioButton* rbLevel[4] = {};
    QSlider* tbAggression = nullptr;
    QLabel* lbAggression = nullptr;
    QLabel* lbWarning = nullptr;
    QRadioButton* rbOneClick = nullptr;
    QRadioButton* rbTwoClicks = nullptr;
    QSlider* tbDelay = nullptr;
    QCheckBox* ckNoAnimation = nullptr;
    QSlider* tbSpeed = nullptr;
    QCheckBox* ckAutoSave = nullptr;
    bool Loading = false;
    // Slider positions as loaded: a slider left there keeps the value it
    // stands for, even one between its steps (a delay of 500 ms).
    int LoadedAggression = 0, LoadedDelay = 0, LoadedSpeed = 0;
};

// "Canasta Hall of Fame".
class TfmHighScores : public QDialog {
    Q_OBJECT
public:
    TfmHighScores(THighScores& scores, ISettingsStore* store, int level, int kind, int boldRow,
                  QWidget* parent = nullptr);
    void bnClearClick();
    void ShowList(int level, int kind);
    QTableWidget* Rows() const { return tbRows; }
    QRadioButton* LevelButton(int level) const { return rbLevel[level]; }
    int Level() const { return CurLevel; }
    int Kind() const { return CurKind; }

private:
    THighScores& Scores;
    ISettingsStore* Store;
    int CurLevel, CurKind, BoldRow;
    int BoldLevel, BoldKind;
    // By high-score level index (the Master's button stands beside the Expert's).
    QRadioButton* rbLevel[5] = {};
    QRadioButton* rbKind[2] = {};
    QTableWidget* tbRows = nullptr;
};

// Asks before a player's win ratio and statistics go back to zero.
bool ConfirmStatisticsReset(QWidget* parent, const QString& name);

// "Statistics", grown out of the Win Ratio window: a player's wins, losses
// and ratio of matches, then hands and matches played and won against each
// opponent, the average hand score, the best hand and match and the streaks.
// The default player (no player chosen) has statistics too.
class TfmWinRatio : public QDialog {
    Q_OBJECT
public:
    TfmWinRatio(TPlayers& players, ISettingsStore* store, QWidget* parent = nullptr);
    void cbPlayersChange();
    void bnResetClick();
    QComboBox* Players() const { return cbPlayers; }
    QLabel* NoPlayersNote() const { return lbNoPlayers; }
    QString WinsText() const;
    QString LossesText() const;
    QString RatioText() const;
    // A cell of the table of hands and matches: the opponent's key (empty for
    // all opponents) and the column (hands played, hands won, matches played,
    // matches won).
    QString TallyText(const std::string& opponent, int column) const;
    QString AverageText() const;
    QString BestHandText() const;
    QString BestMatchText() const;
    QString StreakText() const;
    QString LongestStreakText() const;

private:
    // The player chosen in the list (the default player included).
    const TPlayer* Shown() const;

    TPlayers& List;
    ISettingsStore* Store;
    QComboBox* cbPlayers = nullptr;
    QLabel* lbNoPlayers = nullptr;
    QLabel* lbWins = nullptr;
    QLabel* lbLosses = nullptr;
    QLabel* lbRatio = nullptr;
    QTableWidget* tbTally = nullptr;
    QLabel* lbAverage = nullptr;
    QLabel* lbBestHand = nullptr;
    QLabel* lbBestMatch = nullptr;
    QLabel* lbStreak = nullptr;
    QLabel* lbLongest = nullptr;
    QPushButton* bnReset = nullptr;
};

// The "&Statistics..." menu item.
void ShowWinRatio(QWidget* parent, TPlayers& players, ISettingsStore* store);

}  // namespace canasta
