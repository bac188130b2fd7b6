#include "frm_settings.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/services/services.h"
#include "settings_pages.h"
#include "skin_manager.h"

namespace app {

TfrmSettings::TfrmSettings(engine::TSettings& settings, SkinManager& skins, IDesktopOpener& opener,
                           QWidget* parent)
    : QDialog(parent), settings_(settings), skins_(skins) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("设置"));
    lstNavigation_ = new QListWidget(this);
    lstNavigation_->setObjectName(QStringLiteral("lstNavigation"));
    lstNavigation_->addItems(NavigationItems());
    lstNavigation_->setFixedWidth(84);
    pgcSettings_ = new QStackedWidget(this);
    pgcSettings_->setObjectName(QStringLiteral("pgcSettings"));
    tsDownload_ = new DownloadPage(pgcSettings_);
    tsNetWork_ = new ProxyPage(pgcSettings_);
    tsMaps_ = new MapsPage(pgcSettings_);
    tsSkin_ = new SkinPage(skins_, pgcSettings_);
    tsPOI_ = new OtherPage(opener, pgcSettings_);
    for (QWidget* page : {static_cast<QWidget*>(tsDownload_), static_cast<QWidget*>(tsNetWork_),
                          static_cast<QWidget*>(tsMaps_), static_cast<QWidget*>(tsSkin_),
                          static_cast<QWidget*>(tsPOI_)}) {
        pgcSettings_->addWidget(page);
    }

    auto* buttons = new QDialogButtonBox(this);
    auto* btnOk = buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::AcceptRole);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    auto* btnCancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOk, &QPushButton::clicked, this, &TfrmSettings::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstNavigation_, &QListWidget::currentRowChanged, this,
            &TfrmSettings::lstNavigationClick);
    // The proxy choice's change handler also serves the two tile-version boxes.
    connect(tsMaps_, &MapsPage::tileVersionEdited, tsNetWork_, &ProxyPage::ProxyChoiceChanged);

    auto* body = new QHBoxLayout;
    body->addWidget(lstNavigation_);
    body->addWidget(pgcSettings_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(buttons);
    // A fixed border: the dialog takes the size its pages need (at least the classic 485 x 368).
    setFixedSize(sizeHint().expandedTo(QSize(485, 368)));
}

TfrmSettings::~TfrmSettings() = default;

bool TfrmSettings::ShowForm(engine::TSettings& settings, SkinManager& skins, IDesktopOpener& opener,
                            QWidget* parent) {
    TfrmSettings dialog(settings, skins, opener, parent);
    dialog.Prepare();
    return dialog.exec() == QDialog::Accepted && dialog.NeedsReload();
}

void TfrmSettings::Prepare() {
    loaded_.Load(settings_);
    Show(loaded_);
    lstNavigation_->setCurrentRow(loaded_.settingIndex);
    lstNavigationClick(loaded_.settingIndex);
}

void TfrmSettings::Show(const SettingsForm& form) {
    tsDownload_->Show(form);
    tsNetWork_->Show(form);
    tsMaps_->Show(form);
    tsSkin_->Show(form);
    tsPOI_->Show(form);
}

SettingsForm TfrmSettings::Collect() const {
    SettingsForm form = loaded_;
    tsDownload_->Collect(form);
    tsNetWork_->Collect(form);
    tsMaps_->Collect(form);
    tsSkin_->Collect(form);
    tsPOI_->Collect(form);
    form.settingIndex = std::max(0, lstNavigation_->currentRow());
    return form;
}

void TfrmSettings::SetProxyReader(std::function<ProxyEndpoint()> reader) {
    tsNetWork_->SetProxyReader(std::move(reader));
}

void TfrmSettings::lstNavigationClick(int row) {
    if (row < 0 || row >= pgcSettings_->count()) {
        return;
    }
    pgcSettings_->setCurrentIndex(row);
    if (pgcSettings_->currentWidget() == tsSkin_) {
        tsSkin_->EnsureLoaded();
    }
}

void TfrmSettings::btnOkClick() {
    const SettingsForm form = Collect();
    reload_ = form.MapPageNeedsReload(settings_);
    form.ApplyTo(settings_);
    if (form.stylesLoaded) {
        skins_.TrySetStyle(form.styleName);
    }
    accept();
}

bool SelectFolder(IFileDialogs& dialogs, const QString& caption, QString& directory) {
    const QString chosen = dialogs.SelectFolder(caption, directory);
    if (chosen.isEmpty()) {
        return false;
    }
    directory = chosen;
    return true;
}

}  // namespace app
