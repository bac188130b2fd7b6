#include "engine/settings/settings.h"

#include <atomic>
#include <functional>
#include <map>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/number_format.h"
#include "engine/log/logger.h"
#include "engine/settings/app_settings.h"
#include "support/scoped_log_folder.h"
#include "support/settings_paths_in.h"
#include "support/temp_dir.h"

namespace engine {
namespace {

SettingsPaths PathsIn(const testsupport::TempDir& dir) {
    return testsupport::SettingsPathsIn(dir);
}

int CountOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

std::string Settings(const testsupport::TempDir& dir) {
    return testsupport::ReadFileBytes(dir / "config/Vantorel/settings.ini");
}

TEST(Settings, FreshUserReadsDefaultsWithoutAFileAndGetsTheDefaultFolders) {
    testsupport::TempDir dir;
    TSettings settings(PathsIn(dir));
    EXPECT_TRUE(settings.GetBoolSetting(BoolSetting::WriteLog));
    EXPECT_TRUE(settings.GetBoolSetting(BoolSetting::ChangeMapTypeAskNoMore));
    EXPECT_FALSE(settings.GetBoolSetting(BoolSetting::OfflineMode));
    EXPECT_EQ(settings.GetIntSetting(IntSetting::MaxThread), 20);
    EXPECT_EQ(settings.GetIntSetting(IntSetting::PrintDPI), 300);
    EXPECT_EQ(settings.GetIntSetting(IntSetting::PolygonFillOpacity), 15);
    EXPECT_DOUBLE_EQ(settings.GetFloatSetting(FloatSetting::Latitude), 32.694866);
    EXPECT_DOUBLE_EQ(settings.GetFloatSetting(FloatSetting::Longitude), 105.996094);
    EXPECT_DOUBLE_EQ(settings.GetFloatSetting(FloatSetting::LongitudeOffset), 1e-6);
    EXPECT_EQ(settings.GetFloatSetting(FloatSetting::QueryDistTime), 0.0);
    EXPECT_EQ(settings.GetStrSetting(StrSetting::MapLanguageCode), "zh-cn");
    EXPECT_EQ(settings.GetStrSetting(StrSetting::POIKeyWord), "酒店");
    EXPECT_EQ(settings.GetStrSetting(StrSetting::BSatelliteUDT), "20140117");
    EXPECT_EQ(settings.GetStrSetting(StrSetting::ProxyHost), "");

    const std::string out = (dir / "home/MapDownload").string();
    EXPECT_EQ(settings.GetStrSetting(StrSetting::OutPutDirectory), out);
    EXPECT_EQ(settings.GetStrSetting(StrSetting::CombineImageOutPutDir), out + "/OutPut");
    EXPECT_EQ(settings.GetStrSetting(StrSetting::CachePath),
              (dir / "cache/Vantorel/Cache").string() + "/");
    EXPECT_EQ(settings.GetStrSetting(StrSetting::CefCachePath),
              (dir / "cache/Vantorel/CefCache").string() + "/");
    for (const char* folder :
         {"home/MapDownload/OutPut", "cache/Vantorel/Cache", "cache/Vantorel/CefCache"}) {
        EXPECT_TRUE(std::filesystem::is_directory(dir / folder)) << folder;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "config")) << "reading must not create the file";

    // Indices that name no setting of their type.
    EXPECT_FALSE(settings.GetBoolSetting(2));
    EXPECT_EQ(settings.GetIntSetting(24), 0);
    EXPECT_EQ(settings.GetStrSetting(99), "");
    settings.SetIntSetting(24, 5);
    EXPECT_FALSE(std::filesystem::exists(dir / "config"));
}

TEST(Settings, TheTableHoldsAllSettingsWithIndicesUniqueWithinTheirType) {
    testsupport::TempDir dir;
    TSettings settings(PathsIn(dir));
    std::map<SettingKind, int> counts;
    for (const auto& prop : settings.PropList()) {
        ++counts[prop.kind];
    }
    EXPECT_EQ(settings.PropList().size(), 96u);
    EXPECT_EQ(counts[SettingKind::Boolean], 31);
    EXPECT_EQ(counts[SettingKind::Integer], 24);
    EXPECT_EQ(counts[SettingKind::Float], 5);
    EXPECT_EQ(counts[SettingKind::String], 36);
}

// Every setting, through its index, survives a non-default value in the file and reads back
// from a second object; setting the default again empties the file's sections.
TEST(Settings, EverySettingRoundTripsThroughTheFile) {
    testsupport::TempDir dir;
    TSettings writer(PathsIn(dir));
    TSettings reader(PathsIn(dir));
    for (const auto& prop : writer.PropList()) {
        SCOPED_TRACE(prop.name);
        switch (prop.kind) {
            case SettingKind::Boolean: {
                const bool flipped = !writer.GetBoolSetting(prop.index);
                writer.SetBoolSetting(prop.index, flipped);
                EXPECT_EQ(reader.GetBoolSetting(prop.index), flipped);
                break;
            }
            case SettingKind::Integer:
                writer.SetIntSetting(prop.index, 1000 + prop.index);
                EXPECT_EQ(reader.GetIntSetting(prop.index), 1000 + prop.index);
                break;
            case SettingKind::Float:
                writer.SetFloatSetting(prop.index, -12.25 - prop.index);
                EXPECT_EQ(reader.GetFloatSetting(prop.index), -12.25 - prop.index);
                break;
            case SettingKind::String:
                writer.SetStrSetting(prop.index, "值 " + prop.name);
                EXPECT_EQ(reader.GetStrSetting(prop.index), "值 " + prop.name);
                break;
        }
    }
    const auto doc = IniFile(writer.Paths().configFile).ReadDocument();
    EXPECT_EQ(doc.Keys("Boolean").size() + doc.Keys("Integer").size() + doc.Keys("Float").size() +
                  doc.Keys("String").size(),
              96u);
    for (const auto& prop : writer.PropList()) {
        switch (prop.kind) {
            case SettingKind::Boolean:
                writer.SetBoolSetting(prop.index, prop.declaredDefault != 0);
                break;
            case SettingKind::Integer:
                writer.SetIntSetting(prop.index, prop.declaredDefault);
                break;
            case SettingKind::Float:
                writer.SetFloatSetting(prop.index,
                                       ParseFloat(writer.GetDefaultValue(prop.name)).value_or(0));
                break;
            case SettingKind::String:
                writer.SetStrSetting(prop.index, writer.GetDefaultValue(prop.name));
                break;
        }
    }
    const auto emptied = IniFile(writer.Paths().configFile).ReadDocument();
    for (const char* section : {"Boolean", "Integer", "Float", "String"}) {
        EXPECT_TRUE(emptied.Keys(section).empty()) << section;
    }
}

TEST(Settings, SettingTheDefaultDeletesTheKey) {
    testsupport::TempDir dir;
    TSettings settings(PathsIn(dir));
    settings.SetIntSetting(IntSetting::MaxThread, 40);
    EXPECT_EQ(Settings(dir), "[Integer]\nMaxThread=40\n");
    settings.SetIntSetting(IntSetting::MaxThread, 20);
    EXPECT_EQ(Settings(dir), "[Integer]\n");

    settings.SetBoolSetting(BoolSetting::WriteLog, false);
    EXPECT_EQ(IniFile(settings.Paths().configFile).Read("Boolean", "WriteLog"), "0");
    settings.SetBoolSetting(BoolSetting::OfflineMode, true);
    EXPECT_EQ(IniFile(settings.Paths().configFile).Read("Boolean", "OfflineMode"), "1");
    settings.SetBoolSetting(BoolSetting::WriteLog, true);
    EXPECT_FALSE(IniFile(settings.Paths().configFile).Read("Boolean", "WriteLog"));

    // Strings compare exactly: the same code in capitals is a value of its own.
    settings.SetStrSetting(StrSetting::MapLanguageCode, "ZH-CN");
    EXPECT_EQ(IniFile(settings.Paths().configFile).Read("String", "MapLanguageCode"), "ZH-CN");
    settings.SetStrSetting(StrSetting::MapLanguageCode, "zh-cn");
    EXPECT_FALSE(IniFile(settings.Paths().configFile).Read("String", "MapLanguageCode"));

    // Floats compare with the registered default as it reads back.
    settings.SetFloatSetting(FloatSetting::Latitude, 39.9042);
    EXPECT_EQ(IniFile(settings.Paths().configFile).Read("Float", "Latitude"), "39.9042");
    settings.SetFloatSetting(FloatSetting::Latitude, 32.694866);
    EXPECT_FALSE(IniFile(settings.Paths().configFile).Read("Float", "Latitude"));
    settings.SetFloatSetting(FloatSetting::LatitudeOffset, 2.5e-7);
    EXPECT_EQ(IniFile(settings.Paths().configFile).Read("Float", "LatitudeOffset"), "2.5E-7");
    settings.SetFloatSetting(FloatSetting::LatitudeOffset, 0.000001);
    EXPECT_FALSE(IniFile(settings.Paths().configFile).Read("Float", "LatitudeOffset"));
}

TEST(Settings, HandWrittenValuesParseAsProfileFilesDo) {
    struct Case {
        const char* line;  // in the section of the setting's type
        const char* section;
        std::function<std::string(const TSettings&)> read;
        std::string expected;
        bool fellBack = false;  // the text does not parse: one log line names key and text
    };
    auto maxThread = [](const TSettings& s) {
        return std::to_string(s.GetIntSetting(IntSetting::MaxThread));
    };
    auto writeLog = [](const TSettings& s) {
        return std::string(s.GetBoolSetting(BoolSetting::WriteLog) ? "true" : "false");
    };
    auto offline = [](const TSettings& s) {
        return std::string(s.GetBoolSetting(BoolSetting::OfflineMode) ? "true" : "false");
    };
    auto latitude = [](const TSettings& s) {
        return FormatFloat(s.GetFloatSetting(FloatSetting::Latitude));
    };
    auto style = [](const TSettings& s) { return s.GetStrSetting(StrSetting::StyleName); };
    const std::vector<Case> cases = {
        {"MaxThread=0x1E", "Integer", maxThread, "30"},
        {"MaxThread=0X1e", "Integer", maxThread, "30"},
        {"MaxThread=$1E", "Integer", maxThread, "30"},
        {"maxthread = 7", "integer", maxThread, "7"},
        {"MaxThread=-3", "Integer", maxThread, "-3"},
        {"MaxThread=abc", "Integer", maxThread, "20", true},
        {"MaxThread=", "Integer", maxThread, "20", true},
        {"MaxThread=4294967296", "Integer", maxThread, "20", true},
        {"MaxThread=12.5", "Integer", maxThread, "20", true},
        {"MaxThread=40", "Float", maxThread, "20"},  // wrong section
        {"WriteLog=0", "Boolean", writeLog, "false"},
        {"WriteLog=yes", "Boolean", writeLog, "true", true},
        {"OfflineMode=2", "Boolean", offline, "true"},
        {"OfflineMode=0x0", "Boolean", offline, "false"},
        {"Latitude=39.5", "Float", latitude, "39.5"},
        {"Latitude=1.5E-3", "Float", latitude, "0.0015"},
        {"Latitude=39,5", "Float", latitude, "32.694866", true},
        {"Latitude=north", "Float", latitude, "32.694866", true},
        {"StyleName=Carbon", "String", style, "Carbon"},
        {"StyleName=", "String", style, ""},  // an empty value is a value
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        testsupport::TempDir dir;
        testsupport::WriteFileBytes(
            dir / "config/Vantorel/settings.ini",
            std::string("\xEF\xBB\xBF[") + c.section + "]\r\n" + c.line + "\r\n");
        const testsupport::ScopedLogFolder log(dir / "log");
        TSettings settings(PathsIn(dir));
        EXPECT_EQ(c.read(settings), c.expected);
        EXPECT_EQ(c.read(settings), c.expected);
        const std::string logged = testsupport::ReadFileBytes(DefaultLogFileName());
        EXPECT_EQ(CountOf(logged, " cannot be read"), c.fellBack ? 1 : 0) << logged;
        EXPECT_EQ(CountOf(logged, std::string(c.line) + " cannot be read"), c.fellBack ? 1 : 0);
    }
}

TEST(Settings, DamagedValuesFallBackWithALogLineEachAndTheFileStaysTheUsers) {
    testsupport::TempDir dir;
    const testsupport::ScopedLogFolder log(dir / "log");
    const std::string file =
        "\xEF\xBB\xBF; written by hand\r\n"
        "[Integer]\r\nMaxThread=abc\r\nZoomLevel=9\r\n"
        "[Boolean]\r\n# keep me\r\nOverWriteDownload=yes\r\n"
        "[Float]\r\nLatitude=abc\r\n"
        "[Mine]\r\nnote=mine\r\n";
    testsupport::WriteFileBytes(dir / "config/Vantorel/settings.ini", file);
    TSettings settings(PathsIn(dir));
    // Every setting read, twice: as many readers do between two changes.
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& prop : settings.PropList()) {
            switch (prop.kind) {
                case SettingKind::Boolean:
                    (void)settings.GetBoolSetting(prop.index);
                    break;
                case SettingKind::Integer:
                    (void)settings.GetIntSetting(prop.index);
                    break;
                case SettingKind::Float:
                    (void)settings.GetFloatSetting(prop.index);
                    break;
                case SettingKind::String:
                    (void)settings.GetStrSetting(prop.index);
                    break;
            }
        }
    }
    EXPECT_EQ(settings.GetIntSetting(IntSetting::MaxThread), 20);
    EXPECT_FALSE(settings.GetBoolSetting(BoolSetting::OverWriteDownload));
    EXPECT_DOUBLE_EQ(settings.GetFloatSetting(FloatSetting::Latitude), 32.694866);
    EXPECT_EQ(settings.GetIntSetting(IntSetting::ZoomLevel), 9);
    EXPECT_EQ(Settings(dir), file) << "reading changes nothing in the file";

    const std::string logged = testsupport::ReadFileBytes(DefaultLogFileName());
    EXPECT_EQ(CountOf(logged, "\r\n"), 3) << logged;
    EXPECT_EQ(CountOf(logged, "[Integer] MaxThread=abc cannot be read; the default 20 is used"), 1);
    EXPECT_EQ(CountOf(logged, "[Boolean] OverWriteDownload=yes cannot be read; the default 0"), 1);
    EXPECT_EQ(CountOf(logged, "[Float] Latitude=abc cannot be read; the default 32.694866"), 1);

    // A change of one setting keeps the user's comments, own section and other keys.
    settings.SetIntSetting(IntSetting::MaxThread, 8);
    const std::string changed = Settings(dir);
    for (const char* kept : {"; written by hand", "# keep me", "[Mine]", "note=mine", "ZoomLevel=9",
                             "OverWriteDownload=yes", "Latitude=abc", "MaxThread=8"}) {
        EXPECT_NE(changed.find(kept), std::string::npos) << kept << " in\n" << changed;
    }
}

TEST(Settings, ASecondObjectOnTheFileSeesEveryChangeAtOnce) {
    testsupport::TempDir dir;
    TSettings first(PathsIn(dir));
    TSettings second(PathsIn(dir));
    for (int value : {40, 41, 20, 80}) {
        first.SetIntSetting(IntSetting::MaxThread, value);
        EXPECT_EQ(second.GetIntSetting(IntSetting::MaxThread), value);
    }
    second.SetStrSetting(StrSetting::SatMapTileVer, "160");
    EXPECT_EQ(first.GetStrSetting(StrSetting::SatMapTileVer), "160");
    // A change made behind the store's back (another process, a text editor) is seen too.
    testsupport::WriteFileBytes(dir / "config/Vantorel/settings.ini", "[Integer]\nMaxThread=5\n");
    EXPECT_EQ(first.GetIntSetting(IntSetting::MaxThread), 5);
    EXPECT_EQ(first.GetStrSetting(StrSetting::SatMapTileVer), "152");
}

// While one object rewrites the file, readers on other objects always see a whole file: the
// key that never changes keeps its value, and the changing one is the old or the new value.
TEST(Settings, ReadersNeverSeeAHalfWrittenFile) {
    testsupport::TempDir dir;
    TSettings writer(PathsIn(dir));
    writer.SetStrSetting(StrSetting::UserAgent, "Mozilla/5.0 (X11; Linux x86_64)");
    const std::string a(3000, 'a');
    const std::string b(5000, 'b');
    writer.SetStrSetting(StrSetting::LastNodeText, a);

    std::atomic<bool> done{false};
    std::atomic<int> bad{0};
    std::atomic<long> reads{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 8; ++t) {
        readers.emplace_back([&] {
            TSettings reader(PathsIn(dir));
            while (!done) {
                const auto text = reader.GetStrSetting(StrSetting::LastNodeText);
                if ((text != a && text != b) || reader.GetStrSetting(StrSetting::UserAgent) !=
                                                    "Mozilla/5.0 (X11; Linux x86_64)") {
                    ++bad;
                }
                ++reads;
            }
        });
    }
    for (int i = 0; i < 300; ++i) {
        writer.SetStrSetting(StrSetting::LastNodeText, i % 2 ? a : b);
        writer.SetIntSetting(IntSetting::ZoomLevel, i % 2 ? 4 : 7);
    }
    done = true;
    for (auto& reader : readers) {
        reader.join();
    }
    EXPECT_EQ(bad, 0);
    EXPECT_GT(reads, 0);
}

TEST(Settings, RefusedWriteRaisesToTheCaller) {
    testsupport::TempDir dir;
    auto paths = PathsIn(dir);
    testsupport::WriteFileBytes(dir / "blocker", "x");
    paths.configFile = dir / "blocker/settings.ini";
    TSettings settings(paths);
    EXPECT_THROW(settings.SetIntSetting(IntSetting::MaxThread, 40), IniWriteError);
    EXPECT_NO_THROW(settings.SetIntSetting(IntSetting::MaxThread, 20));  // a delete
    EXPECT_EQ(settings.GetIntSetting(IntSetting::MaxThread), 20);
}

// A store whose table gives two settings of one type the same index.
class DuplicateConfig : public TIniConfig {
  public:
    DuplicateConfig(IniFile ini, bool* registered)
        : TIniConfig("TDuplicateConfig",
                     {{"Zeta", SettingKind::Integer, 1, 0},
                      {"Alpha", SettingKind::Integer, 1, 0},
                      {"Beta", SettingKind::Boolean, 1, 0},
                      {"Gamma", SettingKind::Integer, 2, 0}},
                     std::move(ini)),
          registered_(registered) {
        Initialize();
    }

  protected:
    void RegisterDefaults() override { *registered_ = true; }

  private:
    bool* registered_;
};

TEST(Settings, DuplicateIndexFailsConstructionAfterTheDefaultsAreRegistered) {
    testsupport::TempDir dir;
    bool registered = false;
    try {
        DuplicateConfig config(IniFile(dir / "x.ini"), &registered);
        FAIL() << "construction succeeded";
    } catch (const IniConfigError& e) {
        EXPECT_STREQ(e.what(),
                     "Property index does not allow duplicates. Class: TDuplicateConfig, "
                     "Property: Zeta and Alpha");
    }
    EXPECT_TRUE(registered);
}

TEST(Settings, DefaultsLookUpWithoutRegardToCase) {
    testsupport::TempDir dir;
    TSettings settings(PathsIn(dir));
    EXPECT_EQ(settings.GetDefaultValue("maplanguagecode"), "zh-cn");
    EXPECT_EQ(settings.GetDefaultValue("LATITUDE"), "32.694866");
    EXPECT_EQ(settings.GetDefaultValue("ProxyHost"), "");
}

TEST(Settings, ProcessWideInstanceIsCreatedExplicitly) {
    testsupport::TempDir dir;
    ASSERT_FALSE(HasAppSettings());
    EXPECT_THROW(AppSettings(), std::logic_error);
    TSettings& created = CreateAppSettings(PathsIn(dir));
    EXPECT_EQ(&AppSettings(), &created);
    EXPECT_THROW(CreateAppSettings(PathsIn(dir)), std::logic_error);
    AppSettings().SetIntSetting(IntSetting::ZoomLevel, 9);
    EXPECT_EQ(TSettings(PathsIn(dir)).GetIntSetting(IntSetting::ZoomLevel), 9);
    DestroyAppSettings();
    EXPECT_FALSE(HasAppSettings());
}

TEST(SettingsPaths, FollowTheXdgRules) {
    struct Case {
        std::map<std::string, std::string> env;
        XdgBaseDirs expected;
    };
    const std::vector<Case> cases = {
        {{{"HOME", "/home/u"}},
         {"/home/u", "/home/u/.config", "/home/u/.cache", "/home/u/.local/share",
          "/home/u/.local/state"}},
        {{{"HOME", "/home/u"},
          {"XDG_CONFIG_HOME", "/cfg"},
          {"XDG_CACHE_HOME", "/var/c"},
          {"XDG_DATA_HOME", "/d"},
          {"XDG_STATE_HOME", "/s"}},
         {"/home/u", "/cfg", "/var/c", "/d", "/s"}},
        // Empty and relative values are ignored.
        {{{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", ""}, {"XDG_CACHE_HOME", "rel/cache"}},
         {"/home/u", "/home/u/.config", "/home/u/.cache", "/home/u/.local/share",
          "/home/u/.local/state"}},
    };
    for (const auto& c : cases) {
        const auto dirs = XdgBaseDirsFrom([&](const char* name) -> std::optional<std::string> {
            const auto it = c.env.find(name);
            return it == c.env.end() ? std::nullopt : std::optional<std::string>(it->second);
        });
        EXPECT_EQ(dirs.home, c.expected.home);
        EXPECT_EQ(dirs.configHome, c.expected.configHome);
        EXPECT_EQ(dirs.cacheHome, c.expected.cacheHome);
        EXPECT_EQ(dirs.dataHome, c.expected.dataHome);
        EXPECT_EQ(dirs.stateHome, c.expected.stateHome);
    }
    // Without HOME the password database still gives a home folder.
    const auto noHome = XdgBaseDirsFrom([](const char*) { return std::optional<std::string>(); });
    EXPECT_TRUE(noHome.home.is_absolute());

    const auto paths = SettingsPathsFor(cases[1].expected);
    EXPECT_EQ(paths.configFile, "/cfg/Vantorel/settings.ini");
    EXPECT_EQ(paths.defaultOutputDir, "/home/u/MapDownload");
    EXPECT_EQ(paths.cacheDir, "/var/c/Vantorel/Cache");
    EXPECT_EQ(paths.cefCacheDir, "/var/c/Vantorel/CefCache");
}

TEST(DocumentsFolder, FollowsTheUserDirsFileThenTheVariableThenHome) {
    testsupport::TempDir dir;
    const std::filesystem::path home = dir / "home";
    struct Case {
        const char* what;
        const char* userDirs;     // nullptr: no user-dirs.dirs
        const char* environment;  // XDG_DOCUMENTS_DIR; nullptr: unset
        std::filesystem::path documents;
    };
    const Case cases[] = {
        {"no file", nullptr, nullptr, home},
        {"below home", "XDG_DOCUMENTS_DIR=\"$HOME/文档\"\n", nullptr, home / "文档"},
        {"braced home, no quotes", "XDG_DOCUMENTS_DIR=${HOME}/Docs\r\n", nullptr, home / "Docs"},
        {"escapes in quotes", "XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\" a\\b \\$x\"\n", nullptr,
         home / "My \"Docs\" a\\b $x"},
        {"escape without quotes", "XDG_DOCUMENTS_DIR=$HOME/My\\ Docs\n", nullptr, home / "My Docs"},
        {"absolute among others",
         "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n  XDG_DOCUMENTS_DIR=\"/srv/docs\"\n",
         nullptr, "/srv/docs"},
        {"the last line wins", "XDG_DOCUMENTS_DIR=\"$HOME/old\"\nXDG_DOCUMENTS_DIR=\"$HOME/new\"\n",
         nullptr, home / "new"},
        {"home itself, trailing slash", "XDG_DOCUMENTS_DIR=\"$HOME/\"\n", nullptr, home},
        {"untidy path", "XDG_DOCUMENTS_DIR=\"$HOME//a/./b/\"\n", nullptr, home / "a" / "b"},
        {"file wins over the variable", "XDG_DOCUMENTS_DIR=\"$HOME/文档\"\n", "/env/docs",
         home / "文档"},
        {"variable when the file lacks it", "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n", "/env/docs",
         "/env/docs"},
        {"variable without a file", nullptr, "/env/docs", "/env/docs"},
        {"relative value and variable are ignored", "XDG_DOCUMENTS_DIR=\"Documents\"\n", "docs",
         home},
        {"another variable's name", "XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"\n", nullptr, home},
        {"another variable inside", "XDG_DOCUMENTS_DIR=\"$HOME/$USER\"\n", nullptr, home},
        {"prefix of another key", "MY_XDG_DOCUMENTS_DIR=\"/srv/x\"\n", nullptr, home},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        XdgBaseDirs dirs;
        dirs.home = home;
        dirs.configHome = dir / c.what;
        std::filesystem::create_directories(dirs.configHome);
        if (c.userDirs)
            testsupport::WriteFileBytes(dirs.configHome / "user-dirs.dirs", c.userDirs);
        const auto lookup = [&](const char* name) -> std::optional<std::string> {
            if (std::string_view(name) == "XDG_DOCUMENTS_DIR" && c.environment)
                return c.environment;
            return std::nullopt;
        };
        EXPECT_EQ(DocumentsFolder(dirs, lookup), c.documents);
    }
}

}  // namespace
}  // namespace engine
