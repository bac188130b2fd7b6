#pragma once
// Read-only files installed with the program: the data folder share/vantorel beside the
// executable's bin folder, or the build and source trees when the build was not installed.
#include <QString>

namespace app {

// A file or folder of the data folder (skins, readme.txt, whatsnew.txt); it need not exist.
QString InstalledDataFile(const QString& name);
// The program's home page: the README installed with it.
QString InstalledReadme();

}  // namespace app
