#pragma once
// Qt WebEngine as this program runs it: no Chromium sandbox when running as root (CI), no
// network traffic of Chromium's own, and one named profile for the map pages.
#include <QString>

class QObject;
class QWebEngineProfile;

namespace app {

// The Chromium switches that keep the browser from fetching anything by itself.
QString QuietChromiumFlags();

// Sets QTWEBENGINE_CHROMIUM_FLAGS (keeping switches already there), the sandbox switch when
// running as root, and the application attribute that WebEngine needs. Call before the
// QApplication is constructed.
void PrepareWebEngineEnvironment();

// The name of the program's browser profile.
inline constexpr char kWebProfileName[] = "Vantorel";

// The program's one browser profile, owned by `parent`. An empty cache path keeps the
// profile's default one.
QWebEngineProfile* CreateWebProfile(QObject* parent, const QString& cachePath = QString());

}  // namespace app
