#pragma once
// The main window built offscreen with fake services, its settings file and task folder in a
// temporary folder that is also the user's home and XDG folders (so the marker file, logs and
// caches go there too); the page is not loaded unless a test asks.
#include <QWebEngineProfile>
#include <memory>

#include <gtest/gtest.h>

#include "app/frame/main_form.h"
#include "app/support/fake_services.h"
#include "app/support/user_folders.h"
#include "engine/settings/settings.h"
#include "support/temp_dir.h"

namespace testmainwindow {

class MainFormFixture : public ::testing::Test {
  protected:
    ~MainFormFixture() override { window_.reset(); }

    engine::SettingsPaths Paths() const {
        return {dir_ / "config/Vantorel/settings.ini", dir_ / "MapDownload",
                dir_ / "cache/Vantorel/Cache", dir_ / "cache/Vantorel/CefCache"};
    }
    engine::TSettings& Settings() {
        if (!settings_)
            settings_ = std::make_unique<engine::TSettings>(Paths());
        return *settings_;
    }
    app::MainFormOptions Options(bool withFakePage = true) {
        app::MainFormOptions options;
        options.services = {&fakes_.messages,
                            &fakes_.fileDialogs,
                            &fakes_.opener,
                            &fakes_.clock,
                            &fakes_.processExit,
                            &fakes_.powerOff,
                            withFakePage ? &fakes_.page : nullptr};
        options.profilesFolder = dir_ / "Profiles";
        options.loadPage = false;
        options.backgroundWork = false;
        return options;
    }
    app::TfrmMain& Window() {
        if (!window_)
            window_ = std::make_unique<app::TfrmMain>(Settings(), profile_, Options());
        return *window_;
    }
    template <typename T>
    T* Find(const char* name) {
        return Window().findChild<T*>(QString::fromLatin1(name));
    }

    testsupport::TempDir dir_;
    TempUserFolders user_{dir_.path()};
    FakeServices fakes_;
    QWebEngineProfile profile_;  // off the record
    std::unique_ptr<engine::TSettings> settings_;
    std::unique_ptr<app::TfrmMain> window_;
};

}  // namespace testmainwindow
