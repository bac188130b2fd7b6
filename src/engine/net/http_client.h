#pragma once
// The one HTTP client of the system, over libcurl. Every host the system talks to is reached
// through it. When VANTOREL_ROUTE holds a base URL (http://127.0.0.1:8080), a request for
// https://mt1.example.com/vt?x=1 goes to http://127.0.0.1:8080/mt1.example.com/vt?x=1.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/core/body_limits.h"

namespace engine {

// A failed transfer (transferred == false) never carries a body: a body cut short is dropped,
// so that it can never be mistaken for a complete one.
struct HttpResponse {
    bool transferred = false;  // a complete HTTP answer arrived (whatever its status)
    int status = 0;            // HTTP status code; 0 when no status line arrived
    std::string body;          // taken whatever the status
    std::string location;      // Location header of a redirect, not followed
    std::string contentType;
    bool truncated = false;  // the connection ended before the announced body was complete
    bool aborted = false;    // the abort check ended the transfer
    bool tooLarge = false;   // the body passed the client's limit and was dropped
    std::string error;       // transport error text when the transfer failed
};

struct ProxyConfig {
    std::string host;  // empty: no proxy
    std::string port;
    std::string user;
    std::string pass;
};

struct HttpClientConfig {
    bool http11 = true;
    std::string userAgent;                     // empty: the library's default agent
    ProxyConfig proxy;                         // used only when host is not empty
    std::chrono::milliseconds timeout{90000};  // whole transfer
    std::chrono::milliseconds connectTimeout{30000};
    bool keepAlive = true;  // keep the connection open for the next request of the client
    // A longer body fails the request as soon as it is announced or passes the limit.
    std::size_t maxBodyBytes = kMaxTileBodyBytes;
};

// Download workers: HTTP/1.1, the task's user agent and proxy, keep-alive, no redirects.
HttpClientConfig WorkerClientConfig(const std::string& userAgent, const ProxyConfig& proxy);
// Web lookups: a fresh client each, HTTP/1.0, kLookupUserAgent, 90 s, no proxy, answers of at
// most kMaxLookupAnswerBytes.
HttpClientConfig LookupClientConfig();

// One client keeps one connection open between requests (when keepAlive); use one per thread.
class HttpClient {
  public:
    explicit HttpClient(HttpClientConfig config);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    HttpResponse Get(const std::string& url);

    // Called often during a transfer (at least every 50 ms, also while waiting for the server);
    // returning true ends it (stop and pause of a task). Checked once before the request too.
    void SetAbortCheck(std::function<bool()> shouldAbort);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The URL a request actually goes to, after VANTOREL_ROUTE.
std::string RoutedUrl(const std::string& url);

// One GET with a fresh lookup client.
HttpResponse HttpGetForLookup(const std::string& url);

}  // namespace engine
