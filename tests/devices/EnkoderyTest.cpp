#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "core/Objects_globals.h"
#include "devices/MigawkaEnkoderow.h"
#include "devices/Object_Enkoder.h"
#include "devices/Urzadzenia.h"
#include "tests/support/FakeCloud.h"
#include "tests/support/ModelSupport.h"

namespace {

constexpr std::uint32_t Localhost = 0x7f000001;

TokenEnkodera Token(const std::string& tekst) {
    TokenEnkodera token{};
    tekst.copy(token.data(), token.size());
    return token;
}

// Encoders whose health endpoint is an HTTPS peer with a certificate of its
// own, as the encoders' are.
class EnkoderyTest : public ::testing::Test {
protected:
    EnkoderyTest() {
        RejestrujUrzadzenia();
        ObiektyUtworz();
        Enkodery->Wstrzymaj();
    }
    ~EnkoderyTest() override { ObiektyUsun(); }
    void SetUp() override { ASSERT_TRUE(peer.ready()) << "HTTPS peer did not start (openssl, port)"; }

    Object_Enkoder* dodaj(int id, std::uint16_t portIn) {
        Object_Enkoder* e = Enkodery->Dodaj(id, "Enkoder " + std::to_string(id), Localhost, 1, 2, portIn, 4, 0);
        OpublikujMigawkeEnkoderow();
        return e;
    }
    void odpowiedz(int status, const std::string& body) { peer.answer("/api/healthcheck", {status, body, "application/json"}); }

    TemporaryHome home; // the exception log of the failed checks
    FakeCloud peer;
};

TEST_F(EnkoderyTest, HealthyOnlyWhenTheStatusIsExactlyOk) {
    struct Case {
        const char* name;
        const char* body;
        bool healthy;
    };
    const Case cases[] = {
        {"ok", R"({"status":"ok"})", true},
        {"ok among other members", R"({"uptime":5,"status":"ok"})", true},
        {"upper-case OK", R"({"status":"OK"})", false},
        {"other status", R"({"status":"error"})", false},
        {"status not a text", R"({"status":1})", false},
        {"no status", R"({})", false},
        {"not JSON", "ok", false},
        {"empty body", "", false},
    };
    Object_Enkoder* e = dodaj(1, static_cast<std::uint16_t>(peer.port()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        odpowiedz(200, c.body);
        EXPECT_EQ(e->SprawdzStan(), c.healthy);
        EXPECT_EQ(e->Niesprawny(), !c.healthy);
    }
}

TEST_F(EnkoderyTest, TheRequestCarriesTheTokenPercentEncoded) {
    Object_Enkoder* e = dodaj(1, static_cast<std::uint16_t>(peer.port()));
    odpowiedz(200, R"({"status":"ok"})");
    e->SprawdzStan();
    e->UstawToken(Token("a b&c=d/ż"));
    e->SprawdzStan();
    const auto requests = peer.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/api/healthcheck?token=");
    EXPECT_EQ(requests[1].target, "/api/healthcheck?token=a%20b%26c%3Dd%2F%C5%BC");
    // A full 64-byte token has no terminating zero and stays 64 bytes.
    EXPECT_EQ(AdresSprawdzenia(Localhost, 443, Token(std::string(70, 'x'))),
              "https://127.0.0.1:443/api/healthcheck?token=" + std::string(64, 'x'));
}

TEST_F(EnkoderyTest, AnEncoderThatStopsAnsweringIsNotHealthy) {
    Object_Enkoder* e = dodaj(1, static_cast<std::uint16_t>(peer.port()));
    odpowiedz(200, R"({"status":"ok"})");
    EXPECT_TRUE(e->SprawdzStan());
    peer.stop();
    EXPECT_FALSE(e->SprawdzStan());
    EXPECT_TRUE(e->Niesprawny());
}

TEST_F(EnkoderyTest, ACycleWithOneFailingEncoderReportsTheContainerNotHealthy) {
    odpowiedz(200, R"({"status":"ok"})");
    Object_Enkoder* dobry = dodaj(1, static_cast<std::uint16_t>(peer.port()));
    FakeCloud gone;
    const auto closedPort = static_cast<std::uint16_t>(gone.port());
    gone.stop();
    Object_Enkoder* zly = dodaj(2, closedPort);
    EXPECT_TRUE(Enkodery->CyklSprawdzania());
    EXPECT_TRUE(Enkodery->JestNiesprawny());
    EXPECT_FALSE(dobry->Niesprawny());
    EXPECT_TRUE(zly->Niesprawny());

    Enkodery->Usun(2);
    OpublikujMigawkeEnkoderow();
    EXPECT_FALSE(Enkodery->CyklSprawdzania());
    EXPECT_FALSE(Enkodery->JestNiesprawny());
}

TEST_F(EnkoderyTest, TheHealthThreadChecksAtOnceUnlessPaused) {
    odpowiedz(200, R"({"status":"ok"})");
    dodaj(1, static_cast<std::uint16_t>(peer.port()));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(Enkodery->LiczbaCykli(), 0u);
    EXPECT_TRUE(peer.requests().empty());
    Enkodery->Wznow();
    EXPECT_TRUE(peer.waitForRequests(1, std::chrono::seconds(5)));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (Enkodery->LiczbaCykli() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(Enkodery->LiczbaCykli(), 1u);
    // The next cycle waits its minute.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(peer.requests().size(), 1u);
}

TEST_F(EnkoderyTest, LookupsAndOrder) {
    Enkodery->Dodaj(1, "B", 0x0a000002, 1, 0, 1, 0, 0);
    Enkodery->Dodaj(2, "A", 0x0a000002, 9, 0, 1, 0, 0);
    Enkodery->Dodaj(3, "A", 0x0a000001, 9, 0, 1, 0, 0);
    Enkodery->Dodaj(4, "A", 0x0a000001, 1, 0, 2, 0, 0);
    Enkodery->Dodaj(5, "A", 0x0a000001, 1, 0, 1, 0, 0);
    Enkodery->Sortuj(0);
    EXPECT_EQ(Ids(*Enkodery), (std::vector<int>{5, 4, 3, 2, 1}));
    EXPECT_EQ(Enkodery->ZnajdzIPv4(0x0a000002)->Id(), 2);
    EXPECT_EQ(Enkodery->ZnajdzIPv4(0x0a000003), nullptr);
}

} // namespace
