#pragma once
// Small synthetic tile trees (one flat colour per tile), tasks over them and an event recorder
// for the stitching worker's tests.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <mutex>
#include <numbers>
#include <string>
#include <vector>

#include "engine/core/catalogue.h"
#include "engine/core/number_format.h"
#include "engine/download/tile_path.h"
#include "engine/image/image_codec.h"
#include "engine/tasks/profiles.h"
#include "raster/combine/combine_tile.h"
#include "raster_test_support.h"

namespace raster::test {

// Half the width of the Web Mercator world, in metres.
inline constexpr double kHalfWorld = 20037508.342789244;

// Distinct per tile of a small range; never black or white, so background shows.
inline Rgb ColourOf(int x, int y) {
    return {20 + (x * 47) % 200, 20 + (y * 71) % 200, 20 + ((x * 3 + y * 5) * 13) % 200};
}

inline void WriteTile(const std::filesystem::path& file, const Rgb& colour,
                      engine::ImageFormat format, int size = 256) {
    engine::RgbaImage image(size, size);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = static_cast<std::uint8_t>(colour[0]);
        image.pixels[i + 1] = static_cast<std::uint8_t>(colour[1]);
        image.pixels[i + 2] = static_cast<std::uint8_t>(colour[2]);
        image.pixels[i + 3] = 255;
    }
    std::filesystem::create_directories(file.parent_path());
    ASSERT_TRUE(engine::WriteImageFile(file, image, format, 95));
}

// Base tiles of `layer` for columns and rows of the ranges, each in its own colour.
inline void MakeTiles(const std::filesystem::path& root, engine::TMapType layer, int z, int minCol,
                      int maxCol, int minRow, int maxRow, int tileSize = 256) {
    const auto type = engine::DefaultImgType(layer);
    const auto format =
        type == engine::TImgType::itPNG ? engine::ImageFormat::Png : engine::ImageFormat::Jpeg;
    for (int y = minRow; y <= maxRow; ++y) {
        for (int x = minCol; x <= maxCol; ++x) {
            WriteTile(engine::BaseTilePath(root, layer, {x, y, static_cast<std::int8_t>(z)}, type),
                      ColourOf(x, y), format, tileSize);
        }
    }
}

// Longitude and latitude of a point given in fractional Web Mercator tile units.
inline engine::TGLatLng TileUnitsToLatLng(double x, double y, int z) {
    const double n = std::ldexp(1.0, z);
    return {std::atan(std::sinh(std::numbers::pi * (1 - 2 * y / n))) * 180 / std::numbers::pi,
            x / n * 360 - 180};
}

// "lng,lat,..." of points in tile units.
inline std::string AreaText(const std::vector<std::pair<double, double>>& tileUnits, int z) {
    std::string text;
    for (const auto& [x, y] : tileUnits) {
        const auto p = TileUnitsToLatLng(x, y, z);
        text += (text.empty() ? "" : ",") + engine::FormatFloat(p.lng) + "," +
                engine::FormatFloat(p.lat);
    }
    return text;
}

inline engine::TProfiles MakeTask(const std::filesystem::path& folder,
                                  const std::filesystem::path& tiles, engine::TMapType layer,
                                  const std::string& area) {
    engine::TProfiles task(folder / "tasks");
    task.SetName("Task");
    task.SetDirectory(tiles.string());
    task.SetMapTypeIndex(engine::Ord(layer));
    task.SetCoordinates(area);
    task.SetTileSize(256);
    return task;
}

inline engine::TZoomLevelArray Levels(std::initializer_list<int> zooms) {
    engine::TZoomLevelArray levels{};
    for (int z : zooms) {
        levels[z].Checked = true;
    }
    return levels;
}

// Every event as one text line, in order.
class RecordingEvents : public ICombineEvents {
  public:
    // The worker is asked to stop at the first event that starts with this text, as the
    // dialog would do from its thread.
    std::string cancelOn;
    TCombineTile* worker = nullptr;

    void Begin(std::int64_t count, const std::filesystem::path& log) override {
        Add("begin " + engine::FormatInt(count) + (log.empty() ? "" : " log"));
    }
    void Progress(std::int64_t counter, bool cancelled) override {
        Add((cancelled ? "cancelled " : "progress ") + engine::FormatInt(counter));
    }
    void ConvertBegin(const std::filesystem::path&) override { Add("convert"); }
    void ConvertCompleted(const std::filesystem::path& log, const std::filesystem::path& output,
                          CombineResult result) override {
        std::lock_guard lock(mutex_);
        endLog = log;
        endOutput = output;
        endResult = result;
        ++ends;
        lines_.push_back(result == CombineResult::Completed   ? "end ok"
                         : result == CombineResult::Cancelled ? "end cancelled"
                                                              : "end failed");
    }
    void ShowInfo(const std::string& message) override { Add("info " + message); }

    std::vector<std::string> Lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }

    std::filesystem::path endLog, endOutput;
    CombineResult endResult = CombineResult::Failed;
    int ends = 0;

  private:
    void Add(const std::string& line) {
        {
            std::lock_guard lock(mutex_);
            lines_.push_back(line);
        }
        if (!cancelOn.empty() && worker != nullptr && line.rfind(cancelOn, 0) == 0) {
            worker->Cancel();
        }
    }
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

// Runs one worker on its thread to the end.
inline void RunWorker(const engine::TProfiles& task, const std::filesystem::path& out,
                      TImageCombineType kind, const engine::TZoomLevelArray& levels,
                      RecordingEvents& events, CombineSettings settings = {},
                      const engine::TTileBounds& bounds = {}) {
    static constexpr engine::TImgType kTypes[] = {engine::TImgType::itBMP, engine::TImgType::itJPG,
                                                  engine::TImgType::itPNG,
                                                  engine::TImgType::itTIFF};
    const int k = static_cast<int>(kind);
    TCombineTile worker(task, out, "Task", k < 4 ? kTypes[k] : engine::TImgType::itTIFF, events);
    worker.SetZoomLevels(levels);
    worker.SetTileBounds(bounds);
    worker.SetImageCombineType(kind);
    worker.SetSettings(std::move(settings));
    events.worker = &worker;
    worker.Start();
    worker.WaitFor();
    events.worker = nullptr;
}

}  // namespace raster::test
