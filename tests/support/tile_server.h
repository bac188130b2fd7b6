#pragma once
// A tile server on the loopback server for download tests. Requests arrive routed
// (VANTOREL_ROUTE) as /<host><path and query>; a rule picks the answer for each from the
// request, and every request is counted by its path and query (the host, which carries a
// random server number, is left out).
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "support/loopback_server.h"

namespace testsupport {

struct TileRequest {
    std::string host;    // "b.tile.openstreetmap.org"
    std::string target;  // path and query after the host: "/3/6/2.png"
};

// Bodies and answers that tile servers really give.
namespace tileanswers {
const std::string& SmallPng();  // a complete 1x1 PNG
const std::string& JpegBody();  // starts and ends like a JPEG file
const std::string& HtmlPage();  // an error page

CannedAnswer Png(int status = 200);
CannedAnswer Jpeg(int status = 200);
CannedAnswer Html(int status);  // 404 page, 200 with a page in place of a tile, ...
CannedAnswer ServerError();     // 500 with a short text
CannedAnswer Redirect(const std::string& location);  // 302 with an HTML body
CannedAnswer Slow(CannedAnswer answer, std::chrono::milliseconds delay);
// The announced body is cut after `bytes` and the connection closed.
CannedAnswer CutMidBody(CannedAnswer answer, std::size_t bytes);
// The announced body stops after `bytes`; the server then stays silent for `stall`.
CannedAnswer StallMidBody(CannedAnswer answer, std::size_t bytes, std::chrono::milliseconds stall);
}  // namespace tileanswers

class TileServer {
  public:
    using Rule = std::function<CannedAnswer(const TileRequest&)>;

    // Without a rule every tile is a small PNG.
    explicit TileServer(Rule rule = {});
    // Stops the server first: its handler threads use the members below, which go before
    // the loopback server would otherwise stop.
    ~TileServer();
    TileServer(const TileServer&) = delete;
    TileServer& operator=(const TileServer&) = delete;

    void SetRule(Rule rule);
    std::string BaseUrl() const { return server_.BaseUrl(); }

    int Count(const std::string& target) const;  // requests for that path and query
    int Total() const;
    std::vector<std::string> Targets() const;  // in the order they arrived
    std::map<std::string, int> Counts() const;
    void ClearCounts();

    LoopbackServer& Server() { return server_; }

  private:
    LoopbackServer server_;
    mutable std::mutex mutex_;
    Rule rule_;
    std::vector<std::string> targets_;
    std::map<std::string, int> counts_;
};

// Points the HTTP client of this process at `server` (VANTOREL_ROUTE) for its lifetime; set
// before any worker exists, since clients read it per request.
class ScopedRoute {
  public:
    explicit ScopedRoute(const TileServer& server);
    ~ScopedRoute();
    ScopedRoute(const ScopedRoute&) = delete;
    ScopedRoute& operator=(const ScopedRoute&) = delete;
};

}  // namespace testsupport
