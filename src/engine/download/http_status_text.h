#pragma once
// The log text of an HTTP status, as the task log shows it after a failed tile.
#include <string>
#include <string_view>

namespace engine {

// The known text of `code`, else the code followed by " 未知错误。".
std::string HttpStatusText(int code);

}  // namespace engine
