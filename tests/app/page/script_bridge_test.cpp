#include "app/page/script_bridge.h"

#include <QWebEngineProfile>

#include <gtest/gtest.h>

#include "app/page/js_processor.h"
#include "app/page/script_text.h"
#include "app/support/qt_print.h"
#include "engine/core/number_format.h"
#include "support/temp_dir.h"
#include "web_page_harness.h"

namespace {

using app::JsString;
using testmainwindow::RunScript;
using testmainwindow::WaitUntil;

// A page with the bridge whose processor writes every callback as one line.
class ScriptBridgeTest : public ::testing::Test {
  protected:
    ScriptBridgeTest() : page_(&profile_), bridge_(processor_) {
        auto number = [](double v) { return QString::fromStdString(engine::FormatFloat(v)); };
        processor_.OnMapMouseMove = [this, number](double lat, double lng) {
            calls_ << "mouse " + number(lat) + " " + number(lng);
        };
        processor_.OnMapZoomChanged = [this](int zoom) {
            calls_ << "zoom " + QString::number(zoom);
        };
        processor_.OnMapCenterChanged = [this, number](double lat, double lng) {
            calls_ << "center " + number(lat) + " " + number(lng);
        };
        processor_.OnPlotLatlngsEvent = [this](const QString& s) { calls_ << "area " + s; };
        processor_.OnMapMarkerClickEvent = [this](const QString& s) { calls_ << "click " + s; };
        processor_.OnPlotElevation = [this](const QString& s) { calls_ << "elevation " + s; };
        processor_.OnMapBoundsChanged = [this](const QString& s) { calls_ << "bounds " + s; };
        processor_.OnMapMarkerDblClickEvent = [this](const QString& s) {
            calls_ << "dblclick " + s;
        };
        processor_.OnMarkerCompletedEvent = [this, number](const QString& id, double lat,
                                                           double lng, const QString& name,
                                                           const QString& content, bool isNew) {
            calls_ << "marker " + id + " " + number(lat) + " " + number(lng) + " " + name + " " +
                          content + " " + (isNew ? "new" : "old");
        };
        QObject::connect(&processor_, &app::TJsProcessor::jsReturnValueChanged,
                         [this] { calls_ << "return " + processor_.JsReturnValue(); });
        bridge_.Attach(page_);
    }

    void TearDown() override {
        EXPECT_EQ(page_.errors, QStringList()) << "script errors in the test page";
    }

    // Loads a page whose body runs `script` while the document is parsed.
    void LoadPage(const QString& script) {
        testsupport::WriteFileBytes(dir_ / "page.html",
                                    ("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head>"
                                     "<body><script>" +
                                     script + "</script></body></html>")
                                        .toStdString());
        ASSERT_TRUE(testmainwindow::LoadAndWait(
            page_, QUrl::fromLocalFile(QString::fromStdString((dir_ / "page.html").string()))));
    }

    bool WaitForCalls(int count) {
        return WaitUntil([this, count] { return calls_.size() >= count; });
    }

    testsupport::TempDir dir_;
    QWebEngineProfile profile_;  // off the record
    testmainwindow::RecordingPage page_;
    app::TJsProcessor processor_;
    app::TNCJsExtended bridge_;
    QStringList calls_;
};

const QStringList kAllTen = {
    "return first",
    "mouse 39.5 116.25",
    "zoom 15",
    "center 30 120",
    "area 116.1,39.1,116.2,39.2",
    "click poi-7",
    "elevation e",
    "bounds b",
    "dblclick poi-8",
    "marker 1700000000000 39.9 116.4 名称 内容 new",
};

const char kCallAllTen[] = R"JS(
  setJsReturnValue('first');
  mapMousemoveEvent(39.5, 116.25);
  mapZoomChangedEvent(15);
  mapCenterChangedEvent(30, 120);
  plotLatlngsEvent('116.1,39.1,116.2,39.2');
  mapMarkerClickEvent('poi-7');
  plotElevationEvent('e');
  mapBoundsChangedEvent('b');
  mapMarkerDblClickEvent('poi-8');
  markerCompletedEvent('1700000000000', 39.9, 116.4, '名称', '内容', true);
)JS";

TEST_F(ScriptBridgeTest, CallsBeforeTheChannelIsUpArriveInOrder) {
    // The body script runs while the page is parsed, long before the channel answers.
    LoadPage(QString::fromUtf8(kCallAllTen));
    ASSERT_TRUE(WaitForCalls(kAllTen.size())) << calls_.join('\n').toStdString();
    EXPECT_EQ(calls_, kAllTen);
    EXPECT_EQ(processor_.JsReturnValue(), "first");
}

TEST_F(ScriptBridgeTest, EachFunctionReachesItsHandlerOnceTheChannelIsUp) {
    LoadPage("");
    RunScript(page_, "setJsReturnValue('ready')");
    ASSERT_TRUE(WaitForCalls(1));
    calls_.clear();
    RunScript(page_, QString::fromUtf8(kCallAllTen));
    ASSERT_TRUE(WaitForCalls(kAllTen.size()));
    EXPECT_EQ(calls_, kAllTen);
    // The last of two values is the one kept.
    RunScript(page_, "setJsReturnValue('a'); setJsReturnValue('b');");
    ASSERT_TRUE(WaitForCalls(kAllTen.size() + 2));
    EXPECT_EQ(processor_.JsReturnValue(), "b");
}

TEST_F(ScriptBridgeTest, WrongArgumentCountThrowsErrorParametersAtOnce) {
    LoadPage("");
    const QVariant messages = RunScript(page_, R"JS((function () {
      var out = [];
      function attempt(f) {
        try { f(); out.push('accepted'); } catch (e) { out.push(e.message); }
      }
      attempt(function () { markerCompletedEvent('1', 2, 3, 'n', 'c'); });
      attempt(function () { setJsReturnValue(); });
      attempt(function () { mapZoomChangedEvent(1, 2); });
      attempt(function () { mapCenterChangedEvent(1); });
      return out.join('|');
    })())JS");
    EXPECT_EQ(messages.toString(),
              "Error Parameters|Error Parameters|Error Parameters|Error Parameters");
    // None of the refused calls reaches the host: the next call is the first to arrive.
    RunScript(page_, "mapZoomChangedEvent(3)");
    ASSERT_TRUE(WaitForCalls(1));
    EXPECT_EQ(calls_, QStringList{"zoom 3"});
}

TEST_F(ScriptBridgeTest, OnlyWholeZoomsArrive) {
    LoadPage("");
    RunScript(page_,
              "mapZoomChangedEvent(10.5); mapZoomChangedEvent(1e12); mapZoomChangedEvent(NaN);"
              "mapZoomChangedEvent(-2.7); mapZoomChangedEvent(Infinity); mapZoomChangedEvent('12');"
              "mapZoomChangedEvent({}); mapZoomChangedEvent(7);"
              "setJsReturnValue('done')");
    ASSERT_TRUE(WaitUntil([this] { return calls_.contains("return done"); }));
    EXPECT_EQ(calls_, (QStringList{"zoom 7", "return done"}));
}

TEST_F(ScriptBridgeTest, TextArrivesUnchanged) {
    LoadPage("");
    const QString text = QString("say \"hi\" 'x' C:\\tiles\\ line\r\nnext ") + QChar(0x2028) +
                         QChar(0x2029) + " </script><!-- 中文 " + QString::fromUcs4(U"\U0001F600");
    RunScript(page_, app::JsCall("plotLatlngsEvent", {JsString(text)}) +
                         app::JsCall("setJsReturnValue", {JsString(text)}));
    ASSERT_TRUE(WaitForCalls(2));
    EXPECT_EQ(calls_.value(0), "area " + text);
    EXPECT_EQ(processor_.JsReturnValue(), text);
}

TEST_F(ScriptBridgeTest, ArgumentsOfOtherKindsArriveEmpty) {
    LoadPage("");
    RunScript(page_,
              "plotLatlngsEvent({a: 1}); mapMousemoveEvent(null, undefined);"
              "markerCompletedEvent(12, '39.5', 116, [], null, {});");
    ASSERT_TRUE(WaitForCalls(3));
    EXPECT_EQ(calls_.value(0), "area ");
    EXPECT_EQ(calls_.value(1), "mouse 0 0");
    EXPECT_EQ(calls_.value(2), "marker 12 39.5 116   old");
}

TEST_F(ScriptBridgeTest, UncaughtScriptErrorsOfThePageAreSeen) {
    // The guard every case here relies on: an error in a page shows up in the list.
    LoadPage("window.setTimeout(function () { throw new Error('boom'); }, 0);");
    ASSERT_TRUE(WaitUntil([this] { return !page_.errors.isEmpty(); }));
    EXPECT_TRUE(page_.errors.join(' ').contains("boom"));
    page_.errors.clear();
}

TEST(ScriptBridgeSource, DeclaresTheTenCallbacksWithTheirParameters) {
    // Each function's parameter list comes from the published object's methods: its length
    // is the arity checked in the page, its entries the empty value of each parameter.
    const QString source = app::BridgeScriptSource();
    EXPECT_TRUE(source.contains("QWebChannel")) << "the channel's client library is inlined";
    for (const char* signature : {
             R"("setJsReturnValue":[''])",
             R"("mapMousemoveEvent":[0,0])",
             R"("mapZoomChangedEvent":[null])",
             R"("mapCenterChangedEvent":[0,0])",
             R"("plotLatlngsEvent":[''])",
             R"("mapMarkerClickEvent":[''])",
             R"("plotElevationEvent":[''])",
             R"("mapBoundsChangedEvent":[''])",
             R"("mapMarkerDblClickEvent":[''])",
             R"("markerCompletedEvent":['',0,0,'','',false])",
         }) {
        EXPECT_TRUE(source.contains(QString::fromUtf8(signature))) << signature;
    }
    EXPECT_EQ(app::PageCallbackNames().size(), 10);
}

}  // namespace
