// The coordinate and historic-map windows stay readable in every skin: they are made once and
// kept, so a skin chosen later must still leave every caption and typed position whole and
// every text legible on its box.
#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <cmath>

#include <gtest/gtest.h>

#include "app/settings/skin_manager.h"
#include "app/support/contrast.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "app/tools/ip_location_form.h"
#include "app/tools/transform_coord_form.h"
#include "engine/settings/settings.h"
#include "support/settings_paths_in.h"
#include "support/temp_dir.h"
#include "support/tile_server.h"

namespace {

using testmainwindow::FakeServices;

using testmainwindow::Contrast;

// The caption fits the button's contents box as the style in force lays it out.
void ExpectCaptionWhole(const QPushButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect contents =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QFontMetrics metrics(button->font());
    EXPECT_GE(contents.width(), metrics.horizontalAdvance(button->text()))
        << button->objectName().toStdString() << " width " << button->width();
    EXPECT_GE(contents.height(), metrics.height())
        << button->objectName().toStdString() << " height " << button->height();
}

// The typed text is shown whole (2 pixels of inner margin on each side of the contents).
void ExpectTextWhole(const QLineEdit* edit) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    const QRect contents =
        edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    EXPECT_GE(contents.width() - 4, QFontMetrics(edit->font()).horizontalAdvance(edit->text()))
        << edit->objectName().toStdString() << " width " << edit->width();
}

void ExpectLegible(const QLineEdit* edit) {
    const QPalette& palette = edit->palette();
    EXPECT_GE(Contrast(palette.color(QPalette::Base), palette.color(QPalette::Text)), 4.5)
        << edit->objectName().toStdString() << " "
        << palette.color(QPalette::Base).name().toStdString() << " on "
        << palette.color(QPalette::Text).name().toStdString();
}

class ToolWindowSkins : public testing::Test {
  protected:
    ToolWindowSkins() { skins.LoadSkins(QStringLiteral(VANTOREL_SOURCE_DIR "/resources/skins")); }
    ~ToolWindowSkins() override { skins.TrySetStyle(QStringLiteral("Windows")); }

    // Switches to each style in turn (the window was made before) and runs `check` in it.
    template <typename Check>
    void InEveryStyle(Check check) {
        ASSERT_GE(skins.StyleNames().size(), 4);
        // Each style, then from the last (dark) one back to a light one and to the plain style.
        QStringList order = skins.StyleNames();
        order << order.at(1) << order.front();
        for (const QString& name : order) {
            SCOPED_TRACE(name.toStdString());
            ASSERT_TRUE(skins.TrySetStyle(name));
            QApplication::processEvents();
            QApplication::processEvents();
            check();
        }
    }

    app::SkinManager skins;
    FakeServices fake;
};

TEST_F(ToolWindowSkins, CoordinateWindowKeepsCaptionsPositionsAndColours) {
    geodataui::TfrmTransformCoord form(fake.page, fake.messages);
    form.show();
    auto* rbDegree = form.findChild<QRadioButton*>(QStringLiteral("rbDegree"));
    auto* rbDMS = form.findChild<QRadioButton*>(QStringLiteral("rbDMS"));
    form.findChild<QPushButton*>(QStringLiteral("btnLoaction"))->click();  // fills every edit
    form.findChild<QPushButton*>(QStringLiteral("btnwgs84ToWars"))->click();
    InEveryStyle([&] {
        for (const QPushButton* button : form.findChildren<QPushButton*>()) {
            ExpectCaptionWhole(button);
        }
        for (const char* name : {"edtLng", "edtLat", "edtlngTest", "edtLatTest", "edtlatlngTest"}) {
            ExpectTextWhole(form.findChild<QLineEdit*>(QLatin1String(name)));
        }
        // The edits of the input mode in use take the text-box colour of the style in force, the
        // others its button colour.
        const QPalette now = QApplication::palette();
        auto* edtLng = form.findChild<QLineEdit*>(QStringLiteral("edtLng"));
        auto* edtLngDegree = form.findChild<QLineEdit*>(QStringLiteral("edtLngDegree"));
        const auto base = [](const QLineEdit* edit) {
            return edit->palette().color(QPalette::Base).name().toStdString();
        };
        EXPECT_EQ(base(edtLng), now.color(QPalette::Base).name().toStdString());
        EXPECT_EQ(base(edtLngDegree), now.color(QPalette::Button).name().toStdString());
        for (QRadioButton* mode : {rbDegree, rbDMS}) {
            mode->click();
            for (const QLineEdit* edit : form.findChildren<QLineEdit*>()) {
                ExpectLegible(edit);
            }
        }
    });
}

TEST_F(ToolWindowSkins, HistoricWindowKeepsItsButtonCaption) {
    testsupport::TempDir dir;
    engine::TSettings settings{testsupport::SettingsPathsIn(dir)};
    // Below the oldest version: showing the window probes nothing.
    settings.SetStrSetting(engine::StrSetting::SatMapTileVerNew, "129");
    testsupport::TileServer server;
    testsupport::ScopedRoute route{server};

    geodataui::TfrmIPLocation form(fake.page, fake.messages, settings);
    form.show();
    auto* update = form.findChild<QPushButton*>(QStringLiteral("btnUpate"));
    InEveryStyle([&] {
        ExpectCaptionWhole(update);
        EXPECT_TRUE(form.rect().contains(update->geometry()));
        // The IP row stays out of sight, reached only with Tab.
        EXPECT_FALSE(form.rect().intersects(
            form.findChild<QLineEdit*>(QStringLiteral("edtIP"))->geometry()));
    });
}

}  // namespace
