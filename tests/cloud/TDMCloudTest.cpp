#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "cloud/TDMCloud.h"
#include "devices/SerwerEnkoderow.h"
#include "tests/support/EncoderModel.h"
#include "tests/support/EncoderPeer.h"
#include "tests/support/FakeCloud.h"
#include "tests/support/TemporaryHome.h"

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;
using Words = std::vector<std::int32_t>;
const char* const Path = "/facility/outCallAction";

class TDMCloudTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(service.ready()) << "fake cloud did not start (openssl, port)";
        cloud.SetCredentials(service.host(), "F1", "K1");
        cloud.SetCaFile(service.certFile());
    }
    bool call(const std::vector<std::string>& emails = {"b@x.pl"}) {
        return cloud.OutCallAction("incoming_call", "tok", 5001, 4443, emails, "00950", "Warszawa", "Długa 7 12", 0);
    }

    TemporaryHome home; // failures go to the exception log
    FakeCloud service;
    TDMCloud cloud;
};

TEST_F(TDMCloudTest, ACallNotificationPostsItsFieldsInOrder) {
    const Fields expected = {{"idFacility", "F1"},       {"facilityKey", "K1"},    {"encoderKey", "tok"},
                             {"port1", "5001"},          {"port2", "4443"},        {"postalCode", "00950"},
                             {"locality", "Warszawa"},   {"street", "Długa 7 12"}, {"email[]", "A"},
                             {"email[]", "B"},           {"email[]", "a"},         {"action", "incoming_call"},
                             {"idUserDevice", "0"}};
    // Repeats and empty addresses go; capitals sort before small letters.
    const std::vector<std::string> emails = {"B", "a", "", "A", "B"};
    EXPECT_TRUE(call(emails));
    // From another thread, as the encoders call: the same request.
    EXPECT_TRUE(std::async(std::launch::async, [&] { return call(emails); }).get());

    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 2u);
    for (const auto& r : requests) {
        EXPECT_EQ(r.method, "POST");
        EXPECT_EQ(r.path, Path);
        EXPECT_EQ(r.fields, expected);
    }
}

TEST_F(TDMCloudTest, OnlyAJsonAnswerWithoutAnErrorTextIsSuccess) {
    struct Case {
        const char* name;
        int status;
        const char* body;
        bool ok;
    };
    const Case cases[] = {
        {"empty object", 200, "{}", true},
        {"empty error", 200, R"({"error":""})", true},
        {"null error", 200, R"({"error":null})", true},
        {"error text", 200, R"({"error":"Brak obiektu"})", false},
        {"error number", 200, R"({"error":5})", false},
        {"not JSON", 200, "OK", false},
        {"empty body", 200, "", false},
        {"JSON but not an object", 200, "[]", false},
        {"server error", 500, "{}", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        service.answer(Path, {c.status, c.body, "application/json"});
        EXPECT_EQ(call(), c.ok);
    }
}

TEST_F(TDMCloudTest, TheServiceMustProveWhoItIs) {
    TDMCloud trusting;
    trusting.SetCredentials(service.host(), "F1", "K1");
    // The fake's certificate chains to no CA of the system.
    EXPECT_FALSE(trusting.OutCallAction("timeout", "0", 1, 2, {"a@x.pl"}, "", "", "", 0));
    EXPECT_TRUE(service.requests().empty());

    const auto start = std::chrono::steady_clock::now();
    service.stop();
    EXPECT_FALSE(call());
    EXPECT_LT(std::chrono::steady_clock::now() - start, TDMCloud::CzasPolaczenia);
}

TEST(TDMCloudReady, ReadyOnlyWithAllThreeCredentials) {
    TDMCloud cloud;
    EXPECT_FALSE(cloud.IsReady());
    cloud.SetCredentials("h", "i", "k");
    EXPECT_TRUE(cloud.IsReady());
    for (auto [a, i, k] : {std::tuple{"", "i", "k"}, {"h", "", "k"}, {"h", "i", ""}}) {
        cloud.SetCredentials(a, i, k);
        EXPECT_FALSE(cloud.IsReady());
    }
}

// The encoders' server with the real cloud module installed, against the
// fake service.
class EncoderCallTest : public TDMCloudTest {
protected:
    void SetUp() override {
        TDMCloudTest::SetUp();
        UstawChmure(&cloud);
        SerwerEnkoderow::Opcje opcje;
        opcje.adres = "127.0.0.1";
        opcje.port = 0;
        ASSERT_TRUE(server.UruchomSerwerEnkoderow(opcje));
    }
    void TearDown() override {
        server.Zatrzymaj();
        UstawChmure(nullptr);
    }

    EncoderModel model;
    SerwerEnkoderow server;
};

TEST_F(EncoderCallTest, AnIncomingCallReachesTheCloudWithTheFlatsResidents) {
    EncoderPeer encoder(server.IdTCPServer.port());
    ASSERT_TRUE(encoder.send(EncoderPacket(1, TokenPayload("klucz-enkodera", EncoderModel::PinZMieszkancami))));
    const auto reply = encoder.receive(12, std::chrono::seconds(15));
    ASSERT_TRUE(reply);
    EXPECT_EQ(ReplyWords(*reply), (Words{12, 2, 0}));

    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].fields, (Fields{{"idFacility", "F1"},
                                          {"facilityKey", "K1"},
                                          {"encoderKey", "klucz-enkodera"},
                                          {"port1", "5001"},
                                          {"port2", "4443"},
                                          {"postalCode", "00950"},
                                          {"locality", "Warszawa"},
                                          {"street", "Długa 7 12"},
                                          {"email[]", "a@x.pl"},
                                          {"email[]", "b@x.pl"},
                                          {"action", "incoming_call"},
                                          {"idUserDevice", "0"}}));
}

TEST_F(EncoderCallTest, AReloadDuringACallFreesNothingTheCallUses) {
    service.hold();
    EncoderPeer encoder(server.IdTCPServer.port());
    ASSERT_TRUE(encoder.send(EncoderPacket(1, TokenPayload("t", EncoderModel::PinZMieszkancami))));
    ASSERT_TRUE(service.waitForRequests(1, std::chrono::seconds(10)));
    // The call waits for the service while every container is emptied and
    // filled again, as a system start does.
    model.reload();
    service.release();
    auto reply = encoder.receive(12, std::chrono::seconds(15));
    ASSERT_TRUE(reply);
    EXPECT_EQ(ReplyWords(*reply), (Words{12, 2, 0}));

    // The same connection goes on with the new model.
    ASSERT_TRUE(encoder.send(EncoderPacket(40, PinPayload(EncoderModel::PinZMieszkancami))));
    reply = encoder.receive(12, std::chrono::seconds(15));
    ASSERT_TRUE(reply);
    EXPECT_EQ(ReplyWords(*reply), (Words{12, 41, 0}));
    ASSERT_EQ(service.requests().size(), 2u);
    EXPECT_EQ(service.requests()[1].fields[2], (std::pair<std::string, std::string>{"encoderKey", "0"}));
}

} // namespace
