// The marker table and its file: packets with unmerged changes, the empty table, texts that
// XML and the character limits could spoil, damaged files, and where the file lives.
#include <QString>
#include <filesystem>
#include <pugixml.hpp>

#include <gtest/gtest.h>

#include "app/markers/marker_packet.h"
#include "app/markers/marker_store.h"
#include "app/support/qt_print.h"
#include "marker_print.h"
#include "support/temp_dir.h"

namespace {

using app::MarkerRecord;
using app::MarkerStore;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

const char kFields[] =
    R"(<FIELDS><FIELD attrname="marker_id" fieldtype="i8" required="true"/>)"
    R"(<FIELD attrname="name" fieldtype="string" required="true" WIDTH="50"/>)"
    R"(<FIELD attrname="latitude" fieldtype="r8" required="true"/>)"
    R"(<FIELD attrname="longitude" fieldtype="r8" required="true"/>)"
    R"(<FIELD attrname="content_string" fieldtype="string" WIDTH="200"/></FIELDS>)";

std::string Packet(const std::string& params, const std::string& rows) {
    return std::string(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)") +
           R"(<DATAPACKET Version="2.0"><METADATA>)" + kFields + params + "</METADATA><ROWDATA>" +
           rows + "</ROWDATA></DATAPACKET>";
}

MarkerRecord Record(std::int64_t id, const char* name, double lat, double lng,
                    const char* content = "") {
    return {id, QString::fromUtf8(name), lat, lng, QString::fromUtf8(content)};
}

TEST(MarkerPacket, ChangeLogRowsLoadToTheTableThatWasSaved) {
    // Saved with three rows merged, then: row 2 modified (name and note only), row 3 deleted,
    // a new row inserted, the new row modified again, and a second insert deleted again.
    const std::string packet = Packet(
        R"(<PARAMS CHANGE_LOG="4 2 8 5 0 4 6 5 8 7 0 4 8 7 2"/>)",
        R"(<ROW marker_id="1" name="一" latitude="30.5" longitude="110.25" content_string="a"/>)"
        R"(<ROW RowState="1" marker_id="2" name="二" latitude="31" longitude="111" content_string="b"/>)"
        R"(<ROW RowState="2" marker_id="3" name="三" latitude="32" longitude="112" content_string=""/>)"
        R"(<ROW RowState="8" name="二改" content_string="新备注"/>)"
        R"(<ROW RowState="4" marker_id="4" name="四" latitude="33" longitude="113"/>)"
        R"(<ROW RowState="8" latitude="33.125"/>)"
        R"(<ROW RowState="4" marker_id="5" name="五" latitude="34" longitude="114"/>)"
        R"(<ROW RowState="2" marker_id="5" name="五" latitude="34" longitude="114"/>)");
    const auto result = app::ReadMarkerPacket(packet);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const std::vector<MarkerRecord> expected{Record(1, "一", 30.5, 110.25, "a"),
                                             Record(2, "二改", 31, 111, "新备注"),
                                             Record(4, "四", 33.125, 113)};
    EXPECT_EQ(result.rows, expected);

    // Written again, the packet holds the merged table and reads back the same.
    const auto again = app::ReadMarkerPacket(app::WriteMarkerPacket(result.rows));
    ASSERT_TRUE(again.ok) << again.error.toStdString();
    EXPECT_EQ(again.rows, expected);
}

TEST(MarkerPacket, AnEmptyTableSavesTheMetadataAndAnEmptyRowData) {
    TempDir dir;
    MarkerStore store(dir / "Data" / "markers");
    QString error;
    ASSERT_TRUE(store.SaveMarkerToFile(&error))
        << error.toStdString();  // the folder is created too

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file((dir / "Data" / "markers").c_str(),
                              pugi::parse_default | pugi::parse_declaration));
    const pugi::xml_node declaration = doc.first_child();
    EXPECT_STREQ(declaration.attribute("encoding").value(), "UTF-8");
    EXPECT_STREQ(declaration.attribute("standalone").value(), "yes");
    const pugi::xml_node root = doc.child("DATAPACKET");
    EXPECT_STREQ(root.attribute("Version").value(), "2.0");
    struct Field {
        const char* name;
        const char* type;
        const char* width;
        bool required;
    };
    const Field fields[] = {{"marker_id", "i8", "", true},
                            {"name", "string", "50", true},
                            {"latitude", "r8", "", true},
                            {"longitude", "r8", "", true},
                            {"content_string", "string", "200", false}};
    int n = 0;
    for (pugi::xml_node field : root.child("METADATA").child("FIELDS").children("FIELD")) {
        ASSERT_LT(n, 5);
        SCOPED_TRACE(fields[n].name);
        EXPECT_STREQ(field.attribute("attrname").value(), fields[n].name);
        EXPECT_STREQ(field.attribute("fieldtype").value(), fields[n].type);
        EXPECT_STREQ(field.attribute("WIDTH").value(), fields[n].width);
        EXPECT_EQ(field.attribute("required").as_bool(), fields[n].required);
        ++n;
    }
    EXPECT_EQ(n, 5);
    const pugi::xml_node rowdata = root.child("ROWDATA");
    ASSERT_TRUE(rowdata);
    EXPECT_FALSE(rowdata.first_child());

    MarkerStore reread(dir / "Data" / "markers");
    EXPECT_EQ(reread.LoadMarkerFromFile(), "");
    EXPECT_EQ(reread.RecordCount(), 0);
}

TEST(MarkerPacket, TextsAndNumbersRoundTripThroughTheFile) {
    TempDir dir;
    const std::vector<MarkerRecord> rows{
        Record(1733840000123, "北京 \"天安门\" & <广场>", 39.908722, 116.397499,
               "]]> <![CDATA[ x ]]> &amp; 'single'"),
        Record(-5, "line\nbreaks\r\nand\ttabs", -33.8688197, -151.2092955, "第一行\r\n第二行\n"),
        Record(INT64_MAX, "</script><!--", 1e-7, 179.99999999999997, "\\ back\\slash"),
        Record(INT64_MIN, "😀 emoji", 89.999999999, -180, "U+2028\u2028U+2029\u2029"),
    };
    MarkerStore store(dir / "markers");
    for (const auto& row : rows)
        ASSERT_TRUE(store.Post(row));
    QString error;
    ASSERT_TRUE(store.SaveMarkerToFile(&error)) << error.toStdString();

    MarkerStore reread(dir / "markers");
    EXPECT_EQ(reread.LoadMarkerFromFile(), "");
    EXPECT_EQ(reread.Records(), rows);
}

TEST(MarkerPacket, TextsAreLimitedByCharactersNotBytes) {
    const QString chinese = QString(60, QChar(0x4E2D));          // 3 bytes each in UTF-8
    const QString emoji = QString::fromUtf8("😀").repeated(210);  // surrogate pairs
    TempDir dir;
    MarkerStore store(dir / "markers");
    ASSERT_TRUE(store.Post({1, chinese, 1, 2, emoji}));
    ASSERT_TRUE(store.SaveMarkerToFile());
    MarkerStore reread(dir / "markers");
    EXPECT_EQ(reread.LoadMarkerFromFile(), "");
    ASSERT_EQ(reread.RecordCount(), 1);
    EXPECT_EQ(reread.Records()[0].name, QString(50, QChar(0x4E2D)));
    EXPECT_EQ(reread.Records()[0].content, QString::fromUtf8("😀").repeated(200));
}

TEST(MarkerStore, ControlCharactersThatXmlCannotHoldAreDroppedAsTheRowIsStored) {
    QString name = QStringLiteral(
        "a\x01"
        "b");
    name.append(QChar(0)).append(QChar(0xFFFE)).append(u'c').append(QChar(0xFFFF));
    TempDir dir;
    MarkerStore store(dir / "markers");
    ASSERT_TRUE(store.Post({1, name, 1, 2, QStringLiteral("x\x1fy\tz\r\n")}));
    const MarkerRecord expected = Record(1, "abc", 1, 2, "xy\tz\r\n");
    EXPECT_EQ(store.Records()[0], expected);
    ASSERT_TRUE(store.SaveMarkerToFile());
    MarkerStore reread(dir / "markers");
    EXPECT_EQ(reread.LoadMarkerFromFile(), "");
    EXPECT_EQ(reread.Records(), std::vector<MarkerRecord>{expected});
}

TEST(MarkerStore, NamesAreComparedIgnoringCase) {
    MarkerStore store("unused");
    store.Post(Record(1, "Home", 1, 1));
    store.Post(Record(2, "Дом", 1, 1));
    struct Case {
        const char* name;
        bool exists;
    };
    const Case cases[] = {{"Home", true}, {"HOME", true},   {"home", true}, {"дОМ", true},
                          {"Hom", false}, {"Home ", false}, {"", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(store.MarkerExists(QString::fromUtf8(c.name)), c.exists) << c.name;
    }
}

TEST(MarkerStore, PositionOfAnUnknownIdLeavesTheOutputs) {
    MarkerStore store("unused");
    store.Post(Record(7, "a", 30.5, 110.5));
    double lat = -1;
    double lng = -2;
    store.MarkerPosition(8, lat, lng);
    EXPECT_EQ(lat, -1);
    EXPECT_EQ(lng, -2);
    store.MarkerPosition(7, lat, lng);
    EXPECT_EQ(lat, 30.5);
    EXPECT_EQ(lng, 110.5);
}

TEST(MarkerStore, PostEditsInPlaceOrAppendsAndDeleteRemovesOneRow) {
    MarkerStore store("unused");
    store.Post(Record(1, "a", 1, 1));
    store.Post(Record(2, "b", 2, 2));
    store.Post(Record(3, "c", 3, 3));
    store.Post(Record(2, "B", 4, 5, "note"));
    EXPECT_FALSE(store.Delete(9));
    EXPECT_TRUE(store.Delete(1));
    EXPECT_FALSE(store.Post(Record(4, "nan", std::nan(""), 1)));
    const std::vector<MarkerRecord> expected{Record(2, "B", 4, 5, "note"), Record(3, "c", 3, 3)};
    EXPECT_EQ(store.Records(), expected);
}

TEST(MarkerStore, ADamagedFileIsKeptAsideReportedAndNeverOverwritten) {
    const std::string good = app::WriteMarkerPacket({Record(1, "a", 30, 110)});
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"cut short", good.substr(0, good.size() / 2)},
        {"cut before the root's end tag", good.substr(0, good.rfind("</DATAPACKET>"))},
        {"not XML", "marker_id,name\n1,a\n"},
        {"empty", ""},
        {"another packet", Packet("", "").replace(Packet("", "").find("latitude"), 8, "lat")},
        {"another root", "<?xml version=\"1.0\"?><GPX/>"},
        {"a row without its id", Packet("", R"(<ROW name="a" latitude="1" longitude="2"/>)")},
        {"a position that is no number",
         Packet("", R"(<ROW marker_id="1" name="a" latitude="北" longitude="2"/>)")},
        {"an id that is no integer",
         Packet("", R"(<ROW marker_id="1.5" name="a" latitude="1" longitude="2"/>)")},
        {"a change without its row",
         Packet(R"(<PARAMS CHANGE_LOG="1 0 8"/>)", R"(<ROW RowState="8" name="a"/>)")},
        {"a change log of the wrong shape",
         Packet(R"(<PARAMS CHANGE_LOG="1 0"/>)",
                R"(<ROW RowState="4" marker_id="1" name="a" latitude="1" longitude="2"/>)")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto file = dir / "d41d8cd98f00b204e9800998ecf8427e";
        WriteFileBytes(file, c.bytes);
        MarkerStore store(file);
        const QString message = store.LoadMarkerFromFile();
        EXPECT_TRUE(message.contains(QStringLiteral("已损坏"))) << message.toStdString();
        EXPECT_EQ(store.RecordCount(), 0);
        ASSERT_FALSE(store.SetAsidePath().empty());
        EXPECT_TRUE(message.contains(QString::fromStdString(store.SetAsidePath().string())));
        EXPECT_EQ(ReadFileBytes(store.SetAsidePath()), c.bytes);

        // The next change writes a new file; the damaged one stays where it was put.
        ASSERT_TRUE(store.Post(Record(2, "b", 1, 1)));
        ASSERT_TRUE(store.SaveMarkerToFile());
        EXPECT_EQ(ReadFileBytes(store.SetAsidePath()), c.bytes);
        MarkerStore reread(file);
        EXPECT_EQ(reread.LoadMarkerFromFile(), "");
        EXPECT_EQ(reread.RecordCount(), 1);
    }
}

TEST(MarkerStore, ASecondDamagedFileDoesNotReplaceTheFirstOneSetAside) {
    TempDir dir;
    const auto file = dir / "markers";
    WriteFileBytes(file, "first");
    MarkerStore first(file);
    first.LoadMarkerFromFile();
    WriteFileBytes(file, "second");
    MarkerStore second(file);
    second.LoadMarkerFromFile();
    ASSERT_NE(first.SetAsidePath(), second.SetAsidePath());
    EXPECT_EQ(ReadFileBytes(first.SetAsidePath()), "first");
    EXPECT_EQ(ReadFileBytes(second.SetAsidePath()), "second");
}

TEST(MarkerStore, NoFileIsAnEmptyTableWithoutAMessage) {
    TempDir dir;
    MarkerStore store(dir / "none");
    EXPECT_EQ(store.LoadMarkerFromFile(), "");
    EXPECT_EQ(store.RecordCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));
}

TEST(MarkerFile, LivesInTheDataFolderBelowTheDocuments) {
    EXPECT_EQ(app::MarkerFileName("/home/u/Documents"),
              "/home/u/Documents/Vantorel/Data/d41d8cd98f00b204e9800998ecf8427e");
}

}  // namespace
