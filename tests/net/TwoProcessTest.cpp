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
#include <QElapsedTimer>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

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
    QString Errors;  // the end of stderr
    QString Log;     // all of it
};

// Offscreen, silent, with a home of its own.
void PrepareInstance(QProcess& process, const QTemporaryDir& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    env.insert(QStringLiteral("CANASTA_HOME"), home.path());
    process.setProcessEnvironment(env);
}

// What an instance printed, and how it ended (killed when not done).
TInstanceRun Collect(QProcess& process, bool done) {
    if (!done) {
        process.kill();
        process.waitForFinished(5000);
    }
    TInstanceRun run;
    run.ExitCode = done && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    run.Log = QString::fromUtf8(process.readAllStandardError());
    run.Errors = run.Log.right(3000);
    return run;
}

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
    PrepareInstance(a, homeA);
    PrepareInstance(b, homeB);
    const QStringList common =
        QStringList{QStringLiteral("--autoplay"), strategy, QStringLiteral("--port"), port} + end;
    const auto seedArgs = [](uint32_t n) { return QStringList{QStringLiteral("--seed"), QString::number(n)}; };
    a.start(QStringLiteral(CANASTA_EXE), common + seedArgs(seed) + QStringList{QStringLiteral("--listen")});
    b.start(QStringLiteral(CANASTA_EXE),
            common + seedArgs(seed + 1) + QStringList{QStringLiteral("--connect"), QStringLiteral("127.0.0.1")});
    a.waitForStarted();
    b.waitForStarted();
    const bool doneA = a.waitForFinished(timeoutMs);
    const bool doneB = b.waitForFinished(doneA ? 20000 : 1000);
    TInstanceRun runA = Collect(a, doneA);
    return {runA, Collect(b, doneB)};
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

// A raw peer of the test's own: blocking POSIX calls with time limits.
struct TProbe {
    int Fd = -1;
    ~TProbe() {
        if (Fd >= 0) ::close(Fd);
    }
    // Connects, retrying while nothing listens, for up to ms.
    bool Connect(int port, int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            Fd = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_port = htons(static_cast<uint16_t>(port));
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (::connect(Fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return true;
            ::close(Fd);
            Fd = -1;
            QThread::msleep(50);
        }
        return false;
    }
    enum class TSeen { TokenEnd, StreamEnd, Nothing };
    // Reads until the stream ends (or, when asked, a token end arrives);
    // Nothing when ms pass first.
    TSeen Await(int ms, bool tokenEnd) {
        QElapsedTimer clock;
        clock.start();
        char buf[4096];
        while (clock.elapsed() < ms) {
            pollfd p{Fd, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            const ssize_t n = ::recv(Fd, buf, sizeof buf, 0);
            if (n <= 0) return TSeen::StreamEnd;
            if (tokenEnd && std::memchr(buf, '\xFF', static_cast<size_t>(n))) return TSeen::TokenEnd;
        }
        return TSeen::Nothing;
    }
    bool ReadToken(int ms) { return Await(ms, true) == TSeen::TokenEnd; }
    bool Closed(int ms) { return Await(ms, false) == TSeen::StreamEnd; }
};

TEST(TwoInstances, AListenerOutlivesAWrongVersionAndASilentPeerThenPlays) {
    const uint32_t seed = RunSeed();
    SCOPED_TRACE("replay with CANASTA_TEST_SEED=" + std::to_string(seed));
    const QString port = QString::number(FreePort());
    QTemporaryDir homeA, homeB;
    QProcess a, b;
    PrepareInstance(a, homeA);
    PrepareInstance(b, homeB);
    const QStringList common{
        QStringLiteral("--autoplay"),         QStringLiteral("greedy"), QStringLiteral("--port"), port,
        QStringLiteral("--quit-after-hands"), QStringLiteral("1")};
    a.start(QStringLiteral(CANASTA_EXE),
            common + QStringList{QStringLiteral("--seed"), QString::number(seed), QStringLiteral("--listen")});
    ASSERT_TRUE(a.waitForStarted());
    // Whatever fails below, no instance outlives the test.
    struct TKill {
        QProcess& P;
        ~TKill() {
            if (P.state() != QProcess::NotRunning) Collect(P, false);
        }
    } killA{a}, killB{b};

    // Another version: greeted, answered, closed.
    TProbe old;
    ASSERT_TRUE(old.Connect(port.toInt(), 30000));
    ASSERT_TRUE(old.ReadToken(10000));
    const char version412[] =
        "PLAYERID\xFEOld\xFE"
        "412\xFF";
    ASSERT_EQ(::send(old.Fd, version412, sizeof version412 - 1, 0), static_cast<ssize_t>(sizeof version412 - 1));
    ASSERT_TRUE(old.Closed(10000));

    // A peer that says nothing holds the listener until its time is up;
    // the real opponent, started meanwhile, is refused and retries.
    TProbe silent;
    ASSERT_TRUE(silent.Connect(port.toInt(), 10000)) << "the listener did not listen again";
    ASSERT_TRUE(silent.ReadToken(10000));
    b.start(QStringLiteral(CANASTA_EXE),
            common + QStringList{QStringLiteral("--seed"), QString::number(seed + 1), QStringLiteral("--connect"),
                                 QStringLiteral("127.0.0.1")});
    ASSERT_TRUE(b.waitForStarted());
    QElapsedTimer held;
    held.start();
    ASSERT_TRUE(silent.Closed(60000));
    EXPECT_GE(held.elapsed(), 20000);

    // Then the two instances play their hand.
    const bool doneA = a.waitForFinished(180000);
    const bool doneB = b.waitForFinished(doneA ? 20000 : 1000);
    const TInstanceRun runA = Collect(a, doneA), runB = Collect(b, doneB);
    ExpectMirrored(runA, runB);
    EXPECT_EQ(runA.Lines.size(), 1);
    // The player was told of each dropped peer once.
    EXPECT_EQ(runA.Log.count(QStringLiteral("and your opponent has another version")), 1) << runA.Errors.toStdString();
    EXPECT_EQ(runA.Log.count(QStringLiteral("did not greet in time")), 1) << runA.Errors.toStdString();
}

}  // namespace
}  // namespace canasta::test
