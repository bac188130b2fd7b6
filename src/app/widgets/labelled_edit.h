#pragma once
// A line edit with its caption label above it, as both raster dialogs lay them out.
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "app/widgets/named_widget.h"

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

// A row: a read-only labelled edit stretched, then a named "..." button aligned with the edit.
inline QHBoxLayout* EditRow(QWidget* parent, QLineEdit*& edit, const char* name,
                            const QString& caption, QPushButton*& button, const char* buttonName) {
    auto* row = new QHBoxLayout;
    auto* column = new QVBoxLayout;
    edit = AddLabelledEdit(parent, column, name, caption);
    edit->setReadOnly(true);
    row->addLayout(column, 1);
    button = app::NamedButton(parent, buttonName, QStringLiteral("..."));
    row->addWidget(button, 0, Qt::AlignBottom);
    return row;
}

}  // namespace rasterui
