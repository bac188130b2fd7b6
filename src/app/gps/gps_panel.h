#pragma once
// The GPS panel over the map (pnlGPSNavigation): its title, the close label and the setting,
// start and stop buttons. The user drags it anywhere inside its parent. Widgets only; the
// GpsPanelController decides.
#include <QFrame>
#include <QPoint>

class QLabel;
class QPushButton;

namespace app {

class GpsPanel : public QFrame {
    Q_OBJECT

  public:
    explicit GpsPanel(QWidget* parent = nullptr);

    // Shows the panel or not, and the start or the stop button.
    void Refresh(bool visible, bool following);

    QLabel* lblCloseNav = nullptr;
    QPushButton* btnComSetting = nullptr;
    QPushButton* btnStartGPS = nullptr;
    QPushButton* btnStopGPS = nullptr;

  signals:
    void closeClicked();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool dragging_ = false;
    QPoint grabOffset_;
};

}  // namespace app
