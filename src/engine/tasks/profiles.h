#pragma once
// A saved download task: one ".zeb" file per task in the task folder, holding ten key=value
// lines whose characters are scrambled (see task_text.h), UTF-8 with a byte-order mark and
// CR LF line ends. The main window keeps one TProfiles for its current task; the stitching
// dialog loads its own by path.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/core_types.h"

namespace engine {

// Tile numbering scheme recorded with a task; stored as its ordinal.
enum class TTileType : std::uint8_t { tsGoogle = 0, tsArcGIS = 1, tsTMS = 2 };

// A task file that cannot be written, read or deleted, or a task name that cannot name a file.
class TaskStoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Empty when `name` can name a task file; else the message to show. Refused: "/", "\", control
// characters, and the names "." and "..".
std::string CheckTaskName(std::string_view name);

class TProfiles {
  public:
    static constexpr const char* kDefaultName = "DefaultProfile";
    static constexpr const char* kExtension = ".zeb";

    // `profilesFolder` is the task folder; it is created with its parents when missing.
    explicit TProfiles(std::filesystem::path profilesFolder);

    // Empties Name, Directory and Coordinates and sets MapTypeIndex to 0.
    void ClearProfile();

    // The assigned file name, else the task folder, Name and ".zeb"; an empty Name first
    // becomes "DefaultProfile". Throws TaskStoreError when Name cannot name a file.
    std::filesystem::path FileName();
    void SetFileName(std::filesystem::path fileName) { fileName_ = std::move(fileName); }

    // Writes the task to FileName, replacing the file atomically; creates no folder. Throws
    // TaskStoreError when the file cannot be written.
    void Save();
    // Loads FileName, or the given path; a missing file leaves the task unchanged. Loading by
    // path keeps the assigned file name, so a later Save goes to the task folder.
    void Load();
    void Load(const std::filesystem::path& fileName);
    // Deletes the task's file and clears the task; nothing when the file does not exist.
    void Delete();
    // Names of the task files directly in the task folder, sorted.
    void GetNames(std::vector<std::string>& names) const;

    const std::filesystem::path& Path() const { return path_; }

    const std::string& Name() const { return name_; }
    void SetName(std::string value) { name_ = std::move(value); }
    const std::string& Directory() const { return directory_; }
    void SetDirectory(std::string value) { directory_ = std::move(value); }
    const std::string& Coordinates() const { return coordinates_; }
    void SetCoordinates(std::string value) { coordinates_ = std::move(value); }
    std::int32_t MapTypeIndex() const { return mapTypeIndex_; }
    void SetMapTypeIndex(std::int32_t value) { mapTypeIndex_ = value; }
    const TZoomLevelArray& ZoomLevels() const { return zoomLevels_; }
    void SetZoomLevels(const TZoomLevelArray& value) { zoomLevels_ = value; }
    const std::string& Bookmark() const { return bookmark_; }
    void SetBookmark(std::string value) { bookmark_ = std::move(value); }
    const TTileBounds& TileBounds() const { return tileBounds_; }
    void SetTileBounds(const TTileBounds& value) { tileBounds_ = value; }
    std::int32_t TileSize() const { return tileSize_; }
    void SetTileSize(std::int32_t value) { tileSize_ = value; }
    TTileType TileType() const { return tileType_; }
    void SetTileType(TTileType value) { tileType_ = value; }
    bool NoLabel() const { return noLabel_; }
    void SetNoLabel(bool value) { noLabel_ = value; }
    std::int32_t TiandituIndex() const { return tiandituIndex_; }
    void SetTiandituIndex(std::int32_t value) { tiandituIndex_ = value; }

    // Zoom text: the selected levels ascending, joined by "," ("3,5,17"). Reading selects every
    // listed level from 0 to 21; a part that is no number selects level 0.
    static TZoomLevelArray StrToZoomLevelArray(std::string_view text);
    static std::string ZoomLevelArrayToStr(const TZoomLevelArray& zoomLevels);
    // Bounds text: "level,MinRow,MaxRow,MinCol,MaxCol" for every selected level, joined by ";".
    // Reading ignores entries of fewer than five numbers; for a repeated level the last wins.
    static TTileBounds StrToTileBounds(std::string_view text);
    static std::string TileBoundsToStr(const TTileBounds& tileBounds);
    // "lat,lng,zoom" with "." as decimal separator; with fewer than three parts `latLng` is left
    // as it is, and a part that is no number gives 32.694866, 105.996094 or 4.
    static void StrToLatLng(std::string_view value, TLatLng& latLng);

  private:
    std::string FileText() const;

    std::filesystem::path path_;
    std::string name_;
    std::filesystem::path fileName_;
    std::string directory_;
    std::string coordinates_;
    std::int32_t mapTypeIndex_ = 0;
    TZoomLevelArray zoomLevels_{};
    std::string bookmark_;
    TTileBounds tileBounds_{};
    std::int32_t tileSize_ = 0;
    TTileType tileType_ = TTileType::tsGoogle;
    bool noLabel_ = false;
    std::int32_t tiandituIndex_ = 0;
};

}  // namespace engine
