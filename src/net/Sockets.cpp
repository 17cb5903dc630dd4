// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/Sockets.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace canasta {

int WinsockCodeOfErrno(int e) {
    switch (e) {
        case 0: return 0;
        case EINTR: return 10004;
        case EBADF: return 10009;
        case EACCES: return 10013;
        case EFAULT: return 10014;
        case EINVAL: return 10022;
        case EMFILE:
        case ENFILE: return 10024;
        case EWOULDBLOCK: return 10035;
        case EINPROGRESS: return 10036;
        case EALREADY: return 10037;
        case ENOTSOCK: return 10038;
        case EDESTADDRREQ: return 10039;
        case EMSGSIZE: return 10040;
        case EPROTOTYPE: return 10041;
        case ENOPROTOOPT: return 10042;
        case EPROTONOSUPPORT: return 10043;
        case ESOCKTNOSUPPORT: return 10044;
        case EOPNOTSUPP: return 10045;
        case EPFNOSUPPORT: return 10046;
        case EAFNOSUPPORT: return 10047;
        case EADDRINUSE: return 10048;
        case EADDRNOTAVAIL: return 10049;
        case ENETDOWN: return 10050;
        case ENETUNREACH: return 10051;
        case ENETRESET: return 10052;
        case ECONNABORTED: return 10053;
        // A send after the peer went away: WinSock reports the reset.
        case ECONNRESET:
        case EPIPE: return 10054;
        case ENOBUFS:
        case ENOMEM: return 10055;
        case EISCONN: return 10056;
        case ENOTCONN: return 10057;
        case ESHUTDOWN: return 10058;
        case ETOOMANYREFS: return 10059;
        case ETIMEDOUT: return 10060;
        case ECONNREFUSED: return 10061;
        case ELOOP: return 10062;
        case ENAMETOOLONG: return 10063;
        case EHOSTDOWN: return 10064;
        case EHOSTUNREACH: return 10065;
        case ENOTEMPTY: return 10066;
        case EUSERS: return 10068;
        case EDQUOT: return 10069;
        case ESTALE: return 10070;
        case EREMOTE: return 10071;
        default: return 10000 + e;  // outside the table: "Not a WinSock error"
    }
}

int WinsockCodeOfLookup(int g) {
    switch (g) {
        case EAI_NONAME: return 11001;
#ifdef EAI_NODATA
        case EAI_NODATA: return 11004;
#endif
        case EAI_AGAIN: return 11002;
        case EAI_FAIL: return 11003;
        case EAI_ADDRFAMILY: return 11004;
        default: return 11003;
    }
}

std::string WinsockErrorText(int code) {
    switch (code) {
        case 10004: return "Interrupted system call";
        case 10009: return "Bad file number";
        case 10013: return "Permission denied";
        case 10014: return "Bad address";
        case 10022: return "Invalid argument";
        case 10024: return "Too many open files";
        case 10035: return "Operation would block";
        case 10036: return "Operation now in progress";
        case 10037: return "Operation already in progress";
        case 10038: return "Socket operation on non-socket";
        case 10039: return "Destination address required";
        case 10040: return "Message too long";
        case 10041: return "Protocol wrong type for socket";
        case 10042: return "Protocol not available";
        case 10043: return "Protocol not supported";
        case 10044: return "Socket type not supported";
        case 10045: return "Operation not supported on socket";
        case 10046: return "Protocol family not supported";
        case 10047: return "Address family not supported by protocol family";
        case 10048: return "Address already in use";
        case 10049: return "Can't assign requested address";
        case 10050: return "Network is down";
        case 10051: return "Network is unreachable";
        case 10052: return "Network dropped connection on reset";
        case 10053: return "Software caused connection abort";
        case 10054: return "Connection reset by peer";
        case 10055: return "No buffer space available";
        case 10056: return "Socket is already connected";
        case 10057: return "Socket is not connected";
        case 10058: return "Can't send after socket shutdown";
        case 10059: return "Too many references: can't splice";
        case 10060: return "Connection timed out";
        case 10061: return "Connection refused";
        case 10062: return "Too many levels of symbolic links";
        case 10063: return "File name too long";
        case 10064: return "Host is down";
        case 10065: return "No route to host";
        case 10066: return "Directory not empty";
        case 10067: return "Too many processes";
        case 10068: return "Too many users";
        case 10069: return "Disc quota exceeded";
        case 10070: return "Stale NFS file handle";
        case 10071: return "Too many levels of remote in path";
        case 10091: return "Network sub-system is unusable";
        case 10092: return "WinSock DLL cannot support this application";
        case 10093: return "WinSock not initialized";
        case 11001: return "Host not found";
        case 11002: return "Non-authoritative host not found";
        case 11003: return "Non-recoverable error";
        case 11004: return "No Data";
        default: return "Not a WinSock error";
    }
}

namespace {

bool ParseDotted(const std::string& text, uint32_t& address) {
    in_addr a{};
    if (inet_pton(AF_INET, text.c_str(), &a) != 1) return false;
    address = a.s_addr;
    return true;
}

// First IPv4 address of host (blocking); empty with *error set on failure.
std::string LookupIPv4(const std::string& host, int* error) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &res);
    if (rc != 0 || !res) {
        if (error) *error = WinsockCodeOfLookup(rc);
        return {};
    }
    char buf[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(res->ai_addr);
    inet_ntop(AF_INET, &in->sin_addr, buf, sizeof buf);
    freeaddrinfo(res);
    return buf;
}

void CloseFd(int fd) {
    if (fd >= 0) ::close(fd);
}

}  // namespace

void ResolveHostAsync(const std::string& host, QObject* receiver, std::function<void(const std::string&, int)> done) {
    QPointer<QObject> target(receiver);
    std::thread([host, target, done = std::move(done)]() mutable {
        int error = 0;
        const std::string address = LookupIPv4(host, &error);
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) return;
        // Back on the receiver's thread through the application's event queue.
        QMetaObject::invokeMethod(
            app,
            [target, done = std::move(done), address, error]() {
                if (target) done(address, address.empty() ? (error ? error : 11001) : 0);
            },
            Qt::QueuedConnection);
    }).detach();
}

TSockets::TSockets(QObject* parent) : QObject(parent) {}

TSockets::~TSockets() {
    StopWatchingData();
    delete ListenRead;
    CloseFd(DataFd);
    CloseFd(ListenFd);
}

void TSockets::Message(const std::string& text, const std::string& caption) {
    if (OnMessage)
        OnMessage(text, caption);
    else
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

bool TSockets::WaitBlocking(int fd, short events) {
    const int limit = Timeout > 0 ? Timeout * 1000 : -1;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const int left = limit < 0 ? -1 : std::max(0, limit - static_cast<int>(clock.elapsed()));
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, left);
        // Ready, or in error: the call itself reports what went wrong.
        if (n > 0) return true;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return true;
        break;
    }
    const std::string msg = "Blocking call timed out";
    if (OnErrorOccurred)
        OnErrorOccurred(*this, DataFd, 10060, msg);
    else
        Message("Error 10060\r\n" + msg, "WINSOCK CALL CANCELED");
    return false;
}

void TSockets::ReportError(int socket, const std::string& function, int code) {
    const std::string msg = WinsockErrorText(code);
    if (OnErrorOccurred) {
        OnErrorOccurred(*this, socket, code, msg);
        return;
    }
    // No owner to decide: the report is shown, the program goes on.
    Message("Error " + std::to_string(code) + " in function " + function + "\r\n" + msg);
}

bool TSockets::ResolvePort(uint16_t& port) {
    if (Port.empty()) {
        Message("No Port Specified");
        return false;
    }
    if (servent* s = getservbyname(Port.c_str(), "tcp")) {
        port = static_cast<uint16_t>(s->s_port);  // already in network byte order
        return true;
    }
    port = htons(static_cast<uint16_t>(std::atoi(Port.c_str())));
    return true;
}

void TSockets::SConnect() {
    uint16_t port = 0;
    if (!ResolvePort(port)) return;
    if (IPAddr.empty()) {
        Message("No IP Address Specified");
        return;
    }
    const uint32_t generation = ++LookupGeneration;
    uint32_t address = 0;
    if (ParseDotted(IPAddr, address)) {
        ConnectTo(address, port);
        return;
    }
    if (!NonBlocking) {
        // The blocking mode waits for everything, the name too.
        const std::string found = LookupIPv4(IPAddr, nullptr);
        if (found.empty() || !ParseDotted(found, address)) {
            Message("Cannot convert host address");
            return;
        }
        ConnectTo(address, port);
        return;
    }
    // A name: looked up without stopping the window, then connected.
    ResolveHostAsync(IPAddr, this, [this, generation, port](const std::string& found, int) {
        if (generation != LookupGeneration) return;
        uint32_t a = 0;
        if (found.empty() || !ParseDotted(found, a)) {
            Message("Cannot convert host address");
            return;
        }
        ConnectTo(a, port);
    });
}

void TSockets::ConnectTo(uint32_t address, uint16_t port) {
    if (DataFd >= 0) Disconnect();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        ReportError(-1, "SConnect (socket)", WinsockCodeOfErrno(errno));
        return;
    }
    DataFd = fd;
    Blocking = !NonBlocking;
    SendQueue.clear();
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = port;
    to.sin_addr.s_addr = address;
    if (Blocking) {
        ConnectBlocking(fd, to);
        return;
    }
    Connecting = true;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 && errno != EINPROGRESS) {
        // Reported as an event, as the asynchronous refusal would be.
        const int code = WinsockCodeOfErrno(errno);
        Connecting = false;
        QTimer::singleShot(0, this, [this, fd, code] {
            if (DataFd == fd) ReportError(fd, "SConnect", code);
        });
        return;
    }
    WatchData(true);
}

void TSockets::ConnectBlocking(int fd, const sockaddr_in& to) {
    // The socket itself stays non-blocking; the waiting is done here, so
    // that the time limit holds.
    int err = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
        err = errno;
        if (err == EINPROGRESS) {
            if (!WaitBlocking(fd, POLLOUT)) return;
            socklen_t len = sizeof err;
            if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
        }
    }
    if (err != 0) {
        ReportError(fd, "SConnect", WinsockCodeOfErrno(err));
        return;
    }
    int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void TSockets::WatchData(bool connecting) {
    StopWatchingData();
    // Tokens are a few bytes each and answered at once: no coalescing delay.
    int on = 1;
    setsockopt(DataFd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    DataRead = new QSocketNotifier(DataFd, QSocketNotifier::Read, this);
    DataWrite = new QSocketNotifier(DataFd, QSocketNotifier::Write, this);
    DataException = new QSocketNotifier(DataFd, QSocketNotifier::Exception, this);
    connect(DataRead, &QSocketNotifier::activated, this, [this] { OnDataRead(); });
    connect(DataWrite, &QSocketNotifier::activated, this, [this] { OnDataWrite(); });
    connect(DataException, &QSocketNotifier::activated, this, [this] { OnDataException(); });
    DataRead->setEnabled(!connecting);
    DataWrite->setEnabled(connecting || !SendQueue.empty());
}

void TSockets::StopWatchingData() {
    for (QSocketNotifier** n : {&DataRead, &DataWrite, &DataException}) {
        if (*n) {
            (*n)->setEnabled(false);
            (*n)->deleteLater();
            *n = nullptr;
        }
    }
}

void TSockets::OnDataWrite() {
    if (DataFd < 0) return;
    const int fd = DataFd;
    if (Connecting) {
        int err = 0;
        socklen_t len = sizeof err;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
        if (err == EINPROGRESS || err == EALREADY) return;
        Connecting = false;
        if (err != 0) {
            // A failed connect stays readable and writable: no more events from it.
            DataRead->setEnabled(false);
            DataWrite->setEnabled(false);
            DataException->setEnabled(false);
            ReportError(fd, "FD_CONNECT", WinsockCodeOfErrno(err));
            return;
        }
        DataRead->setEnabled(true);
        DataWrite->setEnabled(!SendQueue.empty());
        if (OnSessionConnected) OnSessionConnected(*this, fd);
        return;
    }
    FlushQueue();
    if (DataFd == fd && SendQueue.empty()) {
        if (DataWrite) DataWrite->setEnabled(false);
        if (OnDataNeeded) OnDataNeeded(*this, fd);
    }
}

void TSockets::FlushQueue() {
    while (!SendQueue.empty() && DataFd >= 0) {
        const ssize_t n = ::send(DataFd, SendQueue.data(), SendQueue.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            SendQueue.erase(0, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            if (DataWrite) DataWrite->setEnabled(true);
            return;
        }
        const int code = WinsockCodeOfErrno(n < 0 ? errno : EPIPE);
        SendQueue.clear();
        ReportError(DataFd, "SetText (Send)", code);
        return;
    }
}

void TSockets::OnDataRead() {
    if (DataFd < 0) return;
    const int fd = DataFd;
    char probe = 0;
    const ssize_t n = ::recv(fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0) {
        // Like WinSock, no further read event until the owner has read.
        DataRead->setEnabled(false);
        if (OnDataAvailable) OnDataAvailable(*this, fd);
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    DataRead->setEnabled(false);
    if (DataWrite) DataWrite->setEnabled(false);
    if (n == 0) {
        if (OnSessionClosed) OnSessionClosed(*this, fd);
        return;
    }
    ReportError(fd, "FD_READ", WinsockCodeOfErrno(errno));
}

void TSockets::OnDataException() {
    if (DataFd < 0) return;
    int err = 0;
    socklen_t len = sizeof err;
    getsockopt(DataFd, SOL_SOCKET, SO_ERROR, &err, &len);
    if (err == 0) return;
    DataException->setEnabled(false);
    ReportError(DataFd, "FD_CLOSE", WinsockCodeOfErrno(err));
}

void TSockets::Listen() {
    uint16_t port = 0;
    if (!ResolvePort(port)) return;
    CancelListen();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        ReportError(-1, "socket", WinsockCodeOfErrno(errno));
        return;
    }
    ListenFd = fd;
    // A restart after a lost connection must not wait for the old one's TIME_WAIT.
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = port;
    at.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
        ReportError(fd, "Bind", WinsockCodeOfErrno(errno));
        return;
    }
    if (::listen(fd, 5) != 0) {
        ReportError(fd, "Listen", WinsockCodeOfErrno(errno));
        return;
    }
    // In the blocking mode the peer is waited for in Accept.
    if (!NonBlocking) return;
    ListenRead = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(ListenRead, &QSocketNotifier::activated, this, [this] { OnListenRead(); });
}

int TSockets::ListeningPort() const {
    if (ListenFd < 0) return 0;
    sockaddr_in at{};
    socklen_t len = sizeof at;
    if (getsockname(ListenFd, reinterpret_cast<sockaddr*>(&at), &len) != 0) return 0;
    return ntohs(at.sin_port);
}

void TSockets::OnListenRead() {
    if (ListenFd < 0) return;
    // Until Accept, as WinSock signals a waiting peer once.
    ListenRead->setEnabled(false);
    if (OnSessionAvailable)
        OnSessionAvailable(*this, ListenFd);
    else
        Accept();
}

int TSockets::Accept() {
    if (ListenFd < 0) {
        ReportError(-1, "Accept", 10038);
        return -1;
    }
    const bool blocking = !NonBlocking;
    if (blocking && !WaitBlocking(ListenFd, POLLIN)) return -1;
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    const int fd = ::accept4(ListenFd, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (ListenRead) ListenRead->setEnabled(true);
    if (fd < 0) {
        ReportError(ListenFd, "Accept", WinsockCodeOfErrno(errno));
        return -1;
    }
    if (DataFd >= 0) Disconnect();
    DataFd = fd;
    Connecting = false;
    Blocking = blocking;
    SendQueue.clear();
    if (blocking) {
        int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    } else {
        WatchData(false);
    }
    return fd;
}

void TSockets::CancelListen() {
    if (ListenRead) {
        ListenRead->setEnabled(false);
        ListenRead->deleteLater();
        ListenRead = nullptr;
    }
    if (ListenFd < 0) return;
    ::shutdown(ListenFd, SHUT_RDWR);
    if (::close(ListenFd) != 0) ReportError(ListenFd, "CancelListen (closesocket)", WinsockCodeOfErrno(errno));
    ListenFd = -1;
}

void TSockets::Disconnect() {
    ++LookupGeneration;
    StopWatchingData();
    SendQueue.clear();
    Connecting = false;
    if (DataFd < 0) return;
    const int fd = DataFd;
    DataFd = -1;
    // An orderly close: the peer reads the end of the stream (its "lost"
    // warning), not a reset that would look like a crash. Unread input is
    // drained first, since closing over it would send a reset after all.
    ::shutdown(fd, SHUT_WR);
    char sink[4096];
    while (::recv(fd, sink, sizeof sink, MSG_DONTWAIT) > 0) {}
    if (::close(fd) != 0) ReportError(fd, "Disconnect (closesocket)", WinsockCodeOfErrno(errno));
}

void TSockets::SetText(const std::string& text) {
    if (DataFd < 0 || Connecting) {
        ReportError(DataFd, "SetText (Send)", DataFd < 0 ? 10038 : 10057);
        return;
    }
    if (Blocking) {
        SendBlocking(text);
        return;
    }
    const bool idle = SendQueue.empty();
    SendQueue += text;
    if (idle) FlushQueue();
}

void TSockets::SendBlocking(const std::string& text) {
    const int fd = DataFd;
    size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            if (!WaitBlocking(fd, POLLOUT)) return;
            continue;
        }
        ReportError(fd, "SetText (Send)", WinsockCodeOfErrno(n < 0 ? errno : EPIPE));
        return;
    }
}

int TSockets::SReceive(int socket, char* buffer, int size) {
    if (socket < 0) return -1;
    if (Blocking && socket == DataFd && !WaitBlocking(socket, POLLIN)) return -1;
    const ssize_t n = ::recv(socket, buffer, static_cast<size_t>(std::max(0, size)), MSG_DONTWAIT);
    if (socket == DataFd && DataRead && n != 0) DataRead->setEnabled(true);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        ReportError(socket, "SReceive", WinsockCodeOfErrno(errno));
        return -1;
    }
    return static_cast<int>(n);
}

bool TSockets::Flush(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!SendQueue.empty() && DataFd >= 0 && !Connecting) {
        const int left = ms - static_cast<int>(clock.elapsed());
        if (left <= 0) return false;
        pollfd p{DataFd, POLLOUT, 0};
        if (::poll(&p, 1, left) <= 0) return false;
        FlushQueue();
    }
    return SendQueue.empty();
}

std::vector<std::string> LocalIPv4Addresses() {
    std::vector<std::string> out;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return out;
    for (ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK)) continue;
        char buf[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr, buf, sizeof buf);
        if (std::find(out.begin(), out.end(), buf) == out.end()) out.emplace_back(buf);
    }
    freeifaddrs(list);
    return out;
}

std::string SourceAddressTowards(const std::string& dotted, int port) {
    uint32_t address = 0;
    if (!ParseDotted(dotted, address)) return {};
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return {};
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    to.sin_addr.s_addr = address;
    std::string result;
    // A datagram socket's connect only picks the route.
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
        sockaddr_in me{};
        socklen_t len = sizeof me;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&me), &len) == 0) {
            char buf[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &me.sin_addr, buf, sizeof buf);
            result = buf;
        }
    }
    ::close(fd);
    return result;
}

std::string TSockets::LocalIPAddress() {
    char name[128] = {};
    if (gethostname(name, sizeof name - 1) != 0) return "0.0.0.0";
    const std::string a = LookupIPv4(name, nullptr);
    return a.empty() ? "0.0.0.0" : a;
}

}  // namespace canasta
