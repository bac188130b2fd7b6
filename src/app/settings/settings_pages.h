#pragma once
// The five pages of the settings dialog, each its own widget: Show copies the form's fields
// onto the controls, Collect copies the controls back. The controls carry the names that the
// rest of the program and the tests look them up by.
#include <QWidget>
#include <functional>
#include <memory>

#include "settings_form.h"
#include "system_proxy.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace app {

class IDesktopOpener;
class SkinManager;
class TVclStylesPreview;

class DownloadPage : public QWidget {
    Q_OBJECT
  public:
    explicit DownloadPage(QWidget* parent = nullptr);
    void Show(const SettingsForm& form);
    void Collect(SettingsForm& form) const;

  private:
    QComboBox* cbbTiandituByProvince_;
    QSpinBox* seMaxThread_;
    QSpinBox* seFailedTryTimes_;
    QSpinBox* seDelay_;
    QCheckBox* chkOverWriteDownload_;
    QCheckBox* chkDownloadNoLabel_;
    QCheckBox* chkAutoCombineImage_;
    QCheckBox* chkForceShutDownWindows_;
};

class ProxyPage : public QWidget {
    Q_OBJECT
  public:
    using ProxyReader = std::function<ProxyEndpoint()>;
    explicit ProxyPage(QWidget* parent = nullptr);
    void Show(const SettingsForm& form);
    void Collect(SettingsForm& form) const;
    // Where the "system setting" choice reads the proxy from (the system's http proxy unless
    // a test sets another).
    void SetProxyReader(ProxyReader reader) { reader_ = std::move(reader); }
    // The proxy choice's change handler run for the current choice: with "system setting"
    // chosen, reads the system's proxy into the host and port boxes again.
    void ProxyChoiceChanged();

  private:
    void cbbProxyChange(int index);

    QComboBox* cbbProxy_;
    QLineEdit* edtHost_;
    QLineEdit* edtPort_;
    QLineEdit* edtUserName_;
    QLineEdit* edtPassword_;
    ProxyReader reader_;
};

class ColorSquare;

class MapsPage : public QWidget {
    Q_OBJECT
  public:
    explicit MapsPage(QWidget* parent = nullptr);
    void Show(const SettingsForm& form);
    void Collect(SettingsForm& form) const;

  signals:
    // The user typed into one of the two tile-version boxes.
    void tileVersionEdited();

  private:
    void chkAutoUpdateTileVerClick();

    QComboBox* cbbServer_;
    QComboBox* cbbLanguageNames_;
    QCheckBox* chkAutoUpdateTileVer_;
    QLineEdit* edtRoadMapTileVer_;
    QLineEdit* edtSatMapTileVer_;
    QLineEdit* edtBNormalUDT_;
    QLineEdit* edtBSatelliteUDT_;
    QCheckBox* chkShowCopyright_;
    QCheckBox* chkShowAreaLabel_;
    QCheckBox* chkShowCurrentLocationBar_;
    ColorSquare* shpPolygonStrokeColor_;
    QSpinBox* sePolygonStrokeOpacity_;
    QSpinBox* sePolygonStrokeWeight_;
    ColorSquare* shpPolygonFillColor_;
    QSpinBox* sePolygonFillOpacity_;
};

class SkinPage : public QWidget {
    Q_OBJECT
  public:
    SkinPage(SkinManager& skins, QWidget* parent = nullptr);
    void Show(const SettingsForm& form);
    void Collect(SettingsForm& form) const;
    // On the first visit: the preview, the style names, the preview of the selected one.
    void EnsureLoaded();
    bool StylesLoaded() const { return stylesLoaded_; }
    void PreviewStyle(const QString& name);

  private:
    SkinManager& skins_;
    QComboBox* cbbStyles_;
    QWidget* pnlPreview_;
    QLabel* caption_;
    TVclStylesPreview* preview_ = nullptr;
    QString styleName_;
    bool stylesLoaded_ = false;
};

class OtherPage : public QWidget {
    Q_OBJECT
  public:
    OtherPage(IDesktopOpener& opener, QWidget* parent = nullptr);
    void Show(const SettingsForm& form);
    void Collect(SettingsForm& form) const;

  private:
    QLineEdit* edtBaiduAK_;
    QCheckBox* chkAutoCreatePOIMarker_;
    QCheckBox* chkDeleteCacheIfQuit_;
    QComboBox* cbbPrintDPI_;
};

}  // namespace app
