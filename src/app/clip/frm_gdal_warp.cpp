#include "frm_gdal_warp.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/widgets/colour_box.h"
#include "app/widgets/labelled_edit.h"

namespace rasterui {

TfrmGDALWarp::TfrmGDALWarp(engine::TSettings& settings, const app::Services& services,
                           ClipTools tools, QWidget* parent)
    : QDialog(parent),
      controller_(std::make_unique<GdalWarpController>(settings, services, std::move(tools))) {
    setObjectName(QStringLiteral("frmGDALWarp"));
    setWindowTitle(QStringLiteral("地图裁剪"));
    setMinimumSize(430, 250);

    auto* root = new QVBoxLayout(this);
    root->addLayout(EditRow(this, edtImage, "edtImage", QStringLiteral("地图文件"), btnSelectDir,
                            "btnSelectDir"));
    root->addLayout(
        EditRow(this, edtCutline, "edtCutline", QStringLiteral("裁剪线"), btn1, "btn1"));

    auto* options = new QHBoxLayout;
    lbl1 = new QLabel(QStringLiteral("背景颜色"), this);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    ColorBox = new ColourBox(this);
    ColorBox->setObjectName(QStringLiteral("ColorBox"));
    chkTransparent = new QCheckBox(QStringLiteral("透明"), this);
    chkTransparent->setObjectName(QStringLiteral("chkTransparent"));
    chkTransparent->setChecked(true);
    btnClip = new QPushButton(QStringLiteral("裁剪"), this);
    btnClip->setObjectName(QStringLiteral("btnClip"));
    btnClip->setDefault(true);
    options->addWidget(lbl1);
    options->addWidget(ColorBox);
    options->addWidget(chkTransparent);
    options->addStretch();
    options->addWidget(btnClip);
    root->addLayout(options);

    mmoLog = new QPlainTextEdit(this);
    mmoLog->setObjectName(QStringLiteral("mmoLog"));
    mmoLog->setReadOnly(true);
    root->addWidget(mmoLog, 1);

    auto& c = *controller_;
    connect(&c, &GdalWarpController::changed, this, &TfrmGDALWarp::Refresh);
    connect(&c, &GdalWarpController::logCleared, mmoLog, &QPlainTextEdit::clear);
    connect(&c, &GdalWarpController::logAppended, mmoLog, [this](const QString& text) {
        mmoLog->moveCursor(QTextCursor::End);
        mmoLog->insertPlainText(text);
        mmoLog->verticalScrollBar()->setValue(mmoLog->verticalScrollBar()->maximum());
    });
    connect(btnSelectDir, &QPushButton::clicked, &c, &GdalWarpController::SelectImage);
    connect(btn1, &QPushButton::clicked, &c, &GdalWarpController::SelectCutline);
    connect(chkTransparent, &QCheckBox::toggled, &c, &GdalWarpController::SetTransparent);
    connect(ColorBox, &ColourBox::colourChosen, &c, &GdalWarpController::SetColour);
    connect(btnClip, &QPushButton::clicked, &c, &GdalWarpController::Clip);
    Refresh();
}

TfrmGDALWarp::~TfrmGDALWarp() = default;

void TfrmGDALWarp::Refresh() {
    const auto& c = *controller_;
    const QSignalBlocker blockTransparent(chkTransparent);
    edtImage->setText(c.Image());
    edtCutline->setText(c.Cutline());
    chkTransparent->setChecked(c.Transparent());
    if (ColorBox->Selected() != c.Colour()) {
        ColorBox->SetSelected(c.Colour());
    }
    ColorBox->setEnabled(c.ColourEnabled());
    btnClip->setEnabled(c.ClipEnabled());
}

void TfrmGDALWarp::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        controller_->FormShow();
    }
}

void TfrmGDALWarp::closeEvent(QCloseEvent* event) {
    controller_->FormClose();
    event->accept();
}

void TfrmGDALWarp::reject() {
    controller_->FormClose();
    QDialog::reject();
}

}  // namespace rasterui
