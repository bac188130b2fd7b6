#include "frm_image_merge.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "app/widgets/colour_box.h"
#include "app/widgets/labelled_edit.h"
#include "app/widgets/named_widget.h"
#include "app/widgets/progress_bar_ex.h"
#include "image_merge_controller.h"

namespace rasterui {

using app::NamedButton;
using app::NamedCheck;
using app::NamedLabel;
using app::NamedList;

TfrmImageMerge::TfrmImageMerge(engine::TSettings& settings, const app::Services& services,
                               const QString& profilesFolder, QWidget* parent)
    : QDialog(parent),
      controller_(std::make_unique<ImageMergeController>(settings, services, profilesFolder)) {
    setObjectName(QStringLiteral("frmImageMerge"));
    setWindowTitle(QStringLiteral("地图拼接"));
    Build();
    Wire();
    Refresh();
}

TfrmImageMerge::~TfrmImageMerge() = default;

void TfrmImageMerge::Build() {
    auto* root = new QVBoxLayout(this);
    root->addLayout(EditRow(this, edtProjectName, "edtProjectName", QStringLiteral("任务文件"),
                            btnSelectDir3, "btnSelectDir3"));
    root->addLayout(
        EditRow(this, edtTilePath, "edtTilePath", QStringLiteral("地图路径"), btn1, "btn1"));

    lbl1 = NamedLabel(this, "lbl1", QStringLiteral("地图级别"));
    root->addWidget(lbl1);
    chkZoomLevels = new QListWidget(this);
    chkZoomLevels->setObjectName(QStringLiteral("chkZoomLevels"));
    chkZoomLevels->setFlow(QListView::LeftToRight);
    chkZoomLevels->setWrapping(true);
    chkZoomLevels->setResizeMode(QListView::Adjust);
    chkZoomLevels->setGridSize(QSize(72, 20));  // six columns in the dialog's width
    chkZoomLevels->setFixedHeight(4 * 20 + 6);
    for (int z = 0; z < engine::kZoomLevelCount; ++z) {
        auto* item = new QListWidgetItem(QString::number(z), chkZoomLevels);
        item->setCheckState(Qt::Unchecked);
    }
    root->addWidget(chkZoomLevels);

    auto* outRow = EditRow(this, edtCombineImageOutPutDir, "edtCombineImageOutPutDir",
                           QStringLiteral("输出目录"), btnSelectDir4, "btnSelectDir4");
    btnOpenDir = NamedButton(this, "btnOpenDir", QStringLiteral("打开"));
    outRow->addWidget(btnOpenDir, 0, Qt::AlignBottom);
    root->addLayout(outRow);

    auto* grid = new QGridLayout;
    lblFileName = NamedLabel(this, "lblFileName", QStringLiteral("文件格式"));
    cbbImageType = NamedList(this, "cbbImageType");
    for (const char* name : ImageTypeNames()) {
        cbbImageType->addItem(QString::fromUtf8(name));
    }
    cbbImageType->setMaxVisibleItems(kImageTypeCount);
    chkWriteWorldFile =
        NamedCheck(this, "chkWriteWorldFile", QStringLiteral("生成 ESRI world file"));
    lbl3 = NamedLabel(this, "lbl3", QStringLiteral("背景颜色"));
    ColorBox = new ColourBox(this);
    ColorBox->setObjectName(QStringLiteral("ColorBox"));
    chkTransparent = NamedCheck(this, "chkTransparent", QStringLiteral("透明"));
    chkTransparent->setVisible(false);
    chkTransparent->setEnabled(false);
    chkRectangle = NamedCheck(this, "chkRectangle", QStringLiteral("按矩形拼接"));
    chkForceShutDownWindows =
        NamedCheck(this, "chkForceShutDownWindows", QStringLiteral("拼接完后关闭计算机"));
    lbl2 = NamedLabel(this, "lbl2", QStringLiteral("压缩算法"));
    cbbCompressNames = NamedList(this, "cbbCompressNames");
    for (const char* name : CompressDisplayNames()) {
        cbbCompressNames->addItem(QString::fromUtf8(name));
    }
    chkOffsetMap = NamedCheck(this, "chkOffsetMap", QStringLiteral("纠偏"));
    chkOffsetMap->setEnabled(false);

    grid->addWidget(lblFileName, 0, 0);
    grid->addWidget(cbbImageType, 0, 1, 1, 2);
    grid->addWidget(chkWriteWorldFile, 0, 3);
    grid->addWidget(lbl3, 1, 0);
    grid->addWidget(ColorBox, 1, 1, 1, 2);
    grid->addWidget(chkTransparent, 1, 3);
    grid->addWidget(chkRectangle, 1, 3);
    grid->addWidget(lbl2, 2, 0);
    grid->addWidget(cbbCompressNames, 2, 1, 1, 2);
    grid->addWidget(chkForceShutDownWindows, 2, 3);
    root->addLayout(grid);

    auto* options = new QHBoxLayout;
    options->addWidget(chkOffsetMap, 0, Qt::AlignBottom);
    auto* xColumn = new QVBoxLayout;
    edtOffsetX = AddLabelledEdit(this, xColumn, "edtOffsetX", QStringLiteral("偏移X"));
    options->addLayout(xColumn);
    auto* yColumn = new QVBoxLayout;
    edtOffsetY = AddLabelledEdit(this, yColumn, "edtOffsetY", QStringLiteral("偏移Y"));
    options->addLayout(yColumn);
    auto* qualityColumn = new QVBoxLayout;
    edtImageQuality =
        AddLabelledEdit(this, qualityColumn, "edtImageQuality", QStringLiteral("图片质量"));
    edtImageQuality->setMaxLength(3);
    edtImageQuality->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,3}")), edtImageQuality));
    options->addLayout(qualityColumn);
    cbbLevels = NamedList(this, "cbbLevels");
    for (const char* name : QualityPresetNames()) {
        cbbLevels->addItem(QString::fromUtf8(name));
    }
    options->addWidget(cbbLevels, 0, Qt::AlignBottom);
    root->addLayout(options);
    for (QLineEdit* edit : {edtImageQuality, edtOffsetX, edtOffsetY}) {
        edit->installEventFilter(this);
    }

    auto* bottom = new QHBoxLayout;
    ProgressBar = new app::TProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setVisible(false);
    txtProcess = NamedLabel(this, "txtProcess", QStringLiteral("[0/0]"));
    btnImageCombine = NamedButton(this, "btnImageCombine", QStringLiteral("开始"));
    btnImageCombine->setDefault(true);
    btnCancel = NamedButton(this, "btnCancel", QStringLiteral("取消(&C)"));
    btnCancel->setVisible(false);
    bottom->addWidget(ProgressBar, 1);
    bottom->addWidget(txtProcess);
    bottom->addStretch();
    bottom->addWidget(btnImageCombine);
    bottom->addWidget(btnCancel);
    root->addLayout(bottom);

    actImageCombine = new QAction(QStringLiteral("拼接(&C)"), this);
    actImageCombine->setObjectName(QStringLiteral("actImageCombine"));
    actOpenOutPutDir = new QAction(QStringLiteral("打开目录(&O)"), this);
    actOpenOutPutDir->setObjectName(QStringLiteral("actOpenOutPutDir"));
    addAction(actImageCombine);
    addAction(actOpenOutPutDir);

    resize(495, 375);
    root->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmImageMerge::Wire() {
    auto& c = *controller_;
    connect(&c, &ImageMergeController::changed, this, &TfrmImageMerge::Refresh);
    connect(btnSelectDir3, &QPushButton::clicked, &c, &ImageMergeController::SelectTaskFile);
    connect(btn1, &QPushButton::clicked, &c, &ImageMergeController::SelectTilePath);
    connect(btnSelectDir4, &QPushButton::clicked, &c, &ImageMergeController::SelectOutputDir);
    connect(btnOpenDir, &QPushButton::clicked, actOpenOutPutDir, &QAction::trigger);
    connect(actOpenOutPutDir, &QAction::triggered, &c, &ImageMergeController::OpenOutputDir);
    connect(btnImageCombine, &QPushButton::clicked, actImageCombine, &QAction::trigger);
    connect(actImageCombine, &QAction::triggered, &c, &ImageMergeController::Start);
    connect(btnCancel, &QPushButton::clicked, &c, &ImageMergeController::Cancel);
    connect(chkZoomLevels, &QListWidget::itemChanged, &c, [this](QListWidgetItem* item) {
        controller_->SetZoomChecked(chkZoomLevels->row(item), item->checkState() == Qt::Checked);
    });
    connect(cbbImageType, &QComboBox::currentIndexChanged, &c, &ImageMergeController::SetImageType);
    // A preset chosen again still resets the quality text.
    connect(cbbLevels, &QComboBox::activated, &c, &ImageMergeController::SetQualityPreset);
    connect(edtImageQuality, &QLineEdit::textEdited, &c,
            &ImageMergeController::SetImageQualityText);
    connect(edtOffsetX, &QLineEdit::textEdited, &c, &ImageMergeController::SetOffsetX);
    connect(edtOffsetY, &QLineEdit::textEdited, &c, &ImageMergeController::SetOffsetY);
    connect(chkWriteWorldFile, &QCheckBox::toggled, &c, &ImageMergeController::SetWriteWorldFile);
    connect(chkRectangle, &QCheckBox::toggled, &c, &ImageMergeController::SetRectangle);
    connect(chkForceShutDownWindows, &QCheckBox::toggled, &c,
            &ImageMergeController::SetForceShutDown);
    connect(cbbCompressNames, &QComboBox::currentIndexChanged, &c,
            &ImageMergeController::SetCompressIndex);
    connect(ColorBox, &ColourBox::colourChosen, &c, &ImageMergeController::SetColour);
}

void TfrmImageMerge::Refresh() {
    const auto& c = *controller_;
    const ImageMergeState& s = c.State();
    const QSignalBlocker blockZoom(chkZoomLevels);
    const QSignalBlocker blockType(cbbImageType);
    const QSignalBlocker blockLevels(cbbLevels);
    const QSignalBlocker blockCompress(cbbCompressNames);
    const QSignalBlocker blockWorld(chkWriteWorldFile);
    const QSignalBlocker blockRectangle(chkRectangle);
    const QSignalBlocker blockShutDown(chkForceShutDownWindows);

    edtProjectName->setText(s.projectName);
    edtTilePath->setText(s.tilePath);
    for (int z = 0; z < engine::kZoomLevelCount; ++z) {
        QListWidgetItem* item = chkZoomLevels->item(z);
        Qt::ItemFlags flags = Qt::ItemIsUserCheckable;
        if (s.zoomLevels[z].enabled) {
            flags |= Qt::ItemIsEnabled;
        }
        item->setFlags(flags);
        item->setCheckState(s.zoomLevels[z].checked ? Qt::Checked : Qt::Unchecked);
    }
    edtCombineImageOutPutDir->setText(s.outputDir);
    cbbImageType->setCurrentIndex(s.imageType);
    chkWriteWorldFile->setChecked(s.writeWorldFile);
    chkWriteWorldFile->setEnabled(s.writeWorldFileEnabled);
    if (ColorBox->Selected() != s.colour || ColorBox->currentIndex() < 0) {
        ColorBox->SetSelected(s.colour);
    }
    ColorBox->setEnabled(s.colourEnabled);
    chkRectangle->setChecked(s.rectangle);
    chkRectangle->setEnabled(s.rectangleEnabled);
    chkForceShutDownWindows->setChecked(s.forceShutDown);
    cbbCompressNames->setCurrentIndex(s.compressIndex);
    cbbCompressNames->setEnabled(s.compressEnabled);
    chkOffsetMap->setChecked(s.offsetMap);
    if (edtOffsetX->text() != s.offsetX) {
        edtOffsetX->setText(s.offsetX);
    }
    if (edtOffsetY->text() != s.offsetY) {
        edtOffsetY->setText(s.offsetY);
    }
    if (edtImageQuality->text() != s.imageQuality) {
        edtImageQuality->setText(s.imageQuality);
    }
    edtImageQuality->setEnabled(s.qualityEnabled);
    cbbLevels->setCurrentIndex(s.qualityPreset);
    cbbLevels->setEnabled(s.qualityEnabled);
    ProgressBar->setVisible(s.progressVisible);
    ProgressBar->setRange(0, static_cast<int>(std::min<qint64>(s.progressMaximum, INT_MAX)));
    ProgressBar->setValue(static_cast<int>(std::min<qint64>(s.progressPosition, INT_MAX)));
    txtProcess->setText(s.counterText);
    btnImageCombine->setVisible(s.startVisible);
    btnCancel->setVisible(s.cancelVisible);
    const bool canStart = c.CanStart();
    actImageCombine->setEnabled(canStart);
    btnImageCombine->setEnabled(canStart);
    actOpenOutPutDir->setEnabled(c.CanOpenOutputDir());
    btnOpenDir->setEnabled(c.CanOpenOutputDir());
}

void TfrmImageMerge::ShowAndReload() {
    if (isVisible()) {
        controller_->FormShow();
    }
    show();
    raise();
    activateWindow();
}

void TfrmImageMerge::ClickStart() {
    Refresh();
    if (btnImageCombine->isEnabled()) {
        btnImageCombine->click();
    } else if (!btnImageCombine->isHidden()) {
        controller_->Start();  // tells why the stitch cannot start
    }
}

void TfrmImageMerge::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        controller_->FormShow();
    }
}

void TfrmImageMerge::closeEvent(QCloseEvent* event) {
    if (!controller_->QueryClose()) {
        event->ignore();
        return;
    }
    controller_->FormClose();
    event->accept();
}

// Esc and the close box end up here or in closeEvent; both ask first during a run.
void TfrmImageMerge::reject() {
    if (!controller_->QueryClose()) {
        return;
    }
    controller_->FormClose();
    QDialog::reject();
}

bool TfrmImageMerge::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
            edit->selectAll();
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace rasterui
