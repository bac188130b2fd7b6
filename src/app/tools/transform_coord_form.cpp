#include "transform_coord_form.h"

#include <algorithm>

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/widgets/named_widget.h"

namespace geodataui {
namespace {

constexpr QSize kLeastSize(490, 250);

// A decimal-degree edit asks for room for a whole position ("-116.39748739") in the font in
// force, so that a skin with a wider font does not cut off its first digits.
class DegreesEdit : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;
    QSize minimumSizeHint() const override {
        QSize least = QLineEdit::minimumSizeHint();
        const int text = fontMetrics().horizontalAdvance(QStringLiteral("-000.00000000"));
        const QMargins margins = textMargins() + contentsMargins();
        const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        // 4: the line edit's own inner margin of 2 pixels on each side.
        least.setWidth(
            std::max(least.width(), text + margins.left() + margins.right() + frame + 4));
        return least;
    }
    QSize sizeHint() const override { return QLineEdit::sizeHint().expandedTo(minimumSizeHint()); }
};

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text = QString(),
                int maxLength = 0) {
    auto* edit = app::Named(new QLineEdit(text, parent), name);
    if (maxLength > 0) {
        edit->setMaxLength(maxLength);
    }
    return edit;
}

// The edits of the input mode not in use take the button-face colour; all stay editable. The
// colours come from the palette in force (the skin's), so the text stays readable on them.
void SetInUse(QLineEdit* edit, bool inUse) {
    // The window's palette: on a skin switch it is renewed before those of its children.
    const QPalette inherited = edit->window()->palette();
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, inherited.color(inUse ? QPalette::Base : QPalette::Button));
    palette.setColor(QPalette::Text,
                     inherited.color(inUse ? QPalette::Text : QPalette::ButtonText));
    edit->setPalette(palette);
}

}  // namespace

TfrmTransformCoord::TfrmTransformCoord(app::IMapPage& page, app::IMessages& messages,
                                       QWidget* parent)
    : QDialog(parent),
      controller_(
          std::make_unique<TransformCoordController>(page, messages, QLocale().decimalPoint())) {
    setObjectName(QStringLiteral("frmTransformCoord"));
    setWindowTitle(QStringLiteral("坐标转换"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("Tahoma")));
    setMinimumSize(kLeastSize);
    setMaximumSize(600, 400);
    resize(kLeastSize);

    auto* layout = new QVBoxLayout(this);
    BuildLocateGroup(*layout);
    BuildConvertGroup(*layout);
    rbDMSClick();
    FitContents();
}

TfrmTransformCoord::~TfrmTransformCoord() = default;

bool TfrmTransformCoord::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    switch (event->type()) {
        case QEvent::LayoutRequest:
            FitContents();
            break;
        case QEvent::PaletteChange:
        case QEvent::StyleChange:
            // The new skin's colours for the two input modes, once the switch is complete: a
            // style sheet that is replaced gives the edits back the palette they had before.
            QMetaObject::invokeMethod(this, &TfrmTransformCoord::rbDMSClick, Qt::QueuedConnection);
            break;
        default:
            break;
    }
    return handled;
}

// The fixed least size is held, but never below what the contents need in the font and skin in
// force: a skin with more padding would otherwise squeeze the buttons until their captions are
// cut.
void TfrmTransformCoord::FitContents() {
    const QSize least = minimumSizeHint().expandedTo(kLeastSize);
    setMaximumSize(maximumSize().expandedTo(least));
    setMinimumSize(least);
    if (width() < least.width() || height() < least.height()) {
        resize(size().expandedTo(least));
    }
}

void TfrmTransformCoord::BuildLocateGroup(QBoxLayout& layout) {
    auto* group = new QGroupBox(QStringLiteral("坐标定位"), this);
    group->setObjectName(QStringLiteral("grpLocate"));
    auto* grid = new QGridLayout(group);

    rbDegree = new QRadioButton(QStringLiteral("按度分秒"), group);
    rbDegree->setObjectName(QStringLiteral("rbDegree"));
    rbDMS = new QRadioButton(QStringLiteral("按度定位"), group);
    rbDMS->setObjectName(QStringLiteral("rbDMS"));
    rbDMS->setChecked(true);
    grid->addWidget(rbDegree, 0, 0, 1, 3);
    grid->addWidget(rbDMS, 0, 7, 1, 2);

    const auto unitRow = [&](int row, const QString& label, QLineEdit*& degree, const char* dName,
                             QLineEdit*& minute, const char* mName, QLineEdit*& second,
                             const char* sName) {
        grid->addWidget(new QLabel(label, group), row, 0);
        degree = Edit(group, dName, QString(), 4);
        // Room for the sign: west and south positions carry it on every part ("-30").
        minute = Edit(group, mName, QString(), 3);
        second = Edit(group, sName, QString(), 8);
        grid->addWidget(degree, row, 1);
        grid->addWidget(new QLabel(QStringLiteral("°"), group), row, 2);
        grid->addWidget(minute, row, 3);
        grid->addWidget(new QLabel(QStringLiteral("′"), group), row, 4);
        grid->addWidget(second, row, 5);
        grid->addWidget(new QLabel(QStringLiteral("″"), group), row, 6);
    };
    unitRow(1, QStringLiteral("经度"), edtLngDegree, "edtLngDegree", edtLngMinute, "edtLngMinute",
            edtLngSecond, "edtLngSecond");
    unitRow(2, QStringLiteral("纬度"), edtLatDegree, "edtLatDegree", edtLatMinute, "edtLatMinute",
            edtLatSecond, "edtLatSecond");

    edtLng = new DegreesEdit(QStringLiteral("116.39748739"), group);
    edtLng->setObjectName(QStringLiteral("edtLng"));
    edtLat = new DegreesEdit(QStringLiteral("39.90815596"), group);
    edtLat->setObjectName(QStringLiteral("edtLat"));
    grid->addWidget(new QLabel(QStringLiteral("经度"), group), 1, 7);
    grid->addWidget(edtLng, 1, 8);
    grid->addWidget(new QLabel(QStringLiteral("纬度"), group), 2, 7);
    grid->addWidget(edtLat, 2, 8);

    btnClear = app::NamedButton(group, "btnClear", QStringLiteral("清空"));
    btnLoaction = app::NamedButton(group, "btnLoaction", QStringLiteral("定位"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnClear);
    buttons->addWidget(btnLoaction);
    grid->addLayout(buttons, 3, 0, 1, 9);
    layout.addWidget(group);

    connect(rbDegree, &QRadioButton::clicked, this, &TfrmTransformCoord::rbDMSClick);
    connect(rbDMS, &QRadioButton::clicked, this, &TfrmTransformCoord::rbDMSClick);
    connect(btnClear, &QPushButton::clicked, this, &TfrmTransformCoord::btnClearClick);
    connect(btnLoaction, &QPushButton::clicked, this, &TfrmTransformCoord::btnLoactionClick);
}

void TfrmTransformCoord::BuildConvertGroup(QBoxLayout& layout) {
    auto* group = new QGroupBox(QStringLiteral("坐标转换"), this);
    group->setObjectName(QStringLiteral("grpConvert"));
    auto* grid = new QGridLayout(group);

    cbbType = new QComboBox(group);
    cbbType->setObjectName(QStringLiteral("cbbType"));
    cbbType->addItems(TransformCoordController::ConvertTypes());
    cbbType->setCurrentIndex(1);
    edtlngTest = Edit(group, "edtlngTest", QStringLiteral("116.391270"));
    edtLatTest = Edit(group, "edtLatTest", QStringLiteral("39.906769"));
    edtlatlngTest = Edit(group, "edtlatlngTest");
    btnHelpTest = app::NamedButton(group, "btnHelpTest", QStringLiteral("帮助"));
    btnwgs84ToWars = app::NamedButton(group, "btnwgs84ToWars", QStringLiteral("转换"));

    grid->addWidget(cbbType, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("经度"), group), 0, 2);
    grid->addWidget(edtlngTest, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("纬度"), group), 0, 4);
    grid->addWidget(edtLatTest, 0, 5);
    grid->addWidget(new QLabel(QStringLiteral("结果"), group), 1, 0);
    grid->addWidget(edtlatlngTest, 1, 1, 1, 3);
    grid->addWidget(btnHelpTest, 1, 4);
    grid->addWidget(btnwgs84ToWars, 1, 5);
    layout.addWidget(group);

    connect(btnHelpTest, &QPushButton::clicked, this, &TfrmTransformCoord::btnHelpTestClick);
    connect(btnwgs84ToWars, &QPushButton::clicked, this, &TfrmTransformCoord::btnwgs84ToWarsClick);
}

void TfrmTransformCoord::rbDMSClick() {
    const bool byDms = rbDegree->isChecked();
    for (QLineEdit* edit :
         {edtLngDegree, edtLngMinute, edtLngSecond, edtLatDegree, edtLatMinute, edtLatSecond}) {
        SetInUse(edit, byDms);
    }
    SetInUse(edtLng, !byDms);
    SetInUse(edtLat, !byDms);
}

void TfrmTransformCoord::btnClearClick() {
    Show(LocateFields{});
}

void TfrmTransformCoord::btnLoactionClick() {
    LocateFields fields = Fields();
    if (controller_->Locate(rbDegree->isChecked(), fields)) {
        Show(fields);
    }
}

void TfrmTransformCoord::btnwgs84ToWarsClick() {
    if (const auto result =
            controller_->Convert(cbbType->currentIndex(), edtlngTest->text(), edtLatTest->text())) {
        edtlatlngTest->setText(*result);
    }
}

void TfrmTransformCoord::btnHelpTestClick() {
    controller_->ShowHelp();
}

LocateFields TfrmTransformCoord::Fields() const {
    return {edtLngDegree->text(), edtLngMinute->text(), edtLngSecond->text(), edtLatDegree->text(),
            edtLatMinute->text(), edtLatSecond->text(), edtLng->text(),       edtLat->text()};
}

void TfrmTransformCoord::Show(const LocateFields& fields) {
    edtLngDegree->setText(fields.lngDegree);
    edtLngMinute->setText(fields.lngMinute);
    edtLngSecond->setText(fields.lngSecond);
    edtLatDegree->setText(fields.latDegree);
    edtLatMinute->setText(fields.latMinute);
    edtLatSecond->setText(fields.latSecond);
    edtLng->setText(fields.lng);
    edtLat->setText(fields.lat);
}

}  // namespace geodataui
