// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/SoundDialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "media/MediaFiles.h"

namespace canasta {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString RunFileDialog(QWidget* parent, const QString& title, const QString& filter, const QString& suffix,
                      const QString& startFolder) {
    QFileDialog dialog(parent, title, startFolder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                   : QString();
}

QString RunFolderDialog(QWidget* parent, const QString& startFolder) {
    QFileDialog dialog(parent, "Select Jukebox Folder", startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                   : QString();
}

// "..." says nothing to a screen reader; the name does.
QPushButton* BrowseButton(const QString& accessibleName) {
    auto* b = new QPushButton("...");
    b->setAccessibleName(accessibleName);
    b->setToolTip(accessibleName);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance("....") + 16);
    return b;
}

}  // namespace

TfmSound::TfmSound(TSoundSystem& sound, QWidget* parent) : QDialog(parent), Sound(sound) {
    setWindowTitle("Canasta Sound");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    ChooseSoundFile = [this](const QString& start) {
        return RunFileDialog(this, "Select Sound File", "Sound Files (*.wav);;All Files (*)", "wav", start);
    };
    ChooseMusicFile = [this](const QString& start) {
        return RunFileDialog(this, "Select Music File", "Music Files (*.mid);;All Files (*)", "mid", start);
    };
    ChooseJukeboxFolder = [this](const QString& start) { return RunFolderDialog(this, start); };

    // Tab "Sound".
    auto* soundPage = new QWidget;
    SoundEnabled = new QCheckBox("&Sound Enabled");
    EventList = new QListWidget;
    for (const char* name : SoundEventNames) EventList->addItem(name);
    SoundList = new QListWidget;
    SoundList->installEventFilter(this);
    auto* eventLabel = new QLabel("Canasta &Events");
    eventLabel->setBuddy(EventList);
    auto* soundLabel = new QLabel("&Associated Sounds");
    soundLabel->setBuddy(SoundList);
    AddButton = new QPushButton("&Add...");
    RemoveButton = new QPushButton("&Remove");
    PlayButton = new QPushButton("&Play");
    DefaultButton = new QPushButton("&Default");
    for (QPushButton* b : {AddButton, RemoveButton, PlayButton, DefaultButton}) b->setAutoDefault(false);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {AddButton, RemoveButton, PlayButton, DefaultButton}) buttons->addWidget(b);
    buttons->addStretch();
    auto* soundGrid = new QGridLayout(soundPage);
    soundGrid->addWidget(SoundEnabled, 0, 0, 1, 3);
    soundGrid->addWidget(eventLabel, 1, 0);
    soundGrid->addWidget(soundLabel, 1, 1);
    soundGrid->addWidget(EventList, 2, 0);
    soundGrid->addWidget(SoundList, 2, 1);
    soundGrid->addLayout(buttons, 2, 2);

    // Tab "Music".
    auto* musicPage = new QWidget;
    MusicEnabled = new QCheckBox("&Music Enabled");
    auto* typeBox = new QGroupBox("Music &Type");
    JukeboxChoice = new QRadioButton("&Jukebox Folder");
    JukeboxFolder = new QLineEdit;
    JukeboxFolder->setAccessibleName("Jukebox Folder");
    JukeboxBrowse = BrowseButton("Select Jukebox Folder");
    SingleChoice = new QRadioButton("&Single Music File");
    SingleFile = new QLineEdit;
    SingleFile->setAccessibleName("Single Music File");
    SingleBrowse = BrowseButton("Select Music File");
    for (QPushButton* b : {JukeboxBrowse, SingleBrowse}) b->setAutoDefault(false);
    auto* typeGrid = new QGridLayout(typeBox);
    typeGrid->addWidget(JukeboxChoice, 0, 0, 1, 2);
    typeGrid->addWidget(JukeboxFolder, 1, 0);
    typeGrid->addWidget(JukeboxBrowse, 1, 1);
    typeGrid->addWidget(SingleChoice, 2, 0, 1, 2);
    typeGrid->addWidget(SingleFile, 3, 0);
    typeGrid->addWidget(SingleBrowse, 3, 1);
    auto* musicLayout = new QVBoxLayout(musicPage);
    musicLayout->addWidget(MusicEnabled);
    musicLayout->addWidget(typeBox);
    musicLayout->addStretch();

    Tabs = new QTabWidget;
    Tabs->addTab(soundPage, "Sound");
    Tabs->addTab(musicPage, "Music");
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    OkButton = box->button(QDialogButtonBox::Ok);
    CancelButton = box->button(QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Tabs);
    layout->addWidget(box);

    // Current values.
    const TMusicSettings& m = Sound.Music;
    SoundEnabled->setChecked(m.SoundEnabled);
    MusicEnabled->setChecked(m.MusicEnabled);
    (m.MusicType == 0 ? SingleChoice : JukeboxChoice)->setChecked(true);
    JukeboxFolder->setText(Q(m.MusicDir));
    SingleFile->setText(Q(m.MusicFile));

    connect(box, &QDialogButtonBox::accepted, this, &TfmSound::accept);
    connect(box, &QDialogButtonBox::rejected, this, &TfmSound::reject);
    connect(EventList, &QListWidget::currentRowChanged, this, [this] { ShowSounds(0); });
    connect(SoundList, &QListWidget::currentRowChanged, this, &TfmSound::UpdateButtons);
    connect(AddButton, &QPushButton::clicked, this, &TfmSound::Add);
    connect(RemoveButton, &QPushButton::clicked, this, &TfmSound::Remove);
    connect(PlayButton, &QPushButton::clicked, this, &TfmSound::Play);
    connect(DefaultButton, &QPushButton::clicked, this, &TfmSound::RestoreDefault);
    connect(SingleBrowse, &QPushButton::clicked, this, &TfmSound::BrowseMusicFile);
    connect(JukeboxBrowse, &QPushButton::clicked, this, &TfmSound::BrowseJukeboxFolder);

    EventList->setCurrentRow(0);
    EventList->setFocus();
}

TEventSounds& TfmSound::CurrentSounds() {
    int row = EventList->currentRow();
    return Sound.Associations[static_cast<size_t>(row < 0 ? 0 : row)];
}

void TfmSound::ShowSounds(int row) {
    const TEventSounds& sounds = CurrentSounds();
    SoundList->clear();
    for (int i = 0; i < sounds.Count; ++i) SoundList->addItem(Q(sounds.Slots[static_cast<size_t>(i)]));
    if (sounds.Count > 0) SoundList->setCurrentRow(std::clamp(row, 0, sounds.Count - 1));
    UpdateButtons();
}

void TfmSound::UpdateButtons() {
    const bool selected = SoundList->currentRow() >= 0;
    AddButton->setEnabled(CurrentSounds().Count < kMaxEventSounds);
    RemoveButton->setEnabled(selected);
    PlayButton->setEnabled(selected);
}

void TfmSound::Add() {
    if (!AddButton->isEnabled()) return;
    const QString file = ChooseSoundFile(Q(ShippedSoundFolder()));
    if (file.isEmpty()) return;
    TEventSounds& sounds = CurrentSounds();
    if (sounds.Add(file.toStdString())) ShowSounds(sounds.Count - 1);
}

void TfmSound::Remove() {
    const int row = SoundList->currentRow();
    if (row < 0) return;
    CurrentSounds().Remove(row);
    ShowSounds(row);  // falls back to the last one when the row is gone
}

void TfmSound::Play() {
    const int row = SoundList->currentRow();
    if (row >= 0) Sound.PreviewFile(CurrentSounds().Slots[static_cast<size_t>(row)]);
}

void TfmSound::RestoreDefault() {
    CurrentSounds() = DefaultEventSounds(EventList->currentRow() < 0 ? 0 : EventList->currentRow());
    ShowSounds(0);
}

void TfmSound::BrowseMusicFile() {
    const QString start = QFileInfo(Q(TSoundSystem::MusicFilePath(SingleFile->text().toStdString()))).absolutePath();
    const QString file = ChooseMusicFile(start);
    if (file.isEmpty()) return;
    // Kept in its own letter case: Linux file names are case-sensitive.
    SingleFile->setText(file);
    SingleChoice->setChecked(true);
}

void TfmSound::BrowseJukeboxFolder() {
    const QString folder = ChooseJukeboxFolder(JukeboxFolder->text());
    if (folder.isEmpty()) return;
    JukeboxFolder->setText(folder);
    JukeboxChoice->setChecked(true);
}

void TfmSound::accept() {
    TMusicSettings m;
    m.SoundEnabled = SoundEnabled->isChecked();
    m.MusicEnabled = MusicEnabled->isChecked();
    m.MusicType = SingleChoice->isChecked() ? 0 : 1;
    m.MusicFile = SingleFile->text().toStdString();
    m.MusicDir = JukeboxFolder->text().toStdString();
    if (m.MusicDir.size() > 1 && (m.MusicDir.back() == '/' || m.MusicDir.back() == '\\')) m.MusicDir.pop_back();
    Sound.Music = m;
    Sound.SaveSettings();
    Sound.ApplyMusicSettings(m);
    QDialog::accept();
}

bool TfmSound::eventFilter(QObject* watched, QEvent* event) {
    if (watched == SoundList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Insert) {
            if (AddButton->isEnabled()) Add();
            return true;
        }
        if (key == Qt::Key_Delete) {
            if (RemoveButton->isEnabled()) Remove();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace canasta
