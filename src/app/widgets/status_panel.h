#pragma once
// Texts of the status bar's fixed-width panels.
#include <QString>

class QLabel;

namespace app {

// Sets the panel's text. A text wider than the panel widens it for good, so the end of the
// text is never cut off; the panel never narrows again, so what sits beside it does not move
// at every change of the text.
void SetStatusPanelText(QLabel& panel, const QString& text);

}  // namespace app
