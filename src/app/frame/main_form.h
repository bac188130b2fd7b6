#pragma once
// The main window frame: the widgets of its form, the status bar, the services and the page
// host; every feature attaches its controller in AttachFeatures().
#include <QMainWindow>
#include <filesystem>
#include <memory>

class QWebEngineProfile;
class QWebEngineView;

namespace engine {
class TSettings;
}

namespace Ui {
class TfrmMain;
}

namespace app {

class TChromium;
class MapEvents;
class IMessages;
class IFileDialogs;
class IDesktopOpener;
class IClock;
class IProcessExit;
class IPowerOffQuestion;
class IMapPage;
struct Services;

// Services that a test puts in place of the real ones; a null one stays real.
struct ServiceOverrides {
    IMessages* messages = nullptr;
    IFileDialogs* fileDialogs = nullptr;
    IDesktopOpener* opener = nullptr;
    IClock* clock = nullptr;
    IProcessExit* processExit = nullptr;
    IPowerOffQuestion* powerOff = nullptr;
    IMapPage* page = nullptr;
};

struct MainFormOptions {
    ServiceOverrides services;
    // The task folder; empty: Documents/Vantorel/Profiles.
    std::filesystem::path profilesFolder;
    // Unpack and load the map page at creation.
    bool loadPage = true;
    // Threads that reach the network at creation (the tile-version probe).
    bool backgroundWork = true;
};

class TfrmMain : public QMainWindow {
    Q_OBJECT

  public:
    TfrmMain(engine::TSettings& settings, QWebEngineProfile& profile, MainFormOptions options = {},
             QWidget* parent = nullptr);
    ~TfrmMain() override;

    TChromium& crm();
    QWebEngineView* MapView() const;
    MapEvents& Events();
    Services& AppServices();
    // False during creation, true at its end (FInitialized).
    bool Initialized() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Impl;

    void CreatePageHost(QWebEngineProfile& profile);
    void CreateServices(const ServiceOverrides& overrides);
    void BuildStatusBar();
    void CreateControllers();
    void AttachFeatures();
    void ApplyStartupSettings();
    void ShowStartupState();
    static QString AppTitle();

    std::unique_ptr<Impl> d_;
};

}  // namespace app
