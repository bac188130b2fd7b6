#include "transform_coord_controller.h"

#include <cmath>
#include <cstdint>

#include "app/page/page_scripts.h"
#include "app/services/services.h"
#include "app/widgets/typed_number.h"
#include "engine/core/datum.h"
#include "engine/core/number_format.h"
#include "engine/core/tile_math.h"

namespace geodataui {
namespace {

QString Fixed(double value, int decimals) {
    return QString::fromStdString(engine::FormatFixed(value, decimals));
}

bool InRange(double lat, double lng) {
    return std::abs(lat) <= 90 && std::abs(lng) <= 180;
}

// An empty edit counts as 0; any other text must be a number.
std::optional<double> NumberOrZero(const QString& text, const QString& decimalPoint) {
    if (text.trimmed().isEmpty()) {
        return 0.0;
    }
    return app::ReadTypedNumber(text, decimalPoint);
}

std::optional<int> IntOrZero(const QString& text) {
    if (text.trimmed().isEmpty()) {
        return 0;
    }
    return app::ReadTypedInt(text);
}

std::optional<double> FromDms(const QString& degreeText, const QString& minuteText,
                              const QString& secondText, const QString& decimalPoint) {
    const auto degrees = IntOrZero(degreeText);
    const auto minutes = IntOrZero(minuteText);
    const auto seconds = NumberOrZero(secondText, decimalPoint);
    if (!degrees || !minutes || !seconds || std::abs(*minutes) >= 60 || std::abs(*seconds) >= 60) {
        return std::nullopt;
    }
    return engine::DMSToDegrees(*degrees, *minutes, *seconds);
}

void ToDms(double value, QString& degreeText, QString& minuteText, QString& secondText) {
    std::int32_t degrees = 0;
    std::int32_t minutes = 0;
    double seconds = 0;
    engine::DegreesToDMS(value, 4, degrees, minutes, seconds);
    degreeText = QString::number(degrees);
    minuteText = QString::number(minutes);
    secondText = Fixed(seconds, 4);
}

}  // namespace

TransformCoordController::TransformCoordController(app::IMapPage& page, app::IMessages& messages,
                                                   QString localeDecimalPoint)
    : page_(page), messages_(messages), decimalPoint_(std::move(localeDecimalPoint)) {}

QStringList TransformCoordController::ConvertTypes() {
    return {QStringLiteral("谷歌坐标 => GPS坐标"), QStringLiteral("GPS坐标  => 谷歌坐标"),
            QStringLiteral("百度坐标 => GPS坐标"), QStringLiteral("GPS坐标  => 百度坐标")};
}

QString TransformCoordController::HelpText() {
    return QStringLiteral(
        "【地球坐标】即WGS84坐标系统，是为GPS全球定位系统使用而建立的坐标系统。\n\n"
        "【火星坐标】指使用国家保密插件人为偏移后的坐标，这是我们的祖国又一个伟大的发明，\n"
        "据说是出于国家安全考虑，将我们看到的真实的坐标变成假的偏移了的坐标。\n\n"
        "国内的电子地图，如谷歌、必应、高德、腾讯soso等电子地图在国内发布的地图均采用火星坐标"
        "系统。\n"
        "而GPS终端所采集到的经纬度数据是地球坐标，如果要在电子地图上正确显示，必须转换成火星坐标"
        "。");
}

bool TransformCoordController::Locate(bool byDms, LocateFields& fields) {
    std::optional<double> lng;
    std::optional<double> lat;
    if (byDms) {
        lng = FromDms(fields.lngDegree, fields.lngMinute, fields.lngSecond, decimalPoint_);
        lat = FromDms(fields.latDegree, fields.latMinute, fields.latSecond, decimalPoint_);
    } else {
        lng = NumberOrZero(fields.lng, decimalPoint_);
        lat = NumberOrZero(fields.lat, decimalPoint_);
    }
    if (!lng || !lat || (*lng == 0 && *lat == 0) || !InRange(*lat, *lng)) {
        return false;
    }
    if (byDms) {
        fields.lng = Fixed(*lng, 6);
        fields.lat = Fixed(*lat, 6);
    } else {
        ToDms(*lng, fields.lngDegree, fields.lngMinute, fields.lngSecond);
        ToDms(*lat, fields.latDegree, fields.latMinute, fields.latSecond);
    }
    // The position is used as typed, without a datum shift.
    AddMarker(*lat, *lng);
    return true;
}

std::optional<QString> TransformCoordController::Convert(int typeIndex, const QString& lngText,
                                                         const QString& latText) {
    const auto lng = app::ReadTypedNumber(lngText, decimalPoint_);
    const auto lat = app::ReadTypedNumber(latText, decimalPoint_);
    if (!lng || !lat || !InRange(*lat, *lng) || typeIndex < 0 || typeIndex > 3) {
        return std::nullopt;
    }
    engine::TGLatLng point{*lat, *lng};
    switch (typeIndex) {
        case 0:
            point = engine::GCJ02ToWGS84(point);
            break;
        case 1:
            point = engine::WGS84ToGCJ02(point);
            break;
        case 2:
            point = engine::GCJ02ToWGS84(engine::BD09ToGCJ02LatLng(point));
            break;
        default:
            point = engine::GCJ02ToBD09LatLng(engine::WGS84ToGCJ02(point));
            break;
    }
    AddMarker(point.lat, point.lng);
    return Fixed(point.lng, 8) + u',' + Fixed(point.lat, 8);
}

void TransformCoordController::ShowHelp() {
    messages_.ShowInfo(HelpText(), QStringLiteral("帮助"));
}

void TransformCoordController::AddMarker(double lat, double lng) {
    const QString value =
        Fixed(lat, 8) + u',' + Fixed(lng, 8) + u',' + QString::number(kMarkerZoom);
    page_.RunScript(app::pagescript::AddMarker(value, QString()));
}

}  // namespace geodataui
