#include "engine/download/tile_cursor.h"

#include <algorithm>

namespace engine {

TileCursor::TileCursor(const TTileBounds& bounds, std::int64_t maxTiles) : left_(maxTiles) {
    for (int z = 0; z < kZoomLevelCount; ++z) {
        ranges_[z] = Range{bounds[z].Checked, bounds[z].MinRow, bounds[z].MaxRow, bounds[z].MinCol,
                           bounds[z].MaxCol};
    }
}

TileCursor::Step TileCursor::StepLocked(TTile& tile) {
    if (FZ > kZoomLevelCount - 1 || left_ == 0) {
        return Step::Finished;
    }
    const Range& range = ranges_[FZ];
    if (!range.Checked) {
        FX = -1;
        FY = -1;
        ++FZ;
        return Step::Nothing;
    }
    if (FX == -1) {
        FX = range.MinCol;
    }
    if (FY == -1) {
        FY = range.MinRow;
    }
    if (FX > range.MaxCol) {
        FX = -1;
        FY = -1;
        ++FZ;
        return Step::Nothing;
    }
    // The columns of a level are walked in bands: within a band row by row, each row across
    // the band. Workers taking consecutive addresses then write into different column folders,
    // where one folder would make them queue for its lock.
    const std::int64_t bandStart = range.MinCol + (FX - range.MinCol) / kColumnBand * kColumnBand;
    if (FY > range.MaxRow) {
        FX = bandStart + kColumnBand;
        FY = -1;
        return Step::Nothing;
    }
    tile = TTile{static_cast<std::int32_t>(FX), static_cast<std::int32_t>(FY),
                 static_cast<std::int8_t>(FZ)};
    if (FX < std::min<std::int64_t>(bandStart + kColumnBand - 1, range.MaxCol)) {
        ++FX;
    } else {
        FX = bandStart;
        ++FY;
    }
    if (left_ > 0) {
        --left_;
    }
    return Step::Tile;
}

bool TileCursor::GetNextTile(TTile& tile) {
    std::lock_guard lock(mutex_);
    // Steps that give nothing only move the cursor on; taking them here in one go saves the
    // workers a lock round trip each.
    for (;;) {
        switch (StepLocked(tile)) {
            case Step::Tile:
                return true;
            case Step::Finished:
                return false;
            case Step::Nothing:
                break;
        }
    }
}

void TileCursor::Reset() {
    std::lock_guard lock(mutex_);
    FX = -1;
    FY = -1;
    FZ = 0;
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
