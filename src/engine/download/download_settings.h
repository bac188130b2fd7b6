#pragma once
// The download workers' view of the settings store and the logger: the per-task snapshot taken
// when a task starts, the URL settings read again for every tile, the task log, and the store
// the tile-version probe writes to.
#include <string>
#include <string_view>

#include "engine/download/download_plan.h"
#include "engine/download/tile_version_probe.h"
#include "engine/download/url_builder.h"
#include "engine/settings/settings.h"

namespace engine {

// OutPutDirectory, MapTypeIndex, FailedTryTimes, OverWriteDownload, LogFileName, DownloadDelay,
// UserAgent and the proxy, as the settings hold them now.
DownloadSettings DownloadSettingsFrom(const TSettings& settings);

// The settings the URL builder reads.
UrlSettings UrlSettingsFrom(const TSettings& settings);

// Log lines of the workers go to the logger (the task's log, or the daily log without a name).
DownloadLogSink LoggerSink();

// Stores probed tile versions through the settings setters (a default value removes the key).
class SettingsTileVersionStore : public ITileVersionStore {
  public:
    explicit SettingsTileVersionStore(TSettings& settings) : settings_(settings) {}
    void StoreTileVersion(std::string_view name, const std::string& value) override;

  private:
    TSettings& settings_;
};

}  // namespace engine
