// The files installed with the program: the help texts the menus open, and the launcher entry
// that the desktop's progress display looks the program up by.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include "app/settings/installed_files.h"
#include "app/support/qt_print.h"
#include "app/taskbar/launcher_entry.h"

namespace {

QString ReadUtf8(const QString& fileName, bool* valid) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *valid = false;
        return {};
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(file.readAll());
    *valid = !decoder.hasError();
    return text;
}

TEST(InstalledFiles, HelpTextsAreChineseUtf8) {
    for (const char* name : {"readme.txt", "whatsnew.txt"}) {
        SCOPED_TRACE(name);
        bool valid = false;
        const QString text = ReadUtf8(app::InstalledDataFile(name), &valid);
        EXPECT_TRUE(valid);
        EXPECT_TRUE(text.contains("Vantorel"));
        EXPECT_TRUE(text.contains("地图"));
    }
    EXPECT_TRUE(QFileInfo::exists(app::InstalledReadme()));
    // The offline solution's page explains the offline mode and the tile folder.
    bool valid = false;
    const QString offline = ReadUtf8(app::InstalledDataFile("help/offline.html"), &valid);
    EXPECT_TRUE(valid);
    for (const char* part : {"<meta charset=\"utf-8\">", "离线浏览", "瓦片目录", "更改目录"}) {
        EXPECT_TRUE(offline.contains(QString::fromUtf8(part))) << part;
    }
    EXPECT_TRUE(QFileInfo(app::InstalledDataFile("skins")).isDir());
}

TEST(InstalledFiles, LauncherEntryIsNamedAsTheProgressSignalAnnouncesIt) {
    const QString uri = QLatin1String(app::kLauncherEntryAppUri);
    ASSERT_TRUE(uri.startsWith("application://"));
    const QString desktopName = uri.mid(QStringLiteral("application://").size());
    const QDir folder(QStringLiteral(VANTOREL_SOURCE_DIR "/resources/desktop"));
    ASSERT_TRUE(folder.exists(desktopName));
    QSettings entry(folder.filePath(desktopName), QSettings::IniFormat);
    entry.beginGroup("Desktop Entry");
    EXPECT_EQ(entry.value("Type").toString(), "Application");
    EXPECT_EQ(entry.value("Exec").toString(), "vantorel");
    const QString icon = entry.value("Icon").toString();
    EXPECT_TRUE(folder.exists(icon + ".svg")) << icon.toStdString();
    // The window announces the same name, so the desktop matches it to the entry.
    EXPECT_EQ(entry.value("StartupWMClass").toString() + ".desktop", desktopName);
}

}  // namespace
