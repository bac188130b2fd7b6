#include "map_web_view.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>

namespace app {

MapWebView::MapWebView(QWidget* parent) : QWebEngineView(parent) {
    setAcceptDrops(false);
}

// Refused here, never handed to the page.
void MapWebView::dragEnterEvent(QDragEnterEvent* event) {
    event->ignore();
}

void MapWebView::dragMoveEvent(QDragMoveEvent* event) {
    event->ignore();
}

void MapWebView::dragLeaveEvent(QDragLeaveEvent* event) {
    event->ignore();
}

void MapWebView::dropEvent(QDropEvent* event) {
    event->ignore();
}

}  // namespace app
