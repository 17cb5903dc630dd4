// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/Migration.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "store/RegistryEnhanced.h"
#include "store/SettingsCatalog.h"
#include "store/TestSupport.h"

namespace canasta {
namespace {

using test::Exists;
using test::WriteFile;

TEST(IniReaderTest, ReadsWindowsIniFiles) {
    test::TTempDir dir;
    WriteFile(dir.Path("a.ini"),
              "\xEF\xBB\xBF[Other]\r\nVersion=1\r\n; comment\r\n  [ canasta SETTINGS ]  \r\n# comment\r\n"
              "bad line\r\n=no name\r\n  Version =  300 \r\nVERSION=400\r\nSound=\r\nMusic=\"Off\"\r\n"
              "Cards=Two ; kept\r\n[Next]\r\nAutoSave=No\r\n[Canasta Settings]\r\nAutoSave=No");
    EXPECT_EQ(ReadIniSection(dir.Path("a.ini"), "Canasta Settings"),
              (TIniSection{
                  {"version", "300"}, {"sound", ""}, {"music", "Off"}, {"cards", "Two ; kept"}, {"autosave", "No"}}));
    EXPECT_TRUE(ReadIniSection(dir.Path("missing.ini"), "Canasta Settings").empty());
}

class MigrationTest : public ::testing::Test {
protected:
    MigrationTest() {
        std::filesystem::create_directory(Data);
        for (const char* f :
             {"autosave.can", "Zoe.CAN", "DUD640.DLL", "ZEZ800.DLL", "DER1024.DLL", "CANASTA.INI", "keep.can.txt"})
            WriteFile(Data + "/" + f, "x");
        Store.OnWriteError = [this](const std::string& m) { Reports.push_back(m); };
    }
    void Migrate(const std::string& ini) {
        if (!ini.empty()) WriteFile(Ini, "[Canasta Settings]\r\n" + ini);
        MigrateSettings(&Store, Ini, Data);
    }
    bool InData(const char* f) const { return Exists(Data + "/" + f); }
    int32_t Version() { return Read(&Store, settings::Version); }

    test::TTempDir Dir;
    std::string Ini = Dir.Path("canasta.ini");
    std::string Data = Dir.Path("data");
    TRegistryEnhanced Store{Dir.Path("settings.sqlite3")};
    std::vector<std::string> Reports;
};

TEST_F(MigrationTest, UpgradeFromVersion300ImportsTheIniAndDeletesOldFiles) {
    Migrate(
        "Version=300\r\nMusic=Off\r\nAutoSave=yes\r\nCanasta Required=Yes\r\nDraw Extra=No\r\n"
        "Three Block=Yes\r\nTOP CARD COUNTS=No\r\nNatural pair=No\r\nNumber of Canastas=Two\r\n"
        "Number of Cards=one\r\n");
    EXPECT_EQ(Version(), 41301);
    EXPECT_EQ(Read(&Store, settings::BackgroundColor), 128);
    EXPECT_FALSE(Read(&Store, settings::Music));
    EXPECT_FALSE(Read(&Store, settings::AutoSave));                         // "yes" is not "Yes"
    EXPECT_EQ(Store.ReadValue(settings::Sound.Path, 0), TSettingValue(1));  // a boolean, not the text
    TRuleOptions r = LoadRuleOptions(&Store);
    EXPECT_TRUE(r.CanastaRequired && r.RedThreeFreezes && r.AddToCanasta && r.InitiallyFrozen);
    EXPECT_FALSE(r.RedThreeDrawsExtra || r.TopCardCounts || r.NaturalPair);
    EXPECT_EQ(std::tie(r.CanastasToGoOut, r.CardsDrawn), std::make_tuple(2, 2));  // "one" is not "One"

    for (const char* gone : {"autosave.can", "Zoe.CAN", "DUD640.DLL", "ZEZ800.DLL", "DER1024.DLL", "CANASTA.INI"})
        EXPECT_FALSE(InData(gone)) << gone;
    EXPECT_TRUE(InData("keep.can.txt"));
    EXPECT_FALSE(InData("canasta.ini"));  // copied only below version 300
    EXPECT_TRUE(Exists(Ini));
    EXPECT_TRUE(Reports.empty());

    WriteFile(Data + "/new.can", "x");  // once only: later games survive the next start
    Migrate("");
    EXPECT_TRUE(InData("new.can"));
}

TEST_F(MigrationTest, FreshSystemOnlyRecordsTheVersion) {
    Migrate("");
    EXPECT_EQ(Version(), 41301);
    EXPECT_EQ(Store.ListNames(""), std::vector<std::string>{"Settings"});
    EXPECT_EQ(Store.ListNames("Settings"), std::vector<std::string>{"Version"});
    EXPECT_TRUE(InData("autosave.can") && InData("DUD640.DLL"));
}

TEST_F(MigrationTest, VersionsBefore300CopyTheIniIntoTheDataFolder) {
    Migrate("Version=250\nSound=No\n");
    EXPECT_EQ(test::ReadFile(Data + "/canasta.ini"), test::ReadFile(Ini));
    EXPECT_FALSE(Read(&Store, settings::Sound));

    // With CANASTA_HOME both folders are one: the ini must not be copied onto itself.
    TRegistryEnhanced fresh(Dir.Path("other.sqlite3"));
    MigrateSettings(&fresh, Data + "/canasta.ini", Data);
    EXPECT_EQ(test::ReadFile(Data + "/canasta.ini"), test::ReadFile(Ini));
}

TEST_F(MigrationTest, StoreVersionDecidesWhatIsDone) {
    WriteInt(&Store, settings::Version.Path, 41200);  // recent: old games go, the ini is not imported
    Migrate("Version=300\nSound=No\n");
    EXPECT_EQ(Version(), 41301);
    EXPECT_FALSE(InData("autosave.can"));
    EXPECT_TRUE(InData("DUD640.DLL") && Read(&Store, settings::Sound));

    // Current or newer: left alone, so a newer program does not migrate again.
    WriteFile(Data + "/autosave.can", "x");
    for (int32_t v : {41301, 50000}) {
        WriteInt(&Store, settings::Version.Path, v);
        Migrate("");
        EXPECT_EQ(Version(), v);
        EXPECT_TRUE(InData("autosave.can"));
    }
}

TEST_F(MigrationTest, NoFilesAreTouchedWhenTheStoreCannotBeWritten) {
    // The version could not be recorded, so every start would delete the games again.
    WriteFile(Dir.Path("settings.sqlite3"), std::string(4096, 'j'));
    Migrate("Version=300\n");
    EXPECT_TRUE(InData("autosave.can") && InData("DUD640.DLL"));
    EXPECT_EQ(Reports.size(), 1u);
}

TEST_F(MigrationTest, NoFilesAreTouchedOutsideTheDataFolder) {
    WriteFile(Ini, "[Canasta Settings]\nVersion=250\n");
    char* cwd = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(Data.c_str()), 0);
    MigrateSettings(&Store, Ini, "");
    ASSERT_EQ(chdir(cwd), 0);
    free(cwd);
    EXPECT_EQ(Version(), 41301);
    EXPECT_TRUE(InData("autosave.can") && InData("DUD640.DLL") && InData("CANASTA.INI"));
    EXPECT_FALSE(InData("canasta.ini"));
}

}  // namespace
}  // namespace canasta
