#pragma once
// The stitch dialog "地图拼接": widgets and wiring over ImageMergeController, which holds the
// rules and the worker.
#include <QDialog>
#include <QString>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace engine {
class TSettings;
}

namespace app {
struct Services;
class TProgressBar;
}  // namespace app

namespace rasterui {

class ColourBox;
class ImageMergeController;

class TfrmImageMerge : public QDialog {
    Q_OBJECT

  public:
    TfrmImageMerge(engine::TSettings& settings, const app::Services& services,
                   const QString& profilesFolder, QWidget* parent = nullptr);
    ~TfrmImageMerge() override;

    ImageMergeController& Controller() { return *controller_; }

    // Shows the dialog; when it is visible already, its task and options are loaded again
    // (the show handler does that for a hidden one).
    void ShowAndReload();
    // btnImageCombine's click: starts when the start action is enabled.
    void ClickStart();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  public slots:
    void reject() override;

  private:
    void Build();
    void Wire();
    void Refresh();

    std::unique_ptr<ImageMergeController> controller_;

    QLineEdit* edtProjectName = nullptr;
    QPushButton* btnSelectDir3 = nullptr;
    QLineEdit* edtTilePath = nullptr;
    QPushButton* btn1 = nullptr;
    QLabel* lbl1 = nullptr;
    QListWidget* chkZoomLevels = nullptr;
    QLineEdit* edtCombineImageOutPutDir = nullptr;
    QPushButton* btnSelectDir4 = nullptr;
    QPushButton* btnOpenDir = nullptr;
    QLabel* lblFileName = nullptr;
    QComboBox* cbbImageType = nullptr;
    QCheckBox* chkWriteWorldFile = nullptr;
    QLabel* lbl3 = nullptr;
    ColourBox* ColorBox = nullptr;
    QCheckBox* chkTransparent = nullptr;
    QCheckBox* chkRectangle = nullptr;
    QCheckBox* chkForceShutDownWindows = nullptr;
    QLabel* lbl2 = nullptr;
    QComboBox* cbbCompressNames = nullptr;
    QCheckBox* chkOffsetMap = nullptr;
    QLineEdit* edtOffsetX = nullptr;
    QLineEdit* edtOffsetY = nullptr;
    QLineEdit* edtImageQuality = nullptr;
    QComboBox* cbbLevels = nullptr;
    app::TProgressBar* ProgressBar = nullptr;
    QLabel* txtProcess = nullptr;
    QPushButton* btnImageCombine = nullptr;
    QPushButton* btnCancel = nullptr;
    QAction* actImageCombine = nullptr;
    QAction* actOpenOutPutDir = nullptr;
};

}  // namespace rasterui
