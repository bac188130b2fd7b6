#pragma once
// The main window over its real map page, with the loopback tile server behind the HTTP client:
// nothing the page or the downloader asks for leaves the machine.
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QWebEngineView>

#include "app/page/map_view_harness.h"
#include "app/support/dialog_driver.h"
#include "main_form_fixture.h"
#include "support/tile_server.h"

namespace testmainwindow {

class MainFormPageFixture : public MainFormFixture {
  protected:
    MainFormPageFixture() { profile_.setUrlRequestInterceptor(&router_); }
    ~MainFormPageFixture() override {
        window_.reset();
        profile_.setUrlRequestInterceptor(nullptr);
    }

    // Creates the window with its page from the settings as they stand and shows it; true
    // once the page's map is up.
    [[nodiscard]] bool ShowWindowWithPage() {
        auto options = Options(false);
        options.loadPage = true;
        window_ = std::make_unique<app::TfrmMain>(Settings(), profile_, options);
        window_->resize(1000, 700);
        window_->show();
        return WaitUntil([this] { return PageReady(); }, 60000);
    }
    bool PageReady() {
        return RunScript(*window_->MapView()->page(), "!!(window.zeb && zeb.map)").toBool();
    }

    // Two reloads of the page that the user starts: a new tile folder, and OK in the settings
    // dialog after a change of the tile server.
    void ChangeTileFolder() {
        fakes_.fileDialogs.nextFolder = QString::fromStdString((dir_ / "瓦片").string());
        Find<QAction>("actChangeTilesDir")->trigger();
    }
    void ChangeTileServerInSettings() {
        WhenModal([](QWidget& dialog) {
            auto* server = dialog.findChild<QComboBox*>("cbbServer");
            server->setCurrentIndex(1 - server->currentIndex());
            dialog.findChild<QPushButton*>("btnOk")->click();
        });
        Find<QAction>("actSettings")->trigger();
    }

    TileRouter router_;
    testsupport::TileServer server_;
    testsupport::ScopedRoute route_{server_};
};

}  // namespace testmainwindow
