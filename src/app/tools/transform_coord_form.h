#pragma once
// The coordinate tool window: locate a typed position, convert one point between the datums.
// Widgets and wiring only; TransformCoordController holds the rules.
#include <QDialog>
#include <memory>

#include "transform_coord_controller.h"

class QBoxLayout;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace geodataui {

class TfrmTransformCoord : public QDialog {
    Q_OBJECT

  public:
    TfrmTransformCoord(app::IMapPage& page, app::IMessages& messages, QWidget* parent = nullptr);
    ~TfrmTransformCoord() override;

    void rbDMSClick();
    void btnClearClick();
    void btnLoactionClick();
    void btnwgs84ToWarsClick();
    void btnHelpTestClick();

  protected:
    bool event(QEvent* event) override;

  private:
    void FitContents();
    void BuildLocateGroup(QBoxLayout& layout);
    void BuildConvertGroup(QBoxLayout& layout);
    LocateFields Fields() const;
    void Show(const LocateFields& fields);

    std::unique_ptr<TransformCoordController> controller_;
    QRadioButton* rbDegree = nullptr;
    QRadioButton* rbDMS = nullptr;
    QLineEdit* edtLngDegree = nullptr;
    QLineEdit* edtLngMinute = nullptr;
    QLineEdit* edtLngSecond = nullptr;
    QLineEdit* edtLatDegree = nullptr;
    QLineEdit* edtLatMinute = nullptr;
    QLineEdit* edtLatSecond = nullptr;
    QLineEdit* edtLng = nullptr;
    QLineEdit* edtLat = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnLoaction = nullptr;
    QComboBox* cbbType = nullptr;
    QLineEdit* edtlngTest = nullptr;
    QLineEdit* edtLatTest = nullptr;
    QLineEdit* edtlatlngTest = nullptr;
    QPushButton* btnHelpTest = nullptr;
    QPushButton* btnwgs84ToWars = nullptr;
};

}  // namespace geodataui
