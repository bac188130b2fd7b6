#pragma once
// The POI panel without widgets: the search with its paging on a worker, the 100-place limit
// without an own key, cancel, the rows, a row or all rows on the map, the export and the close
// label. The panel shows what the signals say.
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/services/services.h"
#include "geodata/search/poi_data.h"

namespace engine {
class TSettings;
}
namespace geodata_ui {
class ITextFileDialogs;
}

namespace app {

// The page script's own key of the Baidu maps, also the place search's key without an own one.
inline constexpr const char* kBuiltInBaiduKey = "5d8e2a0c9b47f13e6c2a90d7b4f8e361";

class PoiController : public QObject {
    Q_OBJECT

  public:
    PoiController(Services& services, geodata_ui::ITextFileDialogs& textDialogs,
                  engine::TSettings& settings, std::filesystem::path cachePath,
                  QObject* parent = nullptr);
    ~PoiController() override;

    // The place-search box's region and the download area ("lng,lat,..." in GCJ-02).
    std::function<QString()> region;
    std::function<QString()> coordinates;
    // Whether the location bar shows the district; when it does not, a search looks the
    // district under the map centre up first and takes its city as the region.
    std::function<bool()> locationBarVisible;
    // files/marker-icon.png of the KMZ export, installed with the program; none when empty.
    std::filesystem::path iconFile;

    // btnSearchPOIsClick.
    void Search(const QString& keyword, const QString& tag);
    // btnPOICancelClick.
    void Cancel();
    bool Searching() const { return searching_; }

    const std::vector<geodata::TPOIData>& Rows() const { return rows_; }
    QString Title() const { return title_; }
    // What the panel says about the last search's end: that it failed, or stopped at a page
    // that could not be read, or found nothing; empty while searching and after a search
    // that listed places.
    QString Notice() const { return notice_; }

    // lstPOIClick: the row's marker on the page, centred.
    void RowClick(int row);
    // actAllPOI2MapExecute: clears the page's overlays and puts every row's marker on it, row 0
    // alone and then 50 rows a turn of the event loop, so that the window stays live and the
    // progress shows; the rows are copied first. A new placement or a new search ends it.
    void AllPOI2Map();
    bool Placing() const { return placing_; }
    bool CanAllPOI2Map() const { return !searching_ && !rows_.empty(); }
    // actPOIExportExecute / actPOIExportUpdate.
    void Export();
    bool CanExport() const { return !rows_.empty(); }
    // OnMapMarkerClickEvent: the row of a clicked search marker, or -1 when it is none.
    int MarkerRow(const QString& id) const;
    // lbl4 (the close label) and actPOISearchExecute.
    void ClosePanel();
    void SetPanelShown(bool shown);

    // The page position of a BD-09 place on the shown layer.
    engine::TGLatLng PagePosition(const engine::TGLatLng& bd09) const;

  signals:
    // The search started or ended: the search button, the cancel button, the progress bar and
    // actAllPOI2Map follow.
    void searchStateChanged();
    void cancelHidden();
    void rowsReset();
    void rowsAdded(int first, int count);
    void progressChanged(int position, int maximum);
    // Putting all rows on the map started or ended; while it runs, the markers placed so far.
    void placingChanged();
    void placeProgress(int position, int maximum);
    void titleChanged(const QString& title);
    void noticeChanged(const QString& notice);
    void panelShownChanged(bool shown);
    // The district lookup of a search found this region for the place-search box.
    void regionFound(const QString& region);

  private:
    struct Page;
    void PageArrived(int serial, const Page& page);
    void SearchEnded(int serial, bool limited, int total);
    void PlaceFrom(int run, std::shared_ptr<const std::vector<geodata::TPOIData>> places,
                   int first);
    void StopPlacing();
    void SetNotice(const QString& notice);

    Services& services_;
    geodata_ui::ITextFileDialogs& textDialogs_;
    engine::TSettings& settings_;
    std::filesystem::path cachePath_;

    std::vector<geodata::TPOIData> rows_;
    QString title_ = QStringLiteral("POI下载");
    QString notice_;
    int failedPage_ = -1;  // the first page of the search that failed, from 0
    QString exportName_;
    int exportFilterIndex_ = 2;
    int exportEncodingIndex_ = 0;
    bool searching_ = false;
    int serial_ = 0;
    int progress_ = 0;
    int progressMax_ = 0;
    bool placing_ = false;
    int placeRun_ = 0;
    // Each search has its own flag; the worker holds it as long as it runs.
    std::shared_ptr<std::atomic<bool>> canceled_;
};

}  // namespace app
