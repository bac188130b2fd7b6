#pragma once
// A packed map page shown in a real (offscreen) browser view and driven through the page host.
// Nothing the page asks for leaves the machine: local files pass, requests to the loopback
// address pass, and every other request is either sent on to a tile server of the test (as
// "/<host><path and query>", the form the loopback tile server reads) or blocked.
#include <QColor>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "app/page/page_host.h"
#include "app/page/script_text.h"
#include "engine/core/core_types.h"
#include "web_page_harness.h"

namespace testmainwindow {

class TileRouter final : public QWebEngineUrlRequestInterceptor {
  public:
    // Empty: block everything headed off the machine.
    void RouteTo(const QString& baseUrl) { base_ = baseUrl; }

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl url = info.requestUrl();
        const QString scheme = url.scheme();
        if (scheme == "file" || scheme == "qrc" || scheme == "data" || scheme == "blob") {
            return;
        }
        if (url.host() == "127.0.0.1") {
            return;
        }
        ++offMachine;
        if (base_.isEmpty() || (scheme != "http" && scheme != "https")) {
            ++blocked;
            info.block(true);
            return;
        }
        const QString query = url.hasQuery() ? u'?' + url.query(QUrl::FullyEncoded) : QString();
        info.redirect(QUrl(base_ + u'/' + url.host() + url.path(QUrl::FullyEncoded) + query));
    }

    std::atomic<int> offMachine{0};  // requests headed off the machine, routed or blocked
    std::atomic<int> blocked{0};

  private:
    QString base_;
};

class MapView {
  public:
    static constexpr int kWidth = 512;
    static constexpr int kHeight = 384;

    MapView() : page_(&profile_) {
        profile_.setUrlRequestInterceptor(&router_);
        // As the program's own profile: the local pages load their tiles from the web.
        profile_.settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls,
                                          true);
        view_.setPage(&page_);
        view_.resize(kWidth, kHeight);
        view_.show();  // on the offscreen platform: rendered, never on a desktop
        host_.SetPage(&page_);
    }
    ~MapView() {
        view_.setPage(nullptr);
        profile_.setUrlRequestInterceptor(nullptr);
    }
    MapView(const MapView&) = delete;
    MapView& operator=(const MapView&) = delete;

    // Rewrites the page's settings script through the host and loads the layer's page, with
    // the layer as the start layer.
    bool Load(engine::TMapType layer, app::PageSettings settings) {
        host_.SetMapType(layer);
        settings.MapTypeIndex = static_cast<int>(layer);
        if (!host_.InitMaps()) {
            ADD_FAILURE() << "no map pages in the resources";
            return false;
        }
        QSignalSpy finished(&page_, &QWebEnginePage::loadFinished);
        host_.LoadMaps(settings);
        if (!finished.wait(60000) || !finished.at(0).at(0).toBool()) {
            ADD_FAILURE() << "the map page did not load";
            return false;
        }
        // The page is usable once its map exists.
        if (!WaitUntil([this] { return Run("!!(window.zeb && zeb.map)").toBool(); }, 30000)) {
            ADD_FAILURE() << "the map page did not create its map";
            return false;
        }
        return true;
    }

    QVariant Run(const QString& script) { return RunScript(page_, script); }

    // Waits until every tile layer of the map has settled each of its tiles (shown, or given
    // up after its alternate image type failed too), as Leaflet itself counts them.
    bool WaitForTiles(int timeoutMs = 30000) {
        return WaitUntil(
            [this] {
                return Run("(function () { var n = 0, settled = true;"
                           " zeb.map.eachLayer(function (l) {"
                           "  if (!(l instanceof L.GridLayer)) return;"
                           "  for (var k in l._tiles) { ++n; if (!l._tiles[k].loaded) settled = "
                           "false; }"
                           " }); return n > 0 && settled; })()")
                    .toBool();
            },
            timeoutMs);
    }

    QImage Grab() { return view_.grab().toImage(); }

    // The middle of the first element that matches `selector`, in view pixels; nothing when
    // there is no such element or it takes no room.
    std::optional<QPoint> MiddleOf(const QString& selector) {
        const QVariantList at =
            Run(QStringLiteral("(function () { var e = document.querySelector(%1);"
                               " if (!e) return null; var r = e.getBoundingClientRect();"
                               " if (!r.width || !r.height) return null;"
                               " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
                    .arg(app::JsString(selector)))
                .toList();
        if (at.size() != 2) {
            return std::nullopt;
        }
        return QPoint(qRound(at[0].toDouble()), qRound(at[1].toDouble()));
    }

    // A left click on the middle of that element, as the user makes it; false when there is
    // nothing to click.
    bool Click(const QString& selector) {
        const auto spot = MiddleOf(selector);
        QWidget* input = view_.focusProxy();
        if (!spot || input == nullptr) {
            return false;
        }
        QTest::mouseMove(input, *spot);
        QTest::mouseClick(input, Qt::LeftButton, {}, *spot);
        return true;
    }

    // Waits until the view shows `expected` at (x, y), each channel within `tolerance`
    // (frames reach the view a little after the page has drawn them); `seen` gets the
    // colour last seen.
    bool WaitForPixel(int x, int y, const QColor& expected, int tolerance, QColor& seen,
                      int timeoutMs = 20000) {
        const auto near = [&] {
            const QImage image = Grab();
            if (image.isNull() || x >= image.width() || y >= image.height())
                return false;
            seen = image.pixelColor(x, y);
            return std::abs(seen.red() - expected.red()) <= tolerance &&
                   std::abs(seen.green() - expected.green()) <= tolerance &&
                   std::abs(seen.blue() - expected.blue()) <= tolerance;
        };
        return WaitUntil(near, timeoutMs);
    }

    TileRouter& Router() { return router_; }
    RecordingPage& Page() { return page_; }
    QWebEngineView& View() { return view_; }
    app::TChromium& Host() { return host_; }

  private:
    TileRouter router_;
    QWebEngineProfile profile_;  // off the record: nothing is kept between runs
    RecordingPage page_;
    QWebEngineView view_;
    app::TChromium host_;
};

inline std::string ColourText(const QColor& c) {
    return "rgb(" + std::to_string(c.red()) + ", " + std::to_string(c.green()) + ", " +
           std::to_string(c.blue()) + ")";
}

}  // namespace testmainwindow
