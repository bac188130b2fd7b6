// The map view's own page and view in a real browser: only the page it was given and that
// page's own frames are shown, nothing dropped on the view reaches the page, and every error
// the page reports reaches the program's log once per load.
#include "app/page/map_web_page.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QWebEngineProfile>
#include <vector>

#include <gtest/gtest.h>

#include "app/page/map_web_view.h"
#include "app/page/script_text.h"
#include "app/support/qt_print.h"
#include "engine/log/logger.h"
#include "support/temp_dir.h"
#include "web_page_harness.h"

namespace {

using testmainwindow::RunScript;
using testmainwindow::WaitUntil;
namespace fs = std::filesystem;

// Remembers what the page decided for every navigation it was asked about.
class DecisionsPage final : public app::MapWebPage {
  public:
    using MapWebPage::MapWebPage;
    struct Decision {
        QUrl url;
        bool mainFrame;
        bool accepted;
    };
    std::vector<Decision> decisions;

    bool Asked(const QString& fileName) const {
        for (const Decision& d : decisions) {
            if (d.url.fileName() == fileName)
                return true;
        }
        return false;
    }
    bool Accepted(const QString& fileName) const {
        for (const Decision& d : decisions) {
            if (d.url.fileName() == fileName && d.accepted)
                return true;
        }
        return false;
    }

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        const bool accepted = MapWebPage::acceptNavigationRequest(url, type, isMainFrame);
        decisions.push_back({url, isMainFrame, accepted});
        return accepted;
    }
};

class MapWebPageTest : public ::testing::Test {
  protected:
    MapWebPageTest() : page_(&profile_) {
        engine::SetLogFolder(dir_ / "log");
        testsupport::WriteFileBytes(dir_ / "pages/map.html",
                                    "<!DOCTYPE html><html><head><title>map</title></head>"
                                    "<body><div id=\"map\">map</div></body></html>");
        testsupport::WriteFileBytes(dir_ / "pages/mapfiles/frame.html",
                                    "<!DOCTYPE html><html><body>frame</body></html>");
        testsupport::WriteFileBytes(dir_ / "elsewhere.html",
                                    "<!DOCTYPE html><html><head><title>elsewhere</title></head>"
                                    "<body>elsewhere</body></html>");
        own_ = QUrl::fromLocalFile(Path(dir_ / "pages/map.html"));
        own_.setQuery(QStringLiteral("load=1"));
        page_.AllowPage(own_, Path(dir_ / "pages"));
    }
    ~MapWebPageTest() override { engine::SetLogFolder({}); }

    static QString Path(const fs::path& path) { return QString::fromStdString(path.string()); }
    QUrl Elsewhere() const { return QUrl::fromLocalFile(Path(dir_ / "elsewhere.html")); }
    QString Title() { return RunScript(page_, "document.title").toString(); }
    std::string Log() const { return testsupport::ReadFileBytes(engine::DefaultLogFileName()); }

    testsupport::TempDir dir_;
    QWebEngineProfile profile_;
    DecisionsPage page_;
    QUrl own_;
};

TEST_F(MapWebPageTest, ShowsOnlyItsOwnPageAndItsOwnFrames) {
    ASSERT_TRUE(testmainwindow::LoadAndWait(page_, own_));
    EXPECT_EQ(Title(), "map");

    // Another file, as a dropped file or a typed address would ask for; a link the page
    // follows; a window the page opens.
    page_.load(Elsewhere());
    RunScript(page_, "location.href = " + app::JsString(Elsewhere().toString()) + ";");
    RunScript(page_, "window.open(" + app::JsString(Elsewhere().toString()) + ");");
    ASSERT_TRUE(WaitUntil([this] { return page_.Asked("elsewhere.html"); }));
    QTest::qWait(300);
    EXPECT_FALSE(page_.Accepted("elsewhere.html"));
    EXPECT_EQ(Title(), "map");
    EXPECT_EQ(page_.url(), own_);

    // Frames: the page's own files only.
    RunScript(page_, "for (const src of ['mapfiles/frame.html', " +
                         app::JsString(Elsewhere().toString()) +
                         "]) { const f = document.createElement('iframe'); f.src = src;"
                         " document.body.appendChild(f); }");
    ASSERT_TRUE(WaitUntil([this] { return page_.Asked("frame.html"); }));
    EXPECT_TRUE(page_.Accepted("frame.html"));
    for (const auto& d : page_.decisions) {
        if (d.url.fileName() == "elsewhere.html") {
            EXPECT_FALSE(d.accepted) << (d.mainFrame ? "main frame" : "frame");
        }
    }
    EXPECT_NE(Log().find("map page: refused to show"), std::string::npos) << Log();
}

TEST_F(MapWebPageTest, EveryPageErrorReachesTheLogOncePerLoad) {
    ASSERT_TRUE(testmainwindow::LoadAndWait(page_, own_));
    RunScript(page_,
              "for (let i = 0; i < 3; ++i) setTimeout(function () { pageFault(); }, 0);"
              " const img = document.createElement('img'); img.src = 'mapfiles/missing.png';"
              " document.body.appendChild(img);");
    ASSERT_TRUE(WaitUntil([this] {
        return Log().find("pageFault") != std::string::npos &&
               Log().find("missing.png") != std::string::npos;
    })) << Log();
    QTest::qWait(200);
    const std::string log = Log();
    EXPECT_EQ(log.find("pageFault"), log.rfind("pageFault")) << "a repeated error is logged once";
    EXPECT_NE(log.find("map page error: " + own_.toString().toStdString()), std::string::npos)
        << log;
}

// Nothing dropped on the view reaches the page: no navigation is even asked for.
TEST_F(MapWebPageTest, DropsOnTheViewDoNothing) {
    app::MapWebView view;
    view.setPage(&page_);
    view.resize(320, 240);
    view.show();
    ASSERT_TRUE(testmainwindow::LoadAndWait(page_, own_));
    EXPECT_FALSE(view.acceptDrops());
    QMimeData mime;
    mime.setUrls({Elsewhere()});
    const QPoint at(100, 100);
    std::vector<QWidget*> targets{&view};
    if (view.focusProxy())
        targets.push_back(view.focusProxy());
    for (QWidget* target : targets) {
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        EXPECT_FALSE(enter.isAccepted());
        QDragMoveEvent move(at, Qt::CopyAction | Qt::LinkAction, &mime, Qt::LeftButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::LinkAction, &mime, Qt::LeftButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        EXPECT_FALSE(drop.isAccepted());
    }
    QTest::qWait(500);
    EXPECT_FALSE(page_.Asked("elsewhere.html")) << "the drop reached the page";
    EXPECT_EQ(Title(), "map");
    view.setPage(nullptr);
}

}  // namespace
