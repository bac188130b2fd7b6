#include "geodata/boundary/boundary_store.h"

#include <sys/stat.h>

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "geodata/polyline/polyline_codec.h"
#include "support/temp_dir.h"

namespace geodata {
namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

TEST(BoundaryStore, SeedIsCopiedOnFirstUseAndNeverWritten) {
    testsupport::TempDir dir;
    const auto seed = dir / "share" / "boundary.dat";
    const auto user = dir / "data" / "Vantorel" / "boundary.dat";
    const std::string seedBytes = std::string(kBom) + "北京市=_p~iF~ps|U\r\n东城区=old\r\n";
    testsupport::WriteFileBytes(seed, seedBytes);
    chmod(seed.c_str(), 0444);

    TBoundary store(user, seed);
    EXPECT_EQ(store.FileName(), user);
    EXPECT_EQ(testsupport::ReadFileBytes(user), seedBytes);
    EXPECT_EQ(store.GetLatLngs("北京市"), "_p~iF~ps|U");

    store.Save("东城区", "new");
    EXPECT_EQ(testsupport::ReadFileBytes(seed), seedBytes);
    // A later run reads the user's copy, not the seed.
    TBoundary again(user, seed);
    EXPECT_EQ(again.GetLatLngs("东城区"), "new");
}

TEST(BoundaryStore, LookupIgnoresCaseAndTakesTheFirstLine) {
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir / "b.dat", "Paris=one\nparis=two\nno separator\nx=a=b\n");
    TBoundary store(dir / "b.dat");
    EXPECT_EQ(store.GetLatLngs("PARIS"), "one");
    EXPECT_EQ(store.GetLatLngs("x"), "a=b");
    EXPECT_EQ(store.GetLatLngs("Lyon"), "");
    EXPECT_EQ(store.GetLatLngs("no separator"), "");
}

TEST(BoundaryStore, SaveRewritesAsUtf8WithMarkAndAddsNewNames) {
    testsupport::TempDir dir;
    const auto file = dir / "boundary.dat";
    // An older store in the Chinese ANSI code page (GBK): "北京=abc", a line without "=", and
    // "上海=def", with LF line ends.
    testsupport::WriteFileBytes(file, "\xB1\xB1\xBE\xA9=abc\ncomment line\n\xC9\xCF\xBA\xA3=def");
    TBoundary store(file);
    ASSERT_EQ(store.LoadError(), "");
    EXPECT_EQ(store.GetLatLngs("上海"), "def");

    store.Save("北京", "xyz");
    EXPECT_EQ(testsupport::ReadFileBytes(file),
              std::string(kBom) + "北京=xyz\r\ncomment line\r\n上海=def\r\n");
    store.Save("广州", "g\\\\h");
    EXPECT_EQ(testsupport::ReadFileBytes(file),
              std::string(kBom) + "北京=xyz\r\ncomment line\r\n上海=def\r\n广州=g\\\\h\r\n");
    EXPECT_EQ(TBoundary(file).GetLatLngs("广州"), "g\\\\h");

    // Without any store file the first Save creates the user's copy.
    TBoundary fresh(dir / "new" / "boundary.dat");
    fresh.Save("天津", "t");
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "new" / "boundary.dat"),
              std::string(kBom) + "天津=t\r\n");
}

TEST(BoundaryStore, ReadsEveryEncodingAndLineEnd) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"UTF-8 with mark, CR LF", std::string(kBom) + "a=1\r\n北京=2\r\n"},
        {"UTF-8 without mark, CR", "a=1\r北京=2"},
        {"UTF-16 little-endian", std::string("\xFF\xFE"
                                             "a\0=\0"
                                             "1\0\n\0"
                                             "\x17\x53\xAC\x4E=\0"
                                             "2\0",
                                             18)},
        {"UTF-16 big-endian", std::string("\xFE\xFF"
                                          "\0a\0=\0"
                                          "1\0\r\0\n"
                                          "\x53\x17\x4E\xAC\0=\0"
                                          "2",
                                          20)},
    };
    for (const auto& c : cases) {
        testsupport::TempDir dir;
        testsupport::WriteFileBytes(dir / "b.dat", c.bytes);
        TBoundary store(dir / "b.dat");
        EXPECT_EQ(store.LoadError(), "") << c.what;
        EXPECT_EQ(store.Lines(), (std::vector<std::string>{"a=1", "北京=2"})) << c.what;
    }
}

TEST(BoundaryStore, DamagedOrUnwritableStoreIsNeverOverwritten) {
    testsupport::TempDir dir;
    const auto file = dir / "boundary.dat";
    const std::string damaged = "a=\xFF\xFF\r\n";  // neither UTF-8 nor GBK
    testsupport::WriteFileBytes(file, damaged);
    TBoundary store(file);
    EXPECT_NE(store.LoadError(), "");
    EXPECT_THROW(store.Save("a", "b"), std::runtime_error);
    EXPECT_EQ(testsupport::ReadFileBytes(file), damaged);

    testsupport::WriteFileBytes(dir / "blocker", "a file, not a folder");
    TBoundary unwritable(dir / "blocker" / "boundary.dat");
    EXPECT_THROW(unwritable.Save("a", "b"), std::runtime_error);
    EXPECT_TRUE(unwritable.Lines().empty()) << "a failed write leaves the store as it was";

    TBoundary ok(dir / "ok.dat");
    EXPECT_THROW(ok.Save("", "v"), std::invalid_argument);
    EXPECT_THROW(ok.Save("a=b", "v"), std::invalid_argument);
    EXPECT_THROW(ok.Save("a", "v\r\nb=w"), std::invalid_argument);
    EXPECT_THROW(ok.Save("a", ""), std::invalid_argument);
    EXPECT_FALSE(std::filesystem::exists(dir / "ok.dat"));
}

TEST(BoundaryStore, StoredOutlinesDecodeToPositions) {
    testsupport::TempDir dir;
    const auto file = dir / "boundary.dat";
    TBoundary store(file);
    store.Save("triangle", TBoundary::EncodePath("116.3,39.9,116.5,40.1,116.4,40.3"));
    store.Save("box", TBoundary::EncodePath("116.3,39.9,116.5,40.1"));
    // An outline whose encoding holds a backslash is stored doubled and still decodes.
    store.Save("south", TBoundary::EncodePath("116.3,-0.00015,116.4,-0.0003,116.5,-0.00045"));
    store.Save("text", "116.3,39.9,116.5,40.1,116.4,40.3");

    const std::vector<engine::TGLatLng> triangle = {{39.9, 116.3}, {40.1, 116.5}, {40.3, 116.4}};
    auto near = [](const std::vector<engine::TGLatLng>& a, const std::vector<engine::TGLatLng>& b) {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (std::abs(a[i].lat - b[i].lat) > 1e-9 || std::abs(a[i].lng - b[i].lng) > 1e-9) {
                return false;
            }
        }
        return true;
    };
    TBoundary read(file);
    EXPECT_TRUE(near(read.GetLatLngArray("triangle"), triangle));
    EXPECT_EQ(read.GetLatLngArray("box").size(), 4u);
    EXPECT_NE(read.GetLatLngs("south").find("\\\\"), std::string::npos);
    EXPECT_TRUE(near(read.GetLatLngArray("south"),
                     {{-0.00015, 116.3}, {-0.0003, 116.4}, {-0.00045, 116.5}}));
    EXPECT_TRUE(near(read.GetLatLngArray("text"), triangle));
    EXPECT_TRUE(read.GetLatLngArray("absent").empty());
}

}  // namespace
}  // namespace geodata
