// The coordinate window's rules: locating typed positions both ways, converting between the
// datums against the datum library, and doing nothing for input that is not a position.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "app/tools/transform_coord_controller.h"
#include "app/tools/transform_coord_form.h"
#include "engine/core/datum.h"
#include "engine/core/number_format.h"
#include "page_script_args.h"

namespace {

using geodataui::LocateFields;
using geodataui::TransformCoordController;
using testmainwindow::CallArguments;
using testmainwindow::FakeServices;

struct Marker {
    double lat = 0;
    double lng = 0;
    int zoom = 0;
    QString title;
};

Marker OnlyMarker(const FakeServices& fake) {
    EXPECT_EQ(fake.page.scripts.size(), 1);
    if (fake.page.scripts.isEmpty()) {
        return {};
    }
    const QStringList args = CallArguments(fake.page.scripts.front(), QStringLiteral("addMarker"));
    EXPECT_EQ(args.size(), 4) << fake.page.scripts.front().toStdString();
    if (args.size() != 4) {
        return {};
    }
    return {args[0].toDouble(), args[1].toDouble(), args[2].toInt(), args[3]};
}

class TransformCoordTest : public ::testing::TestWithParam<QString> {
  protected:
    FakeServices fake;
    TransformCoordController controller{fake.page, fake.messages, GetParam()};
};

INSTANTIATE_TEST_SUITE_P(DecimalPoints, TransformCoordTest,
                         ::testing::Values(QStringLiteral("."), QStringLiteral(",")),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             return info.param == QStringLiteral(",") ? std::string("Comma")
                                                                      : std::string("Dot");
                         });

TEST_P(TransformCoordTest, DecimalInputFillsDegreesMinutesSecondsAndMarksAtZoom16) {
    LocateFields fields;
    fields.lng = QStringLiteral("116.5");
    fields.lat = QStringLiteral("39.75");
    ASSERT_TRUE(controller.Locate(false, fields));
    EXPECT_EQ(fields.lngDegree + " ° " + fields.lngMinute + " ′ " + fields.lngSecond + " ″",
              QStringLiteral("116 ° 30 ′ 0.0000 ″"));
    EXPECT_EQ(fields.latDegree + " ° " + fields.latMinute + " ′ " + fields.latSecond + " ″",
              QStringLiteral("39 ° 45 ′ 0.0000 ″"));
    const Marker marker = OnlyMarker(fake);
    EXPECT_DOUBLE_EQ(marker.lat, 39.75);
    EXPECT_DOUBLE_EQ(marker.lng, 116.5);
    EXPECT_EQ(marker.zoom, 16);
    EXPECT_EQ(marker.title, QStringLiteral("\"\""));
}

TEST_P(TransformCoordTest, DegreesMinutesSecondsInputFillsDecimalDegrees) {
    LocateFields fields;
    fields.lngDegree = QStringLiteral("116");
    fields.lngMinute = QStringLiteral("30");
    fields.lngSecond = QStringLiteral("0");
    fields.latDegree = QStringLiteral("39");
    fields.latMinute = QStringLiteral("45");
    fields.latSecond = GetParam() == QStringLiteral(",") ? QStringLiteral("0,0") : QString();
    ASSERT_TRUE(controller.Locate(true, fields));
    EXPECT_EQ(fields.lng, QStringLiteral("116.500000"));
    EXPECT_EQ(fields.lat, QStringLiteral("39.750000"));
    const Marker marker = OnlyMarker(fake);
    EXPECT_DOUBLE_EQ(marker.lat, 39.75);
    EXPECT_DOUBLE_EQ(marker.lng, 116.5);
}

TEST_P(TransformCoordTest, SecondsRoundedAsShownAndTypedWithEitherSeparator) {
    LocateFields fields;
    fields.lng = GetParam() == QStringLiteral(",") ? QStringLiteral("116,39748739")
                                                   : QStringLiteral("116.39748739");
    fields.lat = QStringLiteral("39.99999999");  // "." reads in every locale
    ASSERT_TRUE(controller.Locate(false, fields));
    EXPECT_EQ(QStringList({fields.lngDegree, fields.lngMinute, fields.lngSecond}),
              QStringList({"116", "23", "50.9546"}));
    // 59.99999964 seconds rounds up and carries into the degrees, never "60.0000".
    EXPECT_EQ(QStringList({fields.latDegree, fields.latMinute, fields.latSecond}),
              QStringList({"40", "0", "0.0000"}));
}

struct NothingCase {
    const char* what;
    bool byDms;
    LocateFields fields;
};

TEST_P(TransformCoordTest, InputThatIsNoPositionDoesNothing) {
    const std::vector<NothingCase> cases = {
        {"empty decimal edits", false, {}},
        {"empty unit edits", true, {}},
        {"zero position", false, {.lng = "0", .lat = "0.0"}},
        {"latitude above 90", false, {.lng = "116.5", .lat = "90.5"}},
        {"latitude below -90", false, {.lng = "116.5", .lat = "-91"}},
        {"longitude above 180", false, {.lng = "180.01", .lat = "39"}},
        {"longitude not a number", false, {.lng = "116.5E", .lat = "39.75"}},
        {"latitude of letters", false, {.lng = "116.5", .lat = "abc"}},
        {"two separators", false, {.lng = "116.5.1", .lat = "39"}},
        {"degrees not an integer", true, {.lngDegree = "116.5", .latDegree = "39"}},
        {"minutes of letters", true, {.lngDegree = "116", .lngMinute = "x", .latDegree = "39"}},
        {"60 minutes", true, {.lngDegree = "116", .lngMinute = "60", .latDegree = "39"}},
        {"60 seconds", true, {.lngDegree = "116", .latDegree = "39", .latSecond = "60"}},
        {"latitude 91 degrees", true, {.lngDegree = "116", .latDegree = "91"}},
        {"longitude 181 degrees", true, {.lngDegree = "181", .latDegree = "39"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LocateFields fields = c.fields;
        EXPECT_FALSE(controller.Locate(c.byDms, fields));
        EXPECT_EQ(fields.lng, c.fields.lng);
        EXPECT_EQ(fields.lat, c.fields.lat);
        EXPECT_EQ(fields.lngDegree, c.fields.lngDegree);
        EXPECT_EQ(fields.latSecond, c.fields.latSecond);
        EXPECT_TRUE(fake.page.scripts.isEmpty());
    }
}

TEST_P(TransformCoordTest, EachConversionAgreesWithTheDatumLibraryLongitudeFirst) {
    const engine::TGLatLng typed{39.906769, 116.391270};
    const std::vector<engine::TGLatLng> expected = {
        engine::GCJ02ToWGS84(typed),
        engine::WGS84ToGCJ02(typed),
        engine::GCJ02ToWGS84(engine::BD09ToGCJ02LatLng(typed)),
        engine::GCJ02ToBD09LatLng(engine::WGS84ToGCJ02(typed)),
    };
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        fake.page.scripts.clear();
        const auto result =
            controller.Convert(index, QStringLiteral("116.391270"), QStringLiteral("39.906769"));
        ASSERT_TRUE(result.has_value());
        const auto& want = expected[static_cast<std::size_t>(index)];
        EXPECT_EQ(*result, QString::fromStdString(engine::FormatFixed(want.lng, 8) + "," +
                                                  engine::FormatFixed(want.lat, 8)));
        EXPECT_NE(want, typed);
        const Marker marker = OnlyMarker(fake);
        EXPECT_NEAR(marker.lat, want.lat, 1e-8);
        EXPECT_NEAR(marker.lng, want.lng, 1e-8);
        EXPECT_EQ(marker.zoom, 16);
    }
}

TEST_P(TransformCoordTest, ConversionOfNoPositionDoesNothing) {
    const std::vector<std::pair<QString, QString>> cases = {
        {"", "39.9"}, {"abc", "39.9"}, {"116.4", "1e"}, {"181", "39.9"}, {"116.4", "-90.1"}};
    for (const auto& [lng, lat] : cases) {
        SCOPED_TRACE(lng.toStdString() + " " + lat.toStdString());
        EXPECT_FALSE(controller.Convert(1, lng, lat).has_value());
        EXPECT_TRUE(fake.page.scripts.isEmpty());
    }
}

TEST_P(TransformCoordTest, LocaleSeparatorReadsInConversion) {
    const QString lng = GetParam() == QStringLiteral(",") ? QStringLiteral("116,39127")
                                                          : QStringLiteral("116.39127");
    const auto result = controller.Convert(1, lng, QStringLiteral("39.906769"));
    ASSERT_TRUE(result.has_value());
    const auto want = engine::WGS84ToGCJ02({39.906769, 116.39127});
    EXPECT_TRUE(result->startsWith(QString::fromStdString(engine::FormatFixed(want.lng, 8))));
}

TEST(TransformCoordForm, NamedWidgetsAndInputModeColours) {
    FakeServices fake;
    geodataui::TfrmTransformCoord form(fake.page, fake.messages);
    for (const char* name :
         {"rbDegree", "rbDMS", "edtLngDegree", "edtLngMinute", "edtLngSecond", "edtLatDegree",
          "edtLatMinute", "edtLatSecond", "edtLng", "edtLat", "btnClear", "btnLoaction", "cbbType",
          "edtlngTest", "edtLatTest", "edtlatlngTest", "btnHelpTest", "btnwgs84ToWars"}) {
        EXPECT_EQ(form.findChildren<QWidget*>(QLatin1String(name)).size(), 1) << name;
    }
    auto* rbDegree = form.findChild<QRadioButton*>(QStringLiteral("rbDegree"));
    auto* edtLng = form.findChild<QLineEdit*>(QStringLiteral("edtLng"));
    auto* edtLngDegree = form.findChild<QLineEdit*>(QStringLiteral("edtLngDegree"));
    EXPECT_EQ(form.findChild<QComboBox*>(QStringLiteral("cbbType"))->currentIndex(), 1);
    const auto base = [](QLineEdit* edit) { return edit->palette().color(QPalette::Base); };
    const QColor window = base(edtLng);
    EXPECT_NE(base(edtLngDegree), window);
    rbDegree->click();
    EXPECT_EQ(base(edtLngDegree), window);
    EXPECT_NE(base(edtLng), window);
    EXPECT_FALSE(edtLng->isReadOnly());
}

TEST(TransformCoordForm, LocateAndConvertThroughTheWidgets) {
    FakeServices fake;
    geodataui::TfrmTransformCoord form(fake.page, fake.messages);
    const auto edit = [&](const char* name) {
        return form.findChild<QLineEdit*>(QLatin1String(name));
    };
    edit("edtLng")->setText(QStringLiteral("116.5"));
    edit("edtLat")->setText(QStringLiteral("39.75"));
    form.findChild<QPushButton*>(QStringLiteral("btnLoaction"))->click();
    EXPECT_EQ(edit("edtLngMinute")->text(), QStringLiteral("30"));
    EXPECT_EQ(edit("edtLatSecond")->text(), QStringLiteral("0.0000"));

    // A western position shows its sign on every part and reads back the same.
    edit("edtLng")->setText(QStringLiteral("-6.5"));
    edit("edtLat")->setText(QStringLiteral("-33.75"));
    form.findChild<QPushButton*>(QStringLiteral("btnLoaction"))->click();
    EXPECT_EQ(edit("edtLngDegree")->text(), QStringLiteral("-6"));
    EXPECT_EQ(edit("edtLngMinute")->text(), QStringLiteral("-30"));
    EXPECT_EQ(edit("edtLatMinute")->text(), QStringLiteral("-45"));
    form.findChild<QRadioButton*>(QStringLiteral("rbDegree"))->click();
    edit("edtLng")->clear();
    form.findChild<QPushButton*>(QStringLiteral("btnLoaction"))->click();
    EXPECT_EQ(edit("edtLng")->text(), QStringLiteral("-6.500000"));
    EXPECT_EQ(edit("edtLat")->text(), QStringLiteral("-33.750000"));

    form.findChild<QPushButton*>(QStringLiteral("btnwgs84ToWars"))->click();
    const auto want = engine::WGS84ToGCJ02({39.906769, 116.391270});
    EXPECT_EQ(edit("edtlatlngTest")->text(),
              QString::fromStdString(engine::FormatFixed(want.lng, 8) + "," +
                                     engine::FormatFixed(want.lat, 8)));

    form.findChild<QPushButton*>(QStringLiteral("btnClear"))->click();
    EXPECT_TRUE(edit("edtLng")->text().isEmpty());
    EXPECT_TRUE(edit("edtLatDegree")->text().isEmpty());
    EXPECT_EQ(edit("edtlngTest")->text(), QStringLiteral("116.391270"));

    form.findChild<QPushButton*>(QStringLiteral("btnHelpTest"))->click();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].caption, QStringLiteral("帮助"));
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(QStringLiteral("【地球坐标】")));
}

}  // namespace
