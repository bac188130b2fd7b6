#pragma once
// The widgets of the POI panel `pnlPOI`: title and close label, keyword and tag boxes, the
// search, export and cancel buttons, the progress bar and the owner-drawn list `lstPOI` with its
// pop-up menu `pmPOI`. Wiring only; PoiController acts.
#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;

namespace app {

class PoiController;
class TProgressBar;

class PoiPanel : public QWidget {
    Q_OBJECT

  public:
    PoiPanel(PoiController& controller, QWidget* parent = nullptr);

    QLabel* lblPOICount = nullptr;
    QLabel* lbl4 = nullptr;
    // Says when the last search failed or found nothing; hidden otherwise.
    QLabel* lblPOINotice = nullptr;
    QLineEdit* edtKeyWord = nullptr;
    QLineEdit* edtQueryTag = nullptr;
    QPushButton* btnSearchPOIs = nullptr;
    QPushButton* btnPOIExport = nullptr;
    QPushButton* btnPOICancel = nullptr;
    TProgressBar* pbPOI = nullptr;
    QListWidget* lstPOI = nullptr;
    QMenu* pmPOI = nullptr;
    QAction* actPOIExport = nullptr;
    QAction* actAllPOI2Map = nullptr;

    // "清空地图" of the window's view menu, added below the separator of pmPOI.
    void AddClearMapAction(QAction* action);
    // OnMapMarkerClickEvent: selects the row of a search marker.
    void SelectMarkerRow(const QString& id);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RefreshState();
    void AddRows(int first, int count);

    PoiController& controller_;
};

}  // namespace app
