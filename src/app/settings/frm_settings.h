#pragma once
// The settings dialog: a navigation list and five pages over a SettingsForm. It holds no rule
// of its own; OK collects the pages, asks the form whether the map page must be reloaded,
// writes the form to the store and switches the skin.
#include <QDialog>

#include "settings_form.h"
#include "system_proxy.h"

class QListWidget;
class QStackedWidget;

namespace engine {
class TSettings;
}

namespace app {

class IDesktopOpener;
class SkinManager;
class DownloadPage;
class ProxyPage;
class MapsPage;
class SkinPage;
class OtherPage;

class TfrmSettings : public QDialog {
    Q_OBJECT

  public:
    TfrmSettings(engine::TSettings& settings, SkinManager& skins, IDesktopOpener& opener,
                 QWidget* parent = nullptr);
    ~TfrmSettings() override;

    // Shows the dialog modally on the page `SettingIndex`; true when it closed through OK and
    // the map page must be reloaded.
    static bool ShowForm(engine::TSettings& settings, SkinManager& skins, IDesktopOpener& opener,
                         QWidget* parent = nullptr);

    // Fills the pages from the store and opens the stored page (FormShow).
    void Prepare();
    void Show(const SettingsForm& form);
    SettingsForm Collect() const;
    // Set by OK: whether the map page must be reloaded.
    bool NeedsReload() const { return reload_; }
    void SetProxyReader(std::function<ProxyEndpoint()> reader);

  private:
    void lstNavigationClick(int row);
    void btnOkClick();

    engine::TSettings& settings_;
    SkinManager& skins_;
    QListWidget* lstNavigation_;
    QStackedWidget* pgcSettings_;
    DownloadPage* tsDownload_;
    ProxyPage* tsNetWork_;
    MapsPage* tsMaps_;
    SkinPage* tsSkin_;
    OtherPage* tsPOI_;
    SettingsForm loaded_;
    bool reload_ = false;
};

// The folder dialog used to choose folders (the tile folder, among others): true with the
// chosen folder in `directory` on OK.
class IFileDialogs;
bool SelectFolder(IFileDialogs& dialogs, const QString& caption, QString& directory);

}  // namespace app
