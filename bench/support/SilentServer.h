#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

// A server that has stopped answering (a hung host, a pulled cable seen from
// a switch that still answers the handshake): it listens on an ephemeral
// port of 127.0.0.1, accepts every connection, reads and throws away what
// the client sends and never writes a byte back. A client's connect
// succeeds and then its first wait for an answer runs into its own time-out.
class SilentServer {
public:
    SilentServer()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        stop_ = ::eventfd(0, EFD_CLOEXEC);
        if (listener_ < 0 || stop_ < 0)
            fail("socket");
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listener_, 16) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            fail("listen");
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { run(); });
    }

    ~SilentServer()
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(stop_, &one, sizeof one);
        thread_.join();
        ::close(listener_);
        ::close(stop_);
    }

    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    int port() const { return port_; }

private:
    [[noreturn]] void fail(const char* what)
    {
        const std::string message = std::string("silent server: ") + what + ": " + std::strerror(errno);
        if (listener_ >= 0)
            ::close(listener_);
        if (stop_ >= 0)
            ::close(stop_);
        throw std::runtime_error(message);
    }

    void run()
    {
        std::vector<pollfd> watched{{stop_, POLLIN, 0}, {listener_, POLLIN, 0}};
        char discard[4096];
        for (;;) {
            if (::poll(watched.data(), watched.size(), -1) < 0) {
                if (errno == EINTR)
                    continue;
                break;
            }
            if (watched[0].revents != 0)
                break;
            if (watched[1].revents & POLLIN) {
                const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
                if (client >= 0)
                    watched.push_back({client, POLLIN, 0});
            }
            // A client that gave up is let go; the others stay held.
            for (std::size_t i = 2; i < watched.size();) {
                if (watched[i].revents != 0 && ::read(watched[i].fd, discard, sizeof discard) <= 0) {
                    ::close(watched[i].fd);
                    watched.erase(watched.begin() + static_cast<std::ptrdiff_t>(i));
                } else {
                    watched[i++].revents = 0;
                }
            }
        }
        for (std::size_t i = 2; i < watched.size(); ++i)
            ::close(watched[i].fd);
    }

    int listener_ = -1;
    int stop_ = -1;
    int port_ = 0;
    std::thread thread_;
};
