// The tool windows from the main window's menu: made on first use as tool windows of the main
// window, kept and shown again.
#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>

#include "app/frame/main_form_fixture.h"
#include "app/tools/ip_location_form.h"
#include "app/tools/transform_coord_form.h"
#include "support/tile_server.h"

namespace testmainwindow {
namespace {

using AttachToolsTest = MainFormFixture;

template <typename Form>
void ExpectOneKeptToolWindow(MainFormFixture& fixture, QWidget& window, QAction* action) {
    ASSERT_NE(action, nullptr);
    EXPECT_TRUE(action->isEnabled());
    action->trigger();
    const auto forms = window.findChildren<Form*>();
    ASSERT_EQ(forms.size(), 1);
    Form* form = forms.front();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->parentWidget(), &window);
    EXPECT_EQ(form->windowType(), Qt::Tool);
    EXPECT_FALSE(form->isModal());
    form->close();
    action->trigger();
    EXPECT_EQ(window.findChildren<Form*>().size(), 1);
    EXPECT_TRUE(form->isVisible());
    (void)fixture;
}

TEST_F(AttachToolsTest, CoordinateAndHistoricMapWindowsAreKeptToolWindows) {
    testsupport::TileServer server(
        [](const testsupport::TileRequest&) { return testsupport::tileanswers::Html(404); });
    testsupport::ScopedRoute route(server);
    Settings().SetStrSetting(engine::StrSetting::SatMapTileVerNew, "131");
    ExpectOneKeptToolWindow<geodataui::TfrmTransformCoord>(*this, Window(),
                                                           Find<QAction>("actTransformCoord"));
    ExpectOneKeptToolWindow<geodataui::TfrmIPLocation>(*this, Window(),
                                                       Find<QAction>("actIPLocation"));
    auto* historic = Window().findChild<geodataui::TfrmIPLocation*>();
    QElapsedTimer timer;
    timer.start();
    while (historic->Controller().Probing() && timer.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_FALSE(historic->Controller().Probing());
    EXPECT_GE(server.Total(), 2);
}

}  // namespace
}  // namespace testmainwindow
