#pragma once
// A small grip that resizes the widget it sits in (not its window, as QSizeGrip does): it keeps
// to its parent's lower right corner, a given inset inside it, and a drag with the left button
// makes the parent larger or smaller by the mouse's movement since the press.
#include <QPoint>
#include <QSize>
#include <QWidget>

namespace app {

class TSizeGrip : public QWidget {
    Q_OBJECT

  public:
    enum class Shape {
        Triangle,  // only the lower right half of its square answers the mouse
        Square,
    };
    // The grip's side defaults to the style's scroll-bar width.
    explicit TSizeGrip(QWidget* parent, int inset = 0, Shape shape = Shape::Triangle,
                       int side = -1);

    // The parent never becomes smaller than this.
    static constexpr int kMinimumSide = 16;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void KeepInCorner();

    int inset_;
    Shape shape_;
    bool dragging_ = false;
    QPoint pressedAt_;  // global position of the press
    QSize startSize_;   // the parent's size then
};

}  // namespace app
