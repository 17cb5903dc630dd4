// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/RegistryEnhanced.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "store/TestSupport.h"

namespace canasta {
namespace {

using Names = std::vector<std::string>;

class RegistryTest : public ::testing::Test {
protected:
    // A store on File that keeps its write-error reports.
    TRegistryEnhanced Store(const std::string& file = "") {
        TRegistryEnhanced r(file.empty() ? File : file);
        r.OnWriteError = [this](const std::string& m) { Reports.push_back(m); };
        return r;
    }
    // Every read gives the default, nothing throws, a write fails and is reported once.
    void ExpectDefaultsOnly() {
        auto r = Store();
        EXPECT_EQ(ReadInt(&r, "Settings\\Delay", 300), 300);
        EXPECT_EQ(ReadString(&r, "Settings\\Level", "Beginner"), "Beginner");
        EXPECT_TRUE(r.ListNames("").empty());
        EXPECT_FALSE(r.WriteValue("Settings\\Delay", 5));
        EXPECT_FALSE(r.DeleteSubKey("Settings"));
        ASSERT_EQ(Reports.size(), 1u);
        EXPECT_NE(Reports[0].find(File), std::string::npos) << Reports[0];
    }

    test::TTempDir Dir;
    std::string File = Dir.Path("settings.sqlite3");
    std::vector<std::string> Reports;
};

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheFirstSpelling) {
    auto r = Store();
    ASSERT_TRUE(r.WriteValue("Settings\\Mouse Options", std::string("Double Right Click")));
    ASSERT_TRUE(r.WriteValue("SETTINGS\\Delay", 100));
    EXPECT_EQ(ReadString(&r, "\\settings\\\\Mouse options\\", ""), "Double Right Click");
    ASSERT_TRUE(r.WriteValue("settings\\MOUSE OPTIONS", std::string("Single Right Click")));
    EXPECT_EQ(ReadString(&r, "Settings\\Mouse Options", ""), "Single Right Click");
    EXPECT_EQ(r.ListNames("settings"), (Names{"Delay", "Mouse Options"}));
    EXPECT_EQ(r.ListNames(""), (Names{"Settings"}));
}

TEST_F(RegistryTest, ValuesKeepTheirType) {
    auto r = Store();
    TBinary full(BinaryBufferSize);
    for (size_t i = 0; i < full.size(); ++i) full[i] = static_cast<uint8_t>(i * 7);
    const std::vector<std::pair<const char*, TSettingValue>> values{
        {"Settings\\Sound", std::string("maybe")},  // a string where a boolean is expected
        {"a\\min", INT32_MIN},
        {"a\\max", INT32_MAX},
        {"a\\empty", std::string()},
        {"a\\text", std::string("\xC3\xA9t\xC3\xA9\0\\", 7)},
        {"a\\bin", full},
        {"a\\nobin", TBinary{}}};
    for (auto& [path, v] : values) ASSERT_TRUE(r.WriteValue(path, v)) << path;
    for (auto& [path, v] : values) EXPECT_EQ(r.ReadValue(path, 1), v) << path;
    EXPECT_EQ(r.ReadValue("a\\missing", 7), TSettingValue(7));
    EXPECT_TRUE(r.WriteValue("a\\min", std::monostate{}));  // writes nothing
    EXPECT_EQ(r.ReadValue("a\\min", 1), TSettingValue(INT32_MIN));
    EXPECT_TRUE(Reports.empty());

    // A value larger than the read buffer would never read back: refused and reported.
    EXPECT_FALSE(r.WriteValue("a\\bin", TBinary(BinaryBufferSize + 1, 1)));
    EXPECT_EQ(r.ReadValue("a\\bin", 0), TSettingValue(full));
    EXPECT_EQ(Reports.size(), 1u);
}

TEST_F(RegistryTest, KeyRootAndAccessDecideWhatIsSeen) {
    ASSERT_TRUE(Store().WriteValue("Settings\\Delay", 100));
    auto r = Store();
    r.Key = "\\Software\\Quorvane\\Canasta\\";
    EXPECT_EQ(ReadInt(&r, "Settings\\Delay", 0), 100);
    r.Key = "Software\\Quorvane\\Other";
    EXPECT_EQ(ReadInt(&r, "Settings\\Delay", 0), 0);
    r.Key = ProgramKey;
    r.RootKey = TRootKey::hkCurrentUser;
    EXPECT_EQ(ReadInt(&r, "Settings\\Delay", 0), 0);
    r.RootKey = TRootKey::hkLocalMachine;
    r.Access = TAccess::kWrite;
    EXPECT_EQ(ReadInt(&r, "Settings\\Delay", 0), 0);
    r.Access = TAccess::kRead;
    EXPECT_EQ(ReadInt(&r, "Settings\\Delay", 0), 100);
    EXPECT_FALSE(r.WriteValue("Settings\\Delay", 5));
    EXPECT_EQ(Reports.size(), 1u);

    // An empty key does nothing at all.
    auto none = Store();
    none.Key = "\\";
    EXPECT_EQ(ReadInt(&none, "Settings\\Delay", 1), 1);
    EXPECT_FALSE(none.WriteValue("Settings\\Delay", 5));
    EXPECT_FALSE(none.DeleteSubKey("Settings"));
    EXPECT_TRUE(none.ListNames("Settings").empty());
    EXPECT_EQ(ReadInt(&r, "Settings\\Delay", 0), 100);
}

TEST_F(RegistryTest, DeleteSubKeyTakesItsValuesAndDeeperKeysOnly) {
    auto r = Store();
    for (const char* path : {"Player Names\\PlayerName1", "Player Names\\PlayerName2", "Player Names\\Deep\\X",
                             "Player Names2\\A", "Player\\B", "Settings\\Player Names"})
        ASSERT_TRUE(r.WriteValue(path, std::string("v")));
    EXPECT_EQ(r.ListNames("player names"), (Names{"Deep", "PlayerName1", "PlayerName2"}));
    EXPECT_EQ(r.ListNames(""), (Names{"Player", "Player Names", "Player Names2", "Settings"}));

    EXPECT_FALSE(r.DeleteSubKey(""));  // would be the whole program key
    EXPECT_TRUE(r.DeleteSubKey("PLAYER NAMES"));
    EXPECT_TRUE(r.DeleteSubKey("No Such Key"));
    EXPECT_EQ(r.ListNames(""), (Names{"Player", "Player Names2", "Settings"}));
    EXPECT_EQ(ReadString(&r, "Player Names\\Deep\\X", "-"), "-");
    EXPECT_EQ(ReadString(&r, "Settings\\Player Names", "-"), "v");
    EXPECT_TRUE(Reports.empty());
}

TEST_F(RegistryTest, MissingFileGivesDefaultsAndReadingCreatesNothing) {
    auto r = Store();
    EXPECT_EQ(ReadInt(&r, "Settings\\Delay", 300), 300);
    EXPECT_TRUE(r.ListNames("Settings").empty());
    EXPECT_TRUE(r.DeleteSubKey("Settings"));
    EXPECT_FALSE(test::Exists(File));
    EXPECT_TRUE(Reports.empty());
}

TEST_F(RegistryTest, CorruptFileGivesDefaultsAndIsLeftAsItIs) {
    std::mt19937 rng(42);
    std::string junk(8192, '\0');
    for (char& c : junk) c = static_cast<char>(rng());
    test::WriteFile(File, junk);
    ExpectDefaultsOnly();
    EXPECT_EQ(test::ReadFile(File), junk);
}

TEST_F(RegistryTest, UnreadableFileGivesDefaults) {
    std::filesystem::create_directory(File);  // unreadable as a database even for root
    ExpectDefaultsOnly();
}

// Runs body in a child process without root's right to write anywhere;
// its exit code is the number of failed checks.
int RunAsUnprivileged(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
        _exit(body());
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -2;
    return WEXITSTATUS(status);
}

TEST_F(RegistryTest, FileWithoutPermissionGivesDefaults) {
    ASSERT_TRUE(Store().WriteValue("Settings\\Delay", 100));
    ASSERT_EQ(chmod(File.c_str(), 0), 0);
    // Root reads any file: the check runs as "nobody", who may enter the
    // folder but not read the file.
    ASSERT_EQ(chmod(std::filesystem::path(File).parent_path().c_str(), 0777), 0);
    const int failed = RunAsUnprivileged([&] {
        ExpectDefaultsOnly();
        return ::testing::Test::HasFailure() ? 1 : 0;
    });
    EXPECT_EQ(failed, 0) << "the store read or wrote a file it has no permission for (see above)";
}

TEST_F(RegistryTest, HeldDatabaseGivesDefaultsQuicklyAndWritesResumeWhenFreed) {
    auto r = Store();
    r.BusyTimeoutMs = 100;
    ASSERT_TRUE(r.WriteValue("Settings\\Delay", 100));
    sqlite3* other = nullptr;  // another process takes the database for itself
    ASSERT_EQ(sqlite3_open(File.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; UPDATE registry SET value = 1",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadInt(&r, "Settings\\Delay", 300), 300);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(r.WriteValue("Settings\\Sound", 0));
    EXPECT_FALSE(r.WriteValue("Settings\\Music", 0));
    EXPECT_EQ(Reports.size(), 1u);

    sqlite3_close(other);  // rolls back
    EXPECT_TRUE(r.WriteValue("Settings\\Sound", 0));
    EXPECT_EQ(ReadInt(&r, "Settings\\Sound", 1), 0);
    EXPECT_EQ(ReadInt(&r, "Settings\\Delay", 300), 100);
}

TEST_F(RegistryTest, WriteFailureIsReportedOnceAndLaterWritesSucceed) {
    test::WriteFile(Dir.Path("blocker"), "a file where the folder should be");
    TRegistryEnhanced r(Dir.Path("blocker/settings.sqlite3"));
    EXPECT_FALSE(r.WriteValue("Settings\\Delay", 5));  // nobody listening yet: still to be told
    r.OnWriteError = [this](const std::string& m) { Reports.push_back(m); };
    EXPECT_FALSE(r.WriteValue("Settings\\Delay", 5));
    EXPECT_FALSE(r.WriteValue("Settings\\Sound", 0));
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_NE(Reports[0].find("blocker/settings.sqlite3"), std::string::npos) << Reports[0];
    EXPECT_NE(Reports[0].find("Settings\\Delay"), std::string::npos) << Reports[0];

    std::filesystem::remove(Dir.Path("blocker"));
    EXPECT_TRUE(r.WriteValue("Settings\\Delay", 5));
    EXPECT_EQ(ReadInt(&r, "Settings\\Delay", 300), 5);
    EXPECT_EQ(Reports.size(), 1u);
}

TEST_F(RegistryTest, ReadOnlyFolderStillGivesTheStoredSettings) {
    {
        auto r = Store();
        ASSERT_TRUE(r.WriteValue("Settings\\Delay", 1200));
        ASSERT_TRUE(r.WriteValue("Player Names\\PlayerName1", std::string("Ann,3,1")));
    }
    const std::string folder = std::filesystem::path(File).parent_path().string();
    const std::string before = test::ReadFile(File);
    ASSERT_EQ(chmod(File.c_str(), 0444), 0);
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    const int failed = RunAsUnprivileged([&] {
        int bad = 0;
        std::vector<std::string> reports;
        TRegistryEnhanced r(File);
        r.OnWriteError = [&](const std::string& m) { reports.push_back(m); };
        bad += ReadInt(&r, "Settings\\Delay", 300) != 1200;
        bad += ReadString(&r, "Player Names\\PlayerName1", "") != "Ann,3,1";
        bad += r.ListNames("Player Names") != Names{"PlayerName1"};
        bad += r.WriteValue("Settings\\Delay", 5);
        bad += r.WriteValue("Settings\\Sound", 0);
        bad += reports.size() != 1;
        bad += ReadInt(&r, "Settings\\Delay", 300) != 1200;
        return bad;
    });
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(test::ReadFile(File), before);
    EXPECT_FALSE(test::Exists(File + "-wal"));
}

// What is left in the folder besides the settings file.
Names DamagedCopies(const std::string& folder) {
    Names found;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().filename().string().find(".damaged-") != std::string::npos) found.push_back(e.path().string());
    return found;
}

TEST_F(RegistryTest, DamagedFileIsMovedAsideAndAFreshStoreKeepsNewSettings) {
    std::string sound;
    {
        auto r = Store();
        for (int i = 0; i < 40; ++i)
            ASSERT_TRUE(r.WriteValue("Sound\\Event" + std::to_string(i), std::string(1000, 'a')));
    }
    sound = test::ReadFile(File);
    ASSERT_GT(sound.size(), 16384u);
    std::mt19937 rng(7);
    std::string junk(8192, '\0');
    for (char& c : junk) c = static_cast<char>(rng());
    const std::pair<const char*, std::string> damages[] = {
        {"random bytes", junk},
        {"cut in the middle", sound.substr(0, sound.size() / 2)},
        {"cut inside the header", sound.substr(0, 60)},
        {"header over random pages", sound.substr(0, 4096) + junk},
    };
    const std::string folder = std::filesystem::path(File).parent_path().string();
    for (const auto& [what, bytes] : damages) {
        SCOPED_TRACE(what);
        for (const std::string& old : DamagedCopies(folder)) std::filesystem::remove(old);
        std::filesystem::remove(File);
        test::WriteFile(File, bytes);
        Reports.clear();
        auto r = Store();
        const std::string told = r.SetAsideDamagedFile();
        EXPECT_NE(told.find("damaged"), std::string::npos) << told;
        EXPECT_NE(told.find("default settings"), std::string::npos) << told;
        const Names copies = DamagedCopies(folder);
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(test::ReadFile(copies[0]), bytes);  // kept, not deleted
        EXPECT_NE(told.find(copies[0]), std::string::npos) << told;
        EXPECT_EQ(ReadInt(&r, "Settings\\Delay", 300), 300);
        EXPECT_TRUE(r.WriteValue("Settings\\Delay", 900));
        auto again = Store();
        EXPECT_EQ(ReadInt(&again, "Settings\\Delay", 300), 900);
        EXPECT_TRUE(Reports.empty());
        EXPECT_EQ(r.SetAsideDamagedFile(), "");  // the fresh store is sound
    }
}

TEST_F(RegistryTest, SoundMissingOrBusyFilesAreNotSetAside) {
    auto r = Store();
    EXPECT_EQ(r.SetAsideDamagedFile(), "");
    EXPECT_FALSE(test::Exists(File));
    ASSERT_TRUE(r.WriteValue("Settings\\Delay", 100));
    EXPECT_EQ(r.SetAsideDamagedFile(), "");
    sqlite3* other = nullptr;  // another copy holds the database
    ASSERT_EQ(sqlite3_open(File.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; UPDATE registry SET value = 1",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(r.SetAsideDamagedFile(), "");
    sqlite3_close(other);
    EXPECT_TRUE(DamagedCopies(std::filesystem::path(File).parent_path().string()).empty());
    EXPECT_EQ(ReadInt(&r, "Settings\\Delay", 300), 100);
}

// Two copies of the program writing at the same time, each its own values.
constexpr int kWritesEach = 60;

bool WriteMany(const std::string& file, const std::string& who) {
    TRegistryEnhanced r(file);
    bool ok = true;
    for (int i = 0; i < kWritesEach; ++i) ok = r.WriteValue("Shared\\" + who + std::to_string(i), i) && ok;
    return ok;
}

void ExpectAllWritten(const std::string& file, const Names& writers) {
    TRegistryEnhanced r(file);
    for (const std::string& who : writers)
        for (int i = 0; i < kWritesEach; ++i) EXPECT_EQ(ReadInt(&r, "Shared\\" + who + std::to_string(i), -1), i);
    EXPECT_EQ(r.ListNames("Shared").size(), writers.size() * kWritesEach);
}

TEST_F(RegistryTest, TwoConnectionsWritingAtOnceLoseNothing) {
    bool okA = false, okB = false;
    std::thread a([&] { okA = WriteMany(File, "A"); });
    std::thread b([&] { okB = WriteMany(File, "B"); });
    a.join();
    b.join();
    EXPECT_TRUE(okA && okB);
    ExpectAllWritten(File, {"A", "B"});
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    std::vector<pid_t> children;
    for (std::string who : {"P", "Q"}) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(go[1]);
            char c;
            (void)!read(go[0], &c, 1);  // wait for the start
            _exit(WriteMany(File, who) ? 0 : 1);
        }
        children.push_back(pid);
    }
    close(go[0]);
    close(go[1]);  // starts both at once
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
    ExpectAllWritten(File, {"P", "Q"});
}

}  // namespace
}  // namespace canasta
