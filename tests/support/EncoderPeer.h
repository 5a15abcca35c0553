#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// An intercom encoder on 127.0.0.1 as the server sees one: a TCP client
// that sends bytes as the test splits them and reads the replies.
class EncoderPeer {
public:
    // From the given source address on the loopback network (any 127.x.y.z),
    // so a test can be an encoder nobody configured.
    explicit EncoderPeer(std::uint16_t port, const std::string& from = "127.0.0.1");
    ~EncoderPeer();
    EncoderPeer(const EncoderPeer&) = delete;
    EncoderPeer& operator=(const EncoderPeer&) = delete;

    bool connected() const { return fd_ >= 0; }
    bool send(const std::vector<std::uint8_t>& bytes);
    // Exactly n bytes, or nothing when the time-out passed or the server
    // closed first.
    std::optional<std::vector<std::uint8_t>> receive(std::size_t n,
                                                     std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // The server closed the connection within the time-out.
    bool closedByServer(std::chrono::milliseconds timeout = std::chrono::seconds(5));

private:
    int fd_ = -1;
};

// A packet: the length (the whole packet's), the type and the payload, all
// little-endian.
std::vector<std::uint8_t> EncoderPacket(std::int32_t type, const std::vector<std::uint8_t>& payload);
// A packet whose length field says the given value, whatever follows.
std::vector<std::uint8_t> EncoderPacketWithLength(std::int32_t length, std::int32_t type,
                                                  const std::vector<std::uint8_t>& payload);
// 64 bytes of token text, zero-padded, then the PIN when given.
std::vector<std::uint8_t> TokenPayload(const std::string& token, std::optional<std::uint16_t> pin = std::nullopt);
std::vector<std::uint8_t> PinPayload(std::uint16_t pin);
// The reply's three little-endian integers.
std::vector<std::int32_t> ReplyWords(const std::vector<std::uint8_t>& reply);
