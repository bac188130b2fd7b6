#include "map_web_page.h"

#include <QDir>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include "engine/log/logger.h"

namespace app {

namespace {

// The browser reports a file of the page that failed to load (a script, a style, an icon)
// nowhere; this turns it into a console error. Tiles come from elsewhere and are left out: a
// missing tile is no fault of the page.
constexpr char kOwnFileErrors[] = R"JS(
window.addEventListener('error', function (e) {
  var url = e.target && (e.target.src || e.target.href);
  var base = location.href.replace(/[?#].*$/, '').replace(/[^\/]*$/, '');
  if (e.target !== window && typeof url === 'string' && url.indexOf(base) === 0) {
    console.error('cannot load ' + url);
  }
}, true);
)JS";

}  // namespace

MapWebPage::MapWebPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
    connect(this, &QWebEnginePage::loadStarted, this, [this] { logged_.clear(); });
    QWebEngineScript script;
    script.setName(QStringLiteral("vantorel-page-errors"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(QString::fromUtf8(kOwnFileErrors));
    scripts().insert(script);
}

void MapWebPage::AllowPage(const QUrl& page, const QString& folder) {
    page_ = page;
    folder_ = QDir::cleanPath(folder);
}

bool MapWebPage::IsOwnPage(const QUrl& url) const {
    return !page_.isEmpty() && url.adjusted(QUrl::RemoveFragment) == page_;
}

bool MapWebPage::IsOwnFrame(const QUrl& url) const {
    if (url.scheme() == QLatin1String("about")) {
        return true;  // blank and inline frames the page makes itself
    }
    if (!url.isLocalFile() || folder_.isEmpty()) {
        return false;
    }
    const QString path = QDir::cleanPath(url.toLocalFile());
    return path.startsWith(folder_ + u'/');
}

bool MapWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    const bool own = isMainFrame ? IsOwnPage(url) : IsOwnFrame(url);
    if (!own) {
        engine::AppendLog("map page: refused to show " +
                          url.toDisplayString(QUrl::RemoveUserInfo).toStdString() +
                          (isMainFrame ? "" : " in a frame") + " (navigation " +
                          std::to_string(static_cast<int>(type)) + ")");
    }
    return own;
}

void MapWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                          const QString& message, int line, const QString& source) {
    if (level != ErrorMessageLevel) {
        return;
    }
    const QString text = source + u':' + QString::number(line) + u' ' + message;
    if (logged_.contains(text)) {
        return;
    }
    logged_.insert(text);
    engine::AppendLog("map page error: " + text.toStdString());
}

}  // namespace app
