#include "places_controller.h"

#include <QUrl>
#include <cmath>
#include <stdexcept>

#include "app/layers/baidu_layer_switch.h"
#include "app/layers/same_area.h"
#include "app/page/page_scripts.h"
#include "app/services/page_wait.h"
#include "app/tools/text_file_dialog.h"
#include "app/widgets/failure_message.h"
#include "district_text.h"
#include "engine/core/atomic_file.h"
#include "engine/core/catalogue.h"
#include "engine/core/datum.h"
#include "engine/core/number_format.h"
#include "engine/core/profile_name.h"
#include "engine/core/text_helpers.h"
#include "engine/log/logger.h"
#include "engine/settings/settings.h"
#include "geodata/boundary/boundary_store.h"
#include "geodata/polyline/polyline_codec.h"
#include "geodata/search/geocoder.h"
#include "off_ui_thread.h"

namespace app {
namespace {

constexpr auto kDistrictPause = std::chrono::seconds(3);

QString Fixed8(double value) {
    return QString::fromStdString(engine::FormatFixed(value, 8));
}

// Days since 30 December 1899, as the settings keep times.
double ToDateTime(const QDateTime& time) {
    const QDateTime origin(QDate(1899, 12, 30), QTime(0, 0));
    return static_cast<double>(origin.msecsTo(time)) / 86400000.0;
}

struct GeocodeResult {
    bool found = false;
    bool failed = false;  // the answer could not be had or read
    QString position;     // "lat,lng,zoom"
    QString address;
};

QStringList CoordTypeNames() {
    return {QStringLiteral("GPS坐标"), QStringLiteral("百度坐标 "), QStringLiteral("谷歌坐标")};
}

// Typed "lng,lat,..." text: at least two points, each on the globe. A point off it would make
// an area whose tile count is meaningless; text that is no number is left to the encoder.
bool TypedPointsInRange(const QString& text) {
    const QStringList values = text.split(QLatin1Char(','));
    if (values.size() < 4) {
        return false;
    }
    for (qsizetype i = 0; i + 1 < values.size(); i += 2) {
        bool lngOk = false;
        bool latOk = false;
        const double lng = values[i].toDouble(&lngOk);
        const double lat = values[i + 1].toDouble(&latOk);
        if ((lngOk && std::abs(lng) > 180.0) || (latOk && std::abs(lat) > 90.0)) {
            return false;
        }
    }
    return true;
}

}  // namespace

PlacesController::PlacesController(Services& services, geodata_ui::ITextFileDialogs& textDialogs,
                                   engine::TSettings& settings, geodata::TBoundary& boundary,
                                   std::filesystem::path cachePath, QObject* parent)
    : QObject(parent),
      services_(services),
      textDialogs_(textDialogs),
      settings_(settings),
      boundary_(boundary),
      cachePath_(std::move(cachePath)) {
    tmrQueryDist_.setObjectName(QStringLiteral("tmrQueryDist"));
    tmrQueryDist_.setInterval(500);
    connect(&tmrQueryDist_, &QTimer::timeout, this, &PlacesController::QueryDistTick);
}

template <class Result, class Work, class Done>
void PlacesController::Lookup(Work work, Done done) {
    ++pending_;
    RunOffUiThread<Result>(this, std::move(work), [this, done = std::move(done)](Result result) {
        --pending_;
        done(std::move(result));
        emit lookupFinished();
    });
}

QString PlacesController::LastNodeText() const {
    return QString::fromStdString(settings_.GetStrSetting(engine::StrSetting::LastNodeText));
}

void PlacesController::SetLastNodeText(const QString& text) {
    settings_.SetStrSetting(engine::StrSetting::LastNodeText, text.toStdString());
}

void PlacesController::LoadCityTree(const QByteArray& bytes) {
    nodes_ = ParseCityTree(bytes);
    childCount_.assign(nodes_.size(), 0);
    for (const auto& node : nodes_) {
        if (node.parent >= 0) {
            ++childCount_[static_cast<std::size_t>(node.parent)];
        }
    }
    // tvCityAddition: the last node whose text is LastNodeText ends up selected.
    const QString last = LastNodeText();
    int chosen = -1;
    if (!last.isEmpty()) {
        for (std::size_t i = 0; i < nodes_.size(); ++i) {
            if (nodes_[i].text.compare(last, Qt::CaseInsensitive) == 0) {
                chosen = static_cast<int>(i);
            }
        }
    }
    selected_ = -1;
    if (chosen >= 0) {
        SelectNode(chosen);
    }
}

bool PlacesController::HasChildren(int node) const {
    return node >= 0 && node < static_cast<int>(childCount_.size()) &&
           childCount_[static_cast<std::size_t>(node)] > 0;
}

int PlacesController::Image(int node) const {
    const auto& n = nodes_.at(static_cast<std::size_t>(node));
    return CityImage(n.text, n.parent >= 0, HasChildren(node));
}

void PlacesController::SelectNode(int node) {
    if (node < -1 || node >= static_cast<int>(nodes_.size())) {
        return;
    }
    selected_ = node;
    emit selectionChanged(node);
}

int PlacesController::FindCityNode(const QString& text) {
    if (text.isEmpty() || nodes_.empty()) {
        return -1;
    }
    const QString wanted = text.toUpper();
    const int count = static_cast<int>(nodes_.size());
    const int start = selected_ >= 0 ? selected_ + 1 : 1;
    for (int k = 0; k < count; ++k) {
        const int i = (start + k) % count;
        if (nodes_[static_cast<std::size_t>(i)].text.toUpper().contains(wanted)) {
            SelectNode(i);
            return i;
        }
    }
    return -1;
}

void PlacesController::CityClick() {
    if (selected_ < 0) {
        return;
    }
    const CityNode node = nodes_.at(static_cast<std::size_t>(selected_));
    if (node.level == 2 || node.level == 3) {
        emit regionChanged(node.text);
    }
    SetLastNodeText(node.text);

    if (services_.page.MapType() == engine::TMapType::mtBaidu3D) {
        for (std::size_t i = 0; i < engine::Baidu3DCities.size(); ++i) {
            const QString city =
                QString::fromUtf8(engine::Baidu3DCities[i].data(), engine::Baidu3DCities[i].size());
            if (node.text.contains(city)) {
                if (onSwitch3DCity) {
                    onSwitch3DCity(static_cast<int>(i));
                } else {
                    SwitchBaiduLayer(settings_, services_.pageWait, engine::TMapType::mtBaidu3D,
                                     static_cast<int>(i));
                }
                break;
            }
        }
        return;
    }

    SetOutline(node.text, QString::fromStdString(boundary_.GetLatLngs(node.text.toStdString())));
    if (!encodedPath_.isEmpty()) {
        ShowEncoded(encodedPath_);
        emit profileNameChanged(
            node.text + QString::fromStdString(engine::MakeProfileName(services_.page.MapType())));
        return;
    }
    Lookup<GeocodeResult>(
        [cache = cachePath_, address = node.text.toStdString()] {
            geodata::TGeocodeResponse response;
            GeocodeResult result;
            const geodata::LookupResult lookup = geodata::GeocodeAddress(cache, address, response);
            result.failed = lookup.Failed();
            if (lookup && response.Status == "OK") {
                result.found = true;
                result.position =
                    QString::fromStdString(engine::FormatFixed(response.location.lat, 8)) +
                    QLatin1Char(',') +
                    QString::fromStdString(engine::FormatFixed(response.location.lng, 8)) +
                    QStringLiteral(",5");
                result.address = QString::fromStdString(response.Formatted_address);
            }
            return result;
        },
        [this, name = node.text](GeocodeResult result) {
            if (result.found) {
                services_.page.RunScript(pagescript::AddMarker(result.position, result.address));
            } else if (result.failed) {
                emit lookupFailed(
                    QStringLiteral("“%1”的位置查询失败：无法读取地理编码服务的答复。").arg(name));
            }
        });
}

void PlacesController::LookupSelect(const TResponseData& value) {
    if (value.Title.empty()) {
        return;
    }
    const QString title = QString::fromStdString(value.Title);
    if (FindCityNode(title) >= 0) {
        CityClick();
    } else {
        FindCityNode(QString::fromStdString(value.City));
        services_.page.RunScript(
            pagescript::AddMarker(Fixed8(value.Location.Lat) + QLatin1Char(',') +
                                      Fixed8(value.Location.Lng) + QStringLiteral(",16"),
                                  title));
    }
    emit regionChanged(QString::fromStdString(value.City));
}

void PlacesController::RequestDistrictQuery() {
    if (!tmrQueryDist_.isActive()) {
        tmrQueryDist_.start();
    }
}

void PlacesController::QueryDistTick() {
    if (queried_ && services_.clock.Now() - lastQuery_ < kDistrictPause) {
        return;
    }
    tmrQueryDist_.stop();
    QueryDistThread();
}

void PlacesController::QueryDistThread() {
    if (!settings_.GetBoolSetting(engine::BoolSetting::ShowCurrentLocationBar)) {
        emit locationBarChanged(QString(), false);
        return;
    }
    const double lat = settings_.GetFloatSetting(engine::FloatSetting::Latitude);
    const double lng = settings_.GetFloatSetting(engine::FloatSetting::Longitude);
    const int serial = ++districtSerial_;
    if (engine::OutOfChina(lat, lng)) {
        emit regionChanged(QString());
        emit locationBarChanged(QString(), false);
        return;
    }
    struct DistrictAnswer {
        std::string district;
        bool failed = false;
    };
    Lookup<DistrictAnswer>(
        [cache = cachePath_, lat, lng] {
            DistrictAnswer answer;
            answer.failed = geodata::QueryDistrict(cache, lat, lng, answer.district).Failed();
            return answer;
        },
        [this, serial](DistrictAnswer answer) {
            // An answer for a centre the map has since left is not shown.
            if (serial != districtSerial_) {
                return;
            }
            if (answer.failed) {
                emit lookupFailed(QStringLiteral("当前位置查询失败：无法读取行政区服务的答复。"));
            }
            DistrictAnswered(QString::fromStdString(answer.district));
        });
}

void PlacesController::DistrictAnswered(const QString& district) {
    DistrictStep step;
    if (!ReadDistrictAnswer(district, settings_.GetIntSetting(engine::IntSetting::ZoomLevel),
                            step)) {
        // No district known here: the place search is no longer narrowed to the old one.
        emit regionChanged(QString());
        emit locationBarChanged(QString(), false);
        return;
    }
    emit regionChanged(step.region);
    if (!step.pathText.isEmpty()) {
        emit locationBarChanged(QStringLiteral("当前位置：") + step.pathText, true);
    } else {
        emit locationBarChanged(QString(), false);
    }
    const QString last = LastNodeText();
    if (last != step.subPlace && last != step.name) {
        const QString place = !step.subPlace.isEmpty() && step.subPlace != QStringLiteral("市区")
                                  ? step.subPlace
                                  : step.name;
        FindCityNode(place);
        SetLastNodeText(place);
        emit focusMap();
    }
    settings_.SetFloatSetting(engine::FloatSetting::QueryDistTime,
                              ToDateTime(services_.clock.CurrentDateTime()));
    lastQuery_ = services_.clock.Now();
    queried_ = true;
}

void PlacesController::ShowEncoded(const QString& encodedPath) {
    services_.page.RunScript(pagescript::ShowBoundary(
        QString::fromStdString(geodata::PlainEncodedText(encodedPath.toStdString()))));
}

void PlacesController::SetOutline(const QString& name, const QString& encodedPath) {
    outlineName_ = name;
    encodedPath_ = encodedPath;
    outlinePoints_ = geodata::TBoundary::OutlineArray(encodedPath.toStdString());
}

void PlacesController::AreaCompleted(const QString& results) {
    if (results.isEmpty() || encodedPath_.isEmpty()) {
        return;
    }
    const std::string area = QString(results).replace(u';', u',').toStdString();
    if (!SameArea(geodata::TBoundary::StrToArray(area), outlinePoints_)) {
        SetOutline(QString(), QString());
    }
}

void PlacesController::TaskAreaLoaded(const QString& coordinates) {
    std::string encoded;
    try {
        encoded = geodata::TBoundary::EncodePath(coordinates.toStdString());
    } catch (const std::exception& error) {
        engine::AppendLog("Task area cannot be read as an outline: " + std::string(error.what()));
        SetOutline(QString(), QString());
        return;
    }
    SetOutline(LastNodeText(), QString::fromStdString(encoded));
}

void PlacesController::GetPartitionDistrict() {
    GetPartitionDistrict(LastNodeText());
}

void PlacesController::GetPartitionDistrict(const QString& name) {
    struct DistrictsAnswer {
        geodata::TPartitionDistricts districts;
        bool failed = false;
    };
    Lookup<DistrictsAnswer>(
        [cache = cachePath_, text = name.toStdString()] {
            DistrictsAnswer answer;
            answer.failed =
                geodata::SearchPartitionDistricts(cache, text, answer.districts).Failed();
            return answer;
        },
        [this, name](DistrictsAnswer answer) {
            const geodata::TPartitionDistricts& districts = answer.districts;
            if (answer.failed) {
                emit lookupFailed(
                    QStringLiteral("“%1”的边界线查询失败：无法读取边界服务的答复。").arg(name));
                return;
            }
            if (districts.empty() || districts.front().coords.empty()) {
                return;
            }
            std::string encoded;
            try {
                encoded = geodata::TGPolyLine(0.00001).EncodePoints(districts.front().coords, true);
            } catch (const std::exception& error) {
                engine::AppendLog("District outline of " + name.toStdString() +
                                  " cannot be read: " + error.what());
                return;
            }
            // The outline keeps the name it was asked for, whatever the map shows later. That
            // place is also the one a new task is named after, as after a click on it.
            SetOutline(name, QString::fromStdString(encoded));
            SetLastNodeText(name);
            emit copyToClipboard(encodedPath_);
            ShowEncoded(encodedPath_);
        });
}

void PlacesController::SavePartitionDistrict() {
    if (!CanSavePartitionDistrict()) {
        return;
    }
    try {
        boundary_.Save(outlineName_.toStdString(), encodedPath_.toStdString());
    } catch (const std::exception& error) {
        services_.messages.ShowError(
            FailureMessage(QStringLiteral("“%1”的边界线未能保存。").arg(outlineName_), error));
    }
}

bool PlacesController::CanExportBoundary() const {
    return coordinates && !coordinates().isEmpty();
}

void PlacesController::ExportBoundary() {
    if (!CanExportBoundary()) {
        return;
    }
    const QString area = coordinates();
    geodata_ui::TextFileRequest request;
    if (selected_ >= 0) {
        const CityNode& node = nodes_.at(static_cast<std::size_t>(selected_));
        request.fileName = HasChildren(selected_) || node.parent < 0
                               ? node.text
                               : nodes_.at(static_cast<std::size_t>(node.parent)).text + node.text;
    }
    request.defaultExt = QStringLiteral("kml");
    request.filter = QStringLiteral(
        "Microsoft Excel (*.xls)|*.xls|文本文件(*.txt)|*.txt|Google Earth (*.kml)|*.kml|GeoJSON "
        "(*.json)|*.json");
    request.filterIndex = boundaryFilterIndex_;
    request.encodings = CoordTypeNames();
    request.encodingIndex = boundaryEncodingIndex_;
    const bool ok = textDialogs_.ExecuteSave(request);
    boundaryEncodingIndex_ = request.encodingIndex;
    if (!ok || request.fileName.isEmpty()) {
        return;
    }
    boundaryFilterIndex_ = request.filterIndex;
    const int type = std::clamp(request.encodingIndex, 0, 2);
    const std::filesystem::path file = request.fileName.toStdString();
    try {
        switch (request.filterIndex) {
            case 1:
            case 2: {
                emit copyToClipboard(
                    QString::fromStdString(geodata::TBoundary::EncodePath(area.toStdString())));
                const QString sep =
                    request.filterIndex == 1 ? QStringLiteral("\t") : QStringLiteral(",");
                const QStringList lines = BoundaryExportLines(area, type, sep);
                const std::string bytes = std::string(engine::kUtf8Bom) +
                                          lines.join(QStringLiteral("\r\n")).toStdString() + "\r\n";
                std::string error;
                if (!engine::WriteFileAtomic(file, bytes, &error)) {
                    throw std::runtime_error(error);
                }
                services_.opener.Open(QUrl::fromLocalFile(request.fileName));
                break;
            }
            case 3:
                geodata::TBoundary::SaveToFile(area.toStdString(), file,
                                               static_cast<engine::TCoordType>(type));
                break;
            case 4:
                geodata::TBoundary::DumpGeoJSON(area.toStdString(), file,
                                                static_cast<engine::TCoordType>(type));
                break;
            default:
                return;
        }
    } catch (const std::exception& error) {
        services_.messages.ShowError(
            FailureMessage(QStringLiteral("边界未能导出到“%1”。").arg(request.fileName), error));
        return;
    }
    settings_.SetIntSetting(engine::IntSetting::ExportBoundaryDlgFilterIndex, request.filterIndex);
}

void PlacesController::ShowBoundOnMap(const QString& text) {
    if (!CanShowBoundOnMap(text)) {
        return;
    }
    std::string encoded;
    try {
        if (!TypedPointsInRange(text)) {
            throw std::out_of_range("typed point outside the globe");
        }
        encoded = geodata::TGPolyLine(0.00001).EncodePointsEx(text.toStdString());
    } catch (const std::exception&) {
        services_.messages.ShowError(QStringLiteral("坐标格式不正确：") + text);
        return;
    }
    SetOutline(LastNodeText(), QString::fromStdString(encoded));
    ShowEncoded(encodedPath_);
}

void PlacesController::UseCurrentView() {
    services_.page.RunScript(pagescript::ShowCurrentView());
}

QString PlacesController::ShowBoundHelp() {
    services_.messages.ShowInfo(
        QStringLiteral(
            "请输入经纬度,经纬度之间用逗号隔开,至少两个点。\r\n\r\n三个以上点，可组成一个闭合的多"
            "边形,\r\n例如:110.56641,25.41847,109.93469,25.02091\r\n\r\n然后点击【显示范"
            "围】,就会在地图上显示输入坐标的范围。"),
        QStringLiteral("帮助"));
    return QStringLiteral("110.56641,25.41847,109.93469,25.02091");
}

}  // namespace app
