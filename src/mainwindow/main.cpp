// Vantorel: starts the Qt application and shows the main window.
#include <cstdio>
#include <exception>

#include "engine/settings/app_settings.h"
#include "engine/settings/settings.h"
#include "mainwindow/app/application.h"
#include "mainwindow/app/main_form.h"
#include "mainwindow/app/qt_translations.h"
#include "mainwindow/app/webengine_setup.h"
#include "mainwindow/settings/skin_manager.h"

int main(int argc, char** argv) {
    mainwindow::PrepareWebEngineEnvironment();
    mainwindow::LoggingApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    // No display name: the X11 platform would append it to every window title ("... — Vantorel");
    // applicationDisplayName() then gives the application name where a caption needs it.
    QApplication::setDesktopFileName(QStringLiteral("vantorel"));
    mainwindow::InstallQtTranslations(app);

    int result = 1;
    try {
        engine::TSettings& settings = engine::CreateAppSettings(
            engine::SettingsPathsFor(engine::XdgBaseDirsFromEnvironment()));
        QWebEngineProfile* profile = mainwindow::CreateWebProfile(
            &app, QString::fromStdString(settings.GetStrSetting(engine::StrSetting::CefCachePath)));
        mainwindow::ApplyStartupSkin(settings);
        // A normal close ends the process from the window's close handler.
        mainwindow::TfrmMain window(settings, *profile);
        window.show();
        result = QApplication::exec();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vantorel: %s\n", error.what());
    }
    engine::DestroyAppSettings();
    return result;
}
