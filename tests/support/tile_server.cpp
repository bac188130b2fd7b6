#include "support/tile_server.h"

#include <cstdlib>

#include <httplib.h>

namespace testsupport {
namespace tileanswers {

const std::string& SmallPng() {
    static const std::string bytes(
        "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00"
        "\x00\x01\x08\x02\x00\x00\x00\x90\x77\x53\xde\x00\x00\x00\x0c\x49\x44\x41\x54\x78\xda\x63"
        "\x50\x68\x38\x00\x00\x02\x24\x01\x61\xe3\xe9\x49\x3c\x00\x00\x00\x00\x49\x45\x4e\x44\xae"
        "\x42\x60\x82",
        69);
    return bytes;
}

const std::string& JpegBody() {
    static const std::string bytes = [] {
        std::string body("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00",
                         20);
        body.append(200, '\x55');
        body.append("\xFF\xD9", 2);
        return body;
    }();
    return bytes;
}

const std::string& HtmlPage() {
    static const std::string page =
        "<!DOCTYPE html><html><head><title>Not Found</title></head>"
        "<body><h1>Not Found</h1><p>The requested tile was not found.</p></body></html>";
    return page;
}

CannedAnswer Png(int status) {
    CannedAnswer answer;
    answer.status = status;
    answer.body = SmallPng();
    answer.contentType = "image/png";
    return answer;
}

CannedAnswer Jpeg(int status) {
    CannedAnswer answer;
    answer.status = status;
    answer.body = JpegBody();
    answer.contentType = "image/jpeg";
    return answer;
}

CannedAnswer Html(int status) {
    CannedAnswer answer;
    answer.status = status;
    answer.body = HtmlPage();
    answer.contentType = "text/html";
    return answer;
}

CannedAnswer ServerError() {
    CannedAnswer answer;
    answer.status = 500;
    answer.body = "Internal Server Error";
    answer.contentType = "text/plain";
    return answer;
}

CannedAnswer Redirect(const std::string& location) {
    CannedAnswer answer = Html(302);
    answer.headers.emplace_back("Location", location);
    return answer;
}

CannedAnswer Slow(CannedAnswer answer, std::chrono::milliseconds delay) {
    answer.delay = delay;
    return answer;
}

CannedAnswer CutMidBody(CannedAnswer answer, std::size_t bytes) {
    answer.fault = CannedAnswer::Fault::TruncatedBody;
    answer.sentBytes = bytes;
    return answer;
}

CannedAnswer StallMidBody(CannedAnswer answer, std::size_t bytes, std::chrono::milliseconds stall) {
    answer.fault = CannedAnswer::Fault::StallBody;
    answer.sentBytes = bytes;
    answer.stall = stall;
    return answer;
}

}  // namespace tileanswers

TileServer::TileServer(Rule rule) : rule_(std::move(rule)) {
    server_.SetHandler("/", [this](const httplib::Request& req, httplib::Response& res) {
        TileRequest request;
        const std::string& target = req.target;
        const std::size_t hostEnd = target.find('/', 1);
        request.host =
            target.substr(1, hostEnd == std::string::npos ? std::string::npos : hostEnd - 1);
        request.target = hostEnd == std::string::npos ? "/" : target.substr(hostEnd);
        Rule rule;
        {
            std::lock_guard lock(mutex_);
            targets_.push_back(request.target);
            counts_[request.target] += 1;
            rule = rule_;
        }
        server_.Serve(rule ? rule(request) : tileanswers::Png(), req, res);
    });
}

TileServer::~TileServer() {
    server_.Stop();
}

void TileServer::SetRule(Rule rule) {
    std::lock_guard lock(mutex_);
    rule_ = std::move(rule);
}

int TileServer::Count(const std::string& target) const {
    std::lock_guard lock(mutex_);
    const auto it = counts_.find(target);
    return it == counts_.end() ? 0 : it->second;
}

int TileServer::Total() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(targets_.size());
}

std::vector<std::string> TileServer::Targets() const {
    std::lock_guard lock(mutex_);
    return targets_;
}

std::map<std::string, int> TileServer::Counts() const {
    std::lock_guard lock(mutex_);
    return counts_;
}

void TileServer::ClearCounts() {
    std::lock_guard lock(mutex_);
    targets_.clear();
    counts_.clear();
}

ScopedRoute::ScopedRoute(const TileServer& server) {
    ::setenv("VANTOREL_ROUTE", server.BaseUrl().c_str(), 1);
}

ScopedRoute::~ScopedRoute() {
    ::unsetenv("VANTOREL_ROUTE");
}

}  // namespace testsupport
