// SPDX-License-Identifier: GPL-3.0-or-later
// The sound association table, the random choice of an event's sound and the
// jukebox, played through a recording player.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "media/MediaFiles.h"
#include "media/MediaTestSupport.h"
#include "media/SoundSystem.h"
#include "store/TestSupport.h"

namespace canasta {
namespace {

using test::TSoundRig;
namespace fs = std::filesystem;

std::string Shipped(const std::string& name) { return (fs::path(ShippedSoundFolder()) / name).string(); }

TEST(SoundAssociations, StoredValuesReplaceDefaultsAndNoneSilencesAnEvent) {
    TSoundRig rig;
    WriteString(&rig.Store, "Sound\\Deal1", "<none>");
    WriteString(&rig.Store, "Sound\\Exit1", "/tmp/bye.wav");
    WriteString(&rig.Store, "Sound\\Exit2", "later.wav");
    // A gap ends the list, and no event holds more than three.
    WriteString(&rig.Store, "Sound\\Start1", "a.wav");
    WriteString(&rig.Store, "Sound\\Start3", "c.wav");
    for (int n = 1; n <= 4; ++n)
        WriteString(&rig.Store, "Sound\\Win Hand" + std::to_string(n), std::to_string(n) + ".wav");
    rig.Sound->LoadSettings();

    const TSoundAssociations& a = rig.Sound->Associations;
    EXPECT_EQ(a[EventIndex(TSoundEvent::Deal)].Count, 0);
    EXPECT_EQ(a[EventIndex(TSoundEvent::Exit)].Count, 2);
    EXPECT_EQ(a[EventIndex(TSoundEvent::Exit)].Slots[1], "later.wav");
    EXPECT_EQ(a[EventIndex(TSoundEvent::Start)].Count, 1);
    EXPECT_EQ(a[EventIndex(TSoundEvent::WinHand)].Count, 3);
    EXPECT_EQ(a[EventIndex(TSoundEvent::WinHand)].Slots[2], "3.wav");
    EXPECT_EQ(a[EventIndex(TSoundEvent::LoseMatch)], DefaultEventSounds(EventIndex(TSoundEvent::LoseMatch)));

    rig.Sound->PlaySoundEvent(TSoundEvent::Deal);
    EXPECT_TRUE(rig.Player->Waves.empty()) << "\"<none>\" must win over the default shufl.wav";
    rig.Sound->PlaySoundEvent(TSoundEvent::NaturalCanasta);
    rig.Sound->PlaySoundEvent(TSoundEvent::Start);
    ASSERT_EQ(rig.Player->Waves.size(), 2u);
    EXPECT_EQ(rig.Player->Waves[0], Shipped("natural.wav"));
    EXPECT_EQ(rig.Player->Waves[1], Shipped("a.wav"));
}

TEST(SoundAssociations, SavingRewritesTheWholeSoundKey) {
    TSoundRig rig;
    WriteString(&rig.Store, "Sound\\Deal1", "old1.wav");
    WriteString(&rig.Store, "Sound\\Deal2", "old2.wav");
    WriteString(&rig.Store, "Sound\\Deal3", "old3.wav");
    WriteString(&rig.Store, "Sound\\Retired Event1", "x.wav");
    rig.Sound->LoadSettings();
    TSoundAssociations& a = rig.Sound->Associations;
    a[EventIndex(TSoundEvent::Deal)].Remove(2);
    a[EventIndex(TSoundEvent::Deal)].Remove(0);
    a[EventIndex(TSoundEvent::Highscore)] = {};
    rig.Sound->SaveSettings();

    EXPECT_EQ(ReadString(&rig.Store, "Sound\\Deal1", ""), "old2.wav");
    EXPECT_EQ(ReadString(&rig.Store, "Sound\\Deal2", ""), "");
    EXPECT_EQ(ReadString(&rig.Store, "Sound\\Deal3", ""), "") << "stale third value must be gone";
    EXPECT_EQ(ReadString(&rig.Store, "Sound\\Retired Event1", ""), "");
    EXPECT_EQ(ReadString(&rig.Store, "Sound\\Highscore1", ""), "<none>");
    EXPECT_EQ(ReadString(&rig.Store, "Sound\\Lose Match2", ""), "haha.wav");
    EXPECT_EQ(ReadString(&rig.Store, "Sound\\End Turn (network games)1", ""), "yourturn.wav");
    // 15 events: 14 single values, "Lose Match" with two.
    EXPECT_EQ(rig.Store.ListNames("Sound").size(), 16u);
    EXPECT_EQ(LoadSoundAssociations(&rig.Store), a);
}

TEST(SoundEvents, LoseMatchPlaysEitherFileAtRandom) {
    TSoundRig rig(12345);
    for (int i = 0; i < 400; ++i) rig.Sound->PlaySoundEvent(TSoundEvent::LoseMatch);
    std::map<std::string, int> seen;
    for (const std::string& w : rig.Player->Waves) ++seen[w];
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_GT(seen[Shipped("toobad.wav")], 120);
    EXPECT_GT(seen[Shipped("haha.wav")], 120);
}

TEST(SoundEvents, SoundSwitchAndFileNames) {
    TSoundRig rig;
    rig.Sound->Associations[EventIndex(TSoundEvent::Exit)] = {};
    rig.Sound->Associations[EventIndex(TSoundEvent::Exit)].Add("/home/me/bye.wav");
    rig.Sound->PlaySoundEvent(TSoundEvent::Exit);
    rig.Sound->PlayFile("about.wav");
    for (int i = 0; i < 4; ++i) rig.Sound->PlayHelpSound();
    rig.Sound->Music.SoundEnabled = false;
    rig.Sound->PlaySoundEvent(TSoundEvent::Exit);
    rig.Sound->PlayFile("about.wav");
    rig.Sound->PreviewFile("help.wav");  // the dialog's Play button works with sound off
    EXPECT_EQ(
        rig.Player->Waves,
        (std::vector<std::string>{"/home/me/bye.wav", Shipped("about.wav"), Shipped("help.wav"), Shipped("manuel.wav"),
                                  Shipped("nowwhat.wav"), Shipped("help.wav"), Shipped("help.wav")}));
}

TEST(SoundSettings, MusicValuesAreReadWithDefaultsAndWrittenBack) {
    TSoundRig rig;
    rig.Sound->LoadSettings();
    EXPECT_EQ(rig.Sound->Music, (TMusicSettings{true, true, 1, "ARCADIA.MID", ShippedMusicFolder()}));

    WriteBool(&rig.Store, "Settings\\Sound", false);
    WriteInt(&rig.Store, "Settings\\Music Type", 0);
    WriteString(&rig.Store, "Music\\Dir", "/home/me/tunes/");
    rig.Sound->LoadSettings();
    EXPECT_FALSE(rig.Sound->Music.SoundEnabled);
    EXPECT_EQ(rig.Sound->Music.MusicType, 0);
    EXPECT_EQ(rig.Sound->Music.MusicDir, "/home/me/tunes");

    rig.Sound->Music = {true, false, 1, "/x/Song.MID", "/y"};
    rig.Sound->SaveSettings();
    EXPECT_TRUE(ReadBool(&rig.Store, "Settings\\Sound", false));
    EXPECT_FALSE(ReadBool(&rig.Store, "Settings\\Music", true));
    EXPECT_EQ(ReadInt(&rig.Store, "Settings\\Music Type", -1), 1);
    EXPECT_EQ(ReadString(&rig.Store, "Music\\File", ""), "/x/Song.MID");
    EXPECT_EQ(ReadString(&rig.Store, "Music\\Dir", ""), "/y");
}

class Jukebox : public ::testing::Test {
protected:
    void SetUp() override {
        rig.Sound->Music.MusicType = 1;
        rig.Sound->Music.MusicDir = Dir.Path("tunes");
        fs::create_directories(rig.Sound->Music.MusicDir);
    }
    std::string Add(const std::string& name) {
        std::string path = Dir.Path("tunes/" + name);
        test::WriteFile(path, "MThd");
        return path;
    }
    test::TTempDir Dir;
    TSoundRig rig;
};

TEST_F(Jukebox, EmptyOrMissingFolderPlaysNothing) {
    rig.Sound->PlayMusic();
    EXPECT_EQ(rig.Player->MusicStarts, 0);
    rig.Sound->Music.MusicDir = Dir.Path("no such folder");
    rig.Sound->PlayListPosition = -1;
    rig.Sound->PlayMusic();
    EXPECT_EQ(rig.Player->MusicStarts, 0);
    EXPECT_FALSE(rig.Player->Playing);
}

TEST_F(Jukebox, OnlyMidiFilesOfAnyCaseAreCollected) {
    const std::string a = Add("a.mid"), b = Add("B.MID"), c = Add("c.Mid");
    Add("notes.txt");
    Add("d.midi");
    fs::create_directories(Dir.Path("tunes/folder.mid"));
    EXPECT_EQ(MidiFilesIn(rig.Sound->Music.MusicDir), (std::vector<std::string>{a, b, c}));
}

TEST_F(Jukebox, EachPieceOnceThenAFreshlyShuffledList) {
    std::vector<std::string> files;
    for (int i = 0; i < 6; ++i) files.push_back(Add("piece" + std::to_string(i) + ".mid"));
    rig.Sound->PlayMusic();
    for (int i = 0; i < 5; ++i) rig.Player->EndPiece();
    std::vector<std::string> round1 = rig.Player->Pieces;
    EXPECT_EQ(rig.Sound->PlayListPosition, -1) << "the list is used up after its last piece";
    std::vector<std::string> sorted = round1;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, files);
    EXPECT_NE(round1, files) << "six pieces in folder order: not shuffled";

    // The next piece comes from a list built anew: a file added since is in it.
    const std::string added = Add("zz-new.mid");
    for (int i = 0; i < 7; ++i) rig.Player->EndPiece();
    std::vector<std::string> round2(rig.Player->Pieces.begin() + 6, rig.Player->Pieces.end());
    EXPECT_NE(std::find(round2.begin(), round2.end(), added), round2.end());
    sorted = round2;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "a piece twice in one round";
}

TEST_F(Jukebox, VanishedAndUnplayablePiecesAreSkipped) {
    for (const char* name : {"a.mid", "b.mid", "c.mid"}) Add(name);
    rig.Sound->PlayMusic();
    // Remove the two pieces still to come and make the current one unplayable.
    const std::string first = rig.Player->Pieces.at(0);
    for (size_t i = 1; i < rig.Sound->PlayList.size(); ++i) fs::remove(rig.Sound->PlayList[i]);
    rig.Player->Unplayable.insert(first);
    rig.Player->EndPiece();
    EXPECT_EQ(rig.Player->Pieces.size(), 1u) << "nothing left that plays";
    EXPECT_FALSE(rig.Player->Playing);

    // An unplayable piece among good ones: the next good one plays.
    Add("a.mid");
    Add("c.mid");
    const std::string b = Add("b.mid");
    rig.Player->Unplayable = {b};
    for (int i = 0; i < 6; ++i) rig.Player->EndPiece();
    for (size_t i = 1; i < rig.Player->Pieces.size(); ++i) EXPECT_NE(rig.Player->Pieces[i], b);
    EXPECT_EQ(rig.Player->Pieces.size(), 7u);
}

TEST_F(Jukebox, NothingButUnplayableFilesEndsInSilence) {
    for (const char* name : {"a.mid", "b.mid", "c.mid"}) rig.Player->Unplayable.insert(Add(name));
    rig.Sound->PlayMusic();
    EXPECT_TRUE(rig.Player->Pieces.empty());
    EXPECT_LE(rig.Player->MusicStarts, 6);
}

TEST_F(Jukebox, SingleFileRepeatsAndMusicOffStops) {
    TMusicSettings m = rig.Sound->Music;
    m.MusicType = 0;
    m.MusicFile = Add("Loop.MID");
    rig.Sound->ApplyMusicSettings(m);
    rig.Player->EndPiece();
    rig.Player->EndPiece();
    EXPECT_EQ(rig.Player->Pieces, std::vector<std::string>(3, m.MusicFile));

    m.MusicFile = "ARCADIA.MID";  // a bare name is a shipped piece
    rig.Sound->ApplyMusicSettings(m);
    EXPECT_EQ(rig.Player->Pieces.back(), (fs::path(ShippedMusicFolder()) / "ARCADIA.MID").string());

    m.MusicFile = Dir.Path("gone.mid");
    rig.Sound->ApplyMusicSettings(m);
    EXPECT_FALSE(rig.Player->Playing);
    EXPECT_EQ(rig.Player->Pieces.size(), 4u);

    m.MusicFile = "ARCADIA.MID";
    m.MusicEnabled = false;
    rig.Sound->ApplyMusicSettings(m);
    EXPECT_FALSE(rig.Player->Playing);
    EXPECT_EQ(rig.Player->Pieces.size(), 4u);
}

TEST_F(Jukebox, ShutdownStopsMusicAndWaitsForTheExitSound) {
    Add("a.mid");
    Add("b.mid");
    rig.Sound->PlayMusic();
    rig.Player->WaveLengthPolls = 5;
    test::TestApp();
    rig.Sound->Shutdown();
    EXPECT_FALSE(rig.Player->Playing);
    EXPECT_EQ(rig.Player->Waves, std::vector<std::string>{Shipped("done.wav")});
    EXPECT_EQ(rig.Player->WavePolls, 6) << "must wait until the exit sound has ended";
    EXPECT_EQ(rig.Player->WaveCloses, 1);
    rig.Player->EndPiece();  // a late end of play starts nothing
    EXPECT_EQ(rig.Player->Pieces.size(), 1u);
}

}  // namespace
}  // namespace canasta
