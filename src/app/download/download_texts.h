#pragma once
// The texts of the download control: the tile-count label, the cap message, the status
// panels, the summary and the power-off caption. Numbers are written with plain digits.
#include <QString>
#include <cstdint>

#include "engine/core/core_types.h"

namespace app {

// SetTileCountText's text for the highest level's rectangle, the total shown, the tile size
// and the print resolution (dpi; 0 or less counts as 300).
QString TileCountText(std::int64_t cols, std::int64_t rows, std::int64_t total, int tileSize,
                      int dpi);

// Shown when a task counts more tiles than one task fetches.
QString CapMessage(std::int64_t count, std::int64_t cap);

// Status panel 0: "下载中", "暂停", "完毕".
QString StatusPanelText(engine::TDownloadStatus status);
// Status panel 1: elapsed|(succeeded+failed)/total|size|speed/s,tiles/s.
QString ProgressPanelText(std::int64_t elapsedMs, std::int64_t succeed, std::int64_t failed,
                          std::int64_t total, std::int64_t fileSize, std::int32_t speed1,
                          std::int32_t speed2);

// The question at the end of a task. Tiles never tried (a task that ended idle) count as
// still to download with the failed ones, so such a task never reads as complete.
QString SummaryText(const engine::TDownloadInfo& figures);

QString PowerOffCaption();          // "自动关机"
QString NoAreaMessage();            // "您未选择要下载的区域。"
QString NoZoomLevelMessage();       // "您未选择地图级别。"
QString PauseQuestion();            // "您要暂停下载？"
QString StopQuestion();             // "您要停止下载？"
QString ProjectionFailedMessage();  // a Baidu vertex that cannot be projected

}  // namespace app
