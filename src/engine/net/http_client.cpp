#include "engine/net/http_client.h"

#include <curl/curl.h>
#include <poll.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/text_helpers.h"
#include "engine/net/user_agents.h"

namespace engine {
namespace {

// How often a transfer wakes up to ask the abort check while nothing arrives.
constexpr int kPollMilliseconds = 50;

void GlobalInitOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;

// What one transfer collects through the callbacks.
struct Transfer {
    std::string body;
    std::string location;
    const std::function<bool()>* abortCheck = nullptr;
    bool aborted = false;
    std::size_t maxBody = 0;
    bool tooLarge = false;

    bool ShouldAbort() {
        if (!aborted && abortCheck != nullptr && *abortCheck && (*abortCheck)()) {
            aborted = true;
        }
        return aborted;
    }
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    if (size * count > transfer->maxBody - transfer->body.size()) {
        // Taking fewer bytes than offered ends the transfer with a write error.
        transfer->tooLarge = true;
        return 0;
    }
    // A body past its first mebibyte takes room for the whole limit at once: it then grows
    // without copies, and its pages go back to the system with it, so a run of large answers
    // cannot leave the heap holding several limits' worth of freed copies.
    constexpr std::size_t kLargeBodyBytes = std::size_t{1} << 20;
    const std::size_t needed = transfer->body.size() + size * count;
    if (needed > transfer->body.capacity() && needed > kLargeBodyBytes) {
        transfer->body.reserve(transfer->maxBody);
    }
    transfer->body.append(data, size * count);
    return size * count;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const std::string_view line(data, size * count);
    if (StartsWithNoCase(line, "HTTP/")) {
        // A new answer starts (after an interim 100 Continue): forget the earlier one's headers.
        transfer->location.clear();
    } else if (StartsWithNoCase(line, "location:")) {
        transfer->location = std::string(TrimWhite(line.substr(9)));
    }
    return size * count;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(user)->ShouldAbort() ? 1 : 0;
}

// The sockets and the timer libcurl asks to be woken for. Waiting on them ourselves, and
// telling libcurl which socket became ready, spares its own readiness checks (one poll each
// time it is driven) on every request.
struct SocketWatch {
    using Clock = std::chrono::steady_clock;
    std::vector<pollfd> sockets;
    std::optional<Clock::time_point> due;  // when libcurl wants its timeouts run

    void Watch(curl_socket_t socket, int what) {
        auto found = std::find_if(sockets.begin(), sockets.end(),
                                  [socket](const pollfd& entry) { return entry.fd == socket; });
        if (what == CURL_POLL_REMOVE) {
            if (found != sockets.end()) {
                sockets.erase(found);
            }
            return;
        }
        const short events = static_cast<short>(((what & CURL_POLL_IN) != 0 ? POLLIN : 0) |
                                                ((what & CURL_POLL_OUT) != 0 ? POLLOUT : 0));
        if (found == sockets.end()) {
            sockets.push_back(pollfd{socket, events, 0});
        } else {
            found->events = events;
        }
    }
};

int OnSocket(CURL*, curl_socket_t socket, int what, void* user, void*) {
    static_cast<SocketWatch*>(user)->Watch(socket, what);
    return 0;
}

int OnTimer(CURLM*, long timeoutMs, void* user) {
    auto* watch = static_cast<SocketWatch*>(user);
    if (timeoutMs < 0) {
        watch->due.reset();
    } else {
        watch->due = SocketWatch::Clock::now() + std::chrono::milliseconds(timeoutMs);
    }
    return 0;
}

int ReadyBits(short revents) {
    int bits = 0;
    if ((revents & (POLLIN | POLLPRI | POLLHUP)) != 0) {
        bits |= CURL_CSELECT_IN;
    }
    if ((revents & POLLOUT) != 0) {
        bits |= CURL_CSELECT_OUT;
    }
    if ((revents & (POLLERR | POLLNVAL)) != 0) {
        bits |= CURL_CSELECT_ERR;
    }
    return bits;
}

}  // namespace

HttpClientConfig WorkerClientConfig(const std::string& userAgent, const ProxyConfig& proxy) {
    HttpClientConfig config;
    config.http11 = true;
    config.userAgent = userAgent;
    config.proxy = proxy;
    config.keepAlive = true;
    return config;
}

HttpClientConfig LookupClientConfig() {
    HttpClientConfig config;
    config.http11 = false;
    config.userAgent = kLookupUserAgent;
    config.timeout = std::chrono::milliseconds(90000);
    config.keepAlive = false;
    config.maxBodyBytes = kMaxLookupAnswerBytes;
    return config;
}

std::string RoutedUrl(const std::string& url) {
    const char* route = std::getenv("VANTOREL_ROUTE");
    if (route == nullptr || *route == '\0') {
        return url;
    }
    std::string base = route;
    while (!base.empty() && base.back() == '/') {
        base.pop_back();
    }
    // Already pointing at the local server: leave it.
    if (url.compare(0, base.size(), base) == 0 &&
        (url.size() == base.size() || url[base.size()] == '/' || url[base.size()] == '?')) {
        return url;
    }
    const std::size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string::npos) {
        return url;
    }
    const std::string_view scheme(url.data(), schemeEnd);
    if (!StartsWithNoCase(scheme, "http") ||
        (scheme.size() != 4 && !(scheme.size() == 5 && (scheme[4] == 's' || scheme[4] == 'S')))) {
        return url;
    }
    const std::string rest = url.substr(schemeEnd + 3);
    const std::size_t authorityEnd = rest.find_first_of("/?#");
    std::string authority = rest.substr(0, authorityEnd);
    if (const std::size_t at = authority.rfind('@'); at != std::string::npos) {
        authority.erase(0, at + 1);
    }
    std::string remainder = authorityEnd == std::string::npos ? "" : rest.substr(authorityEnd);
    if (remainder.empty() || remainder.front() != '/') {
        remainder.insert(0, "/");
    }
    return base + "/" + authority + remainder;
}

struct HttpClient::Impl {
    HttpClientConfig config;
    SocketWatch watch;  // outlives the multi handle, which reports to it until cleaned up
    MultiHandle multi;
    EasyHandle kept;  // reused between requests when keeping connections alive
    std::function<bool()> abortCheck;

    void Configure(CURL* easy, const std::string& url, Transfer& transfer, char* errorBuffer);
    HttpResponse Run(CURL* easy, Transfer& transfer, const char* errorBuffer);
};

void HttpClient::Impl::Configure(CURL* easy, const std::string& url, Transfer& transfer,
                                 char* errorBuffer) {
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    // Addresses can come from web answers: never let one read a local file or the like.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                     config.http11 ? CURL_HTTP_VERSION_1_1 : CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(easy, CURLOPT_USERAGENT,
                     config.userAgent.empty() ? nullptr : config.userAgent.c_str());
    // An empty proxy text also keeps libcurl from taking one from the environment.
    if (!config.proxy.host.empty()) {
        curl_easy_setopt(easy, CURLOPT_PROXY, config.proxy.host.c_str());
        const long port = std::strtol(config.proxy.port.c_str(), nullptr, 10);
        curl_easy_setopt(easy, CURLOPT_PROXYPORT, port > 0 && port < 65536 ? port : 0L);
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME,
                         config.proxy.user.empty() ? nullptr : config.proxy.user.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD,
                         config.proxy.pass.empty() ? nullptr : config.proxy.pass.c_str());
    } else {
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
    }
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, config.keepAlive ? 0L : 1L);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(config.timeout.count()));
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(config.connectTimeout.count()));
    // An announced length above the limit is refused before any byte of the body is read.
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(transfer.maxBody));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
}

HttpResponse HttpClient::Impl::Run(CURL* easy, Transfer& transfer, const char* errorBuffer) {
    HttpResponse response;
    CURLcode result = CURLE_OK;
    bool done = false;
    if (curl_multi_add_handle(multi.get(), easy) != CURLM_OK) {
        response.error = "cannot start the transfer";
        return response;
    }
    // Driving the transfer through the multi interface lets it wake up every poll interval,
    // so an abort is noticed quickly even while the server is silent.
    CURLM* const handle = multi.get();
    int running = 1;
    bool failed = curl_multi_socket_action(handle, CURL_SOCKET_TIMEOUT, 0, &running) != CURLM_OK;
    std::vector<pollfd> ready;
    while (!failed) {
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(handle, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                result = message->data.result;
                done = true;
            }
        }
        if (done || running == 0 || transfer.ShouldAbort()) {
            break;
        }
        const auto now = SocketWatch::Clock::now();
        if (watch.due && *watch.due <= now) {
            watch.due.reset();
            failed = curl_multi_socket_action(handle, CURL_SOCKET_TIMEOUT, 0, &running) != CURLM_OK;
            continue;
        }
        int waitMs = kPollMilliseconds;
        if (watch.due) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(*watch.due - now).count();
            waitMs = static_cast<int>(std::min<long long>(waitMs, left));
        }
        // The callbacks below may change the watched set: wait on a copy.
        ready = watch.sockets;
        const int count = ::poll(ready.data(), ready.size(), waitMs);
        if (count < 0 && errno != EINTR) {
            failed = true;
        }
        for (const pollfd& entry : ready) {
            const int bits = count > 0 ? ReadyBits(entry.revents) : 0;
            if (bits != 0 && !failed) {
                failed = curl_multi_socket_action(handle, entry.fd, bits, &running) != CURLM_OK;
            }
        }
    }
    if (failed) {
        result = CURLE_FAILED_INIT;
    }
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    char* contentType = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK &&
        contentType != nullptr) {
        response.contentType = contentType;
    }
    curl_multi_remove_handle(multi.get(), easy);

    response.status = static_cast<int>(status);
    response.location = std::move(transfer.location);
    if (transfer.aborted || result == CURLE_ABORTED_BY_CALLBACK) {
        response.aborted = true;
        response.error = "transfer aborted";
        return response;
    }
    if (!done) {
        response.error = "transfer did not complete";
        return response;
    }
    if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        response.tooLarge = true;
        response.error = "the answer is larger than " + std::to_string(transfer.maxBody) + " bytes";
        return response;
    }
    if (result != CURLE_OK) {
        // Headers came but the body did not end as announced (cut off, reset, timed out).
        response.truncated = status > 0;
        response.error = errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(result);
        return response;
    }
    response.transferred = status > 0;
    if (response.transferred) {
        response.body = std::move(transfer.body);
    } else {
        response.error = "no HTTP answer";
    }
    return response;
}

HttpClient::HttpClient(HttpClientConfig config) : impl_(std::make_unique<Impl>()) {
    GlobalInitOnce();
    impl_->config = std::move(config);
    impl_->multi.reset(curl_multi_init());
    if (impl_->multi) {
        curl_multi_setopt(impl_->multi.get(), CURLMOPT_SOCKETFUNCTION, OnSocket);
        curl_multi_setopt(impl_->multi.get(), CURLMOPT_SOCKETDATA, &impl_->watch);
        curl_multi_setopt(impl_->multi.get(), CURLMOPT_TIMERFUNCTION, OnTimer);
        curl_multi_setopt(impl_->multi.get(), CURLMOPT_TIMERDATA, &impl_->watch);
    }
}

HttpClient::~HttpClient() {
    // The easy handle goes before the multi handle that held its connection.
    impl_->kept.reset();
}

void HttpClient::SetAbortCheck(std::function<bool()> shouldAbort) {
    impl_->abortCheck = std::move(shouldAbort);
}

HttpResponse HttpClient::Get(const std::string& url) {
    Transfer transfer;
    transfer.abortCheck = &impl_->abortCheck;
    transfer.maxBody = impl_->config.maxBodyBytes;
    if (transfer.ShouldAbort()) {
        HttpResponse response;
        response.aborted = true;
        response.error = "transfer aborted";
        return response;
    }
    if (!impl_->multi) {
        HttpResponse response;
        response.error = "HTTP library not available";
        return response;
    }
    EasyHandle fresh;
    CURL* easy = nullptr;
    if (impl_->config.keepAlive) {
        if (!impl_->kept) {
            impl_->kept.reset(curl_easy_init());
        }
        easy = impl_->kept.get();
    } else {
        fresh.reset(curl_easy_init());
        easy = fresh.get();
    }
    if (easy == nullptr) {
        HttpResponse response;
        response.error = "HTTP library not available";
        return response;
    }
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const std::string target = RoutedUrl(url);
    impl_->Configure(easy, target, transfer, errorBuffer);
    HttpResponse response = impl_->Run(easy, transfer, errorBuffer);
    // The handle keeps pointers to this call's buffers; clear them before they go.
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);
    return response;
}

HttpResponse HttpGetForLookup(const std::string& url) {
    HttpClient client(LookupClientConfig());
    return client.Get(url);
}

}  // namespace engine
