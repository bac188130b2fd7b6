// The wizard's feature tree, presets and the parameter text it composes.
#include <functional>

#include <gtest/gtest.h>

#include "app/styledmap/styled_map_params.h"
#include "app/support/qt_print.h"

namespace {

using namespace styledmap;

PropertyRow& Row(std::vector<PropertyRow>& rows, const QString& top, const QString& child = {}) {
    for (PropertyRow& row : rows) {
        if (row.caption == top) {
            if (child.isEmpty()) {
                return row;
            }
            for (PropertyRow& sub : row.children) {
                if (sub.caption == child) {
                    return sub;
                }
            }
        }
    }
    throw std::runtime_error("no such row");
}

TEST(StyledMapParams, FeatureTreeRows) {
    const std::vector<PropertyRow> rows = FeatureTree();
    QStringList tops;
    std::vector<size_t> counts;
    for (const PropertyRow& row : rows) {
        tops << row.caption + "=" + row.data.Id;
        counts.push_back(row.children.size());
        EXPECT_EQ(row.data.ValueType, TVSTEditorType::vtComboEdit);
        for (const PropertyRow& child : row.children) {
            EXPECT_TRUE(child.data.Id.startsWith(row.data.Id + "."));
            EXPECT_GT(FeatureCode(child.data.Id), 0) << child.data.Id.toStdString();
            EXPECT_TRUE(child.data.Value.isEmpty());
        }
    }
    EXPECT_EQ(tops, (QStringList{"信息点=poi", "行政区=administrative", "风景区=landscape",
                                 "道路=road", "铁路=transit", "水域=water"}));
    EXPECT_EQ(counts, (std::vector<size_t>{8, 3, 2, 3, 2, 0}));
    EXPECT_EQ(rows[0].children[0].caption, "旅游");
    EXPECT_EQ(rows[0].children[0].hint, "s.t:2");
    EXPECT_EQ(rows[3].children[2].caption, "普通公路/城市街道");
    EXPECT_EQ(FeatureCode("administrative.land_parcel"), 21);
    EXPECT_EQ(FeatureCode("landscape.natural"), 82);
    EXPECT_EQ(FeatureCode("nothing"), -1);
}

TEST(StyledMapParams, PresetTextsAreSentAsTheyStand) {
    EXPECT_EQ(PresetNames(), (QStringList{"缺省样式", "无标签", "无信息点"}));
    EXPECT_FALSE(PresetParams(0).has_value());
    EXPECT_EQ(PresetParams(1).value(), "&apistyle=s.e:l|p.v:off&style=47,37|smartmaps");
    EXPECT_EQ(PresetParams(2).value(), "&apistyle=s.t:2|p.v:off&style=47,37|smartmaps");
}

TEST(StyledMapParams, TextForAnEditedTree) {
    struct Edit {
        const char* top;
        const char* child;  // "" for the top row
        const char* value;
    };
    struct Case {
        const char* what;
        std::vector<Edit> edits;
        const char* apistyle;
    };
    const Case cases[] = {
        {"nothing chosen", {}, ""},
        {"points of interest hidden", {{"信息点", "", "不可见"}}, "s.t:2%7Cp.v:off"},
        {"in tree order whatever the order of the edits",
         {{"水域", "", "不可见"}, {"道路", "高速公路/国道", "仅标签不可见"}},
         "s.t:49%7Cs.e:l.t%7Cp.v:off,s.t:6%7Cp.v:off"},
        {"a child of a hidden row adds nothing",
         {{"信息点", "", "不可见"}, {"信息点", "商业", "仅标签不可见"}},
         "s.t:2%7Cp.v:off"},
        {"the child's rule is back with its row shown",
         {{"信息点", "商业", "仅标签不可见"}, {"信息点", "", "不可见"}, {"信息点", "", ""}},
         "s.t:33%7Cs.e:l.t%7Cp.v:off"},
        {"a label-only parent keeps its children's rules",
         {{"行政区", "", "仅标签不可见"}, {"行政区", "国家名称", "不可见"}},
         "s.t:1%7Cs.e:l.t%7Cp.v:off,s.t:17%7Cp.v:off"},
        {"landscape children", {{"风景区", "自然景", "不可见"}}, "s.t:82%7Cp.v:off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<PropertyRow> rows = FeatureTree();
        for (const Edit& e : c.edits) {
            Row(rows, e.top, e.child).data.Value = e.value;
        }
        Row(rows, "道路", "城市主干道").data.Changed = true;
        EXPECT_EQ(BuildStyleParams(rows),
                  QString("&apistyle=") + c.apistyle + "&style=47,37%7Csmartmaps");
        EXPECT_FALSE(Row(rows, "道路", "城市主干道").data.Changed);
    }
}

}  // namespace
