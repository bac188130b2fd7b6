#include "label_position.h"

namespace app {

QPoint LabelTopLeft(TLabelPosition position, const QRect& box, const QSize& label, int textWidth,
                    int margin) {
    const int l = box.left();
    const int t = box.top();
    const int w = box.width();
    const int h = box.height();
    const int lh = label.height();
    const int lw = label.width();
    const int m = margin;
    switch (position) {
        case TLabelPosition::lpLeftTop:
            return {l - textWidth - m, t};
        case TLabelPosition::lpLeftCenter:
            return {l - textWidth - m, t + (h - lh) / 2};
        case TLabelPosition::lpLeftBottom:
            return {l - textWidth - m, t + h - lh};
        case TLabelPosition::lpTopLeft:
            return {l, t - lh - m};
        case TLabelPosition::lpBottomLeft:
            return {l, t + h + m};
        case TLabelPosition::lpLeftTopLeft:
            return {l - m, t};
        case TLabelPosition::lpLeftCenterLeft:
            return {l - m, t + (h - lh) / 2};
        case TLabelPosition::lpLeftBottomLeft:
            return {l - m, t + h - lh};
        case TLabelPosition::lpTopCenter:
            return {l + (w - lw) / 2, t - lh - m};
        case TLabelPosition::lpBottomCenter:
            return {l + (w - lw) / 2, t + h + m};
        case TLabelPosition::lpRightTop:
            return {l + w + m, t};
        case TLabelPosition::lpRightCenter:
            return {l + w + m, t + (h - lh) / 2};
        case TLabelPosition::lpRighBottom:
            return {l + w + m, t + h - lh};
        case TLabelPosition::lpTopRight:
            return {l + w - lw, t - lh - m};
        case TLabelPosition::lpBottomRight:
            return {l + w - lw, t + h + m};
    }
    return {l, t};
}

}  // namespace app
