#include "engine/download/tile_cursor.h"

#include <algorithm>

namespace engine {

TileCursor::TileCursor(const TTileBounds& bounds, std::int64_t maxTiles) : left_(maxTiles) {
    for (int z = 0; z < kZoomLevelCount; ++z) {
        ranges_[z] = Range{bounds[z].Checked, bounds[z].MinRow, bounds[z].MaxRow, bounds[z].MinCol,
                           bounds[z].MaxCol};
    }
    SeekLevelLocked();
}

void TileCursor::SeekLevelLocked() {
    for (; FZ < kZoomLevelCount; ++FZ) {
        const Range& range = ranges_[FZ];
        if (range.Checked && range.MinCol <= range.MaxCol && range.MinRow <= range.MaxRow) {
            FX = range.MinCol;
            FY = range.MinRow;
            return;
        }
    }
}

bool TileCursor::GetNextTile(TTile& tile) {
    std::lock_guard lock(mutex_);
    if (FZ >= kZoomLevelCount || left_ == 0) {
        return false;
    }
    tile = TTile{static_cast<std::int32_t>(FX), static_cast<std::int32_t>(FY),
                 static_cast<std::int8_t>(FZ)};
    if (left_ > 0) {
        --left_;
    }
    // The columns of a level are walked in bands: within a band row by row, each row across
    // the band. Workers taking consecutive addresses then write into different column folders,
    // where one folder would make them queue for its lock.
    const Range& range = ranges_[FZ];
    const std::int64_t bandStart = range.MinCol + (FX - range.MinCol) / kColumnBand * kColumnBand;
    const std::int64_t bandEnd = std::min<std::int64_t>(bandStart + kColumnBand - 1, range.MaxCol);
    if (FX < bandEnd) {
        ++FX;
    } else if (FY < range.MaxRow) {
        FX = bandStart;
        ++FY;
    } else if (bandEnd < range.MaxCol) {
        FX = bandEnd + 1;
        FY = range.MinRow;
    } else {
        ++FZ;
        SeekLevelLocked();
    }
    return true;
}

void TileCursor::Reset() {
    std::lock_guard lock(mutex_);
    FZ = 0;
    SeekLevelLocked();
}

std::int32_t TileCursor::X() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::int32_t>(FX);
}

std::int32_t TileCursor::Y() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::int32_t>(FY);
}

std::int8_t TileCursor::Z() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::int8_t>(FZ);
}

}  // namespace engine
