#include "engine/core/profile_name.h"

#include <string_view>

#include "engine/core/catalogue.h"

namespace engine {
namespace {

void AppendTwoDigits(std::string& text, int value) {
    text += static_cast<char>('0' + value / 10 % 10);
    text += static_cast<char>('0' + value % 10);
}

}  // namespace

std::tm CurrentLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string MakeProfileName(TMapType mapType, const LocalTimeSource& now) {
    std::string_view caption = MapTypeCaptions[Ord(mapType)];
    if (const auto dot = caption.find('.'); dot != std::string_view::npos) {
        caption.remove_prefix(dot + 1);
    }
    const std::tm local = now();
    std::string name(caption);
    AppendTwoDigits(name, local.tm_mon + 1);
    AppendTwoDigits(name, local.tm_mday);
    AppendTwoDigits(name, local.tm_hour);
    AppendTwoDigits(name, local.tm_min);
    return name;
}

}  // namespace engine
