#include "tests/support/ServerRelay.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace {

// What one direction holds before the relay stops reading its sender, so a
// side that never reads cannot make the relay grow without bound.
constexpr std::size_t kBufferLimit = 256 * 1024;

[[noreturn]] void throwError(const std::string& what, int error = errno)
{
    throw std::runtime_error("ServerRelay: " + what + ": " + std::error_code(error, std::generic_category()).message());
}

// reset sends a RST instead of a FIN, as a host does for a connection it has
// no state for.
void closeSocket(int& fd, bool reset = false)
{
    if (fd < 0)
        return;
    if (reset) {
        const linger abort{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
    ::close(fd);
    fd = -1;
}

// Bytes go on as they come: Nagle's wait would add delays to the
// request-and-answer traffic that the server itself does not have.
void sendAtOnce(int fd)
{
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

// Listens on 127.0.0.1:port (0 for an ephemeral one); -1 with errno set when
// it cannot.
int openListener(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    // The relay's own closed connections linger in TIME_WAIT on the port,
    // which must not keep it from listening again.
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0 ||
        ::listen(fd, SOMAXCONN) < 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Appends what the socket has, up to the limit; false once the peer has
// closed or the connection has failed.
bool receive(int fd, std::string& into, std::size_t limit)
{
    char chunk[16384];
    while (into.size() < limit) {
        const ssize_t n = ::recv(fd, chunk, std::min(sizeof chunk, limit - into.size()), 0);
        if (n > 0) {
            into.append(chunk, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    return true;
}

bool discard(int fd)
{
    std::string ignored;
    for (;;) {
        if (!receive(fd, ignored, kBufferLimit))
            return false;
        if (ignored.size() < kBufferLimit)
            return true;
        ignored.clear();
    }
}

// Writes what the socket takes now and keeps the rest; false when the
// connection has failed.
bool transmit(int fd, std::string& from)
{
    while (!from.empty()) {
        const ssize_t n = ::send(fd, from.data(), from.size(), MSG_NOSIGNAL);
        if (n >= 0) {
            from.erase(0, static_cast<std::size_t>(n));
            continue;
        }
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
    return true;
}

// One end of a relayed connection and the bytes still owed to it.
struct Side {
    int fd = -1;
    std::string owed;

    void close()
    {
        closeSocket(fd);
        owed.clear();
    }
};

// A side is read only while the other is there and has room for what comes.
short events(const Side& side, const Side& other)
{
    short events = 0;
    if (other.fd >= 0 && other.owed.size() < kBufferLimit)
        events |= POLLIN;
    if (!side.owed.empty())
        events |= POLLOUT;
    return events;
}

// Moves what the side has sent into what the other is owed. A side that has
// hung up while it is not read is closed, or poll() would report it again at
// once.
void pull(Side& side, Side& other, short revents)
{
    if (side.fd < 0 || (revents & (POLLIN | POLLHUP | POLLERR)) == 0)
        return;
    if (events(side, other) & POLLIN) {
        if (!receive(side.fd, other.owed, kBufferLimit))
            side.close();
    } else if (revents & (POLLHUP | POLLERR)) {
        side.close();
    }
}

void push(Side& side)
{
    if (side.fd >= 0 && !transmit(side.fd, side.owed))
        side.close();
}

} // namespace

// One client connection and, while it is relayed, its connection to the
// target. When one side goes, the other is still written what it is owed
// (the server's last error message before it closes), then closed.
struct ServerRelay::Link {
    Side client;
    Side target;
    bool connecting = false;
    // Silent: the target side is closed and the client is read and ignored.
    bool held = false;

    ~Link()
    {
        client.close();
        target.close();
    }

    void hold()
    {
        target.close();
        client.owed.clear();
        connecting = false;
        held = true;
    }
    bool finished() const
    {
        if (client.fd < 0)
            return target.owed.empty();
        return !held && target.fd < 0 && client.owed.empty();
    }
    short clientEvents() const { return held ? POLLIN : events(client, target); }
    short targetEvents() const { return connecting ? POLLOUT : events(target, client); }
};

ServerRelay::ServerRelay(std::string targetHost, int targetPort)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(targetPort);
    if (const int error = ::getaddrinfo(targetHost.c_str(), service.c_str(), &hints, &found))
        throw std::runtime_error("ServerRelay: resolving " + targetHost + ": " + ::gai_strerror(error));
    std::memcpy(&target_, found->ai_addr, found->ai_addrlen);
    targetLength_ = found->ai_addrlen;
    ::freeaddrinfo(found);

    listener_ = openListener(0);
    if (listener_ < 0)
        throwError("listening on 127.0.0.1");
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (::getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length) < 0) {
        const int error = errno;
        closeSocket(listener_);
        throwError("reading the port", error);
    }
    port_ = ntohs(bound.sin_port);

    wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake_ < 0) {
        const int error = errno;
        closeSocket(listener_);
        throwError("eventfd", error);
    }
    thread_ = std::thread([this] { run(); });
}

ServerRelay::~ServerRelay()
{
    {
        std::lock_guard call(callMutex_);
        {
            std::lock_guard lock(mutex_);
            request_ = Request{Request::Kind::Stop};
        }
        wake();
        thread_.join();
    }
    ::close(wake_);
}

void ServerRelay::setMode(Mode mode)
{
    call({Request::Kind::SetMode, mode});
}

void ServerRelay::dropConnections()
{
    call({Request::Kind::Drop});
}

void ServerRelay::call(Request request)
{
    std::lock_guard call(callMutex_);
    std::string error;
    {
        std::unique_lock lock(mutex_);
        request_ = request;
        wake();
        applied_.wait(lock, [this] { return !request_; });
        error = std::exchange(error_, {});
    }
    if (!error.empty())
        throw std::runtime_error("ServerRelay: " + error);
}

void ServerRelay::wake()
{
    const std::uint64_t one = 1;
    while (::write(wake_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void ServerRelay::run()
{
    std::vector<pollfd> fds;
    for (;;) {
        // poll() skips the entries of closed sockets (-1).
        fds.clear();
        fds.push_back({wake_, POLLIN, 0});
        fds.push_back({listener_, POLLIN, 0});
        for (const auto& link : links_) {
            fds.push_back({link->client.fd, link->clientEvents(), 0});
            fds.push_back({link->target.fd, link->targetEvents(), 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0)
            continue;
        // A request may change every connection: it is applied alone, and
        // what poll() said of the sockets is asked again after it.
        if (fds[0].revents != 0) {
            if (!takeRequest())
                break;
            continue;
        }
        const std::size_t polled = links_.size();
        if (fds[1].revents != 0)
            acceptAll();
        for (std::size_t i = 0; i < polled; ++i)
            service(*links_[i], fds[2 + 2 * i].revents, fds[3 + 2 * i].revents);
        std::erase_if(links_, [](const auto& link) { return link->finished(); });
    }
    links_.clear();
    closeSocket(listener_);
}

bool ServerRelay::takeRequest()
{
    std::uint64_t count = 0;
    while (::read(wake_, &count, sizeof count) < 0 && errno == EINTR) {
    }
    std::optional<Request> request;
    {
        std::lock_guard lock(mutex_);
        request = request_;
    }
    if (!request)
        return true;
    if (request->kind == Request::Kind::Stop)
        return false;
    std::string error;
    if (request->kind == Request::Kind::SetMode)
        error = applyMode(request->mode);
    else
        links_.clear();
    {
        std::lock_guard lock(mutex_);
        request_.reset();
        error_ = error;
    }
    applied_.notify_all();
    return true;
}

std::string ServerRelay::applyMode(Mode mode)
{
    if (mode == mode_)
        return {};
    if (mode_ == Mode::Silent) {
        for (const auto& link : links_)
            closeSocket(link->client.fd, true);
        links_.clear();
    }
    if (mode == Mode::Silent) {
        for (const auto& link : links_)
            link->hold();
    } else if (mode == Mode::Refuse) {
        // Connections still waiting in the backlog are reset with it.
        closeSocket(listener_);
        links_.clear();
    }
    if (mode != Mode::Refuse && listener_ < 0) {
        // The port was free while refusing, and a client's connection may
        // have taken it as its own local port for a moment.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while ((listener_ = openListener(port_)) < 0 && errno == EADDRINUSE &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (listener_ < 0) {
            mode_ = Mode::Refuse;
            return "listening again on port " + std::to_string(port_) + ": " +
                   std::error_code(errno, std::generic_category()).message();
        }
    }
    mode_ = mode;
    return {};
}

void ServerRelay::acceptAll()
{
    for (;;) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        ++accepted_;
        sendAtOnce(fd);
        auto link = std::make_unique<Link>();
        link->client.fd = fd;
        if (mode_ == Mode::Silent)
            link->held = true;
        else if (!connectTarget(*link))
            continue; // the client is closed with the link, as by a proxy whose server is down
        links_.push_back(std::move(link));
    }
}

bool ServerRelay::connectTarget(Link& link)
{
    link.target.fd = ::socket(target_.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (link.target.fd < 0)
        return false;
    sendAtOnce(link.target.fd);
    if (::connect(link.target.fd, reinterpret_cast<const sockaddr*>(&target_), targetLength_) < 0 &&
        errno != EINPROGRESS)
        return false;
    // Finished or not, poll() reports the socket writable once it is.
    link.connecting = true;
    return true;
}

void ServerRelay::service(Link& link, short clientEvents, short targetEvents)
{
    if (link.held) {
        if ((clientEvents & (POLLIN | POLLHUP | POLLERR)) && !discard(link.client.fd))
            link.client.close();
        return;
    }
    if (link.connecting && targetEvents != 0) {
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(link.target.fd, SOL_SOCKET, SO_ERROR, &error, &length) < 0 || error != 0) {
            link.target.close();
            link.client.close();
            return;
        }
        link.connecting = false;
        targetEvents = 0;
    }
    pull(link.client, link.target, clientEvents);
    pull(link.target, link.client, targetEvents);
    push(link.client);
    if (!link.connecting)
        push(link.target);
}
