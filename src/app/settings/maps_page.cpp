#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "bounded_spin_box.h"
#include "color_square.h"
#include "page_helpers.h"
#include "settings_pages.h"

namespace app {

MapsPage::MapsPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsMaps"));
    cbbServer_ = NamedList(this, "cbbServer", MapServerNames());
    cbbLanguageNames_ = NamedList(this, "cbbLanguageNames", MapLanguageNameList());
    cbbLanguageNames_->setMaxVisibleItems(25);
    chkAutoUpdateTileVer_ =
        NamedCheck(this, "chkAutoUpdateTileVer",
                   QStringLiteral("自动更新地图版本（减小地图版本号，可下载历史地图）"));
    edtRoadMapTileVer_ = NamedDigitsEdit(this, "edtRoadMapTileVer");
    edtSatMapTileVer_ = NamedDigitsEdit(this, "edtSatMapTileVer");
    edtBNormalUDT_ = Named(new QLineEdit(this), "edtBNormalUDT");
    edtBSatelliteUDT_ = Named(new QLineEdit(this), "edtBSatelliteUDT");
    chkShowCopyright_ =
        NamedCheck(this, "chkShowCopyright", QStringLiteral("地图左下角显示版权信息"));
    chkShowAreaLabel_ =
        NamedCheck(this, "chkShowAreaLabel", QStringLiteral("显示矩形、多边形面积标签"));
    chkShowCurrentLocationBar_ =
        NamedCheck(this, "chkShowCurrentLocationBar", QStringLiteral("显示当前位置"));

    auto* grpColor =
        Named(new QGroupBox(QStringLiteral("线段、矩形、圆形、多边形设置"), this), "grpColor");
    shpPolygonStrokeColor_ = Named(new ColorSquare(grpColor), "shpPolygonStrokeColor");
    sePolygonStrokeOpacity_ =
        Named(new BoundedSpinBox(kOpacityBounds, grpColor), "sePolygonStrokeOpacity");
    sePolygonStrokeWeight_ =
        Named(new BoundedSpinBox(kStrokeWeightBounds, grpColor), "sePolygonStrokeWeight");
    shpPolygonFillColor_ = Named(new ColorSquare(grpColor), "shpPolygonFillColor");
    sePolygonFillOpacity_ =
        Named(new BoundedSpinBox(kOpacityBounds, grpColor), "sePolygonFillOpacity");
    sePolygonStrokeOpacity_->setSuffix(QStringLiteral("%"));
    sePolygonFillOpacity_->setSuffix(QStringLiteral("%"));
    auto* colors = new QFormLayout(grpColor);
    colors->addRow(QStringLiteral("边线颜色"), shpPolygonStrokeColor_);
    colors->addRow(QStringLiteral("边线透明度"), sePolygonStrokeOpacity_);
    colors->addRow(QStringLiteral("边线宽度"), sePolygonStrokeWeight_);
    colors->addRow(QStringLiteral("填充颜色"), shpPolygonFillColor_);
    colors->addRow(QStringLiteral("填充透明度"), sePolygonFillOpacity_);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("地图服务器"), cbbServer_);
    form->addRow(QStringLiteral("地图语言"), cbbLanguageNames_);
    form->addRow(chkAutoUpdateTileVer_);
    form->addRow(QStringLiteral("谷歌地图"), edtRoadMapTileVer_);
    form->addRow(QStringLiteral("谷歌卫星图"), edtSatMapTileVer_);
    form->addRow(QStringLiteral("百度地图"), edtBNormalUDT_);
    form->addRow(QStringLiteral("百度卫星图"), edtBSatelliteUDT_);
    form->addRow(chkShowCopyright_);
    form->addRow(chkShowAreaLabel_);
    form->addRow(chkShowCurrentLocationBar_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(grpColor);
    layout->addStretch();
    connect(chkAutoUpdateTileVer_, &QCheckBox::toggled, this, &MapsPage::chkAutoUpdateTileVerClick);
    connect(edtRoadMapTileVer_, &QLineEdit::textEdited, this, &MapsPage::tileVersionEdited);
    connect(edtSatMapTileVer_, &QLineEdit::textEdited, this, &MapsPage::tileVersionEdited);
}

void MapsPage::Show(const SettingsForm& form) {
    cbbServer_->setCurrentIndex(form.mapSeverIndex);
    cbbLanguageNames_->setCurrentIndex(form.languageIndex);
    chkAutoUpdateTileVer_->setChecked(form.autoUpdateTileVer);
    edtRoadMapTileVer_->setText(form.roadMapTileVer);
    edtSatMapTileVer_->setText(form.satMapTileVer);
    edtBNormalUDT_->setText(form.bNormalUDT);
    edtBSatelliteUDT_->setText(form.bSatelliteUDT);
    chkShowCopyright_->setChecked(form.showCopyright);
    chkShowAreaLabel_->setChecked(form.showAreaLabel);
    chkShowCurrentLocationBar_->setChecked(form.showCurrentLocationBar);
    shpPolygonStrokeColor_->SetColorText(form.polygonStrokeColor);
    sePolygonStrokeOpacity_->setValue(form.polygonStrokeOpacity);
    sePolygonStrokeWeight_->setValue(form.polygonStrokeWeight);
    shpPolygonFillColor_->SetColorText(form.polygonFillColor);
    sePolygonFillOpacity_->setValue(form.polygonFillOpacity);
    chkAutoUpdateTileVerClick();
}

void MapsPage::Collect(SettingsForm& form) const {
    form.mapSeverIndex = cbbServer_->currentIndex();
    form.languageIndex = cbbLanguageNames_->currentIndex();
    form.autoUpdateTileVer = chkAutoUpdateTileVer_->isChecked();
    form.roadMapTileVer = edtRoadMapTileVer_->text();
    form.satMapTileVer = edtSatMapTileVer_->text();
    form.showCopyright = chkShowCopyright_->isChecked();
    form.showAreaLabel = chkShowAreaLabel_->isChecked();
    form.showCurrentLocationBar = chkShowCurrentLocationBar_->isChecked();
    form.polygonStrokeColor = shpPolygonStrokeColor_->ColorText();
    form.polygonStrokeOpacity = SpinValue(sePolygonStrokeOpacity_);
    form.polygonStrokeWeight = SpinValue(sePolygonStrokeWeight_);
    form.polygonFillColor = shpPolygonFillColor_->ColorText();
    form.polygonFillOpacity = SpinValue(sePolygonFillOpacity_);
}

void MapsPage::chkAutoUpdateTileVerClick() {
    const bool editable = !chkAutoUpdateTileVer_->isChecked();
    edtRoadMapTileVer_->setEnabled(editable);
    edtSatMapTileVer_->setEnabled(editable);
}

}  // namespace app
