#include "tests/support/EncoderPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

void appendInt32(std::vector<std::uint8_t>& bytes, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

} // namespace

EncoderPeer::EncoderPeer(std::uint16_t port, const std::string& from) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd_ < 0)
        return;
    // Each send goes out as a segment of its own, so a split packet really
    // arrives split.
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in source{};
    source.sin_family = AF_INET;
    ::inet_pton(AF_INET, from.c_str(), &source.sin_addr);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

EncoderPeer::~EncoderPeer() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool EncoderPeer::send(const std::vector<std::uint8_t>& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> EncoderPeer::receive(std::size_t n, std::chrono::milliseconds timeout) {
    std::vector<std::uint8_t> bytes;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (bytes.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            continue;
        std::uint8_t buffer[4096];
        const ssize_t got = ::recv(fd_, buffer, std::min(sizeof buffer, n - bytes.size()), 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::nullopt;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

bool EncoderPeer::closedByServer(std::chrono::milliseconds timeout) {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0)
        return false;
    std::uint8_t byte;
    return ::recv(fd_, &byte, 1, 0) <= 0;
}

std::vector<std::uint8_t> EncoderPacketWithLength(std::int32_t length, std::int32_t type,
                                                  const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> bytes;
    appendInt32(bytes, length);
    appendInt32(bytes, type);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

std::vector<std::uint8_t> EncoderPacket(std::int32_t type, const std::vector<std::uint8_t>& payload) {
    return EncoderPacketWithLength(static_cast<std::int32_t>(8 + payload.size()), type, payload);
}

std::vector<std::uint8_t> TokenPayload(const std::string& token, std::optional<std::uint16_t> pin) {
    std::vector<std::uint8_t> bytes(64, 0);
    for (std::size_t i = 0; i < token.size() && i < 64; ++i)
        bytes[i] = static_cast<std::uint8_t>(token[i]);
    if (pin) {
        bytes.push_back(static_cast<std::uint8_t>(*pin & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(*pin >> 8));
    }
    return bytes;
}

std::vector<std::uint8_t> PinPayload(std::uint16_t pin) {
    return {static_cast<std::uint8_t>(pin & 0xFF), static_cast<std::uint8_t>(pin >> 8)};
}

std::vector<std::int32_t> ReplyWords(const std::vector<std::uint8_t>& reply) {
    std::vector<std::int32_t> words;
    for (std::size_t at = 0; at + 4 <= reply.size(); at += 4) {
        std::uint32_t u = 0;
        for (int i = 3; i >= 0; --i)
            u = (u << 8) | reply[at + i];
        words.push_back(static_cast<std::int32_t>(u));
    }
    return words;
}
