#include "attach_layers.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>

#include "app/layers/layer_controller.h"
#include "app/services/page_wait.h"
#include "app/services/services.h"
#include "attach_context.h"
#include "map_events.h"

namespace app {

namespace {

// The provider submenus go before the map menu's separator and page options.
QActionGroup* BuildProviderMenus(QMenu& layerMenu, LayerController& layers) {
    auto* group = new QActionGroup(&layerMenu);
    group->setExclusive(true);
    QAction* before = layerMenu.actions().isEmpty() ? nullptr : layerMenu.actions().first();
    for (const MapProvider& provider : MapProviders()) {
        auto* sub = new QMenu(QString::fromUtf8(provider.caption), &layerMenu);
        sub->setObjectName(QString::fromLatin1(provider.objectName));
        sub->menuAction()->setCheckable(true);
        for (const MapTypeItem& item : provider.items) {
            QAction* action = sub->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(QStringLiteral("mniMapType%1").arg(item.tag));
            action->setCheckable(true);
            action->setData(item.tag);
            group->addAction(action);
            const int tag = item.tag;
            QObject::connect(action, &QAction::triggered, &layers,
                             [&layers, tag] { layers.ChangeMapType(tag); });
        }
        layerMenu.insertMenu(before, sub);
    }
    return group;
}

void CheckMapTypeItem(QMenu& layerMenu, int tag) {
    for (QMenu* sub : layerMenu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
        bool marked = false;
        for (QAction* action : sub->actions()) {
            const bool on = action->data().toInt() == tag;
            action->setChecked(on);
            marked = marked || on;
        }
        sub->menuAction()->setChecked(marked);
    }
}

}  // namespace

void AttachLayers(const LayerWidgets& w, LayerController& layers, const FrameContext& frame) {
    QActionGroup* layerItems = BuildProviderMenus(*w.mniLayerMenu, layers);
    // No second switch while the page has not answered the first.
    QObject::connect(&frame.services.pageWait, &PageWait::busyChanged, layerItems,
                     [layerItems](bool busy) { layerItems->setEnabled(!busy); });
    QWidget* window = &frame.window;
    QObject::connect(&layers, &LayerController::mapTypeChecked, w.mniLayerMenu,
                     [menu = w.mniLayerMenu, window](int tag, const QString& caption) {
                         CheckMapTypeItem(*menu, tag);
                         window->setWindowTitle(caption);
                     });
    QObject::connect(
        &layers, &LayerController::zoomItemsChanged, w.chkZoomLevels,
        [list = w.chkZoomLevels](const ZoomItemStates& states) {
            const QSignalBlocker quiet(list);
            for (int level = 0; level < list->count(); ++level) {
                QListWidgetItem* item = list->item(level);
                item->setFlags(states[level].enabled ? (Qt::ItemIsUserCheckable | Qt::ItemIsEnabled)
                                                     : Qt::ItemIsUserCheckable);
                item->setCheckState(states[level].checked ? Qt::Checked : Qt::Unchecked);
            }
            list->viewport()->update();
        });
    // FZoomLevels follows the ticks the user sets (ticked and enabled).
    QObject::connect(
        w.chkZoomLevels, &QListWidget::itemChanged, &layers, [list = w.chkZoomLevels, &layers] {
            engine::TZoomLevelArray levels{};
            for (int level = 0; level < list->count(); ++level) {
                const QListWidgetItem* item = list->item(level);
                levels[level].Checked =
                    item->checkState() == Qt::Checked && (item->flags() & Qt::ItemIsEnabled);
            }
            layers.SetZoomLevels(levels);
        });
    QObject::connect(&layers, &LayerController::focusMapRequested, w.crm, [crm = w.crm] {
        if (crm->isVisible() && !crm->hasFocus()) {
            crm->setFocus();
        }
    });
    QObject::connect(&layers, &LayerController::mouseTextChanged, w.mousePanel, &QLabel::setText);
    QObject::connect(&layers, &LayerController::zoomTextChanged, w.zoomPanel, &QLabel::setText);
    QObject::connect(&layers, &LayerController::profileNameProposed, w.cbbProfile,
                     &QComboBox::setEditText);

    MapEvents& events = frame.mapEvents;
    QObject::connect(&events, &MapEvents::mapMouseMoved, &layers,
                     &LayerController::OnMapMouseMoveEvent);
    QObject::connect(&events, &MapEvents::zoomChanged, &layers,
                     &LayerController::OnMapZoomChangedEvent);
    QObject::connect(&events, &MapEvents::centerChanged, &layers,
                     &LayerController::OnMapCenterChanged);
    QObject::connect(&events, &MapEvents::areaCompleted, &layers,
                     &LayerController::OnPlotLatlngsEvent);
}

}  // namespace app
