// SPDX-License-Identifier: GPL-3.0-or-later
// The "Canasta Sound" dialog: live changes to the association table, keys in
// the associated list, the choosers, and what OK and Cancel store.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <filesystem>

#include "media/MediaFiles.h"
#include "media/MediaTestSupport.h"
#include "media/SoundDialog.h"

namespace canasta {
namespace {

using test::TSoundRig;

void PressKey(QWidget* w, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

QStringList Items(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

class SoundDialog : public ::testing::Test {
protected:
    SoundDialog() { test::TestApp(); }
    void Open() {
        Dialog = std::make_unique<TfmSound>(*rig.Sound);
        Dialog->ChooseSoundFile = [this](const QString& start) {
            ++SoundChooserCalls;
            return NextChoice;
        };
    }
    void SelectEvent(TSoundEvent e) { Dialog->EventList->setCurrentRow(EventIndex(e)); }

    TSoundRig rig;
    std::unique_ptr<TfmSound> Dialog;
    QString NextChoice;
    int SoundChooserCalls = 0;
};

TEST_F(SoundDialog, OpensWithTheCurrentSettings) {
    rig.Sound->Music = {false, true, 0, "tune.mid", "/home/me/tunes"};
    Open();
    ASSERT_EQ(Dialog->EventList->count(), 15);
    EXPECT_EQ(Dialog->EventList->currentRow(), 0);
    EXPECT_EQ(Items(Dialog->SoundList), QStringList{"shufl.wav"});
    EXPECT_EQ(Dialog->SoundList->currentRow(), 0);
    EXPECT_FALSE(Dialog->SoundEnabled->isChecked());
    EXPECT_TRUE(Dialog->MusicEnabled->isChecked());
    EXPECT_TRUE(Dialog->SingleChoice->isChecked());
    EXPECT_EQ(Dialog->SingleFile->text(), "tune.mid");
    EXPECT_EQ(Dialog->JukeboxFolder->text(), "/home/me/tunes");

    SelectEvent(TSoundEvent::LoseMatch);
    EXPECT_EQ(Items(Dialog->SoundList), (QStringList{"toobad.wav", "haha.wav"}));
    EXPECT_EQ(Dialog->SoundList->currentRow(), 0);
}

TEST_F(SoundDialog, InsertAndDeleteKeysFollowTheButtons) {
    Open();
    SelectEvent(TSoundEvent::LoseMatch);
    Dialog->SoundList->setCurrentRow(1);
    PressKey(Dialog->SoundList, Qt::Key_Delete);
    EXPECT_EQ(Items(Dialog->SoundList), QStringList{"toobad.wav"});
    EXPECT_EQ(Dialog->SoundList->currentRow(), 0) << "selection falls back to the last remaining sound";

    NextChoice = "/sounds/Boo.wav";
    PressKey(Dialog->SoundList, Qt::Key_Insert);
    NextChoice = "/sounds/hiss.wav";
    PressKey(Dialog->SoundList, Qt::Key_Insert);
    EXPECT_EQ(Items(Dialog->SoundList), (QStringList{"toobad.wav", "/sounds/Boo.wav", "/sounds/hiss.wav"}));
    EXPECT_FALSE(Dialog->AddButton->isEnabled());
    PressKey(Dialog->SoundList, Qt::Key_Insert);
    EXPECT_EQ(SoundChooserCalls, 2) << "Insert must do nothing while Add is disabled";

    NextChoice.clear();  // a cancelled chooser adds nothing
    Dialog->SoundList->setCurrentRow(0);
    PressKey(Dialog->SoundList, Qt::Key_Delete);
    EXPECT_TRUE(Dialog->AddButton->isEnabled());
    Dialog->Add();
    EXPECT_EQ(rig.Sound->Associations[EventIndex(TSoundEvent::LoseMatch)].Count, 2);

    for (int i = 0; i < 3; ++i) PressKey(Dialog->SoundList, Qt::Key_Delete);
    EXPECT_EQ(Dialog->SoundList->count(), 0);
    EXPECT_FALSE(Dialog->RemoveButton->isEnabled());
    EXPECT_FALSE(Dialog->PlayButton->isEnabled());

    Dialog->DefaultButton->click();
    EXPECT_EQ(Items(Dialog->SoundList), (QStringList{"toobad.wav", "haha.wav"}));
}

TEST_F(SoundDialog, CancelKeepsARemovedSoundUntilRestart) {
    Open();
    SelectEvent(TSoundEvent::LoseMatch);
    PressKey(Dialog->SoundList, Qt::Key_Delete);  // removes toobad.wav
    Dialog->CancelButton->click();
    EXPECT_EQ(Dialog->result(), QDialog::Rejected);

    for (int i = 0; i < 20; ++i) rig.Sound->PlaySoundEvent(TSoundEvent::LoseMatch);
    for (const std::string& w : rig.Player->Waves) EXPECT_EQ(std::filesystem::path(w).filename(), "haha.wav");
    EXPECT_TRUE(rig.Store.ListNames("Sound").empty()) << "Cancel must not store anything";

    TSoundSystem restarted(&rig.Store, std::make_unique<test::TFakeAudioPlayer>());
    restarted.LoadSettings();
    EXPECT_EQ(restarted.Associations[EventIndex(TSoundEvent::LoseMatch)].Count, 2);
}

TEST_F(SoundDialog, OkWritesTheSoundKeyAnewAndRestartsTheMusic) {
    WriteString(&rig.Store, "Sound\\Deal1", "a.wav");
    WriteString(&rig.Store, "Sound\\Deal2", "b.wav");
    WriteString(&rig.Store, "Sound\\Deal3", "c.wav");
    WriteString(&rig.Store, "Sound\\Shuffle1", "from an older version.wav");
    rig.Sound->LoadSettings();
    rig.Sound->PlayListPosition = 3;
    Open();
    Dialog->DefaultButton->click();  // Deal back to shufl.wav
    SelectEvent(TSoundEvent::Highscore);
    Dialog->RemoveButton->click();
    Dialog->SoundEnabled->setChecked(false);
    Dialog->Tabs->setCurrentIndex(1);
    Dialog->SingleChoice->setChecked(true);
    Dialog->SingleFile->setText("ARCADIA.MID");
    Dialog->OkButton->click();
    EXPECT_EQ(Dialog->result(), QDialog::Accepted);

    EXPECT_EQ(ReadString(&rig.Store, "Sound\\Deal1", ""), "shufl.wav");
    EXPECT_EQ(ReadString(&rig.Store, "Sound\\Deal2", ""), "");
    EXPECT_EQ(ReadString(&rig.Store, "Sound\\Deal3", ""), "");
    EXPECT_EQ(ReadString(&rig.Store, "Sound\\Shuffle1", ""), "");
    EXPECT_EQ(ReadString(&rig.Store, "Sound\\Highscore1", ""), "<none>");
    EXPECT_EQ(ReadString(&rig.Store, "Sound\\Win Match1", ""), "wonderfl.wav");
    EXPECT_FALSE(ReadBool(&rig.Store, "Settings\\Sound", true));
    EXPECT_EQ(ReadInt(&rig.Store, "Settings\\Music Type", -1), 0);
    EXPECT_EQ(ReadString(&rig.Store, "Music\\File", ""), "ARCADIA.MID");
    EXPECT_EQ(ReadString(&rig.Store, "Music\\Dir", ""), ShippedMusicFolder());

    EXPECT_FALSE(rig.Sound->Music.SoundEnabled);
    EXPECT_EQ(rig.Sound->PlayListPosition, -1);
    ASSERT_EQ(rig.Player->Pieces.size(), 1u);
    EXPECT_EQ(rig.Player->Pieces[0], TSoundSystem::MusicFilePath("ARCADIA.MID"));
}

TEST_F(SoundDialog, ChoosersFillTheMusicTab) {
    rig.Sound->Music.MusicFile = "/home/me/Songs/old.mid";
    Open();
    QString fileStart, folderStart;
    Dialog->ChooseMusicFile = [&](const QString& start) {
        fileStart = start;
        return QString("/home/me/Songs/New Song.MID");
    };
    Dialog->ChooseJukeboxFolder = [&](const QString& start) {
        folderStart = start;
        return QString("/home/me/Jukebox");
    };
    Dialog->SingleBrowse->click();
    EXPECT_EQ(fileStart, "/home/me/Songs");
    EXPECT_EQ(Dialog->SingleFile->text(), "/home/me/Songs/New Song.MID") << "Linux names keep their case";
    EXPECT_TRUE(Dialog->SingleChoice->isChecked());

    Dialog->JukeboxBrowse->click();
    EXPECT_EQ(folderStart, QString::fromStdString(ShippedMusicFolder()));
    EXPECT_EQ(Dialog->JukeboxFolder->text(), "/home/me/Jukebox");
    EXPECT_TRUE(Dialog->JukeboxChoice->isChecked());

    Dialog->ChooseMusicFile = [](const QString&) { return QString(); };
    Dialog->SingleBrowse->click();
    EXPECT_TRUE(Dialog->JukeboxChoice->isChecked()) << "a cancelled chooser changes nothing";
}

}  // namespace
}  // namespace canasta
