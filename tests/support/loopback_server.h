#pragma once
// An HTTP server on 127.0.0.1 for tests: canned answers by path, handlers by path prefix, the
// faults a client must survive (slow answers, bodies cut short, dropped connections) and a
// thread-safe record of the requests it received.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace httplib {
struct Request;
struct Response;
class Server;
}  // namespace httplib

namespace testsupport {

struct CannedAnswer {
    enum class Fault {
        None,
        TruncatedBody,   // Content-Length announces the whole body, only `sentBytes` follow
        DropConnection,  // the connection is closed before any byte of an answer
        StallBody,       // as TruncatedBody, but the server then stays silent for `stall`
                         // (or until it stops) before it closes the connection
        EndlessBody,     // no length announced; `body` (filler when empty) is sent again and
                         // again, 64 KiB or more a write, until the client goes away, the server
                         // stops or `sentBytes` (256 MiB when 0) have gone out; then it closes
    };

    int status = 200;
    std::string body;
    std::string contentType = "application/octet-stream";
    std::vector<std::pair<std::string, std::string>> headers;
    std::chrono::milliseconds delay{0};  // wait before answering (ends early when stopping)
    Fault fault = Fault::None;
    std::size_t sentBytes = 0;           // TruncatedBody, StallBody and EndlessBody
    std::chrono::milliseconds stall{0};  // StallBody only
    // A slow answer: the body goes out in pieces of `trickleBytes` with this pause between
    // them (Content-Length still announces the whole body).
    std::chrono::milliseconds trickleInterval{0};
    std::size_t trickleBytes = 1024;
};

struct RecordedRequest {
    std::string method;
    std::string target;  // path with query, as sent
    std::string path;    // without query
    std::vector<std::pair<std::string, std::string>> headers;
    std::string version;  // "HTTP/1.1", "HTTP/1.0"
    int remotePort = 0;   // tells connections apart

    // First header of that name (letter case ignored); empty when absent.
    std::string Header(const std::string& name) const;
    bool HasHeader(const std::string& name) const;
};

class LoopbackServer {
  public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    // Listens on 127.0.0.1 on a free port; throws std::runtime_error when it cannot.
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    std::string BaseUrl() const;                             // "http://127.0.0.1:PORT"
    std::string Url(const std::string& pathAndQuery) const;  // BaseUrl() + pathAndQuery

    // The answer for one exact path (query ignored). Exact paths win over prefixes.
    void SetAnswer(const std::string& path, CannedAnswer answer);
    // A handler for every path that starts with `prefix`; the longest matching prefix wins.
    // Paths that nothing matches get 404 with an empty body.
    void SetHandler(const std::string& prefix, Handler handler);

    // Writes a canned answer, faults included; for handlers that pick an answer per request.
    void Serve(const CannedAnswer& answer, const httplib::Request& req, httplib::Response& res);
    // Closes the connection of `req` at once, without an answer.
    void DropConnection(const httplib::Request& req);
    // Sleeps up to `duration`; returns false early when the server is stopping.
    bool Wait(std::chrono::milliseconds duration);

    std::vector<RecordedRequest> Requests() const;
    int RequestCount(const std::string& path) const;  // requests for that path, any query
    std::size_t ConnectionCount() const;              // distinct client connections seen
    std::size_t EndlessBytesSent() const;             // body bytes of EndlessBody answers
    void ClearRequests();

    // How long an idle kept-alive connection stays open (default 2 s).
    void SetKeepAliveTimeout(std::chrono::seconds timeout);

    // Ends the accept loop and waits for every handler to return; stopping again does nothing.
    // An owner whose handlers use its own members calls it before those members go.
    void Stop();

  private:
    void Dispatch(const httplib::Request& req, httplib::Response& res);
    void Record(const httplib::Request& req);

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable stopping_;
    bool stopped_ = false;
    std::map<std::string, CannedAnswer> answers_;
    std::map<std::string, Handler> handlers_;
    std::vector<RecordedRequest> requests_;
    std::map<std::string, int> counts_;
    std::set<int> ports_;
    std::size_t endlessBytes_ = 0;
};

}  // namespace testsupport
