#pragma once
// Read-only files installed with the program: the data folder share/vantorel beside the
// executable's bin folder, or the source tree when the build was not installed.
#include <QString>

namespace mainwindow {

// The data folder: skins, readme.txt, whatsnew.txt, README.md.
QString InstalledDataFolder();
// A file of the data folder (it need not exist).
QString InstalledDataFile(const QString& name);
// The program's home page: the README installed with it.
QString InstalledReadme();

}  // namespace mainwindow
