#pragma once
// A spin box that accepts any typed number and holds it within its bounds when the editing
// ends (a typed 90 in a box of 1 to 80 becomes 80); a text that is no number becomes the lower
// bound. Qt's own spin box would refuse the keystroke instead.
#include <QSpinBox>

#include "settings_form.h"

namespace app {

class BoundedSpinBox : public QSpinBox {
    Q_OBJECT

  public:
    BoundedSpinBox(const SpinBounds& bounds, QWidget* parent = nullptr);

  protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    int valueFromText(const QString& text) const override;
};

}  // namespace app
