// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A one-connection TCP server on 127.0.0.1 for the mail tests: it plays a
// script of replies on its own thread and records every byte it receives.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace canasta::test {

struct TServerStep {
    enum TKind { Say, AwaitLine, AwaitData, Pause, Mark, Close, Hang } Kind;
    std::string Text;
    int Ms = 0;
};

// Script pieces.
inline TServerStep Say(std::string text) { return {TServerStep::Say, std::move(text)}; }
// Waits for one command line (CR LF).
inline TServerStep AwaitLine() { return {TServerStep::AwaitLine, {}}; }
// Waits for the end of a message (CR LF "." CR LF).
inline TServerStep AwaitData() { return {TServerStep::AwaitData, {}}; }
inline TServerStep Pause(int ms) { return {TServerStep::Pause, {}, ms}; }
// Remembers how many bytes have arrived by now (see Marks()).
inline TServerStep Mark() { return {TServerStep::Mark, {}}; }
inline TServerStep Close() { return {TServerStep::Close, {}}; }
// Keeps the connection open without a word until the test ends.
inline TServerStep Hang() { return {TServerStep::Hang, {}}; }

// The replies of a server that accepts everything: greeting, HELO, MAIL FROM,
// one 250 per recipient, DATA, the message, QUIT.
std::vector<TServerStep> AcceptingScript(int recipients = 1);

class TScriptedServer {
public:
    explicit TScriptedServer(std::vector<TServerStep> script);
    ~TScriptedServer();

    uint16_t Port() const { return ListenPort; }
    // Everything received so far.
    std::string Received() const;
    // Byte counts recorded by Mark steps.
    std::vector<size_t> Marks() const;
    // The script has run to its end (or the client went away).
    bool Finished() const { return Done; }
    // Whether a client connected at all.
    bool Accepted() const { return GotClient; }

private:
    void Run();
    // Reads until pred holds on the unconsumed input; false when the client closed or we stop.
    template <class Pred>
    bool ReadUntil(Pred pred);
    bool ReadSome(int timeoutMs);

    std::vector<TServerStep> Script;
    int ListenFd = -1;
    int ClientFd = -1;
    uint16_t ListenPort = 0;
    mutable std::mutex Lock;
    std::string Data;
    size_t Consumed = 0;
    std::vector<size_t> MarkList;
    std::atomic<bool> Stop{false};
    std::atomic<bool> Done{false};
    std::atomic<bool> GotClient{false};
    std::thread Thread;
};

// A port on 127.0.0.1 where nothing listens.
uint16_t UnusedPort();

}  // namespace canasta::test
