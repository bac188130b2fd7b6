#pragma once
// The two marker windows, created on first use as children of the main window and kept.
#include <QObject>
#include <QPointer>
#include <QRect>

class QWidget;

namespace app {

class MarkersController;
class TfrmMarkerEdit;
class TfrmMarkers;

class MarkerWindows : public QObject {
    Q_OBJECT

  public:
    // Shows the editor whenever the controller asks for it.
    MarkerWindows(MarkersController& controller, QWidget* mainWindow);

    // TfrmMarkerEdit.ShowForm: the editor refilled from its controller and shown.
    TfrmMarkerEdit* ShowEditor();
    // TfrmMarkers.ShowForm: the list shown on `bound` (the POI panel's rectangle).
    TfrmMarkers* ShowList(const QRect& bound);
    // On every resize of the main window: the list, when it exists, follows the POI panel.
    void PlaceList(const QRect& bound);

    TfrmMarkerEdit* Editor() const;
    TfrmMarkers* List() const;

  private:
    MarkersController& controller_;
    QWidget* mainWindow_;
    QPointer<TfrmMarkerEdit> editor_;
    QPointer<TfrmMarkers> list_;
};

}  // namespace app
