#pragma once
// Where the decorated edit box's label sits relative to the box.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace app {

enum class TLabelPosition {
    lpLeftTop,
    lpLeftCenter,
    lpLeftBottom,
    lpTopLeft,
    lpBottomLeft,
    lpLeftTopLeft,
    lpLeftCenterLeft,
    lpLeftBottomLeft,
    lpTopCenter,
    lpBottomCenter,
    lpRightTop,
    lpRightCenter,
    lpRighBottom,
    lpTopRight,
    lpBottomRight,
};

// Top-left of a label of `label` size next to a box at `box`, `margin` pixels apart; `textWidth`
// is the caption's width on one line.
QPoint LabelTopLeft(TLabelPosition position, const QRect& box, const QSize& label, int textWidth,
                    int margin);

}  // namespace app
