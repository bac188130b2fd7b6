// Where the window keeps the user's files: the task folder and the marker file live below one
// documents folder, also when the user-dirs file does not name one.
#include <gtest/gtest.h>

#include "app/markers/markers_controller.h"
#include "app/support/user_folders.h"
#include "main_form_fixture.h"

namespace testmainwindow {
namespace {

using MainFormFoldersTest = MainFormFixture;

TEST_F(MainFormFoldersTest, TasksAndMarkersShareTheDocumentsFolder) {
    struct Case {
        const char* what;
        const char* userDirs;   // nullptr: no user-dirs.dirs
        const char* documents;  // below the home folder; "" for the home folder itself
    };
    const Case cases[] = {
        {"no user-dirs file", nullptr, ""},
        {"no documents entry", "XDG_DOWNLOAD_DIR=\"$HOME/下载\"\n", ""},
        {"localised name", "XDG_DOCUMENTS_DIR=\"$HOME/文档\"\n", "文档"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::filesystem::path home = dir_ / c.what;
        TempUserFolders user(home);
        if (c.userDirs)
            testsupport::WriteFileBytes(home / "config" / "user-dirs.dirs", c.userDirs);
        app::MainFormOptions options = Options();
        options.profilesFolder.clear();
        window_ = std::make_unique<app::TfrmMain>(Settings(), profile_, options);
        const std::filesystem::path documents = (home / c.documents).lexically_normal();
        EXPECT_TRUE(std::filesystem::is_directory(documents / "Vantorel" / "Profiles"));
        auto* markers = window_->findChild<app::MarkersController*>();
        ASSERT_NE(markers, nullptr);
        EXPECT_EQ(markers->Store().FileName().parent_path(), documents / "Vantorel" / "Data");
        EXPECT_FALSE(std::filesystem::exists(home / "Documents"));
        window_.reset();
    }
}

}  // namespace
}  // namespace testmainwindow
