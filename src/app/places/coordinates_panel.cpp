#include "coordinates_panel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "district_text.h"
#include "places_controller.h"

namespace app {

CoordinatesPanel::CoordinatesPanel(PlacesController& controller, QWidget* parent)
    : QWidget(parent), controller_(controller) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    box_ = new QPlainTextEdit(this);
    box_->setObjectName(QStringLiteral("mmoCoordinates"));
    box_->installEventFilter(this);
    // Coordinates are typed as plain digits; an input method would bypass the key rule.
    box_->setAttribute(Qt::WA_InputMethodEnabled, false);
    layout->addWidget(box_, 1);

    actUseCurrentView = new QAction(QStringLiteral("当前视野"), this);
    actUseCurrentView->setObjectName(QStringLiteral("actUseCurrentView"));
    actShowBoundOnMap = new QAction(QStringLiteral("显示范围"), this);
    actShowBoundOnMap->setObjectName(QStringLiteral("actShowBoundOnMap"));
    actShowBoundOnMap->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    auto* btnUseCurrentView = new QToolButton(this);
    btnUseCurrentView->setObjectName(QStringLiteral("btnUseCurrentView"));
    btnUseCurrentView->setDefaultAction(actUseCurrentView);
    auto* btnShowBounds = new QToolButton(this);
    btnShowBounds->setObjectName(QStringLiteral("btnShowBounds"));
    btnShowBounds->setDefaultAction(actShowBoundOnMap);
    auto* btnShowBoundHelp = new QPushButton(QStringLiteral("帮助(?)"), this);
    btnShowBoundHelp->setObjectName(QStringLiteral("btnShowBoundHelp"));
    buttons->addWidget(btnUseCurrentView);
    buttons->addWidget(btnShowBounds);
    buttons->addWidget(btnShowBoundHelp);
    layout->addLayout(buttons);

    connect(actUseCurrentView, &QAction::triggered, &controller_,
            &PlacesController::UseCurrentView);
    connect(actShowBoundOnMap, &QAction::triggered, this,
            [this] { controller_.ShowBoundOnMap(box_->toPlainText()); });
    connect(btnShowBoundHelp, &QPushButton::clicked, this,
            [this] { box_->setPlainText(controller_.ShowBoundHelp()); });
    connect(box_, &QPlainTextEdit::textChanged, this, [this] {
        actShowBoundOnMap->setEnabled(PlacesController::CanShowBoundOnMap(box_->toPlainText()));
    });
}

bool CoordinatesPanel::eventFilter(QObject* watched, QEvent* event) {
    // mmoCoordinatesKeyPress: a typed character outside the coordinate set is dropped.
    if (watched == box_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        const bool control = key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
        if (!control && !text.isEmpty() && text.at(0).isPrint()) {
            for (const QChar ch : text) {
                if (!CoordinateBoxAccepts(ch)) {
                    return true;
                }
            }
        }
    }
    if (watched == box_ && event->type() == QEvent::InputMethod) {
        const auto* input = static_cast<QInputMethodEvent*>(event);
        for (const QChar ch : input->commitString()) {
            if (!CoordinateBoxAccepts(ch)) {
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace app
