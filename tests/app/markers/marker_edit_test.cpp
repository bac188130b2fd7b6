// The marker editor's logic: the checks and messages of Save, the delete question, the close
// questions, and the ids it refuses.
#include <QString>
#include <vector>

#include <gtest/gtest.h>

#include "app/markers/marker_edit_controller.h"
#include "app/markers/marker_store.h"
#include "app/page/page_scripts.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"

namespace {

using app::MarkerEditController;
using app::TCustomPOI;
using app::TMarkerOperation;
using Outcome = MarkerEditController::SaveOutcome;

struct Report {
    TCustomPOI marker;
    TMarkerOperation operation;
};

class MarkerEditTest : public ::testing::Test {
  protected:
    MarkerEditTest() {
        store_.Post({100, QStringLiteral("Home"), 30.5, 110.25, QStringLiteral("note")});
        store_.Post({200, QStringLiteral("公司"), 31, 121, {}});
        editor_.SetLog([this](const QString& line) { log_ << line; });
        QObject::connect(&editor_, &MarkerEditController::markerEdit,
                         [this](const TCustomPOI& m, TMarkerOperation op) {
                             reports_.push_back({m, op});
                         });
    }

    // As the page reports a finished marker, and the window is then shown.
    void Open(const QString& id, double lat, double lng, const QString& name, bool isNew,
              const QString& content = {}) {
        ASSERT_TRUE(editor_.ShowForm(id, lat, lng, name, content, isNew));
        editor_.FormShow();
    }

    QStringList Infos() const {
        QStringList texts;
        for (const auto& m : fake_.messages.shown) {
            if (m.kind == "info")
                texts << m.text;
        }
        return texts;
    }

    testmainwindow::FakeServices fake_;
    app::MarkerStore store_{"unused"};
    MarkerEditController editor_{fake_.services, store_};
    QStringList log_;
    std::vector<Report> reports_;
};

TEST_F(MarkerEditTest, ShowsTheMarkerWithEightDecimalsAndItsState) {
    Open("1733840000123", 39.9087221234, -116.4, QStringLiteral("我的标记 1"), true);
    EXPECT_EQ(editor_.Caption(), QStringLiteral("新增标记"));
    EXPECT_EQ(editor_.TitleText(), QStringLiteral("我的标记 1"));
    EXPECT_EQ(editor_.LatitudeText(), "39.90872212");
    EXPECT_EQ(editor_.LongitudeText(), "-116.40000000");
    EXPECT_EQ(editor_.Marker().id, 1733840000123);
    Open("100", 30.5, 110.25, "Home", false);
    EXPECT_EQ(editor_.Caption(), QStringLiteral("编辑标记"));
}

TEST_F(MarkerEditTest, AnIdThatIsNoDecimal64BitIntegerOpensNoEditorAndIsLogged) {
    Open("100", 30.5, 110.25, "Home", false);
    const char* ids[] = {"", "abc", "12a", "1.5", "0x10", "99999999999999999999", " "};
    for (const char* id : ids) {
        SCOPED_TRACE(id);
        log_.clear();
        EXPECT_FALSE(editor_.ShowForm(id, 1, 2, "x", "y", true));
        ASSERT_EQ(log_.size(), 1);
        EXPECT_TRUE(log_[0].contains(QString::fromLatin1(id)));
        EXPECT_EQ(editor_.Marker().id, 100) << "the editor changed";
        EXPECT_EQ(editor_.Marker().name, "Home");
    }
    EXPECT_TRUE(editor_.ShowForm("-9223372036854775808", 1, 2, "x", "y", true));
}

TEST_F(MarkerEditTest, SaveRefusesAnEmptyNameAndPositionsOutsideTheEarthOrAtZero) {
    struct Case {
        const char* lat;
        const char* lng;
        bool accepted;
        double readLat, readLng;  // what the marker holds afterwards
    };
    const Case cases[] = {
        {"0", "110", false, 0, 110},
        {"30", "0.0", false, 30, 0},
        {"北纬", "110", false, 0, 110},
        {"", "110", false, 0, 110},
        {"90.000001", "110", false, 90.000001, 110},
        {"-91", "110", false, -91, 110},
        {"30", "180.5", false, 30, 180.5},
        {"30", "-181", false, 30, -181},
        {"nan", "110", false, 0, 110},
        {"inf", "110", false, 0, 110},
        {"90", "180", true, 90, 180},
        {"-90", "-180", true, -90, -180},
        {" 30.125 ", "1e2", true, 30.125, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lat) + " / " + c.lng);
        Open("1", 1, 1, QStringLiteral("新"), true);
        fake_.messages.shown.clear();
        reports_.clear();
        const Outcome outcome = editor_.Save(QStringLiteral("新"), c.lat, c.lng, {});
        EXPECT_EQ(outcome, c.accepted ? Outcome::Saved : Outcome::Refused);
        EXPECT_EQ(Infos(),
                  c.accepted ? QStringList() : QStringList{QStringLiteral("经纬度有误。")});
        EXPECT_EQ(reports_.size(), c.accepted ? 1u : 0u);
        EXPECT_EQ(editor_.Marker().lat, c.readLat);
        EXPECT_EQ(editor_.Marker().lng, c.readLng);
    }

    fake_.messages.shown.clear();
    Open("1", 1, 1, QStringLiteral("新"), true);
    EXPECT_EQ(editor_.Save({}, "0", "0", {}), Outcome::EmptyName);
    EXPECT_EQ(Infos(), QStringList{QStringLiteral("标注名称不能为空！")});
}

TEST_F(MarkerEditTest, SaveRefusesANameThatIsTakenIgnoringCase) {
    struct Case {
        const char* what;
        const char* id;
        const char* shownName;
        bool isNew;
        const char* typedName;
        bool accepted;
    };
    const Case cases[] = {
        {"new marker, a stored name", "1", "我的标记 1", true, "Home", false},
        {"new marker, another case", "1", "我的标记 1", true, "hOME", false},
        {"new marker, its own page name taken", "1", "公司", true, "公司", false},
        {"new marker, a free name", "1", "我的标记 1", true, "Work", true},
        {"stored marker, unchanged name", "100", "Home", false, "Home", true},
        {"stored marker, its own name in another case", "100", "Home", false, "HOME", false},
        {"stored marker, another stored name", "100", "Home", false, "公司", false},
        {"stored marker, a free name", "100", "Home", false, "Heim", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Open(c.id, 30, 110, QString::fromUtf8(c.shownName), c.isNew);
        fake_.messages.shown.clear();
        reports_.clear();
        const QString typed = QString::fromUtf8(c.typedName);
        EXPECT_EQ(editor_.Save(typed, "30", "110", {}),
                  c.accepted ? Outcome::Saved : Outcome::Refused);
        if (c.accepted) {
            EXPECT_TRUE(fake_.messages.shown.empty());
            ASSERT_EQ(reports_.size(), 1u);
            EXPECT_EQ(reports_[0].marker.name, typed);
        } else {
            ASSERT_EQ(fake_.messages.shown.size(), 1u);
            EXPECT_EQ(fake_.messages.shown[0].kind, "info");
            EXPECT_EQ(fake_.messages.shown[0].text,
                      QStringLiteral("标记名称\"%1\"已经存在。").arg(typed));
            EXPECT_EQ(fake_.messages.shown[0].caption, QStringLiteral("名称重复"));
            EXPECT_TRUE(reports_.empty());
        }
    }
}

TEST_F(MarkerEditTest, SaveReportsTheEditedMarkerToBeStored) {
    Open("1733840000123", 32.5, 107.25, QStringLiteral("我的标记 1"), true);
    ASSERT_EQ(
        editor_.Save(QStringLiteral("水库"), "32.75", "107.5", QStringLiteral("钓鱼\n好地方")),
        Outcome::Saved);
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0].operation, app::moEdit);
    const TCustomPOI& m = reports_[0].marker;
    EXPECT_EQ(m.id, 1733840000123);
    EXPECT_EQ(m.name, QStringLiteral("水库"));
    EXPECT_EQ(m.lat, 32.75);
    EXPECT_EQ(m.lng, 107.5);
    EXPECT_EQ(m.content, QStringLiteral("钓鱼\n好地方"));
    // Saved: the window closes without a question.
    EXPECT_TRUE(editor_.CloseQuery());
    EXPECT_EQ(fake_.messages.shown.size(), 0u);
}

TEST_F(MarkerEditTest, DeleteAsksWithTheNameInTheBox) {
    Open("100", 30.5, 110.25, "Home", false);
    fake_.messages.answers = {false, true};
    EXPECT_FALSE(editor_.Delete(QStringLiteral("Home2")));
    EXPECT_TRUE(reports_.empty());
    EXPECT_TRUE(editor_.Delete(QStringLiteral("Home2")));
    ASSERT_EQ(fake_.messages.shown.size(), 2u);
    EXPECT_EQ(fake_.messages.shown[1].kind, "askwarning");
    EXPECT_EQ(fake_.messages.shown[1].text, QStringLiteral("确定要删除“Home2”吗？"));
    EXPECT_EQ(fake_.messages.shown[1].caption, QStringLiteral("删除标记"));
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0].operation, app::moDelelet);
    EXPECT_EQ(reports_[0].marker.id, 100);
    EXPECT_TRUE(editor_.CloseQuery());
    EXPECT_EQ(fake_.messages.shown.size(), 2u) << "closing after a delete asked again";
}

TEST_F(MarkerEditTest, ClosingAnUnsavedNewMarkerAsksAndDropsTheTemporaryMarkers) {
    Open("5", 32.5, 107.25, QStringLiteral("我的标记 1"), true);
    fake_.messages.answers = {false, true};
    EXPECT_FALSE(editor_.CloseQuery());
    EXPECT_TRUE(reports_.empty());
    EXPECT_TRUE(editor_.CloseQuery());
    ASSERT_EQ(fake_.messages.shown.size(), 2u);
    EXPECT_EQ(fake_.messages.shown[0].kind, "ask");
    EXPECT_EQ(fake_.messages.shown[0].text, QStringLiteral("\"我的标记 1\"未保存，是否要关闭?"));
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0].operation, app::moNull);
}

TEST_F(MarkerEditTest, ClosingAMovedStoredMarkerAsksWhetherToPutItBack) {
    struct Case {
        const char* what;
        double lat, lng;
        bool asks;
        bool answer;
        bool putBack;
    };
    const Case cases[] = {
        {"not moved", 30.5, 110.25, false, false, false},
        {"moved less than the 6th decimal", 30.5000004, 110.2499996, false, false, false},
        {"moved, put back", 30.6, 110.25, true, true, true},
        {"moved, kept on the page", 30.5, 110.26, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake_.messages.shown.clear();
        fake_.page.scripts.clear();
        fake_.messages.answers = {c.answer};
        Open("100", c.lat, c.lng, "Home", false, QStringLiteral("note"));
        EXPECT_TRUE(editor_.CloseQuery());
        if (c.asks) {
            ASSERT_EQ(fake_.messages.shown.size(), 1u);
            EXPECT_EQ(fake_.messages.shown[0].text,
                      QStringLiteral("\"Home\"位置已经改变，不保存吗?"));
        } else {
            EXPECT_TRUE(fake_.messages.shown.empty());
        }
        const QStringList putBack{app::pagescript::AddPOI(100, "Home", 30.5, 110.25,
                                                          QStringLiteral("note"), false, false)};
        EXPECT_EQ(fake_.page.scripts, c.putBack ? putBack : QStringList());
        EXPECT_TRUE(reports_.empty());
    }

    // A refused save leaves other numbers in the marker: closing asks too.
    fake_.messages.shown.clear();
    Open("100", 30.5, 110.25, "Home", false);
    EXPECT_EQ(editor_.Save("Home", "0", "110.25", {}), Outcome::Refused);
    fake_.messages.answers = {false};
    EXPECT_TRUE(editor_.CloseQuery());
    EXPECT_EQ(fake_.messages.shown.back().kind, "ask");
}

TEST_F(MarkerEditTest, AMarkerDeletedMeanwhileClosesWithoutAQuestion) {
    Open("200", 35, 125, QStringLiteral("公司"), false);
    store_.Delete(200);
    EXPECT_TRUE(editor_.CloseQuery());
    EXPECT_TRUE(fake_.messages.shown.empty());
    EXPECT_TRUE(fake_.page.scripts.isEmpty());
}

TEST_F(MarkerEditTest, RefillingAVisibleEditorKeepsItsOperation) {
    Open("100", 30.5, 110.25, "Home", false);
    fake_.messages.answers = {true};
    ASSERT_TRUE(editor_.Delete("Home"));
    // Another marker arrives before the window has gone: no FormShow, no questions yet.
    ASSERT_TRUE(editor_.ShowForm("7", 1, 1, "x", "", true));
    EXPECT_EQ(editor_.Operation(), app::moDelelet);
    editor_.FormShow();
    EXPECT_EQ(editor_.Operation(), app::moNull);
}

}  // namespace
