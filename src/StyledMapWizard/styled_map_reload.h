#pragma once
// What the main window does with the wizard's text: the page takes it as its style parameters
// (StyleParamsURL, appended to the Google road, terrain and label tile addresses) and is
// loaded again, so the map shows the chosen style at once.
#include <QString>

namespace engine {
class TSettings;
}
namespace mainwindow {
class IMapPage;
}

namespace styledmap {

class StyledMapReload {
  public:
    StyledMapReload(engine::TSettings& settings, mainwindow::IMapPage& page)
        : settings_(settings), page_(page) {}
    // WM_RELOADGOOGLEMAP: an empty text restores the default style.
    void ReloadGoogleMap(const QString& params);

  private:
    engine::TSettings& settings_;
    mainwindow::IMapPage& page_;
};

}  // namespace styledmap
