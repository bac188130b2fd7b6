#pragma once
// A loopback server that stands in for every web service, an answer-cache folder and a log
// folder, for the tests of the web lookups and the place search.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace lookuptest {

class LookupTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The server path of a service address: "https://host/path?query" -> "/host/path".
    static std::string ServerPath(const std::string& url);
    // The request target that reaching `url` sends: "/host/path?query".
    static std::string ServerTarget(const std::string& url);

    void Answer(const std::string& url, int status, const std::string& body);
    int Asked(const std::string& url) const { return server.RequestCount(ServerPath(url)); }
    // Targets of every request the server received, in order.
    std::vector<std::string> Targets() const;

    std::vector<std::string> CacheFiles() const;  // names in the cache folder
    std::string LogText() const;                  // today's log, empty when none

    testsupport::LoopbackServer server;
    testsupport::TempDir temp;
    std::filesystem::path cacheDir;
};

testsupport::CannedAnswer JsonAnswer(int status, const std::string& body);

}  // namespace lookuptest
