#pragma once
// The historic-map tool window: the satellite versions found for the map centre, the update
// button, and (below the visible area, reached with Tab) the IP address edit and its locate
// button. Widgets and wiring only; IPLocationController holds the rules.
#include <QDialog>

#include "ip_location_controller.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace geodataui {

class TfrmIPLocation : public QDialog {
    Q_OBJECT

  public:
    TfrmIPLocation(app::IMapPage& page, app::IMessages& messages, engine::TSettings& settings,
                   QWidget* parent = nullptr);

    IPLocationController& Controller() { return controller_; }

    void btnUpateClick();
    void btnLocationClick();
    void cbbHistoricMapIdsChange(int index);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    IPLocationController controller_;
    QComboBox* cbbHistoricMapIds = nullptr;
    QPushButton* btnUpate = nullptr;
    QLineEdit* edtIP = nullptr;
    QPushButton* btnLocation = nullptr;
};

}  // namespace geodataui
