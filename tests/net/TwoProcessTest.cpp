// SPDX-License-Identifier: GPL-3.0-or-later
// Two real instances of the program, offscreen, connected over 127.0.0.1:
// one listens, one connects, a bot plays each seat. Every "hand N" line of
// one must be the other's with the totals and the digests swapped.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace canasta::test {
namespace {

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

struct TInstanceRun {
    int ExitCode = -1;
    QStringList Lines;
    QString Errors;
};

// "hand N: a b X Y" -> "hand N: b a Y X"
QString Swapped(const QString& line) {
    const QStringList f = line.split(QLatin1Char(' '));
    if (f.size() != 6) return QStringLiteral("<malformed: ") + line + QStringLiteral(">");
    return QStringList{f[0], f[1], f[3], f[2], f[5], f[4]}.join(QLatin1Char(' '));
}

// The run's seed: CANASTA_TEST_SEED replays a failed run, else the clock
// and the process id choose one. Each instance gets its own from it.
uint32_t RunSeed() {
    bool ok = false;
    const uint32_t given = qEnvironmentVariable("CANASTA_TEST_SEED").toUInt(&ok);
    if (ok) return given;
    return static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch() * 2654435761u) ^ static_cast<uint32_t>(::getpid());
}

std::pair<TInstanceRun, TInstanceRun> PlayPair(const QString& strategy, const QStringList& end, int timeoutMs,
                                               uint32_t seed) {
    const QString port = QString::number(FreePort());
    QTemporaryDir homeA, homeB;
    QProcess a, b;
    for (auto [process, home] : {std::pair{&a, &homeA}, std::pair{&b, &homeB}}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        env.insert(QStringLiteral("CANASTA_HOME"), home->path());
        process->setProcessEnvironment(env);
    }
    const QStringList common = QStringList{QStringLiteral("--autoplay"), strategy, QStringLiteral("--port"), port} + end;
    const auto seedArgs = [](uint32_t n) { return QStringList{QStringLiteral("--seed"), QString::number(n)}; };
    a.start(QStringLiteral(CANASTA_EXE), common + seedArgs(seed) + QStringList{QStringLiteral("--listen")});
    b.start(QStringLiteral(CANASTA_EXE),
            common + seedArgs(seed + 1) + QStringList{QStringLiteral("--connect"), QStringLiteral("127.0.0.1")});
    a.waitForStarted();
    b.waitForStarted();
    const bool doneA = a.waitForFinished(timeoutMs);
    const bool doneB = b.waitForFinished(doneA ? 20000 : 1000);
    std::pair<TInstanceRun, TInstanceRun> runs;
    for (auto [process, run, done] : {std::tuple{&a, &runs.first, doneA}, std::tuple{&b, &runs.second, doneB}}) {
        if (!done) {
            process->kill();
            process->waitForFinished(5000);
        }
        run->ExitCode = done && process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
        const QString out = QString::fromUtf8(process->readAllStandardOutput());
        run->Lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        run->Errors = QString::fromUtf8(process->readAllStandardError()).right(3000);
    }
    return runs;
}

void ExpectMirrored(const TInstanceRun& a, const TInstanceRun& b) {
    ASSERT_EQ(a.ExitCode, 0) << a.Errors.toStdString();
    ASSERT_EQ(b.ExitCode, 0) << b.Errors.toStdString();
    ASSERT_FALSE(a.Lines.isEmpty());
    ASSERT_EQ(a.Lines.size(), b.Lines.size());
    for (int i = 0; i < a.Lines.size(); ++i) {
        EXPECT_TRUE(a.Lines[i].startsWith(QStringLiteral("hand %1: ").arg(i + 1))) << a.Lines[i].toStdString();
        EXPECT_EQ(a.Lines[i], Swapped(b.Lines[i])) << "hand " << i + 1;
    }
}

TEST(TwoInstances, GreedyBotsPlayAWholeMatchInStep) {
    const uint32_t seed = RunSeed();
    SCOPED_TRACE("replay with CANASTA_TEST_SEED=" + std::to_string(seed));
    const auto [a, b] = PlayPair(QStringLiteral("greedy"), {QStringLiteral("--quit-after-match")}, 240000, seed);
    ExpectMirrored(a, b);
    // The match ran to its end: a total of 5000 or more in the last line.
    const QStringList last = a.Lines.last().split(QLatin1Char(' '));
    ASSERT_EQ(last.size(), 6);
    EXPECT_GE(std::max(last[2].toInt(), last[3].toInt()), 5000);
}

TEST(TwoInstances, RandomBotsPlayTwentyHandsInStep) {
    const uint32_t seed = RunSeed();
    SCOPED_TRACE("replay with CANASTA_TEST_SEED=" + std::to_string(seed));
    const auto [a, b] =
        PlayPair(QStringLiteral("random"), {QStringLiteral("--quit-after-hands"), QStringLiteral("20")}, 300000, seed);
    ExpectMirrored(a, b);
    EXPECT_EQ(a.Lines.size(), 20);
}

TEST(TwoInstances, TheSameSeedPlaysTheSameHands) {
    const uint32_t seed = RunSeed();
    SCOPED_TRACE("replay with CANASTA_TEST_SEED=" + std::to_string(seed));
    const QStringList end{QStringLiteral("--quit-after-hands"), QStringLiteral("3")};
    const auto first = PlayPair(QStringLiteral("random"), end, 120000, seed);
    const auto again = PlayPair(QStringLiteral("random"), end, 120000, seed);
    ExpectMirrored(first.first, first.second);
    EXPECT_EQ(first.first.Lines.join('\n').toStdString(), again.first.Lines.join('\n').toStdString());
    EXPECT_EQ(first.second.Lines.join('\n').toStdString(), again.second.Lines.join('\n').toStdString());
}

}  // namespace
}  // namespace canasta::test
