#pragma once
// The browser page of the map view. It shows the program's own pages only: the main frame goes
// nowhere but to the page file the page host loads, and frames only to that page's own files,
// so no link, dropped file or script can put another document under the script bridge. Every
// error the page reports (uncaught script errors, resources that failed) goes to the program's
// log.
#include <QSet>
#include <QString>
#include <QUrl>
#include <QWebEnginePage>

namespace app {

class MapWebPage : public QWebEnginePage {
    Q_OBJECT

  public:
    explicit MapWebPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    // The address the host loads next (query included) and the folder of its files.
    void AllowPage(const QUrl& page, const QString& folder);

    // Whether the page would show `url` in its main frame or in one of its frames.
    bool IsOwnPage(const QUrl& url) const;
    bool IsOwnFrame(const QUrl& url) const;

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString& source) override;

  private:
    QUrl page_;
    QString folder_;
    // The errors logged since the page was loaded: one that repeats (a handler that fails on
    // every mouse move) is logged once per load.
    QSet<QString> logged_;
};

}  // namespace app
