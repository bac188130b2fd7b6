#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QUrl>

#include "app/services/services.h"
#include "page_helpers.h"
#include "settings_pages.h"

namespace app {
namespace {

constexpr char kBaiduKeyPage[] = "https://lbsyun.baidu.com/apiconsole/key";

}  // namespace

OtherPage::OtherPage(IDesktopOpener& opener, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsPOI"));
    edtBaiduAK_ = Named(new QLineEdit(this), "edtBaiduAK");
    auto* link = Named(new QLabel(this), "LinkLabel1");
    link->setText(
        QStringLiteral("<a href=\"%1\">申请百度地图API密钥</a>").arg(QLatin1String(kBaiduKeyPage)));
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setOpenExternalLinks(false);
    connect(link, &QLabel::linkActivated, this,
            [&opener](const QString& url) { opener.Open(QUrl(url)); });
    chkAutoCreatePOIMarker_ =
        NamedCheck(this, "chkAutoCreatePOIMarker", QStringLiteral("搜索完毕后马上在地图创建图标"));
    chkDeleteCacheIfQuit_ =
        NamedCheck(this, "chkDeleteCacheIfQuit", QStringLiteral("退出程序清空缓存文件"));
    cbbPrintDPI_ = NamedList(this, "cbbPrintDPI", PrintDpiChoices());
    cbbPrintDPI_->setEditable(true);

    auto* dpiRow = new QHBoxLayout;
    dpiRow->addWidget(cbbPrintDPI_);
    dpiRow->addWidget(new QLabel(QStringLiteral("像素/英寸"), this));
    dpiRow->addStretch();
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("百度地图密钥"), edtBaiduAK_);
    layout->addRow(QString(), link);
    layout->addRow(chkAutoCreatePOIMarker_);
    layout->addRow(chkDeleteCacheIfQuit_);
    layout->addRow(QStringLiteral("打印分辨率"), dpiRow);
}

void OtherPage::Show(const SettingsForm& form) {
    edtBaiduAK_->setText(form.baiduAK);
    chkAutoCreatePOIMarker_->setChecked(form.autoCreatePOIMarker);
    chkDeleteCacheIfQuit_->setChecked(form.deleteCacheIfQuit);
    cbbPrintDPI_->setEditText(form.printDpi);
}

void OtherPage::Collect(SettingsForm& form) const {
    form.baiduAK = edtBaiduAK_->text();
    form.autoCreatePOIMarker = chkAutoCreatePOIMarker_->isChecked();
    form.deleteCacheIfQuit = chkDeleteCacheIfQuit_->isChecked();
    form.printDpi = cbbPrintDPI_->currentText();
}

}  // namespace app
