#pragma once
// A square filled with a colour; a click, or the space key when it has the focus (it is in the
// tab order), opens the colour dialog (`dlgColor`) at that colour and takes the chosen one on OK.
#include <QColor>
#include <QFrame>

namespace app {

class ColorSquare : public QFrame {
    Q_OBJECT

  public:
    explicit ColorSquare(QWidget* parent = nullptr);
    // "#RRGGBB"
    QString ColorText() const;
    void SetColorText(const QString& text);
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void ChooseColor();

    QColor color_{Qt::red};
};

}  // namespace app
