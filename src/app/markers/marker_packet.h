#pragma once
// The marker file's content: an XML data packet (DATAPACKET Version 2.0) whose METADATA lists
// the five columns and whose ROWDATA holds one ROW per marker. Packets with unmerged changes
// (rows marked with RowState and a CHANGE_LOG parameter) are read by applying the changes, so
// the rows read are the table as it was saved. Written packets hold no change log.
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace app {

// Column widths, in characters (texts are UTF-8).
inline constexpr int kMarkerNameWidth = 50;
inline constexpr int kMarkerContentWidth = 200;

struct MarkerRecord {
    std::int64_t id = 0;  // "marker_id"
    QString name;         // "name"
    double latitude = 0;
    double longitude = 0;
    QString content;  // "content_string"

    bool operator==(const MarkerRecord&) const = default;
};

struct MarkerPacketResult {
    bool ok = false;
    QString error;       // why the packet was refused
    std::string detail;  // the XML parser's own text, for the log
    std::vector<MarkerRecord> rows;
};

MarkerPacketResult ReadMarkerPacket(const std::string& bytes);
std::string WriteMarkerPacket(const std::vector<MarkerRecord>& rows);

// The first `width` characters (code points) of `text`; a pair of surrogates is never split.
QString LimitCharacters(const QString& text, int width);
// A text as a column stores it: without the characters that XML cannot hold (controls but tab
// and line breaks, U+FFFE, U+FFFF), cut to the column's width.
QString ColumnText(const QString& text, int width);

}  // namespace app
