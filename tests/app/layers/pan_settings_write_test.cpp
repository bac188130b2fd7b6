// A pan of the real Google-family page, dragged with the mouse over many frames: the centre is
// stored once the move has ended, not on every frame (each store rewrites the settings file).
#ifdef VANTOREL_HAS_PAGE_RESOURCES

#include <sys/inotify.h>
#include <unistd.h>

#include <QTest>
#include <array>
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "app/frame/map_events.h"
#include "app/frame/real_services.h"
#include "app/layers/layer_controller.h"
#include "app/page/map_view_harness.h"
#include "app/services/page_wait.h"
#include "app/settings/settings_store.h"
#include "app/support/fake_services.h"
#include "app/support/page_answer.h"
#include "engine/settings/settings.h"

namespace {

using testmainwindow::WaitUntil;

// Counts the times a file is replaced in its folder (each settings write renames a new copy
// over it).
class ReplacementCounter {
  public:
    explicit ReplacementCounter(const std::filesystem::path& file)
        : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), name_(file.filename().string()) {
        std::filesystem::create_directories(file.parent_path());
        if (fd_ >= 0)
            watch_ =
                inotify_add_watch(fd_, file.parent_path().c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
    }
    ~ReplacementCounter() {
        if (fd_ >= 0)
            close(fd_);
    }
    bool Watching() const { return watch_ >= 0; }
    int Count() {
        alignas(inotify_event) std::array<char, 8192> buffer{};
        for (;;) {
            const ssize_t n = read(fd_, buffer.data(), buffer.size());
            if (n <= 0)
                return count_;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
                if (event->len > 0 && name_ == event->name)
                    ++count_;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

  private:
    int fd_;
    int watch_ = -1;
    std::string name_;
    int count_ = 0;
};

// Twenty mouse moves a frame apart with the left button held, as a hand drags the map.
constexpr char kDrag[] = R"JS(
(function () {
  window.__moves = 0;
  window.__moveEnds = 0;
  zeb.map.on('move', function () { ++window.__moves; });
  zeb.map.on('moveend', function () { ++window.__moveEnds; });
  var el = zeb.map.getContainer();
  var box = el.getBoundingClientRect();
  var x = box.left + 200, y = box.top + 150;
  // Each event goes to the element under the pointer, as the browser's own would.
  function mouse(type) {
    document.elementFromPoint(x, y).dispatchEvent(new MouseEvent(type, { clientX: x, clientY: y, bubbles: true,
      cancelable: true, button: 0, buttons: type === 'mouseup' ? 0 : 1, view: window }));
  }
  mouse('mousedown');
  var step = 0;
  (function next() {
    if (step++ === 20) { mouse('mouseup'); window.__dragged = true; return; }
    x += 6; y += 4;
    mouse('mousemove');
    setTimeout(next, 20);
  })();
  return true;
})()
)JS";

TEST(PanSettingsWrites, APanStoresTheCentreOnceTheMoveHasEnded) {
    testmainwindow::TempSettings store;
    testmainwindow::MapView view;
    app::ChromiumPage page(view.Host(), store.settings);
    testmainwindow::FakeServices fake;
    app::PageWait pageWait(page);
    app::Services services{fake.messages,    fake.fileDialogs, fake.opener, fake.clock,
                           fake.processExit, fake.powerOff,    page,        pageWait};
    app::LayerController layers(store.settings, services, {});
    app::MapEvents events;
    events.ConnectTo(view.Host().JsProcessor());
    QObject::connect(&events, &app::MapEvents::centerChanged, &layers,
                     &app::LayerController::OnMapCenterChanged);

    app::PageSettings settings;
    settings.OfflineMode = true;
    settings.OutPutDirectory = (store.home / "tiles").string();
    settings.Latitude = 33;
    settings.Longitude = 108;
    settings.ZoomLevel = 5;
    ASSERT_TRUE(view.Load(engine::TMapType::mtGoogleRoadMap, settings));
    ASSERT_TRUE(WaitUntil([&] { return view.Host().PageReady(); }));
    // The start's own reports are in before the count begins.
    AnswerOf(view.Host(), "1;");

    ReplacementCounter writes(store.settings.Ini().FileName());
    ASSERT_TRUE(writes.Watching());
    ASSERT_TRUE(view.Run(QString::fromUtf8(kDrag)).toBool());
    ASSERT_TRUE(WaitUntil([&] { return view.Run("window.__dragged === true").toBool(); }));
    // The drag may glide on after the button is let go; the move ends after that.
    const auto storedIsShown = [&] {
        const QVariantList centre =
            view.Run(
                    "(function () { var c = zeb.map.getCenter(); return [c.lat, c.lng,"
                    " window.__moveEnds]; })()")
                .toList();
        return centre.size() == 3 && centre[2].toInt() > 0 &&
               std::abs(store.settings.GetFloatSetting(engine::FloatSetting::Latitude) -
                        centre[0].toDouble()) < 1e-9 &&
               std::abs(store.settings.GetFloatSetting(engine::FloatSetting::Longitude) -
                        centre[1].toDouble()) < 1e-9;
    };
    ASSERT_TRUE(WaitUntil(storedIsShown))
        << "the centre the pan ended on was not stored: "
        << view.Run("JSON.stringify([zeb.map.getCenter(), window.__moves, window.__moveEnds])")
               .toString()
               .toStdString()
        << " stored " << store.settings.GetFloatSetting(engine::FloatSetting::Latitude) << ","
        << store.settings.GetFloatSetting(engine::FloatSetting::Longitude) << " "
        << view.Page().errors.join(" / ").toStdString();
    QTest::qWait(300);  // anything late would be counted too
    AnswerOf(view.Host(), "1;");

    const int moves = view.Run("window.__moves").toInt();
    const int moveEnds = view.Run("window.__moveEnds").toInt();
    EXPECT_GE(moves, 10) << "the drag moved the map in frames";
    EXPECT_EQ(moveEnds, 1);
    // Latitude and longitude, once.
    EXPECT_LE(writes.Count(), 2) << moves << " frames of the pan";
    EXPECT_GT(writes.Count(), 0);
    EXPECT_EQ(view.Page().errors, QStringList());
}

}  // namespace

#endif  // VANTOREL_HAS_PAGE_RESOURCES
