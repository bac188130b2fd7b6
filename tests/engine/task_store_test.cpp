#include "engine/tasks/profiles.h"

#include <gtest/gtest.h>

#include "engine/tasks/task_text.h"
#include "support/scoped_log_folder.h"
#include "support/temp_dir.h"

namespace engine {
namespace {

// The scrambled bytes of an ASCII line, worked out by hand: the complement of an ASCII unit c
// is FF80..FFFF, whose UTF-8 form is EF, then BE or BF, then 80 | low six bits.
std::string ScrambledAscii(std::string_view line) {
    std::string bytes;
    for (const char c : line) {
        const unsigned complement = 0xFFFFu ^ static_cast<unsigned char>(c);
        bytes += '\xEF';
        bytes += static_cast<char>(0x80 | ((complement >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (complement & 0x3F));
    }
    return bytes;
}

std::string TaskFileOf(std::initializer_list<std::string_view> lines, bool mark = true,
                       std::string_view lineBreak = "\r\n") {
    std::string bytes = mark ? "\xEF\xBB\xBF" : "";
    for (const auto line : lines) {
        bytes += ScrambledAscii(line);
        bytes += lineBreak;
    }
    return bytes;
}

std::vector<int> Selected(const TZoomLevelArray& levels) {
    std::vector<int> selected;
    for (int i = 0; i < kZoomLevelCount; ++i) {
        if (levels[static_cast<std::size_t>(i)].Checked) {
            selected.push_back(i);
        }
    }
    return selected;
}

TTileBounds BoundsOf(std::initializer_list<std::array<int, 5>> entries) {
    TTileBounds bounds{};
    for (const auto& e : entries) {
        auto& b = bounds[static_cast<std::size_t>(e[0])];
        b.Checked = true;
        b.MinRow = e[1];
        b.MaxRow = e[2];
        b.MinCol = e[3];
        b.MaxCol = e[4];
    }
    return bounds;
}

// A task with every field set, as the main window fills it before saving.
void FillKnownTask(TProfiles& task) {
    task.SetName("Beijing");
    task.SetBookmark("39.9042,116.4074,10");
    task.SetMapTypeIndex(4);
    task.SetDirectory("/home/u/MapDownload/Beijing");
    task.SetZoomLevels(TProfiles::StrToZoomLevelArray("3,5,17"));
    task.SetCoordinates("116.1,39.7,116.7,40.1");
    auto bounds =
        BoundsOf({{3, 2, 3, 6, 6}, {5, 10, 12, 26, 27}, {17, 48000, 48100, 107800, 108000}});
    bounds[3].Points = {{6, 2}, {6, 3}};  // not stored
    bounds[3].zoom = 9;                   // not stored: the entry carries its level
    task.SetTileBounds(bounds);
    task.SetTileSize(256);
    task.SetTileType(TTileType::tsTMS);
    task.SetNoLabel(true);
    task.SetTiandituIndex(2);
}

TEST(TaskStore, WritesTheKnownTaskByteForByte) {
    testsupport::TempDir dir;
    TProfiles task(dir / "Profiles");
    FillKnownTask(task);
    task.Save();
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "Profiles/Beijing.zeb"),
              TaskFileOf({"Bookmark=39.9042,116.4074,10", "MapTypeId=4",
                          "Directory=/home/u/MapDownload/Beijing", "Zooms=3,5,17",
                          "Coordinates=116.1,39.7,116.7,40.1",
                          "TileBounds=3,2,3,6,6;5,10,12,26,27;17,48000,48100,107800,108000",
                          "TileSize=256", "TileType=2", "NoLabel=1", "TiandituIndex=2"}));
    // The line of the format's own example, spelled out.
    EXPECT_EQ(
        ScrambleTaskLine("Zooms=3"),
        "\xEF\xBE\xA5\xEF\xBE\x90\xEF\xBE\x90\xEF\xBE\x92\xEF\xBE\x8C\xEF\xBF\x82\xEF\xBF\x8C");
}

TEST(TaskStore, NonAsciiCharactersAreStoredAsTheirComplements) {
    struct Case {
        const char* text;
        const char* bytes;
    };
    const Case cases[] = {
        {"北", "\xEA\xB3\xA8"},                            // U+5317 -> U+ACE8
        {"—", "\xED\xBF\xAB"},                             // U+2014 -> lone DFEB, three-byte form
        {"\xE2\x80\x80", "\xED\xBF\xBF"},                  // U+2000 -> lone DFFF
        {"\xE2\x9F\xBF", "\xED\xA0\x80"},                  // U+27FF -> lone D800
        {"😀", "\xE2\x9F\x82\xE2\x87\xBF"},                 // D83D DE00 -> 27C2 21FF
        {"\xE2\x90\x80\xE2\x80\x90", "\xF4\x8F\xBF\xAF"},  // U+2400 U+2010 -> DBFF DFEF, a pair
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ScrambleTaskLine(c.text), c.bytes);
        EXPECT_EQ(UnscrambleTaskLine(c.bytes), c.text);
    }
}

TEST(TaskStore, SaveAndLoadRestoreEveryStoredField) {
    testsupport::TempDir dir;
    TProfiles saved(dir / "Profiles");
    FillKnownTask(saved);
    saved.Save();

    TProfiles loaded(dir / "Profiles");
    loaded.SetName("Beijing");
    loaded.Load();
    EXPECT_EQ(loaded.Name(), "Beijing");
    EXPECT_EQ(loaded.Bookmark(), saved.Bookmark());
    EXPECT_EQ(loaded.MapTypeIndex(), 4);
    EXPECT_EQ(loaded.Directory(), saved.Directory());
    EXPECT_EQ(Selected(loaded.ZoomLevels()), (std::vector<int>{3, 5, 17}));
    EXPECT_EQ(loaded.Coordinates(), saved.Coordinates());
    EXPECT_EQ(TProfiles::TileBoundsToStr(loaded.TileBounds()),
              "3,2,3,6,6;5,10,12,26,27;17,48000,48100,107800,108000");
    EXPECT_TRUE(loaded.TileBounds()[3].Points.empty());
    EXPECT_EQ(loaded.TileSize(), 256);
    EXPECT_EQ(loaded.TileType(), TTileType::tsTMS);
    EXPECT_TRUE(loaded.NoLabel());
    EXPECT_EQ(loaded.TiandituIndex(), 2);

    // Saving the loaded task again gives the same bytes.
    const auto first = testsupport::ReadFileBytes(dir / "Profiles/Beijing.zeb");
    loaded.Save();
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "Profiles/Beijing.zeb"), first);
}

TEST(TaskStore, EveryCharacterSurvivesIncludingThoseWhoseComplementIsASurrogate) {
    std::u16string units;
    for (char16_t u = 0x2000; u <= 0x27FF; ++u) {
        units += u;
    }
    const std::string surrogateRange = EncodeUtf8Units(units, false);
    const std::string mixed = "地图 —→①■ 😀𠀋 \xEF\xBF\xBD é\tx";  // U+FFFD kept as text
    testsupport::TempDir dir;
    TProfiles task(dir / "Profiles");
    task.SetName("chars");
    task.SetCoordinates(surrogateRange);
    task.SetDirectory(mixed);
    task.SetBookmark("line one\r\nline two");  // line breaks inside a value are scrambled too
    task.Save();
    TProfiles loaded(dir / "Profiles");
    loaded.Load(dir / "Profiles/chars.zeb");
    EXPECT_EQ(loaded.Coordinates(), surrogateRange);
    EXPECT_EQ(loaded.Directory(), mixed);
    EXPECT_EQ(loaded.Bookmark(), "line one\r\nline two");
}

// Files of older versions hold U+FFFD (EF BF BD) where a character could not be stored; it
// reads as U+FFFD, not as its complement U+0002. Bytes that are no UTF-8 read as U+FFFD too.
TEST(TaskStore, OlderFilesWithReplacementCharactersLoadAsTheyAre) {
    testsupport::TempDir dir;
    std::string bytes = "\xEF\xBB\xBF" + ScrambledAscii("Directory=a") + "\xEF\xBF\xBD" +
                        ScrambledAscii("b") + "\xFF" + "\r\n" + ScrambledAscii("TileSize=512") +
                        "\r\n";
    testsupport::WriteFileBytes(dir / "old.zeb", bytes);
    TProfiles task(dir / "Profiles");
    task.Load(dir / "old.zeb");
    EXPECT_EQ(task.Directory(),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(task.TileSize(), 512);
}

TEST(TaskStore, HandWrittenFilesLoadWithDefaultsForWhatIsMissing) {
    struct Case {
        std::string bytes;
        std::vector<int> zooms;
        bool noLabel;
        std::int32_t tileSize;
        TTileType tileType;
        std::int32_t mapType;
        std::int32_t tianditu = 0;  // a TianDiTu source outside the list of 11 reads as 0
    };
    const std::vector<Case> cases = {
        // No byte-order mark, LF line ends, keys in other letter cases, an unknown key.
        {TaskFileOf({"zooms=3,5", "NOLABEL=2", "Extra=1", "mapTypeId=7", "TileSize=512",
                     "TiandituIndex=10"},
                    false, "\n"),
         {3, 5},
         true,
         512,
         TTileType::tsGoogle,
         7,
         10},
        {TaskFileOf({"Zooms=abc", "NoLabel=256", "TileType=257", "TiandituIndex=11"}, true, "\r"),
         {0},
         false,
         256,
         TTileType::tsArcGIS,
         0},
        {TaskFileOf({"Zooms=3,30", "TileSize=", "MapTypeId=x", "TiandituIndex=-1"}),
         {3},
         false,
         256,
         TTileType::tsGoogle,
         0},
        // The first line of a key wins; only the first "=" splits.
        {TaskFileOf({"Zooms=4", "Zooms=9", "Directory=a=b"}),
         {4},
         false,
         256,
         TTileType::tsGoogle,
         0},
        {"", {}, false, 256, TTileType::tsGoogle, 0},
        {"\xEF\xBB\xBFnot a task file at all\r\n\x80\x81", {}, false, 256, TTileType::tsGoogle, 0},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        testsupport::TempDir dir;
        testsupport::WriteFileBytes(dir / "elsewhere/Hand Made.zeb", cases[i].bytes);
        const testsupport::ScopedLogFolder log(dir / "log");
        TProfiles task(dir / "Profiles");
        task.SetDirectory("stale");
        task.Load(dir / "elsewhere/Hand Made.zeb");
        EXPECT_EQ(task.Name(), "Hand Made");
        EXPECT_EQ(Selected(task.ZoomLevels()), cases[i].zooms);
        EXPECT_EQ(task.NoLabel(), cases[i].noLabel);
        EXPECT_EQ(task.TileSize(), cases[i].tileSize);
        EXPECT_EQ(task.TileType(), cases[i].tileType);
        EXPECT_EQ(task.MapTypeIndex(), cases[i].mapType);
        EXPECT_EQ(task.TiandituIndex(), cases[i].tianditu);
        EXPECT_NE(task.Directory(), "stale");
    }
}

TEST(TaskStore, ZoomAndBoundsTexts) {
    EXPECT_EQ(Selected(TProfiles::StrToZoomLevelArray("")), std::vector<int>{});
    EXPECT_EQ(Selected(TProfiles::StrToZoomLevelArray("17,3,5,3")), (std::vector<int>{3, 5, 17}));
    EXPECT_EQ(Selected(TProfiles::StrToZoomLevelArray("-1,21,22")), std::vector<int>{21});
    EXPECT_EQ(TProfiles::ZoomLevelArrayToStr(TProfiles::StrToZoomLevelArray("21,0,7")), "0,7,21");
    EXPECT_EQ(TProfiles::ZoomLevelArrayToStr({}), "");

    EXPECT_EQ(TProfiles::TileBoundsToStr({}), "");
    // A repeated level: the last entry wins. Short entries and levels out of range are ignored;
    // an unreadable number reads 0.
    const auto bounds =
        TProfiles::StrToTileBounds("4,1,2,3,4;4,5,6,7,8;6,1,2;30,1,1,1,1;;9,x,2,3,4");
    EXPECT_EQ(TProfiles::TileBoundsToStr(bounds), "4,5,6,7,8;9,0,2,3,4");
    EXPECT_FALSE(bounds[6].Checked);
}

TEST(TaskStore, BookmarkReadsWithAPointWhateverTheLocale) {
    TLatLng latLng{7, 1.0f, 2.0f};
    TProfiles::StrToLatLng("39.9042,116.4074", latLng);  // too few parts: unchanged
    EXPECT_EQ(latLng.zoom, 7);
    EXPECT_FLOAT_EQ(latLng.lat, 1.0f);
    TProfiles::StrToLatLng("39.9042,116.4074,12", latLng);
    EXPECT_FLOAT_EQ(latLng.lat, 39.9042f);
    EXPECT_FLOAT_EQ(latLng.lng, 116.4074f);
    EXPECT_EQ(latLng.zoom, 12);
    TProfiles::StrToLatLng("39,9,x", latLng);  // a decimal comma splits into three parts
    EXPECT_FLOAT_EQ(latLng.lat, 39.0f);
    EXPECT_FLOAT_EQ(latLng.lng, 9.0f);
    EXPECT_EQ(latLng.zoom, 4);
    TProfiles::StrToLatLng("a,b,c", latLng);
    EXPECT_FLOAT_EQ(latLng.lat, 32.694866f);
    EXPECT_FLOAT_EQ(latLng.lng, 105.996094f);
}

TEST(TaskStore, FileNameDefaultsAndLoadingByPathSavesIntoTheTaskFolder) {
    testsupport::TempDir dir;
    TProfiles task(dir / "Docs/Vantorel/Profiles");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Docs/Vantorel/Profiles"));
    EXPECT_EQ(task.TileSize(), 0);
    task.Save();
    EXPECT_EQ(task.Name(), "DefaultProfile");
    EXPECT_TRUE(std::filesystem::exists(dir / "Docs/Vantorel/Profiles/DefaultProfile.zeb"));

    testsupport::WriteFileBytes(dir / "usb/Shanghai.zeb", TaskFileOf({"Zooms=8"}));
    task.Load(dir / "usb/Shanghai.zeb");
    task.Save();
    EXPECT_TRUE(std::filesystem::exists(dir / "Docs/Vantorel/Profiles/Shanghai.zeb"));

    task.SetFileName(dir / "usb/copy.zeb");
    EXPECT_EQ(task.FileName(), dir / "usb/copy.zeb");
    task.Save();
    EXPECT_TRUE(std::filesystem::exists(dir / "usb/copy.zeb"));

    task.Load(dir / "missing.zeb");  // nothing happens
    EXPECT_EQ(task.Name(), "Shanghai");
}

TEST(TaskStore, NamesThatCannotNameAFileAreRefused) {
    testsupport::TempDir dir;
    TProfiles task(dir / "a/Profiles");
    for (const char* name : {"x/y", "../escape", "a\\b", ".", "..", "tab\there", "bell\x07",
                             "del\x7F", "c1\xC2\x85"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(CheckTaskName(name).empty());
        task.SetName(name);
        try {
            task.Save();
            FAIL() << "saved";
        } catch (const TaskStoreError& e) {
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
        EXPECT_THROW(task.Delete(), TaskStoreError);
    }
    std::vector<std::string> names;
    task.GetNames(names);
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "a/escape.zeb"));
    for (const char* name : {"北京 2014", "..a", "a.b", "x..y", "€"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(CheckTaskName(name), "");
        task.SetName(name);
        task.Save();
        EXPECT_TRUE(std::filesystem::exists(dir / "a/Profiles" / (std::string(name) + ".zeb")));
    }
}

TEST(TaskStore, SaveFailsIntoAMissingFolderAndCreatesNone) {
    testsupport::TempDir dir;
    TProfiles task(dir / "Profiles");
    std::filesystem::remove(dir / "Profiles");
    task.SetName("gone");
    EXPECT_THROW(task.Save(), TaskStoreError);
    EXPECT_FALSE(std::filesystem::exists(dir / "Profiles"));
}

TEST(TaskStore, DeleteAndNames) {
    testsupport::TempDir dir;
    TProfiles task(dir / "Profiles");
    std::vector<std::string> names{"stale"};
    task.GetNames(names);
    EXPECT_TRUE(names.empty());

    for (const char* name : {"b", "a", "c"}) {
        task.SetName(name);
        task.Save();
    }
    testsupport::WriteFileBytes(dir / "Profiles/notes.txt", "x");
    testsupport::WriteFileBytes(dir / "Profiles/sub/deep.zeb", "x");
    std::filesystem::create_directories(dir / "Profiles/folder.zeb");
    task.GetNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c"}));

    task.SetName("b");
    task.SetDirectory("/d");
    task.SetMapTypeIndex(5);
    task.SetTileSize(512);
    task.Delete();
    EXPECT_FALSE(std::filesystem::exists(dir / "Profiles/b.zeb"));
    EXPECT_EQ(task.Directory(), "");
    EXPECT_EQ(task.MapTypeIndex(), 0);
    EXPECT_EQ(task.TileSize(), 512);  // ClearProfile keeps the other fields
    task.SetName("never-saved");
    EXPECT_NO_THROW(task.Delete());
    EXPECT_EQ(task.Name(), "never-saved");
    task.GetNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "c"}));
}

}  // namespace
}  // namespace engine
