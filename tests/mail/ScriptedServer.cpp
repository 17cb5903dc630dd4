// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace canasta::test {

namespace {
// No script waits longer than this for the client: a broken test fails, it does not hang.
constexpr int kPatienceMs = 15000;

int Listen(uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket");
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd, 1) != 0) {
        ::close(fd);
        throw std::runtime_error("bind/listen");
    }
    socklen_t len = sizeof sa;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
    port = ntohs(sa.sin_port);
    return fd;
}
}  // namespace

std::vector<TServerStep> AcceptingScript(int recipients) {
    std::vector<TServerStep> s{Say("220 test.example ESMTP\r\n"), AwaitLine(), Say("250 test.example\r\n"), AwaitLine(),
                               Say("250 OK\r\n")};
    for (int i = 0; i < recipients; ++i) {
        s.push_back(AwaitLine());
        s.push_back(Say("250 OK\r\n"));
    }
    for (auto step : {AwaitLine(), Say("354 go ahead\r\n"), AwaitData(), Say("250 queued\r\n"), AwaitLine(),
                      Say("221 bye\r\n"), Close()})
        s.push_back(step);
    return s;
}

uint16_t UnusedPort() {
    uint16_t port = 0;
    ::close(Listen(port));
    return port;
}

TScriptedServer::TScriptedServer(std::vector<TServerStep> script) : Script(std::move(script)) {
    ListenFd = Listen(ListenPort);
    Thread = std::thread([this] { Run(); });
}

TScriptedServer::~TScriptedServer() {
    Stop = true;
    Thread.join();
    if (ClientFd >= 0) ::close(ClientFd);
    ::close(ListenFd);
}

std::string TScriptedServer::Received() const {
    std::lock_guard<std::mutex> g(Lock);
    return Data;
}

std::vector<size_t> TScriptedServer::Marks() const {
    std::lock_guard<std::mutex> g(Lock);
    return MarkList;
}

bool TScriptedServer::ReadSome(int timeoutMs) {
    pollfd p{ClientFd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return true;  // nothing yet
    char buf[4096];
    const ssize_t n = ::recv(ClientFd, buf, sizeof buf, 0);
    if (n <= 0) return false;
    std::lock_guard<std::mutex> g(Lock);
    Data.append(buf, static_cast<size_t>(n));
    return true;
}

template <class Pred>
bool TScriptedServer::ReadUntil(Pred pred) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
    while (!Stop && std::chrono::steady_clock::now() < end) {
        {
            std::lock_guard<std::mutex> g(Lock);
            const size_t used = pred(Data, Consumed);
            if (used != std::string::npos) {
                Consumed = used;
                return true;
            }
        }
        if (!ReadSome(50)) return false;
    }
    return false;
}

void TScriptedServer::Run() {
    pollfd p{ListenFd, POLLIN, 0};
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
    while (!Stop && std::chrono::steady_clock::now() < end && ::poll(&p, 1, 50) == 0) {}
    if (Stop || !(p.revents & POLLIN)) {
        Done = true;
        return;
    }
    ClientFd = ::accept4(ListenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (ClientFd < 0) {
        Done = true;
        return;
    }
    GotClient = true;
    bool open = true;
    for (const TServerStep& step : Script) {
        if (!open || Stop) break;
        switch (step.Kind) {
            case TServerStep::Say:
                if (::send(ClientFd, step.Text.data(), step.Text.size(), MSG_NOSIGNAL) < 0) open = false;
                break;
            case TServerStep::AwaitLine:
                open = ReadUntil([](const std::string& d, size_t from) {
                    const size_t at = d.find("\r\n", from);
                    return at == std::string::npos ? at : at + 2;
                });
                break;
            case TServerStep::AwaitData:
                open = ReadUntil([](const std::string& d, size_t from) {
                    // The message starts right after the DATA line, so its end may follow a bare start.
                    const size_t at = from == 0 ? std::string::npos : d.find("\r\n.\r\n", from - 2);
                    return at == std::string::npos ? at : at + 5;
                });
                break;
            case TServerStep::Pause:
                for (int waited = 0; waited < step.Ms && !Stop && open; waited += 10) open = ReadSome(10);
                break;
            case TServerStep::Mark: {
                std::lock_guard<std::mutex> g(Lock);
                MarkList.push_back(Data.size());
                break;
            }
            case TServerStep::Close:
                ::shutdown(ClientFd, SHUT_RDWR);
                open = false;
                break;
            case TServerStep::Hang:
                while (!Stop && open) open = ReadSome(50);
                break;
        }
    }
    // Keep recording until the client hangs up or the test ends.
    while (open && !Stop) open = ReadSome(50);
    Done = true;
}

}  // namespace canasta::test
