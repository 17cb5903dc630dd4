// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Canasta Sound" dialog: sound on or off and the files of each event,
// music on or off and its source. Add, Remove and Default change the live
// association table at once; only OK stores anything and restarts the music.
#include <QDialog>
#include <functional>

#include "media/SoundSystem.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace canasta {

class TfmSound : public QDialog {
    Q_OBJECT
public:
    explicit TfmSound(TSoundSystem& sound, QWidget* parent = nullptr);

    // The file and folder choosers, replaceable in tests. Each gets the folder
    // to start in and returns the choice, empty when cancelled.
    std::function<QString(const QString& startFolder)> ChooseSoundFile;
    std::function<QString(const QString& startFolder)> ChooseMusicFile;
    std::function<QString(const QString& startFolder)> ChooseJukeboxFolder;

    QTabWidget* Tabs;
    QCheckBox* SoundEnabled;
    QListWidget* EventList;
    QListWidget* SoundList;
    QPushButton* AddButton;
    QPushButton* RemoveButton;
    QPushButton* PlayButton;
    QPushButton* DefaultButton;
    QCheckBox* MusicEnabled;
    QRadioButton* JukeboxChoice;
    QLineEdit* JukeboxFolder;
    QPushButton* JukeboxBrowse;
    QRadioButton* SingleChoice;
    QLineEdit* SingleFile;
    QPushButton* SingleBrowse;
    QPushButton* OkButton;
    QPushButton* CancelButton;

    void Add();
    void Remove();
    void Play();
    void RestoreDefault();
    void BrowseMusicFile();
    void BrowseJukeboxFolder();
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TEventSounds& CurrentSounds();
    // Refills the associated list and selects row (clamped; none when empty).
    void ShowSounds(int row);
    void UpdateButtons();

    TSoundSystem& Sound;
};

}  // namespace canasta
