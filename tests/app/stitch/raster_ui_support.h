#pragma once
// Settings in a temporary folder, task files over small synthetic tile trees, and waiting for
// a stitch or a clip to end, for the raster dialogs' tests.
#include <QCoreApplication>
#include <QString>
#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>

#include "engine/settings/settings.h"
#include "raster/combine_test_support.h"
#include "support/settings_paths_in.h"
#include "support/temp_dir.h"

namespace testrasterui {

inline engine::SettingsPaths PathsIn(const std::filesystem::path& dir) {
    return testsupport::SettingsPathsIn(dir);
}

inline QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// Columns 10 to 12 and rows 20 to 21 at level 6, as a rectangle.
inline constexpr int kZ = 6;
inline std::string RectangleArea() {
    return raster::test::AreaText({{10.2, 20.3}, {12.8, 21.7}}, kZ);
}
// The same tiles under a triangle that leaves tile (12, 21) out.
inline std::string TriangleArea() {
    return raster::test::AreaText({{10.2, 20.3}, {12.8, 20.3}, {10.2, 21.7}}, kZ);
}

// A saved task "Task" over a tile tree of the road map at level 6 (and `levels`), returning
// the task file.
inline std::filesystem::path MakeTaskFile(const std::filesystem::path& dir, const std::string& area,
                                          std::initializer_list<int> levels = {kZ},
                                          const std::string& fileName = "Task.zeb") {
    const auto tiles = dir / "tiles";
    raster::test::MakeTiles(tiles, engine::TMapType::mtGoogleRoadMap, kZ, 10, 12, 20, 21);
    auto task = raster::test::MakeTask(dir, tiles, engine::TMapType::mtGoogleRoadMap, area);
    task.SetZoomLevels(raster::test::Levels(levels));
    const auto file = dir / "tasks" / fileName;
    task.SetFileName(file);
    task.Save();
    return file;
}

// A task of 16 by 16 tiles at level 8, big enough that a stitch is still running when a test
// cancels it right after the start.
inline std::filesystem::path MakeLargeTaskFile(const std::filesystem::path& dir) {
    const auto tiles = dir / "tiles";
    raster::test::MakeTiles(tiles, engine::TMapType::mtGoogleRoadMap, 8, 40, 55, 80, 95);
    auto task = raster::test::MakeTask(dir, tiles, engine::TMapType::mtGoogleRoadMap,
                                       raster::test::AreaText({{40.2, 80.3}, {55.8, 95.7}}, 8));
    task.SetZoomLevels(raster::test::Levels({8}));
    const auto file = dir / "tasks" / "Large.zeb";
    task.SetFileName(file);
    task.Save();
    return file;
}

// Runs the event loop until `done` holds; false after a minute without it.
inline bool WaitFor(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 60000);
}

}  // namespace testrasterui
