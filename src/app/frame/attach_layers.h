#pragma once
// Wires the layer switch and the page's mouse, zoom, centre and area callbacks to the map
// menu, the level list and status panels 3 and 4.
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QWidget;

namespace app {

class LayerController;
struct FrameContext;

struct LayerWidgets {
    QMenu* mniLayerMenu;
    QListWidget* chkZoomLevels;
    QComboBox* cbbProfile;  // takes the proposed task name of a new area
    QLabel* zoomPanel;      // status panel 3
    QLabel* mousePanel;     // status panel 4
    QWidget* crm;
};

void AttachLayers(const LayerWidgets& widgets, LayerController& layers, const FrameContext& frame);

}  // namespace app
