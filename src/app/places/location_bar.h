#pragma once
// The location bar `pnlLocation` over the map: "当前位置：" and the district path; hidden at
// first; dragging it moves it inside its parent.
#include <QLabel>
#include <QPoint>

namespace app {

class LocationBar : public QLabel {
    Q_OBJECT

  public:
    explicit LocationBar(QWidget* parent = nullptr);

    // Shows `text` at (left, 10), as wide as the text plus 8, or hides the bar.
    void ShowText(const QString& text, bool visible, int left);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QPoint grab_;
};

}  // namespace app
