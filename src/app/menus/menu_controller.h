#pragma once
// The main window's remaining menu commands: the style menu, the page options (grid, offline
// mode, traffic), the view commands that reach the page, the settings dialog, the cache wipe,
// the download log, the help files and pages, and the about text. No widget in here; the
// attach file shows and hides panels and copies the states onto the actions.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace engine {
class TSettings;
}

namespace app {

struct Services;

class MenuController : public QObject {
    Q_OBJECT

  public:
    struct Hooks {
        // The settings dialog shown modally; true when the map page must be reloaded.
        std::function<bool()> showSettings;
        // After the settings dialog has closed: what it saved may change a running download.
        std::function<void()> settingsClosed;
        // The registered style names and the switch to one (no message when it fails).
        std::function<QStringList()> styleNames;
        std::function<bool(const QString&)> trySetStyle;
        // Empties the answer cache and the browser cache (protected folders are never wiped).
        std::function<void()> deleteCaches;
        // A file installed with the program ("readme.txt"), and the installed README.
        std::function<QString(const QString&)> dataFile;
        std::function<QString()> readme;
        // The program file, whose version the about text shows.
        std::function<QString()> programFile;
        // False until the main window's creation has ended.
        std::function<bool()> initialized;
    };

    MenuController(engine::TSettings& settings, Services& services, Hooks hooks,
                   QObject* parent = nullptr);

    // Style menu (BuildStyleMenu): the names and the one to check.
    QStringList StyleNames() const;
    QString CheckedStyle() const;
    void StyleMenuClick(const QString& name);  // StyleMenuClick
    void StyleChanged();                       // WM_STYLECHANGED

    void CoordGrid(bool checked);    // actCoordGridExecute
    bool CoordGridEnabled() const;   // actCoordGridUpdate (grid and offline items)
    void OfflineMode(bool checked);  // actOfflineModeExecute
    void TrafficLayer(bool shown);   // actaddTrafficTileLayerExecute
    // After every load of the map page: the page starts with the overlays of its settings
    // script only, so it is given those the marks show (the traffic layer, the coordinate grid
    // where the page has one); the big-font mark follows the store, which a load clears.
    void PageLoaded();
    void FullView();       // actFullViewExecute
    void ClearOverlays();  // actclearShapeAndAreaMarkerExecute

    void Settings();          // actSettingsExecute
    void DownloadSettings();  // actDownloadSettingsExecute

    void DeleteCache();  // actDeleteIECacheExecute

    bool ViewLogEnabled() const;  // actViewLogUpdate
    // Tells the items' states now: after a layer switch, a page load, a task's start or end,
    // and when a menu holding them opens (the log may have been written in between).
    void RefreshActionStates();
    void ViewLog();  // actViewLogExecute

    void Readme();           // 软件介绍
    void WhatsNew();         // 更新日志
    void UserManual();       // the hidden manual action
    void HomePage();         // 软件主页
    void OfflineSolution();  // 离线地图解决方案
    void About();            // 关于...
    QString AboutText() const;

  signals:
    // The style item to check after a style change.
    void checkedStyleChanged(const QString& name);
    void bigFontModeChanged(bool checked);
    void actionStatesChanged(bool coordGridEnabled, bool viewLogEnabled);

  private:
    void OpenFile(const QString& fileName);

    engine::TSettings& settings_;
    Services& services_;
    Hooks hooks_;
    bool trafficShown_ = false;  // the 实时路况 mark; the setting is not stored
};

}  // namespace app
