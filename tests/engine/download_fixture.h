#pragma once
// A download task against the loopback tile server: a temporary output folder, the requests
// routed to the server, the reports and log lines collected.
#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/core_types.h"
#include "engine/download/download_plan.h"
#include "engine/download/download_pool.h"
#include "support/temp_dir.h"
#include "support/tile_server.h"

namespace downloadtest {

struct Report {
    bool succeed = false;
    std::int32_t size = 0;
    std::int32_t code = 0;
    friend bool operator==(const Report&, const Report&) = default;
};

// One rectangle at one zoom level.
inline engine::TTileBounds OneLevel(int z, int minCol, int maxCol, int minRow, int maxRow) {
    engine::TTileBounds bounds;
    bounds[z].Checked = true;
    bounds[z].zoom = z;
    bounds[z].MinCol = minCol;
    bounds[z].MaxCol = maxCol;
    bounds[z].MinRow = minRow;
    bounds[z].MaxRow = maxRow;
    return bounds;
}

class DownloadFixture {
  public:
    explicit DownloadFixture(testsupport::TileServer::Rule rule = {})
        : server(std::move(rule)),
          route(server),
          pool([this](const std::string& message, const std::string&) {
              std::lock_guard lock(mutex_);
              logLines_.push_back(message);
          }) {}

    // A plan for `layer` over `bounds`, quick retries (no delay, 3 tries).
    engine::DownloadPlan Plan(engine::TMapType layer, const engine::TTileBounds& bounds) const {
        engine::DownloadPlan plan;
        plan.Bounds = bounds;
        plan.Settings.OutPutDirectory = out.path();
        plan.Settings.MapTypeIndex = engine::Ord(layer);
        plan.Settings.FailedTryTimes = 3;
        plan.Settings.DownloadDelay = 0;
        plan.Settings.LogFileName = (out.path() / "task.log").string();
        return plan;
    }

    void Start(engine::DownloadPlan plan, int threads,
               std::shared_ptr<engine::UrlSettingsFeed> urls = nullptr) {
        pool.StartTask(
            std::move(plan), threads,
            [this](bool succeed, std::int32_t size, std::int32_t code) {
                std::lock_guard lock(mutex_);
                reports_.push_back({succeed, size, code});
            },
            std::move(urls));
    }

    // Starts and waits until every worker has passed the last address.
    ::testing::AssertionResult Run(engine::DownloadPlan plan, int threads = 1,
                                   std::shared_ptr<engine::UrlSettingsFeed> urls = nullptr) {
        Start(std::move(plan), threads, std::move(urls));
        if (!pool.WaitUntilFinished(std::chrono::seconds(20))) {
            return ::testing::AssertionFailure() << "the task did not finish within 20 s";
        }
        return ::testing::AssertionSuccess();
    }

    std::vector<Report> Reports() const {
        std::lock_guard lock(mutex_);
        return reports_;
    }
    std::vector<std::string> LogLines() const {
        std::lock_guard lock(mutex_);
        return logLines_;
    }

    testsupport::TempDir out;
    testsupport::TileServer server;
    testsupport::ScopedRoute route;
    engine::TileDownloadPool pool;

  private:
    mutable std::mutex mutex_;
    std::vector<Report> reports_;
    std::vector<std::string> logLines_;
};

}  // namespace downloadtest
