#pragma once
// The web-answer cache shared by the lookups and the place search: one file per request, named
// by the lower-case MD5 hex digest of the request, holding the answer's body as received. A
// cached answer is read instead of asking again and never refreshed. An answer is stored only
// once its lookup has read a result from it, and a stored answer from which no result can be
// read is deleted, so a failing answer never stays in the cache.
#include <filesystem>
#include <string>
#include <string_view>

namespace geodata {

// The cache folder `cachePath`, created with its missing parents. Empty stays empty (no cache).
std::filesystem::path GetGeoCacheDir(const std::filesystem::path& cachePath);

// One request's answer, from the cache file or from the service. Unless Keep() is called, the
// cache file is deleted when the object goes, however the lookup ends (an exception included).
class CachedAnswer {
  public:
    // `cacheKey` is the text whose digest names the cache file (normally `url` itself). An
    // empty `cachePath` reads and writes no cache file.
    CachedAnswer(const std::filesystem::path& cachePath, const std::string& url,
                 std::string_view cacheKey);
    CachedAnswer(const std::filesystem::path& cachePath, const std::string& url)
        : CachedAnswer(cachePath, url, url) {}
    ~CachedAnswer();
    CachedAnswer(const CachedAnswer&) = delete;
    CachedAnswer& operator=(const CachedAnswer&) = delete;

    // False after a failed transfer: no body, nothing cached.
    bool Received() const { return received_; }
    // Why the transfer failed (when it did).
    const std::string& TransferError() const { return transferError_; }
    bool FromCache() const { return fromCache_; }
    const std::string& Body() const { return body_; }
    const std::filesystem::path& File() const { return file_; }

    // A result was read: a fresh answer goes into the cache (written atomically).
    void Keep();

  private:
    std::filesystem::path file_;
    std::string url_;
    std::string body_;
    std::string transferError_;
    bool received_ = false;
    bool fromCache_ = false;
    bool kept_ = false;
};

}  // namespace geodata
