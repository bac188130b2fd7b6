// The place-search box against a fake suggestion service on loopback.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <map>

#include <httplib.h>

#include "app/places/place_search_controller.h"
#include "app/places/suggestions.h"
#include "app/places/web_gmaps_lookup_edit.h"
#include "app/widgets/size_grip.h"
#include "engine/core/number_format.h"
#include "fake_web.h"

namespace {

using app::PlaceSearchController;
using app::TResponseData;

std::string Suggestion(const std::string& title, const std::string& city, int type, double lat,
                       double lng) {
    return "{\"title\":\"" + title + "\",\"province\":\"北京市\",\"city\":\"" + city +
           "\",\"district\":\"东城区\",\"type\":" + std::to_string(type) +
           ",\"location\":{\"lat\":" + engine::FormatFloat(lat) +
           ",\"lng\":" + engine::FormatFloat(lng) + "}}";
}

std::string Data(const std::vector<std::string>& items) {
    std::string joined;
    for (const auto& item : items) {
        joined += (joined.empty() ? "" : ",") + item;
    }
    return "callback({\"status\":0,\"count\":" + std::to_string(items.size()) + ",\"data\":[" +
           joined + "]})";
}

class PlaceSearchTest : public testplaces::FakeWebTest {
  protected:
    void SetUp() override {
        FakeWebTest::SetUp();
        const std::string path = ServerPath(app::SuggestionUrl("x", "", "k"));
        server.SetHandler(path, [this](const httplib::Request& req, httplib::Response& res) {
            const std::string keyword = req.get_param_value("keyword");
            auto answer = testplaces::JsonBody(
                answers.count(keyword) ? answers.at(keyword) : "{\"status\":0,\"count\": 0}");
            if (slow.count(keyword)) {
                answer.delay = std::chrono::milliseconds(400);
            }
            server.Serve(answer, req, res);
        });
        lookup.cachePath = cacheDir;
        lookup.lookupEnabled = true;
    }

    QStringList RowTexts() const {
        QStringList texts;
        for (const auto& row : lookup.Rows()) {
            texts << row.text;
        }
        return texts;
    }

    std::map<std::string, std::string> answers;
    std::set<std::string> slow;
    PlaceSearchController lookup;
};

TEST_F(PlaceSearchTest, RequestsStartAtTheSecondCharacterAndListMatchesSorted) {
    answers["天安"] = Data({Suggestion("天安门广场", "北京市", 0, 39.9, 116.39),
                            Suggestion("天安门东", "北京市", 2, 39.907, 116.401),
                            Suggestion("北京天安门", "北京市", 4, 39.9, 116.4)});
    lookup.region = QStringLiteral("北京市");
    lookup.QuerySuggestions(QStringLiteral("天"));
    testplaces::Settle();
    EXPECT_EQ(server.Requests().size(), 0u) << "one character sends nothing";
    EXPECT_FALSE(lookup.LookupVisible());

    lookup.QuerySuggestions(QStringLiteral("天安"));
    ASSERT_TRUE(testplaces::WaitFor([&] { return lookup.LookupVisible(); }));
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].target,
              "/apis.map.qq.com/ws/place/v1/suggestion/?keyword=%E5%A4%A9%E5%AE%89"
              "&region=%E5%8C%97%E4%BA%AC%E5%B8%82&output=json&key=" +
                  std::string(app::kSuggestionKey));
    // Sorted, and the suggestion that does not begin with the typed text is left out.
    EXPECT_EQ(RowTexts(), (QStringList{QStringLiteral("天安门东  [地铁站] 北京市-北京市"),
                                       QStringLiteral("天安门广场  北京市-北京市")}));
    EXPECT_EQ(lookup.CurrentRow(), 0);

    // Answered once, asked again from the cache.
    lookup.QuerySuggestions(QStringLiteral("天"));
    EXPECT_FALSE(lookup.LookupVisible());
    lookup.QuerySuggestions(QStringLiteral("天安"));
    ASSERT_TRUE(testplaces::WaitFor([&] { return lookup.LookupVisible(); }));
    EXPECT_EQ(server.Requests().size(), 1u);

    // Full-text search lists every suggestion that contains the text.
    lookup.fullTextSearch = true;
    lookup.QuerySuggestions(QStringLiteral("天安"));
    ASSERT_TRUE(testplaces::WaitFor([&] { return lookup.Rows().size() == 3; }));
}

TEST_F(PlaceSearchTest, EmptyRegionIsLeftOut) {
    EXPECT_EQ(app::SuggestionUrl("a b", "", "K-1"),
              "http://apis.map.qq.com/ws/place/v1/suggestion/?keyword=a%20b&output=json&key=K-1");
    EXPECT_EQ(app::UrlEncodeUtf8("a&b+c=d/é_~"), "a%26b%2Bc%3Dd%2F%C3%A9_%7E");
}

TEST_F(PlaceSearchTest, OnlyTheLatestRequestFillsTheDropDown) {
    answers["北京"] = Data({Suggestion("北京站", "北京市", 1, 39.9, 116.42)});
    answers["北京西"] = Data({Suggestion("北京西站", "北京市", 1, 39.89, 116.32)});
    slow.insert("北京");
    lookup.QuerySuggestions(QStringLiteral("北京"));
    lookup.QuerySuggestions(QStringLiteral("北京西"));
    ASSERT_TRUE(testplaces::WaitFor([&] { return lookup.LookupVisible(); }));
    // Wait for the slow, older answer too: it must not replace the newer rows.
    ASSERT_TRUE(testplaces::WaitFor([&] { return server.Requests().size() == 2; }));
    testplaces::Settle();
    EXPECT_EQ(RowTexts(), QStringList{QStringLiteral("北京西站  [公交车站] 北京市-北京市")});
}

TEST_F(PlaceSearchTest, EmptyBrokenOrFailedAnswersClearTheDropDown) {
    answers["故宫"] = Data({Suggestion("故宫博物院", "北京市", 0, 39.91, 116.39)});
    answers["故宫博"] = "<html>502 Bad Gateway</html>";
    answers["故宫东"] = Data({"{\"title\":\"故宫东门\",\"type\":\"x\",\"location\":{}}"});
    answers["故宫西"] = "";
    // Only an answer that cannot be read is a failed search; one without places is not.
    const std::vector<std::pair<QString, bool>> breakers = {{QStringLiteral("故宫博"), true},
                                                            {QStringLiteral("故宫东"), true},
                                                            {QStringLiteral("故宫西"), true},
                                                            {QStringLiteral("故宫门"), false}};
    for (const auto& [text, fails] : breakers) {
        lookup.QuerySuggestions(QStringLiteral("故宫"));
        ASSERT_TRUE(testplaces::WaitFor([&] { return lookup.LookupVisible(); }));
        const auto before = server.Requests().size();
        QSignalSpy failed(&lookup, &PlaceSearchController::lookupFailed);
        lookup.QuerySuggestions(text);
        ASSERT_TRUE(testplaces::WaitFor([&] { return server.Requests().size() > before; }));
        ASSERT_TRUE(testplaces::WaitFor([&] { return !lookup.LookupVisible(); }))
            << text.toStdString();
        EXPECT_TRUE(lookup.Values().empty()) << text.toStdString();
        EXPECT_TRUE(lookup.Rows().empty()) << text.toStdString();
        EXPECT_EQ(failed.count(), fails ? 1 : 0) << text.toStdString();
        if (fails && !failed.isEmpty()) {
            EXPECT_EQ(failed[0][0].toString(),
                      QStringLiteral("地名搜索失败：无法读取地名提示服务的答复。"));
        }
    }
    // Only the answer with suggestions was kept in the cache.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(cacheDir),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(PlaceSearchTest, NavigationKeysStayInTheList) {
    std::vector<std::string> items;
    for (int i = 0; i < 25; ++i) {
        items.push_back(Suggestion("站" + std::string(1, static_cast<char>('a' + i)), "北京市", 0,
                                   39.9, 116.4));
    }
    answers["站"] = Data(items);
    lookup.SetNumChars(1);
    lookup.QuerySuggestions(QStringLiteral("站"));
    ASSERT_TRUE(testplaces::WaitFor([&] { return lookup.LookupVisible(); }));
    using Nav = PlaceSearchController::Nav;
    const std::vector<std::pair<Nav, int>> steps = {
        {Nav::Up, 0},        {Nav::Down, 1},  {Nav::PageDown, 11}, {Nav::PageDown, 21},
        {Nav::PageDown, 24}, {Nav::Down, 24}, {Nav::PageUp, 14},   {Nav::PageUp, 4},
        {Nav::PageUp, 0},    {Nav::End, 24},  {Nav::Home, 0}};
    for (const auto& [nav, row] : steps) {
        lookup.Navigate(nav);
        EXPECT_EQ(lookup.CurrentRow(), row) << static_cast<int>(nav);
    }
}

// Types characters that have no key of their own (QTest::keyClicks takes Latin-1 only).
void TypeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

class LookupEditTest : public PlaceSearchTest {
  protected:
    void SetUp() override {
        PlaceSearchTest::SetUp();
        answers["西单"] = Data({Suggestion("西单北大街", "北京市", 0, 39.91, 116.37),
                                Suggestion("西单", "北京市", 2, 39.907, 116.374)});
        edit.Lookup().cachePath = cacheDir;
        edit.Lookup().lookupEnabled = true;
        edit.Lookup().onLookupSelect = [this](TResponseData& value) { chosen.push_back(value); };
        edit.show();
        QApplication::setActiveWindow(&edit);
        edit.setFocus();
    }

    app::TWebGMapsLookupEdit edit;
    std::vector<TResponseData> chosen;
};

TEST_F(LookupEditTest, EnterChoosesTheCurrentRow) {
    QSignalSpy enter(&edit, &app::DecoratedEdit::enterPressed);
    TypeText(&edit, QStringLiteral("西单"));
    ASSERT_TRUE(testplaces::WaitFor([&] { return edit.LookupVisible(); }));
    EXPECT_EQ(edit.LookupListBox()->count(), 2);
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.LookupListBox()->currentRow(), 1);
    QTest::keyClick(&edit, Qt::Key_Return);
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].Title, "西单北大街");
    EXPECT_NEAR(chosen[0].Location.Lng, 116.37, 1e-9);
    EXPECT_EQ(edit.text(), QStringLiteral("西单北大街"));
    EXPECT_EQ(edit.selectedText(), QStringLiteral("西单北大街"));
    EXPECT_FALSE(edit.LookupVisible());
    EXPECT_EQ(enter.count(), 0) << "Enter with the drop-down shown only chooses";

    // With the drop-down hidden, Enter goes to the box's own key event.
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(enter.count(), 1);
    EXPECT_EQ(chosen.size(), 1u);
}

// Typed characters, Backspace, pastes (keys, menu, input method) and clicks look up; Delete,
// cuts, undo and the other Ctrl combinations do not.
TEST_F(LookupEditTest, WhichEditsLookUp) {
    const auto asked = [this] { return edit.Lookup().RequestCount(); };
    TypeText(&edit, QStringLiteral("西单北京"));
    ASSERT_EQ(asked(), 4);
    const auto menuAction = [this](const char* name) {
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                    edit.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&edit, &menuEvent);
        const auto menus = edit.findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
        if (menus.isEmpty()) {
            ADD_FAILURE() << "no context menu";
            return;
        }
        QMenu* menu = menus.constLast();
        // The item as the edit captions it (before the tab and its shortcut).
        const QString caption = QCoreApplication::translate("QLineEdit", name);
        QAction* action = nullptr;
        QStringList captions;
        for (QAction* item : menu->actions()) {
            captions << item->text();
            if (item->text().section(u'\t', 0, 0) == caption) {
                action = item;
            }
        }
        if (action == nullptr) {
            ADD_FAILURE() << "no menu item " << name << " in "
                          << captions.join(" | ").toStdString();
        } else {
            action->trigger();
        }
        menu->close();
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* text;
        bool looksUp;
    };
    const Step steps[] = {
        {"Delete",
         [&] {
             edit.setCursorPosition(0);
             QTest::keyClick(&edit, Qt::Key_Delete);
         },
         "单北京", false},
        {"Ctrl+X",
         [&] {
             edit.setSelection(2, 1);
             QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
         },
         "单北", false},
        {"menu cut",
         [&] {
             edit.setSelection(0, 1);
             menuAction("Cu&t");
         },
         "北", false},
        {"Ctrl+Z", [&] { QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier); }, "单北", false},
        {"menu undo", [&] { menuAction("&Undo"); }, "单北京", false},
        {"menu delete",
         [&] {
             edit.setSelection(2, 1);
             menuAction("Delete");
         },
         "单北", false},
        {"Ctrl+Backspace", [&] { QTest::keyClick(&edit, Qt::Key_Backspace, Qt::ControlModifier); },
         nullptr, false},
        {"typed",
         [&] {
             edit.Clear();
             TypeText(&edit, QStringLiteral("西"));
         },
         "西", true},
        {"input method",
         [&] {
             QInputMethodEvent composed;
             composed.setCommitString(QStringLiteral("单北"));
             QApplication::sendEvent(&edit, &composed);
         },
         "西单北", true},
        {"Backspace", [&] { QTest::keyClick(&edit, Qt::Key_Backspace); }, "西单", true},
        {"Ctrl+V",
         [&] {
             QGuiApplication::clipboard()->setText(QStringLiteral("街"));
             QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
         },
         "西单街", true},
        {"Ctrl+V of no text",
         [&] {
             QGuiApplication::clipboard()->clear();
             QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
         },
         "西单街", true},
        {"menu paste",
         [&] {
             QGuiApplication::clipboard()->setText(QStringLiteral("口"));
             edit.setCursorPosition(2);
             menuAction("&Paste");
         },
         "西单口街", true},
        {"click", [&] { QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(5, 5)); }, "西单口街",
         true},
        {"right click", [&] { QTest::mouseClick(&edit, Qt::RightButton, {}, QPoint(5, 5)); },
         "西单口街", false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const int before = asked();
        step.act();
        if (step.text != nullptr) {
            EXPECT_EQ(edit.Text(), QString::fromUtf8(step.text));
        }
        EXPECT_EQ(asked(), before + (step.looksUp ? 1 : 0));
    }
    for (QMenu* menu : edit.findChildren<QMenu*>()) {
        menu->close();
    }
}

TEST_F(LookupEditTest, MouseChoosesTheRowUnderIt) {
    TypeText(&edit, QStringLiteral("西单"));
    ASSERT_TRUE(testplaces::WaitFor([&] { return edit.LookupVisible(); }));
    QListWidget* list = edit.LookupListBox();
    // Two rows: the drop-down is as high as they are, with no blank space under them.
    auto* dropDown = edit.findChild<QWidget*>(QStringLiteral("FLookupList"));
    ASSERT_NE(dropDown, nullptr);
    EXPECT_EQ(dropDown->height(), 2 * std::max(12, list->sizeHintForRow(0)) + 4);
    const QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].Title, "西单北大街");
    EXPECT_EQ(edit.text(), QStringLiteral("西单北大街"));
}

// The choice raises OnLookupSelect, then OnLookupIndexSelect with the suggestion's index in
// Values; the title the handlers leave is shown. Tab chooses only with AcceptOnTab.
TEST_F(LookupEditTest, ChoosingRaisesBothEventsAndTabChoosesWhenAsked) {
    QStringList calls;
    edit.Lookup().onLookupSelect = [&calls](TResponseData& value) {
        calls << QStringLiteral("select ") + QString::fromStdString(value.Title);
    };
    edit.Lookup().onLookupIndexSelect = [&calls](int index, TResponseData& value) {
        calls << QStringLiteral("index %1 ").arg(index) + QString::fromStdString(value.Title);
        value.Title += "路口";
    };
    TypeText(&edit, QStringLiteral("西单"));
    ASSERT_TRUE(testplaces::WaitFor([&] { return edit.LookupVisible(); }));
    QTest::keyClick(&edit, Qt::Key_Tab);
    EXPECT_TRUE(calls.isEmpty()) << "Tab chose without AcceptOnTab";

    edit.Lookup().acceptOnTab = true;
    edit.setFocus();
    edit.Clear();
    TypeText(&edit, QStringLiteral("西单"));
    ASSERT_TRUE(testplaces::WaitFor([&] { return edit.LookupVisible(); }));
    QTest::keyClick(&edit, Qt::Key_Down);  // rows sorted: "西单  [地铁站]…", "西单北大街…"
    QTest::keyClick(&edit, Qt::Key_Tab);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("select 西单北大街"),
                                  QStringLiteral("index 0 西单北大街")}));
    EXPECT_EQ(edit.Text(), QStringLiteral("西单北大街路口"));
    EXPECT_EQ(edit.selectedText(), QStringLiteral("西单北大街路口"));
    EXPECT_FALSE(edit.LookupVisible());
    EXPECT_TRUE(edit.hasFocus());
}

// The list shows its rows in Arial 8 on the colour of the settings; the drop-down can be
// dragged larger by its lower right corner, and keeps that size while the user moves in it.
TEST_F(LookupEditTest, TheDropDownsLookAndItsSizingCorner) {
    EXPECT_EQ(edit.Lookup().language, "zh-CN");
    edit.Lookup().color = QColor(0xFF, 0xFF, 0xE1);
    TypeText(&edit, QStringLiteral("西单"));
    ASSERT_TRUE(testplaces::WaitFor([&] { return edit.LookupVisible(); }));
    QListWidget* list = edit.LookupListBox();
    EXPECT_EQ(list->font().family(), "Arial");
    EXPECT_EQ(list->font().pointSize(), 8);
    EXPECT_FALSE(list->font().bold());
    EXPECT_EQ(list->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xE1));
    const QImage shown = list->viewport()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(shown.width() - 20, shown.height() / 2 + 1),
              QColor(0xFF, 0xFF, 0xE1))
        << "the list is painted in its colour";

    QFrame* dropDown = edit.LookupList();
    auto* grip = dropDown->findChild<app::TSizeGrip*>();
    ASSERT_NE(grip, nullptr);
    EXPECT_TRUE(grip->isVisible());
    EXPECT_EQ(grip->geometry(), QRect(dropDown->width() - 10, dropDown->height() - 10, 10, 10));
    EXPECT_TRUE(grip->mask().isEmpty()) << "all of the 10 x 10 corner answers";
    const QSize before = dropDown->size();
    QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(2, 2));
    QMouseEvent drag(QEvent::MouseMove, QPointF(42, 62), grip->mapToGlobal(QPointF(42, 62)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grip, &drag);
    QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(dropDown->size(), before + QSize(40, 60));
    EXPECT_EQ(grip->geometry().bottomRight(), dropDown->rect().bottomRight());
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(dropDown->size(), before + QSize(40, 60));
    EXPECT_TRUE(edit.LookupVisible());
}

}  // namespace
