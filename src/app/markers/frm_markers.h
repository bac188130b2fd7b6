#pragma once
// The marker list window: a child of the main window laid over its POI panel, listing every
// stored marker over MarkerListController.
#include <QFrame>

class QAction;
class QMenu;
class QTreeView;

namespace app {

class MarkerListController;

class TfrmMarkers : public QFrame {
    Q_OBJECT

  public:
    TfrmMarkers(MarkerListController& controller, QWidget* mainWindow);

    // Places the window on `bound` (the POI panel's rectangle in the main window).
    void _SetBounds(const QRect& bound) { setGeometry(bound); }

    QTreeView* lvMarkers = nullptr;
    QMenu* pm1 = nullptr;
    QAction* mniExport = nullptr;
    QAction* mniDelete = nullptr;
    QAction* mniUpLoad = nullptr;
    QAction* mniDownload = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void lvMarkersClick();
    int SelectedRow() const;

    MarkerListController& controller_;
};

}  // namespace app
