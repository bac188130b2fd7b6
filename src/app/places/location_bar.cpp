#include "location_bar.h"

#include <QMouseEvent>

namespace app {

LocationBar::LocationBar(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("pnlLocation"));
    setAutoFillBackground(true);
    hide();
}

void LocationBar::ShowText(const QString& text, bool visible, int left) {
    if (!visible || text.isEmpty()) {
        hide();
        return;
    }
    setText(text);
    resize(fontMetrics().horizontalAdvance(text) + 8, fontMetrics().height() + 6);
    move(left, 10);
    show();
    raise();
}

void LocationBar::mousePressEvent(QMouseEvent* event) {
    grab_ = event->position().toPoint();
}

void LocationBar::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        move(mapToParent(event->position().toPoint() - grab_));
    }
}

}  // namespace app
