// The decorated edit box's label: made on the first caption, placed beside the box, and
// following its visibility, parent, font and enabling.
#include <QEvent>
#include <QMouseEvent>

#include "decorated_edit.h"

namespace app {

void TEditLabel::SetAlwaysEnable(bool on) {
    alwaysEnable_ = on;
    if (on && !isEnabled()) {
        setEnabled(true);
    }
}

void TEditLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && alwaysEnable_ && !isEnabled()) {
        setEnabled(true);
    }
}

void DecoratedEdit::SetLabelCaption(const QString& caption) {
    if (!label_) {
        label_ = new TEditLabel(parentWidget());
        label_->setObjectName(QStringLiteral("EditLabel"));
        label_->setBuddy(this);
        label_->installEventFilter(this);
        label_->SetAlwaysEnable(labelAlwaysEnabled_);
        label_->setAutoFillBackground(!labelTransparent_);
        ApplyLabelFont();
    }
    label_->setText(caption);
    label_->adjustSize();
    PlaceLabel();
}

void DecoratedEdit::SetLabelPosition(TLabelPosition position) {
    labelPosition_ = position;
    PlaceLabel();
}

void DecoratedEdit::SetLabelMargin(int margin) {
    labelMargin_ = margin;
    PlaceLabel();
}

void DecoratedEdit::SetLabelFont(const QFont& font) {
    labelFont_ = font;
    ApplyLabelFont();
}

void DecoratedEdit::SetLabelTransparent(bool on) {
    labelTransparent_ = on;
    if (label_) {
        label_->setAutoFillBackground(!on);
        label_->update();
    }
}

void DecoratedEdit::SetLabelAlwaysEnabled(bool on) {
    labelAlwaysEnabled_ = on;
    if (label_) {
        label_->SetAlwaysEnable(on);
        label_->setEnabled(on || isEnabled());
    }
}

void DecoratedEdit::SetParentFont(bool on) {
    parentFont_ = on;
    if (on) {
        // Back to the parent's font; the web-address look keeps its underline.
        QFont own;
        if (font().underline()) {
            own.setUnderline(true);
        }
        setFont(own);
    }
    ApplyLabelFont();
}

void DecoratedEdit::ApplyLabelFont() {
    if (!label_) {
        return;
    }
    const bool bold = focusLabel && hasFocus();
    if (parentFont_ && !bold) {
        label_->setFont(QFont());  // the parent's, and it follows the parent's changes
    } else {
        QFont f = !parentFont_             ? labelFont_
                  : label_->parentWidget() ? label_->parentWidget()->font()
                                           : font();
        f.setBold(bold || (!parentFont_ && labelFont_.bold()));
        label_->setFont(f);
    }
    label_->adjustSize();
    PlaceLabel();
}

void DecoratedEdit::PlaceLabel() {
    if (!label_) {
        return;
    }
    if (label_->parentWidget() != parentWidget()) {
        label_->setParent(parentWidget());
    }
    QString caption = label_->text();
    caption.remove(QLatin1Char('&'));
    const int textWidth = label_->fontMetrics().horizontalAdvance(caption);
    label_->move(LabelTopLeft(labelPosition_, geometry(), label_->size(), textWidth, labelMargin_));
    label_->setVisible(isVisible());
    label_->setEnabled(isEnabled() || labelAlwaysEnabled_);
}

bool DecoratedEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label_) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton &&
            label_->rect().contains(mouse->position().toPoint())) {
            emit labelClicked();
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            emit labelDoubleClicked();
        }
    }
    return QLineEdit::eventFilter(watched, event);
}

}  // namespace app
