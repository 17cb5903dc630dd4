// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a real process, offscreen with the dummy audio driver: the
// signals of a logout or shutdown, and settings folders that are damaged or
// cannot be written.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <random>

#include "store/RegistryEnhanced.h"
#include "store/SavedGame.h"

namespace canasta::test {
namespace {

// Started on its own settings folder; unprivileged runs as "nobody" when the
// test runs as root, so that folder permissions apply to it.
std::unique_ptr<QProcess> StartCanasta(const QString& home, const QStringList& arguments, bool unprivileged = false) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    env.insert(QStringLiteral("CANASTA_HOME"), home);
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    p->setProcessEnvironment(env);
    if (unprivileged && geteuid() == 0) {
        p->setChildProcessModifier([] {
            if (setgid(65534) != 0 || setuid(65534) != 0) _exit(101);
        });
    }
    p->start(QStringLiteral(CANASTA_EXE), arguments);
    return p;
}

// Reads stdout until a line starts with prefix; every line read is kept.
bool WaitForLine(QProcess& p, const QString& prefix, QStringList& lines, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        while (p.canReadLine()) {
            lines << QString::fromLocal8Bit(p.readLine()).trimmed();
            if (lines.back().startsWith(prefix)) return true;
        }
        if (p.state() == QProcess::NotRunning) return false;
        p.waitForReadyRead(100);
    }
    return false;
}

std::string ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

// The table of a saved game with a fixed scrambling, for comparing tables.
std::string TableText(const TSavedGame& s) {
    return FormatSavedGame(s, [] { return 0; });
}

TEST(ProgramProcess, SignalsEndTheProgramLikeClosingTheWindow) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(sig));
        QTemporaryDir home;
        auto p = StartCanasta(home.path(), {QStringLiteral("--autoplay"), QStringLiteral("greedy")});
        ASSERT_TRUE(p->waitForStarted(10000));
        // After a finished hand the match is under way.
        QStringList lines;
        ASSERT_TRUE(WaitForLine(*p, QStringLiteral("hand 1:"), lines, 120000))
            << p->readAllStandardError().toStdString();
        ASSERT_EQ(::kill(static_cast<pid_t>(p->processId()), sig), 0);
        QElapsedTimer clock;
        clock.start();
        const bool ended = p->waitForFinished(10000);
        const qint64 took = clock.elapsed();
        if (!ended) p->kill();
        ASSERT_TRUE(ended) << "still running 10 s after the signal";
        EXPECT_LT(took, 2000);
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit) << "killed by the signal";
        const std::string errors = p->readAllStandardError().toStdString();
        EXPECT_EQ(p->exitCode(), 0) << errors;
        while (p->canReadLine()) lines << QString::fromLocal8Bit(p->readLine()).trimmed();

        // The game on the table was saved, and loads back to that same table.
        const QString autosave = QDir(home.path()).filePath(QStringLiteral("autosave.can"));
        const std::string bytes = ReadBytes(autosave);
        TSavedGame saved;
        ASSERT_EQ(ParseSavedGame(bytes, saved).Status, TLoadStatus::Ok)
            << "autosave.can: " << bytes.size() << " bytes\n"
            << lines.join('\n').toStdString() << errors;
        EXPECT_TRUE(saved.GameInProgress);
        THeadlessHost host;
        TGame game(host);
        const TLoadResult loaded = LoadSavedGame(game, bytes);
        ASSERT_EQ(loaded.Status, TLoadStatus::Ok) << loaded.Detail;
        EXPECT_EQ(TableText(CaptureSavedGame(game, saved.SizeIndex, saved.OpponentHandPitch)), TableText(saved));
        // The scores are those after the last hand played ("hand N: player opponent ..."),
        // unless that hand ended the match and a new one began.
        const QStringList last = lines.filter(QStringLiteral("hand ")).last().split(QLatin1Char(' '));
        ASSERT_GE(last.size(), 4);
        const int player = last[2].toInt(), opponent = last[3].toInt();
        if (player < 5000 && opponent < 5000) {
            EXPECT_EQ(saved.PlayerScore, player);
            EXPECT_EQ(saved.OpponentScore, opponent);
        }
        // The settings were written on the way out.
        TRegistryEnhanced settings(QDir(home.path()).filePath(QStringLiteral("settings.sqlite3")).toStdString());
        EXPECT_FALSE(ReadString(&settings, "Settings\\Resolution", "").empty());
    }
}

TEST(ProgramProcess, ADamagedSettingsFileIsSetAsideAndReportedOnce) {
    QTemporaryDir home;
    const QString file = QDir(home.path()).filePath(QStringLiteral("settings.sqlite3"));
    std::mt19937 rng(99);
    std::string junk(16384, '\0');
    for (char& c : junk) c = static_cast<char>(rng());
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk.data(), static_cast<qint64>(junk.size()));
    }
    // What an old version left: its ini file, taken over when the settings
    // were new, and a saved game of this version, which must stay.
    {
        QFile ini(QDir(home.path()).filePath(QStringLiteral("canasta.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Canasta Settings]\r\nVersion=300\r\n");
        QFile game(QDir(home.path()).filePath(QStringLiteral("kept.can")));
        ASSERT_TRUE(game.open(QIODevice::WriteOnly));
        game.write("CanastaSavedGame 1 ");
    }
    auto p = StartCanasta(home.path(), {QStringLiteral("--autoplay"), QStringLiteral("greedy"),
                                        QStringLiteral("--quit-after-hands"), QStringLiteral("1")});
    ASSERT_TRUE(p->waitForFinished(120000));
    EXPECT_TRUE(QFile::exists(QDir(home.path()).filePath(QStringLiteral("kept.can"))));
    EXPECT_EQ(p->exitCode(), 0);
    const QString errors = QString::fromLocal8Bit(p->readAllStandardError());
    EXPECT_EQ(errors.count(QStringLiteral("is damaged")), 1) << errors.toStdString();

    const QStringList aside = QDir(home.path()).entryList({QStringLiteral("settings.sqlite3.damaged-*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1) << QDir(home.path()).entryList().join(' ').toStdString();
    EXPECT_EQ(ReadBytes(QDir(home.path()).filePath(aside[0])), junk) << "kept as it was";
    EXPECT_TRUE(errors.contains(aside[0])) << "the user is told where it went";
    // The fresh store kept what the run wrote.
    TRegistryEnhanced settings(file.toStdString());
    EXPECT_EQ(ReadInt(&settings, "Settings\\Version", 0), 41301);
    EXPECT_FALSE(ReadString(&settings, "Settings\\Resolution", "").empty());
}

TEST(ProgramProcess, ASettingsProblemDoesNotHoldUpARunWithoutAScreen) {
    QTemporaryDir home;
    {
        QFile f(QDir(home.path()).filePath(QStringLiteral("settings.sqlite3")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    const QString shot = QDir(home.path()).filePath(QStringLiteral("shot.png"));
    auto p = StartCanasta(home.path(), {QStringLiteral("--screenshot"), shot});
    const bool ended = p->waitForFinished(60000);
    if (!ended) p->kill();
    ASSERT_TRUE(ended) << "waiting on a message nobody can see";
    EXPECT_EQ(p->exitCode(), 0);
    EXPECT_TRUE(QString::fromLocal8Bit(p->readAllStandardError()).contains(QStringLiteral("is damaged")));
    EXPECT_TRUE(QFile::exists(shot));
}

TEST(ProgramProcess, AReadOnlySettingsFolderReportsItsFailedWriteOnce) {
    QTemporaryDir home;
    const QString file = QDir(home.path()).filePath(QStringLiteral("settings.sqlite3"));
    {
        TRegistryEnhanced settings(file.toStdString());
        ASSERT_TRUE(settings.WriteValue("Settings\\Resolution", std::string("7,9,640x480")));
    }
    const std::string before = ReadBytes(file);
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0444), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(home.path()).constData(), 0555), 0);
    auto p = StartCanasta(home.path(),
                          {QStringLiteral("--autoplay"), QStringLiteral("greedy"), QStringLiteral("--quit-after-hands"),
                           QStringLiteral("1")},
                          true);
    const bool ended = p->waitForFinished(120000);
    ::chmod(QFile::encodeName(home.path()).constData(), 0755);
    ASSERT_TRUE(ended);
    EXPECT_EQ(p->exitCode(), 0);
    const QString errors = QString::fromLocal8Bit(p->readAllStandardError());
    EXPECT_EQ(errors.count(QStringLiteral("Could not write the setting")), 1) << errors.toStdString();
    EXPECT_FALSE(errors.contains(QStringLiteral("is damaged"))) << "a read-only file is not a damaged one";
    EXPECT_EQ(ReadBytes(file), before);
}

}  // namespace
}  // namespace canasta::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
