// The start-up tile-version update stores what its thread found on the owner's thread and
// then tells the owner; once the update object has gone, a late result changes nothing.
#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <chrono>
#include <future>
#include <memory>

#include <gtest/gtest.h>

#include "app/download/tile_version_update.h"
#include "download_harness.h"

namespace downloadui {
namespace {

using namespace std::chrono_literals;

struct Probe {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    app::TileVersionUpdate::Fetch Fetch() {
        return [released = released] {
            released.wait_for(20s);
            engine::TileVersions versions;
            versions.RoadMapTileVer = "987654321";
            return versions;
        };
    }
};

TEST(TileVersionUpdate, StoresOnTheOwnersThreadThenTellsIt) {
    testsupport::TempDir dir;
    engine::TSettings settings(PathsIn(dir));
    QObject owner;
    Probe probe;
    int told = 0;
    bool onOwnersThread = false;
    app::TileVersionUpdate update(
        owner, settings,
        [&] {
            ++told;
            onOwnersThread = QThread::currentThread() == owner.thread();
        },
        probe.Fetch());
    update.Start();
    probe.release.set_value();
    ASSERT_TRUE(WaitUntil([&] { return told > 0; }));
    EXPECT_EQ(told, 1);
    EXPECT_TRUE(onOwnersThread);
    EXPECT_EQ(settings.GetStrSetting(engine::StrSetting::RoadMapTileVer), "987654321");
}

TEST(TileVersionUpdate, AResultAfterTheUpdateHasGoneIsDropped) {
    testsupport::TempDir dir;
    engine::TSettings settings(PathsIn(dir));
    const std::string before = settings.GetStrSetting(engine::StrSetting::RoadMapTileVer);
    QObject owner;
    Probe probe;
    int told = 0;
    {
        app::TileVersionUpdate update(
            owner, settings, [&] { ++told; }, probe.Fetch());
        update.Start();
    }
    probe.release.set_value();
    Spin(300ms);
    EXPECT_EQ(told, 0);
    EXPECT_EQ(settings.GetStrSetting(engine::StrSetting::RoadMapTileVer), before);
}

}  // namespace
}  // namespace downloadui
