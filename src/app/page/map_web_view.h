#pragma once
// The map view (`crm`): a browser view on which nothing can be dropped. A link or file dropped
// on the map would otherwise replace the map page.
#include <QWebEngineView>

namespace app {

class MapWebView : public QWebEngineView {
    Q_OBJECT

  public:
    explicit MapWebView(QWidget* parent = nullptr);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

}  // namespace app
