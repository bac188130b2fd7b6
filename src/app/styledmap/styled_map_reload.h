#pragma once
// What the main window does with the wizard's text: it is stored as the page's style
// parameters (StyleParamsURL, appended to the Google road, terrain and label tile addresses,
// so that every later load shows it), and the Google page shown takes it at once, drawing its
// tiles again without a reload. The Baidu page has no use for it.
#include <QString>

namespace engine {
class TSettings;
}
namespace app {
class IMapPage;
}

namespace styledmap {

class StyledMapReload {
  public:
    StyledMapReload(engine::TSettings& settings, app::IMapPage& page)
        : settings_(settings), page_(page) {}
    // WM_RELOADGOOGLEMAP: an empty text restores the default style.
    void ReloadGoogleMap(const QString& params);

  private:
    engine::TSettings& settings_;
    app::IMapPage& page_;
};

}  // namespace styledmap
