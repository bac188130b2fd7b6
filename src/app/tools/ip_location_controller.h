#pragma once
// What the historic-map window does, without the window: probe which older satellite versions
// exist for the map centre on a worker thread, reload the page with a chosen one, and locate an
// IPv4 address (looked up on a worker thread) with the single marker.
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <thread>

namespace engine {
class TSettings;
}

namespace app {
class IMapPage;
class IMessages;
}  // namespace app

namespace geodataui {

class IPLocationController : public QObject {
    Q_OBJECT

  public:
    static constexpr const char* kInvalidIPMessage = "IP地址有误！";
    static constexpr const char* kLookupFailedMessage = "未能查到该IP地址的位置。";

    IPLocationController(app::IMapPage& page, app::IMessages& messages, engine::TSettings& settings,
                         QObject* parent = nullptr);
    // Stops a running probe and waits for the workers.
    ~IPLocationController() override;

    // UpdateTileVerions (FormShow, btnUpateClick): starts the probe for the stored map centre
    // and returns at once. Nothing starts while a probe runs, or when the newest version
    // (SatMapTileVerNew) is not an integer. Returns whether a probe started.
    bool UpdateTileVerions();
    bool Probing() const { return probing_; }
    // The versions of the last probe, newest first.
    const QStringList& Versions() const { return versions_; }

    // cbbHistoricMapIdsChange: the version becomes SatMapTileVer and the page is loaded again.
    void ChooseVersion(const QString& version);

    // btnLocationClick. False for a text that is not a dotted IPv4 address (the warning is
    // shown; the window gives the edit the focus). A lookup already running is not repeated.
    bool Locate(const QString& ip);
    bool Locating() const { return locating_; }

  signals:
    // The probe has begun: the list is empty and btnUpate disabled.
    void probeStarted();
    void versionFound(const QString& version);
    // The probe has ended: btnUpate enabled, the first (newest) version selected.
    void probeFinished();
    // A lookup has ended (the marker placed or the failure shown).
    void locateFinished(bool found);

  private:
    void ProbeDone();
    void LocateDone(bool found, const QString& address, double lat, double lng);

    app::IMapPage& page_;
    app::IMessages& messages_;
    engine::TSettings& settings_;
    QStringList versions_;
    bool probing_ = false;
    bool locating_ = false;
    std::atomic<bool> stopping_{false};
    std::thread probeThread_;
    std::thread lookupThread_;
};

}  // namespace geodataui
