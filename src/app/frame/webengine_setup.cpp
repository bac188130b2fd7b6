#include "webengine_setup.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QStringList>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace app {

QString QuietChromiumFlags() {
    return QStringLiteral(
        "--disable-background-networking --disable-component-update --disable-sync "
        "--no-first-run --disable-default-apps --disable-domain-reliability "
        "--disable-breakpad --disable-client-side-phishing-detection "
        "--no-pings --metrics-recording-only --disable-features=Translate,MediaRouter,"
        "OptimizationHints,AutofillServerCommunication");
}

void PrepareWebEngineEnvironment() {
    QString flags = qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS");
    const QString quiet = QuietChromiumFlags();
    if (!flags.contains(QLatin1String("--disable-background-networking"))) {
        flags = flags.isEmpty() ? quiet : flags + u' ' + quiet;
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.toUtf8());
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");  // Chromium refuses its sandbox as root
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

QWebEngineProfile* CreateWebProfile(QObject* parent, const QString& cachePath) {
    auto* profile = new QWebEngineProfile(QLatin1String(kWebProfileName), parent);
    if (!cachePath.isEmpty()) {
        profile->setCachePath(cachePath);
    }
    // The pages are local files that load their tiles from the web.
    profile->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    return profile;
}

}  // namespace app
