#pragma once
// A loopback server that stands in for every web service the places and POI windows use
// (VANTOREL_ROUTE points the HTTP client at it), an answer-cache folder, and waiting on the UI
// thread for answers that arrive from worker threads.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThreadPool>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace testplaces {

class FakeWebTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The server path of a service address: "https://host/path?query" -> "/host/path".
    static std::string ServerPath(const std::string& url);
    void Answer(const std::string& url, const std::string& body, int status = 200);
    // Requests received for the path of `url`, any query.
    int Asked(const std::string& url) const { return server.RequestCount(ServerPath(url)); }

    testsupport::LoopbackServer server;
    testsupport::TempDir temp;
    std::filesystem::path cacheDir;
};

testsupport::CannedAnswer JsonBody(const std::string& body, int status = 200);

// Processes events until `done` holds or `ms` passed; returns `done()`.
bool WaitFor(const std::function<bool()>& done, int ms = 5000);
// Lets queued answers of finished workers arrive.
void Settle();

}  // namespace testplaces
