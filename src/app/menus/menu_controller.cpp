#include "menu_controller.h"

#include <QFileInfo>
#include <QUrl>
#include <filesystem>

#include "app/page/page_scripts.h"
#include "app/services/services.h"
#include "engine/core/utilities.h"
#include "engine/settings/settings.h"

namespace app {
namespace {

std::filesystem::path PathOf(const std::string& text) {
    return std::filesystem::path(text);
}

}  // namespace

MenuController::MenuController(engine::TSettings& settings, Services& services, Hooks hooks,
                               QObject* parent)
    : QObject(parent), settings_(settings), services_(services), hooks_(std::move(hooks)) {}

QStringList MenuController::StyleNames() const {
    return hooks_.styleNames ? hooks_.styleNames() : QStringList();
}

QString MenuController::CheckedStyle() const {
    return QString::fromStdString(settings_.GetStrSetting(engine::StrSetting::StyleName));
}

// StyleMenuClick: a name that cannot be applied leaves the current style; it is stored all
// the same. It is stored before the switch, so that the style-changed notice checks it.
void MenuController::StyleMenuClick(const QString& name) {
    emit checkedStyleChanged(name);
    settings_.SetStrSetting(engine::StrSetting::StyleName, name.toStdString());
    if (hooks_.trySetStyle) {
        hooks_.trySetStyle(name);
    }
}

// WM_STYLECHANGED: the page is drawn again in the new style, and the menu checks the stored
// name. The Baidu projection is computed natively here, so there is no helper page to reload.
void MenuController::StyleChanged() {
    if (hooks_.initialized && !hooks_.initialized()) {
        return;
    }
    services_.page.LoadMaps();
    emit checkedStyleChanged(CheckedStyle());
}

void MenuController::CoordGrid(bool checked) {
    services_.page.RunScript(pagescript::CoordGrid(checked));
    settings_.SetBoolSetting(engine::BoolSetting::ShowCoordGrid, checked);
}

bool MenuController::CoordGridEnabled() const {
    return !services_.page.IsBaiduMap();
}

void MenuController::OfflineMode(bool checked) {
    services_.page.RunScript(pagescript::OfflineMode(checked));
    settings_.SetBoolSetting(engine::BoolSetting::OfflineMode, checked);
}

void MenuController::TrafficLayer(bool shown) {
    trafficShown_ = shown;
    services_.page.RunScript(pagescript::TrafficLayer(shown));
}

void MenuController::PageLoaded() {
    if (trafficShown_) {
        services_.page.RunScript(pagescript::TrafficLayer(true));
    }
    if (settings_.GetBoolSetting(engine::BoolSetting::ShowCoordGrid) && CoordGridEnabled()) {
        services_.page.RunScript(pagescript::CoordGrid(true));
    }
    emit bigFontModeChanged(settings_.GetBoolSetting(engine::BoolSetting::BigFontMode));
}

void MenuController::FullView() {
    services_.page.RunScript(pagescript::FullView());
}

void MenuController::ClearOverlays() {
    services_.page.RunScript(pagescript::ClearAllOverlays());
}

void MenuController::Settings() {
    if (!hooks_.showSettings) {
        return;
    }
    const bool reload = hooks_.showSettings();
    if (hooks_.settingsClosed) {
        hooks_.settingsClosed();
    }
    if (reload) {
        services_.page.LoadMaps();
    }
}

// From the download panel the dialog always opens on its download page.
void MenuController::DownloadSettings() {
    settings_.SetIntSetting(engine::IntSetting::SettingIndex, 0);
    Settings();
}

// The wipe never touches the root, the home folder or a folder above it; such a setting is
// named to the user instead of being reported as done. The page engine empties its own
// cache, whatever its folder.
void MenuController::DeleteCache() {
    if (!services_.messages.AskYesNo(QStringLiteral("您确定要清空地图缓存文件吗？"))) {
        return;
    }
    QStringList refused;
    const std::string folder = settings_.GetStrSetting(engine::StrSetting::CachePath);
    if (engine::IsProtectedFolder(PathOf(folder))) {
        refused << (folder.empty() ? QStringLiteral("（空）") : QString::fromStdString(folder));
    }
    if (hooks_.deleteCaches) {
        hooks_.deleteCaches();
    }
    if (!refused.isEmpty()) {
        services_.messages.ShowWarning(QStringLiteral("以下缓存目录设置有误，没有清空：\n") +
                                       refused.join(QLatin1Char('\n')));
    }
}

bool MenuController::ViewLogEnabled() const {
    const std::string log = settings_.GetStrSetting(engine::StrSetting::LogFileName);
    return !log.empty() && QFileInfo(QString::fromStdString(log)).isFile();
}

void MenuController::RefreshActionStates() {
    emit actionStatesChanged(CoordGridEnabled(), ViewLogEnabled());
}

void MenuController::ViewLog() {
    if (ViewLogEnabled()) {
        OpenFile(QString::fromStdString(settings_.GetStrSetting(engine::StrSetting::LogFileName)));
    }
}

void MenuController::OpenFile(const QString& fileName) {
    services_.opener.Open(QUrl::fromLocalFile(fileName));
}

void MenuController::Readme() {
    OpenFile(hooks_.dataFile(QStringLiteral("readme.txt")));
}

void MenuController::WhatsNew() {
    OpenFile(hooks_.dataFile(QStringLiteral("whatsnew.txt")));
}

void MenuController::UserManual() {
    OpenFile(hooks_.dataFile(QStringLiteral("help/用户手册.pdf")));
}

void MenuController::HomePage() {
    OpenFile(hooks_.readme());
}

void MenuController::OfflineSolution() {
    OpenFile(hooks_.dataFile(QStringLiteral("help/offline.html")));
}

QString MenuController::AboutText() const {
    const QString version = QString::fromStdString(
        engine::FileVersionToStr(PathOf(hooks_.programFile().toStdString())));
    return QStringLiteral("Vantorel 地图瓦片下载器\n版本号：") + version +
           QStringLiteral("\n\n下载网络地图瓦片，拼接成图像或导出为瓦片数据库。");
}

void MenuController::About() {
    services_.messages.ShowInfo(AboutText(), QStringLiteral("关于"));
}

}  // namespace app
