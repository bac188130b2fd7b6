#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>

#include "bounded_spin_box.h"
#include "page_helpers.h"
#include "settings_pages.h"

namespace app {

QLineEdit* NamedDigitsEdit(QWidget* parent, const char* name) {
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

DownloadPage::DownloadPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsDownload"));
    cbbTiandituByProvince_ = NamedList(this, "cbbTiandituByProvince", TiandituSourceNames());
    cbbTiandituByProvince_->setEnabled(false);
    seMaxThread_ = Named(new BoundedSpinBox(kMaxThreadBounds, this), "seMaxThread");
    seFailedTryTimes_ = Named(new BoundedSpinBox(kFailedTryTimesBounds, this), "seFailedTryTimes");
    seDelay_ = Named(new BoundedSpinBox(kDelayBounds, this), "seDelay");
    chkOverWriteDownload_ = NamedCheck(this, "chkOverWriteDownload", QStringLiteral("覆盖下载"));
    chkDownloadNoLabel_ = NamedCheck(this, "chkDownloadNoLabel", QStringLiteral("不下载标签"));
    chkAutoCombineImage_ =
        NamedCheck(this, "chkAutoCombineImage", QStringLiteral("完成后自动拼接或导出地图"));
    chkForceShutDownWindows_ =
        NamedCheck(this, "chkForceShutDownWindows", QStringLiteral("完成后关机"));

    auto* delayRow = new QHBoxLayout;
    delayRow->addWidget(seDelay_);
    delayRow->addWidget(new QLabel(QStringLiteral("秒"), this));
    delayRow->addStretch();
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("天地图数据源"), cbbTiandituByProvince_);
    layout->addRow(QStringLiteral("线程数量"), seMaxThread_);
    layout->addRow(QStringLiteral("失败重试次数"), seFailedTryTimes_);
    layout->addRow(QStringLiteral("延时"), delayRow);
    layout->addRow(chkOverWriteDownload_);
    layout->addRow(chkDownloadNoLabel_);
    layout->addRow(chkAutoCombineImage_);
    layout->addRow(chkForceShutDownWindows_);
}

void DownloadPage::Show(const SettingsForm& form) {
    cbbTiandituByProvince_->setCurrentIndex(form.tiandituIndex);
    seMaxThread_->setValue(form.maxThread);
    seFailedTryTimes_->setValue(form.failedTryTimes);
    seDelay_->setValue(form.downloadDelay);
    chkOverWriteDownload_->setChecked(form.overWriteDownload);
    chkDownloadNoLabel_->setChecked(form.downloadNoLabel);
    chkAutoCombineImage_->setChecked(form.autoCombineImage);
    chkForceShutDownWindows_->setChecked(form.forceShutDownWindows);
}

void DownloadPage::Collect(SettingsForm& form) const {
    form.tiandituIndex = cbbTiandituByProvince_->currentIndex();
    form.maxThread = SpinValue(seMaxThread_);
    form.failedTryTimes = SpinValue(seFailedTryTimes_);
    form.downloadDelay = SpinValue(seDelay_);
    form.overWriteDownload = chkOverWriteDownload_->isChecked();
    form.downloadNoLabel = chkDownloadNoLabel_->isChecked();
    form.autoCombineImage = chkAutoCombineImage_->isChecked();
    form.forceShutDownWindows = chkForceShutDownWindows_->isChecked();
}

}  // namespace app
