#include "lookup_test_support.h"

#include <algorithm>
#include <cstdlib>

#include "engine/log/logger.h"

namespace lookuptest {

void LookupTest::SetUp() {
    setenv("VANTOREL_ROUTE", server.BaseUrl().c_str(), 1);
    cacheDir = temp / "Vantorel" / "Cache";
    engine::SetLogFolder(temp / "log");
}

void LookupTest::TearDown() {
    unsetenv("VANTOREL_ROUTE");
}

std::string LookupTest::ServerTarget(const std::string& url) {
    const std::size_t scheme = url.find("://");
    return "/" + url.substr(scheme + 3);
}

std::string LookupTest::ServerPath(const std::string& url) {
    const std::string target = ServerTarget(url);
    return target.substr(0, target.find('?'));
}

void LookupTest::Answer(const std::string& url, int status, const std::string& body) {
    server.SetAnswer(ServerPath(url), JsonAnswer(status, body));
}

std::vector<std::string> LookupTest::Targets() const {
    std::vector<std::string> targets;
    for (const testsupport::RecordedRequest& request : server.Requests()) {
        targets.push_back(request.target);
    }
    return targets;
}

std::vector<std::string> LookupTest::CacheFiles() const {
    std::vector<std::string> names;
    std::error_code ec;
    if (!std::filesystem::is_directory(cacheDir, ec)) {
        return names;
    }
    for (const auto& entry : std::filesystem::directory_iterator(cacheDir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string LookupTest::LogText() const {
    return testsupport::ReadFileBytes(engine::DefaultLogFileName());
}

testsupport::CannedAnswer JsonAnswer(int status, const std::string& body) {
    testsupport::CannedAnswer answer;
    answer.status = status;
    answer.body = body;
    answer.contentType = "application/json";
    return answer;
}

}  // namespace lookuptest
