#pragma once
// The switch of the loaded Baidu page to one of its layers, shared by the layer menu and the
// place tree's 3D-city click.
#include <QString>
#include <functional>

#include "engine/core/core_types.h"

namespace engine {
class TSettings;
}

namespace app {

class PageWait;

// Leaves the large-font mode and tells the page the layer, with the 3D city of that index
// (the first city when the index is outside the table); `then` runs once the page answered.
void SwitchBaiduLayer(engine::TSettings& settings, PageWait& page, engine::TMapType mapType,
                      int cityNameIndex, std::function<void(const QString&)> then = {});

}  // namespace app
