#pragma once
// The map menu's provider submenus with their layer items, and the zoom levels each layer
// offers.
#include <QString>
#include <array>
#include <vector>

#include "engine/core/core_types.h"

namespace app {

struct MapTypeItem {
    int tag;  // the layer number
    const char* caption;
};

struct MapProvider {
    const char* objectName;
    const char* caption;
    std::vector<MapTypeItem> items;
};

// The 11 provider submenus in menu order.
const std::vector<MapProvider>& MapProviders();

// The provider and item of a layer; null when the layer has no menu item (38, 39).
const MapProvider* ProviderOf(int tag);
const MapTypeItem* ItemOf(int tag);

// The lowest and highest zoom level a layer offers.
struct ZoomRange {
    int low;
    int high;
    friend bool operator==(const ZoomRange&, const ZoomRange&) = default;
};
ZoomRange ZoomLevelRange(engine::TMapType mapType, bool bigFontMode);

// One item of the level list: enabled when in the layer's range, ticked as the selection
// says when enabled, unticked otherwise.
struct ZoomItemState {
    bool enabled = false;
    bool checked = false;
};
using ZoomItemStates = std::array<ZoomItemState, engine::kZoomLevelCount>;
ZoomItemStates ZoomItemsFor(ZoomRange range, const engine::TZoomLevelArray& selection);

// The window caption for a layer: title + " - " + submenu + "-" + item; the title alone for
// a layer without a menu item.
QString MapTypeCaption(const QString& appTitle, int tag);

}  // namespace app
