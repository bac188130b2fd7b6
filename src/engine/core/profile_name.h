#pragma once
// The default name of a new task: the layer's caption followed by the local time.
#include <ctime>
#include <functional>
#include <string>

#include "engine/core/core_types.h"

namespace engine {

// Gives the current local calendar time; replaced in tests.
using LocalTimeSource = std::function<std::tm()>;

std::tm CurrentLocalTime();

// The caption with everything up to and including its first "." removed, then "MMDDHHmm".
std::string MakeProfileName(TMapType mapType, const LocalTimeSource& now = CurrentLocalTime);

}  // namespace engine
