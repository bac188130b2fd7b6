#include "frm_marker_edit.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/widgets/named_widget.h"
#include "marker_edit_controller.h"
#include "marker_packet.h"

namespace app {

namespace {

QLineEdit* LineEdit(QWidget* parent, const char* name, int maxLength) {
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setMaxLength(maxLength);
    return edit;
}

}  // namespace

TfrmMarkerEdit::TfrmMarkerEdit(MarkerEditController& controller, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), controller_(controller) {
    setObjectName(QStringLiteral("frmMarkerEdit"));
    setWindowTitle(QStringLiteral("自定义标记"));
    setMinimumSize(200, 200);
    setMaximumSize(600, 600);

    edtTitle = LineEdit(this, "edtTitle", kMarkerNameWidth);
    edtLongitude = LineEdit(this, "edtLongitude", 20);
    edtLatitude = LineEdit(this, "edtLatitude", 20);
    mmoContent = new QPlainTextEdit(this);
    mmoContent->setObjectName(QStringLiteral("mmoContent"));
    mmoContent->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmoContent->setTabChangesFocus(true);
    lblContent = new QLabel(QStringLiteral("备注"), this);
    lblContent->setObjectName(QStringLiteral("lblContent"));
    btnSave = NamedButton(this, "btnSave", QStringLiteral("保存(&S)"));
    btnDelete = NamedButton(this, "btnDelete", QStringLiteral("删除(&D)"));
    btnClose = NamedButton(this, "btnClose", QStringLiteral("关闭(&C)"));

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("名称"), this), 0, 0);
    fields->addWidget(edtTitle, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("经度"), this), 1, 0);
    fields->addWidget(edtLongitude, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("纬度"), this), 2, 0);
    fields->addWidget(edtLatitude, 2, 1);
    fields->addWidget(lblContent, 3, 0, Qt::AlignTop);
    fields->addWidget(mmoContent, 3, 1);
    fields->setRowStretch(3, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnSave);
    buttons->addWidget(btnDelete);
    buttons->addWidget(btnClose);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    setTabOrder(edtTitle, edtLatitude);
    setTabOrder(edtLatitude, edtLongitude);
    setTabOrder(edtLongitude, mmoContent);
    setTabOrder(mmoContent, btnSave);
    setTabOrder(btnSave, btnDelete);
    setTabOrder(btnDelete, btnClose);

    resize(258, 192);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->geometry();
        move((area.width() - width()) / 4, (area.height() - height()) / 5);
    }

    connect(btnSave, &QPushButton::clicked, this, &TfrmMarkerEdit::btnSaveClick);
    connect(btnDelete, &QPushButton::clicked, this, &TfrmMarkerEdit::btnDeleteClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmMarkerEdit::close);
    connect(mmoContent, &QPlainTextEdit::textChanged, this, &TfrmMarkerEdit::LimitContent);
}

void TfrmMarkerEdit::UpdateInfo() {
    edtTitle->setText(controller_.TitleText());
    edtLatitude->setText(controller_.LatitudeText());
    edtLongitude->setText(controller_.LongitudeText());
    mmoContent->setPlainText(controller_.ContentText());
    setWindowTitle(controller_.Caption());
}

void TfrmMarkerEdit::reject() {
    if (controller_.CloseQuery())
        QDialog::reject();
}

void TfrmMarkerEdit::showEvent(QShowEvent* event) {
    controller_.FormShow();
    QDialog::showEvent(event);
}

void TfrmMarkerEdit::btnSaveClick() {
    switch (controller_.Save(edtTitle->text(), edtLatitude->text(), edtLongitude->text(),
                             mmoContent->toPlainText())) {
        case MarkerEditController::SaveOutcome::Saved:
            close();
            break;
        case MarkerEditController::SaveOutcome::EmptyName:
            edtTitle->setFocus();
            break;
        case MarkerEditController::SaveOutcome::Refused:
            break;
    }
}

void TfrmMarkerEdit::btnDeleteClick() {
    if (controller_.Delete(edtTitle->text()))
        close();
}

void TfrmMarkerEdit::LimitContent() {
    const QString text = mmoContent->toPlainText();
    const QString limited = LimitCharacters(text, kMarkerContentWidth);
    if (limited.size() == text.size())
        return;
    mmoContent->setPlainText(limited);
    mmoContent->moveCursor(QTextCursor::End);
}

}  // namespace app
