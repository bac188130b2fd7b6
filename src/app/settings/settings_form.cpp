#include "settings_form.h"

#include "engine/core/catalogue.h"
#include "engine/core/utilities.h"
#include "engine/settings/settings.h"

namespace app {
namespace {

using engine::BoolSetting;
using engine::IntSetting;
using engine::StrSetting;

constexpr engine::TColor kRed = 0x0000FF;

static_assert(engine::IndexSettingRange(IntSetting::SettingIndex)->last == kSettingPageCount - 1);

QString Str(const engine::TSettings& s, StrSetting name) {
    return QString::fromStdString(s.GetStrSetting(name));
}

void SetStr(engine::TSettings& s, StrSetting name, const QString& value) {
    s.SetStrSetting(name, value.toStdString());
}

}  // namespace

QStringList NavigationItems() {
    return {QStringLiteral("   下载设置"), QStringLiteral("   代理设置"),
            QStringLiteral("   地图设置"), QStringLiteral("   界面设置"),
            QStringLiteral("   其他设置")};
}

QStringList TiandituSourceNames() {
    return {
        QStringLiteral("天地图·全国"), QStringLiteral("天地图·江苏"), QStringLiteral("天地图·浙江"),
        QStringLiteral("天地图·上海"), QStringLiteral("天地图·四川"), QStringLiteral("天地图·重庆"),
        QStringLiteral("天地图·山东"), QStringLiteral("天地图·吉林"), QStringLiteral("天地图·新疆"),
        QStringLiteral("天地图·陕西"), QStringLiteral("天地图·安徽")};
}

QStringList ProxyTypeNames() {
    return {QStringLiteral("不使用代理"), QStringLiteral("使用IE浏览器设置"),
            QStringLiteral("自定义代理")};
}

QStringList MapServerNames() {
    return {QStringLiteral("国内服务器：mt.google.cn"),
            QStringLiteral("美国服务器：mt.google.com")};
}

QStringList MapLanguageNameList() {
    QStringList names;
    for (std::string_view name : engine::MapLanguageNames) {
        names << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    }
    return names;
}

QStringList PrintDpiChoices() {
    return {QStringLiteral("72"), QStringLiteral("96"), QStringLiteral("120"),
            QStringLiteral("300")};
}

int PrintDpiFromText(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok && value > 0 ? value : 300;
}

QString NormalizedColor(const QString& stored) {
    const engine::TColor color = engine::HtmlToColor(stored.toStdString(), kRed);
    return QString::fromStdString(engine::ColorToHtml(color == engine::clNone ? kRed : color));
}

void SettingsForm::Load(const engine::TSettings& s) {
    tiandituIndex = s.GetIndexSetting(IntSetting::TiandituIndex);
    maxThread = kMaxThreadBounds.Clamp(s.GetIntSetting(IntSetting::MaxThread));
    failedTryTimes = kFailedTryTimesBounds.Clamp(s.GetIntSetting(IntSetting::FailedTryTimes));
    downloadDelay = kDelayBounds.Clamp(s.GetIntSetting(IntSetting::DownloadDelay));
    overWriteDownload = s.GetBoolSetting(BoolSetting::OverWriteDownload);
    downloadNoLabel = s.GetBoolSetting(BoolSetting::DownloadNoLabel);
    autoCombineImage = s.GetBoolSetting(BoolSetting::AutoCombineImage);
    forceShutDownWindows = s.GetBoolSetting(BoolSetting::ForceShutDownWindows);

    proxyType = s.GetIndexSetting(IntSetting::ProxyType);
    proxyHost = Str(s, StrSetting::ProxyHost);
    proxyPort = Str(s, StrSetting::ProxyPort);
    proxyUser = Str(s, StrSetting::ProxyUser);
    proxyPass = Str(s, StrSetting::ProxyPass);

    mapSeverIndex = s.GetIndexSetting(IntSetting::MapSeverIndex);
    // The last code equal to the stored one ignoring case wins ("eu" is listed twice).
    languageIndex = -1;
    const QString code = Str(s, StrSetting::MapLanguageCode);
    for (int i = 0; i < engine::kMapLanguageCount; ++i) {
        const std::string_view listed = engine::MapLanguageCodes[static_cast<size_t>(i)];
        if (code.compare(QLatin1String(listed.data(), static_cast<qsizetype>(listed.size())),
                         Qt::CaseInsensitive) == 0) {
            languageIndex = i;
        }
    }
    autoUpdateTileVer = s.GetBoolSetting(BoolSetting::AutoUpdateTileVer);
    roadMapTileVer = Str(s, StrSetting::RoadMapTileVer);
    satMapTileVer = Str(s, StrSetting::SatMapTileVer);
    bNormalUDT = Str(s, StrSetting::BNormalUDT);
    bSatelliteUDT = Str(s, StrSetting::BSatelliteUDT);
    showCopyright = s.GetBoolSetting(BoolSetting::ShowCopyright);
    showAreaLabel = s.GetBoolSetting(BoolSetting::ShowAreaLabel);
    showCurrentLocationBar = s.GetBoolSetting(BoolSetting::ShowCurrentLocationBar);
    polygonStrokeColor = NormalizedColor(Str(s, StrSetting::PolygonStrokeColor));
    polygonStrokeOpacity = kOpacityBounds.Clamp(s.GetIntSetting(IntSetting::PolygonStrokeOpacity));
    polygonStrokeWeight =
        kStrokeWeightBounds.Clamp(s.GetIntSetting(IntSetting::PolygonStrokeWeight));
    polygonFillColor = NormalizedColor(Str(s, StrSetting::PolygonFillColor));
    polygonFillOpacity = kOpacityBounds.Clamp(s.GetIntSetting(IntSetting::PolygonFillOpacity));

    stylesLoaded = false;
    styleName = Str(s, StrSetting::StyleName);

    baiduAK = Str(s, StrSetting::BaiduAK);
    autoCreatePOIMarker = s.GetBoolSetting(BoolSetting::AutoCreatePOIMarker);
    deleteCacheIfQuit = s.GetBoolSetting(BoolSetting::DeleteCacheIfQuit);
    printDpi =
        QString::number(PrintDpiFromText(QString::number(s.GetIntSetting(IntSetting::PrintDPI))));

    settingIndex = s.GetIndexSetting(IntSetting::SettingIndex);
}

QString SettingsForm::LanguageCode() const {
    if (languageIndex < 0 || languageIndex >= engine::kMapLanguageCount) {
        return {};
    }
    const std::string_view code = engine::MapLanguageCodes[static_cast<size_t>(languageIndex)];
    return QString::fromLatin1(code.data(), static_cast<qsizetype>(code.size()));
}

bool SettingsForm::MapPageNeedsReload(const engine::TSettings& s) const {
    if (Str(s, StrSetting::RoadMapTileVer) != roadMapTileVer) {
        return true;
    }
    if (Str(s, StrSetting::SatMapTileVer) != satMapTileVer) {
        return true;
    }
    if (s.GetBoolSetting(BoolSetting::AutoUpdateTileVer) != autoUpdateTileVer) {
        return true;
    }
    if (languageIndex >= 0 && Str(s, StrSetting::MapLanguageCode) != LanguageCode()) {
        return true;
    }
    if (s.GetIndexSetting(IntSetting::MapSeverIndex) != mapSeverIndex) {
        return true;
    }
    return s.GetBoolSetting(BoolSetting::ShowCopyright) != showCopyright;
}

void SettingsForm::ApplyTo(engine::TSettings& s) const {
    SetStr(s, StrSetting::ProxyHost, proxyHost);
    SetStr(s, StrSetting::ProxyPort, proxyPort);
    SetStr(s, StrSetting::ProxyUser, proxyUser);
    SetStr(s, StrSetting::ProxyPass, proxyPass);
    s.SetIntSetting(IntSetting::ProxyType, proxyType);
    s.SetIntSetting(IntSetting::MaxThread, kMaxThreadBounds.Clamp(maxThread));
    s.SetIntSetting(IntSetting::FailedTryTimes, kFailedTryTimesBounds.Clamp(failedTryTimes));
    s.SetIntSetting(IntSetting::DownloadDelay, kDelayBounds.Clamp(downloadDelay));
    s.SetBoolSetting(BoolSetting::OverWriteDownload, overWriteDownload);
    SetStr(s, StrSetting::RoadMapTileVer, roadMapTileVer);
    SetStr(s, StrSetting::SatMapTileVer, satMapTileVer);
    s.SetBoolSetting(BoolSetting::AutoUpdateTileVer, autoUpdateTileVer);
    if (languageIndex >= 0) {
        SetStr(s, StrSetting::MapLanguageCode, LanguageCode());
    }
    s.SetIntSetting(IntSetting::MapSeverIndex, mapSeverIndex);
    s.SetBoolSetting(BoolSetting::ShowCopyright, showCopyright);
    if (stylesLoaded) {
        SetStr(s, StrSetting::StyleName, styleName);
    }
    s.SetBoolSetting(BoolSetting::ForceShutDownWindows, forceShutDownWindows);
    s.SetBoolSetting(BoolSetting::DownloadNoLabel, downloadNoLabel);
    s.SetIntSetting(IntSetting::SettingIndex, settingIndex);
    s.SetBoolSetting(BoolSetting::AutoCombineImage, autoCombineImage);
    s.SetIntSetting(IntSetting::TiandituIndex, tiandituIndex);
    s.SetIntSetting(IntSetting::PrintDPI, PrintDpiFromText(printDpi));
    s.SetBoolSetting(BoolSetting::ShowAreaLabel, showAreaLabel);
    s.SetBoolSetting(BoolSetting::ShowCurrentLocationBar, showCurrentLocationBar);
    s.SetIntSetting(IntSetting::PolygonStrokeWeight,
                    kStrokeWeightBounds.Clamp(polygonStrokeWeight));
    s.SetIntSetting(IntSetting::PolygonStrokeOpacity, kOpacityBounds.Clamp(polygonStrokeOpacity));
    s.SetIntSetting(IntSetting::PolygonFillOpacity, kOpacityBounds.Clamp(polygonFillOpacity));
    SetStr(s, StrSetting::PolygonStrokeColor, NormalizedColor(polygonStrokeColor));
    SetStr(s, StrSetting::PolygonFillColor, NormalizedColor(polygonFillColor));
    SetStr(s, StrSetting::BaiduAK, baiduAK);
    s.SetBoolSetting(BoolSetting::AutoCreatePOIMarker, autoCreatePOIMarker);
    s.SetBoolSetting(BoolSetting::DeleteCacheIfQuit, deleteCacheIfQuit);
}

}  // namespace app
