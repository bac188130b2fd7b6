#pragma once
// The map page host: keeps the page files in the process's private folder, picks the Google
// or the Baidu page by the layer, rewrites the page's settings script before every load, runs
// scripts in the page and hands back what the page returned through setJsReturnValue, and
// owns the bridge through which the page calls the program.
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "engine/core/core_types.h"
#include "engine/settings/settings.h"
#include "geodata/search/poi_data.h"
#include "js_processor.h"
#include "page_files.h"
#include "page_scripts.h"
#include "page_settings_script.h"
#include "script_bridge.h"

#include <QWebEnginePage>

class QWebEngineProfile;

namespace app {

class TChromium : public QObject {
    Q_OBJECT

  public:
    explicit TChromium(QString pageSource = QLatin1String(kPageResourceRoot),
                       QObject* parent = nullptr);
    ~TChromium() override;

    // The page the host drives (not owned); the bridge is attached to it at once, before the
    // first load. Null detaches.
    void SetPage(QWebEnginePage* page);
    QWebEnginePage* Page() const { return page_; }

    TJsProcessor& JsProcessor() { return processor_; }
    TNCJsExtended& JsExtended() { return bridge_; }

    engine::TMapType MapType() const { return mapType_; }
    void SetMapType(engine::TMapType mapType) { mapType_ = mapType; }
    // Layers 45 to 48 are shown on the Baidu page, all others on the Google page.
    bool IsBaiduMap() const;

    // Copies the page files into the private folder; failures only leave them missing.
    bool InitMaps();
    // Picks the page, unpacks the files again when the page is missing, rewrites the page's
    // settings script and loads the page. Throws std::runtime_error when the settings
    // script cannot be read or written; the page is not loaded then.
    void LoadMaps(const PageSettings& settings);
    // The same from the settings store. A load never asks for high-definition tiles, so it
    // clears the store's BigFontMode first.
    void LoadMaps(engine::TSettings& settings);
    void DeleteMapAPIFile(bool deleteAll) { files_.DeleteMapAPIFile(deleteAll); }
    // The menu's wipe: empties the web-answer cache folder and has the running browser
    // empty its own cache; no file under the browser is deleted from outside. A protected
    // folder is never wiped.
    static void ClearCache(const std::filesystem::path& cachePath, QWebEngineProfile* profile);
    // At close: the browser stops using its cache folder (writing its last index as it lets
    // go), so that the folder can be emptied before the process ends.
    static void ReleaseBrowserCache(QWebEngineProfile* profile);

    const std::filesystem::path& HtmlFile() const { return htmlFile_; }
    const PageFiles& Files() const { return files_; }

    // Every script waits, in the order sent, until the page loaded last has reported that its
    // start-up has run; a new load drops the scripts still waiting for the page before it.
    bool PageReady() const { return ready_; }

    // Runs `code` in the page and hands `then` the text last stored through setJsReturnValue
    // (not cleared between runs) once the page has answered; the callbacks the code makes
    // reach their handlers first. No page, no code, a load meanwhile or no answer within the
    // time (waiting for the page included) gives an empty text. `then` runs later on the UI
    // thread, never inside this call; nothing waits meanwhile.
    void ExecJavaScript(const QString& code, std::function<void(const QString&)> then,
                        int timeoutMs = 10000);
    // Runs `code` in the page without waiting for it. An error it throws reaches the page's
    // console, and so the program's log. Empty code sends nothing.
    void RunScript(const QString& code);

    // Page operations (script texts of page_scripts.h).
    void FullView() { RunScript(pagescript::FullView()); }
    void SetCenterAndZoom(const QString& latLngZoom);
    void SetCenterAndZoom(double lat, double lng, int zoom);
    void ClearAllOverlays() { RunScript(pagescript::ClearAllOverlays()); }
    void ShowBoundary(const QString& encodedPath);
    void ShowCoordGrid() { RunScript(pagescript::CoordGrid(true)); }
    void HideCoordGrid() { RunScript(pagescript::CoordGrid(false)); }
    void ShowCurrentView() { RunScript(pagescript::ShowCurrentView()); }
    void AddMarker(int id, const engine::TGLatLng& position, const geodata::TPOIData& poi,
                   bool center);
    void AddPOI(std::int64_t id, const QString& name, double lat, double lng,
                const QString& content, bool isTemp, bool center);
    void AddMarker(const QString& latLngZoom, const QString& title);
    void ShowDrawingManager() { RunScript(pagescript::DrawingManager(true)); }
    void HideDrawingManager() { RunScript(pagescript::DrawingManager(false)); }
    void ZoomIn() { RunScript(pagescript::ZoomIn()); }
    void ZoomOut() { RunScript(pagescript::ZoomOut()); }
    void SetMapTypeId(engine::TMapType mapType);
    // The page's answers, handed to `then` later (empty when the page cannot answer). The
    // area's points from the page's decoder (latitude, longitude pairs).
    void DecodePath(const QString& encodedPath,
                    std::function<void(std::vector<engine::TGLatLng>)> then);
    void EncodePath(const QString& path, std::function<void(const QString&)> then);
    void GetBoundary(const QString& cityName, std::function<void(const QString&)> then);

  signals:
    // The page loaded last has made its map; scripts that waited for it have been sent.
    void pageReady();

  private:
    struct Waiting {
        std::function<void()> run;
        std::function<void()> drop;  // the page went before it was ready
    };
    struct PendingCall;

    void FinishCall(const std::shared_ptr<PendingCall>& call);
    // Calls `run` now when the page is ready, else once it is.
    void WhenReady(std::function<void()> run, std::function<void()> drop = {});
    void OnPageReady(int load);
    void DropWaiting();

    TJsProcessor processor_;
    TNCJsExtended bridge_;
    PageFiles files_;
    QPointer<QWebEnginePage> page_;
    engine::TMapType mapType_ = engine::TMapType{};
    std::filesystem::path htmlFile_;
    std::filesystem::path mainJsFile_;
    int flushToken_ = 0;
    int load_ = 0;  // the number given to the address of the last load
    bool ready_ = false;
    std::deque<Waiting> waiting_;
};

// "(a, b),(c, d)" or "a,b,c,d" as points; a last field without a partner is ignored, fields
// that are not numbers read as 0.
std::vector<engine::TGLatLng> ParseDecodedPath(const QString& text);

}  // namespace app
