#include "category_panel.h"

#include <QToolButton>

namespace app {

CategoryPanel::CategoryPanel(QWidget* parent) : QWidget(parent) {
    header_ = new QToolButton(this);
    header_->setCheckable(true);
    header_->setChecked(true);
    header_->setAutoRaise(true);
    header_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    header_->setArrowType(Qt::DownArrow);
    header_->setStyleSheet(QStringLiteral("QToolButton { font-weight: bold; }"));
    const int barHeight = header_->sizeHint().height();
    // The bar sits in the top margin, so that the section's layout (from a form) owns the
    // rest of the area.
    setContentsMargins(0, barHeight, 0, 0);
    connect(header_, &QToolButton::toggled, this, [this](bool open) { setCollapsed(!open); });
}

QString CategoryPanel::title() const {
    return header_->text();
}

void CategoryPanel::setTitle(const QString& title) {
    header_->setText(title);
}

void CategoryPanel::setCollapsed(bool collapsed) {
    if (collapsed == collapsed_) {
        return;
    }
    collapsed_ = collapsed;
    header_->setChecked(!collapsed);
    header_->setArrowType(collapsed ? Qt::RightArrow : Qt::DownArrow);
    if (collapsed) {
        folded_.clear();
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child != header_ && !child->isHidden()) {
                folded_.emplace_back(child);
                child->hide();
            }
        }
        setMaximumHeight(contentsMargins().top());
    } else {
        setMaximumHeight(QWIDGETSIZE_MAX);
        for (const QPointer<QWidget>& child : folded_) {
            if (child) {
                child->show();
            }
        }
        folded_.clear();
    }
    emit collapsedChanged(collapsed);
}

void CategoryPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    header_->setGeometry(0, 0, width(), contentsMargins().top());
}

}  // namespace app
