#pragma once
// Values the window reads from the settings at creation, checked where they are read: a
// stored index outside its list reads as its default, with a line in the program's log, and
// the store is set back to that default so every later reader sees the same layer.
#include "engine/core/core_types.h"

namespace engine {
class TSettings;
}

namespace app {

// MapTypeIndex as a layer (3 when it is not one of the 49).
engine::TMapType StartupMapType(engine::TSettings& settings);

}  // namespace app
