#include "main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <array>

#include "app/download/download_controller.h"
#include "app/download/download_task_store.h"
#include "app/download/download_texts.h"
#include "app/download/tile_bounds.h"
#include "app/download/tile_version_update.h"
#include "app/layers/layer_controller.h"
#include "app/menus/menu_controller.h"
#include "app/menus/menu_item_mirror.h"
#include "app/page/map_web_page.h"
#include "app/page/map_web_view.h"
#include "app/page/page_host.h"
#include "app/services/exception_log.h"
#include "app/services/page_wait.h"
#include "app/services/services.h"
#include "app/stitch/stitch_hand_over.h"
#include "app/stitch/stitch_relay.h"
#include "app/taskbar/launcher_entry.h"
#include "app/taskbar/taskbar_progress.h"
#include "app/tasks/task_controller.h"
#include "app/widgets/progress_bar_ex.h"
#include "attach_context.h"
#include "attach_download.h"
#include "attach_gps.h"
#include "attach_layers.h"
#include "attach_markers.h"
#include "attach_menus.h"
#include "attach_places.h"
#include "attach_poi.h"
#include "attach_raster.h"
#include "attach_tasks.h"
#include "attach_tools.h"
#include "close_controller.h"
#include "engine/core/catalogue.h"
#include "engine/settings/settings.h"
#include "engine/settings/settings_paths.h"
#include "engine/tasks/profiles.h"
#include "geodata/boundary/boundary_store.h"
#include "map_events.h"
#include "real_services.h"
#include "startup_settings.h"
#include "ui_main_form.h"

namespace app {

struct TfrmMain::Impl {
    explicit Impl(engine::TSettings& s) : settings(s) {}

    Ui::TfrmMain ui;
    engine::TSettings& settings;
    std::unique_ptr<TChromium> crm;
    QWebEngineView* view = nullptr;
    MapEvents* events = nullptr;

    DialogMessages realMessages;
    std::unique_ptr<QtFileDialogs> realFileDialogs;
    DesktopOpener realOpener;
    SystemClock realClock;
    ImmediateExit realExit;
    std::unique_ptr<CountdownPowerOff> realPowerOff;
    std::unique_ptr<ChromiumPage> realPage;
    std::unique_ptr<PageWait> pageWait;
    std::unique_ptr<Services> services;
    std::unique_ptr<CloseController> close;
    std::unique_ptr<TfspTaskbarMgr> taskbar;
    StitchHandOverRelay stitch;
    std::unique_ptr<FunctionTaskStore> taskStore;
    std::unique_ptr<DownloadController> download;
    std::unique_ptr<LayerController> layers;
    std::unique_ptr<TaskController> tasks;
    std::unique_ptr<TileVersionUpdate> versionUpdate;

    TProgressBar* progressBar = nullptr;
    std::array<QLabel*, 5> statusPanels{};
    std::filesystem::path profilesFolder;
    bool loadPage = true;
    bool initialized = false;
};

TfrmMain::TfrmMain(engine::TSettings& settings, QWebEngineProfile& profile, MainFormOptions options,
                   QWidget* parent)
    : QMainWindow(parent), d_(std::make_unique<Impl>(settings)) {
    d_->initialized = false;
    d_->loadPage = options.loadPage;
    d_->profilesFolder = options.profilesFolder;
    if (d_->profilesFolder.empty()) {
        // The same documents folder as the marker file's.
        d_->profilesFolder = engine::DocumentsFolderFromEnvironment() / "Vantorel" / "Profiles";
    }
    d_->ui.setupUi(this);
    CreatePageHost(profile);
    CreateServices(options.services);
    BuildStatusBar();
    MirrorMenuItem(d_->ui.mniCoordGrid, d_->ui.actCoordGrid);
    MirrorMenuItem(d_->ui.mniFullView, d_->ui.actFullView);
    MirrorMenuItem(d_->ui.mniOfflineMode, d_->ui.actOfflineMode);
    connect(d_->ui.actExit, &QAction::triggered, this, &QWidget::close);
    // Buttons that carry an action take its caption and enabled state.
    const std::pair<QToolButton*, QAction*> carried[] = {
        {d_->ui.btnDownload, d_->ui.actDownLoadStart},
        {d_->ui.btnPause, d_->ui.actDownLoadPause},
        {d_->ui.btnStop, d_->ui.actDownLoadStop},
        {d_->ui.btnDownloadSettings, d_->ui.actDownloadSettings},
        {d_->ui.btnProfileSave, d_->ui.actProfileSave},
        {d_->ui.btnProfileLoad, d_->ui.actProfileLoad},
        {d_->ui.btnProfileDelete, d_->ui.actProfileDelete},
    };
    for (const auto& [button, action] : carried) {
        button->setDefaultAction(action);
    }

    settings.SetStrSetting(engine::StrSetting::MainExeName,
                           QCoreApplication::applicationFilePath().toStdString());
    if (options.backgroundWork && settings.GetBoolSetting(engine::BoolSetting::AutoUpdateTileVer)) {
        d_->versionUpdate = std::make_unique<TileVersionUpdate>(*this, settings, [this] {
            if (d_->download)
                d_->download->UrlSettingsChanged();
        });
        d_->versionUpdate->Start();
    }
    setWindowTitle(AppTitle());
    d_->ui.actBigFontMode->setEnabled(false);
    ApplyStartupSettings();
    CreateControllers();
    AttachFeatures();
    ShowStartupState();
    d_->initialized = true;
}

// The page goes with the view before the host lets go of its files.
TfrmMain::~TfrmMain() = default;

TChromium& TfrmMain::crm() {
    return *d_->crm;
}

QWebEngineView* TfrmMain::MapView() const {
    return d_->view;
}

MapEvents& TfrmMain::Events() {
    return *d_->events;
}

Services& TfrmMain::AppServices() {
    return *d_->services;
}

bool TfrmMain::Initialized() const {
    return d_->initialized;
}

void TfrmMain::CreatePageHost(QWebEngineProfile& profile) {
    d_->crm = std::make_unique<TChromium>();
    d_->view = new MapWebView(d_->ui.pnlMain);
    d_->view->setObjectName(QStringLiteral("crm"));
    d_->view->setContextMenuPolicy(Qt::NoContextMenu);  // crmBeforeMenu
    d_->view->setPage(new MapWebPage(&profile, d_->view));
    d_->ui.pnlMain->layout()->addWidget(d_->view);
    d_->crm->SetPage(d_->view->page());
    d_->events = new MapEvents(this);
    d_->events->setObjectName(QStringLiteral("MapEvents"));
    d_->events->ConnectTo(d_->crm->JsProcessor());
}

void TfrmMain::CreateServices(const ServiceOverrides& o) {
    d_->realFileDialogs = std::make_unique<QtFileDialogs>(this);
    d_->realPowerOff = std::make_unique<CountdownPowerOff>(this);
    d_->realPage = std::make_unique<ChromiumPage>(*d_->crm, d_->settings);
    IMapPage& page = o.page ? *o.page : *d_->realPage;
    d_->pageWait = std::make_unique<PageWait>(page);
    d_->services = std::make_unique<Services>(Services{
        o.messages ? *o.messages : d_->realMessages,
        o.fileDialogs ? *o.fileDialogs : *d_->realFileDialogs,
        o.opener ? *o.opener : d_->realOpener,
        o.clock ? *o.clock : d_->realClock,
        o.processExit ? *o.processExit : d_->realExit,
        o.powerOff ? *o.powerOff : *d_->realPowerOff,
        page,
        *d_->pageWait,
    });
    CloseController::Hooks hooks;
    hooks.mapType = [this] { return d_->services->page.MapType(); };
    hooks.downloadStatus = [this] {
        return d_->download ? d_->download->Status() : engine::TDownloadStatus::dsStopped;
    };
    hooks.zoomLevels = [this] {
        return d_->layers ? d_->layers->ZoomLevels() : engine::TZoomLevelArray{};
    };
    hooks.deletePageFiles = [this] { d_->crm->DeleteMapAPIFile(true); };
    hooks.releasePageCache = [this] {
        TChromium::ReleaseBrowserCache(d_->view->page()->profile());
    };
    d_->close = std::make_unique<CloseController>(d_->settings, *d_->services, std::move(hooks));
}

// Panels 0 to 4: state, counters, the progress bar's place, zoom text, mouse position.
void TfrmMain::BuildStatusBar() {
    QStatusBar* bar = d_->ui.StatusBar;
    // Wide enough for the longest texts in the window's font (the zoom text of level 0, the
    // mouse text of a far south-western point) and for the counters of an hour-long task of
    // up to a million tiles; the counter panel widens for longer ones (SetStatusPanelText).
    const QFontMetrics metrics(bar->font());
    const int pad = 12;
    const QString counters =
        ProgressPanelText(3599000, 999999, 9999, 999999, 1023 << 20, 1023 << 10, 999);
    const std::array<int, 5> widths{
        80, metrics.horizontalAdvance(counters) + pad, 0,
        metrics.horizontalAdvance(
            QStringLiteral("地图级别:21 比例尺:1/591657527 分辨率:156543.0米/像素 ")) +
            pad,
        metrics.horizontalAdvance(QStringLiteral("经纬度:-179.00000,-89.00000")) + pad};
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        if (widths[i] > 0) {
            label->setFixedWidth(widths[i]);
        }
        d_->statusPanels[i] = label;
    }
    d_->statusPanels[0]->setText(QStringLiteral("就绪.."));
    d_->statusPanels[3]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* slot = new QHBoxLayout(d_->statusPanels[2]);
    slot->setContentsMargins(0, 2, 0, 2);
    d_->progressBar = new TProgressBar(d_->statusPanels[2]);
    d_->progressBar->setObjectName(QStringLiteral("FProgressBar"));
    d_->progressBar->hide();
    slot->addWidget(d_->progressBar);
    bar->addWidget(d_->statusPanels[0]);
    bar->addWidget(d_->statusPanels[1]);
    bar->addWidget(d_->statusPanels[2], 1);
    bar->addPermanentWidget(d_->statusPanels[3]);
    bar->addPermanentWidget(d_->statusPanels[4]);
}

void TfrmMain::ApplyStartupSettings() {
    Ui::TfrmMain& ui = d_->ui;
    engine::TSettings& settings = d_->settings;
    for (int level = 0; level < engine::kZoomLevelCount; ++level) {
        auto* item = new QListWidgetItem(QString::number(level), ui.chkZoomLevels);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(Qt::Unchecked);
    }
    ui.chkZoomLevels->setGridSize(QSize(39, 22));
    ui.chkZoomLevels->setFixedHeight(4 * 22 + 2 * ui.chkZoomLevels->frameWidth());
    ui.edtTileOutPutDir->setText(
        QString::fromStdString(settings.GetStrSetting(engine::StrSetting::OutPutDirectory)));
    ui.actOfflineMode->setChecked(settings.GetBoolSetting(engine::BoolSetting::OfflineMode));
    ui.actCoordGrid->setChecked(settings.GetBoolSetting(engine::BoolSetting::ShowCoordGrid));
    ui.actBigFontMode->setChecked(settings.GetBoolSetting(engine::BoolSetting::BigFontMode));
    const bool poi = settings.GetBoolSetting(engine::BoolSetting::ShowPOISearchBar);
    ui.pnlPOI->setVisible(poi);
    ui.actPOISearch->setChecked(poi);
    d_->crm->SetMapType(StartupMapType(settings));
    d_->services->page.SetMapType(d_->crm->MapType());
    if (d_->loadPage && d_->crm->InitMaps()) {
        try {
            d_->crm->LoadMaps(settings);
        } catch (const std::exception& error) {
            Log(QStringLiteral("map page: ") + QString::fromUtf8(error.what()));
        }
    }
}

// "Vantorel " and the major and minor version.
QString TfrmMain::AppTitle() {
    return QStringLiteral("Vantorel %1.%2").arg(VANTOREL_VERSION_MAJOR).arg(VANTOREL_VERSION_MINOR);
}

// The download control, the task actions and the layer switch call each other through
// these hooks; every other feature creates its own controller in its attach call.
void TfrmMain::CreateControllers() {
    Impl& d = *d_;
    d.taskbar = std::make_unique<TfspTaskbarMgr>(d.loadPage ? CreateTaskbarBackend() : nullptr);
    d.taskbar->SetActive(true);
    d.taskStore = std::make_unique<FunctionTaskStore>(
        [&d]() -> std::optional<TaskSaved> {
            const auto saved = d.tasks->Save();
            if (!saved) {
                return std::nullopt;
            }
            return TaskSaved{saved->fileName, saved->name};
        },
        [&d](const engine::TTileBounds& bounds) { d.tasks->SaveTileBounds(bounds); });
    // A child of the window, so that its task timer is found by name with the widgets.
    d.download = std::make_unique<DownloadController>(d.settings, *d.services, *d.taskbar,
                                                      *d.taskStore, d.stitch, this);
    LayerController::Hooks layerHooks;
    layerHooks.setArea = [&d](std::vector<engine::TGLatLng> latLngs, QString coordinates,
                              int count) {
        d.download->SetArea(std::move(latLngs), std::move(coordinates), count);
    };
    layerHooks.calculateStart = [&d] { d.download->CalculateStart(); };
    layerHooks.taskArea = [&d] {
        const engine::TProfiles& task = d.tasks->Profiles();
        return task.Name().empty() ? std::vector<engine::TGLatLng>{}
                                   : geodata::TBoundary::StrToArray(task.Coordinates());
    };
    d.layers = std::make_unique<LayerController>(d.settings, *d.services, std::move(layerHooks));
    d.layers->SetAppTitle(AppTitle());

    TaskController::Hooks taskHooks;
    taskHooks.taskActive = [&d] { return d.download->TaskActive(); };
    taskHooks.coordinates = [&d] { return d.download->Coordinates(); };
    taskHooks.zoomLevels = [&d] { return d.layers->ZoomLevels(); };
    taskHooks.tileSize = [&d] {
        return GetTileSize(d.services->page.MapType(),
                           d.settings.GetBoolSetting(engine::BoolSetting::BigFontMode));
    };
    taskHooks.setArea = [&d](const QString& coordinates) {
        auto latLngs = geodata::TBoundary::StrToArray(coordinates.toStdString());
        const int count = static_cast<int>(latLngs.size());
        d.download->SetArea(std::move(latLngs), coordinates, count);
    };
    taskHooks.setZoomLevels = [&d](const engine::TZoomLevelArray& levels) {
        d.layers->SetZoomLevels(levels);
        d.layers->UpdateZoomLevelRange(d.services->page.MapType());
    };
    taskHooks.calculateStart = [&d] { d.download->CalculateStart(); };
    taskHooks.switchLayer = [&d](engine::TMapType mapType) { d.layers->SwitchTo(mapType); };
    d.tasks = std::make_unique<TaskController>(
        d.settings, *d.services, std::make_unique<engine::TProfiles>(d.profilesFolder),
        std::move(taskHooks));
    connect(d.download.get(), &DownloadController::stateChanged, d.tasks.get(),
            &TaskController::stateChanged);
    // A reload's redraw of the area keeps the typed task name.
    connect(d.tasks.get(), &TaskController::areaRedrawn, d.layers.get(),
            &LayerController::ExpectRedraw);
    // One selection: what a recount took from the list is what a save and the close store.
    connect(d.download.get(), &DownloadController::zoomLevelsChanged, d.layers.get(),
            [&d](const engine::TZoomLevelArray& levels) { d.layers->SetZoomLevels(levels); });
}

// One line per feature; each attach file wires its controller to the widgets it names.
void TfrmMain::AttachFeatures() {
    Impl& d = *d_;
    Ui::TfrmMain& ui = d.ui;
    const auto urlSettingsChanged = [&d] { d.download->UrlSettingsChanged(); };
    const FrameContext frame{*this,  *d.services, d.settings, *d.events,
                             *d.crm, *d.close,    d.stitch,   urlSettingsChanged};
    AttachLayers({ui.mniLayerMenu, ui.chkZoomLevels, ui.cbbProfile, d.statusPanels[3],
                  d.statusPanels[4], d.view},
                 *d.layers, frame);
    AttachTasks({ui.cbbProfile, ui.edtTileOutPutDir, ui.btnChangeTilesDir, ui.btnOpenMapsDir,
                 ui.actProfileSave, ui.actProfileLoad, ui.actProfileDelete, ui.actChangeTilesDir,
                 ui.actOpenOutPutDir},
                *d.tasks, frame);
    AttachDownload({ui.actDownLoadStart, ui.actDownLoadPause, ui.actDownLoadStop,
                    ui.actDownloadSettings, ui.btnDownload, ui.pnlDownLoad, ui.chkZoomLevels,
                    ui.lblTileCount, d.progressBar, d.statusPanels[0], d.statusPanels[1]},
                   *d.download, frame);
    QWidget* gpsPanel = AttachGps({ui.actGPSNavigation, ui.pnlMain}, frame);
    const PlacesParts places = AttachPlaces(
        {ui.pnlChinaCity, ui.pnlCoordinates, d.view, ui.cbbProfile, ui.actExportBoundary,
         [&d] { return d.download->Coordinates(); }, ui.StatusBar, gpsPanel},
        *d.layers, *d.tasks, frame);
    // The area texts of a layer's view and of a loaded task go into the coordinate box.
    connect(d.layers.get(), &LayerController::coordinatesTextShown, places.coordinatesBox,
            &QPlainTextEdit::setPlainText);
    connect(d.tasks.get(), &TaskController::coordinatesTextShown, places.coordinatesBox,
            &QPlainTextEdit::setPlainText);
    AttachPoi({ui.pnlPOI, ui.actPOISearch, ui.actclearShapeAndAreaMarker,
               [&d] { return d.download->Coordinates(); }, places.searchBox, places.locationBar},
              frame);
    AttachMarkers({ui.mniBookmarks, ui.actAddMarker, ui.actBookMarksManager, ui.pnlPOI}, frame);
    AttachTools({ui.actTransformCoord, ui.actIPLocation}, frame);
    MenuController* menus = AttachMenus({ui.mniStyle,
                                         ui.actViewLog,
                                         ui.actDeleteIECache,
                                         ui.actCoordGrid,
                                         ui.actOfflineMode,
                                         ui.actaddTrafficTileLayer,
                                         ui.actBigFontMode,
                                         ui.actStatusBar,
                                         ui.actRightPanel,
                                         ui.actFullView,
                                         ui.actclearShapeAndAreaMarker,
                                         ui.actStyledMapWizard,
                                         ui.actSettings,
                                         ui.actDownloadSettings,
                                         ui.actReadme,
                                         ui.actWhatsNew,
                                         ui.actHomePage,
                                         ui.actOfflineSolution,
                                         ui.actAbout,
                                         ui.actUserManual,
                                         ui.StatusBar,
                                         ui.pnlLeft},
                                        frame);
    // The grid, offline and log items follow the layer's page family and the task's log.
    connect(d.layers.get(), &LayerController::mapTypeChecked, menus,
            &MenuController::RefreshActionStates);
    connect(d.download.get(), &DownloadController::stateChanged, menus,
            &MenuController::RefreshActionStates);
    AttachRaster(
        {ui.actImageCombiner, ui.actGDALWarp}, d.profilesFolder,
        [&d] { return d.tasks->Profiles().FileName(); }, frame);
}

// Creation steps 16, 18 and 22: the task list, the stored level selection, the layer's
// menu mark, caption and levels.
void TfrmMain::ShowStartupState() {
    Impl& d = *d_;
    d.tasks->RefreshNames();
    d.layers->SetZoomLevels(engine::TProfiles::StrToZoomLevelArray(
        d.settings.GetStrSetting(engine::StrSetting::SelectedZoomLevels)));
    const engine::TMapType shown = d.services->page.MapType();
    d.layers->CheckMapTypeMenu(shown);
    d.layers->UpdateZoomLevelRange(shown);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (!d_->close->CloseQuery()) {
        event->ignore();
        return;
    }
    d_->close->Close();
    event->accept();
}

}  // namespace app
