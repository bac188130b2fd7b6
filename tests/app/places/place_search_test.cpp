// The place-search box against a fake suggestion service on loopback.
#include <QApplication>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <map>

#include <httplib.h>

#include "app/places/place_search_controller.h"
#include "app/places/suggestions.h"
#include "app/places/web_gmaps_lookup_edit.h"
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

TEST_F(LookupEditTest, DeleteAndCutLookNothingUp) {
    TypeText(&edit, QStringLiteral("西单北京"));
    testplaces::Settle();
    const auto asked = server.Requests().size();
    ASSERT_EQ(asked, 3u);
    edit.setCursorPosition(0);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.text(), QStringLiteral("单北京"));
    edit.setSelection(2, 1);
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("单北"));
    testplaces::Settle();
    EXPECT_EQ(server.Requests().size(), asked);
    // Typing again looks up as before.
    TypeText(&edit, QStringLiteral("路"));
    EXPECT_TRUE(testplaces::WaitFor([&] { return server.Requests().size() > asked; }));
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

}  // namespace
