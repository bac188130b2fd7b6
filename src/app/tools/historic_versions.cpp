#include "historic_versions.h"

#include <algorithm>

#include "engine/core/number_format.h"
#include "engine/core/tile_math.h"
#include "engine/net/http_client.h"
#include "engine/net/user_agents.h"

namespace geodataui {
namespace {

constexpr std::size_t kSmallestTile = 1024;

}  // namespace

std::string HistoricTileUrl(int server, const std::string& version, std::int32_t x,
                            std::int32_t y) {
    return "http://mt" + engine::FormatInt(server) + ".google.cn/vt/lyrs=s@" + version +
           "&gl=cn&src=app&x=" + engine::FormatInt(x) + "&y=" + engine::FormatInt(y) +
           "&z=" + engine::FormatInt(kHistoricProbeZoom) + "&s=Galileo";
}

int ProbeHistoricVersions(int newest, std::int32_t x, std::int32_t y,
                          const std::function<bool()>& stop,
                          const std::function<void(const std::string&)>& found) {
    int requests = 0;
    for (int version = newest; version >= kOldestHistoricVersion; --version) {
        if (stop && stop()) {
            break;
        }
        engine::HttpClientConfig config;
        config.http11 = true;
        config.userAgent = engine::kTileUserAgent;
        config.keepAlive = false;
        // A client of its own for every request, as the servers are picked at random.
        engine::HttpClient client(config);
        if (stop) {
            client.SetAbortCheck(stop);
        }
        const std::string text = engine::FormatInt(version);
        const engine::HttpResponse response =
            client.Get(HistoricTileUrl(engine::RandomIndex(4), text, x, y));
        ++requests;
        if (response.transferred && response.status == 200 &&
            response.body.size() > kSmallestTile) {
            found(text);
        }
    }
    return requests;
}

bool IsInvalidIPv4(std::string_view text) {
    if (text.size() < 7 || text.size() > 15 || text.front() == '.') {
        return true;
    }
    if (text.find_first_not_of("0123456789.") != std::string_view::npos) {
        return true;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '.' && (i + 1 >= text.size() || text[i + 1] == '.')) {
            return true;
        }
    }
    int dots = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = text.find('.', start);
        const std::string_view run = text.substr(
            start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (run.empty() || run.size() > 3 || engine::ParseInt(run).value_or(256) > 255) {
            return true;
        }
        if (dot == std::string_view::npos) {
            break;
        }
        ++dots;
        start = dot + 1;
    }
    return dots != 3;
}

}  // namespace geodataui
