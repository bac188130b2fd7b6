#pragma once
// What every attach function gets besides the widgets of its own feature: the services, the
// settings, the page callbacks, the page host, the window as parent of dialogs and owner of
// the feature's controller, and the close hooks.
//
// Convention: src/app/frame/attach_<feature>.h/.cpp declares
//     struct <Feature>Widgets { QAction* act...; QWidget* pnl...; ... };
//     void Attach<Feature>(const <Feature>Widgets& widgets, const FrameContext& frame);
// which creates the feature's controller with `&frame.window` as its QObject parent and only
// connects signals (the controller as context object). TfrmMain::AttachFeatures() holds one
// call line per feature.
#include <functional>

class QWidget;

namespace engine {
class TSettings;
}

namespace app {

struct Services;
class MapEvents;
class TChromium;
class CloseController;
class StitchHandOverRelay;

struct FrameContext {
    QWidget& window;
    Services& services;
    engine::TSettings& settings;
    MapEvents& mapEvents;
    TChromium& crm;
    // Close guards (a false answer keeps the window open) and close steps (run before the
    // process ends) of features that hold work of their own.
    CloseController& close;
    // Where a finished download hands its task to stitching (SetTarget).
    StitchHandOverRelay& stitch;
    // Settings that tile URLs are built from may have changed: a running download takes them.
    std::function<void()> urlSettingsChanged;
};

}  // namespace app
