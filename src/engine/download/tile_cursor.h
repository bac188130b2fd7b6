#pragma once
// The cursor over a task's tile rectangles: zoom by zoom upward, within a level band of columns
// by band (kColumnBand columns), within a band row by row, each row across the band; each
// address exactly once over all workers, whatever the sign of its row and column (Baidu numbers
// are negative west of 0 and south of the equator). The object is its own lock; a step is a
// handful of integer operations under it.
#include <array>
#include <cstdint>
#include <mutex>

#include "engine/core/core_types.h"

namespace engine {

class TileCursor {
  public:
    // Copies the rectangles (not the vertex lists) and starts before the first address.
    explicit TileCursor(const TTileBounds& bounds, std::int64_t maxTiles = -1);

    // Gives the next address; false once the cursor has passed zoom 21 (or the cap).
    bool GetNextTile(TTile& tile);

    // Back to the first address of the lowest checked level.
    void Reset();

    // The next address to be given; Z() is above 21 once every address was given.
    std::int32_t X() const;
    std::int32_t Y() const;
    std::int8_t Z() const;

    // How many neighbouring columns are walked together: enough that workers taking
    // consecutive addresses seldom write into one column folder at once.
    static constexpr std::int64_t kColumnBand = 32;

  private:
    // Moves to the first address of level FZ or of the next level that has one. The cursor
    // always stands on the next address, so no column or row value has to mean "not begun".
    void SeekLevelLocked();

    struct Range {
        bool Checked = false;
        std::int32_t MinRow = 0;
        std::int32_t MaxRow = 0;
        std::int32_t MinCol = 0;
        std::int32_t MaxCol = 0;
    };

    mutable std::mutex mutex_;
    std::array<Range, kZoomLevelCount> ranges_;
    // 64 bits so that a rectangle reaching the end of the 32-bit range cannot overflow a step.
    std::int64_t FX = 0;
    std::int64_t FY = 0;
    std::int32_t FZ = 0;
    std::int64_t left_;  // addresses still allowed; negative: no cap
};

}  // namespace engine
