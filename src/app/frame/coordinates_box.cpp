#include "coordinates_box.h"

#include <QVariant>
#include <QWidget>

namespace app {

void ShowCoordinatesText(QWidget& window, const QString& text) {
    QObject* box = window.findChild<QObject*>(QStringLiteral("mmoCoordinates"));
    if (!box) {
        return;
    }
    if (!box->setProperty("plainText", text)) {
        box->setProperty("text", text);
    }
}

}  // namespace app
