#include "engine/core/md5.h"

#include <cctype>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using engine::StrMD5Hex;
using engine::TMD5;

// Bytes (i * 7 + 3) mod 256: a pattern that is not all one value, so misplaced blocks show.
std::string Pattern(std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<char>((i * 7 + 3) % 256);
    }
    return bytes;
}

TEST(Md5, ReferenceVectorsInUpperAndLowerCase) {
    struct Case {
        const char* text;
        const char* upper;
    };
    const Case cases[] = {
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "D174AB98D277D9F5A5611C2C9F419D9F"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57EDF4A22BE3C955AC49DA2E2107B67A"},
    };
    for (const Case& c : cases) {
        TMD5 md5;
        md5.Update(std::string_view(c.text));
        EXPECT_EQ(md5.AsString(), c.upper) << '"' << c.text << '"';
        std::string lower = c.upper;
        for (char& ch : lower) {
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
        EXPECT_EQ(StrMD5Hex(c.text), lower) << '"' << c.text << '"';
    }
}

TEST(Md5, ChineseTextIsDigestedOverItsUtf8Bytes) {
    EXPECT_EQ(StrMD5Hex("中国"), "c13dceabcb143acd6c9298265d618a9f");
}

TEST(Md5, AsGuidKeepsByteOrder) {
    TMD5 md5;
    md5.Update(std::string_view("abc"));
    EXPECT_EQ(md5.AsGUID(), "{90015098-3CD2-4FB0-D696-3F7D28E17F72}");
}

// Lengths around the 56-byte padding limit and the 64-byte block.
TEST(Md5, LengthsAroundTheBlockBoundary) {
    struct Case {
        std::size_t length;
        const char* hex;
    };
    const Case cases[] = {
        {55, "52c0e574e1198de5fe3f8f11440dcb1b"}, {56, "46c9907fc908ee68b1e7b8e71286a518"},
        {63, "a62f6d59e837867693f042f5b8f5a236"}, {64, "7160b8fb5e9e4023d549c3971fbaeead"},
        {65, "70bd662e7aefbda85a0f7244167b7897"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StrMD5Hex(Pattern(c.length)), c.hex) << c.length << " bytes";
    }
}

TEST(Md5, PiecewiseUpdatesOfOddSizesMatchOneUpdate) {
    const std::string data = Pattern(1000);
    const std::vector<std::size_t> pieces[] = {
        {1, 3, 7, 13, 63, 64, 65, 127, 200, 457}, {55, 1, 8, 936}, {64, 64, 872}, {999, 1}};
    for (const auto& sizes : pieces) {
        TMD5 md5;
        std::size_t at = 0;
        for (std::size_t n : sizes) {
            md5.Update(data.data() + at, n);
            at += n;
        }
        ASSERT_EQ(at, data.size());
        EXPECT_EQ(md5.AsString(), "10046F077F2082AC19676B8079F1CB1A") << "first piece " << sizes[0];
    }
}

TEST(Md5, OneMillionLetters) {
    TMD5 md5;
    const std::string chunk(1000, 'a');
    for (int i = 0; i < 1000; ++i) {
        md5.Update(chunk);
    }
    EXPECT_EQ(md5.AsString(), "7707D6AE4E027C70EEA2A935C2296F21");
}

}  // namespace
