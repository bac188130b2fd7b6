#include "ip_location_form.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace geodataui {

TfrmIPLocation::TfrmIPLocation(app::IMapPage& page, app::IMessages& messages,
                               engine::TSettings& settings, QWidget* parent)
    : QDialog(parent), controller_(page, messages, settings) {
    setObjectName(QStringLiteral("frmIPLocation"));
    setWindowTitle(QStringLiteral("查看历史地图"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("Tahoma")));

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
    cbbHistoricMapIds->setMinimumWidth(55);
    btnUpate = new QPushButton(QStringLiteral("更新版本号"), this);
    btnUpate->setObjectName(QStringLiteral("btnUpate"));
    btnUpate->setMinimumWidth(68);
    btnUpate->setAutoDefault(false);
    // The visible row sizes the window (148 by 37 in the plain style) from what the list and the
    // button need in the skin in force, so that no skin cuts the button's caption. The IP row
    // stays outside the layout, below the visible area.
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 6, 11, 4);
    row->setSpacing(6);
    row->addWidget(cbbHistoricMapIds);
    row->addWidget(btnUpate);
    row->setSizeConstraint(QLayout::SetFixedSize);
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

    layout()->activate();
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
