#pragma once
// The clip dialog "地图裁剪": widgets and wiring over GdalWarpController.
#include <QDialog>
#include <memory>

#include "gdal_warp_controller.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace rasterui {

class ColourBox;

class TfrmGDALWarp : public QDialog {
    Q_OBJECT

  public:
    TfrmGDALWarp(engine::TSettings& settings, const app::Services& services, ClipTools tools = {},
                 QWidget* parent = nullptr);
    ~TfrmGDALWarp() override;

    GdalWarpController& Controller() { return *controller_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  public slots:
    void reject() override;

  private:
    void Refresh();

    std::unique_ptr<GdalWarpController> controller_;
    QLineEdit* edtImage = nullptr;
    QPushButton* btnSelectDir = nullptr;
    QLineEdit* edtCutline = nullptr;
    QPushButton* btn1 = nullptr;
    QLabel* lbl1 = nullptr;
    ColourBox* ColorBox = nullptr;
    QCheckBox* chkTransparent = nullptr;
    QPushButton* btnClip = nullptr;
    QPlainTextEdit* mmoLog = nullptr;
};

}  // namespace rasterui
