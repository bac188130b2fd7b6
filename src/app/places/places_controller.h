#pragma once
// The place tree and the boundary actions of the main window, without widgets: loading the
// tree, a click on a place, the search in the tree, the place-search box's choice, the lookup
// of the district under the map centre with the location bar, and querying, storing, exporting
// and showing outlines. Every web lookup runs off the UI thread.
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/services/services.h"
#include "city_tree_data.h"
#include "suggestions.h"

namespace engine {
class TSettings;
}
namespace geodata {
class TBoundary;
}
namespace geodata_ui {
class ITextFileDialogs;
}

namespace app {

class PlacesController : public QObject {
    Q_OBJECT

  public:
    PlacesController(Services& services, geodata_ui::ITextFileDialogs& textDialogs,
                     engine::TSettings& settings, geodata::TBoundary& boundary,
                     std::filesystem::path cachePath, QObject* parent = nullptr);

    // FCoordinates: the current download area as "lng,lat,lng,lat,..." (GCJ-02).
    std::function<QString()> coordinates;
    // SetMapTypeId(48, city): switches the 3D city; when unset the page is switched here, as the
    // layer menu switches it.
    std::function<void(int cityIndex)> onSwitch3DCity;

    // LoadCityTree: the tree's nodes; the node whose text equals LastNodeText is selected.
    void LoadCityTree(const QByteArray& bytes);
    const std::vector<CityNode>& Nodes() const { return nodes_; }
    int Image(int node) const;
    int SelectedNode() const { return selected_; }
    void SelectNode(int node);
    bool HasChildren(int node) const;

    // tvCityClick: acts on the selected node.
    void CityClick();
    // FindCityNode: the next node after the selected one whose text contains `text`
    // (letter case ignored), selected; -1 when none.
    int FindCityNode(const QString& text);
    // WebGMapsLookupEdit1LookupSelect.
    void LookupSelect(const TResponseData& value);

    // The map centre moved to another hundredth of a degree: the district timer runs, unless
    // it does already.
    void RequestDistrictQuery();
    // tmrQueryDistTimer: 500 ms; waits until 3 s passed since the last district lookup.
    void QueryDistTick();
    QTimer& QueryDistTimer() { return tmrQueryDist_; }
    // QueryDistThread: the district under the stored centre, looked up off the UI thread.
    void QueryDistThread();

    // actGetPartitionDistrict ("查询边界线"), actSavePartitionDistrict ("更新边界线").
    void GetPartitionDistrict();
    // The same for a place named otherwise (the one the tree's menu was opened on).
    void GetPartitionDistrict(const QString& name);
    // Stores the outline under the name it was set with; nothing without such a pair.
    void SavePartitionDistrict();
    bool CanSavePartitionDistrict() const {
        return !outlineName_.isEmpty() && !encodedPath_.isEmpty();
    }
    // actExportBoundary ("导出边界线"), enabled while there is an area.
    void ExportBoundary();
    bool CanExportBoundary() const;
    // actShowBoundOnMap ("显示范围"), enabled for more than 8 characters.
    void ShowBoundOnMap(const QString& text);
    static bool CanShowBoundOnMap(const QString& text) { return text.size() > 8; }
    // actUseCurrentView ("当前视野").
    void UseCurrentView();
    // btnShowBoundHelpClick: shows the help and returns the example for the coordinate box.
    QString ShowBoundHelp();

    // The outline and its name are set together, by a click on a place, "查询边界线", "显示范围"
    // and a task load. The page reporting an area back: the outline it was shown keeps its
    // name; any other area (drawn, the current view, the outline edited) ends the pair, so
    // that no outline is stored under a name it does not belong to.
    void AreaCompleted(const QString& results);
    // A task load: its area is the outline, under the place last chosen.
    void TaskAreaLoaded(const QString& coordinates);
    QString EncodedPath() const { return encodedPath_; }
    QString OutlineName() const { return outlineName_; }

    // Lookups in flight (for tests).
    int PendingLookups() const { return pending_; }

  signals:
    void selectionChanged(int node);
    void regionChanged(const QString& region);
    void profileNameChanged(const QString& name);
    // The location bar `pnlLocation`: its text, or hidden.
    void locationBarChanged(const QString& text, bool visible);
    void copyToClipboard(const QString& text);
    void focusMap();
    // A web lookup could not be had or read (not: found nothing); the window shows the
    // message without stopping the user.
    void lookupFailed(const QString& message);
    // A web lookup ended (for tests and the busy cursor).
    void lookupFinished();

  private:
    QString LastNodeText() const;
    void SetLastNodeText(const QString& text);
    void ShowEncoded(const QString& encodedPath);
    void SetOutline(const QString& name, const QString& encodedPath);
    void DistrictAnswered(const QString& district);
    template <class Result, class Work, class Done>
    void Lookup(Work work, Done done);

    Services& services_;
    geodata_ui::ITextFileDialogs& textDialogs_;
    engine::TSettings& settings_;
    geodata::TBoundary& boundary_;
    std::filesystem::path cachePath_;

    std::vector<CityNode> nodes_;
    std::vector<int> childCount_;
    int selected_ = -1;

    QTimer tmrQueryDist_;
    std::chrono::steady_clock::time_point lastQuery_{};
    bool queried_ = false;
    int districtSerial_ = 0;

    QString encodedPath_;  // FEncodedPath, stored form
    QString outlineName_;
    std::vector<engine::TGLatLng> outlinePoints_;  // encodedPath_ as an area
    // The save dialog's choices, kept from one export to the next (KML first).
    int boundaryFilterIndex_ = 3;
    int boundaryEncodingIndex_ = 0;
    int pending_ = 0;
};

}  // namespace app
