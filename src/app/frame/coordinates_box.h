#pragma once
// The coordinate box (mmoCoordinates) is built by the place panel; the area and task
// features show texts in it when it is there.
#include <QString>

class QWidget;

namespace app {

void ShowCoordinatesText(QWidget& window, const QString& text);

}  // namespace app
