#pragma once
// Small builders shared by the settings pages: every control gets its name on creation.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QString>
#include <QWidget>

#include "app/widgets/named_widget.h"

namespace app {

inline QCheckBox* NamedCheck(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QCheckBox(caption, parent), name);
}

inline QComboBox* NamedList(QWidget* parent, const char* name, const QStringList& items) {
    auto* combo = Named(new QComboBox(parent), name);
    combo->addItems(items);
    return combo;
}

// The value of a spin box including text typed but not yet taken (OK pressed with the text
// still being edited).
inline int SpinValue(QSpinBox* spin) {
    spin->interpretText();
    return spin->value();
}

// A text box that takes digits only.
QLineEdit* NamedDigitsEdit(QWidget* parent, const char* name);

}  // namespace app
