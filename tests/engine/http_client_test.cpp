#include "engine/net/http_client.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <httplib.h>

#include "engine/net/user_agents.h"
#include "support/loopback_server.h"
#include "support/peak_memory.h"
#include "support/temp_dir.h"

namespace {

using engine::HttpClient;
using engine::HttpGetForLookup;
using engine::HttpResponse;
using engine::LookupClientConfig;
using engine::ProxyConfig;
using engine::RoutedUrl;
using engine::WorkerClientConfig;
using testsupport::CannedAnswer;
using testsupport::LoopbackServer;
using Clock = std::chrono::steady_clock;

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

CannedAnswer Answer(int status, std::string body, std::string contentType = "image/png") {
    CannedAnswer answer;
    answer.status = status;
    answer.body = std::move(body);
    answer.contentType = std::move(contentType);
    return answer;
}

HttpClient WorkerClient() {
    return HttpClient(WorkerClientConfig("TileAgent/1.0", ProxyConfig{}));
}

TEST(RoutedUrl, PutsTheHostInFrontOfPathAndQuery) {
    struct Case {
        const char* url;
        const char* routed;
    };
    const Case cases[] = {
        {"https://mt1.example.com/vt?x=1&y=2", "http://127.0.0.1:8080/mt1.example.com/vt?x=1&y=2"},
        {"http://a.example.com:8081/p/q.png", "http://127.0.0.1:8080/a.example.com:8081/p/q.png"},
        {"HTTP://A.example.com", "http://127.0.0.1:8080/A.example.com/"},
        {"http://a.example.com?q=1", "http://127.0.0.1:8080/a.example.com/?q=1"},
        {"http://user:pw@a.example.com/x", "http://127.0.0.1:8080/a.example.com/x"},
        {"http://127.0.0.1:8080/already/local", "http://127.0.0.1:8080/already/local"},
        {"ftp://a.example.com/x", "ftp://a.example.com/x"},
        {"httpx://a.example.com/x", "httpx://a.example.com/x"},
        {"not a url", "not a url"},
    };
    for (const char* base : {"http://127.0.0.1:8080", "http://127.0.0.1:8080/"}) {
        ScopedEnv route("VANTOREL_ROUTE", base);
        for (const Case& c : cases) {
            EXPECT_EQ(RoutedUrl(c.url), c.routed) << c.url << " via " << base;
        }
    }
    ScopedEnv empty("VANTOREL_ROUTE", "");
    EXPECT_EQ(RoutedUrl("https://mt1.example.com/vt?x=1"), "https://mt1.example.com/vt?x=1");
}

TEST(HttpClient, RoutedRequestReachesTheLocalServerWithPathAndQuery) {
    LoopbackServer server;
    server.SetAnswer("/mt1.example.com/vt", Answer(200, "tile-bytes"));
    ScopedEnv route("VANTOREL_ROUTE", server.BaseUrl());
    HttpClient client = WorkerClient();
    const HttpResponse response = client.Get("https://mt1.example.com/vt?lyrs=m&x=1&y=2&z=3");
    EXPECT_TRUE(response.transferred) << response.error;
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, "tile-bytes");
    EXPECT_EQ(response.contentType, "image/png");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/mt1.example.com/vt?lyrs=m&x=1&y=2&z=3");
}

TEST(HttpClient, WorkerAndLookupConfigurationsSendTheirProtocolAndAgent) {
    LoopbackServer server;
    server.SetAnswer("/a", Answer(200, "x"));
    HttpClient worker = WorkerClient();
    ASSERT_TRUE(worker.Get(server.Url("/a")).transferred);
    ASSERT_TRUE(HttpGetForLookup(server.Url("/a")).transferred);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].version, "HTTP/1.1");
    EXPECT_EQ(requests[0].Header("User-Agent"), "TileAgent/1.0");
    EXPECT_EQ(requests[1].version, "HTTP/1.0");
    EXPECT_EQ(requests[1].Header("User-Agent"), engine::kLookupUserAgent);
}

TEST(HttpClient, ErrorStatusKeepsItsBody) {
    LoopbackServer server;
    const std::string html = "<html><body>404 Not Found 瓦片不存在</body></html>";
    server.SetAnswer("/missing.png", Answer(404, html, "text/html; charset=utf-8"));
    server.SetAnswer("/error", Answer(500, "{\"status\":\"error\"}", "application/json"));
    HttpClient client = WorkerClient();
    HttpResponse response = client.Get(server.Url("/missing.png"));
    EXPECT_TRUE(response.transferred);
    EXPECT_EQ(response.status, 404);
    EXPECT_EQ(response.body, html);
    EXPECT_EQ(response.contentType, "text/html; charset=utf-8");
    response = HttpGetForLookup(server.Url("/error"));
    EXPECT_TRUE(response.transferred);
    EXPECT_EQ(response.status, 500);
    EXPECT_EQ(response.body, "{\"status\":\"error\"}");
}

TEST(HttpClient, RedirectIsReportedNotFollowed) {
    LoopbackServer server;
    CannedAnswer redirect = Answer(302, "moved", "text/plain");
    redirect.headers = {{"Location", "/elsewhere.png"}};
    server.SetAnswer("/tile.png", redirect);
    server.SetAnswer("/elsewhere.png", Answer(200, "other"));
    for (bool lookup : {false, true}) {
        HttpClient worker = WorkerClient();
        const HttpResponse response = lookup ? HttpGetForLookup(server.Url("/tile.png"))
                                             : worker.Get(server.Url("/tile.png"));
        EXPECT_TRUE(response.transferred);
        EXPECT_EQ(response.status, 302);
        EXPECT_EQ(response.location, "/elsewhere.png");
        EXPECT_EQ(response.body, "moved");
    }
    EXPECT_EQ(server.RequestCount("/elsewhere.png"), 0);
    // A later answer on the same connection does not inherit the Location.
    server.SetAnswer("/plain", Answer(200, "p"));
    HttpClient client = WorkerClient();
    client.Get(server.Url("/tile.png"));
    EXPECT_EQ(client.Get(server.Url("/plain")).location, "");
}

TEST(HttpClient, BrokenTransfersAreFailuresWithoutBody) {
    LoopbackServer server;
    CannedAnswer truncated = Answer(200, std::string(10000, 'T'));
    truncated.fault = CannedAnswer::Fault::TruncatedBody;
    truncated.sentBytes = 4000;
    server.SetAnswer("/truncated", truncated);
    CannedAnswer headersOnly = truncated;
    headersOnly.sentBytes = 0;
    server.SetAnswer("/headers-only", headersOnly);
    CannedAnswer dropped;
    dropped.fault = CannedAnswer::Fault::DropConnection;
    server.SetAnswer("/dropped", dropped);
    server.SetAnswer("/ok", Answer(200, "fine"));

    HttpClient client = WorkerClient();
    for (const char* path : {"/truncated", "/headers-only"}) {
        const HttpResponse response = client.Get(server.Url(path));
        EXPECT_FALSE(response.transferred) << path;
        EXPECT_TRUE(response.truncated) << path;
        EXPECT_TRUE(response.body.empty()) << path;
        EXPECT_FALSE(response.error.empty()) << path;
        const HttpResponse lookup = HttpGetForLookup(server.Url(path));
        EXPECT_FALSE(lookup.transferred) << path;
        EXPECT_TRUE(lookup.body.empty()) << path;
    }
    const HttpResponse response = client.Get(server.Url("/dropped"));
    EXPECT_FALSE(response.transferred);
    EXPECT_EQ(response.status, 0);
    EXPECT_TRUE(response.body.empty());
    // The same client recovers on a fresh connection.
    const HttpResponse after = client.Get(server.Url("/ok"));
    EXPECT_TRUE(after.transferred) << after.error;
    EXPECT_EQ(after.body, "fine");
}

// An endless body fails the request once the limit is passed, holds no more than about the
// limit in memory, and leaves the client fit for the next request.
TEST(HttpClient, EndlessBodyFailsAtTheLimitWithFlatMemoryAndTheNextRequestWorks) {
    LoopbackServer server;
    CannedAnswer endless = Answer(200, "");
    endless.fault = CannedAnswer::Fault::EndlessBody;
    server.SetAnswer("/endless", endless);
    server.SetAnswer("/ok", Answer(200, "fine"));
    struct Case {
        const char* name;
        engine::HttpClientConfig config;
        std::size_t limit;
    };
    const Case cases[] = {
        {"worker", WorkerClientConfig("TileAgent/1.0", ProxyConfig{}), engine::kMaxTileBodyBytes},
        {"lookup", LookupClientConfig(), engine::kMaxLookupAnswerBytes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.config.maxBodyBytes, c.limit);
        HttpClient client(c.config);
        const std::size_t sentBefore = server.EndlessBytesSent();
        const std::size_t peakBefore = testsupport::PeakResidentBytes();
        const HttpResponse response = client.Get(server.Url("/endless"));
        EXPECT_FALSE(response.transferred);
        EXPECT_TRUE(response.tooLarge);
        EXPECT_TRUE(response.body.empty());
        EXPECT_NE(response.error.find(std::to_string(c.limit)), std::string::npos)
            << response.error;
        // The server's own end comes at 256 MiB; the client hangs up soon after its limit.
        EXPECT_LT(server.EndlessBytesSent() - sentBefore, c.limit + (std::size_t{16} << 20));
        EXPECT_LT(testsupport::PeakResidentBytes() - peakBefore, 2 * c.limit + (8u << 20));
        const HttpResponse after = client.Get(server.Url("/ok"));
        EXPECT_TRUE(after.transferred) << after.error;
        EXPECT_EQ(after.body, "fine");
    }
}

// An answer exactly at the limit is taken; one longer announced is refused at its header,
// without waiting for a body that may be slow to come.
TEST(HttpClient, AnnouncedLengthAboveTheLimitIsRefusedAtOnce) {
    LoopbackServer server;
    const std::size_t limit = engine::kMaxLookupAnswerBytes;
    server.SetAnswer("/exact", Answer(200, std::string(limit, 'x')));
    CannedAnswer over = Answer(200, std::string(limit + 1, 'x'));
    over.fault = CannedAnswer::Fault::StallBody;
    over.sentBytes = 0;
    over.stall = std::chrono::seconds(30);
    server.SetAnswer("/over", over);

    const HttpResponse exact = HttpGetForLookup(server.Url("/exact"));
    EXPECT_TRUE(exact.transferred) << exact.error;
    EXPECT_EQ(exact.body.size(), limit);
    const auto start = Clock::now();
    const HttpResponse refused = HttpGetForLookup(server.Url("/over"));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_FALSE(refused.transferred);
    EXPECT_TRUE(refused.tooLarge);
    EXPECT_TRUE(refused.body.empty());
}

TEST(HttpClient, SlowBodyArrivesWhole) {
    LoopbackServer server;
    std::string body;
    for (int i = 0; i < 2000; ++i) {
        body += static_cast<char>(i % 251);
    }
    CannedAnswer slow = Answer(200, body);
    slow.trickleInterval = std::chrono::milliseconds(5);
    slow.trickleBytes = 100;
    server.SetAnswer("/slow.png", slow);
    HttpClient client = WorkerClient();
    const HttpResponse response = client.Get(server.Url("/slow.png"));
    EXPECT_TRUE(response.transferred) << response.error;
    EXPECT_EQ(response.body, body);
}

TEST(HttpClient, OnlyHttpAddressesAreFetched) {
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir / "secret.txt", "secret");
    HttpClient client = WorkerClient();
    const HttpResponse response = client.Get("file://" + (dir / "secret.txt").string());
    EXPECT_FALSE(response.transferred);
    EXPECT_TRUE(response.body.empty());
}

TEST(HttpClient, NothingListeningIsAFailureWithStatusZero) {
    int port = 0;
    {
        LoopbackServer gone;
        port = gone.port();
    }
    HttpClient client = WorkerClient();
    const HttpResponse response = client.Get("http://127.0.0.1:" + std::to_string(port) + "/x");
    EXPECT_FALSE(response.transferred);
    EXPECT_EQ(response.status, 0);
    EXPECT_FALSE(response.error.empty());
}

TEST(HttpClient, AbortCheckEndsASilentTransferQuickly) {
    LoopbackServer server;
    CannedAnswer slow = Answer(200, "late");
    slow.delay = std::chrono::seconds(20);
    server.SetAnswer("/slow", slow);
    // A body that trickles in: the check must also end a transfer that is receiving data.
    server.SetHandler("/trickle", [&server](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("image/png",
                                         [&server](std::size_t, httplib::DataSink& sink) {
                                             sink.write("x", 1);
                                             return server.Wait(std::chrono::milliseconds(20));
                                         });
    });
    for (const char* path : {"/slow", "/trickle"}) {
        std::atomic<bool> stop{false};
        std::atomic<Clock::rep> stopAt{0};
        HttpClient client = WorkerClient();
        client.SetAbortCheck([&] { return stop.load(); });
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            stopAt = Clock::now().time_since_epoch().count();
            stop = true;
        });
        const HttpResponse response = client.Get(server.Url(path));
        const auto returnedAt = Clock::now();
        stopper.join();
        const auto latency = returnedAt - Clock::time_point(Clock::duration(stopAt.load()));
        EXPECT_TRUE(response.aborted) << path;
        EXPECT_FALSE(response.transferred) << path;
        EXPECT_TRUE(response.body.empty()) << path;
        EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(latency).count(), 400)
            << path;
        // The client stays usable for the next request.
        client.SetAbortCheck(nullptr);
        server.SetAnswer("/after", Answer(200, "next"));
        EXPECT_EQ(client.Get(server.Url("/after")).body, "next") << path;
    }
}

TEST(HttpClient, AbortCheckThatIsAlreadySetSendsNothing) {
    LoopbackServer server;
    server.SetAnswer("/a", Answer(200, "x"));
    HttpClient client = WorkerClient();
    client.SetAbortCheck([] { return true; });
    EXPECT_TRUE(client.Get(server.Url("/a")).aborted);
    client.SetAbortCheck(nullptr);
    EXPECT_TRUE(client.Get(server.Url("/a")).transferred);
    EXPECT_EQ(server.RequestCount("/a"), 1);
}

TEST(HttpClient, WorkerKeepsOneConnectionLookupsOpenOneEach) {
    LoopbackServer server;
    server.SetAnswer("/t", Answer(200, "tile"));
    server.SetAnswer("/404", Answer(404, "none", "text/html"));
    HttpClient client = WorkerClient();
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(
            client.Get(server.Url(i == 2 ? "/404" : "/t?i=" + std::to_string(i))).transferred);
    }
    EXPECT_EQ(server.RequestCount("/t"), 4);
    EXPECT_EQ(server.ConnectionCount(), 1u);

    server.ClearRequests();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(HttpGetForLookup(server.Url("/t")).transferred);
    }
    EXPECT_EQ(server.ConnectionCount(), 3u);
}

TEST(HttpClient, ProxyIsUsedOnlyWhenConfigured) {
    LoopbackServer proxy;
    // A proxy is asked with the whole address as target; an empty prefix matches it.
    proxy.SetHandler("", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("via proxy", "text/plain");
    });
    LoopbackServer origin;
    origin.SetAnswer("/direct", Answer(200, "direct"));

    ProxyConfig config{"127.0.0.1", std::to_string(proxy.port()), "", ""};
    HttpClient viaProxy(WorkerClientConfig("TileAgent/1.0", config));
    HttpResponse response = viaProxy.Get("http://tiles.example.com/a/b.png?v=1");
    EXPECT_EQ(response.body, "via proxy") << response.status << " " << response.error;
    ASSERT_EQ(proxy.Requests().size(), 1u);
    EXPECT_EQ(proxy.Requests()[0].target, "http://tiles.example.com/a/b.png?v=1");

    // Without a configured proxy, one named by the environment is not used either.
    ScopedEnv env("http_proxy", proxy.BaseUrl());
    ScopedEnv envUpper("HTTP_PROXY", proxy.BaseUrl());
    ScopedEnv noProxy("no_proxy", "");
    HttpClient direct = WorkerClient();
    response = direct.Get(origin.Url("/direct"));
    EXPECT_EQ(response.body, "direct") << response.error;
    EXPECT_EQ(HttpGetForLookup(origin.Url("/direct")).body, "direct");
    EXPECT_EQ(proxy.Requests().size(), 1u);
}

}  // namespace
