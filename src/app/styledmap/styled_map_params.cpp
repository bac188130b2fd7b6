#include "styled_map_params.h"

#include <QUrl>
#include <array>
#include <string_view>

#include "geodata/search/query_encoding.h"

namespace styledmap {
namespace {

struct Feature {
    const char* id;
    int code;
};

constexpr std::array<Feature, 26> kFeatureCodes = {{
    {"administrative", 1},
    {"poi", 2},
    {"road", 3},
    {"transit", 4},
    {"landscape", 5},
    {"water", 6},
    {"administrative.country", 17},
    {"administrative.province", 18},
    {"administrative.locality", 19},
    {"administrative.neighborhood", 20},
    {"administrative.land_parcel", 21},
    {"poi.business", 33},
    {"poi.government", 34},
    {"poi.school", 35},
    {"poi.medical", 36},
    {"poi.attraction", 37},
    {"poi.place_of_worship", 38},
    {"poi.sports_complex", 39},
    {"poi.park", 40},
    {"road.highway", 49},
    {"road.arterial", 50},
    {"road.local", 51},
    {"transit.line", 65},
    {"transit.station", 66},
    {"landscape.man_made", 81},
    {"landscape.natural", 82},
}};

struct Child {
    const char* id;
    const char* caption;
    const char* hint;
};

struct Group {
    const char* id;
    const char* caption;
    std::vector<Child> children;
};

const std::vector<Group>& Groups() {
    static const std::vector<Group> groups = {
        {"poi",
         "信息点",
         {{"poi.attraction", "旅游", "s.t:2"},
          {"poi.business", "商业", ""},
          {"poi.government", "政府", ""},
          {"poi.medical", "医院", ""},
          {"poi.park", "公园", ""},
          {"poi.place_of_worship", "教堂", ""},
          {"poi.school", "学校", ""},
          {"poi.sports_complex", "运动", ""}}},
        {"administrative",
         "行政区",
         {{"administrative.country", "国家名称", ""},
          {"administrative.province", "省级名称", ""},
          {"administrative.locality", "市级及以下", ""}}},
        {"landscape",
         "风景区",
         {{"landscape.man_made", "人造景", ""}, {"landscape.natural", "自然景", ""}}},
        {"road",
         "道路",
         {{"road.highway", "高速公路/国道", ""},
          {"road.arterial", "城市主干道", ""},
          {"road.local", "普通公路/城市街道", ""}}},
        {"transit", "铁路", {{"transit.line", "铁路", ""}, {"transit.station", "火车站/机场", ""}}},
        {"water", "水域", {}},
    };
    return groups;
}

QString Encoded(const QString& text) {
    return QString::fromStdString(geodata::EncodeQueryParam(text.toStdString()));
}

void AddRule(const PropertyRow& row, QStringList& rules) {
    const int code = FeatureCode(row.data.Id);
    if (code < 0) {
        return;
    }
    if (row.data.Value.compare(QString::fromUtf8(kHidden), Qt::CaseInsensitive) == 0) {
        rules << QStringLiteral("s.t:%1").arg(code);
    } else if (row.data.Value.compare(QString::fromUtf8(kLabelsHidden), Qt::CaseInsensitive) == 0) {
        rules << QStringLiteral("s.t:%1|s.e:l.t").arg(code);
    }
}

const QString& kApiStyle() {
    static const QString text = QStringLiteral("&apistyle=");
    return text;
}

QString StyleTail() {
    return QStringLiteral("&style=") + Encoded(QStringLiteral("47,37|smartmaps"));
}

void ClearValues(std::vector<PropertyRow>& rows) {
    for (PropertyRow& top : rows) {
        top.data.Value.clear();
        for (PropertyRow& child : top.children) {
            child.data.Value.clear();
        }
    }
}

PropertyRow* RowOfCode(std::vector<PropertyRow>& rows, int code) {
    for (PropertyRow& top : rows) {
        if (FeatureCode(top.data.Id) == code) {
            return &top;
        }
        for (PropertyRow& child : top.children) {
            if (FeatureCode(child.data.Id) == code) {
                return &child;
            }
        }
    }
    return nullptr;
}

// The values of a text BuildStyleParams made; false for any other text.
bool ReadTreeText(const QString& text, std::vector<PropertyRow>& rows) {
    if (!text.startsWith(kApiStyle()) || !text.endsWith(StyleTail())) {
        return false;
    }
    const QString rules = QUrl::fromPercentEncoding(
        text.mid(kApiStyle().size(), text.size() - kApiStyle().size() - StyleTail().size())
            .toUtf8());
    if (rules.isEmpty()) {
        return true;
    }
    const QString off = QStringLiteral("|p.v:off");
    const QString labels = QStringLiteral("|s.e:l.t");
    for (QString rule : rules.split(u',')) {
        if (!rule.endsWith(off) || !rule.startsWith(QStringLiteral("s.t:"))) {
            return false;
        }
        rule.chop(off.size());
        const bool labelsOnly = rule.endsWith(labels);
        if (labelsOnly) {
            rule.chop(labels.size());
        }
        bool number = false;
        const int code = rule.mid(4).toInt(&number);
        PropertyRow* row = number ? RowOfCode(rows, code) : nullptr;
        if (row == nullptr || !row->data.Value.isEmpty()) {
            return false;
        }
        row->data.Value = QString::fromUtf8(labelsOnly ? kLabelsHidden : kHidden);
    }
    return true;
}

}  // namespace

QStringList ValueChoices() {
    return {QString(), QString::fromUtf8(kHidden), QString::fromUtf8(kLabelsHidden)};
}

int FeatureCode(const QString& id) {
    for (const Feature& feature : kFeatureCodes) {
        if (id == QLatin1String(feature.id)) {
            return feature.code;
        }
    }
    return -1;
}

std::vector<PropertyRow> FeatureTree() {
    std::vector<PropertyRow> rows;
    for (const Group& group : Groups()) {
        PropertyRow top;
        top.caption = QString::fromUtf8(group.caption);
        top.data.Id = QLatin1String(group.id);
        for (const Child& child : group.children) {
            PropertyRow row;
            row.caption = QString::fromUtf8(child.caption);
            row.hint = QString::fromUtf8(child.hint);
            row.data.Id = QLatin1String(child.id);
            top.children.push_back(std::move(row));
        }
        rows.push_back(std::move(top));
    }
    return rows;
}

QString BuildStyleParams(std::vector<PropertyRow>& rows) {
    QStringList rules;
    const QString hidden = QString::fromUtf8(kHidden);
    for (PropertyRow& top : rows) {
        AddRule(top, rules);
        top.data.Changed = false;
        const bool parentHidden = top.data.Value.compare(hidden, Qt::CaseInsensitive) == 0;
        for (PropertyRow& child : top.children) {
            if (!parentHidden) {
                AddRule(child, rules);
            }
            child.data.Changed = false;
        }
    }
    QStringList parts;
    for (const QString& rule : rules) {
        parts << rule + QStringLiteral("|p.v:off");
    }
    return kApiStyle() + Encoded(parts.join(QLatin1Char(','))) + StyleTail();
}

QStringList PresetNames() {
    return {QStringLiteral("缺省样式"), QStringLiteral("无标签"), QStringLiteral("无信息点")};
}

std::optional<QString> PresetParams(int index) {
    switch (index) {
        case 1:
            return QStringLiteral("&apistyle=s.e:l|p.v:off&style=47,37|smartmaps");
        case 2:
            return QStringLiteral("&apistyle=s.t:2|p.v:off&style=47,37|smartmaps");
        default:
            return std::nullopt;
    }
}

int ShowStyleParams(const QString& text, std::vector<PropertyRow>& rows) {
    ClearValues(rows);
    if (text.isEmpty()) {
        return 0;
    }
    for (int preset = 1; preset < PresetNames().size(); ++preset) {
        if (PresetParams(preset) == text) {
            return preset;
        }
    }
    if (!ReadTreeText(text, rows)) {
        ClearValues(rows);
    }
    return -1;
}

}  // namespace styledmap
