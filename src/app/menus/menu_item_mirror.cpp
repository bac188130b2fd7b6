#include "menu_item_mirror.h"

#include <QAction>

namespace app {

void MirrorMenuItem(QAction* item, QAction* action) {
    const auto follow = [item, action] {
        item->setEnabled(action->isEnabled());
        item->setCheckable(action->isCheckable());
        item->setChecked(action->isChecked());
        item->setVisible(action->isVisible());
    };
    follow();
    QObject::connect(action, &QAction::changed, item, follow);
    QObject::connect(item, &QAction::triggered, action, [action, follow] {
        action->trigger();
        follow();
    });
}

}  // namespace app
