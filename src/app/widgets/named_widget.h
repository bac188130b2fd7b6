#pragma once
// Controls built in code get their names on creation, so that tests and the names check find
// them as the Designer forms' controls are found.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLatin1String>
#include <QPushButton>
#include <QString>
#include <QStringList>

namespace app {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A dialog button that Enter in an edit does not press.
inline QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = Named(new QPushButton(caption, parent), name);
    button->setAutoDefault(false);
    return button;
}

inline QCheckBox* NamedCheck(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QCheckBox(caption, parent), name);
}

inline QLabel* NamedLabel(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QLabel(caption, parent), name);
}

inline QComboBox* NamedList(QWidget* parent, const char* name, const QStringList& items = {}) {
    auto* combo = Named(new QComboBox(parent), name);
    combo->addItems(items);
    return combo;
}

}  // namespace app
