#include "color_square.h"

#include <QColorDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace app {

ColorSquare::ColorSquare(QWidget* parent) : QFrame(parent) {
    setFixedSize(40, 20);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

QString ColorSquare::ColorText() const {
    return color_.name(QColor::HexRgb).toUpper();
}

void ColorSquare::SetColorText(const QString& text) {
    SetColor(QColor::fromString(text));
}

void ColorSquare::SetColor(const QColor& color) {
    color_ = color.isValid() ? color : QColor(Qt::red);
    update();
}

void ColorSquare::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        ChooseColor();
        return;
    }
    QFrame::keyPressEvent(event);
}

void ColorSquare::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        return;
    }
    ChooseColor();
}

void ColorSquare::ChooseColor() {
    QColorDialog dialog(color_, this);
    dialog.setObjectName(QStringLiteral("dlgColor"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted) {
        SetColor(dialog.selectedColor());
    }
}

void ColorSquare::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), color_);
    painter.setPen(color_);  // fill and outline take the chosen colour
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        // Dashes in the colour's contrast, so that the focus shows on any colour.
        painter.setPen(QPen(color_.lightness() < 128 ? Qt::white : Qt::black, 1, Qt::DashLine));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

}  // namespace app
