// Vantorel: starts the Qt application and shows the main window.
#include <cstdio>
#include <exception>

#include "app/frame/application.h"
#include "app/frame/main_form.h"
#include "app/frame/qt_translations.h"
#include "app/frame/webengine_setup.h"
#include "app/settings/skin_manager.h"
#include "engine/settings/app_settings.h"
#include "engine/settings/settings.h"

int main(int argc, char** argv) {
    app::PrepareWebEngineEnvironment();
    app::LoggingApplication app(argc, argv);
    app::InstallQtMessageLog();
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    // No display name: the X11 platform would append it to every window title ("... — Vantorel");
    // applicationDisplayName() then gives the application name where a caption needs it.
    QApplication::setDesktopFileName(QStringLiteral("vantorel"));
    app::InstallQtTranslations(app);

    int result = 1;
    try {
        engine::TSettings& settings = engine::CreateAppSettings(
            engine::SettingsPathsFor(engine::XdgBaseDirsFromEnvironment()));
        QWebEngineProfile* profile = app::CreateWebProfile(
            &app, QString::fromStdString(settings.GetStrSetting(engine::StrSetting::CefCachePath)));
        app::ApplyStartupSkin(settings);
        // A normal close ends the process from the window's close handler.
        app::TfrmMain window(settings, *profile);
        window.show();
        result = QApplication::exec();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vantorel: %s\n", error.what());
    }
    engine::DestroyAppSettings();
    return result;
}
