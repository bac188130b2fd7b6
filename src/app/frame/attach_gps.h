#pragma once
// Wires GPS following: the tool menu's "GPS定位" shows the GPS panel over the map, whose
// buttons set up, start and stop the receiver on the serial port.
class QAction;
class QWidget;

namespace app {

struct FrameContext;

struct GpsWidgets {
    QAction* actGPSNavigation;
    QWidget* mapArea;  // the panel floats over it
};

// Gives the panel, which the location bar keeps clear of.
QWidget* AttachGps(const GpsWidgets& widgets, const FrameContext& frame);

}  // namespace app
