#pragma once
// Small builders shared by the settings pages: every control gets its name on creation.
#include <QLineEdit>
#include <QSpinBox>
#include <QString>
#include <QWidget>

#include "app/widgets/named_widget.h"

namespace app {

// The value of a spin box including text typed but not yet taken (OK pressed with the text
// still being edited).
inline int SpinValue(QSpinBox* spin) {
    spin->interpretText();
    return spin->value();
}

// A text box that takes digits only.
QLineEdit* NamedDigitsEdit(QWidget* parent, const char* name);

}  // namespace app
