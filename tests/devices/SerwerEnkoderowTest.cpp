#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/Czas.h"
#include "core/Objects_globals.h"
#include "devices/MigawkaEnkoderow.h"
#include "devices/Object_Enkoder.h"
#include "devices/SerwerEnkoderow.h"
#include "devices/Urzadzenia.h"
#include "tests/support/EncoderModel.h"
#include "tests/support/EncoderPeer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Words = std::vector<std::int32_t>;

// The length field frames the packets: a length outside 8..4096 is no
// packet, and nothing after it can be framed again.
TEST(DlugoscPakietuEnkodera, TakesTheLengthFieldWithinItsBounds) {
    struct Case {
        const char* name;
        Bytes header;
        std::optional<std::size_t> length;
    };
    const Case cases[] = {
        {"a keep-alive", {10, 0, 0, 0}, 10},
        {"the shortest", {8, 0, 0, 0}, 8},
        {"the longest", {0x00, 0x10, 0, 0}, 4096},
        {"shorter than its header", {7, 0, 0, 0}, std::nullopt},
        {"one past the longest", {0x01, 0x10, 0, 0}, std::nullopt},
        {"negative", {0xFF, 0xFF, 0xFF, 0xFF}, std::nullopt},
        {"fewer than four bytes", {10, 0, 0}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DlugoscPakietuEnkodera(c.header), c.length);
    }
}

class SerwerEnkoderowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SerwerEnkoderow::Opcje opcje;
        opcje.adres = "127.0.0.1";
        opcje.port = 0;
        ASSERT_TRUE(serwer.UruchomSerwerEnkoderow(opcje)) << serwer.IdTCPServer.error();
    }
    std::uint16_t port() const { return serwer.IdTCPServer.port(); }
    Object_Enkoder* enkoder() const { return Enkodery->ZnajdzIPv4(EncoderModel::Localhost); }

    EncoderModel model;
    RecordingCloud cloud;
    SerwerEnkoderow serwer;
};

// The replies encoders in the field read, odd ones included: a keep-alive
// is answered 11001 even from a known encoder, a token update 0 even from
// an unknown one.
TEST_F(SerwerEnkoderowTest, EveryKnownTypeIsAnsweredWithItsCode) {
    struct Case {
        const char* name;
        const char* from;
        Bytes packet;
        Words reply;
        const char* action; // the cloud call it makes, if any
        const char* key;
    };
    const Case cases[] = {
        {"incoming call", "127.0.0.1", EncoderPacket(1, TokenPayload("tok-1", 1234)), {12, 2, 0}, "incoming_call", "tok-1"},
        {"call of length 73", "127.0.0.1", EncoderPacketWithLength(73, 1, Bytes(65, 0)), {12, 2, 11002}, nullptr, nullptr},
        {"call to an unknown PIN", "127.0.0.1", EncoderPacket(1, TokenPayload("t", 999)), {12, 2, 11001}, nullptr, nullptr},
        {"call to a flat without residents", "127.0.0.1", EncoderPacket(1, TokenPayload("t", 2222)), {12, 2, 0}, nullptr, nullptr},
        {"call from an unknown encoder", "127.0.0.2", EncoderPacket(1, TokenPayload("t", 1234)), {12, 2, 11001}, nullptr, nullptr},
        {"answered", "127.0.0.1", EncoderPacket(20, PinPayload(1234)), {12, 21, 0}, "call_answered", "0"},
        {"timed out", "127.0.0.1", EncoderPacket(30, PinPayload(1234)), {12, 31, 0}, "timeout", "0"},
        {"ended", "127.0.0.1", EncoderPacket(40, PinPayload(1234)), {12, 41, 0}, "call_end", "0"},
        {"ended, unknown encoder", "127.0.0.2", EncoderPacket(40, PinPayload(1234)), {12, 41, 11001}, nullptr, nullptr},
        {"answered, length 11", "127.0.0.1", EncoderPacket(20, Bytes(3, 0)), {12, 21, 11002}, nullptr, nullptr},
        {"keep-alive, known", "127.0.0.1", EncoderPacket(10, Bytes(2, 0)), {12, 11, 11001}, nullptr, nullptr},
        {"keep-alive, unknown", "127.0.0.2", EncoderPacket(10, Bytes(2, 0)), {12, 11, 11001}, nullptr, nullptr},
        {"keep-alive, length 12", "127.0.0.1", EncoderPacket(10, Bytes(4, 0)), {12, 11, 11002}, nullptr, nullptr},
        {"token update, known", "127.0.0.1", EncoderPacket(50, TokenPayload("nowy")), {12, 51, 0}, nullptr, nullptr},
        {"token update, unknown", "127.0.0.2", EncoderPacket(50, TokenPayload("obcy")), {12, 51, 0}, nullptr, nullptr},
        {"token update, length 71", "127.0.0.1", EncoderPacket(50, Bytes(63, 0)), {12, 51, 11002}, nullptr, nullptr},
    };
    std::size_t calls = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EncoderPeer peer(port(), c.from);
        ASSERT_TRUE(peer.connected());
        ASSERT_TRUE(peer.send(c.packet));
        const auto reply = peer.receive(12);
        ASSERT_TRUE(reply);
        EXPECT_EQ(ReplyWords(*reply), c.reply);
        const auto made = cloud.calls();
        if (!c.action) {
            EXPECT_EQ(made.size(), calls);
            continue;
        }
        ASSERT_EQ(made.size(), ++calls);
        const auto& call = made.back();
        EXPECT_EQ(call.action, c.action);
        EXPECT_EQ(call.encoderKey, c.key);
        EXPECT_EQ(call.port1, 5001);
        EXPECT_EQ(call.port2, 4443);
        EXPECT_EQ(call.emails, (std::vector<std::string>{"b@x.pl", "a@x.pl", "b@x.pl", ""}));
        EXPECT_EQ(call.postalCode, "00950");
        EXPECT_EQ(call.locality, "Warszawa");
        EXPECT_EQ(call.street, "Długa 7 12");
        EXPECT_EQ(call.idUserDevice, 0);
    }
    // The last token the known encoder sent, the unknown one's nowhere.
    EXPECT_EQ(TekstTokenu(enkoder()->PobierzToken()), "nowy");
}

TEST_F(SerwerEnkoderowTest, PacketsAreFramedHoweverTheyArrive) {
    EncoderPeer peer(port());
    ASSERT_TRUE(peer.connected());

    // Byte by byte: one reply, once the last byte is there.
    const Bytes call = EncoderPacket(1, TokenPayload("abc", 1234));
    for (std::size_t i = 0; i + 1 < call.size(); ++i) {
        ASSERT_TRUE(peer.send({call[i]}));
        if (i % 16 == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_FALSE(peer.receive(1, std::chrono::milliseconds(50))) << "answered before the packet was whole";
    ASSERT_TRUE(peer.send({call.back()}));
    auto reply = peer.receive(12);
    ASSERT_TRUE(reply);
    EXPECT_EQ(ReplyWords(*reply), (Words{12, 2, 0}));

    // Two packets in one segment: two replies in order.
    Bytes both = EncoderPacket(10, Bytes(2, 0));
    const Bytes ended = EncoderPacket(40, PinPayload(1234));
    both.insert(both.end(), ended.begin(), ended.end());
    ASSERT_TRUE(peer.send(both));
    reply = peer.receive(24);
    ASSERT_TRUE(reply);
    EXPECT_EQ(ReplyWords(*reply), (Words{12, 11, 11001, 12, 41, 0}));

    // An unknown type is read and skipped without a reply; the next packet
    // is read normally.
    ASSERT_TRUE(peer.send(EncoderPacket(99, Bytes(5, 7))));
    ASSERT_TRUE(peer.send(EncoderPacket(50, TokenPayload("po99"))));
    reply = peer.receive(12);
    ASSERT_TRUE(reply);
    EXPECT_EQ(ReplyWords(*reply), (Words{12, 51, 0}));
    EXPECT_FALSE(peer.receive(1, std::chrono::milliseconds(50)));
}

TEST_F(SerwerEnkoderowTest, ALengthNoPacketCanHaveClosesTheConnection) {
    for (std::int32_t length : {0, 7, -74, 4097, 0x7fffffff}) {
        SCOPED_TRACE(length);
        EncoderPeer peer(port());
        ASSERT_TRUE(peer.connected());
        ASSERT_TRUE(peer.send(EncoderPacketWithLength(length, 10, Bytes(2, 0))));
        EXPECT_TRUE(peer.closedByServer());
    }
    // The largest allowed length is still a packet (of an unknown type here).
    EncoderPeer peer(port());
    ASSERT_TRUE(peer.send(EncoderPacket(99, Bytes(4096 - 8, 1))));
    ASSERT_TRUE(peer.send(EncoderPacket(10, Bytes(2, 0))));
    EXPECT_TRUE(peer.receive(12));
}

TEST_F(SerwerEnkoderowTest, PacketsRecordTheEncodersActivity) {
    EncoderPeer peer(port());
    EXPECT_FALSE(enkoder()->JestAktywny());
    ASSERT_TRUE(peer.send(EncoderPacket(10, Bytes(2, 0))));
    ASSERT_TRUE(peer.receive(12));
    EXPECT_TRUE(enkoder()->JestAktywny());
    EXPECT_EQ(enkoder()->OstatniTypPakietu(), 10);

    Objects::Zablokuj();
    const std::uint64_t chwila = enkoder()->Stan()->OstatniaAktywnosc;
    Objects::Odblokuj();
    constexpr std::uint64_t sekunda = 10'000'000;
    EXPECT_TRUE(enkoder()->JestAktywny(chwila + 119 * sekunda));
    EXPECT_FALSE(enkoder()->JestAktywny(chwila + 120 * sekunda));
}

TEST_F(SerwerEnkoderowTest, AnEncoderWhoseControllerIsGoneFindsNoFlat) {
    KontenerGlobalny(NrCentrale)->Usun(EncoderModel::IdCentrali);
    OpublikujMigawkeEnkoderow();
    EncoderPeer peer(port());
    ASSERT_TRUE(peer.send(EncoderPacket(1, TokenPayload("t", 1234))));
    const auto reply = peer.receive(12);
    ASSERT_TRUE(reply);
    EXPECT_EQ(ReplyWords(*reply), (Words{12, 2, 11001}));
    EXPECT_TRUE(cloud.calls().empty());
}

TEST(SerwerEnkoderowStart, ListensOnlyWhenEncodersExist) {
    RejestrujUrzadzenia();
    GlobalModel model;
    SerwerEnkoderow serwer;
    SerwerEnkoderow::Opcje opcje;
    opcje.adres = "127.0.0.1";
    opcje.port = 0;
    EXPECT_FALSE(serwer.UruchomSerwerEnkoderow(opcje));
    EXPECT_FALSE(serwer.IdTCPServer.isRunning());
    Enkodery->Wstrzymaj();
    Enkodery->Dodaj(1, "E", EncoderModel::Localhost, 1, 2, 3, 4, 0);
    EXPECT_TRUE(serwer.UruchomSerwerEnkoderow(opcje));
    EXPECT_TRUE(serwer.IdTCPServer.isRunning());
    // A second start changes nothing.
    const auto port = serwer.IdTCPServer.port();
    EXPECT_TRUE(serwer.UruchomSerwerEnkoderow(opcje));
    EXPECT_EQ(serwer.IdTCPServer.port(), port);
}

TEST(SerwerEnkoderowIdle, ASilentConnectionIsClosedAfterTheIdleTime) {
    EncoderModel model;
    SerwerEnkoderow serwer;
    SerwerEnkoderow::Opcje opcje;
    opcje.adres = "127.0.0.1";
    opcje.port = 0;
    opcje.czasBezczynnosci = std::chrono::milliseconds(200);
    ASSERT_TRUE(serwer.UruchomSerwerEnkoderow(opcje));
    EncoderPeer peer(serwer.IdTCPServer.port());
    // Half a packet, then silence.
    ASSERT_TRUE(peer.send({10, 0, 0}));
    EXPECT_TRUE(peer.closedByServer(std::chrono::seconds(3)));
}

} // namespace
