// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One TCP endpoint over POSIX sockets for the thread that owns it (the GUI
// thread): listen on a port and accept one peer, or connect to a peer; send
// text; receive raw bytes. Readiness comes from QSocketNotifier, so every event
// (data arrived, send room, peer waiting, connected, closed, error) reaches
// the owner's callbacks on the owner's thread. Host names are resolved on a
// helper thread. Errors carry the WinSock codes and texts the game reports.
//
// Differences from a bare WinSock send: a send the kernel takes only in part
// is queued and finished when the socket can take more, never dropped; the
// send never raises SIGPIPE. A socket error never ends the program: without an
// error handler it goes to OnMessage.
#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QSocketNotifier;
struct sockaddr_in;

namespace canasta {

// errno to the WinSock code of the same meaning (0 for 0).
int WinsockCodeOfErrno(int error);
// getaddrinfo's error to 11001..11004.
int WinsockCodeOfLookup(int gaiError);
// The text of a WinSock code; "Not a WinSock error" for any other number.
std::string WinsockErrorText(int code);

// Resolves a host name (or a dotted number) to its first IPv4 address on a
// helper thread; done runs on receiver's thread with the address, or with an
// empty address and the WinSock code. Nothing runs when receiver is gone.
void ResolveHostAsync(const std::string& host, QObject* receiver,
                      std::function<void(const std::string& address, int error)> done);

// The IPv4 addresses of this machine's interfaces that are up, loopback excluded.
std::vector<std::string> LocalIPv4Addresses();
// The local address the system would send from to reach that dotted address
// (no packet is sent); empty when there is no route.
std::string SourceAddressTowards(const std::string& dotted, int port);

class TSockets : public QObject {
    Q_OBJECT
public:
    using TSocketEvent = std::function<void(TSockets& sender, int socket)>;
    using TErrorEvent = std::function<void(TSockets& sender, int socket, int error, const std::string& msg)>;
    using TMessageEvent = std::function<void(const std::string& text, const std::string& caption)>;

    explicit TSockets(QObject* parent = nullptr);
    ~TSockets() override;

    int MaximumReceiveLength = 8192;
    std::string IPAddr;  // dotted IPv4 number or host name, for SConnect
    std::string Port;    // service name or decimal number
    // Non-blocking: every outcome arrives as an event. Blocking (false): the
    // calls wait for their outcome and no events are sent; a call still
    // waiting after Timeout seconds (no limit at 0 or less) is cancelled and
    // reported as error 10060 "Blocking call timed out". The mode is taken
    // by the next SConnect, Listen or Accept.
    bool NonBlocking = true;
    int Timeout = 30;

    TSocketEvent OnDataAvailable, OnDataNeeded, OnSessionClosed, OnSessionAvailable, OnSessionConnected;
    TErrorEvent OnErrorOccurred;
    // "No Port Specified", "Cannot convert host address" ... (caption "WINSOCK
    // ERROR"); a timed-out blocking call without an error handler (caption
    // "WINSOCK CALL CANCELED").
    TMessageEvent OnMessage;

    // Connects to IPAddr:Port; success arrives as OnSessionConnected.
    void SConnect();
    // Listens on Port on every local address (backlog 5).
    void Listen();
    // Accepts the waiting peer; it becomes the data socket. -1 on failure.
    int Accept();
    void CancelListen();
    // Closes the data socket at once. Queued bytes are dropped; the peer sees
    // an orderly close.
    void Disconnect();
    // Sends the bytes of text on the data socket (queued when the kernel
    // takes only part of them).
    void SetText(const std::string& text);
    // Reads at most size bytes; -1 when socket is -1 or the read failed, 0 at
    // the peer's orderly close.
    int SReceive(int socket, char* buffer, int size);
    // Waits up to ms for the send queue to empty (program exit); true when it did.
    bool Flush(int ms);

    // The first IPv4 address of the local host's name, "0.0.0.0" when there is none.
    static std::string LocalIPAddress();
    static std::string ErrorText(int code) { return WinsockErrorText(code); }

    int ConnectedSocket() const { return DataFd; }
    int ListeningSocket() const { return ListenFd; }
    bool IsConnecting() const { return Connecting; }
    size_t Queued() const { return SendQueue.size(); }
    // Port the listening socket is bound to (0 when not listening).
    int ListeningPort() const;

private:
    bool ResolvePort(uint16_t& port);
    void ConnectTo(uint32_t address, uint16_t port);
    void WatchData(bool connecting);
    void StopWatchingData();
    void OnDataRead();
    void OnDataWrite();
    void OnDataException();
    void OnListenRead();
    void FlushQueue();
    void ReportError(int socket, const std::string& function, int code);
    void Message(const std::string& text, const std::string& caption = "WINSOCK ERROR");
    // Blocking mode: waits until fd is ready for events; false (and the
    // time-out reported) when Timeout ran out first.
    bool WaitBlocking(int fd, short events);
    void ConnectBlocking(int fd, const sockaddr_in& to);
    void SendBlocking(const std::string& text);

    int DataFd = -1;
    int ListenFd = -1;
    bool Connecting = false;
    bool Blocking = false;  // the mode the current sockets were set up in
    std::string SendQueue;
    QSocketNotifier* DataRead = nullptr;
    QSocketNotifier* DataWrite = nullptr;
    QSocketNotifier* DataException = nullptr;
    QSocketNotifier* ListenRead = nullptr;
    // A host lookup of an earlier SConnect that is still running is ignored.
    uint32_t LookupGeneration = 0;
};

}  // namespace canasta
