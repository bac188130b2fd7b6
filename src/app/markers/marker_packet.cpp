#include "marker_packet.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <pugixml.hpp>
#include <sstream>

#include "engine/core/number_format.h"

namespace app {

namespace {

// Row states of a packet with unmerged changes (bits).
constexpr int kRowDeleted = 2;
constexpr int kRowModified = 8;

struct Column {
    const char* name;
    const char* type;  // the type written; strings are read with any "string..." type
    int width;         // 0: no width
    bool required;
};

constexpr std::array<Column, 5> kColumns{{
    {"marker_id", "i8", 0, true},
    {"name", "string", kMarkerNameWidth, true},
    {"latitude", "r8", 0, true},
    {"longitude", "r8", 0, true},
    {"content_string", "string", kMarkerContentWidth, false},
}};

bool TypeFits(const Column& column, std::string_view type) {
    if (std::string_view(column.type) == "string")
        return type.starts_with("string");
    if (std::string_view(column.type) == "i8")
        return type == "i8" || type == "i4" || type == "i2";
    return type == column.type;
}

// A row as written, before the change log is applied: the column values it carries.
struct RawRow {
    int state = 0;
    std::array<std::optional<std::string>, kColumns.size()> values;
    int parent = 0;  // 1-based row that this change applies to, from the change log
};

QString FieldsProblem(pugi::xml_node fields) {
    for (const Column& column : kColumns) {
        pugi::xml_node field = fields.find_child_by_attribute("FIELD", "attrname", column.name);
        if (!field)
            return QStringLiteral("缺少字段 %1").arg(QLatin1String(column.name));
        if (!TypeFits(column, field.attribute("fieldtype").value()))
            return QStringLiteral("字段 %1 的类型不符").arg(QLatin1String(column.name));
    }
    return {};
}

std::optional<std::vector<int>> ParseIntList(std::string_view text) {
    std::vector<int> numbers;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        int value = 0;
        const auto [end, ec] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
        if (ec != std::errc() || value < 0)
            return std::nullopt;
        numbers.push_back(value);
        pos = static_cast<std::size_t>(end - text.data());
    }
    return numbers;
}

std::string DoubleText(double value) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

MarkerPacketResult Refuse(QString error) {
    MarkerPacketResult result;
    result.error = std::move(error);
    return result;
}

// The record of a row whose change log has been applied; nothing when a value is missing or
// not of its column's type.
std::optional<MarkerRecord> RecordOf(const RawRow& row) {
    const auto& v = row.values;
    if (!v[0] || !v[1] || !v[2] || !v[3])
        return std::nullopt;
    const auto id = engine::ParseInt(*v[0]);
    const auto lat = engine::ParseFloat(*v[2]);
    const auto lng = engine::ParseFloat(*v[3]);
    if (!id || !lat || !lng)
        return std::nullopt;
    MarkerRecord record;
    record.id = *id;
    record.name = ColumnText(QString::fromStdString(*v[1]), kMarkerNameWidth);
    record.latitude = *lat;
    record.longitude = *lng;
    if (v[4])
        record.content = ColumnText(QString::fromStdString(*v[4]), kMarkerContentWidth);
    return record;
}

}  // namespace

QString LimitCharacters(const QString& text, int width) {
    int characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (characters == width)
            return text.left(i);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        ++characters;
    }
    return text;
}

QString ColumnText(const QString& text, int width) {
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        // The characters XML 1.0 has (U+FFFE and U+FFFF are none).
        if ((u >= 0x20 && u != 0xFFFE && u != 0xFFFF) || u == u'\t' || u == u'\n' || u == u'\r')
            kept.append(c);
    }
    return LimitCharacters(kept, width);
}

MarkerPacketResult ReadMarkerPacket(const std::string& bytes) {
    pugi::xml_document doc;
    // Whitespace inside attribute values is kept as written: notes hold line breaks.
    const pugi::xml_parse_result parsed = doc.load_buffer(
        bytes.data(), bytes.size(),
        pugi::parse_cdata | pugi::parse_escapes | pugi::parse_declaration, pugi::encoding_utf8);
    if (!parsed) {
        MarkerPacketResult refused =
            Refuse(QStringLiteral("不是完整的XML文档，第 %1 字节处有误").arg(parsed.offset));
        refused.detail = parsed.description();
        return refused;
    }
    pugi::xml_node root = doc.document_element();
    if (std::string_view(root.name()) != "DATAPACKET")
        return Refuse(QStringLiteral("不是数据包（根元素不是 DATAPACKET）"));
    pugi::xml_node metadata = root.child("METADATA");
    pugi::xml_node fields = metadata.child("FIELDS");
    pugi::xml_node rowdata = root.child("ROWDATA");
    if (!fields || !rowdata)
        return Refuse(QStringLiteral("缺少 METADATA/FIELDS 或 ROWDATA"));
    if (QString problem = FieldsProblem(fields); !problem.isEmpty())
        return Refuse(problem);

    std::vector<RawRow> rows;
    for (pugi::xml_node row : rowdata.children("ROW")) {
        RawRow raw;
        if (pugi::xml_attribute state = row.attribute("RowState")) {
            const auto value = engine::ParseInt(state.value());
            if (!value || *value < 0 || *value > 0xFFFF)
                return Refuse(QStringLiteral("第 %1 行的 RowState 有误").arg(rows.size() + 1));
            raw.state = static_cast<int>(*value);
        }
        for (std::size_t c = 0; c < kColumns.size(); ++c) {
            if (pugi::xml_attribute a = row.attribute(kColumns[c].name))
                raw.values[c] = a.value();
        }
        rows.push_back(std::move(raw));
    }

    const std::string_view changeLog = metadata.child("PARAMS").attribute("CHANGE_LOG").value();
    const auto log = ParseIntList(changeLog);
    if (!log || log->size() % 3 != 0)
        return Refuse(QStringLiteral("CHANGE_LOG 有误"));
    for (std::size_t i = 0; i < log->size(); i += 3) {
        const int row = (*log)[i];
        const int parent = (*log)[i + 1];
        if (row < 1 || row > static_cast<int>(rows.size()) || parent >= row)
            return Refuse(QStringLiteral("CHANGE_LOG 有误"));
        rows[row - 1].parent = parent;
    }

    // A modified row replaces the row it changes, at that row's place, and takes the values it
    // leaves out from it; a deleted row goes, with the row it deletes.
    const std::size_t n = rows.size();
    std::vector<bool> gone(n, false);
    std::vector<std::size_t> place(n);
    for (std::size_t i = 0; i < n; ++i) {
        RawRow& row = rows[i];
        place[i] = i;
        const bool modified = (row.state & kRowModified) != 0;
        if (modified && row.parent == 0)
            return Refuse(QStringLiteral("第 %1 行是修改行，但没有原行").arg(i + 1));
        if (row.parent != 0 && (modified || (row.state & kRowDeleted) != 0)) {
            const std::size_t p = static_cast<std::size_t>(row.parent - 1);
            gone[p] = true;
            place[i] = place[p];
            for (std::size_t c = 0; c < kColumns.size(); ++c) {
                if (!row.values[c])
                    row.values[c] = rows[p].values[c];
            }
        }
        if ((row.state & kRowDeleted) != 0)
            gone[i] = true;
    }

    std::vector<std::pair<std::size_t, MarkerRecord>> live;
    for (std::size_t i = 0; i < n; ++i) {
        if (gone[i])
            continue;
        auto record = RecordOf(rows[i]);
        if (!record)
            return Refuse(QStringLiteral("第 %1 行的数据有误").arg(i + 1));
        live.emplace_back(place[i], std::move(*record));
    }
    std::stable_sort(live.begin(), live.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    MarkerPacketResult result;
    result.ok = true;
    for (auto& entry : live)
        result.rows.push_back(std::move(entry.second));
    return result;
}

std::string WriteMarkerPacket(const std::vector<MarkerRecord>& rows) {
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";
    pugi::xml_node root = doc.append_child("DATAPACKET");
    root.append_attribute("Version") = "2.0";
    pugi::xml_node metadata = root.append_child("METADATA");
    pugi::xml_node fields = metadata.append_child("FIELDS");
    for (const Column& column : kColumns) {
        pugi::xml_node field = fields.append_child("FIELD");
        field.append_attribute("attrname") = column.name;
        field.append_attribute("fieldtype") = column.type;
        if (column.required)
            field.append_attribute("required") = "true";
        if (column.width > 0)
            field.append_attribute("WIDTH") = column.width;
    }
    metadata.append_child("PARAMS");
    pugi::xml_node rowdata = root.append_child("ROWDATA");
    for (const MarkerRecord& record : rows) {
        pugi::xml_node row = rowdata.append_child("ROW");
        row.append_attribute("marker_id") = engine::FormatInt(record.id).c_str();
        row.append_attribute("name") =
            ColumnText(record.name, kMarkerNameWidth).toStdString().c_str();
        row.append_attribute("latitude") = DoubleText(record.latitude).c_str();
        row.append_attribute("longitude") = DoubleText(record.longitude).c_str();
        row.append_attribute("content_string") =
            ColumnText(record.content, kMarkerContentWidth).toStdString().c_str();
    }
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

}  // namespace app
