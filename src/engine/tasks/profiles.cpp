#include "engine/tasks/profiles.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>
#include <system_error>

#include "engine/core/atomic_file.h"
#include "engine/core/number_format.h"
#include "engine/core/text_helpers.h"
#include "engine/log/logger.h"
#include "engine/settings/settings.h"
#include "engine/tasks/task_text.h"

namespace engine {
namespace {

std::int32_t ToInt32Or(std::string_view text, std::int32_t fallback) {
    return ParseInt32(text, true).value_or(fallback);
}

// The value of the first line whose part before its first "=" is `key` (letter case ignored).
std::string ValueOf(const std::vector<std::string>& lines, std::string_view key) {
    for (const auto& line : lines) {
        const auto equals = line.find('=');
        if (equals != std::string::npos &&
            SameText(std::string_view(line).substr(0, equals), key)) {
            return line.substr(equals + 1);
        }
    }
    return "";
}

std::string FileError(const char* what, const std::filesystem::path& file, const std::string& why) {
    return std::string(what) + " \"" + file.string() + "\". " + why;
}

// Writes a complete new file beside `target`, flushed to the disk, and renames it into place,
// keeping the permissions of the file it replaces. The folder must exist.
void ReplaceFile(const std::filesystem::path& target, std::string_view bytes) {
    AtomicWriteOptions options;
    options.durable = true;
    options.createFolders = false;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        options.mode = info.st_mode & 07777;
    }
    std::string error;
    if (!WriteFileAtomic(target, bytes, &error, options)) {
        throw TaskStoreError(FileError("Cannot write file", target, error));
    }
}

bool HasControlCharacter(std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F) {
            return true;
        }
        // C1 controls U+0080 to U+009F.
        if (c == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(name[i + 1]) <= 0x9F) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string CheckTaskName(std::string_view name) {
    if (name == "." || name == ".." || name.find('/') != std::string_view::npos ||
        name.find('\\') != std::string_view::npos || HasControlCharacter(name)) {
        return "任务名称无效: \"" + std::string(name) +
               "\"。名称不能包含 \"/\"、\"\\\" 或控制字符, 也不能是 \".\" 或 \"..\"。";
    }
    return "";
}

TProfiles::TProfiles(std::filesystem::path profilesFolder) : path_(std::move(profilesFolder)) {
    std::error_code ec;
    std::filesystem::create_directories(path_, ec);  // a failure shows at the first Save
    ClearProfile();
}

void TProfiles::ClearProfile() {
    name_.clear();
    directory_.clear();
    coordinates_.clear();
    mapTypeIndex_ = 0;
}

std::filesystem::path TProfiles::FileName() {
    if (name_.empty()) {
        name_ = kDefaultName;
    }
    if (!fileName_.empty()) {
        return fileName_;
    }
    if (const auto problem = CheckTaskName(name_); !problem.empty()) {
        throw TaskStoreError(problem);
    }
    return path_ / (name_ + kExtension);
}

std::string TProfiles::FileText() const {
    const std::string lines[] = {
        "Bookmark=" + bookmark_,
        "MapTypeId=" + FormatInt(mapTypeIndex_),
        "Directory=" + directory_,
        "Zooms=" + ZoomLevelArrayToStr(zoomLevels_),
        "Coordinates=" + coordinates_,
        "TileBounds=" + TileBoundsToStr(tileBounds_),
        "TileSize=" + FormatInt(tileSize_),
        "TileType=" + FormatInt(static_cast<int>(tileType_)),
        "NoLabel=" + FormatInt(noLabel_ ? 1 : 0),
        "TiandituIndex=" + FormatInt(tiandituIndex_),
    };
    std::string text(kUtf8Bom);
    for (const auto& line : lines) {
        text += ScrambleTaskLine(line);
        text += "\r\n";
    }
    return text;
}

void TProfiles::Save() {
    const auto file = FileName();
    ReplaceFile(file, FileText());
}

void TProfiles::Load() {
    Load(FileName());
}

void TProfiles::Load(const std::filesystem::path& fileName) {
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec)) {
        return;
    }
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes)) {
        throw TaskStoreError(FileError("Cannot open file", fileName, std::strerror(errno)));
    }
    std::vector<std::string> lines = SplitLines(WithoutBom(bytes));
    for (auto& line : lines) {
        line = UnscrambleTaskLine(line);
    }
    mapTypeIndex_ = ToInt32Or(ValueOf(lines, "MapTypeId"), 0);
    directory_ = ValueOf(lines, "Directory");
    coordinates_ = ValueOf(lines, "Coordinates");
    zoomLevels_ = StrToZoomLevelArray(ValueOf(lines, "Zooms"));
    bookmark_ = ValueOf(lines, "Bookmark");
    name_ = fileName.stem().string();
    tileBounds_ = StrToTileBounds(ValueOf(lines, "TileBounds"));
    tileSize_ = ToInt32Or(ValueOf(lines, "TileSize"), 256);
    tileType_ = static_cast<TTileType>(ToInt32Or(ValueOf(lines, "TileType"), 0) & 0xFF);
    noLabel_ = (ToInt32Or(ValueOf(lines, "NoLabel"), 0) & 0xFF) != 0;
    tiandituIndex_ = ToInt32Or(ValueOf(lines, "TiandituIndex"), 0);
    // The stitch and the download read the same grid from it as from the settings.
    constexpr IndexRange kTianditu = *IndexSettingRange(IntSetting::TiandituIndex);
    if (tiandituIndex_ < kTianditu.first || tiandituIndex_ > kTianditu.last) {
        AppendLog("task " + fileName.string() + ": TiandituIndex " + FormatInt(tiandituIndex_) +
                  " is outside 0.." + FormatInt(kTianditu.last) + "; 0 is used");
        tiandituIndex_ = 0;
    }
}

void TProfiles::Delete() {
    const auto file = FileName();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        return;
    }
    if (!std::filesystem::remove(file, ec) || ec) {
        throw TaskStoreError(FileError("Cannot delete file", file, ec.message()));
    }
    ClearProfile();
}

void TProfiles::GetNames(std::vector<std::string>& names) const {
    names.clear();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(path_, ec), end; !ec && it != end;
         it.increment(ec)) {
        const auto& file = it->path();
        std::error_code typeError;
        if (file.extension() == kExtension && it->is_regular_file(typeError)) {
            names.push_back(file.stem().string());
        }
    }
    std::sort(names.begin(), names.end());
}

TZoomLevelArray TProfiles::StrToZoomLevelArray(std::string_view text) {
    TZoomLevelArray levels{};
    if (text.empty()) {
        return levels;  // no field, where an empty field would read as level 0
    }
    for (const auto part : Split(text, ',')) {
        const std::int32_t level = ToInt32Or(part, 0);
        if (level >= 0 && level < kZoomLevelCount) {
            levels[static_cast<std::size_t>(level)].Checked = true;
        }
    }
    return levels;
}

std::string TProfiles::ZoomLevelArrayToStr(const TZoomLevelArray& zoomLevels) {
    std::string text;
    for (int level = 0; level < kZoomLevelCount; ++level) {
        if (zoomLevels[static_cast<std::size_t>(level)].Checked) {
            if (!text.empty()) {
                text += ',';
            }
            text += FormatInt(level);
        }
    }
    return text;
}

TTileBounds TProfiles::StrToTileBounds(std::string_view text) {
    TTileBounds bounds{};
    if (text.empty()) {
        return bounds;
    }
    for (const auto entry : Split(text, ';')) {
        const auto numbers = Split(entry, ',');
        if (numbers.size() < 5) {
            continue;  // the writer always writes five numbers; a shorter entry is damage
        }
        const std::int32_t level = ToInt32Or(numbers[0], 0);
        if (level < 0 || level >= kZoomLevelCount) {
            continue;
        }
        TTileBound& bound = bounds[static_cast<std::size_t>(level)];
        bound.Checked = true;
        bound.MinRow = ToInt32Or(numbers[1], 0);
        bound.MaxRow = ToInt32Or(numbers[2], 0);
        bound.MinCol = ToInt32Or(numbers[3], 0);
        bound.MaxCol = ToInt32Or(numbers[4], 0);
    }
    return bounds;
}

std::string TProfiles::TileBoundsToStr(const TTileBounds& tileBounds) {
    std::string text;
    for (int level = 0; level < kZoomLevelCount; ++level) {
        const TTileBound& bound = tileBounds[static_cast<std::size_t>(level)];
        if (!bound.Checked) {
            continue;
        }
        if (!text.empty()) {
            text += ';';
        }
        text += FormatInt(level) + "," + FormatInt(bound.MinRow) + "," + FormatInt(bound.MaxRow) +
                "," + FormatInt(bound.MinCol) + "," + FormatInt(bound.MaxCol);
    }
    return text;
}

void TProfiles::StrToLatLng(std::string_view value, TLatLng& latLng) {
    const auto parts = Split(value, ',');
    if (parts.size() < 3) {
        return;
    }
    latLng.lat = static_cast<float>(ParseFloat(parts[0]).value_or(32.694866));
    latLng.lng = static_cast<float>(ParseFloat(parts[1]).value_or(105.996094));
    latLng.zoom = static_cast<std::uint8_t>(ToInt32Or(parts[2], 4) & 0xFF);
}

}  // namespace engine
