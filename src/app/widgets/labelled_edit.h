#pragma once
// A line edit with its caption label above it, as both raster dialogs lay them out.
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

namespace rasterui {

// Adds a named caption and edit to `layout`; the label's objectName is the edit's + "Label".
inline QLineEdit* AddLabelledEdit(QWidget* parent, QBoxLayout* layout, const char* name,
                                  const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    label->setBuddy(edit);
    layout->addWidget(label);
    layout->addWidget(edit);
    return edit;
}

}  // namespace rasterui
