#pragma once
// The area panel's widgets: the coordinate box `mmoCoordinates` (digits, ",", "-", "." and
// Backspace only) and the buttons "当前视野", "显示范围" and "帮助(?)".
#include <QWidget>

class QAction;
class QPlainTextEdit;
class QToolButton;

namespace app {

class PlacesController;

class CoordinatesPanel : public QWidget {
    Q_OBJECT

  public:
    CoordinatesPanel(PlacesController& controller, QWidget* parent = nullptr);

    QPlainTextEdit* Box() const { return box_; }
    QAction* actUseCurrentView = nullptr;
    QAction* actShowBoundOnMap = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    PlacesController& controller_;
    QPlainTextEdit* box_;
};

}  // namespace app
