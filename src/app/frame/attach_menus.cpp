#include "attach_menus.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QStatusBar>
#include <QWebEnginePage>
#include <memory>

#include "app/menus/menu_controller.h"
#include "app/page/page_host.h"
#include "app/services/services.h"
#include "app/settings/frm_settings.h"
#include "app/settings/installed_files.h"
#include "app/settings/skin_manager.h"
#include "app/styledmap/frm_styled_map_wizard.h"
#include "app/styledmap/styled_map_reload.h"
#include "app/widgets/tool_window.h"
#include "attach_context.h"
#include "engine/settings/settings.h"
#include "main_form.h"

namespace app {
namespace {

MenuController::Hooks ControllerHooks(const FrameContext& frame) {
    MenuController::Hooks hooks;
    QWidget* window = &frame.window;
    engine::TSettings* settings = &frame.settings;
    IDesktopOpener* opener = &frame.services.opener;
    hooks.showSettings = [window, settings, opener] {
        return TfrmSettings::ShowForm(*settings, SkinManager::Instance(), *opener, window);
    };
    hooks.settingsClosed = frame.urlSettingsChanged;
    hooks.styleNames = [] { return SkinManager::Instance().StyleNames(); };
    hooks.trySetStyle = [](const QString& name) {
        return SkinManager::Instance().TrySetStyle(name);
    };
    TChromium* crm = &frame.crm;
    hooks.deleteCaches = [crm, settings] {
        QWebEnginePage* page = crm->Page();
        TChromium::ClearCache(settings->GetStrSetting(engine::StrSetting::CachePath),
                              page ? page->profile() : nullptr);
    };
    hooks.dataFile = [](const QString& name) { return InstalledDataFile(name); };
    hooks.readme = [] { return InstalledReadme(); };
    hooks.programFile = [] { return QCoreApplication::applicationFilePath(); };
    hooks.initialized = [window] {
        const auto* main = qobject_cast<const TfrmMain*>(window);
        return main == nullptr || main->Initialized();
    };
    return hooks;
}

// BuildStyleMenu: one radio item per registered style, the stored one checked.
void BuildStyleMenu(QMenu* menu, MenuController& menus) {
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    const QString checked = menus.CheckedStyle();
    for (const QString& name : menus.StyleNames()) {
        QAction* item = menu->addAction(name);
        item->setObjectName(QStringLiteral("mniStyleItem%1").arg(menu->actions().size()));
        item->setCheckable(true);
        item->setChecked(name == checked);
        group->addAction(item);
        QObject::connect(item, &QAction::triggered, &menus,
                         [&menus, name] { menus.StyleMenuClick(name); });
    }
    QObject::connect(&menus, &MenuController::checkedStyleChanged, menu,
                     [menu](const QString& name) {
                         for (QAction* item : menu->actions()) {
                             item->setChecked(item->text() == name);
                         }
                     });
}

void AttachStyledMapWizard(const MenuWidgets& w, const FrameContext& frame, MenuController& menus) {
    QWidget* window = &frame.window;
    auto reload = std::make_shared<styledmap::StyledMapReload>(frame.settings, frame.services.page);
    auto wizard = std::make_shared<ToolWindow<styledmap::TfrmStyledMapWizard>>(
        [window, reload, &settings = frame.settings] {
            auto* form = new styledmap::TfrmStyledMapWizard(window);
            // The style the map has shown since the last run.
            form->ShowParams(
                QString::fromStdString(settings.GetStrSetting(engine::StrSetting::StyleParamsURL)));
            QObject::connect(form, &styledmap::TfrmStyledMapWizard::reloadGoogleMap, form,
                             [reload](const QString& params) { reload->ReloadGoogleMap(params); });
            return form;
        });
    w.actStyledMapWizard->setEnabled(true);
    QObject::connect(w.actStyledMapWizard, &QAction::triggered, &menus,
                     [wizard] { wizard->Show(); });
}

}  // namespace

MenuController* AttachMenus(const MenuWidgets& w, const FrameContext& frame) {
    auto* menus =
        new MenuController(frame.settings, frame.services, ControllerHooks(frame), &frame.window);
    menus->setObjectName(QStringLiteral("MenuController"));
    BuildStyleMenu(w.mniStyle, *menus);
    // The style-changed notice arrives after the switch has finished, as a posted message.
    QObject::connect(&SkinManager::Instance(), &SkinManager::styleChanged, menus,
                     &MenuController::StyleChanged, Qt::QueuedConnection);

    const auto connectAction = [menus](QAction* action, void (MenuController::*handler)()) {
        action->setEnabled(true);
        QObject::connect(action, &QAction::triggered, menus, handler);
    };
    connectAction(w.actDeleteIECache, &MenuController::DeleteCache);
    connectAction(w.actViewLog, &MenuController::ViewLog);
    connectAction(w.actFullView, &MenuController::FullView);
    connectAction(w.actclearShapeAndAreaMarker, &MenuController::ClearOverlays);
    connectAction(w.actSettings, &MenuController::Settings);
    connectAction(w.actReadme, &MenuController::Readme);
    connectAction(w.actWhatsNew, &MenuController::WhatsNew);
    connectAction(w.actHomePage, &MenuController::HomePage);
    connectAction(w.actOfflineSolution, &MenuController::OfflineSolution);
    connectAction(w.actAbout, &MenuController::About);
    connectAction(w.actUserManual, &MenuController::UserManual);
    // Off while a task runs: the download's own wiring takes it from here.
    w.actDownloadSettings->setEnabled(true);
    QObject::connect(w.actDownloadSettings, &QAction::triggered, menus,
                     &MenuController::DownloadSettings);

    const auto connectToggle = [menus](QAction* action, void (MenuController::*handler)(bool)) {
        action->setEnabled(true);
        QObject::connect(action, &QAction::triggered, menus, handler);
    };
    connectToggle(w.actCoordGrid, &MenuController::CoordGrid);
    connectToggle(w.actOfflineMode, &MenuController::OfflineMode);
    connectToggle(w.actaddTrafficTileLayer, &MenuController::TrafficLayer);
    // Every load of the map page, whatever started it (a layer family switch, the settings
    // dialog, a new tile folder, a style), starts without overlays: the page is given the
    // ones the marks show, and the big-font mark follows the page, which never loads it.
    QObject::connect(menus, &MenuController::bigFontModeChanged, w.actBigFontMode,
                     &QAction::setChecked);
    if (QWebEnginePage* page = frame.crm.Page()) {
        QObject::connect(page, &QWebEnginePage::loadFinished, menus, [menus](bool ok) {
            if (ok) {
                menus->PageLoaded();
            }
        });
    }

    w.actStatusBar->setEnabled(true);
    QObject::connect(w.actStatusBar, &QAction::toggled, w.StatusBar, &QWidget::setVisible);
    w.actRightPanel->setEnabled(true);
    QObject::connect(w.actRightPanel, &QAction::toggled, w.pnlLeft, &QWidget::setVisible);

    AttachStyledMapWizard(w, frame, *menus);

    QObject::connect(menus, &MenuController::actionStatesChanged, w.actCoordGrid,
                     [w](bool coordGridEnabled, bool viewLogEnabled) {
                         w.actCoordGrid->setEnabled(coordGridEnabled);
                         w.actOfflineMode->setEnabled(coordGridEnabled);
                         w.actViewLog->setEnabled(viewLogEnabled);
                     });
    QObject::connect(&frame.crm, &TChromium::pageReady, menus,
                     &MenuController::RefreshActionStates);
    for (QAction* action : {w.actCoordGrid, w.actOfflineMode, w.actViewLog}) {
        for (QObject* owner : action->associatedObjects()) {
            if (auto* menu = qobject_cast<QMenu*>(owner)) {
                QObject::connect(menu, &QMenu::aboutToShow, menus,
                                 &MenuController::RefreshActionStates, Qt::UniqueConnection);
            }
        }
    }
    menus->RefreshActionStates();
    return menus;
}

}  // namespace app
