#pragma once
// What the settings dialog edits, as plain values: loaded from the settings store, shown by the
// dialog's pages, collected back and written to the store. The rules (bounds, the page-reload
// decision, the order of the writes) live here so that they can be checked without a window.
#include <QString>
#include <QStringList>

namespace engine {
class TSettings;
}

namespace app {

// Bounds of a spin box: a typed value outside them is held within them.
struct SpinBounds {
    int minimum;
    int maximum;
    int step;
    int Clamp(int value) const {
        return value < minimum ? minimum : (value > maximum ? maximum : value);
    }
};

inline constexpr SpinBounds kMaxThreadBounds{1, 80, 5};
inline constexpr SpinBounds kFailedTryTimesBounds{0, 20, 1};
inline constexpr SpinBounds kDelayBounds{0, 20, 1};
inline constexpr SpinBounds kOpacityBounds{10, 100, 5};
inline constexpr SpinBounds kStrokeWeightBounds{1, 10, 1};

// The pages of the dialog, in the order of its navigation list.
inline constexpr int kSettingPageCount = 5;

// The fixed lists of the dialog.
QStringList NavigationItems();
QStringList TiandituSourceNames();
QStringList ProxyTypeNames();
QStringList MapServerNames();
QStringList MapLanguageNameList();
QStringList PrintDpiChoices();

// The stored print resolution for a typed text: its decimal value, 300 when it is no number or
// not above 0.
int PrintDpiFromText(const QString& text);

// The colour as the dialog shows and stores it: "#RRGGBB"; a text that cannot be read is red.
QString NormalizedColor(const QString& stored);

struct SettingsForm {
    // download page
    int tiandituIndex = 0;
    int maxThread = 20;
    int failedTryTimes = 10;
    int downloadDelay = 3;
    bool overWriteDownload = false;
    bool downloadNoLabel = false;
    bool autoCombineImage = false;
    bool forceShutDownWindows = false;
    // proxy page
    int proxyType = 0;
    QString proxyHost;
    QString proxyPort;
    QString proxyUser;
    QString proxyPass;
    // map page
    int mapSeverIndex = 0;
    int languageIndex = -1;  // -1: the stored code is none of the list's
    bool autoUpdateTileVer = true;
    QString roadMapTileVer;
    QString satMapTileVer;
    QString bNormalUDT;     // shown only
    QString bSatelliteUDT;  // shown only
    bool showCopyright = true;
    bool showAreaLabel = true;
    bool showCurrentLocationBar = true;
    QString polygonStrokeColor;
    int polygonStrokeOpacity = 75;
    int polygonStrokeWeight = 3;
    QString polygonFillColor;
    int polygonFillOpacity = 15;
    // style page: the selector's text once the page was shown, else empty
    bool stylesLoaded = false;
    QString styleName;
    // other settings page
    QString baiduAK;
    bool autoCreatePOIMarker = true;
    bool deleteCacheIfQuit = false;
    QString printDpi = QStringLiteral("300");
    // the page shown
    int settingIndex = 0;

    // Fills every field from the store. Stored indexes outside their lists read as 0 (logged);
    // spin values are held within their bounds.
    void Load(const engine::TSettings& settings);
    // True when one of the six settings that the map page is built from differs from the form:
    // the two Google tile versions, the automatic version update, the language code, the map
    // server and the copyright line. Evaluated before ApplyTo.
    bool MapPageNeedsReload(const engine::TSettings& settings) const;
    // Writes every edited setting straight to the store, in the dialog's order. The language is
    // kept as stored when the list has no selection; the style only once the style page was
    // shown.
    void ApplyTo(engine::TSettings& settings) const;
    // The code of the selected language; empty without a selection.
    QString LanguageCode() const;
};

}  // namespace app
