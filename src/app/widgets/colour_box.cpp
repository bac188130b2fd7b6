#include "colour_box.h"

#include <QColorDialog>
#include <QPixmap>

#include "colour_table.h"

namespace rasterui {
namespace {

QColor ToQColor(engine::TColor colour) {
    int r = 0, g = 0, b = 0;
    ColourRgb(colour, r, g, b);
    return QColor(r, g, b);
}

QIcon Swatch(engine::TColor colour) {
    QPixmap pixmap(16, 12);
    pixmap.fill(ToQColor(colour));
    return QIcon(pixmap);
}

}  // namespace

ColourBox::ColourBox(QWidget* parent) : QComboBox(parent), selected_(kWhite) {
    addItem(Swatch(kWhite), QString::fromUtf8(kCustomColourName), QVariant(kWhite));
    for (const auto& named : NamedColours()) {
        addItem(Swatch(named.colour), QString::fromUtf8(named.name), QVariant(named.colour));
    }
    setCurrentIndex(1);
    // Wide enough for every name, "自定义..." included, in the box and in its list.
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(this, &QComboBox::activated, this, &ColourBox::OnActivated);
}

void ColourBox::SetSelected(engine::TColor colour) {
    selected_ = colour;
    const int index = ColourBoxIndex(colour);
    if (index == 0) {
        SetCustomColour(colour);
    }
    setCurrentIndex(index);
}

void ColourBox::SetCustomColour(engine::TColor colour) {
    setItemIcon(0, Swatch(colour));
    setItemData(0, QVariant(colour));
}

void ColourBox::OnActivated(int index) {
    if (index == 0) {
        const QColor chosen = QColorDialog::getColor(ToQColor(itemData(0).toInt()), this, QString(),
                                                     QColorDialog::DontUseNativeDialog);
        if (!chosen.isValid()) {
            SetSelected(selected_);  // back to what was selected before
            return;
        }
        const engine::TColor colour = RgbColour(chosen.red(), chosen.green(), chosen.blue());
        SetSelected(colour);
        emit colourChosen(colour);
        return;
    }
    selected_ = itemData(index).toInt();
    emit colourChosen(selected_);
}

}  // namespace rasterui
