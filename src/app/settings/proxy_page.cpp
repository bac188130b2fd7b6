#include <QFormLayout>

#include "page_helpers.h"
#include "settings_pages.h"

namespace app {

ProxyPage::ProxyPage(QWidget* parent)
    : QWidget(parent), reader_([] { return GetProxyForProtocol(QStringLiteral("http")); }) {
    setObjectName(QStringLiteral("tsNetWork"));
    cbbProxy_ = NamedList(this, "cbbProxy", ProxyTypeNames());
    edtHost_ = Named(new QLineEdit(this), "edtHost");
    edtPort_ = NamedDigitsEdit(this, "edtPort");
    edtUserName_ = Named(new QLineEdit(this), "edtUserName");
    edtPassword_ = Named(new QLineEdit(this), "edtPassword");  // shown in clear
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("代理"), cbbProxy_);
    layout->addRow(QStringLiteral("地址"), edtHost_);
    layout->addRow(QStringLiteral("端口"), edtPort_);
    layout->addRow(QStringLiteral("用户名"), edtUserName_);
    layout->addRow(QStringLiteral("密码"), edtPassword_);
    // Only a choice by the user reads the system's proxy, not filling the form.
    connect(cbbProxy_, &QComboBox::activated, this, &ProxyPage::cbbProxyChange);
}

void ProxyPage::Show(const SettingsForm& form) {
    cbbProxy_->setCurrentIndex(form.proxyType);
    edtHost_->setText(form.proxyHost);
    edtPort_->setText(form.proxyPort);
    edtUserName_->setText(form.proxyUser);
    edtPassword_->setText(form.proxyPass);
}

void ProxyPage::Collect(SettingsForm& form) const {
    form.proxyType = cbbProxy_->currentIndex();
    form.proxyHost = edtHost_->text();
    form.proxyPort = edtPort_->text();
    form.proxyUser = edtUserName_->text();
    form.proxyPass = edtPassword_->text();
}

void ProxyPage::ProxyChoiceChanged() {
    cbbProxyChange(cbbProxy_->currentIndex());
}

void ProxyPage::cbbProxyChange(int index) {
    if (index != 1) {
        return;
    }
    const ProxyEndpoint proxy = reader_();
    edtHost_->setText(proxy.host);
    edtPort_->setText(QString::number(proxy.port));
}

}  // namespace app
