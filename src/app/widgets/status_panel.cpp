#include "status_panel.h"

#include <QFontMetrics>
#include <QLabel>

namespace app {

void SetStatusPanelText(QLabel& panel, const QString& text) {
    panel.setText(text);
    // Room for the text plus the panel's own margins and a little air.
    constexpr int kAir = 12;
    const QMargins margins = panel.contentsMargins();
    const int frame = margins.left() + margins.right() + 2 * (panel.frameWidth() + panel.margin());
    const int needed = panel.fontMetrics().horizontalAdvance(text) + frame + kAir;
    if (needed > panel.width()) {
        panel.setFixedWidth(needed);
    }
}

}  // namespace app
