// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/PlayerDialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "dialogs/Modal.h"
#include "help/HelpContexts.h"
#include "help/HelpWindow.h"
#include "store/SettingsCatalog.h"

namespace canasta {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QColor FromColorRef(uint32_t c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }
uint32_t ToColorRef(const QColor& c) {
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

const char* const kLevelWarning =
    "The level cannot be changed now, because a game is in progress. Press OK and then F2 to start a new game. The "
    "current game will be aborted.";

}  // namespace

bool AskText(QWidget* parent, const QString& title, const QString& prompt, QString& text, int helpContext) {
    QInputDialog box(parent);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(text);
    if (helpContext) {
        // The box's own controls take the number from the box.
        InstallDialogHelp(&box, helpContext);
        InstallHelpContext(&box, helpContext);
    }
    if (ExecModal(box) != QDialog::Accepted) return false;
    text = box.textValue();
    return true;
}

int DelayToPosition(int delayMs) { return std::clamp(10 - delayMs / 300, 0, 10); }
int PositionToDelay(int position) { return (10 - std::clamp(position, 0, 10)) * 300; }

// ---------------------------------------------------------------- Customize

TfmCustomize::TfmCustomize(TPreferences& live, TPlayers& players, TContext context, QWidget* parent)
    : QDialog(parent), Live(live), LivePlayers(players), Ctx(std::move(context)) {
    setWindowTitle("Customize Canasta");
    auto* main = new QVBoxLayout(this);
    pcTabs = new QTabWidget(this);
    main->addWidget(pcTabs);

    // Screen
    auto* screen = new QWidget;
    auto* sl = new QVBoxLayout(screen);
    auto* gbSize = new QGroupBox("Window Size");
    auto* gl = new QVBoxLayout(gbSize);
    const char* sizes[4] = {"&640 x 480", "&800 x 600", "&1024 x 768", "1&280 x 1024"};
    auto* sizeGroup = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        rbSize[i] = new QRadioButton(sizes[i]);
        sizeGroup->addButton(rbSize[i], i);
        gl->addWidget(rbSize[i]);
    }
    sl->addWidget(gbSize);
    auto* gbColour = new QGroupBox("Background Color");
    auto* cl = new QHBoxLayout(gbColour);
    shColour = new QLabel;
    shColour->setFixedSize(60, 30);
    shColour->setFrameShape(QFrame::Box);
    auto* bnColour = new QPushButton("&Change...");
    cl->addWidget(shColour);
    cl->addWidget(bnColour);
    cl->addStretch();
    sl->addWidget(gbColour);
    ckStatusbar = new QCheckBox("&Show statusbar");
    ckTurns = new QCheckBox("Show my turn/your turn &messages");
    ckHighscores = new QCheckBox("Show &highscores");
    sl->addWidget(ckStatusbar);
    sl->addWidget(ckTurns);
    sl->addWidget(ckHighscores);
    sl->addStretch();
    pcTabs->addTab(screen, "Screen");

    // Players
    auto* playersTab = new QWidget;
    auto* pl = new QHBoxLayout(playersTab);
    auto* left = new QVBoxLayout;
    lbPlayers = new QListWidget;
    left->addWidget(lbPlayers);
    auto* gbCurrent = new QGroupBox("Current Player");
    auto* curl = new QVBoxLayout(gbCurrent);
    lbCurrent = new QLabel("Player");
    curl->addWidget(lbCurrent);
    left->addWidget(gbCurrent);
    pl->addLayout(left);
    auto* buttons = new QVBoxLayout;
    auto* bnNew = new QPushButton("&New...");
    bnRename = new QPushButton("&Rename...");
    bnDelete = new QPushButton("&Delete");
    bnSetCurrent = new QPushButton("Set as &Current Player");
    bnResetStats = new QPushButton("Reset &Stats");
    for (QPushButton* b : {bnNew, bnRename, bnDelete, bnSetCurrent, bnResetStats}) buttons->addWidget(b);
    buttons->addStretch();
    pl->addLayout(buttons);
    pcTabs->addTab(playersTab, "Players");

    // Level
    auto* levelTab = new QWidget;
    auto* ll = new QVBoxLayout(levelTab);
    auto* gbLevel = new QGroupBox("Computer &Level");
    auto* lgl = new QVBoxLayout(gbLevel);
    const char* levels[4] = {"&Beginner", "&Advanced", "&Expert", "&Master"};
    auto* levelGroup = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        rbLevel[i] = new QRadioButton(levels[i]);
        levelGroup->addButton(rbLevel[i], i);
        lgl->addWidget(rbLevel[i]);
    }
    ll->addWidget(gbLevel);
    auto* gbAggr = new QGroupBox("Aggressiveness");
    auto* al = new QHBoxLayout(gbAggr);
    tbAggression = new QSlider(Qt::Horizontal);
    tbAggression->setRange(0, 100);
    tbAggression->setSingleStep(10);
    tbAggression->setPageStep(10);
    tbAggression->setTickInterval(10);
    tbAggression->setTickPosition(QSlider::TicksBelow);
    lbAggression = new QLabel;
    lbAggression->setMinimumWidth(40);
    al->addWidget(tbAggression);
    al->addWidget(lbAggression);
    ll->addWidget(gbAggr);
    lbWarning = new QLabel(kLevelWarning);
    lbWarning->setWordWrap(true);
    lbWarning->setStyleSheet("color: red;");
    ll->addWidget(lbWarning);
    ll->addStretch();
    pcTabs->addTab(levelTab, "Level");

    // General
    auto* general = new QWidget;
    auto* genl = new QVBoxLayout(general);
    auto* gbDiscard = new QGroupBox("D&iscarding");
    auto* dl = new QVBoxLayout(gbDiscard);
    rbOneClick = new QRadioButton("&One Right Click");
    rbTwoClicks = new QRadioButton("&Two Right Clicks");
    dl->addWidget(rbOneClick);
    dl->addWidget(rbTwoClicks);
    genl->addWidget(gbDiscard);
    auto* gbDelay = new QGroupBox("Computer &Melding");
    auto* del = new QHBoxLayout(gbDelay);
    tbDelay = new QSlider(Qt::Horizontal);
    tbDelay->setRange(0, 10);
    tbDelay->setTickPosition(QSlider::TicksBelow);
    del->addWidget(new QLabel("Slow"));
    del->addWidget(tbDelay);
    del->addWidget(new QLabel("Fast"));
    genl->addWidget(gbDelay);
    auto* gbAnim = new QGroupBox("&Card Animation");
    auto* anl = new QVBoxLayout(gbAnim);
    ckNoAnimation = new QCheckBox("&No Animation");
    auto* speedRow = new QHBoxLayout;
    tbSpeed = new QSlider(Qt::Horizontal);
    tbSpeed->setRange(0, 10);
    tbSpeed->setTickPosition(QSlider::TicksBelow);
    speedRow->addWidget(new QLabel("Slow"));
    speedRow->addWidget(tbSpeed);
    speedRow->addWidget(new QLabel("Fast"));
    anl->addWidget(ckNoAnimation);
    anl->addLayout(speedRow);
    genl->addWidget(gbAnim);
    ckAutoSave = new QCheckBox("&AutoSave on Exit and AutoLoad on Start");
    genl->addWidget(ckAutoSave);
    genl->addStretch();
    pcTabs->addTab(general, "General");

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply);
    bnApply = box->button(QDialogButtonBox::Apply);
    main->addWidget(box);
    connect(box, &QDialogButtonBox::accepted, this, &TfmCustomize::bnOkClick);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(bnApply, &QPushButton::clicked, this, &TfmCustomize::bnApplyClick);

    connect(bnColour, &QPushButton::clicked, this, [this] {
        QColorDialog dlg(FromColorRef(Colour), this);
        if (ExecModal(dlg) == QDialog::Accepted) {
            Colour = ToColorRef(dlg.selectedColor());
            ShowColour();
            Changed();
        }
    });
    connect(bnNew, &QPushButton::clicked, this, &TfmCustomize::bnNewClick);
    connect(bnRename, &QPushButton::clicked, this, &TfmCustomize::bnRenameClick);
    connect(bnDelete, &QPushButton::clicked, this, &TfmCustomize::bnDeleteClick);
    connect(bnSetCurrent, &QPushButton::clicked, this, &TfmCustomize::bnSetCurrentClick);
    connect(bnResetStats, &QPushButton::clicked, this, &TfmCustomize::bnResetStatsClick);
    connect(lbPlayers, &QListWidget::currentRowChanged, this, [this] {
        const bool any = lbPlayers->currentItem() != nullptr;
        bnSetCurrent->setEnabled(any);
        bnResetStats->setEnabled(any);
    });
    for (int i = 0; i < 4; ++i)
        connect(rbLevel[i], &QRadioButton::toggled, this, [this] {
            tbAggression->setEnabled(AggressionApplies() && !Ctx.GameInProgress);
            Changed();
        });
    connect(tbAggression, &QSlider::valueChanged, this, [this](int v) {
        lbAggression->setText(QString::number(v) + "%");
        Changed();
    });
    connect(ckNoAnimation, &QCheckBox::toggled, this, [this](bool off) {
        tbSpeed->setEnabled(!off);
        if (!off) tbSpeed->setValue(Live.CardSpeed);
        Changed();
    });
    for (QCheckBox* c : {ckStatusbar, ckTurns, ckHighscores, ckAutoSave})
        connect(c, &QCheckBox::toggled, this, &TfmCustomize::Changed);
    for (QRadioButton* r : {rbSize[0], rbSize[1], rbSize[2], rbSize[3], rbOneClick, rbTwoClicks})
        connect(r, &QRadioButton::toggled, this, &TfmCustomize::Changed);
    for (QSlider* s : {tbDelay, tbSpeed}) connect(s, &QSlider::valueChanged, this, &TfmCustomize::Changed);

    Copy = LivePlayers;
    CurrentName = Q(LivePlayers.CurrentName());
    LoadControls();
    InstallDialogHelp(this, hcCustomizeDialog);
    InstallHelpContext(pcTabs, hcCustomizeDialog);
    InstallHelpContext(box->button(QDialogButtonBox::Ok), hcCustomizeOk);
    InstallHelpContext(box->button(QDialogButtonBox::Cancel), hcCustomizeCancel);
    InstallHelpContext(bnApply, hcCustomizeApply);
    InstallHelpContext(gbSize, hcCustomizeSize);
    InstallHelpContext(gbColour, hcCustomizeColor);
    InstallHelpContext(ckStatusbar, hcCustomizeStatusbar);
    InstallHelpContext(ckTurns, hcCustomizeTurns);
    InstallHelpContext(ckHighscores, hcCustomizeHighscores);
    InstallHelpContext(lbPlayers, hcPlayersList);
    InstallHelpContext(gbCurrent, hcPlayersCurrent);
    InstallHelpContext(bnNew, hcPlayersNew);
    InstallHelpContext(bnRename, hcPlayersRename);
    InstallHelpContext(bnDelete, hcPlayersDelete);
    InstallHelpContext(bnSetCurrent, hcPlayersSetCurrent);
    InstallHelpContext(bnResetStats, hcPlayersResetStats);
    InstallHelpContext(gbLevel, hcCustomizeLevel);
    InstallHelpContext(gbAggr, hcCustomizeAggression);
    InstallHelpContext(lbWarning, hcCustomizeLevelWarning);
    InstallHelpContext(gbDiscard, hcCustomizeDiscarding);
    InstallHelpContext(gbDelay, hcCustomizeDelay);
    InstallHelpContext(gbAnim, hcCustomizeSpeed);
    InstallHelpContext(ckNoAnimation, hcCustomizeNoAnimation);
    InstallHelpContext(tbSpeed, hcCustomizeSpeed);
    InstallHelpContext(ckAutoSave, hcCustomizeAutoSave);
    if (Ctx.ActiveTab) pcTabs->setCurrentIndex(*Ctx.ActiveTab);
}

TfmCustomize::~TfmCustomize() {
    if (Ctx.ActiveTab) *Ctx.ActiveTab = pcTabs->currentIndex();
}

bool TfmCustomize::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) bnApply->setEnabled(false);
    return QDialog::event(e);
}

void TfmCustomize::Changed() {
    if (!Loading) bnApply->setEnabled(true);
}

void TfmCustomize::ShowColour() {
    shColour->setStyleSheet(QString("background-color: %1;").arg(FromColorRef(Colour).name()));
}

bool TfmCustomize::AggressionApplies() const { return rbLevel[2]->isChecked() || rbLevel[3]->isChecked(); }

void TfmCustomize::LoadControls() {
    Loading = true;
    for (int i = 0; i < 4; ++i) rbSize[i]->setEnabled(i <= Ctx.LargestSize);
    rbSize[std::clamp(Live.SizeIndex, 0, 3)]->setChecked(true);
    Colour = Live.BackgroundColor;
    ShowColour();
    RefreshPlayerList();
    rbLevel[std::clamp(Live.Level, 0, 3)]->setChecked(true);
    tbAggression->setValue(Live.Aggression);
    lbAggression->setText(QString::number(Live.Aggression) + "%");
    (Live.DoubleRightClick ? rbTwoClicks : rbOneClick)->setChecked(true);
    tbDelay->setValue(DelayToPosition(Live.Delay));
    ckAutoSave->setChecked(Live.AutoSave);
    ckStatusbar->setChecked(Live.ShowStatusbar);
    ckNoAnimation->setChecked(!Live.CardMovement);
    tbSpeed->setEnabled(Live.CardMovement);
    tbSpeed->setValue(Live.CardSpeed);
    ckHighscores->setChecked(Live.ShowHighscores);
    ckTurns->setChecked(Live.ShowTurns);
    LoadedAggression = tbAggression->value();
    LoadedDelay = tbDelay->value();
    LoadedSpeed = tbSpeed->value();
    const bool levelFree = !Ctx.GameInProgress && !Ctx.Networked;
    for (QRadioButton* r : rbLevel) r->setEnabled(levelFree);
    tbAggression->setEnabled(AggressionApplies() && !Ctx.GameInProgress);
    lbWarning->setVisible(Ctx.GameInProgress);
    Loading = false;
    bnApply->setEnabled(false);
}

void TfmCustomize::StoreAll() {
    ISettingsStore* st = Ctx.Store;
    Live.BackgroundColor = Colour;
    WriteInt(st, settings::BackgroundColor.Path, static_cast<int32_t>(Colour));
    Live.SizeIndex = rbSize[0]->isChecked() ? 0 : rbSize[1]->isChecked() ? 1 : rbSize[2]->isChecked() ? 2 : 3;
    if (!Ctx.Networked) {
        Live.Level = rbLevel[0]->isChecked() ? 0 : rbLevel[1]->isChecked() ? 1 : rbLevel[3]->isChecked() ? 3 : 2;
        WriteString(st, settings::Level.Path, settings::LevelNames[static_cast<size_t>(Live.Level)]);
    }
    if (tbAggression->value() != LoadedAggression) Live.Aggression = tbAggression->value();
    WriteInt(st, settings::Aggression.Path, Live.Aggression);
    Live.DoubleRightClick = rbTwoClicks->isChecked();
    WriteString(st, settings::MouseOptions.Path,
                Live.DoubleRightClick ? settings::DoubleRightClick : settings::SingleRightClick);
    if (tbDelay->value() != LoadedDelay) Live.Delay = PositionToDelay(tbDelay->value());
    WriteInt(st, settings::Delay.Path, Live.Delay);
    Live.AutoSave = ckAutoSave->isChecked();
    WriteBool(st, settings::AutoSave.Path, Live.AutoSave);
    if (!Live.AutoSave && !Ctx.AutosavePath.empty()) QFile::remove(Q(Ctx.AutosavePath));
    Live.ShowStatusbar = ckStatusbar->isChecked();
    WriteBool(st, settings::ShowStatusbar.Path, Live.ShowStatusbar);
    LivePlayers.List = Copy.List;
    LivePlayers.Current = LivePlayers.IndexOf(S(CurrentName));
    LivePlayers.Rewrite(st);
    Live.CardMovement = !ckNoAnimation->isChecked();
    if (tbSpeed->value() != LoadedSpeed) Live.CardSpeed = tbSpeed->value();
    WriteBool(st, settings::CardMovement.Path, Live.CardMovement);
    WriteInt(st, settings::CardSpeed.Path, Live.CardSpeed);
    Live.ShowHighscores = ckHighscores->isChecked();
    Live.ShowTurns = ckTurns->isChecked();
    WriteBool(st, settings::ShowHighscores.Path, Live.ShowHighscores);
    WriteBool(st, settings::ShowTurns.Path, Live.ShowTurns);
    LoadedAggression = tbAggression->value();
    LoadedDelay = tbDelay->value();
    LoadedSpeed = tbSpeed->value();
    if (Ctx.Relayout) Ctx.Relayout();
}

void TfmCustomize::bnApplyClick() {
    StoreAll();
    bnApply->setEnabled(false);
    raise();
    activateWindow();
}

void TfmCustomize::bnOkClick() {
    StoreAll();
    accept();
}

// ---- Players tab

QString TfmCustomize::SelectedName() const {
    const QListWidgetItem* item = lbPlayers->currentItem();
    return item ? item->text() : QString();
}

void TfmCustomize::RefreshPlayerList(const QString& select) {
    lbPlayers->clear();
    QStringList names;
    for (const TPlayer& p : Copy.List) names << Q(p.Name);
    names.sort(Qt::CaseInsensitive);
    lbPlayers->addItems(names);
    if (!select.isEmpty()) {
        auto found = lbPlayers->findItems(select, Qt::MatchExactly);
        if (!found.isEmpty()) lbPlayers->setCurrentItem(found.first());
    }
    lbCurrent->setText(Copy.List.empty() || CurrentName.isEmpty() ? "Player" : CurrentName);
    UpdatePlayerButtons();
}

void TfmCustomize::UpdatePlayerButtons() {
    const bool any = !Copy.List.empty();
    const bool selected = lbPlayers->currentItem() != nullptr;
    bnRename->setEnabled(any);
    bnDelete->setEnabled(any);
    bnResetStats->setEnabled(any && selected);
    bnSetCurrent->setEnabled(any && selected);
}

void TfmCustomize::bnNewClick() {
    QString name;
    if (!AskText(this, "New Player", "Enter the name of the new player:", name, hcPlayersNew)) return;
    name = name.trimmed();
    if (!IsValidPlayerName(S(name))) {
        ShowInformation(this, "Canasta", "A player's name must not be empty or contain a comma.");
        return;
    }
    if (Copy.IndexOf(S(name)) >= 0) {
        ShowInformation(this, "Canasta", "There is already a player named " + name + ".");
        return;
    }
    Copy.List.push_back({S(name), std::make_shared<TWinRatio>(0, 0)});
    if (Copy.List.size() == 1) CurrentName = name;
    RefreshPlayerList(name);
    Changed();
}

void TfmCustomize::bnRenameClick() {
    const QString old = SelectedName();
    if (old.isEmpty()) return;
    QString name = old;
    if (!AskText(this, "Rename Player", "Enter the new name of the player:", name, hcPlayersRename)) return;
    name = name.trimmed();
    if (!IsValidPlayerName(S(name))) {
        ShowInformation(this, "Canasta", "A player's name must not be empty or contain a comma.");
        return;
    }
    if (name != old && Copy.IndexOf(S(name)) >= 0) {
        ShowInformation(this, "Canasta", "There is already a player named " + name + ".");
        return;
    }
    const int i = Copy.IndexOf(S(old));
    if (i < 0) return;
    Copy.List[static_cast<size_t>(i)].Name = S(name);
    if (CurrentName == old || Copy.List.size() == 1) CurrentName = name;
    RefreshPlayerList(name);
    Changed();
}

void TfmCustomize::bnDeleteClick() {
    const QString name = SelectedName();
    if (name.isEmpty()) return;
    if (!AskYesNo(this, "Canasta", "Do you want to delete the player " + name + "?")) return;
    const int i = Copy.IndexOf(S(name));
    if (i >= 0) Copy.List.erase(Copy.List.begin() + i);
    if (CurrentName == name) CurrentName.clear();
    RefreshPlayerList();
    bnSetCurrent->setEnabled(false);
    if (!Copy.List.empty() && (Copy.List.size() == 1 || lbPlayers->currentItem() == nullptr)) {
        lbPlayers->setCurrentRow(0);
        CurrentName = lbPlayers->item(0)->text();
        lbCurrent->setText(CurrentName);
        bnSetCurrent->setEnabled(false);
    }
    UpdatePlayerButtons();
    bnSetCurrent->setEnabled(false);
    Changed();
}

void TfmCustomize::bnSetCurrentClick() {
    const QString name = SelectedName();
    if (name.isEmpty()) return;
    CurrentName = name;
    lbCurrent->setText(name);
    Changed();
}

void TfmCustomize::bnResetStatsClick() {
    const QString name = SelectedName();
    const int live = LivePlayers.IndexOf(S(name));
    if (live < 0) return;
    if (!ConfirmStatisticsReset(this, name)) return;
    // The records are shared with the working copy, so the reset holds at
    // once; the statistics leave the store at once too.
    LivePlayers.ResetStatistics(Ctx.Store, LivePlayers.List[static_cast<size_t>(live)]);
    Changed();
}

// ---------------------------------------------------------------- Hall of Fame

TfmHighScores::TfmHighScores(THighScores& scores, ISettingsStore* store, int level, int kind, int boldRow,
                             QWidget* parent)
    : QDialog(parent),
      Scores(scores),
      Store(store),
      CurLevel(level),
      CurKind(kind),
      BoldRow(boldRow),
      BoldLevel(level),
      BoldKind(kind) {
    setWindowTitle("Canasta Hall of Fame");
    auto* main = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* gbLevel = new QGroupBox("&Level");
    auto* ll = new QHBoxLayout(gbLevel);
    // Shown in order of strength, the network game last.
    const int shown[5] = {0, 1, 2, 4, 3};
    const char* levels[5] = {"&Beginner", "&Advanced", "&Expert", "&Network", "Mas&ter"};
    for (int i : shown) {
        rbLevel[i] = new QRadioButton(levels[i]);
        ll->addWidget(rbLevel[i]);
        connect(rbLevel[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) ShowList(i, CurKind);
        });
    }
    auto* gbKind = new QGroupBox("&Type of Highscore");
    auto* kl = new QHBoxLayout(gbKind);
    const char* kinds[2] = {"&Hand", "&Match"};
    for (int i = 0; i < 2; ++i) {
        rbKind[i] = new QRadioButton(kinds[i]);
        kl->addWidget(rbKind[i]);
        connect(rbKind[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) ShowList(CurLevel, i);
        });
    }
    top->addWidget(gbLevel);
    top->addWidget(gbKind);
    main->addLayout(top);
    tbRows = new QTableWidget(10, 4);
    tbRows->setHorizontalHeaderLabels({"Rank", "Player", "Date", "Score"});
    tbRows->verticalHeader()->hide();
    tbRows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbRows->setSelectionMode(QAbstractItemView::NoSelection);
    tbRows->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    tbRows->setMinimumSize(460, 330);
    main->addWidget(tbRows);
    auto* buttons = new QHBoxLayout;
    auto* bnClear = new QPushButton("&Clear");
    auto* bnOk = new QPushButton("OK");
    bnOk->setDefault(true);
    buttons->addWidget(bnClear);
    buttons->addStretch();
    buttons->addWidget(bnOk);
    main->addLayout(buttons);
    connect(bnClear, &QPushButton::clicked, this, &TfmHighScores::bnClearClick);
    connect(bnOk, &QPushButton::clicked, this, &QDialog::accept);
    InstallDialogHelp(this, hcHallOfFame);
    InstallHelpContext(gbLevel, hcHallLevel);
    InstallHelpContext(gbKind, hcHallType);
    InstallHelpContext(tbRows, hcHallRows);
    InstallHelpContext(bnClear, hcHallClear);
    InstallHelpContext(bnOk, hcHallOk);
    rbLevel[std::clamp(level, 0, kHighScoreLevels - 1)]->setChecked(true);
    rbKind[std::clamp(kind, 0, 1)]->setChecked(true);
    ShowList(CurLevel, CurKind);
}

void TfmHighScores::ShowList(int level, int kind) {
    CurLevel = level;
    CurKind = kind;
    const THighScoreList list = Scores.Tables[static_cast<size_t>(kind)][static_cast<size_t>(level)];
    for (int r = 0; r < 10; ++r) {
        const THighScoreEntry& e = list[static_cast<size_t>(r)];
        const bool empty = e.Score == 0 && e.Name.empty();
        QString cells[4] = {QString::number(r + 1), Q(e.Name), Q(e.Date), empty ? QString() : QString::number(e.Score)};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 0 || c == 3) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            QFont f = item->font();
            f.setBold(c == 1 && level == BoldLevel && kind == BoldKind && r + 1 == BoldRow);
            item->setFont(f);
            tbRows->setItem(r, c, item);
        }
    }
}

void TfmHighScores::bnClearClick() {
    const QString levelName =
        QString(HighScoreLevelName(CurLevel)) == "NetworkGame" ? "Network" : HighScoreLevelName(CurLevel);
    if (!AskYesNo(this, "Canasta", "Are you sure you want to clear all highscores for the " + levelName + " level?"))
        return;
    Scores.Clear(Store, CurLevel, CurKind);
    ShowList(CurLevel, CurKind);
}

// ---------------------------------------------------------------- Statistics

namespace {

QString CountOrDash(const std::optional<int32_t>& v) { return v ? QString::number(*v) : QStringLiteral("\u2013"); }

QString OpponentCaption(const std::string& key) {
    return key == kNetworkOpponent ? QStringLiteral("Network games") : Q(key);
}

}  // namespace

bool ConfirmStatisticsReset(QWidget* parent, const QString& name) {
    QMessageBox box(QMessageBox::Question, "Canasta",
                    "Do you want to reset the win ratio statistics for player " + name + "?",
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setInformativeText("The hands, matches, scores and streaks counted for this player go back to zero too.");
    box.setDefaultButton(QMessageBox::Yes);
    return ExecModal(box) == QMessageBox::Yes;
}

TfmWinRatio::TfmWinRatio(TPlayers& players, ISettingsStore* store, QWidget* parent)
    : QDialog(parent), List(players), Store(store) {
    setWindowTitle("Statistics");
    auto* main = new QVBoxLayout(this);
    cbPlayers = new QComboBox;
    // The named players by name; the games played without one count for the
    // default player, listed first when it has any or when nobody else is there.
    std::vector<std::pair<QString, int>> named;
    for (size_t i = 0; i < List.List.size(); ++i) named.emplace_back(Q(List.List[i].Name), static_cast<int>(i));
    std::sort(named.begin(), named.end(),
              [](const auto& a, const auto& b) { return a.first.compare(b.first, Qt::CaseInsensitive) < 0; });
    if (List.List.empty())
        cbPlayers->addItem("Player", -1);
    else if (!List.Default.Stats->Empty() || List.Default.Ratio->Wins + List.Default.Ratio->Losses > 0)
        cbPlayers->addItem("Player (no player chosen)", -1);
    for (const auto& [name, index] : named) cbPlayers->addItem(name, index);
    main->addWidget(cbPlayers);
    lbNoPlayers = new QLabel(
        "No players are defined: these are the statistics of the games played as \"Player\". To keep statistics "
        "under your own name, select Options|Customize...|Player and press 'New...'");
    lbNoPlayers->setWordWrap(true);
    lbNoPlayers->setVisible(List.List.empty());
    main->addWidget(lbNoPlayers);
    auto rows = [main](std::initializer_list<std::pair<const char*, QLabel**>> captions) {
        auto* form = new QFormLayout;
        for (const auto& [caption, label] : captions) form->addRow(caption, *label = new QLabel);
        main->addLayout(form);
    };
    rows({{"Wins:", &lbWins}, {"Losses:", &lbLosses}, {"Ratio:", &lbRatio}});
    tbTally = new QTableWidget(0, 4);
    tbTally->setHorizontalHeaderLabels({"Hands played", "Hands won", "Matches played", "Matches won"});
    tbTally->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbTally->setSelectionMode(QAbstractItemView::NoSelection);
    tbTally->setFocusPolicy(Qt::NoFocus);
    tbTally->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tbTally->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    main->addWidget(tbTally);
    rows({{"Average hand score:", &lbAverage},
          {"Best hand:", &lbBestHand},
          {"Best match:", &lbBestMatch},
          {"Winning streak:", &lbStreak},
          {"Longest winning streak:", &lbLongest}});
    // Room given to the window goes below the figures, not between them.
    main->addStretch(1);
    auto* buttons = new QHBoxLayout;
    bnReset = new QPushButton("&Reset");
    auto* bnOk = new QPushButton("OK");
    bnOk->setDefault(true);
    buttons->addWidget(bnReset);
    buttons->addStretch();
    buttons->addWidget(bnOk);
    main->addLayout(buttons);
    connect(bnReset, &QPushButton::clicked, this, &TfmWinRatio::bnResetClick);
    connect(bnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(cbPlayers, &QComboBox::currentIndexChanged, this, &TfmWinRatio::cbPlayersChange);
    InstallDialogHelp(this, hcWinRatio);
    InstallHelpContext(cbPlayers, hcWinRatioPlayer);
    for (QLabel* l : {lbWins, lbLosses, lbRatio}) InstallHelpContext(l, hcWinRatioCounts);
    InstallHelpContext(tbTally, hcStatisticsTally);
    for (QLabel* l : {lbAverage, lbBestHand, lbBestMatch, lbStreak, lbLongest})
        InstallHelpContext(l, hcStatisticsScores);
    InstallHelpContext(bnReset, hcWinRatioReset);
    InstallHelpContext(bnOk, hcWinRatioOk);
    const int current = List.CurrentPlayer() ? List.Current : -1;
    cbPlayers->setCurrentIndex(std::max(0, cbPlayers->findData(current)));
    cbPlayersChange();
    resize(std::max(sizeHint().width(), 580), sizeHint().height());
}

const TPlayer* TfmWinRatio::Shown() const {
    const int index = cbPlayers->currentData().toInt();
    if (index < 0) return &List.Default;
    return index < int(List.List.size()) ? &List.List[static_cast<size_t>(index)] : nullptr;
}

void TfmWinRatio::cbPlayersChange() {
    const TPlayer* p = Shown();
    if (!p) return;
    const TWinRatio& r = *p->Ratio;
    lbWins->setText(QString::number(r.Wins));
    lbLosses->setText(QString::number(r.Losses));
    lbRatio->setText(Q(canasta::RatioText(r)));

    const TPlayerStatistics& st = *p->Stats;
    std::vector<std::string> rows = KnownOpponents();
    // Opponents the program no longer knows keep their rows.
    for (const auto& [key, tally] : st.ByOpponent)
        if (std::find(rows.begin(), rows.end(), key) == rows.end()) rows.push_back(key);
    tbTally->setRowCount(int(rows.size()) + 1);
    QStringList captions;
    auto fill = [this](int row, const TTally& t) {
        const int cells[4] = {t.HandsPlayed, t.HandsWon, t.MatchesPlayed, t.MatchesWon};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(QString::number(cells[c]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            tbTally->setItem(row, c, item);
        }
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto found = st.ByOpponent.find(rows[i]);
        fill(int(i), found == st.ByOpponent.end() ? TTally{} : found->second);
        captions << OpponentCaption(rows[i]);
    }
    fill(int(rows.size()), st.Total());
    captions << "All opponents";
    tbTally->setVerticalHeaderLabels(captions);
    for (int c = 0; c < 4; ++c) {
        QFont f = tbTally->item(int(rows.size()), c)->font();
        f.setBold(true);
        tbTally->item(int(rows.size()), c)->setFont(f);
    }
    // As tall as its rows: no empty space under the total, no scroll bar.
    tbTally->setFixedHeight(tbTally->horizontalHeader()->sizeHint().height() + tbTally->verticalHeader()->length() +
                            2 * tbTally->frameWidth());

    const std::optional<double> average = st.AverageHandScore();
    lbAverage->setText(average ? QString::number(std::lround(*average)) : QStringLiteral("\u2013"));
    lbBestHand->setText(CountOrDash(st.BestHand));
    lbBestMatch->setText(CountOrDash(st.BestMatch));
    lbStreak->setText(QString::number(st.Streak));
    lbLongest->setText(QString::number(st.LongestStreak));
}

void TfmWinRatio::bnResetClick() {
    const TPlayer* p = Shown();
    if (!p) return;
    if (!ConfirmStatisticsReset(this, List.IsDefault(*p) ? QString("Player") : Q(p->Name))) return;
    List.ResetStatistics(Store, *p);
    if (!List.IsDefault(*p)) List.Rewrite(Store);
    cbPlayersChange();
}

QString TfmWinRatio::WinsText() const { return lbWins->text(); }
QString TfmWinRatio::LossesText() const { return lbLosses->text(); }
QString TfmWinRatio::RatioText() const { return lbRatio->text(); }

QString TfmWinRatio::TallyText(const std::string& opponent, int column) const {
    int row = -1;
    for (int r = 0; r < tbTally->rowCount(); ++r)
        if (tbTally->verticalHeaderItem(r) &&
            tbTally->verticalHeaderItem(r)->text() ==
                (opponent.empty() ? QStringLiteral("All opponents") : OpponentCaption(opponent)))
            row = r;
    return row < 0 || !tbTally->item(row, column) ? QString() : tbTally->item(row, column)->text();
}

QString TfmWinRatio::AverageText() const { return lbAverage->text(); }
QString TfmWinRatio::BestHandText() const { return lbBestHand->text(); }
QString TfmWinRatio::BestMatchText() const { return lbBestMatch->text(); }
QString TfmWinRatio::StreakText() const { return lbStreak->text(); }
QString TfmWinRatio::LongestStreakText() const { return lbLongest->text(); }

void ShowWinRatio(QWidget* parent, TPlayers& players, ISettingsStore* store) {
    TfmWinRatio dlg(players, store, parent);
    ExecModal(dlg);
}

}  // namespace canasta
