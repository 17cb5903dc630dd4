// Two real instances of the program, offscreen, connected over 127.0.0.1:
// one listens, one connects, a bot plays each seat. Every "hand N" line of
// one must be the other's with the totals and the digests swapped.
#include <gtest/gtest.h>

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

std::pair<TInstanceRun, TInstanceRun> PlayPair(const QString& strategy, const QStringList& end, int timeoutMs) {
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
    a.start(QStringLiteral(CANASTA_EXE), common + QStringList{QStringLiteral("--listen")});
    b.start(QStringLiteral(CANASTA_EXE), common + QStringList{QStringLiteral("--connect"), QStringLiteral("127.0.0.1")});
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
    const auto [a, b] = PlayPair(QStringLiteral("greedy"), {QStringLiteral("--quit-after-match")}, 240000);
    ExpectMirrored(a, b);
    // The match ran to its end: a total of 5000 or more in the last line.
    const QStringList last = a.Lines.last().split(QLatin1Char(' '));
    ASSERT_EQ(last.size(), 6);
    EXPECT_GE(std::max(last[2].toInt(), last[3].toInt()), 5000);
}

TEST(TwoInstances, RandomBotsPlayTwentyHandsInStep) {
    const auto [a, b] =
        PlayPair(QStringLiteral("random"), {QStringLiteral("--quit-after-hands"), QStringLiteral("20")}, 300000);
    ExpectMirrored(a, b);
    EXPECT_EQ(a.Lines.size(), 20);
}

}  // namespace
}  // namespace canasta::test
