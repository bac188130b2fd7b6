#include "marker_windows.h"

#include <QWidget>

#include "frm_marker_edit.h"
#include "frm_markers.h"
#include "markers_controller.h"

namespace app {

MarkerWindows::MarkerWindows(MarkersController& controller, QWidget* mainWindow)
    : QObject(mainWindow), controller_(controller), mainWindow_(mainWindow) {
    connect(&controller_, &MarkersController::editorWanted, this, &MarkerWindows::ShowEditor);
}

TfrmMarkerEdit* MarkerWindows::ShowEditor() {
    if (!editor_)
        editor_ = new TfrmMarkerEdit(controller_.Editor(), mainWindow_);
    editor_->UpdateInfo();
    editor_->show();
    editor_->raise();
    return editor_;
}

TfrmMarkers* MarkerWindows::ShowList(const QRect& bound) {
    if (!list_)
        list_ = new TfrmMarkers(controller_.List(), mainWindow_);
    list_->_SetBounds(bound);
    list_->show();
    list_->raise();
    return list_;
}

void MarkerWindows::PlaceList(const QRect& bound) {
    if (list_)
        list_->_SetBounds(bound);
}

TfrmMarkerEdit* MarkerWindows::Editor() const {
    return editor_;
}

TfrmMarkers* MarkerWindows::List() const {
    return list_;
}

}  // namespace app
