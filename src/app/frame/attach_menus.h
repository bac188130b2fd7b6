#pragma once
// Wires the menu commands of MenuController to the main menu, the view switches to the status
// bar and the left panel, and the tool windows to their actions. A tool action whose window
// is not built into the program stays disabled.
class QAction;
class QMenu;
class QStatusBar;
class QWidget;

namespace app {

class MenuController;

struct FrameContext;

struct MenuWidgets {
    QMenu* mniStyle;
    QAction* actViewLog;
    QAction* actDeleteIECache;
    QAction* actCoordGrid;
    QAction* actOfflineMode;
    QAction* actaddTrafficTileLayer;
    QAction* actBigFontMode;
    QAction* actStatusBar;
    QAction* actRightPanel;
    QAction* actFullView;
    QAction* actclearShapeAndAreaMarker;
    QAction* actStyledMapWizard;
    QAction* actSettings;
    QAction* actDownloadSettings;
    QAction* actReadme;
    QAction* actWhatsNew;
    QAction* actHomePage;
    QAction* actOfflineSolution;
    QAction* actAbout;
    QAction* actUserManual;
    QStatusBar* StatusBar;
    QWidget* pnlLeft;
};

// Gives the controller, whose item states the frame refreshes when the layer or the task
// state changes.
MenuController* AttachMenus(const MenuWidgets& widgets, const FrameContext& frame);

}  // namespace app
