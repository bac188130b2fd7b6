#include "geodata/search/answer_cache.h"

#include <system_error>

#include "engine/core/atomic_file.h"
#include "engine/core/md5.h"
#include "engine/log/logger.h"
#include "engine/net/http_client.h"

namespace geodata {

std::filesystem::path GetGeoCacheDir(const std::filesystem::path& cachePath) {
    if (cachePath.empty()) {
        return {};
    }
    std::error_code ec;
    std::filesystem::create_directories(cachePath, ec);
    if (ec) {
        engine::AppendLog("Cannot create the answer cache folder " + cachePath.string() + ": " +
                          ec.message());
    }
    return cachePath;
}

CachedAnswer::CachedAnswer(const std::filesystem::path& cachePath, const std::string& url,
                           std::string_view cacheKey)
    : url_(url) {
    const std::filesystem::path folder = GetGeoCacheDir(cachePath);
    if (!folder.empty()) {
        file_ = folder / engine::StrMD5Hex(cacheKey);
        std::error_code ec;
        if (std::filesystem::is_regular_file(file_, ec) && engine::ReadFileBytes(file_, body_)) {
            received_ = true;
            fromCache_ = true;
            return;
        }
        body_.clear();
    }
    engine::HttpResponse response = engine::HttpGetForLookup(url);
    if (!response.transferred) {
        transferError_ = response.error.empty() ? "transfer failed" : response.error;
        return;
    }
    // The body counts whatever the HTTP status: an error page is judged by the lookup.
    body_ = std::move(response.body);
    received_ = true;
}

CachedAnswer::~CachedAnswer() {
    if (kept_ || file_.empty()) {
        return;
    }
    // Only a file of ours: never a folder that happens to carry the name.
    std::error_code ec;
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(file_, ec))) {
        std::filesystem::remove(file_, ec);
    }
}

void CachedAnswer::Keep() {
    kept_ = true;
    if (!received_ || fromCache_ || file_.empty()) {
        return;
    }
    std::string error;
    if (!engine::WriteFileAtomic(file_, body_, &error)) {
        engine::AppendLog("Cannot store the answer of " + url_ + ": " + error);
    }
}

}  // namespace geodata
