#pragma once
// A miniature window drawn in a candidate skin without applying the skin to the program: a
// caption strip, a menu bar and four push buttons in the states normal, hot, pressed and
// disabled. The skin's style, palette and style sheet go to the miniature's widgets only.
#include <QWidget>
#include <memory>

class QLabel;
class QStyle;

namespace app {

struct Skin;

class TVclStylesPreview : public QWidget {
    Q_OBJECT

  public:
    explicit TVclStylesPreview(QWidget* parent = nullptr);
    ~TVclStylesPreview() override;

    // The skin to show; nullptr shows nothing.
    void SetStyle(const Skin* skin);
    void SetCaption(const QString& caption);
    // The miniature window (for tests: its palette and style sheet are the skin's).
    QWidget* Window() const { return window_; }

  private:
    void BuildWindow();

    std::unique_ptr<QStyle> style_;
    QWidget* window_ = nullptr;
    QLabel* caption_ = nullptr;
};

}  // namespace app
