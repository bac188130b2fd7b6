#include "geodata/ui/ip_location_form.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace geodataui {

TfrmIPLocation::TfrmIPLocation(mainwindow::IMapPage& page, mainwindow::IMessages& messages,
                               engine::TSettings& settings, QWidget* parent)
    : QDialog(parent), controller_(page, messages, settings) {
    setObjectName(QStringLiteral("frmIPLocation"));
    setWindowTitle(QStringLiteral("查看历史地图"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("Tahoma")));
    setFixedSize(148, 37);

    edtIP = new QLineEdit(this);
    edtIP->setObjectName(QStringLiteral("edtIP"));
    edtIP->setGeometry(70, 145, 96, 21);
    auto* ipLabel = new QLabel(QStringLiteral("IP地址"), this);
    ipLabel->setBuddy(edtIP);
    ipLabel->setGeometry(20, 148, 46, 16);
    btnLocation = new QPushButton(QStringLiteral("定位"), this);
    btnLocation->setObjectName(QStringLiteral("btnLocation"));
    btnLocation->setGeometry(172, 145, 66, 25);
    btnLocation->setAutoDefault(false);
    cbbHistoricMapIds = new QComboBox(this);
    cbbHistoricMapIds->setObjectName(QStringLiteral("cbbHistoricMapIds"));
    cbbHistoricMapIds->setGeometry(8, 8, 55, 21);
    btnUpate = new QPushButton(QStringLiteral("更新版本号"), this);
    btnUpate->setObjectName(QStringLiteral("btnUpate"));
    btnUpate->setGeometry(69, 8, 68, 25);
    btnUpate->setAutoDefault(false);
    setTabOrder(btnLocation, edtIP);
    setTabOrder(edtIP, cbbHistoricMapIds);
    setTabOrder(cbbHistoricMapIds, btnUpate);

    connect(btnUpate, &QPushButton::clicked, this, &TfrmIPLocation::btnUpateClick);
    connect(btnLocation, &QPushButton::clicked, this, &TfrmIPLocation::btnLocationClick);
    connect(cbbHistoricMapIds, &QComboBox::activated, this,
            &TfrmIPLocation::cbbHistoricMapIdsChange);
    connect(&controller_, &IPLocationController::probeStarted, this, [this] {
        btnUpate->setEnabled(false);
        cbbHistoricMapIds->clear();
    });
    connect(&controller_, &IPLocationController::versionFound, this,
            [this](const QString& version) { cbbHistoricMapIds->addItem(version); });
    connect(&controller_, &IPLocationController::probeFinished, this, [this] {
        if (cbbHistoricMapIds->count() > 0) {
            cbbHistoricMapIds->setCurrentIndex(0);
        }
        cbbHistoricMapIds->setMaxVisibleItems(std::max(1, cbbHistoricMapIds->count()));
        btnUpate->setEnabled(true);
    });

    if (parent) {
        const QRect frame = parent->frameGeometry();
        move(frame.left() + width() + 75, frame.top() + 45);
    }
}

void TfrmIPLocation::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        controller_.UpdateTileVerions();
    }
}

void TfrmIPLocation::btnUpateClick() {
    controller_.UpdateTileVerions();
}

void TfrmIPLocation::btnLocationClick() {
    if (!controller_.Locate(edtIP->text())) {
        edtIP->setFocus();
    }
}

void TfrmIPLocation::cbbHistoricMapIdsChange(int index) {
    controller_.ChooseVersion(cbbHistoricMapIds->itemText(index));
}

}  // namespace geodataui
