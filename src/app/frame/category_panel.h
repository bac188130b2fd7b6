#pragma once
// A collapsible section of the window's left side: a title bar that folds the section's
// contents away and back. Children are laid out by the section's own layout below the bar.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

class QToolButton;

namespace app {

class CategoryPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(bool collapsed READ isCollapsed WRITE setCollapsed)

  public:
    explicit CategoryPanel(QWidget* parent = nullptr);

    QString title() const;
    void setTitle(const QString& title);
    bool isCollapsed() const { return collapsed_; }
    void setCollapsed(bool collapsed);

  signals:
    // After the section folded (true) or unfolded (false).
    void collapsedChanged(bool collapsed);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QToolButton* header_ = nullptr;
    bool collapsed_ = false;
    // Children that the fold hid, shown again when it unfolds (others keep their state).
    std::vector<QPointer<QWidget>> folded_;
};

}  // namespace app
