// Test entry point of the window layer: the browser environment the program uses, then a
// QApplication, then the cases. With "--launcher-entry-child MODE" the executable acts as the
// helper process of the launcher-entry tests instead (see taskbar_test.cpp).
#include <QApplication>
#include <clocale>
#include <cstring>
#include <locale>

#include <gtest/gtest.h>

#include "app/frame/webengine_setup.h"
#include "app/support/user_folders.h"
#include "app/taskbar/launcher_entry_child.h"
#include "support/temp_dir.h"

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--launcher-entry-child") == 0) {
        QCoreApplication app(argc, argv);
        return testmainwindow::RunLauncherEntryChild(argv[2]);
    }
    // No test may read or write the real user's settings, tasks, markers or logs: the run gets
    // a home and XDG folders of its own, and window fixtures give each test its own again.
    testsupport::TempDir userRoot;
    testmainwindow::TempUserFolders userFolders(userRoot.path());
    // Nothing a test shows may appear on a desktop, also when run by hand.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    app::PrepareWebEngineEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Vantorel"));
    // Number formatting must not follow the process locale; the suite also runs under a
    // decimal-comma one.
    std::setlocale(LC_ALL, "");
    try {
        std::locale::global(std::locale(""));
    } catch (const std::exception&) {
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
