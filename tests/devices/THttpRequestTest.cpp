#include <gtest/gtest.h>

#include <cerrno>

#include "devices/THttpRequest.h"
#include "tests/support/FakeCloud.h"
#include "tests/support/TemporaryHome.h"

namespace {

class THttpRequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(peer.ready()) << "HTTPS peer did not start (openssl, port)";
        request.Client().setCaFile(peer.certFile());
    }

    TemporaryHome home; // failures go to the exception log
    FakeCloud peer;
    THttpRequest request;
};

TEST_F(THttpRequestTest, AnErrorStatusIsACompletedExchangeAndARefusalIsNot) {
    peer.answer("/first", {200, "one", "text/plain"});
    peer.answer("/missing", {404, "nope", "text/plain"});
    ASSERT_TRUE(request.Get(peer.url("/first")));
    EXPECT_EQ(request.ResponseText(), "one");
    EXPECT_TRUE(request.Get(peer.url("/missing")));
    EXPECT_EQ(request.ResponseCode(), 404);
    // Only the second answer is kept.
    EXPECT_EQ(request.ResponseText(), "nope");

    const std::string refused = peer.url("/first");
    peer.stop();
    EXPECT_FALSE(request.Get(refused));
    EXPECT_EQ(request.LastSocketError(), ECONNREFUSED);
    EXPECT_FALSE(request.Busy());
}

TEST_F(THttpRequestTest, HeaderLinesComeAndGoAsTheCallsSay) {
    request.SetBearerToken(""); // none set: nothing changes
    request.SetApiVersion(2);
    request.SetApiVersion(0);
    request.SetBearerToken("t1");
    request.SetBearerToken("t2");
    ASSERT_TRUE(request.Get(peer.url("/h")));
    request.SetBearerToken("");
    request.SetApiVersion(3);
    ASSERT_TRUE(request.Get(peer.url("/h")));

    const auto requests = peer.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].headers.count("Api-version"), 0u);
    const auto tokens = requests[0].headers.equal_range("Authorization");
    ASSERT_EQ(std::distance(tokens.first, tokens.second), 2);
    EXPECT_EQ(tokens.first->second, "Bearer t1");
    EXPECT_EQ(std::next(tokens.first)->second, "Bearer t2");
    EXPECT_EQ(requests[1].headers.count("Authorization"), 0u);
    ASSERT_EQ(requests[1].headers.count("Api-version"), 1u);
    EXPECT_EQ(requests[1].headers.find("Api-version")->second, "3");
    EXPECT_EQ(requests[1].headers.find("User-Agent")->second, "Kandor");
}

TEST_F(THttpRequestTest, APostSendsItsParametersInOrderAndIgnoresTheMultipartBody) {
    request.Params() = {{"id", "7"}, {"email[]", "b"}, {"email[]", "a"}};
    request.Multipart().push_back({"plik", "dane", "a.bin", "", {}});
    ASSERT_TRUE(request.Post(peer.url("/form")));
    request.Params().clear();
    ASSERT_TRUE(request.Post(peer.url("/parts")));

    const auto requests = peer.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].fields,
              (std::vector<std::pair<std::string, std::string>>{{"id", "7"}, {"email[]", "b"}, {"email[]", "a"}}));
    EXPECT_TRUE(requests[0].parts.empty());
    ASSERT_EQ(requests[1].parts.size(), 1u);
    EXPECT_EQ(requests[1].parts[0].name, "plik");
    EXPECT_EQ(requests[1].parts[0].fileName, "a.bin");
    EXPECT_EQ(requests[1].parts[0].data, "dane");
}

} // namespace
