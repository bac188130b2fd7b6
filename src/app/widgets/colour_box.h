#pragma once
// The colour drop-down shared by the stitch and clip dialogs: "自定义..." (opens the colour
// picker), then the named colours, each with a swatch.
#include <QComboBox>

#include "engine/core/utilities.h"

namespace rasterui {

class ColourBox : public QComboBox {
    Q_OBJECT

  public:
    explicit ColourBox(QWidget* parent = nullptr);

    engine::TColor Selected() const { return selected_; }
    // A named colour selects its entry; any other colour becomes the custom entry's colour.
    void SetSelected(engine::TColor colour);

  signals:
    // The user chose a colour (a named one, or one from the picker).
    void colourChosen(engine::TColor colour);

  private:
    void OnActivated(int index);
    void SetCustomColour(engine::TColor colour);

    engine::TColor selected_;
};

}  // namespace rasterui
