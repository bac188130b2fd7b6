#pragma once
// A tool window of the main window: made on its first use, kept for the life of its Qt parent
// and shown again, with the state it had, on later uses.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <utility>

namespace app {

inline void ShowAndRaise(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

template <typename Window>
class ToolWindow {
  public:
    // `make` creates the window with a Qt parent that owns it.
    explicit ToolWindow(std::function<Window*()> make) : make_(std::move(make)) {}

    // The window, made now if it was not yet (or was destroyed), not shown.
    Window* Get() {
        if (!window_) {
            window_ = make_();
        }
        return window_;
    }
    // Makes the window on the first call, then shows and raises it.
    Window* Show() {
        Window* window = Get();
        if (window) {
            ShowAndRaise(*window);
        }
        return window;
    }
    // The window once made; null before.
    Window* Made() const { return window_; }

  private:
    std::function<Window*()> make_;
    QPointer<Window> window_;
};

}  // namespace app
