#include "support/loopback_server.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <strings.h>
#include <algorithm>
#include <csignal>
#include <stdexcept>

#include <httplib.h>

namespace testsupport {
namespace {

int LocalPortOf(int fd, bool peer) {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    const int rc = peer ? getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length)
                        : getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    if (rc != 0) {
        return -1;
    }
    if (address.ss_family == AF_INET) {
        return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    }
    if (address.ss_family == AF_INET6) {
        return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
    }
    return -1;
}

// The server library does not hand out the socket of a request, so the connection is found
// among this process's descriptors by its two port numbers and shut down; the library then
// fails its next write and closes the descriptor itself.
void ShutdownConnection(int serverPort, int clientPort) {
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) {
        return;
    }
    while (dirent* entry = readdir(dir)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == dirfd(dir)) {
            continue;
        }
        struct stat info {};
        if (fstat(static_cast<int>(fd), &info) != 0 || !S_ISSOCK(info.st_mode)) {
            continue;
        }
        if (LocalPortOf(static_cast<int>(fd), false) == serverPort &&
            LocalPortOf(static_cast<int>(fd), true) == clientPort) {
            shutdown(static_cast<int>(fd), SHUT_RDWR);
        }
    }
    closedir(dir);
}

}  // namespace

std::string RecordedRequest::Header(const std::string& name) const {
    for (const auto& [key, value] : headers) {
        if (strcasecmp(key.c_str(), name.c_str()) == 0) {
            return value;
        }
    }
    return {};
}

bool RecordedRequest::HasHeader(const std::string& name) const {
    for (const auto& header : headers) {
        if (strcasecmp(header.first.c_str(), name.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

LoopbackServer::LoopbackServer() : server_(std::make_unique<httplib::Server>()) {
    // A client that goes away mid-answer must not kill the test process.
    std::signal(SIGPIPE, SIG_IGN);
    // One thread per connection is held while it is kept alive; download tests run up to 80
    // workers at once. The library takes ownership of the queue it is given.
    server_->new_task_queue = [] { return new httplib::ThreadPool(96); };
    server_->set_keep_alive_timeout(2);
    server_->set_keep_alive_max_count(1000000);
    auto dispatch = [this](const httplib::Request& req, httplib::Response& res) {
        Dispatch(req, res);
    };
    server_->Get(".*", dispatch);
    server_->Post(".*", dispatch);
    server_->Put(".*", dispatch);
    server_->Delete(".*", dispatch);
    server_->Options(".*", dispatch);
    server_->Patch(".*", dispatch);
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        throw std::runtime_error("loopback server: cannot bind a port on 127.0.0.1");
    }
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // The socket already listens; wait for the accept loop so that Stop() can end it.
    while (!server_->is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

LoopbackServer::~LoopbackServer() {
    Stop();
}

void LoopbackServer::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    stopping_.notify_all();
    server_->stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::string LoopbackServer::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::string LoopbackServer::Url(const std::string& pathAndQuery) const {
    return BaseUrl() + pathAndQuery;
}

void LoopbackServer::SetAnswer(const std::string& path, CannedAnswer answer) {
    std::lock_guard lock(mutex_);
    answers_[path] = std::move(answer);
}

void LoopbackServer::SetHandler(const std::string& prefix, Handler handler) {
    std::lock_guard lock(mutex_);
    handlers_[prefix] = std::move(handler);
}

void LoopbackServer::SetKeepAliveTimeout(std::chrono::seconds timeout) {
    server_->set_keep_alive_timeout(static_cast<time_t>(timeout.count()));
}

bool LoopbackServer::Wait(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    return !stopping_.wait_for(lock, duration, [this] { return stopped_; });
}

void LoopbackServer::DropConnection(const httplib::Request& req) {
    ShutdownConnection(port_, req.remote_port);
}

void LoopbackServer::Record(const httplib::Request& req) {
    RecordedRequest record;
    record.method = req.method;
    record.target = req.target;
    record.path = req.path;
    record.version = req.version;
    record.remotePort = req.remote_port;
    for (const auto& header : req.headers) {
        // The library adds these itself; they were not sent by the client.
        if (header.first == "REMOTE_ADDR" || header.first == "REMOTE_PORT" ||
            header.first == "LOCAL_ADDR" || header.first == "LOCAL_PORT") {
            continue;
        }
        record.headers.push_back(header);
    }
    std::lock_guard lock(mutex_);
    counts_[record.path] += 1;
    ports_.insert(record.remotePort);
    requests_.push_back(std::move(record));
}

void LoopbackServer::Dispatch(const httplib::Request& req, httplib::Response& res) {
    Record(req);
    std::optional<CannedAnswer> answer;
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        if (auto it = answers_.find(req.path); it != answers_.end()) {
            answer = it->second;
        } else {
            std::size_t best = 0;
            for (const auto& [prefix, candidate] : handlers_) {
                if (req.path.compare(0, prefix.size(), prefix) == 0 && prefix.size() >= best) {
                    best = prefix.size();
                    handler = candidate;
                }
            }
        }
    }
    if (answer) {
        Serve(*answer, req, res);
    } else if (handler) {
        handler(req, res);
    } else {
        res.status = 404;
    }
}

void LoopbackServer::Serve(const CannedAnswer& answer, const httplib::Request& req,
                           httplib::Response& res) {
    if (answer.delay.count() > 0 && !Wait(answer.delay)) {
        DropConnection(req);
        return;
    }
    if (answer.fault == CannedAnswer::Fault::DropConnection) {
        DropConnection(req);
        return;
    }
    res.status = answer.status;
    for (const auto& [name, value] : answer.headers) {
        res.set_header(name, value);
    }
    if (answer.fault == CannedAnswer::Fault::StallBody) {
        const std::string sent = answer.body.substr(0, answer.sentBytes);
        const auto stall = answer.stall;
        res.set_content_provider(
            answer.body.size(), answer.contentType,
            [this, sent, stall](std::size_t, std::size_t, httplib::DataSink& sink) {
                if (!sent.empty()) {
                    sink.write(sent.data(), sent.size());
                }
                Wait(stall);
                return false;
            });
        return;
    }
    if (answer.fault == CannedAnswer::Fault::EndlessBody) {
        // Pieces of at least 64 KiB: a short body sent a few bytes a write would take minutes
        // to reach a client's limit on a loaded machine.
        std::string piece = answer.body.empty() ? std::string(1, 'e') : answer.body;
        while (piece.size() < 64 * 1024) {
            piece += piece;
        }
        const std::size_t cap = answer.sentBytes > 0 ? answer.sentBytes : std::size_t{256} << 20;
        res.set_content_provider(answer.contentType,
                                 [this, piece, cap](std::size_t offset, httplib::DataSink& sink) {
                                     if (offset >= cap || !Wait(std::chrono::milliseconds(0))) {
                                         sink.done();
                                         return true;
                                     }
                                     if (!sink.write(piece.data(), piece.size())) {
                                         return false;  // the client went away
                                     }
                                     std::lock_guard lock(mutex_);
                                     endlessBytes_ += piece.size();
                                     return true;
                                 });
        return;
    }
    if (answer.fault == CannedAnswer::Fault::TruncatedBody) {
        const std::string sent = answer.body.substr(0, answer.sentBytes);
        // Returning false after the partial write makes the library close the connection.
        res.set_content_provider(answer.body.size(), answer.contentType,
                                 [sent](std::size_t, std::size_t, httplib::DataSink& sink) {
                                     if (!sent.empty()) {
                                         sink.write(sent.data(), sent.size());
                                     }
                                     return false;
                                 });
        return;
    }
    if (answer.trickleInterval.count() > 0) {
        const std::size_t piece = std::max<std::size_t>(1, answer.trickleBytes);
        res.set_content_provider(
            answer.body.size(), answer.contentType,
            [this, body = answer.body, piece, pause = answer.trickleInterval](
                std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                if (offset > 0 && !Wait(pause)) {
                    return false;
                }
                const std::size_t n = std::min(piece, length);
                sink.write(body.data() + offset, n);
                return true;
            });
        return;
    }
    res.set_content(answer.body, answer.contentType);
}

std::vector<RecordedRequest> LoopbackServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int LoopbackServer::RequestCount(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto it = counts_.find(path);
    return it == counts_.end() ? 0 : it->second;
}

std::size_t LoopbackServer::ConnectionCount() const {
    std::lock_guard lock(mutex_);
    return ports_.size();
}

std::size_t LoopbackServer::EndlessBytesSent() const {
    std::lock_guard lock(mutex_);
    return endlessBytes_;
}

void LoopbackServer::ClearRequests() {
    std::lock_guard lock(mutex_);
    requests_.clear();
    counts_.clear();
    ports_.clear();
}

}  // namespace testsupport
