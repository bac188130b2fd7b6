#include "poi_controller.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>

#include "app/page/page_scripts.h"
#include "app/places/district_text.h"
#include "app/tools/text_file_dialog.h"
#include "app/widgets/failure_message.h"
#include "engine/core/datum.h"
#include "engine/download/installed_data.h"
#include "engine/settings/settings.h"
#include "geodata/boundary/boundary_store.h"
#include "geodata/export/poi_export.h"
#include "geodata/search/geocoder.h"
#include "geodata/search/poi_searcher.h"

namespace app {

struct PoiController::Page {
    std::vector<geodata::TPOIData> places;
    int total = 0;
    bool failed = false;  // no answer could be had or read, or the service reported a fault
};

namespace {

constexpr int kPageSize = 20;
constexpr int kLimitedPages = 5;
// Putting rows on the map yields to the event loop after row 0 and after every 50th row.
constexpr int kPlaceStep = 50;

// Layers whose Google tiles are not shifted, so places go there in WGS-84.
bool UnshiftedLayer(int layer) {
    return layer == 5 || layer == 16 || (layer >= 22 && layer <= 24) ||
           (layer >= 33 && layer <= 37);
}

}  // namespace

PoiController::PoiController(Services& services, geodata_ui::ITextFileDialogs& textDialogs,
                             engine::TSettings& settings, std::filesystem::path cachePath,
                             QObject* parent)
    : QObject(parent),
      services_(services),
      textDialogs_(textDialogs),
      settings_(settings),
      cachePath_(std::move(cachePath)) {
    iconFile = engine::InstalledDataFile("marker-icon.png");
}

PoiController::~PoiController() {
    // A worker still running stops at its next page.
    if (canceled_) {
        canceled_->store(true);
    }
}

void PoiController::Search(const QString& keyword, const QString& tag) {
    if (keyword.isEmpty() || searching_) {
        return;
    }
    const QString ownKey =
        QString::fromStdString(settings_.GetStrSetting(engine::StrSetting::BaiduAK));
    QString key = ownKey;
    bool limited = false;
    if (ownKey.isEmpty()) {
        key = QString::fromLatin1(kBuiltInBaiduKey);
        limited = true;
        services_.messages.ShowInfo(QStringLiteral(
            "请在菜单“工具”→“设置”→“其他设置”中填写“百度地图密钥”，否则每次最多只能搜索"
            "100条信息。"));
    } else {
        limited = ownKey.compare(QString::fromLatin1(kBuiltInBaiduKey), Qt::CaseInsensitive) == 0;
    }
    settings_.SetStrSetting(engine::StrSetting::POIKeyWord, keyword.toStdString());
    settings_.SetStrSetting(engine::StrSetting::POIQueryTag, tag.toStdString());

    geodata::TRequestParams params;
    params.Keyword = keyword.toStdString();
    params.PageSize = kPageSize;
    params.Tag = tag.toStdString();
    params.ak = key.toStdString();
    params.Key = params.ak;
    QString regionText = region ? region() : QString();
    regionText.replace(QStringLiteral("城区"), QStringLiteral("市"));
    params.Region = regionText.toStdString();
    // Without the location bar the region may be stale: the worker asks for the district first.
    const bool lookupDistrict = locationBarVisible && !locationBarVisible();
    const double lat = settings_.GetFloatSetting(engine::FloatSetting::Latitude);
    const double lng = settings_.GetFloatSetting(engine::FloatSetting::Longitude);
    const int zoom = settings_.GetIntSetting(engine::IntSetting::ZoomLevel);
    const QString area = coordinates ? coordinates() : QString();
    if (!area.isEmpty()) {
        // Four vertices make a rectangle; two corners stand for one as well.
        params.IsBound = geodata::TBoundary::StrToArray(area.toStdString()).size() == 4;
        double maxX = 0, minX = 0, maxY = 0, minY = 0;
        if (geodata::TBoundary::GetBounds(area.toStdString(), maxX, minX, maxY, minY)) {
            engine::TGLatLng sw{minY, minX};
            engine::TGLatLng ne{maxY, maxX};
            if (!services_.page.IsBaiduMap()) {
                sw = engine::GCJ02ToBD09LatLng(sw);
                ne = engine::GCJ02ToBD09LatLng(ne);
            }
            params.Bounds = geodata::FormatSearchBounds(sw.lat, sw.lng, ne.lat, ne.lng);
        }
    }
    exportName_ = regionText + keyword;

    StopPlacing();  // its rows are the list this search replaces
    searching_ = true;
    progress_ = 0;
    progressMax_ = 0;
    rows_.clear();
    failedPage_ = -1;
    emit rowsReset();
    emit progressChanged(0, 0);
    SetNotice(QString());
    emit searchStateChanged();

    const int serial = ++serial_;
    canceled_ = std::make_shared<std::atomic<bool>>(false);
    QPointer<PoiController> self(this);
    QThreadPool::globalInstance()->start([self, serial, params, limited, cache = cachePath_,
                                          canceled = canceled_, lookupDistrict, lat, lng, zoom,
                                          keyword]() mutable {
        auto post = [self](auto call) {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, call = std::move(call)]() mutable {
                    if (self) {
                        call(*self);
                    }
                },
                Qt::QueuedConnection);
        };
        if (lookupDistrict) {
            std::string district;
            DistrictStep step;
            if (!engine::OutOfChina(lat, lng) &&
                geodata::QueryDistrict(cache, lat, lng, district)) {
                ReadDistrictAnswer(QString::fromStdString(district), zoom, step);
            }
            QString found = step.region;
            found.replace(QStringLiteral("城区"), QStringLiteral("市"));
            params.Region = found.toStdString();
            post([serial, step, found, keyword](PoiController& c) {
                if (serial == c.serial_) {
                    c.exportName_ = found + keyword;
                    emit c.regionFound(step.region);
                }
            });
        }
        geodata::TPOISearcher searcher(cache);
        geodata::TResponse response;
        int requested = 0;
        do {
            params.PageIndex = requested;
            Page page;
            page.places = searcher.Get(params, response);
            page.failed = searcher.LastResult().Failed();
            ++requested;
            page.total = response.status == "0" ? response.total : -1;
            const bool failed = page.failed;
            post([serial, page = std::move(page)](PoiController& c) {
                c.PageArrived(serial, page);
            });
            // A service that fails is not asked for the remaining pages.
            if (failed || (limited && requested >= kLimitedPages)) {
                break;
            }
        } while (kPageSize * requested <= response.total && !canceled->load());
        post([serial, limited, total = response.total](PoiController& c) {
            c.SearchEnded(serial, limited, total);
        });
    });
}

void PoiController::PageArrived(int serial, const Page& page) {
    // Rows of an earlier search never mix with a newer one.
    if (serial != serial_) {
        return;
    }
    const int first = static_cast<int>(rows_.size());
    for (const auto& place : page.places) {
        if (canceled_->load()) {
            break;
        }
        rows_.push_back(place);
    }
    if (static_cast<int>(rows_.size()) > first) {
        emit rowsAdded(first, static_cast<int>(rows_.size()) - first);
    }
    if (page.total > 0) {
        progressMax_ = page.total / kPageSize;
    }
    if (page.failed && failedPage_ < 0) {
        failedPage_ = progress_;
    }
    ++progress_;
    emit progressChanged(progress_, progressMax_);
}

void PoiController::SearchEnded(int serial, bool limited, int total) {
    if (serial != serial_) {
        return;
    }
    title_ = QStringLiteral("POI下载 [") +
             QString::number(limited ? total : static_cast<int>(rows_.size())) + QLatin1Char(']');
    emit titleChanged(title_);
    const int listed = static_cast<int>(rows_.size());
    if (failedPage_ >= 0 && listed == 0) {
        SetNotice(QStringLiteral(
            "POI搜索失败：无法读取搜索服务的答复，请检查网络和百度地图密钥后再试。"));
    } else if (failedPage_ >= 0) {
        SetNotice(QStringLiteral("POI搜索未完成：第%1页无法读取，已列出%2条。")
                      .arg(failedPage_ + 1)
                      .arg(listed));
    } else if (listed == 0 && !canceled_->load()) {
        SetNotice(QStringLiteral("没有找到符合条件的地点。"));
    }
    searching_ = false;
    emit searchStateChanged();
    if (settings_.GetBoolSetting(engine::BoolSetting::AutoCreatePOIMarker)) {
        AllPOI2Map();
    }
}

void PoiController::SetNotice(const QString& notice) {
    if (notice != notice_) {
        notice_ = notice;
        emit noticeChanged(notice_);
    }
}

void PoiController::Cancel() {
    if (!searching_ || !services_.messages.AskYesNo(QStringLiteral("确定要取消搜索吗？"))) {
        return;
    }
    // The question's loop may have let the search end meanwhile.
    if (searching_ && canceled_) {
        canceled_->store(true);
        emit cancelHidden();
    }
}

engine::TGLatLng PoiController::PagePosition(const engine::TGLatLng& bd09) const {
    if (services_.page.IsBaiduMap()) {
        return bd09;
    }
    const engine::TGLatLng gcj = engine::BD09ToGCJ02LatLng(bd09);
    return UnshiftedLayer(static_cast<int>(services_.page.MapType())) ? engine::GCJ02ToWGS84(gcj)
                                                                      : gcj;
}

void PoiController::RowClick(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return;
    }
    const auto& place = rows_[static_cast<std::size_t>(row)];
    services_.page.RunScript(
        pagescript::AddNewMarker(row, PagePosition(place.location), place, true));
}

void PoiController::AllPOI2Map() {
    const int run = ++placeRun_;
    // A copy: nothing here may see rows that a new search replaces.
    auto places = std::make_shared<const std::vector<geodata::TPOIData>>(rows_);
    placing_ = true;
    emit placeProgress(0, static_cast<int>(places->size()));
    emit placingChanged();
    services_.page.RunScript(pagescript::ClearAllOverlays());
    PlaceFrom(run, std::move(places), 0);
}

void PoiController::PlaceFrom(int run, std::shared_ptr<const std::vector<geodata::TPOIData>> places,
                              int first) {
    const int count = static_cast<int>(places->size());
    int next = first;
    while (next < count) {
        // A page call may have let a new search or placement begin.
        if (run != placeRun_) {
            return;
        }
        const int row = next++;
        const auto& place = (*places)[static_cast<std::size_t>(row)];
        services_.page.RunScript(
            pagescript::AddNewMarker(row, PagePosition(place.location), place, false));
        emit placeProgress(next, count);
        if (row % kPlaceStep == 0) {
            break;
        }
    }
    if (run != placeRun_) {
        return;
    }
    if (next < count) {
        QTimer::singleShot(0, this, [this, run, places = std::move(places), next]() mutable {
            PlaceFrom(run, std::move(places), next);
        });
        return;
    }
    placing_ = false;
    emit placingChanged();
}

void PoiController::StopPlacing() {
    ++placeRun_;
    if (placing_) {
        placing_ = false;
        emit placingChanged();
    }
}

void PoiController::Export() {
    if (!CanExport()) {
        return;
    }
    geodata_ui::TextFileRequest request;
    request.defaultExt = QStringLiteral("kmz");
    request.filter = QStringLiteral("Google Earth (*.kmz)|*.kmz|Microsoft Excel (*.xls)|*.xls");
    request.filterIndex = exportFilterIndex_;
    request.fileName = exportName_;
    request.encodings = {QStringLiteral("GPS坐标"), QStringLiteral("百度坐标 "),
                         QStringLiteral("谷歌坐标")};
    request.encodingIndex = exportEncodingIndex_;
    const std::vector<geodata::TPOIData> places = rows_;
    const bool ok = textDialogs_.ExecuteSave(request);
    exportEncodingIndex_ = request.encodingIndex;
    if (!ok || request.fileName.isEmpty()) {
        return;
    }
    exportFilterIndex_ = request.filterIndex;
    const int kind = request.filterIndex - 1;
    try {
        geodata::ExportPOIs(
            request.fileName.toStdString(), kind, places,
            static_cast<engine::TCoordType>(std::clamp(request.encodingIndex, 0, 2)), iconFile);
    } catch (const std::exception& error) {
        services_.messages.ShowError(
            FailureMessage(QStringLiteral("信息点未能导出到“%1”。").arg(request.fileName), error));
        return;
    }
    if (kind == geodata::kExportXls) {
        services_.opener.Open(QUrl::fromLocalFile(request.fileName));
    }
}

int PoiController::MarkerRow(const QString& id) const {
    bool ok = false;
    const int row = id.toInt(&ok);
    return ok && row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

void PoiController::ClosePanel() {
    services_.messages.ShowInfo(QStringLiteral("关闭后，可在菜单“工具”→“POI下载”中重新打开。"));
    settings_.SetBoolSetting(engine::BoolSetting::ShowPOISearchBar, false);
    emit panelShownChanged(false);
}

void PoiController::SetPanelShown(bool shown) {
    settings_.SetBoolSetting(engine::BoolSetting::ShowPOISearchBar, shown);
    settings_.SetBoolSetting(engine::BoolSetting::ShowCurrentLocationBar, true);
    emit panelShownChanged(shown);
}

}  // namespace app
